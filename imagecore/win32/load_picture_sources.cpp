// Loading from the system's own sources: resources, picture objects,
// handles, the clipboard, and file names from drops and pastes.
#include "imagecore/c32bppDIB.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <optional>

#include "codecs/cBMPparser.h"
#include "codecs/cICOparser.h"
#include "codecs/modParsers.h"
#include "common/win32_handles.h"
#include "common/ole_handle.h"

namespace {

const wchar_t* ResourceName(const c32bppDIB::ResourceId& id) {
    if (const auto* name = std::get_if<std::wstring>(&id)) return name->c_str();
    return MAKEINTRESOURCEW(std::get<int32_t>(id));
}

win32::ComPtr<IPicture> MetafilePicture(HMETAFILE metafile, int32_t himetricWidth, int32_t himetricHeight) {
    win32::ComPtr<IPicture> picture;
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_METAFILE;
    description.wmf.hmeta = metafile;
    description.wmf.xExt = himetricWidth;
    description.wmf.yExt = himetricHeight;
    if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE, picture.put_void()))) {
        DeleteMetaFile(metafile);
        picture.reset();
    }
    return picture;
}

// The clipboard's picture, in the order bitmap, device-independent bitmap,
// enhanced metafile, metafile. The picture owns a copy of the clipboard's handle.
win32::ComPtr<IPicture> ClipboardPicture() {
    if (IsClipboardFormatAvailable(CF_BITMAP) || IsClipboardFormatAvailable(CF_DIB)) {
        HANDLE bitmap = GetClipboardData(CF_BITMAP);
        HANDLE copy = bitmap ? CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0) : nullptr;
        if (copy) return modParsers::HandleToPicture(copy, PICTYPE_BITMAP);
    } else if (IsClipboardFormatAvailable(CF_ENHMETAFILE)) {
        HENHMETAFILE metafile = static_cast<HENHMETAFILE>(GetClipboardData(CF_ENHMETAFILE));
        HENHMETAFILE copy = metafile ? CopyEnhMetaFileW(metafile, nullptr) : nullptr;
        if (copy) return modParsers::HandleToPicture(copy, PICTYPE_ENHMETAFILE);
    } else if (IsClipboardFormatAvailable(CF_METAFILEPICT)) {
        HGLOBAL memory = GetClipboardData(CF_METAFILEPICT);
        const auto* header = memory ? static_cast<const METAFILEPICT*>(GlobalLock(memory)) : nullptr;
        if (header) {
            METAFILEPICT described = *header;
            GlobalUnlock(memory);
            HMETAFILE copy = CopyMetaFileW(described.hMF, nullptr);
            if (copy) return MetafilePicture(copy, described.xExt, described.yExt);
        }
    }
    return {};
}

// Zero-terminated wide names one after another from offset, at most count
// of them (all when count is negative), never past the block's end.
std::vector<std::wstring> WideNames(const uint8_t* block, size_t blockSize, size_t offset, int32_t count) {
    std::vector<std::wstring> names;
    const wchar_t* at = reinterpret_cast<const wchar_t*>(block + offset);
    const wchar_t* end = reinterpret_cast<const wchar_t*>(block + (blockSize & ~size_t{1}));
    while (at < end && (count < 0 || static_cast<int32_t>(names.size()) < count)) {
        const wchar_t* stop = at;
        while (stop < end && *stop != 0) ++stop;
        if (stop == end || (count < 0 && stop == at)) break;  // unterminated, or the list's end
        names.emplace_back(at, stop);
        at = stop + 1;
    }
    return names;
}

// The names of a CF_HDROP block when they are stored wide; nothing otherwise.
std::optional<std::vector<std::wstring>> WideNamesOfDrop(HGLOBAL drop, int32_t count) {
    const size_t size = GlobalSize(drop);
    const auto* block = static_cast<const uint8_t*>(GlobalLock(drop));
    if (!block) return std::nullopt;
    std::optional<std::vector<std::wstring>> names;
    DROPFILES header{};
    if (size >= sizeof header) {
        std::memcpy(&header, block, sizeof header);
        if (header.fWide && header.pFiles >= sizeof header && header.pFiles < size)
            names = WideNames(block, size, header.pFiles, count);
    }
    GlobalUnlock(drop);
    return names;
}

class ClipboardScope {
public:
    ClipboardScope() : open_(OpenClipboard(nullptr) != FALSE) {}
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    ~ClipboardScope() { if (open_) CloseClipboard(); }
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

}  // namespace

