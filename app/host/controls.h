// The standard controls a form can hold.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <optional>
#include <string>

#include "app/host/form_description.h"
#include "common/win32_handles.h"

namespace host {

class Form;

// Properties shared by every control; positions are in twips.
class Control {
public:
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return description_.name; }
    const std::string& Kind() const { return description_.kind; }
    const PropertyBag& Properties() const { return description_.properties; }
    const FormObject& Description() const { return description_; }
    int TabIndex() const { return static_cast<int>(Properties().ReadInt("TabIndex", -1)); }
    HWND Window() const { return window_; }  // none for a timer
    int Id() const { return id_; }

    virtual bool Enabled() const;
    virtual void SetEnabled(bool enabled);
    virtual void SetVisible(bool visible);
    // The Default property of the kinds that have one.
    virtual std::optional<int> Default() const { return std::nullopt; }
    // The frame the control was placed in, or none for the form itself.
    Control* Container() const { return container_; }
    void SetContainer(Control* container) { container_ = container; }

    // Click of a button, label or picture.
    std::function<void()> onClick;

    // Creates the control's window on the form; false when that fails.
    virtual bool Create(HWND parent, HFONT font) = 0;
    virtual void Destroy();
    // The form's DPI changed: the control takes its place and its font at
    // the new one (formFont: the form's own, already remade).
    virtual void FollowDpi(HFONT formFont);
    // The cursor shown over the control, or none for the default.
    virtual HCURSOR MouseCursor() const { return cursor_.get(); }

protected:
    Control(Form& form, FormObject description, int id);
    HWND CreateChild(HWND parent, const wchar_t* windowClass, const std::wstring& text, DWORD style, DWORD exStyle,
                     HFONT font);
    void LoadMouseIcon();
    // The font for the control at the form's DPI: its own where its
    // description has one (remade), else the form's.
    virtual HFONT FontAtDpi(HFONT formFont) { return formFont; }
    // own: the control's font from its description, remade; the form's where it has none.
    HFONT RemakeOwnFont(win32::Font& own, HFONT formFont) const;

    Form& form_;
    FormObject description_;
    int id_;
    HWND window_ = nullptr;
    Control* container_ = nullptr;
    win32::Cursor cursor_;
};

class ListBox : public Control {
public:
    ListBox(Form& form, FormObject description, int id) : Control(form, std::move(description), id) {}
    bool Create(HWND parent, HFONT font) override;
    // whole: the line's whole text where text is it cut short.
    void AddItem(const std::wstring& text, const std::wstring& whole = {});
    void Clear();
    int ListCount() const;
    std::wstring List(int index) const;
    // The selected line, or -1.
    int ListIndex() const;
    // Whether text shows whole within the list's width, in its font.
    bool TextFits(const std::wstring& text) const;

    // A line double-clicked, or Enter pressed on the selected one.
    std::function<void()> onDblClick;

    // What screen readers hear of the list beyond its lines; each line added
    // afterwards is announced as it comes (a polite live region).
    void Describe(std::wstring name, std::wstring description);
    // A tooltip over a line that does not show whole: its whole text, then hint.
    void ShowCutLinesInTips(std::wstring hint);
    // What the tooltip over a line says; empty for a line that shows whole.
    std::wstring TipText(int index) const;

private:
    void Subclass();
    static LRESULT CALLBACK ListSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    int ItemUnderCursor() const;

    std::wstring accessibleName_, accessibleDescription_, tipHint_, tipShown_;
    std::vector<std::wstring> wholeLines_;  // by line; empty where the line is whole
    HWND tip_ = nullptr;  // owned by the form's window, and destroyed with it
    int tipItem_ = -1;
    bool subclassed_ = false, announces_ = false;
};

// An edit box: Text, MultiLine, Locked (read-only), ScrollBars (0 none,
// 1 horizontal, 2 vertical, 3 both) and its own Font keys.
class TextBox : public Control {
public:
    TextBox(Form& form, FormObject description, int id) : Control(form, std::move(description), id) {}
    bool Create(HWND parent, HFONT font) override;
    void SetText(const std::wstring& text);
    std::wstring Text() const;

    // Copy asked for (Ctrl+C, the context menu) with nothing selected: true
    // when handled, otherwise the box copies its (empty) selection.
    std::function<bool()> onCopyNothingSelected;

private:
    static LRESULT CALLBACK Subclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    HFONT FontAtDpi(HFONT formFont) override;
    win32::Font font_;
};

class Label : public Control {
public:
    Label(Form& form, FormObject description, int id) : Control(form, std::move(description), id) {}
    bool Create(HWND parent, HFONT font) override;
    COLORREF ForeColor() const;
    void SetCaption(const std::wstring& caption);
    // A label that opens something: Tab reaches it, it shows the focus,
    // Enter and Space raise onClick, and screen readers hear a link.
    void ActAsLink();

private:
    static LRESULT CALLBACK LinkSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    bool spaceHeld_ = false;
};

// A drop-down list; each entry carries a number (its item data). Choosing an
// entry, or setting ListIndex, raises onClick.
class ComboBox : public Control {
public:
    ComboBox(Form& form, FormObject description, int id) : Control(form, std::move(description), id) {}
    bool Create(HWND parent, HFONT font) override;
    // Inserts at index, or appends for -1.
    void AddItem(const std::wstring& text, int index = -1);
    void Clear();
    int ListCount() const;
    std::wstring List(int index) const;
    intptr_t ItemData(int index) const;
    void SetItemData(int index, intptr_t data);
    int ListIndex() const;
    void SetListIndex(int index);
    void FollowDpi(HFONT formFont) override;

private:
    HFONT FontAtDpi(HFONT formFont) override;
    win32::Font font_;
};

// A rectangle the form draws under its windowless controls (no window).
class Shape : public Control {
public:
    Shape(Form& form, FormObject description, int id) : Control(form, std::move(description), id) {}
    bool Create(HWND, HFONT) override { return true; }
    // In the form's client pixels.
    RECT Bounds() const;
    void Draw(HDC dc) const;
};

// Shows a picture (any format the system picture loader reads) at its
// natural size in the top left corner.
class Picture : public Control {
public:
    Picture(Form& form, FormObject description, int id) : Control(form, std::move(description), id) {}
    bool Create(HWND parent, HFONT font) override;
    void Draw(const DRAWITEMSTRUCT& item) const;

private:
    win32::ComPtr<IPicture> picture_;
};

class Timer : public Control {
public:
    Timer(Form& form, FormObject description, int id);
    bool Create(HWND parent, HFONT font) override;
    void Destroy() override;
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override;
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned milliseconds);

    std::function<void()> onTimer;

private:
    void Apply();

    HWND parent_ = nullptr;
    bool enabled_;
    unsigned interval_;
};

// Resolves an OLE colour: the top bit names a system colour by its low byte.
COLORREF ResolveOleColor(uint32_t oleColor);

}  // namespace host
