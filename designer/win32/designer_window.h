// The designer's main window: a form description opened for designing
// (its controls do not act), a click selects a control and frames it, a
// list shows the selected control's properties and changes an image
// control's through its own setters, the "Image Source" sheet picks its
// picture, and the description is saved back (text and side file).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/host/form.h"
#include "imagecontrol/aicAlphaImage.h"

namespace designer {

// Menu and control identifiers, which tests send as commands too.
enum DesignerCommand : int {
    kCommandOpen = 1,
    kCommandSave = 2,
    kCommandExit = 3,
    kCommandImageSource = 4,
    kCommandSetProperty = 5,
    kPropertyList = 10,
    kPropertyEdit = 11,
    kPropertyHelp = 12,
};

class DesignerWindow {
public:
    DesignerWindow() = default;
    ~DesignerWindow();
    DesignerWindow(const DesignerWindow&) = delete;
    DesignerWindow& operator=(const DesignerWindow&) = delete;

    bool Create();
    HWND Window() const { return window_; }
    // Opens a description (its side file is the same name with ".blobs");
    // on failure a message names the file and what is wrong, and the open
    // document stays as it was.
    bool Open(const std::wstring& path);
    bool Save();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Command(int id, int notification);
    bool DesignMouse(UINT message, POINT client);
    void Select(host::Control* control);
    void PaintSelection(HDC dc) const;
    void FillPropertyList();
    void PropertyChosen();
    void SetEditedProperty();
    void OpenImageSource();
    void ChooseFileToOpen();
    // True when there is nothing unsaved, or the user saved or let it go.
    bool ConfirmDiscard();
    void Layout();
    void UpdateTitle();
    void Warn(const std::wstring& text) const;
    aicAlphaImage* SelectedImage() const;

    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND edit_ = nullptr;
    HWND help_ = nullptr;  // the chosen property's help text
    HWND setButton_ = nullptr;
    HWND imageButton_ = nullptr;
    std::wstring path_;
    std::unique_ptr<host::Form> form_;
    host::Control* selected_ = nullptr;
    bool modified_ = false;
};

}  // namespace designer
