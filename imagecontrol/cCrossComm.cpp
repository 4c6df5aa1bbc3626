// The shared registry of a form's image controls and the mouse hand-over.
#include "imagecontrol/cCrossComm.h"

#include <algorithm>
#include <utility>

#include "imagecontrol/aicAlphaImage.h"
#include "imagecontrol/live_controls.h"

namespace {
constexpr int32_t kFirstCapacity = 6;
constexpr int32_t kSpareSlots = 5;
} // namespace

bool cCrossComm::pvFindIdentity(uintptr_t identity, int32_t &index) const {
  const auto begin = registered_.begin(), end = begin + count_;
  const auto at = std::lower_bound(begin, end, identity);
  index = static_cast<int32_t>(at - begin) + 1;
  return at != end && *at == identity;
}

void cCrossComm::AddRef(uintptr_t ucPointer) {
  if (ucPointer == 0)
    return;
  if (count_ == 0) {
    registered_.assign(kFirstCapacity, 0);
    registered_[0] = ucPointer;
    count_ = 1;
    return;
  }
  int32_t index = 0;
  if (pvFindIdentity(ucPointer, index))
    return;
  ++count_;
  if (UpperBound() < count_)
    registered_.resize(static_cast<size_t>(count_ + kSpareSlots), 0);
  std::copy_backward(registered_.begin() + (index - 1),
                     registered_.begin() + (count_ - 1),
                     registered_.begin() + count_);
  registered_[static_cast<size_t>(index - 1)] = ucPointer;
}

void cCrossComm::RemoveRef(uintptr_t ucPointer) {
  int32_t index = 0;
  if (count_ > 0 && pvFindIdentity(ucPointer, index)) {
    if (count_ == 1) {
      count_ = 0;
      registered_.clear();
    } else {
      std::copy(registered_.begin() + index, registered_.begin() + count_,
                registered_.begin() + (index - 1));
      --count_;
      registered_[static_cast<size_t>(count_)] = 0;
      if (UpperBound() > count_ + kSpareSlots)
        registered_.resize(static_cast<size_t>(count_));
    }
  }
  if (ucPointer == capturedControl_)
    capturedControl_ = 0;
}

void cCrossComm::SetCapturedControl(uintptr_t ucPointer) {
  // Stored first: the control losing the mouse raises MouseExit, and its
  // handler may destroy controls (their identities are then taken out
  // here) or, with the last of them, this object.
  const uintptr_t previous = std::exchange(capturedControl_, ucPointer);
  if (previous == 0 || previous == ucPointer)
    return;
  if (aicAlphaImage *control = live_controls::Find(previous))
    control->ReleaseMouseCapture();
}
