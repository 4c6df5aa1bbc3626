// A window's OLE drop target that takes lists of files and hands the
// dropped data to a callback.
#pragma once

#include <windows.h>
#include <oleidl.h>

#include <atomic>
#include <functional>

namespace designer {

class FileDropTarget final : public IDropTarget {
public:
    using Handler = std::function<void(IDataObject* data)>;
    explicit FileDropTarget(Handler onDrop) : onDrop_(std::move(onDrop)) {}
    FileDropTarget(const FileDropTarget&) = delete;
    FileDropTarget& operator=(const FileDropTarget&) = delete;

    // The window is going; OLE may still hold a reference for a while.
    void Detach() { onDrop_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL at, DWORD* effect) override;

private:
    ~FileDropTarget() = default;

    std::atomic<ULONG> references_{1};
    Handler onDrop_;
    bool offersFiles_ = false;
};

}  // namespace designer
