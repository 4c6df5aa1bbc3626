// A windowless, transparent image control: one picture drawn with scaling,
// rotation, opacity, grey-scale, lightness, mirroring, a mask colour and a
// drop shadow, its settings and image saved in the hosting form.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "codecs/modParsers.h"
#include "imagecontrol/cCrossComm.h"
#include "imagecontrol/control_site.h"
#include "imagecontrol/user_interface_system.h"
#include "imagecore/c32bppDIB.h"

class aicAlphaImage final : public ICrossComm {
public:
    static constexpr const char* kTypeName = "aicAlphaImage";

    // The control's events, raised by the mouse, key, drop and fade handling.
    struct Events {
        std::function<void(int16_t Button)> Click;
        std::function<void(int16_t Button)> DblClick;
        std::function<void()> MouseExit;
        std::function<void()> MouseEnter;
        std::function<void(int16_t& Button, int16_t& Shift, float x, float y)> MouseUp;
        std::function<void(int16_t& Button, int16_t& Shift, float x, float y)> MouseMove;
        std::function<void(int16_t& Button, int16_t& Shift, float x, float y)> MouseDown;
        std::function<void(int16_t& KeyCode, int16_t& Shift)> KeyDown;
        std::function<void(int16_t& KeyAscii)> KeyPress;
        std::function<void(int16_t& KeyCode, int16_t& Shift)> KeyUp;
        // data by reference: a handler may hand on another data object.
        std::function<void(void*& data, int32_t& Effect, int16_t& Button, int16_t& Shift, float x, float y)>
            OLEDragDrop;
        std::function<void(void*& data, int32_t& Effect, int16_t& Button, int16_t& Shift, float x, float y,
                           int16_t& State)>
            OLEDragOver;
        std::function<void(int32_t CurrentOpacity)> FadeTerminated;
    };
    Events events;

    // The image is made with the system's capabilities, or with the given
    // bits and window system (tests).
    explicit aicAlphaImage(ControlSite& site);
    aicAlphaImage(ControlSite& site, uint32_t imageCapabilityBits, UserInterfaceSystem& system = SystemUserInterface());
    ~aicAlphaImage();
    aicAlphaImage(const aicAlphaImage&) = delete;
    aicAlphaImage& operator=(const aicAlphaImage&) = delete;

    // Host events.
    void InitProperties();
    void ReadProperties();
    void WriteProperties();
    void Show();
    void Hide();
    void Resize();  // the layout
    // clipBox: the part to repaint, in control pixels.
    void Paint(const PaintSurface& surface, const PixelRect& clipBox);

