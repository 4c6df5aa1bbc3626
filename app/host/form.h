// A top-level window built from a stored form description, with its
// standard controls and the form events.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/host/buttons.h"
#include "app/host/controls.h"
#include "app/host/drop_target.h"
#include "app/host/form_description.h"
#include "app/host/windowless.h"
#include "app/host/windowless_input.h"
#include "common/win32_handles.h"

namespace host {

// Reads a description stored in the program's resources: the text under
// `name` and its byte arrays under `name` + "_BLOBS" (both RCDATA).
ParsedForm LoadFormResource(const wchar_t* name);

struct FormOptions {
    // False when the form is loaded to be designed rather than run.
    bool userMode = true;
    // Pixels per inch for twips; 0 for the screen's.
    int dpi = 0;
    // A window to be a child of (a page inside a sheet), at its client's
    // top left corner, without a frame; none for a top-level form.
    HWND parent = nullptr;
    // The window that owns a top-level form (it stays above it, is hidden
    // and closed with it); StartUpPosition "CenterOwner" centres it there.
    HWND owner = nullptr;
    // The message loop ends when the last form that says so unloads; a
    // program with windows of its own says no for its forms.
    bool quitWhenLastUnloads = true;
    // Windowless kinds beyond the built-in ones, by kind name.
    std::map<std::string, WindowlessFactory> windowlessKinds;
};

class Form {
public:
    explicit Form(FormObject description, FormOptions options = {});
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Creates the window and its controls, then raises Form_Load.
    bool Load();
    // Shows the window without making it modal.
    void Show();
    // Raises Form_QueryUnload and Form_Unload, then destroys the window.
    // The process's message loop ends when no form is loaded.
    void Unload();

    bool IsLoaded() const { return window_ != nullptr; }
    bool IsUnloading() const { return unloading_; }
    HWND Window() const { return window_; }
    const std::string& Name() const { return description_.name; }
    const PropertyBag& Properties() const { return description_.properties; }
    bool UserMode() const { return options_.userMode; }
    // The ScaleMode property; none when the description has no integer one.
    std::optional<int32_t> ScaleMode() const;
    // The BackColor property, or the system's button face.
    COLORREF BackColor() const;

    // Controls in creation order.
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
    std::vector<WindowlessControl*> WindowlessControls() const;
    Control* Find(const std::string& name) const;
    // The control that has the keyboard focus (the one that last had it while
    // the form is inactive), or none.
    Control* ActiveControl() const;
    // A font from a control's Font keys (FontName, FontSize, FontBold,
    // FontItalic, FontUnderline, FontCharset), the form's for those it lacks;
    // none when the control has no Font key.
    win32::Font MakeFont(const PropertyBag& properties) const;
    template <class T>
    T& Get(const std::string& name) const;
    // Adds a control that was not in the description (a windowless one gets
    // InitProperties); null when the form is not loaded or the kind fails.
    Control* AddControl(FormObject description);

    // Has every windowless control write its properties, then writes the
    // whole description; byte arrays are appended to blobs.
    std::string WriteDescription(Bytes& blobs);

    // Twips to pixels at the form's resolution (the screen's unless told otherwise).
    int TwipsToPixelsX(int twips) const;
    int TwipsToPixelsY(int twips) const;
    int DpiX() const { return dpiX_; }
    int DpiY() const { return dpiY_; }

    // A key message from the message loop, before dialog navigation: true
    // when a windowless control with the keys swallowed it.
    bool PreviewKey(MSG& msg);
    // A windowless control's OLEDropMode changed: the form is a drop target
    // while any of them takes drops (mode 1).
    void DropModeChanged();
    // The registered drop target, or null.
    IDropTarget* RegisteredDropTarget() const { return dropTarget_.get(); }

    // While designing: mouse messages of the client area (client pixels) go
    // here first, and a true answer keeps them from the controls; windowed
    // controls let the mouse through to the form then. onPaintOver draws
    // over the controls painted on the form (a selection frame).
    std::function<bool(UINT message, POINT client)> onDesignMouse;
    std::function<void(HDC dc)> onPaintOver;
    // A control's rectangle in the form's client pixels; empty without one.
    RECT ControlBounds(const Control& control) const;

    static Form* FromWindow(HWND window);
    static size_t LoadedCount();

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(bool& cancel) { (void)cancel; }
    virtual void Form_Unload(bool& cancel) { (void)cancel; }
    // The user is logging off or the system shutting down: false asks it to wait.
    virtual bool Form_QueryEndSession() { return true; }
    // The form moved to a monitor of another DPI; its controls have followed.
    virtual void Form_DpiChanged() {}

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateControls(const std::vector<FormObject>& children, Control* container);
    Control* CreateControl(FormObject description, bool restored, Control* container);
    std::vector<FormObject> WriteChildren(const Control* container) const;
    void ButtonClicked(Control& control);
    void DialogKey(int command);
    std::unique_ptr<Control> MakeControl(FormObject description, int id, bool restored);
    HBRUSH BackBrush() const;
    // Background and windowless controls through one off-screen buffer;
    // area is in client pixels, region (optional) the exact part to repaint.
    void PaintClient(HDC target, const RECT& area, HRGN region);
    void RevokeDropTarget();
    void DestroyControls();
    void ApplyTabOrder();
    // Twips at the new DPI: the form's font, every control's place and font,
    // and the window at `frame` (the system's suggestion) or its client size.
    void ChangeDpi(int dpiX, int dpiY, const RECT* frame);
    Control* FindById(int id) const;
    Control* FindByWindow(HWND window) const;

    FormObject description_;
    FormOptions options_;
    int nextId_;
    std::vector<std::unique_ptr<Control>> controls_;
    HWND window_ = nullptr;
    bool unloading_ = false;
    int dpiX_ = 96;
    int dpiY_ = 96;
    win32::Font font_;
    win32::Icon smallIcon_;
    win32::Brush backBrush_;
    HWND lastFocus_ = nullptr;
    WindowlessInput input_{*this};
    win32::ComPtr<DropTarget> dropTarget_;
};

template <class T>
T& Form::Get(const std::string& name) const {
    T* control = dynamic_cast<T*>(Find(name));
    if (control == nullptr) std::abort();  // the description and the code disagree: a build error
    return *control;
}

}  // namespace host
