// Owning wrappers for OLE Automation values: strings and VARIANTs.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "common/win32_handles.h"

namespace win32 {

struct BstrTraits {
    using Handle = BSTR;
    static Handle Empty() { return nullptr; }
    static bool IsValid(Handle h) { return h != nullptr; }
    static void Release(Handle h) { SysFreeString(h); }
};
using Bstr = Unique<BstrTraits>;

// A VARIANT whose string or interface is released at the end of the scope.
class Variant {
public:
    Variant() { VariantInit(&value_); }
    explicit Variant(const wchar_t* text) : Variant() {
        value_.bstrVal = SysAllocString(text);
        if (value_.bstrVal) value_.vt = VT_BSTR;
    }
    explicit Variant(LONG number) : Variant() {
        value_.vt = VT_I4;
        value_.lVal = number;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value_); }
    VARIANT* get() { return &value_; }
    // A bitwise copy for a by-value argument; this one keeps owning it.
    VARIANT lend() const { return value_; }

private:
    VARIANT value_;
};

}  // namespace win32
