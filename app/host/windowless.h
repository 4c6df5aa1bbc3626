// Controls without a window of their own. The form keeps their rectangle,
// paints them from its own WM_PAINT and is their ControlSite; the control
// proper is an object that receives the host's events.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "app/host/controls.h"
#include "imagecontrol/cCrossComm.h"
#include "imagecontrol/control_site.h"

namespace host {

// The host's events. Construction is the control's initialise event and
// destruction its terminate event.
class WindowlessObject {
public:
    virtual ~WindowlessObject() = default;
    virtual void InitProperties() = 0;  // a new control
    virtual void ReadProperties() = 0;  // restored from a description
    virtual void WriteProperties() = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    virtual void Resize() = 0;
    // The surface's origin is the control's top-left corner; clipBox is the
    // part to repaint in control pixels.
    virtual void Paint(const PaintSurface& surface, const PixelRect& clipBox) = 0;

    // What the control shares with its siblings, if anything.
    virtual ICrossComm* CrossComm() { return nullptr; }

    // Input, in control pixels. Button and Shift are bit sets (1 left,
    // 2 right, 4 middle; 1 shift, 2 ctrl, 4 alt); handlers may change what
    // they are given by reference. A control without a hit test is never hit.
    virtual void OnHitTest(float /*x*/, float /*y*/, int16_t& /*hitResult*/) {}
    virtual void OnMouseDown(int16_t& /*button*/, int16_t& /*shift*/, float /*x*/, float /*y*/) {}
    virtual void OnMouseMove(int16_t& /*button*/, int16_t& /*shift*/, float /*x*/, float /*y*/) {}
    virtual void OnMouseUp(int16_t& /*button*/, int16_t& /*shift*/, float /*x*/, float /*y*/) {}
    virtual void OnClick() {}
    virtual void OnDblClick() {}
    virtual void OnKeyDown(int16_t& /*keyCode*/, int16_t& /*shift*/) {}
    virtual void OnKeyPress(int16_t& /*keyAscii*/) {}
    virtual void OnKeyUp(int16_t& /*keyCode*/, int16_t& /*shift*/) {}
    // data: the drop's IDataObject, which a handler may replace for the
    // handlers after it; state 0 enter, 1 leave, 2 over.
    virtual void OnOLEDragOver(void*& /*data*/, int32_t& /*effect*/, int16_t& /*button*/, int16_t& /*shift*/,
                               float /*x*/, float /*y*/, int16_t& /*state*/) {}
    virtual void OnOLEDragDrop(void*& /*data*/, int32_t& /*effect*/, int16_t& /*button*/, int16_t& /*shift*/,
                               float /*x*/, float /*y*/) {}
};

// Hosts any control class that has those events and takes its site first.
template <class T>
class HostedObject final : public WindowlessObject {
public:
    template <class... Args>
    explicit HostedObject(ControlSite& site, Args&&... args) : control(site, std::forward<Args>(args)...) {}

    void InitProperties() override { control.InitProperties(); }
    void ReadProperties() override { control.ReadProperties(); }
    void WriteProperties() override { control.WriteProperties(); }
    void Show() override { control.Show(); }
    void Hide() override { control.Hide(); }
    void Resize() override { control.Resize(); }
    void Paint(const PaintSurface& surface, const PixelRect& clipBox) override { control.Paint(surface, clipBox); }

    ICrossComm* CrossComm() override {
        if constexpr (std::is_base_of_v<ICrossComm, T>)
            return &control;
        else
            return nullptr;
    }

    // Each reaches the control only when it has that handler.
    void OnHitTest(float x, float y, int16_t& hitResult) override {
        if constexpr (requires { control.OnHitTest(x, y, hitResult); }) control.OnHitTest(x, y, hitResult);
    }
    void OnMouseDown(int16_t& button, int16_t& shift, float x, float y) override {
        if constexpr (requires { control.OnMouseDown(button, shift, x, y); }) control.OnMouseDown(button, shift, x, y);
    }
    void OnMouseMove(int16_t& button, int16_t& shift, float x, float y) override {
        if constexpr (requires { control.OnMouseMove(button, shift, x, y); }) control.OnMouseMove(button, shift, x, y);
    }
    void OnMouseUp(int16_t& button, int16_t& shift, float x, float y) override {
        if constexpr (requires { control.OnMouseUp(button, shift, x, y); }) control.OnMouseUp(button, shift, x, y);
    }
    void OnClick() override {
        if constexpr (requires { control.OnClick(); }) control.OnClick();
    }
    void OnDblClick() override {
        if constexpr (requires { control.OnDblClick(); }) control.OnDblClick();
    }
    void OnKeyDown(int16_t& keyCode, int16_t& shift) override {
        if constexpr (requires { control.OnKeyDown(keyCode, shift); }) control.OnKeyDown(keyCode, shift);
    }
    void OnKeyPress(int16_t& keyAscii) override {
        if constexpr (requires { control.OnKeyPress(keyAscii); }) control.OnKeyPress(keyAscii);
    }
    void OnKeyUp(int16_t& keyCode, int16_t& shift) override {
        if constexpr (requires { control.OnKeyUp(keyCode, shift); }) control.OnKeyUp(keyCode, shift);
    }
    void OnOLEDragOver(void*& data, int32_t& effect, int16_t& button, int16_t& shift, float x, float y,
                       int16_t& state) override {
        if constexpr (requires { control.OnOLEDragOver(data, effect, button, shift, x, y, state); })
            control.OnOLEDragOver(data, effect, button, shift, x, y, state);
    }
    void OnOLEDragDrop(void*& data, int32_t& effect, int16_t& button, int16_t& shift, float x, float y) override {
        if constexpr (requires { control.OnOLEDragDrop(data, effect, button, shift, x, y); })
            control.OnOLEDragDrop(data, effect, button, shift, x, y);
    }

