// MendlowAlphaImage: a child window that shows one picture with alpha,
// drawn over its parent's background, scaled, rotated, mirrored, greyed,
// lightened, faded and shadowed. Register the class once, then create it
// with CreateWindowExW or name it in a dialog template; drive it with the
// AIM_ messages (or the AlphaImageWindow wrapper below) and hear from it
// through WM_NOTIFY with the AIN_ codes.
//
// Threads: any number of user-interface threads may each create and use
// their own windows of the class at once; a window is driven from the
// thread that created it, as every window is. A handler of any of its
// notifications may destroy the window (or its parent).
//
// As the standard controls do: with WS_TABSTOP it takes the focus (shown
// by a focus rectangle), answers WM_GETDLGCODE as a button, and Space (on
// release), Enter and BM_CLICK press it. A right click, Shift+F10 or the
// menu key sends WM_CONTEXTMENU to the parent. Disabled (WS_DISABLED,
// EnableWindow) it is drawn grey and half see-through and sends nothing; a
// hidden window stops fading. Screen readers hear its window text as its
// name, and its role as a picture, or as a button with WS_TABSTOP.
//
// DPI: an actual-size picture is its size in 96-DPI pixels scaled to the
// DPI of the window's monitor, and the shadow's offsets scale with it; a
// per-monitor-aware program's windows follow a move to another monitor.
//
// Resource scripts may include this header: they see the class name and
// the AIS_ styles only.
#pragma once

#include <windows.h>

#define MENDLOW_ALPHA_IMAGE_CLASS L"MendlowAlphaImage"

// Window styles, read when the window is made and when its style changes,
// so that a dialog template alone configures it:
//   CONTROL "Company logo", 100, "MendlowAlphaImage", WS_VISIBLE | AIS_ACTUALSIZE | AIS_HITPIXELS, 10, 10, 60, 40
// The fit mode (AIP_FITMODE):
#define AIS_FIT 0x0000           // scaled to fit
#define AIS_STRETCH 0x0001       // stretched to the window
#define AIS_FITNOENLARGE 0x0002  // scaled to fit, never enlarged
#define AIS_ACTUALSIZE 0x0003    // at its own size, centred
#define AIS_FITMASK 0x0003
// What takes the mouse (AIP_HITTEST):
#define AIS_HITWINDOW 0x0000  // the whole window
#define AIS_HITBOX 0x0010     // the visible pixels' bounding box
#define AIS_HITROWS 0x0020    // their span on each row
#define AIS_HITPIXELS 0x0030  // the visible pixels
#define AIS_HITMASK 0x0030

#ifndef RC_INVOKED

#include <cstddef>
#include <cstdint>

