#include "app/host/windowless.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "app/host/form.h"
#include "app/host/icon_handles.h"
#include "imagecontrol/scale_units.h"

namespace host {
namespace {

constexpr int16_t kCustomMousePointer = 99;
constexpr int16_t kLastStandardMousePointer = 15;
constexpr int16_t kLastOleDropMode = 1;  // none or manual

// MousePointer 1 to 15 as the system's cursor identifiers (IDC_*); 0 is the
// form's own. The icon pointer (4) has no system cursor of its own today.
constexpr std::array<WORD, kLastStandardMousePointer + 1> kStandardCursors = {
    0,     32512, 32515, 32513, 32512, 32646, 32643, 32645,
    32642, 32644, 32516, 32514, 32648, 32650, 32651, 32646,
};

constexpr std::array<std::string_view, 7> kHostKeys = {"Left", "Top", "Width", "Height", "Visible", "TabIndex", "Tag"};

}  // namespace

bool IsHostKey(const std::string& key) { return std::ranges::find(kHostKeys, key) != kHostKeys.end(); }

WindowlessControl::WindowlessControl(Form& form, FormObject description, int id, WindowlessFactory factory,
                                     bool restored)
    : Control(form, std::move(description), id),
      factory_(std::move(factory)),
      restored_(restored),
      tag_(Properties().ReadText("Tag", "")) {}

WindowlessControl::~WindowlessControl() { Destroy(); }

bool WindowlessControl::Create(HWND parent, HFONT) {
    if (!factory_) return false;
    container_ = parent;
    formShown_ = IsWindowVisible(parent) != FALSE;
    PlaceFromProperties();
    object_ = factory_(*this);
    if (!object_) return false;
    if (restored_)
        object_->ReadProperties();
    else
        object_->InitProperties();
    object_->Resize();
    FormShown(formShown_);
    Refresh();
    return true;
}

void WindowlessControl::Destroy() {
    if (!object_) return;
    Refresh();
    FormShown(false);
    object_.reset();
    container_ = nullptr;
    cursor_.reset();
}

void WindowlessControl::PlaceFromProperties() {
    const PropertyBag& p = Properties();
    bounds_.left = form_.TwipsToPixelsX(static_cast<int>(p.ReadInt("Left", 0)));
    bounds_.top = form_.TwipsToPixelsY(static_cast<int>(p.ReadInt("Top", 0)));
    bounds_.right = bounds_.left + form_.TwipsToPixelsX(static_cast<int>(p.ReadInt("Width", 0)));
    bounds_.bottom = bounds_.top + form_.TwipsToPixelsY(static_cast<int>(p.ReadInt("Height", 0)));
}

void WindowlessControl::FollowDpi(HFONT) {
    const RECT old = bounds_;
    PlaceFromProperties();
    if (Visible()) {
        Invalidate(old);
        Invalidate(bounds_);
    }
    if (object_) object_->Resize();
}

void WindowlessControl::Invalidate(const RECT& area) const {
    // The form paints its background into the same buffer: no erase.
    if (container_ && !IsRectEmpty(&area)) InvalidateRect(container_, &area, FALSE);
}

void WindowlessControl::SetVisible(bool visible) {
    if (visible == Visible()) return;
    description_.properties.Write("Visible", visible, true);
    Invalidate(bounds_);
    FormShown(formShown_);
}

void WindowlessControl::Move(const RECT& bounds) {
    RECT old = bounds_;
    auto twipsX = [&](int pixels) { return static_cast<int64_t>(MulDiv(pixels, 1440, form_.DpiX())); };
    auto twipsY = [&](int pixels) { return static_cast<int64_t>(MulDiv(pixels, 1440, form_.DpiY())); };
    description_.properties.Set("Left", twipsX(bounds.left));
    description_.properties.Set("Top", twipsY(bounds.top));
    description_.properties.Set("Width", twipsX(bounds.right - bounds.left));
    description_.properties.Set("Height", twipsY(bounds.bottom - bounds.top));
    bounds_ = bounds;
    if (Visible()) {
        Invalidate(old);
        Invalidate(bounds_);
    }
    if (object_ && (old.right - old.left != bounds.right - bounds.left || old.bottom - old.top != bounds.bottom - bounds.top))
        object_->Resize();
}

void WindowlessControl::FormShown(bool shown) {
    formShown_ = shown;
    bool show = shown && Visible() && object_;
    if (show == shown_) return;
    shown_ = show;
    if (show)
        object_->Show();
    else
        object_->Hide();
}

void WindowlessControl::PaintInto(HDC dc, HRGN clip) {
    if (!object_ || !Visible() || IsRectEmpty(&bounds_)) return;
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    RECT device = bounds_;
    OffsetRect(&device, origin.x, origin.y);
    if (!RectInRegion(clip, &device)) return;

    win32::DcStateScope state(dc);
    SelectClipRgn(dc, clip);
    OffsetViewportOrgEx(dc, bounds_.left, bounds_.top, nullptr);
    IntersectClipRect(dc, 0, 0, bounds_.right - bounds_.left, bounds_.bottom - bounds_.top);
    RECT box{};
    if (GetClipBox(dc, &box) <= NULLREGION) return;
    object_->Paint(PaintSurface{dc, nullptr}, PixelRect{box.left, box.top, box.right, box.bottom});
}

void WindowlessControl::WriteBack() {
    if (!object_) return;
    std::vector<std::string> own;
    for (const auto& entry : Properties().Entries())
        if (!IsHostKey(entry.first)) own.push_back(entry.first);
    for (const std::string& key : own) description_.properties.Remove(key);
    object_->WriteProperties();
}

const PropertyValue* WindowlessControl::ReadProperty(const std::string& key) const {
    return IsHostKey(key) ? nullptr : Properties().Find(key);
}

void WindowlessControl::WriteProperty(const std::string& key, PropertyValue value, const PropertyValue& defaultValue) {
    if (!IsHostKey(key)) description_.properties.Write(key, std::move(value), defaultValue);
}

void WindowlessControl::PropertyChanged(const std::string& name) {
    if (std::ranges::find(changed_, name) == changed_.end()) changed_.push_back(name);
}

bool WindowlessControl::UserMode() const { return form_.UserMode(); }

bool WindowlessControl::ParentScaleMode(int32_t& scaleMode) const {
    std::optional<int32_t> mode = form_.ScaleMode();
    if (mode) scaleMode = *mode;
    return mode.has_value();
}

void WindowlessControl::Size(double widthTwips, double heightTwips) {
    RECT old = bounds_;
    description_.properties.Set("Width", static_cast<int64_t>(std::lround(std::max(widthTwips, 0.0))));
    description_.properties.Set("Height", static_cast<int64_t>(std::lround(std::max(heightTwips, 0.0))));
    PlaceFromProperties();
    if (Visible()) {
        Invalidate(old);
        Invalidate(bounds_);
    }
    if (object_) object_->Resize();
}

double WindowlessControl::Convert(double value, int32_t fromScale, int32_t toScale, bool horizontal) const {
    return ConvertScaleUnits(value, fromScale, toScale, horizontal ? form_.DpiX() : form_.DpiY(),
                             form_.ScaleMode().value_or(vbTwips), horizontal);
}

double WindowlessControl::ScaleX(double value, int32_t fromScale, int32_t toScale) const {
    return Convert(value, fromScale, toScale, true);
}

double WindowlessControl::ScaleY(double value, int32_t fromScale, int32_t toScale) const {
    return Convert(value, fromScale, toScale, false);
}

void WindowlessControl::Refresh() {
    if (Visible()) Invalidate(bounds_);
}

bool WindowlessControl::SetMousePointer(int16_t pointer) {
    if ((pointer < 0 || pointer > kLastStandardMousePointer) && pointer != kCustomMousePointer) return false;
    mousePointer_ = pointer;
    UpdateCursor();
    return true;
}

bool WindowlessControl::SetMouseIcon(const Bytes& icon) {
    if (!icon.empty() && !CursorFromFileBytes(icon, GetSystemMetrics(SM_CXCURSOR))) return false;
    mouseIcon_ = icon;
    UpdateCursor();
    return true;
}

HCURSOR WindowlessControl::MouseCursor() const {
    if (mousePointer_ > 0 && mousePointer_ <= kLastStandardMousePointer)
        return LoadCursorW(nullptr, MAKEINTRESOURCEW(kStandardCursors[static_cast<size_t>(mousePointer_)]));  // shared
    return cursor_.get();
}

void WindowlessControl::UpdateCursor() {
    // Only the custom pointer has a cursor made for it; the others are the system's.
    cursor_.reset();
    if (mousePointer_ == kCustomMousePointer && !mouseIcon_.empty())
        cursor_ = CursorFromFileBytes(mouseIcon_, GetSystemMetrics(SM_CXCURSOR));
}

bool WindowlessControl::SetOLEDropMode(int16_t mode) {
    if (mode < 0 || mode > kLastOleDropMode) return false;
    oleDropMode_ = mode;
    form_.DropModeChanged();
    return true;
}

ICrossComm* WindowlessControl::FirstControlOfType(const std::string& typeName) const {
    // The whole list: a control being read is already in it, with its object.
    // One that holds no shared object (destroyed, or never connected) is
    // passed over, so the next one found is the one its siblings share.
    for (const auto& control : form_.Controls()) {
        if (control->Kind() != typeName) continue;
        auto* windowless = dynamic_cast<const WindowlessControl*>(control.get());
        ICrossComm* candidate = windowless && windowless->object_ ? windowless->object_->CrossComm() : nullptr;
        if (windowless == this || (candidate && candidate->CrossTalkClass())) return candidate;
    }
    return nullptr;
}

void WindowlessControl::SetTag(const std::string& tag) {
    tag_ = tag;
    description_.properties.Write("Tag", tag, std::string());
}

}  // namespace host
