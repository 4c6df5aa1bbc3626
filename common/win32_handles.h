// Owning wrappers for Win32 handles, so that nothing is released by hand.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <string>
#include <utility>

namespace win32 {

// Owns one handle of a kind described by Traits (its type, its empty value
// and how it is released).
template <class Traits>
class Unique {
public:
    using Handle = typename Traits::Handle;

    Unique() = default;
    explicit Unique(Handle h) : handle_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~Unique() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }
    Handle release() { return std::exchange(handle_, Traits::Empty()); }
    void reset(Handle h = Traits::Empty()) {
        Handle old = std::exchange(handle_, h);
        if (Traits::IsValid(old)) Traits::Release(old);
    }

private:
    Handle handle_ = Traits::Empty();
};

// Kernel objects: both 0 and INVALID_HANDLE_VALUE mean "none".
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Release(Handle h) { CloseHandle(h); }
};
using Handle = Unique<KernelHandleTraits>;

template <class T>
struct GdiObjectTraits {
    using Handle = T;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { DeleteObject(h); }
};
using Font = Unique<GdiObjectTraits<HFONT>>;
using Brush = Unique<GdiObjectTraits<HBRUSH>>;
using Bitmap = Unique<GdiObjectTraits<HBITMAP>>;
using Region = Unique<GdiObjectTraits<HRGN>>;

// A device context made with CreateCompatibleDC or CreateDC.
struct OwnedDcTraits {
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { DeleteDC(h); }
};
using MemoryDc = Unique<OwnedDcTraits>;

struct IconTraits {
    using Handle = HICON;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { DestroyIcon(h); }
};
using Icon = Unique<IconTraits>;

struct CursorTraits {
    using Handle = HCURSOR;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { DestroyCursor(h); }
};
using Cursor = Unique<CursorTraits>;

struct LibraryTraits {
    using Handle = HMODULE;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { FreeLibrary(h); }
};
using Library = Unique<LibraryTraits>;

struct GlobalMemoryTraits {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { GlobalFree(h); }
};
using GlobalMemory = Unique<GlobalMemoryTraits>;

struct WindowTraits {
    using Handle = HWND;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { DestroyWindow(h); }
};
using Window = Unique<WindowTraits>;

// A device context borrowed from a window with GetDC.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { if (dc_) ReleaseDC(window_, dc_); }
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// Selects a GDI object into a device context for the lifetime of the scope.
class SelectObjectScope {
public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() { if (old_) SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A window's paint device context, from BeginPaint to EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    ~PaintDc() { EndPaint(window_, &paint_); }
    HDC get() const { return dc_; }
    const RECT& area() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Keeps a device context's state (origin, clipping, selections) for the
// lifetime of the scope.
class DcStateScope {
public:
    explicit DcStateScope(HDC dc) : dc_(dc), saved_(SaveDC(dc)) {}
    DcStateScope(const DcStateScope&) = delete;
    DcStateScope& operator=(const DcStateScope&) = delete;
    ~DcStateScope() { if (saved_) RestoreDC(dc_, saved_); }

private:
    HDC dc_;
    int saved_;
};

// Holds one COM interface reference.
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller owns (a new object's first one).
    explicit ComPtr(T* owned) : p_(owned) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) { reset(); p_ = std::exchange(other.p_, nullptr); }
        return *this;
    }
    ~ComPtr() { reset(); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters of creation functions; drops what was held.
    T** put() { reset(); return &p_; }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() { if (p_) { p_->Release(); p_ = nullptr; } }

private:
    T* p_ = nullptr;
};

// A window's text, whole.
inline std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace win32
