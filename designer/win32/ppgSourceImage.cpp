#include "designer/win32/ppgSourceImage.h"

#include <shellapi.h>

#include <cstdio>

#include "app/host/text.h"
#include "designer/icon_size_list.h"
#include "designer/page_texts.h"
#include "designer/win32/open_file_dialog.h"

namespace designer {
namespace {

constexpr char kPageText[] = R"(
Begin Form ppgSourceImage
    Caption = "Image Source"
    ClientWidth = 4800
    ClientHeight = 3600
    ScaleMode = 1
    Begin ComboBox cboIcon
        Left = 120
        Top = 3120
        Width = 2955
        Height = 330
        FontName = "Arial"
        FontSize = 8.25
        Visible = false
    End
    Begin PushButton cmdClipBoard
        Caption = "From Clipboard"
        Left = 3090
        Top = 1500
        Width = 1605
        Height = 480
        TabIndex = 1
    End
    Begin PushButton Command1
        Caption = "Clear Image"
        Left = 3090
        Top = 2100
        Width = 1605
        Height = 480
        TabIndex = 2
    End
    Begin PushButton cmdBrowse
        Caption = "Browse"
        Left = 3090
        Top = 915
        Width = 1605
        Height = 480
        TabIndex = 0
    End
    Begin aicAlphaImage ucAlphaImage1
        Left = 990
        Top = 990
        Width = 1215
        Height = 1185
        Visible = false
    End
    Begin Label lblFormat
        Left = 165
        Top = 3120
        Width = 4605
        Height = 345
        Visible = false
    End
    Begin Shape Shape1
        Left = 150
        Top = 210
        Width = 2880
        Height = 2880
    End
End
)";

// Longest path the system takes, plus its end.
constexpr DWORD kPathBufferLength = 32768;
constexpr DWORD kOpenFlags = 44568576;  // must exist, explorer, long names, resizable, not in recent files

bool FileStartsLikeJpeg(const std::wstring& path) {
    uint8_t start[3] = {};
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) return false;
    size_t read = std::fread(start, 1, sizeof start, file);
    std::fclose(file);
    return StartsLikeJpeg(std::span(start, read));
}

// The names a drop lists, read through the system's own reading of it.
std::vector<std::wstring> DroppedFileList(IDataObject* data) {
    std::vector<std::wstring> names;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (!data || FAILED(data->GetData(&format, &medium))) return names;
    if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        auto drop = static_cast<HDROP>(medium.hGlobal);
        UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(DragQueryFileW(drop, i, nullptr, 0), L'\0');
            DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
            names.push_back(std::move(name));
        }
    }
    ReleaseStgMedium(&medium);
    return names;
}

}  // namespace

host::FormObject SourceImagePageDescription() {
    host::ParsedForm parsed = host::ParseFormDescription(kPageText, {});
    return parsed.form;  // the text is the program's own: it parses
}

ppgSourceImage::ppgSourceImage(host::FormOptions options)
    : host::Form(SourceImagePageDescription(), std::move(options)) {}

ppgSourceImage::~ppgSourceImage() {
    if (dropTarget_) dropTarget_->Detach();
}

aicAlphaImage& ppgSourceImage::Preview() const { return *Get<host::AlphaImage>("ucAlphaImage1").Image(); }

void ppgSourceImage::Form_Load() {
    Preview().SetKeepOriginalFormat(true);
    Get<host::PushButton>("cmdBrowse").onClick = [this] { cmdBrowse_Click(); };
    Get<host::PushButton>("cmdClipBoard").onClick = [this] { cmdClipBoard_Click(); };
    Get<host::PushButton>("Command1").onClick = [this] { Command1_Click(); };
    Get<host::ComboBox>("cboIcon").onClick = [this] { cboIcon_Click(); };
    // Needs OLE started on this thread.
    win32::ComPtr<FileDropTarget> target(new FileDropTarget([this](IDataObject* data) { FilesDropped(data); }));
    if (SUCCEEDED(RegisterDragDrop(Window(), target.get())))
        dropTarget_ = std::move(target);
    else
        target->Detach();
}

void ppgSourceImage::Form_Unload(bool&) {
    if (!dropTarget_) return;
    RevokeDragDrop(Window());
    dropTarget_->Detach();
    dropTarget_.reset();
}

void ppgSourceImage::SetChanged(bool changed) {
    if (changed == changed_) return;
    changed_ = changed;
    if (onChangedChanged) onChangedChanged(changed_);
}

void ppgSourceImage::SelectionChanged(const std::vector<aicAlphaImage*>& selected) {
    if (selected.empty() || !selected.front()) {
        edited_ = nullptr;
        return;
    }
    pvHideAndClearPreview();
    edited_ = selected.front();
    Bytes bytes;
    if (edited_->pvGetOriginalBytes(bytes) && !bytes.empty()) {
        auto& preview = Get<host::AlphaImage>("ucAlphaImage1");
        int32_t width = static_cast<int32_t>(preview.ScaleWidth()), height = static_cast<int32_t>(preview.ScaleHeight());
        int32_t depth = 32;
        Preview().LoadImage_FromArray(bytes, width, height, depth);
        pvDescribePreview();
    } else {
        Preview().ClearImage();
    }
    SetChanged(false);
}

void ppgSourceImage::ApplyChanges() {
    if (!edited_) return;
    Bytes bytes;
    if (Preview().pvGetOriginalBytes(bytes) && !bytes.empty()) {
        auto& list = Get<host::ComboBox>("cboIcon");
        int index = list.ListIndex();
        IconSizeChoice size = ParseIconSizeEntry(index >= 0 ? host::WideToUtf8(list.List(index)) : std::string());
        edited_->pvLoadForPropertyPage(bytes, size.width, size.height, size.bits);
    } else {
        edited_->ClearImage();
    }
    SetChanged(false);
}

