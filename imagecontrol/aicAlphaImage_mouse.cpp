// Hit tests, mouse-enter and mouse-exit tracking, the host's mouse, key and
// drop notifications raised as the control's events, and fading.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "imagecontrol/aicAlphaImage.h"

namespace {

constexpr int16_t kHit = 3;
constexpr uint32_t kMouseExitPollMs = 100;
constexpr uint32_t kWmTimer = 0x0113;

int32_t NearestInt(double value) {
  return std::fabs(value) < 2e9 ? static_cast<int32_t>(std::nearbyint(value))
                                : 0;
}

} // namespace

template <class Handler, class... Args>
bool aicAlphaImage::pvRaise(const Handler &handler, Args &&...args) {
  if (!handler)
    return true;
  const auto alive = pvLifetime();
  const Handler running = handler;
  running(std::forward<Args>(args)...);
  return *alive;
}

float aicAlphaImage::pvToContainerX(float x) const {
  return static_cast<float>(site_.ScaleX(x, vbPixels, containerScaleMode_));
}

float aicAlphaImage::pvToContainerY(float y) const {
  return static_cast<float>(site_.ScaleY(y, vbPixels, containerScaleMode_));
}

void aicAlphaImage::OnHitTest(float X, float Y, int16_t &HitResult) {
  if (HitTestPoint(X, Y))
    HitResult = kHit;
  if (!site_.UserMode() || !crossComm_)
    return;
  const uintptr_t captured = crossComm_->CapturedControl();
  if (captured != Identity()) {
    // Only a hit takes the mouse from a sibling: a miss here (a see-through
    // part over the sibling) must not end the sibling's hover.
    if (HitResult != kHit)
      return;
    const auto alive = pvLifetime();
    if (captured != 0)
      crossComm_->SetCapturedControl(0); // that control raises MouseExit
    if (!*alive)
      return; // its handler destroyed this one
    int32_t cursorX = 0, cursorY = 0, originX = 0, originY = 0;
    system_.CursorPosition(cursorX, cursorY);
    system_.ClientOrigin(hostWindow_, originX, originY);
    controlLeftInHost_ = NearestInt(static_cast<double>(cursorX - originX) - X);
    controlTopInHost_ = NearestInt(static_cast<double>(cursorY - originY) - Y);
    crossComm_->SetCapturedControl(Identity());
    if (!pvRaise(events.MouseEnter))
      return;
    if (mouseTimerReady_ && hostWindow_ != 0)
      system_.SetTimer(hostWindow_, Identity(), kMouseExitPollMs, Identity());
    site_.SetTag("Timer");
  } else if (HitResult == 0) {
    system_.KillTimer(hostWindow_, Identity());
    site_.SetTag("");
    crossComm_->SetCapturedControl(
        0); // our own ReleaseMouseCapture raises the one MouseExit
  }
}

void aicAlphaImage::ReleaseMouseCapture() {
  pvStopMouseTimer();
  pvRaise(events.MouseExit);
}

void aicAlphaImage::pvStopMouseTimer() {
  if (site_.Tag() != "Timer")
    return;
  system_.KillTimer(hostWindow_, Identity());
  site_.SetTag("");
}

bool aicAlphaImage::isMouseOver() const {
  return site_.Enabled() && crossComm_ &&
         crossComm_->CapturedControl() == Identity();
}

void aicAlphaImage::TimerTick(uintptr_t window, uintptr_t id) {
  if (id == Identity())
    pvMouseTimerProc(window, kWmTimer, id, 0);
  else if (id == pvFadeTimerId())
    pvFadeTimerProc(window, kWmTimer, id, 0);
}

void aicAlphaImage::pvMouseTimerProc(uintptr_t window, uint32_t, uintptr_t id,
                                     uint32_t) {
  system_.KillTimer(window, id); // each tick re-arms it
  if (!crossComm_ || crossComm_->CapturedControl() != Identity()) {
    site_.SetTag("");
    return;
  }
  int32_t cursorX = 0, cursorY = 0, originX = 0, originY = 0;
  bool inside = system_.CursorPosition(cursorX, cursorY) &&
                system_.WindowFromPoint(cursorX, cursorY) == window;
  if (inside) {
    system_.ClientOrigin(window, originX, originY);
    inside =
        HitTestPoint(static_cast<float>(cursorX - originX - controlLeftInHost_),
                     static_cast<float>(cursorY - originY - controlTopInHost_));
  }
  if (inside) {
    system_.SetTimer(window, id, kMouseExitPollMs, Identity());
    return;
  }
  const auto alive = pvLifetime();
  crossComm_->SetCapturedControl(
      0); // our ReleaseMouseCapture raises MouseExit once
  if (*alive)
    site_.SetTag("");
}

