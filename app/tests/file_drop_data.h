// A data object holding dropped file names (CF_HDROP, wide), as the shell
// offers them in a drag.
#pragma once

#include <windows.h>
#include <oleidl.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/win32_handles.h"

// A CF_HDROP block of wide names, as the shell makes one; none on failure.
inline HGLOBAL DropFilesBlock(const std::vector<std::wstring>& names) {
    size_t chars = 1;
    for (const std::wstring& name : names) chars += name.size() + 1;
    win32::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + chars * sizeof(wchar_t)));
    auto* header = memory ? static_cast<DROPFILES*>(GlobalLock(memory.get())) : nullptr;
    if (!header) return nullptr;
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* at = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& name : names) at = std::copy(name.begin(), name.end(), at) + 1;
    GlobalUnlock(memory.get());
    return memory.release();
}

class FileDropData final : public IDataObject {
public:
    static win32::ComPtr<IDataObject> Make(std::vector<std::wstring> names) {
        return win32::ComPtr<IDataObject>(new FileDropData(std::move(names)));
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject) ? this : nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format && format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium || QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        win32::GlobalMemory memory(DropFilesBlock(names_));
        if (!memory) return E_OUTOFMEMORY;
        *medium = {};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory.release();  // the receiver releases it
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    explicit FileDropData(std::vector<std::wstring> names) : names_(std::move(names)) {}
    ~FileDropData() = default;

    ULONG references_ = 1;
    std::vector<std::wstring> names_;
};