    // Properties. Setters ignore values out of range and notify the site.
    int32_t ScaleMethod() const { return scaleMethod_; }
    void SetScaleMethod(int32_t Method);
    bool StretchQuality() const { return Flag(kStretchQuality); }
    void SetStretchQuality(bool highQuality);
    bool AutoSize() const { return Flag(kAutoSize); }
    void SetAutoSize(bool Value);
    bool AutoRedraw() const { return Flag(kAutoRedraw); }
    void SetAutoRedraw(bool Enable);
    bool KeepOriginalFormat() const { return Flag(kKeepOriginalFormat); }
    void SetKeepOriginalFormat(bool Keep);
    bool InversedImage() const { return Flag(kInversedImage); }
    void SetInversedImage(bool Inverse);
    bool RotateEnabled() const { return Flag(kRotateEnabled); }
    void SetRotateEnabled(bool canRotate);
    int32_t Rotation() const { return rotation_; }
    void SetRotation(int32_t newAngle);
    int32_t Opacity() const { return opacity_; }
    void SetOpacity(int32_t Opaqueness);
    int32_t Mirror() const { return mirror_; }
    void SetMirror(int32_t MirrorType);
    int32_t grayScale() const { return grayFormula_ + 1; }
    void SetgrayScale(int32_t Style);
    float IntensityOffset() const { return lightAdjustment_; }
    void SetIntensityOffset(float Adjustment);
    int32_t HitTest() const { return hitTestStyle_; }
    void SetHitTest(int32_t Style);
    uint32_t MaskColor() const { return maskColor_; }
    void SetMaskColor(uint32_t Color);
    int32_t MaskUsed() const { return maskSource_; }
    void SetMaskUsed(int32_t Style);
    bool ShadowEnabled() const { return Flag(kShadowEnabled); }
    void SetShadowEnabled(bool Enable);
    uint32_t ShadowColor() const { return shadowColor_; }
    void SetShadowColor(uint32_t Color);
    int32_t ShadowOffsetX() const { return shadowOffsetX_; }
    void SetShadowOffsetX(int32_t Offset);
    int32_t ShadowOffsetY() const { return shadowOffsetY_; }
    void SetShadowOffsetY(int32_t Offset);
    int32_t ShadowDepth() const { return shadowDepth_; }
    void SetShadowDepth(int32_t Depth);
    int32_t ShadowOpacity() const { return shadowOpacity_; }
    void SetShadowOpacity(int32_t Opaqueness);
    bool Enabled() const { return site_.Enabled(); }
    void SetEnabled(bool Enable);
    int32_t MousePointer() const { return site_.MousePointer(); }
    void SetMousePointer(int32_t Pointer);
    const Bytes& MouseIcon() const { return site_.MouseIcon(); }
    void SetMouseIcon(const Bytes& Icon);
    int32_t OLEDropMode() const { return site_.OLEDropMode(); }
    void SetOLEDropMode(int32_t Value);
    int32_t ImageType() const;
    // Device pixels per 96-DPI pixel where the control is shown (1 in a
    // form, the window's DPI / 96 in a window): an actual-size picture and
    // the shadow's offsets scale by it. Values outside 0.25-8 are refused.
    double DeviceScale() const { return deviceScale_; }
    void SetDeviceScale(double scale);

    // Mouse, keys and drops, as the host reports them in control pixels.
    // HitResult: 3 when the point is on the control, else as passed in.
    void OnHitTest(float X, float Y, int16_t& HitResult);
    void OnMouseDown(int16_t& Button, int16_t& Shift, float X, float Y);
    void OnMouseMove(int16_t& Button, int16_t& Shift, float X, float Y);
    void OnMouseUp(int16_t& Button, int16_t& Shift, float X, float Y);
    void OnClick();
    void OnDblClick();
    void OnKeyDown(int16_t& KeyCode, int16_t& Shift);
    void OnKeyPress(int16_t& KeyAscii);
    void OnKeyUp(int16_t& KeyCode, int16_t& Shift);
    // data: the drop's data object (an IDataObject on Windows).
    void OnOLEDragOver(void*& data, int32_t& Effect, int16_t& Button, int16_t& Shift, float X, float Y,
                       int16_t& State);
    void OnOLEDragDrop(void*& data, int32_t& Effect, int16_t& Button, int16_t& Shift, float X, float Y);
    // A timer this control started: its identity for the mouse-exit poll,
    // the negated identity for the fade.
    void TimerTick(uintptr_t window, uintptr_t id);

    bool isMouseOver() const;
    void FadeInOut(int32_t FinalOpacity, int32_t FadeStepPercent, int32_t FadeDelayInterval);
    bool GDIplusInitialized() const;
    bool GDIplusEnabled() const;
    // The control's identity: its address.
    uintptr_t Identity() const { return reinterpret_cast<uintptr_t>(this); }

    // ICrossComm
    std::shared_ptr<cCrossComm> CrossTalkClass() const override { return crossComm_; }
    void ReleaseMouseCapture() override;

    // Painting, sizing and scaling.
    void Refresh();
    void GetImageScales(int32_t& Width, int32_t& Height, int32_t ScaleMethod = -1, int32_t desiredWidth = 0,
                        int32_t desiredHeight = 0, bool asRotatedImage = false) const;
    // False, with nothing changed, when the move would overflow a position.
    bool OffsetImage(bool SetOffsets, int32_t& x, int32_t& y, int32_t& ShadowX, int32_t& ShadowY);
    void OffsetShadow(int32_t x, int32_t y);

