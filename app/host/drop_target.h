// The form's OLE drop target: hands each call to the form's windowless input,
// which finds the control under the point.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include <atomic>

namespace host {

class WindowlessInput;

class DropTarget final : public IDropTarget {
public:
    explicit DropTarget(WindowlessInput& input) : input_(&input) {}
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    // The form is going; OLE may still hold a reference for a while.
    void Detach() { input_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL at, DWORD* effect) override;

private:
    ~DropTarget() = default;

    std::atomic<ULONG> references_{1};
    WindowlessInput* input_;
};

}  // namespace host