namespace mendlow {

// Registers the window class for the module; true when it is registered
// (again, too), false when a class of that name with another window
// procedure is there. Call it before creating the first window or dialog.
bool RegisterAlphaImageWindowClass(HINSTANCE instance);
// Unregisters it, as a module that is unloaded must; false while windows of
// it exist.
bool UnregisterAlphaImageWindowClass(HINSTANCE instance);
// The instance the class was last registered with, null when it is not.
HINSTANCE AlphaImageWindowClassInstance();

// Messages. Loads answer TRUE when the new picture is shown; on FALSE the
// window is left empty, as after AIM_CLEAR.
enum AlphaImageMessage : UINT {
    AIM_LOADFILE = WM_USER + 0x300,  // lParam: const wchar_t* path
    AIM_LOADBYTES,                   // wParam: byte count, lParam: const uint8_t* bytes (a file's contents)
    AIM_LOADRESOURCE,                // lParam: const AlphaImageResource*
    AIM_LOADCLIPBOARD,               // the clipboard's bitmap or metafile
    AIM_CLEAR,                       // no picture
    AIM_SETPROPERTY,                 // wParam: AlphaImageProperty, lParam: value; answers TRUE when it now holds it
    AIM_GETPROPERTY,                 // wParam: AlphaImageProperty; answers the value
    AIM_FADE,                        // wParam: final opacity 0-100, lParam: MAKELPARAM(step %, delay ms); FALSE: nothing to fade (step 0, or at it)
    AIM_HITTEST,                     // lParam: MAKELPARAM(x, y) in client pixels; TRUE on the picture
};

// A picture kept in a module's resources. type is a custom type name
// ("PNG", or "#10" for RT_RCDATA) holding a file's bytes; name is a name or
// MAKEINTRESOURCEW(number).
struct AlphaImageResource {
    HMODULE module;  // null: the program itself
    const wchar_t* type;
    const wchar_t* name;
};

// The properties AIM_SETPROPERTY and AIM_GETPROPERTY reach, with their
// ranges; values outside are refused. The numbers stay as they are.
enum AlphaImageProperty : WPARAM {
    AIP_FITMODE = 0,         // 0 scale to fit (default), 1 stretch, 2 fit but never enlarge, 3 actual size, 4 size kept
    AIP_STRETCHQUALITY = 1,  // 0/1: high-quality resampling (default 1)
    AIP_AUTOSIZE = 2,        // 0/1: the window takes the picture's size (default 0: it keeps its creator's size)
    AIP_ROTATEENABLED = 3,   // 0/1: AIP_ROTATION applies (default 0)
    AIP_ROTATION = 4,        // degrees, -359 to 359 (default 0)
    AIP_MIRROR = 5,          // 0 none (default), 1 horizontal, 2 vertical, 3 both
    AIP_GRAYSCALE = 6,       // 0 colour (default), 1-8 a grey formula
    AIP_LIGHTNESS = 7,       // -100 (darker) to 100 (lighter), 0 unchanged (default)
    AIP_OPACITY = 8,         // 0 (invisible) to 100 (opaque, default)
    AIP_INVERSED = 9,        // 0/1: colours inverted (default 0)
    AIP_MASKCOLOR = 10,      // COLORREF made see-through when AIP_MASKUSED is 1, read as one too (default the button face, as GetSysColor gives it)
    AIP_MASKUSED = 11,       // 0 none (default), 1 AIP_MASKCOLOR, 2-5 the colour of a corner; not for alpha pictures
    AIP_HITTEST = 12,        // 0 the whole window (default), 1 the visible pixels' box, 2 their span per row, 3 them
    AIP_SHADOWENABLED = 13,  // 0/1: a drop shadow under the picture (default 0)
    AIP_SHADOWCOLOR = 14,    // COLORREF 0x00BBGGRR (default dark grey, 0x404040)
    AIP_SHADOWOFFSETX = 15,  // pixels, -32768 to 32767 (default 2)
    AIP_SHADOWOFFSETY = 16,  // pixels, -32768 to 32767 (default 2)
    AIP_SHADOWDEPTH = 17,    // blur, 0 to 10 pixels (default 2)
    AIP_SHADOWOPACITY = 18,  // 0 to 100 (default 50)
    AIP_IMAGETYPE = 19,      // read only: the loaded picture's kind, an AlphaImageType; AIT_NONE (0) with nothing loaded
    AIP_COUNT = 20           // the number of properties
};

// What AIP_IMAGETYPE reports: the kind of the picture as it was read.
enum AlphaImageType : int {
    AIT_NONE = 0,                 // no picture
    AIT_BITMAP = 1,
    AIT_METAFILE = 2,
    AIT_ICON = 3,
    AIT_ENHMETAFILE = 4,
    AIT_CURSOR = 5,
    AIT_BITMAPALPHA = 6,          // a bitmap with an alpha channel
    AIT_BITMAPPREMULTIPLIED = 7,  // the same, premultiplied
    AIT_ICONALPHA = 8,
    AIT_GIF = 9,
    AIT_PNG = 10,                 // PNG, or anything GDI+ read
    AIT_ICONPNG = 11,             // an icon holding a PNG
    AIT_CURSORALPHA = 12,
};

// WM_NOTIFY codes; lParam points to an NMALPHAIMAGE. Those from AIN_FIRST
// up to AIN_LAST are this class's, as the common controls reserve theirs;
// new ones follow AIN_FADEEND.
enum AlphaImageNotification : UINT {
    AIN_FIRST = 0U - 3200U,  // the first code reserved for this class
    AIN_LAST = 0U - 3101U,   // the last code reserved for this class
    AIN_CLICK = AIN_FIRST,   // a press and release on the picture; button: 1 left, 2 right, 4 middle, 0 a key (x and y -1)
    AIN_DBLCLK,              // a double click on the picture, after one AIN_CLICK; button as for AIN_CLICK
    AIN_MOUSEENTER,          // the pointer came onto the picture (as the hit test sees it)
    AIN_MOUSEEXIT,           // the pointer left the picture
    AIN_FADEEND,             // AIM_FADE reached its final opacity, given in opacity
};

struct NMALPHAIMAGE {
    NMHDR hdr;
    int button;
    int x, y;  // client pixels, for clicks
    int opacity;
};

// A typed view of one window; it owns nothing.
class AlphaImageWindow {
public:
    explicit AlphaImageWindow(HWND window = nullptr) : window_(window) {}
    HWND Window() const { return window_; }