    // Loading and exchange. Icon sizes below 1 become the control's size
    // (and 32 bits), in the caller's variables too.
    bool LoadImage_FromArray(const Bytes& inStream, int32_t& desiredIconWidth, int32_t& desiredIconHeight,
                             int32_t& desiredIconBitDepth);
    bool LoadImage_FromFile(const std::wstring& FileName, int32_t& desiredIconWidth, int32_t& desiredIconHeight,
                            int32_t& desiredIconBitDepth);
    bool LoadImage_FromOrignalBytes(int32_t& desiredIconWidth, int32_t& desiredIconHeight,
                                    int32_t& desiredIconBitDepth);
#ifdef _WIN32
    bool LoadImage_FromStdPicture(IPicture* stdPic);
    bool LoadImage_FromClipboard();
    bool LoadImage_FromHandle(HANDLE Handle);
    bool LoadImage_FromResource(HMODULE VBglobal, const c32bppDIB::ResourceSection& ResSection,
                                const c32bppDIB::ResourceId& ResID, int32_t& desiredIconWidth,
                                int32_t& desiredIconHeight, int32_t& desiredIconBitDepth);
#endif
    void ClearImage();
    bool GetImageBytes(Bytes& imgBytes, int32_t& scanWidth, bool asArray2D = false, bool asBGRformat = true,
                       bool asBottomUp = true, bool asPreMultiplied = true, bool asFileFormat = false);
    bool SetImageBytes(const Bytes& imgBytes, bool isBGRformat = true, bool isBottomUp = true);

    // The hit area: whether a point in control pixels is on the control.
    bool HitTestPoint(float x, float y) const;

    // For the design-time property page.
    bool pvGetOriginalBytes(Bytes& bytes) const;
    void pvLoadForPropertyPage(const Bytes& bytes, int32_t width, int32_t height, int32_t depth);
    c32bppDIB& pvGetImageObject() { return *image_; }
    const c32bppDIB& pvGetImageObject() const { return *image_; }

    // Read-only views of the layout, for the host and its tests.
    int32_t ImageLeft() const { return imageLeft_; }
    int32_t ImageTop() const { return imageTop_; }
    int32_t ScaledWidth() const { return scaledWidth_; }
    int32_t ScaledHeight() const { return scaledHeight_; }
    int32_t RotatedExtent() const { return rotatedExtent_; }
    bool ActualSizeDraw() const { return actualSizeDraw_; }
    bool MaskApplied() const { return maskApplied_; }
    uint32_t AppliedMaskColor() const { return appliedMaskColor_; }
    int32_t ContainerScaleMode() const { return containerScaleMode_; }
    const PixelRect& HitRect() const { return hitRect_; }
    bool HasHitRegion() const { return hasHitRegion_; }
    bool BufferInUse() const { return Flag(kBufferInUse); }
    const c32bppDIB* BufferImage() const { return bufferImage_.get(); }
    const c32bppDIB* ShadowImage() const { return shadowImage_.get(); }
    uint32_t PropsFlags() const { return propsFlags_; }
    uint16_t MouseButtons() const { return mouseButtons_; }
    int32_t FadeStep() const { return fadeStep_; }

private:
    enum Flags : uint32_t {
        kStretchQuality = 0x001,
        kAutoSize = 0x004,
        kAutoRedraw = 0x008,
        kKeepOriginalFormat = 0x010,
        kBufferInUse = 0x020,
        kInversedImage = 0x040,
        kShadowEnabled = 0x080,
        kRotateEnabled = 0x100,
    };
    bool Flag(uint32_t bit) const { return (propsFlags_ & bit) != 0; }
    void ToggleFlag(uint32_t bit) { propsFlags_ ^= bit; }

    // Raises an event through a copy of its handler; false when a handler
    // destroyed the control (and with it the handler itself).
    template <class Handler, class... Args>
    bool pvRaise(const Handler& handler, Args&&... args);
    // Goes false with the control: code that raised an event, its own or a
    // sibling's, asks before touching the control again.
    std::shared_ptr<const bool> pvLifetime() const { return alive_; }