    T control;
};

using WindowlessFactory = std::function<std::unique_ptr<WindowlessObject>(ControlSite& site)>;

template <class T>
WindowlessFactory HostedFactory() {
    return [](ControlSite& site) { return std::make_unique<HostedObject<T>>(site); };
}

// The host's own keys in a windowless control's description: its place and
// the values the form keeps for it. Every other key belongs to the control.
bool IsHostKey(const std::string& key);

class WindowlessControl : public Control, public ControlSite {
public:
    // restored: made from a stored description (ReadProperties) rather than
    // added as a new control (InitProperties).
    WindowlessControl(Form& form, FormObject description, int id, WindowlessFactory factory, bool restored);
    ~WindowlessControl() override;

    // Makes the object and raises its first events.
    bool Create(HWND parent, HFONT font) override;
    // Hide when shown, then the terminate event.
    void Destroy() override;
    // Placed anew at the form's DPI and drawn for its new size from its picture.
    void FollowDpi(HFONT formFont) override;

    // The object that receives the host's events; null while not created.
    WindowlessObject* Hosted() const { return object_.get(); }
    // The hosted control, when it is a HostedObject<T>.
    template <class T>
    T* Object() const {
        auto* hosted = dynamic_cast<HostedObject<T>*>(object_.get());
        return hosted ? &hosted->control : nullptr;
    }

    // In the form's client pixels.
    const RECT& Bounds() const { return bounds_; }
    bool Visible() const { return Properties().ReadBool("Visible", true); }
    void SetVisible(bool visible);
    // Moves and sizes it, in the form's client pixels.
    void Move(const RECT& bounds);
    // Its MousePointer's cursor: a standard one, or the MouseIcon for 99.
    HCURSOR MouseCursor() const override;

    // The form became visible or hidden.
    void FormShown(bool shown);
    // Paints into dc, whose viewport origin is the form's client origin;
    // clip is the part to repaint in dc's device coordinates.
    void PaintInto(HDC dc, HRGN clip);
    // Drops the control's stored keys and has it write them again.
    void WriteBack();

    // Names given to PropertyChanged, each once, oldest first; a designer
    // reads them to know it has changes.
    const std::vector<std::string>& ChangedProperties() const { return changed_; }
    void ClearChangedProperties() { changed_.clear(); }

    // ControlSite. Host keys are neither read nor written through it.
    const PropertyValue* ReadProperty(const std::string& key) const override;
    void WriteProperty(const std::string& key, PropertyValue value, const PropertyValue& defaultValue) override;
    void PropertyChanged(const std::string& name) override;
    bool UserMode() const override;
    bool ParentScaleMode(int32_t& scaleMode) const override;
    double ScaleWidth() const override { return bounds_.right - bounds_.left; }
    double ScaleHeight() const override { return bounds_.bottom - bounds_.top; }
    void Size(double widthTwips, double heightTwips) override;
    double ScaleX(double value, int32_t fromScale, int32_t toScale) const override;
    double ScaleY(double value, int32_t fromScale, int32_t toScale) const override;
    void Refresh() override;
    bool Enabled() const override { return enabled_; }
    void SetEnabled(bool enabled) override { enabled_ = enabled; }
    int16_t MousePointer() const override { return mousePointer_; }
    bool SetMousePointer(int16_t pointer) override;
    const Bytes& MouseIcon() const override { return mouseIcon_; }
    bool SetMouseIcon(const Bytes& icon) override;
    int16_t OLEDropMode() const override { return oleDropMode_; }
    bool SetOLEDropMode(int16_t mode) override;
    const std::string& Tag() const override { return tag_; }
    void SetTag(const std::string& tag) override;
    uintptr_t ContainerWindow() const override { return reinterpret_cast<uintptr_t>(container_); }
    ICrossComm* FirstControlOfType(const std::string& typeName) const override;

private:
    void PlaceFromProperties();
    void Invalidate(const RECT& area) const;
    void UpdateCursor();
    double Convert(double value, int32_t fromScale, int32_t toScale, bool horizontal) const;

    WindowlessFactory factory_;
    bool restored_;
    std::unique_ptr<WindowlessObject> object_;
    HWND container_ = nullptr;
    RECT bounds_{};
    bool formShown_ = false;
    bool shown_ = false;  // Show raised, Hide not yet
    std::vector<std::string> changed_;
    bool enabled_ = true;
    int16_t mousePointer_ = 0;
    Bytes mouseIcon_;
    int16_t oleDropMode_ = 0;
    std::string tag_;
};

}  // namespace host
