#include "imagecontrol/window/window_accessible.h"

#include <oleacc.h>

#include <atomic>
#include <string>

#include "common/system_library.h"

namespace mendlow {
namespace {

struct AccessibilityLibrary {
    HRESULT(WINAPI* createStandard)(HWND, LONG, REFIID, void**) = nullptr;
    LRESULT(WINAPI* resultFromObject)(REFIID, WPARAM, LPUNKNOWN) = nullptr;
};

// Bound once, from the system folder; never unloaded, as objects handed out
// may outlive any window.
const AccessibilityLibrary* Oleacc() {
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

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The standard object with name, role and default action of our own; all
// else (state, place, focus, navigation) is the system's.
class PictureAccessible final : public IAccessible {
public:
    PictureAccessible(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}

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
        if (!IsSelf(child) || !name) return standard_->get_accName(child, name);
        std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
        if (text.empty()) return standard_->get_accName(child, name);
        *name = SysAllocString(text.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        if (!IsSelf(child) || !role) return standard_->get_accRole(child, role);
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = IsButton() ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        if (!IsSelf(child) || !action) return standard_->get_accDefaultAction(child, action);
        *action = nullptr;
        if (!IsButton()) return S_FALSE;
        *action = SysAllocString(L"Press");
        return *action ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        if (!IsSelf(child)) return standard_->accDoDefaultAction(child);
        if (!IsButton() || !IsWindowEnabled(window_)) return DISP_E_MEMBERNOTFOUND;
        // Posted: the client's call returns before the parent's handler runs.
        return PostMessageW(window_, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
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
        return standard_->get_accDescription(child, text);
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
    ~PictureAccessible() = default;
    // A window that takes the focus is pressed like a button (Space, Enter).
    bool IsButton() const { return (GetWindowLongW(window_, GWL_STYLE) & WS_TABSTOP) != 0; }

    HWND window_;
    IAccessible* standard_;  // owned: released with the last reference
    std::atomic<ULONG> references_{1};
};

}  // namespace

LRESULT AnswerGetObject(HWND window, WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) return 0;
    const AccessibilityLibrary* oleacc = Oleacc();
    if (!oleacc) return 0;
    IAccessible* standard = nullptr;
    if (FAILED(oleacc->createStandard(window, OBJID_CLIENT, kIAccessibleId, reinterpret_cast<void**>(&standard))) ||
        !standard)
        return 0;
    auto* ours = new PictureAccessible(window, standard);  // COM's own lifetime rule: its Release frees it
    const LRESULT result = oleacc->resultFromObject(kIAccessibleId, flags, ours);
    ours->Release();  // the result holds its own reference
    return result < 0 ? 0 : result;
}

}  // namespace mendlow
