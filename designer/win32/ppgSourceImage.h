// The "Image Source" property page: chooses the picture of an image control
// while its form is designed. A preview keeps the bytes of what it loads
// (a file, the clipboard, a dropped file, one size of an icon file); apply
// hands them to the edited control, which keeps them as its saved image.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include <functional>
#include <string>
#include <vector>

#include "app/host/alpha_image.h"
#include "app/host/form.h"
#include "designer/win32/file_drop_target.h"

namespace designer {

// The page's own description: its controls, captions and places.
host::FormObject SourceImagePageDescription();

class ppgSourceImage : public host::Form {
public:
    // options.parent places the page inside a property sheet.
    explicit ppgSourceImage(host::FormOptions options = {});
    ~ppgSourceImage() override;

    // The design environment's side: the selection (the first is edited;
    // it must outlive the page or the next selection), apply, and whether
    // the page has changes to apply.
    void SelectionChanged(const std::vector<aicAlphaImage*>& selected);
    void ApplyChanges();
    bool Changed() const { return changed_; }
    std::function<void(bool changed)> onChangedChanged;

    // What the page's controls do.
    void cmdBrowse_Click();
    void cmdClipBoard_Click();
    void Command1_Click();
    void cboIcon_Click();
    void FilesDropped(IDataObject* data);
    // "Browse" once the dialog has given a file.
    void LoadChosenFile(const std::wstring& path);

    aicAlphaImage& Preview() const;

protected:
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    void pvHideAndClearPreview();
    // sourceIsJpeg: the file loaded was a JPEG (which GDI+ reports as PNG).
    void pvDescribePreview(bool sourceIsJpeg = false);
    void pvLayoutPreview();
    std::wstring pvOpenFileDialog();
    void SetChanged(bool changed);

    aicAlphaImage* edited_ = nullptr;
    bool changed_ = false;
    win32::ComPtr<FileDropTarget> dropTarget_;
};

}  // namespace designer