bool c32bppDIB::LoadPicture_Resource(const ResourceId& ResIndex, const ResourceSection& ResSection, HMODULE VBglobal,
                                     int32_t iconCx, int32_t iconCy, int64_t streamStart, int64_t streamLength,
                                     int32_t iconBitDepth, bool* replaced) {
    HMODULE module = VBglobal ? VBglobal : GetModuleHandleW(nullptr);
    if (replaced) *replaced = false;
    if (const auto* type = std::get_if<std::wstring>(&ResSection)) {
        HRSRC found = FindResourceW(module, ResourceName(ResIndex), type->c_str());
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
        if (!bytes) return Handle() != 0;
        const bool decoded = LoadPicture_Stream({bytes, SizeofResource(module, found)}, iconCx, iconCy, streamStart,
                                                streamLength, false, iconBitDepth);
        if (replaced) *replaced = decoded || Handle() == 0;
        return Handle() != 0;
    }
    static constexpr UINT kImageKinds[] = {IMAGE_BITMAP, IMAGE_ICON, IMAGE_CURSOR};
    static constexpr short kPictureTypes[] = {PICTYPE_BITMAP, PICTYPE_ICON, PICTYPE_ICON};
    const int16_t kind = std::get<int16_t>(ResSection);
    if (kind < 0 || kind > 2) return Handle() != 0;
    HANDLE image = LoadImageW(module, ResourceName(ResIndex), kImageKinds[kind], 0, 0, LR_DEFAULTCOLOR);
    if (!image) return Handle() != 0;
    win32::ComPtr<IPicture> picture = modParsers::HandleToPicture(image, kPictureTypes[kind]);
    if (!picture) {
        if (kind == 0) DeleteObject(image); else DestroyIcon(static_cast<HICON>(image));
        return Handle() != 0;
    }
    if (replaced) *replaced = true;
    return LoadPicture_StdPicture(picture.get());
}

bool c32bppDIB::LoadPicture_StdPicture(IPicture* Picture) {
    DestroyDIB();
    if (!Picture) return false;
    short type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(Picture->get_Type(&type)) || FAILED(Picture->get_Handle(&handle))) return false;
    if (type == PICTYPE_ICON)
        cICOparser().ConvertstdPicTo32bpp(win32::FromOleHandle<HICON>(handle), *this);
    else if (type == PICTYPE_BITMAP)
        cBMPparser().ConvertstdPicTo32bpp(nullptr, win32::FromOleHandle<HBITMAP>(handle),
                                                *this, 0);
    else if (type != PICTYPE_NONE && type != PICTYPE_UNINITIALIZED)
        cBMPparser().ConvertstdPicTo32bpp(Picture, nullptr, *this, 0);
    return Handle() != 0;
}

bool c32bppDIB::LoadPicture_ByHandle(HANDLE Handle) {
    DestroyDIB();
    if (!Handle) return false;
    switch (GetObjectType(Handle)) {
    case OBJ_BITMAP:
        return cBMPparser().ConvertstdPicTo32bpp(nullptr, static_cast<HBITMAP>(Handle), *this, 0);
    case OBJ_ENHMETAFILE: {
        // The picture owns and deletes what it wraps: give it a copy.
        HENHMETAFILE copy = CopyEnhMetaFileW(static_cast<HENHMETAFILE>(Handle), nullptr);
        win32::ComPtr<IPicture> picture = copy ? modParsers::HandleToPicture(copy, PICTYPE_ENHMETAFILE)
                                               : win32::ComPtr<IPicture>();
        return picture && LoadPicture_StdPicture(picture.get());
    }
    case OBJ_METAFILE: {
        // A bare metafile handle carries no size: it wraps into an empty picture.
        HMETAFILE copy = CopyMetaFileW(static_cast<HMETAFILE>(Handle), nullptr);
        win32::ComPtr<IPicture> picture = copy ? MetafilePicture(copy, 0, 0) : win32::ComPtr<IPicture>();
        return picture && LoadPicture_StdPicture(picture.get());
    }
    default: {
        ICONINFO information{};
        if (!GetIconInfo(static_cast<HICON>(Handle), &information)) return false;
        if (information.hbmMask) DeleteObject(information.hbmMask);
        if (information.hbmColor) DeleteObject(information.hbmColor);
        return cICOparser().ConvertstdPicTo32bpp(static_cast<HICON>(Handle), *this);
    }
    }
}

bool c32bppDIB::LoadPicture_ClipBoard() {
    win32::ComPtr<IPicture> picture;
    {
        ClipboardScope clipboard;
        if (!clipboard) return false;
        picture = ClipboardPicture();
    }
    return picture && LoadPicture_StdPicture(picture.get());
}

bool c32bppDIB::GetDroppedFileNames(IDataObject* OLEDragDrop_DataObject, std::vector<std::wstring>& Files) {
    if (!OLEDragDrop_DataObject) return false;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    if (OLEDragDrop_DataObject->QueryGetData(&format) != S_OK) return false;
    STGMEDIUM medium{};
    if (FAILED(OLEDragDrop_DataObject->GetData(&format, &medium))) return false;
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal || GlobalSize(medium.hGlobal) == 0) {
        ReleaseStgMedium(&medium);
        return false;
    }
    const int32_t count = static_cast<int32_t>(DragQueryFileW(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF,
                                                              nullptr, 0));
    if (std::optional<std::vector<std::wstring>> names = WideNamesOfDrop(medium.hGlobal, count))
        Files = std::move(*names);
    ReleaseStgMedium(&medium);
    return true;
}

int32_t c32bppDIB::GetPastedFileNames(std::vector<std::wstring>& ListOfFiles) {
    ClipboardScope clipboard;
    if (!clipboard) return 0;
    HDROP drop = static_cast<HDROP>(GetClipboardData(CF_HDROP));
    if (!drop) return 0;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    if (std::optional<std::vector<std::wstring>> names = WideNamesOfDrop(drop, static_cast<int32_t>(count))) {
        ListOfFiles = std::move(*names);
    } else {
        ListOfFiles.clear();
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(DragQueryFileW(drop, i, nullptr, 0), L'\0');
            DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size() + 1));
            ListOfFiles.push_back(std::move(name));
        }
    }
    return static_cast<int32_t>(ListOfFiles.size());
}