    // Creates one as a child of parent, at the given client rectangle, of
    // the class as registered (the parent may come from another module).
    // text: what screen readers call it ("Company logo"); empty for a
    // picture that only decorates.
    static AlphaImageWindow Create(HWND parent, int id, RECT bounds, DWORD style = WS_VISIBLE,
                                   const wchar_t* text = L"") {
        return AlphaImageWindow(CreateWindowExW(0, MENDLOW_ALPHA_IMAGE_CLASS, text, style | WS_CHILD, bounds.left,
                                                bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top,
                                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                                AlphaImageWindowClassInstance(), nullptr));
    }

    bool LoadFile(const wchar_t* path) const { return Send(AIM_LOADFILE, 0, reinterpret_cast<LPARAM>(path)) != 0; }
    bool LoadBytes(const uint8_t* bytes, size_t count) const {
        return Send(AIM_LOADBYTES, count, reinterpret_cast<LPARAM>(bytes)) != 0;
    }
    bool LoadResource(HMODULE module, const wchar_t* type, const wchar_t* name) const {
        const AlphaImageResource resource{module, type, name};
        return Send(AIM_LOADRESOURCE, 0, reinterpret_cast<LPARAM>(&resource)) != 0;
    }
    bool LoadClipboard() const { return Send(AIM_LOADCLIPBOARD, 0, 0) != 0; }
    void Clear() const { Send(AIM_CLEAR, 0, 0); }

    bool Set(AlphaImageProperty property, LPARAM value) const { return Send(AIM_SETPROPERTY, property, value) != 0; }
    LRESULT Get(AlphaImageProperty property) const { return Send(AIM_GETPROPERTY, property, 0); }

    int FitMode() const { return static_cast<int>(Get(AIP_FITMODE)); }
    bool SetFitMode(int mode) const { return Set(AIP_FITMODE, mode); }
    int Rotation() const { return static_cast<int>(Get(AIP_ROTATION)); }
    bool SetRotation(int degrees) const { return Set(AIP_ROTATEENABLED, 1) && Set(AIP_ROTATION, degrees); }
    int Mirror() const { return static_cast<int>(Get(AIP_MIRROR)); }
    bool SetMirror(int mirror) const { return Set(AIP_MIRROR, mirror); }
    int GrayScale() const { return static_cast<int>(Get(AIP_GRAYSCALE)); }
    bool SetGrayScale(int formula) const { return Set(AIP_GRAYSCALE, formula); }
    int Lightness() const { return static_cast<int>(Get(AIP_LIGHTNESS)); }
    bool SetLightness(int lightness) const { return Set(AIP_LIGHTNESS, lightness); }
    int Opacity() const { return static_cast<int>(Get(AIP_OPACITY)); }
    bool SetOpacity(int opacity) const { return Set(AIP_OPACITY, opacity); }
    bool ShadowEnabled() const { return Get(AIP_SHADOWENABLED) != 0; }
    bool SetShadowEnabled(bool enabled) const { return Set(AIP_SHADOWENABLED, enabled); }
    COLORREF MaskColor() const { return static_cast<COLORREF>(Get(AIP_MASKCOLOR)); }
    bool SetMaskColor(COLORREF colour) const { return Set(AIP_MASKCOLOR, static_cast<LPARAM>(colour)); }
    AlphaImageType ImageType() const { return static_cast<AlphaImageType>(Get(AIP_IMAGETYPE)); }
    int HitTest() const { return static_cast<int>(Get(AIP_HITTEST)); }
    bool SetHitTest(int style) const { return Set(AIP_HITTEST, style); }
    bool Hits(int x, int y) const { return Send(AIM_HITTEST, 0, MAKELPARAM(x, y)) != 0; }

    // Steps toward the opacity by step percent every delay milliseconds;
    // AIN_FADEEND follows. False when there is nothing to fade.
    bool Fade(int finalOpacity, int step = 10, int delayMs = 20) const {
        return Send(AIM_FADE, static_cast<WPARAM>(finalOpacity), MAKELPARAM(step, delayMs)) != 0;
    }

private:
    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const {
        return SendMessageW(window_, message, wParam, lParam);
    }
    HWND window_;
};

}  // namespace mendlow

#endif  // RC_INVOKED
