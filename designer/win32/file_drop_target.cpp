#include "designer/win32/file_drop_target.h"

namespace designer {
namespace {

bool OffersFiles(IDataObject* data) {
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    return data && data->QueryGetData(&format) == S_OK;
}

}  // namespace

HRESULT FileDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG FileDropTarget::Release() {
    ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    offersFiles_ = onDrop_ && OffersFiles(data);
    if (effect) *effect = offersFiles_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    if (effect) *effect = offersFiles_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT FileDropTarget::DragLeave() {
    offersFiles_ = false;
    return S_OK;
}

HRESULT FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    bool take = onDrop_ && OffersFiles(data);
    if (effect) *effect = take ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    offersFiles_ = false;
    if (take) {
        Handler handler = onDrop_;
        handler(data);
    }
    return S_OK;
}

}  // namespace designer
