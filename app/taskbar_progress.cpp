#include "app/taskbar_progress.h"

namespace app {

ITaskbarList3* TaskbarProgress::List() {
    if (!tried_) {
        tried_ = true;
        if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                    list_.put_void())) ||
            FAILED(list_->HrInit()))
            list_.reset();
    }
    return list_.get();
}

void TaskbarProgress::Show(HWND window, size_t done, size_t total, bool failed) {
    ITaskbarList3* list = List();
    if (!list) return;
    list->SetProgressState(window, failed ? TBPF_ERROR : TBPF_NORMAL);
    list->SetProgressValue(window, done, total);
}

void TaskbarProgress::Clear(HWND window) {
    if (ITaskbarList3* list = List()) list->SetProgressState(window, TBPF_NOPROGRESS);
}

}  // namespace app