void aicAlphaImage::OnMouseDown(int16_t &Button, int16_t &Shift, float X,
                                float Y) {
  mouseButtons_ |= static_cast<uint16_t>(Button & 0x0F);
  pvRaise(events.MouseDown, Button, Shift, pvToContainerX(X),
          pvToContainerY(Y));
}

void aicAlphaImage::OnMouseMove(int16_t &Button, int16_t &Shift, float X,
                                float Y) {
  pvRaise(events.MouseMove, Button, Shift, pvToContainerX(X),
          pvToContainerY(Y));
}

void aicAlphaImage::OnMouseUp(int16_t &Button, int16_t &Shift, float X,
                              float Y) {
  // The released button counts for the next Click only if it was seen
  // pressed; the pressed nibble itself stays.
  mouseButtons_ &= 0x0F;
  if ((Button & mouseButtons_) == Button)
    mouseButtons_ |= static_cast<uint16_t>((Button << 4) & 0xF0);
  pvRaise(events.MouseUp, Button, Shift, pvToContainerX(X), pvToContainerY(Y));
}

void aicAlphaImage::OnClick() {
  pvRaise(events.Click, static_cast<int16_t>(mouseButtons_ >> 4));
}

void aicAlphaImage::OnDblClick() {
  pvRaise(events.DblClick, static_cast<int16_t>(mouseButtons_ >> 4));
}

void aicAlphaImage::OnKeyDown(int16_t &KeyCode, int16_t &Shift) {
  pvRaise(events.KeyDown, KeyCode, Shift);
}

void aicAlphaImage::OnKeyPress(int16_t &KeyAscii) {
  pvRaise(events.KeyPress, KeyAscii);
}

void aicAlphaImage::OnKeyUp(int16_t &KeyCode, int16_t &Shift) {
  pvRaise(events.KeyUp, KeyCode, Shift);
}

void aicAlphaImage::OnOLEDragOver(void *&data, int32_t &Effect, int16_t &Button,
                                  int16_t &Shift, float X, float Y,
                                  int16_t &State) {
  pvRaise(events.OLEDragOver, data, Effect, Button, Shift, pvToContainerX(X),
          pvToContainerY(Y), State);
}

void aicAlphaImage::OnOLEDragDrop(void *&data, int32_t &Effect, int16_t &Button,
                                  int16_t &Shift, float X, float Y) {
  pvRaise(events.OLEDragDrop, data, Effect, Button, Shift, pvToContainerX(X),
          pvToContainerY(Y));
}

void aicAlphaImage::pvStopFade() {
  if (fadeStep_ == 0)
    return;
  system_.KillTimer(hostWindow_, pvFadeTimerId());
  fadeStep_ = 0;
}

void aicAlphaImage::FadeInOut(int32_t FinalOpacity, int32_t FadeStepPercent,
                              int32_t FadeDelayInterval) {
  pvStopFade();
  FinalOpacity = std::clamp(FinalOpacity, 0, 100);
  if (FadeStepPercent == 0 || FinalOpacity == opacity_)
    return;
  const int64_t step =
      std::min<int64_t>(std::llabs(static_cast<int64_t>(FadeStepPercent)), 100);
  fadeStep_ = static_cast<int32_t>(FinalOpacity < opacity_ ? -step : step);
  fadeTarget_ = FinalOpacity;
  fadeDelay_ = FadeDelayInterval > 9 ? FadeDelayInterval : 10;
  pvFadeTimerProc(hostWindow_, 0, pvFadeTimerId(), 0);
}

void aicAlphaImage::pvFadeTimerProc(uintptr_t window, uint32_t, uintptr_t id,
                                    uint32_t) {
  system_.KillTimer(window, id);
  if (fadeStep_ == 0)
    return; // cancelled while its tick was on its way
  const int32_t next = opacity_ + fadeStep_;
  const bool ended = fadeStep_ < 0 ? fadeTarget_ >= next : next >= fadeTarget_;
  if (!ended) {
    SetOpacity(next);
    if (window != 0)
      system_.SetTimer(window, id, static_cast<uint32_t>(fadeDelay_),
                       Identity());
    return;
  }
  fadeStep_ = 0;
  SetOpacity(fadeTarget_);
  pvRaise(events.FadeTerminated, opacity_);
}

bool aicAlphaImage::GDIplusInitialized() const {
  return crossComm_ && crossComm_->gdiToken() != 0;
}

bool aicAlphaImage::GDIplusEnabled() const {
  return image_->isGDIplusEnabled();
}