void ppgSourceImage::pvHideAndClearPreview() {
    Get<host::AlphaImage>("ucAlphaImage1").SetVisible(false);
    Preview().ClearImage();
}

void ppgSourceImage::LoadChosenFile(const std::wstring& path) {
    if (path.empty()) return;
    pvHideAndClearPreview();
    auto& preview = Get<host::AlphaImage>("ucAlphaImage1");
    int32_t width = static_cast<int32_t>(preview.ScaleWidth()), height = static_cast<int32_t>(preview.ScaleHeight());
    int32_t depth = 32;
    Preview().LoadImage_FromFile(path, width, height, depth);
    pvDescribePreview(FileStartsLikeJpeg(path));
    SetChanged(true);
}

void ppgSourceImage::cmdBrowse_Click() { LoadChosenFile(pvOpenFileDialog()); }

void ppgSourceImage::cmdClipBoard_Click() {
    static const UINT kPictureFormats[] = {CF_BITMAP, CF_DIB, CF_ENHMETAFILE, CF_METAFILEPICT};
    bool picture = false;
    for (UINT format : kPictureFormats) picture = picture || IsClipboardFormatAvailable(format);
    if (picture) {
        pvHideAndClearPreview();
        Preview().LoadImage_FromClipboard();
        pvLayoutPreview();
    } else if (IsClipboardFormatAvailable(CF_HDROP)) {
        std::vector<std::wstring> files;
        if (Preview().pvGetImageObject().GetPastedFileNames(files) > 0) LoadChosenFile(files.front());
    }
    SetChanged(true);
}

void ppgSourceImage::Command1_Click() {
    pvHideAndClearPreview();
    SetChanged(true);
}

void ppgSourceImage::cboIcon_Click() {
    auto& list = Get<host::ComboBox>("cboIcon");
    int index = list.ListIndex();
    if (index < 0) return;
    Bytes bytes;
    Preview().pvGetOriginalBytes(bytes);
    pvHideAndClearPreview();
    IconSizeChoice size = ParseIconSizeEntry(host::WideToUtf8(list.List(index)));
    Preview().LoadImage_FromArray(bytes, size.width, size.height, size.bits);
    pvLayoutPreview();
    SetChanged(true);
}

void ppgSourceImage::FilesDropped(IDataObject* data) {
    // The drop's own list first; wide names then replace it exactly.
    std::vector<std::wstring> files = DroppedFileList(data);
    if (!Preview().pvGetImageObject().GetDroppedFileNames(data, files) || files.empty()) return;
    LoadChosenFile(files.front());
}

void ppgSourceImage::pvDescribePreview(bool sourceIsJpeg) {
    auto& list = Get<host::ComboBox>("cboIcon");
    auto& label = Get<host::Label>("lblFormat");
    const c32bppDIB& image = Preview().pvGetImageObject();
    if (image.Handle() == 0) {
        // Nothing loaded: nothing to describe or show.
        list.SetVisible(false);
        list.Clear();
        label.SetCaption(L"");
        label.SetVisible(false);
        return;
    }
    std::vector<c32bppDIB::IconSize> sizes;
    if (image.SourceIconSizes(sizes) > 0) {
        label.SetVisible(false);
        list.Clear();
        std::vector<IconSize> entries(sizes.begin(), sizes.end());
        int index = 0;
        for (const IconSizeEntry& entry : IconSizeList(entries)) {
            list.AddItem(host::Utf8ToWide(entry.text));
            list.SetItemData(index++, entry.key);
        }
        list.SetVisible(true);
        list.SetEnabled(list.ListCount() > 1);
        list.SetListIndex(list.ListCount() - 1);  // loads the largest through the list's own action
        return;
    }
    list.SetVisible(false);
    list.Clear();
    int32_t type = sourceIsJpeg && image.ImageType() == imgPNG ? int32_t{imgBitmap} : image.ImageType();
    label.SetCaption(host::Utf8ToWide(FormatDescription(image.Width(), image.Height(), type, image.Alpha())));
    label.SetVisible(true);
    pvLayoutPreview();
}

void ppgSourceImage::pvLayoutPreview() {
    auto& preview = Get<host::AlphaImage>("ucAlphaImage1");
    if (Preview().pvGetImageObject().Handle() == 0) return;  // a failed load stays hidden
    RECT frame = Get<host::Shape>("Shape1").Bounds();
    int32_t frameWidth = frame.right - frame.left, frameHeight = frame.bottom - frame.top;
    int32_t width = 0, height = 0;
    Preview().GetImageScales(width, height, -1, frameWidth - 2, frameHeight - 2);
    int32_t left = CentredIn(frame.left, frameWidth, width), top = CentredIn(frame.top, frameHeight, height);
    preview.Move({left, top, left + width, top + height});
    preview.SetVisible(true);
}

std::wstring ppgSourceImage::pvOpenFileDialog() {
    std::wstring filter = OpenFileFilter(Preview().GDIplusEnabled());
    std::wstring path(kPathBufferLength, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Window();
    dialog.lpstrFilter = filter.c_str();
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = kPathBufferLength;
    dialog.lpstrTitle = L"Select Image";
    dialog.Flags = kOpenFlags;
    if (!comdlg32::GetOpenFileNameW(&dialog)) return {};
    path.resize(path.find(L'\0'));
    return path;
}

}  // namespace designer
