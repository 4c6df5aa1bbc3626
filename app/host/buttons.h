// Push buttons, option buttons, check boxes and frames. A button of Style 1
// (graphical) shows pictures and is owner-drawn: by the host in the classic
// look, or by the visual-style support when that subclasses it.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <optional>
#include <string>

#include "app/button_look.h"
#include "app/host/controls.h"

namespace host {

class ButtonControl : public Control {
public:
    int Style() const { return static_cast<int>(Properties().ReadInt("Style", 0)); }
    bool Graphical() const { return Style() == 1; }
    // 0 or 1 (2 for a greyed check box); always 0 for a push button.
    virtual int Value() const { return 0; }
    std::wstring Caption() const;
    HFONT Font() const { return font_; }
    IPicture* Picture() const { return picture_.get(); }
    IPicture* DownPicture() const { return downPicture_.get(); }
    IPicture* DisabledPicture() const { return disabledPicture_.get(); }
    // The picture a look asks for, or Picture when that one holds no image.
    IPicture* PictureFor(app::ButtonPicture choice) const;
    // OLE colours; the top bit names a system colour.
    uint32_t MaskColor() const { return static_cast<uint32_t>(Properties().ReadInt("MaskColor", 0xC0C0C0)); }
    bool UseMaskColor() const { return Properties().ReadBool("UseMaskColor", false); }
    uint32_t BackColor() const {
        return static_cast<uint32_t>(Properties().ReadInt("BackColor", 0x80000000u | COLOR_BTNFACE));
    }

    // The classic look of a graphical button, for WM_DRAWITEM.
    void DrawClassic(const DRAWITEMSTRUCT& item) const;
    // BN_CLICKED: what the button does before its Click handler runs.
    virtual void Clicked() {}

protected:
    ButtonControl(Form& form, FormObject description, int id) : Control(form, std::move(description), id) {}
    // The picture properties become picture objects; the window is a button
    // of `style` (owner-drawn instead when graphical).
    bool CreateButton(HWND parent, HFONT font, DWORD style);
    HFONT FontAtDpi(HFONT formFont) override;

private:
    win32::Font ownFont_;
    HFONT font_ = nullptr;
    win32::ComPtr<IPicture> picture_;
    win32::ComPtr<IPicture> downPicture_;
    win32::ComPtr<IPicture> disabledPicture_;
};

class PushButton : public ButtonControl {
public:
    PushButton(Form& form, FormObject description, int id) : ButtonControl(form, std::move(description), id) {}
    bool Create(HWND parent, HFONT font) override;
    // True is -1, false 0.
    std::optional<int> Default() const override { return Properties().ReadBool("Default", false) ? -1 : 0; }
};

class OptionButton : public ButtonControl {
public:
    OptionButton(Form& form, FormObject description, int id);
    bool Create(HWND parent, HFONT font) override;
    int Value() const override { return value_ ? 1 : 0; }
    // Sets this option and clears the others in the same container.
    void SetValue(bool value);
    void Clicked() override { SetValue(true); }

private:
    bool value_;
};

class CheckBox : public ButtonControl {
public:
    CheckBox(Form& form, FormObject description, int id);
    bool Create(HWND parent, HFONT font) override;
    int Value() const override { return value_; }
    void SetValue(int value);
    void Clicked() override { SetValue(value_ == 1 ? 0 : 1); }

private:
    int value_;
};

// A captioned group box; the controls placed inside it are its child
// windows, and their notifications reach the form through it.
class Frame : public Control {
public:
    Frame(Form& form, FormObject description, int id) : Control(form, std::move(description), id) {}
    bool Create(HWND parent, HFONT font) override;
};

}  // namespace host
