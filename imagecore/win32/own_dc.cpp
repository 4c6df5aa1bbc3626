#include "imagecore/win32/own_dc.h"

void OwnDc::Create() {
    if (dc_) return;
    win32::WindowDc screen(nullptr);
    dc_.reset(CreateCompatibleDC(screen.get()));
}

void OwnDc::Select(HBITMAP bitmap) {
    if (!dc_ || previous_) return;
    previous_ = SelectObject(dc_.get(), bitmap);
}

void OwnDc::Deselect() {
    if (dc_ && previous_) SelectObject(dc_.get(), previous_);
    previous_ = nullptr;
}

void OwnDc::Delete() {
    Deselect();
    dc_.reset();
}
