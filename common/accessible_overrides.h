// What screen readers learn of a window of ours: the system's own
// accessible object for it, with a name, description, role and default
// action of our own where the window's class says too little (a picture, a
// label that acts as a link, a list that explains itself).
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <atomic>
#include <string>
#include <utility>

#include "common/system_library.h"

namespace win32 {

// IAccessible's identifier. MinGW's import library hands it out as code,
// not data: spelt out.
inline constexpr IID kIAccessibleId = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

// Empty or 0: the system's.
struct AccessibleOverrides {
    std::wstring name, description;
    LONG role = 0;
    // With a default action, accDoDefaultAction posts pressMessage to the window.
    std::wstring defaultAction;
    UINT pressMessage = 0;
};

namespace accessible_detail {

struct AccessibilityLibrary {
    HRESULT(WINAPI* createStandard)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* resultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
};

// Bound once, from the system folder; never unloaded, as objects handed out
// may outlive any window.
inline const AccessibilityLibrary* Oleacc() {
    static const AccessibilityLibrary* bound = []() -> const AccessibilityLibrary* {
        static AccessibilityLibrary library;
        win32::Library module = win32::LoadSystemLibrary(L"oleacc.dll");
        if (!module) return nullptr;
        library.createStandard = reinterpret_cast<decltype(library.createStandard)>(
            reinterpret_cast<void*>(GetProcAddress(module.get(), "CreateStdAccessibleObject")));
        library.resultFromObject = reinterpret_cast<decltype(library.resultFromObject)>(
            reinterpret_cast<void*>(GetProcAddress(module.get(), "LresultFromObject")));
        if (!library.createStandard || !library.resultFromObject) return nullptr;
        module.release();
        return &library;
    }();
    return bound;
}

inline bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The standard object with the overrides given; all else (state, place,
// focus, navigation) is the system's.
class OverriddenAccessible final : public IAccessible {
public:
    OverriddenAccessible(HWND window, IAccessible* standard, AccessibleOverrides overrides)
        : window_(window), standard_(standard), overrides_(std::move(overrides)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIAccessibleId) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            standard_->Release();
            delete this;  // COM's own lifetime rule
        }
        return left;
    }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return standard_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return standard_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* wrong) override {
        return standard_->Invoke(id, iid, locale, flags, parameters, result, exception, wrong);
    }

    // IAccessible: ours
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        if (!IsSelf(child) || !name || overrides_.name.empty()) return standard_->get_accName(child, name);
        return Text(overrides_.name, name);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || !role || overrides_.role == 0) return standard_->get_accRole(child, role);
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = overrides_.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || !action || overrides_.defaultAction.empty())
            return standard_->get_accDefaultAction(child, action);
        return Text(overrides_.defaultAction, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child) || overrides_.defaultAction.empty()) return standard_->accDoDefaultAction(child);
        if (!IsWindowEnabled(window_)) return DISP_E_MEMBERNOTFOUND;
        // Posted: the client's call returns before the handler runs.
        return PostMessageW(window_, overrides_.pressMessage, 0, 0) ? S_OK : E_FAIL;
    }

    // IAccessible: the system's
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return standard_->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override {
        return standard_->get_accChild(child, object);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return standard_->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override {
        if (!IsSelf(child) || !text || overrides_.description.empty()) return standard_->get_accDescription(child, text);
        return Text(overrides_.description, text);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return standard_->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return standard_->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) override {
        return standard_->get_accKeyboardShortcut(child, keys);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        return standard_->get_accSelection(children);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return standard_->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return standard_->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return standard_->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return standard_->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return standard_->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return standard_->put_accValue(child, value);
    }

private:
    ~OverriddenAccessible() = default;
    static HRESULT Text(const std::wstring& text, BSTR* out) {
        *out = SysAllocString(text.c_str());
        return *out ? S_OK : E_OUTOFMEMORY;
    }

    HWND window_;
    IAccessible* standard_;  // owned: released with the last reference
    AccessibleOverrides overrides_;
    std::atomic<ULONG> references_{1};
};

}  // namespace accessible_detail

// The answer to WM_GETOBJECT for the window's client object; 0 when another
// object is asked for or the system's accessibility library is missing (the
// caller then hands the message on to the window's own procedure).
inline LRESULT AnswerGetObject(HWND window, WPARAM flags, LPARAM objectId, AccessibleOverrides overrides) {
    using namespace accessible_detail;
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
    const AccessibilityLibrary* oleacc = Oleacc();
    if (!oleacc) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(oleacc->createStandard(window, OBJID_CLIENT, kIAccessibleId, reinterpret_cast<void**>(&standard))) ||
        !standard)
        return 0;
    // COM's own lifetime rule: its last Release frees it.
    auto* ours = new OverriddenAccessible(window, standard, std::move(overrides));
    const LRESULT result = oleacc->resultFromObject(kIAccessibleId, flags, ours);
    ours->Release();  // the result holds its own reference
    return result < 0 ? 0 : result;
}

// Marks a window as a polite live region (Windows 8 on): screen readers
// read what changed in it when it raises EVENT_OBJECT_LIVEREGIONCHANGED.
// Needs COM started on the calling thread; false where the system cannot.
inline bool MarkPoliteLiveRegion(HWND window) {
    constexpr CLSID kAccPropServices = {0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
    constexpr IID kIAccPropServices = {0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
    constexpr GUID kLiveSetting = {0xC12BCD8E, 0x2A8E, 0x4950, {0x8A, 0xE7, 0x36, 0x25, 0x11, 0x1D, 0x58, 0xEB}};
    constexpr LONG kPolite = 1;
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices,
                                reinterpret_cast<void**>(&services))) ||
        !services)
        return false;
    VARIANT polite;
    VariantInit(&polite);
    polite.vt = VT_I4;
    polite.lVal = kPolite;
    const HRESULT result =
        services->SetHwndProp(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kLiveSetting, polite);
    services->Release();
    return SUCCEEDED(result);
}

}  // namespace win32
