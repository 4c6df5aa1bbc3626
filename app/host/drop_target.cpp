#include "app/host/drop_target.h"

#include "app/host/windowless_input.h"

namespace host {

HRESULT STDMETHODCALLTYPE DropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTarget::Release() {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL at, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = input_ ? input_->DragEnter(data, keyState, at, *effect) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD keyState, POINTL at, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = input_ ? input_->DragOver(keyState, at, *effect) : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragLeave() {
    if (input_) input_->DragLeave();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::Drop(IDataObject* data, DWORD keyState, POINTL at, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    *effect = input_ ? input_->Drop(data, keyState, at, *effect) : DROPEFFECT_NONE;
    return S_OK;
}

}  // namespace host