    void pvConnectCrossComm();
    void pvDisconnectCrossComm();
    void pvStopMouseTimer();
    void pvStopFade();
    void pvMouseTimerProc(uintptr_t window, uint32_t message, uintptr_t id, uint32_t time);
    void pvFadeTimerProc(uintptr_t window, uint32_t message, uintptr_t id, uint32_t time);
    float pvToContainerX(float x) const;
    int64_t pvScaledOffset(int32_t offset) const;
    float pvToContainerY(float y) const;
    uintptr_t pvFadeTimerId() const { return static_cast<uintptr_t>(0) - Identity(); }
    void pvReadContainerScaleMode();
    void pvApplyMirror(int32_t target);
    void pvRemoveMask();
    void pvResizeAndRefresh();
    bool pvRenderBuffer(bool recreate, bool updateHitArea);
    void pvUpdateShadow();
    void pvUpdateHitArea();
    void pvAfterPixelsChanged();  // buffer, hit area, shadow and repaint
    void pvApplyImageSettings();
    void pvKeepEncodedBytes();
    uint32_t pvCornerColor(int32_t source) const;
    void pvMirrorPixels(int32_t difference);
    std::unique_ptr<c32bppDIB> pvNewImage() const;
    void pvDefaultIconSize(int32_t& width, int32_t& height, int32_t& depth) const;
    void pvPaintShadow(const PaintSurface& surface);
    void pvPaintPicture(const PaintSurface& surface, const PixelRect& paint);
    void pvDropHitRegion();
    void pvWholeControlHitRect();
    PixelRect pvHitRegionBox() const;
    void pvMoveHitArea(int32_t dx, int32_t dy);
    void pvReadStoredState();
    void pvReapplyModifications();
    Bytes pvImageBytesToSave();

    ControlSite& site_;
    UserInterfaceSystem& system_;
    std::shared_ptr<cCrossComm> crossComm_;
    uintptr_t hostWindow_ = 0;
    bool mouseTimerReady_ = false;  // run mode: the mouse-exit poll can run
    int32_t controlLeftInHost_ = 0, controlTopInHost_ = 0;
    int32_t fadeStep_ = 0, fadeDelay_ = 0, fadeTarget_ = 0;
    uint32_t propsFlags_ = 0;
    uint16_t mouseButtons_ = 0;
    int32_t rotation_ = 0;
    int32_t hitTestStyle_ = 0;
    bool hasHitRegion_ = false;
    bool makingHitBuffer_ = false;  // the buffer exists only to shape the hit region
    std::vector<modParsers::RegionRect> hitRegion_;  // control pixels
    PixelRect hitRect_;
    int32_t grayFormula_ = -1;
    int32_t containerScaleMode_ = vbContainerPosition;
    int32_t scaleMethod_ = 0;
    int32_t mirror_ = 0;
    int32_t opacity_ = 100;
    float lightAdjustment_ = 0;
    uint32_t maskColor_ = 0x8000000F;
    bool maskApplied_ = false;
    uint32_t appliedMaskColor_ = 0;
    int32_t maskSource_ = 0;
    int32_t imageLeft_ = 0, imageTop_ = 0;
    int32_t scaledWidth_ = 0, scaledHeight_ = 0;
    int32_t rotatedExtent_ = 0;
    int32_t userOffsetX_ = 0, userOffsetY_ = 0;
    bool actualSizeDraw_ = false;
    bool resizing_ = false;  // the control's own Size call is running
    std::unique_ptr<c32bppDIB> image_;
    std::unique_ptr<c32bppDIB> bufferImage_;
    std::unique_ptr<c32bppDIB> shadowImage_;
    uint32_t shadowColor_ = 0x404040;
    int32_t shadowOffsetX_ = 2, shadowOffsetY_ = 2;
    int32_t shadowDepth_ = 2;
    int32_t shadowOpacity_ = 50;
    double deviceScale_ = 1.0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
