// What a form offers a windowless control it hosts: its stored properties,
// its size and scale, repainting, and the values the form keeps for every
// control (Enabled, mouse pointer, drop mode, tag).
#pragma once

#include <cstdint>
#include <string>

#include "common/property_value.h"
#include "imagecontrol/cCrossComm.h"
#include "imagecore/c32bppDIB.h"

// Scale modes of a form, as ScaleX/ScaleY convert between them.
enum ScaleModes : int32_t {
    vbUser = 0,
    vbTwips = 1,
    vbPoints = 2,
    vbPixels = 3,
    vbCharacters = 4,
    vbInches = 5,
    vbMillimeters = 6,
    vbCentimeters = 7,
    vbHimetric = 8,
    vbContainerPosition = 9,
    vbContainerSize = 10,
};

// Where a control paints: a device context whose origin is the control's
// top-left corner and whose clipping is the control's part of the update
// region (Windows), or a host image the control's size (natively).
struct PaintSurface {
    c32bppDIB::DrawingDc dc = nullptr;
    c32bppDIB* hostImage = nullptr;
};

// A rectangle in control pixels; right and bottom are exclusive.
struct PixelRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int32_t x, int32_t y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const PixelRect&) const = default;
};

class ControlSite {
public:
    virtual ~ControlSite() = default;

    // The control's stored values: null when the key is missing. Writing a
    // value equal to its default leaves the key out; keys keep the order in
    // which they were written.
    virtual const PropertyValue* ReadProperty(const std::string& key) const = 0;
    virtual void WriteProperty(const std::string& key, PropertyValue value, const PropertyValue& defaultValue) = 0;
    // A property changed through its setter; a designer marks itself dirty.
    virtual void PropertyChanged(const std::string& name) = 0;

    // False while the form is being designed.
    virtual bool UserMode() const = 0;
    // The parent form's ScaleMode; false when the form has none.
    virtual bool ParentScaleMode(int32_t& scaleMode) const = 0;
    // The control's inner size in pixels.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;
    // Resizes the control (twips); the host calls the control's resize handler.
    virtual void Size(double widthTwips, double heightTwips) = 0;
    // Converts a horizontal or vertical length between scale modes.
    virtual double ScaleX(double value, int32_t fromScale, int32_t toScale) const = 0;
    virtual double ScaleY(double value, int32_t fromScale, int32_t toScale) const = 0;
    // Asks the host to repaint the control's rectangle.
    virtual void Refresh() = 0;

    // Values the form keeps for every control. The setters answer false
    // when the host refuses the value.
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual int16_t MousePointer() const = 0;
    virtual bool SetMousePointer(int16_t pointer) = 0;
    // A cursor or icon file; empty for none.
    virtual const Bytes& MouseIcon() const = 0;
    virtual bool SetMouseIcon(const Bytes& icon) = 0;
    virtual int16_t OLEDropMode() const = 0;
    virtual bool SetOLEDropMode(int16_t mode) = 0;
    virtual const std::string& Tag() const = 0;
    virtual void SetTag(const std::string& tag) = 0;

    // The window that contains the control (0 natively).
    virtual uintptr_t ContainerWindow() const = 0;
    // The first control on the form (in creation order, this one included)
    // whose type name is typeName and that holds a shared object, else this
    // control itself; null where this control is of another type and no
    // control holds one. The answer is the only way to the object siblings
    // share: a control makes one only when given itself, and every later one
    // is given the holder. So every site answers; there is no default that
    // would leave a control with an object of its own.
    virtual ICrossComm* FirstControlOfType(const std::string& typeName) const = 0;
};
