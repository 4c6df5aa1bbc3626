// A top-level window built from a stored form description, with its
// standard controls and the form events.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/host/controls.h"
#include "app/host/form_description.h"
#include "common/win32_handles.h"

namespace host {

// Reads a description stored in the program's resources: the text under
// `name` and its byte arrays under `name` + "_BLOBS" (both RCDATA).
ParsedForm LoadFormResource(const wchar_t* name);

class Form {
public:
    explicit Form(FormObject description);
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

    // Controls in creation order.
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
    Control* Find(const std::string& name) const;
    template <class T>
    T& Get(const std::string& name) const;

    // Twips to pixels at the screen's resolution.
    int TwipsToPixelsX(int twips) const;
    int TwipsToPixelsY(int twips) const;

    static Form* FromWindow(HWND window);
    static size_t LoadedCount();

protected:
    virtual void Form_Load() {}
    virtual void Form_QueryUnload(bool& cancel) { (void)cancel; }
    virtual void Form_Unload(bool& cancel) { (void)cancel; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool CreateControls();
    void ApplyTabOrder();
    Control* FindById(int id) const;
    Control* FindByWindow(HWND window) const;

    FormObject description_;
    std::vector<std::unique_ptr<Control>> controls_;
    HWND window_ = nullptr;
    bool unloading_ = false;
    int dpiX_ = 96;
    int dpiY_ = 96;
    win32::Font font_;
    win32::Icon smallIcon_;
    HWND lastFocus_ = nullptr;
};

template <class T>
T& Form::Get(const std::string& name) const {
    T* control = dynamic_cast<T*>(Find(name));
    if (control == nullptr) std::abort();  // the description and the code disagree: a build error
    return *control;
}

}  // namespace host
