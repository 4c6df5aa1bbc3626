// A data object holding dropped file names (CF_HDROP, wide), as the shell
// offers them in a drag.
#pragma once

#include <windows.h>
#include <oleidl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/win32_handles.h"

// A CF_HDROP block, as the shell makes one (wide), or as older programs
// do (narrow: the names in the ANSI code page); none on failure.
inline HGLOBAL DropFilesBlock(const std::vector<std::wstring>& names, bool wide = true) {
    std::string narrow;
    std::wstring list;
    for (const std::wstring& name : names) {
        list += name;
        list += L'\0';
    }
    list += L'\0';
    if (!wide) {
        narrow.resize(list.size() * 4);
        int length = WideCharToMultiByte(CP_ACP, 0, list.data(), static_cast<int>(list.size()), narrow.data(),
                                         static_cast<int>(narrow.size()), nullptr, nullptr);
        narrow.resize(static_cast<size_t>(std::max(length, 0)));
    }
    size_t bytes = wide ? list.size() * sizeof(wchar_t) : narrow.size();
    win32::GlobalMemory memory(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + bytes));
    auto* header = memory ? static_cast<DROPFILES*>(GlobalLock(memory.get())) : nullptr;
    if (!header) return nullptr;
    header->pFiles = sizeof(DROPFILES);
    header->fWide = wide;
    std::memcpy(header + 1, wide ? static_cast<const void*>(list.data()) : narrow.data(), bytes);
    GlobalUnlock(memory.get());
    return memory.release();
}

class FileDropData final : public IDataObject {
public:
    static win32::ComPtr<IDataObject> Make(std::vector<std::wstring> names, bool wide = true) {
        return win32::ComPtr<IDataObject>(new FileDropData(std::move(names), wide));
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
        win32::GlobalMemory memory(DropFilesBlock(names_, wide_));
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
    FileDropData(std::vector<std::wstring> names, bool wide) : names_(std::move(names)), wide_(wide) {}
    ~FileDropData() = default;

    ULONG references_ = 1;
    std::vector<std::wstring> names_;
    bool wide_;
};
