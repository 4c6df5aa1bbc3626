// What the image controls of one form share: which of them has the mouse,
// the set of registered controls, and one GDI+ start-up per top-level
// window, shut down only after that window is gone.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class cCrossComm;

// What every image control offers its siblings.
class ICrossComm {
public:
    virtual std::shared_ptr<cCrossComm> CrossTalkClass() const = 0;
    // Another control takes the mouse: stop tracking it and raise MouseExit.
    virtual void ReleaseMouseCapture() = 0;

protected:
    ~ICrossComm() = default;
};

class cCrossComm {
public:
    static constexpr uintptr_t kManagedElsewhere = ~uintptr_t{0};  // -1: an earlier form started GDI+

    // The identity of the control under the mouse, 0 for none. Storing a
    // new one then makes the control that had it release the mouse.
    uintptr_t CapturedControl() const { return capturedControl_; }
    void SetCapturedControl(uintptr_t ucPointer);
    uintptr_t gdiToken() const { return gdiToken_; }

    // Registers or unregisters a control's identity (0 and repeats are ignored).
    void AddRef(uintptr_t ucPointer);
    void RemoveRef(uintptr_t ucPointer);
    // Starts GDI+ for the top-level window that holds containerHwnd, once.
    void ManageGDIToken(uintptr_t containerHwnd);

    // The registry as kept: count and the highest index it has room for.
    int32_t Count() const { return count_; }
    int32_t UpperBound() const { return static_cast<int32_t>(registered_.size()); }
    uintptr_t Registered(int32_t index) const { return registered_.at(static_cast<size_t>(index - 1)); }

private:
    // Found: true and its index; not found: false and where it would go.
    bool pvFindIdentity(uintptr_t identity, int32_t& index) const;

    std::vector<uintptr_t> registered_;  // index 1 is element 0
    int32_t count_ = 0;
    uintptr_t gdiToken_ = 0;
    uintptr_t capturedControl_ = 0;
};
