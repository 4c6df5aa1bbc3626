// The image object's own memory device context, and what it held before the
// image's section was selected into it.
#pragma once

#include "common/win32_handles.h"

class OwnDc {
public:
    HDC Get() const { return dc_.get(); }
    bool Exists() const { return static_cast<bool>(dc_); }
    bool IsSelected() const { return previous_ != nullptr; }

    void Create();
    void Select(HBITMAP bitmap);
    void Deselect();
    void Delete();

private:
    win32::MemoryDc dc_;
    HGDIOBJ previous_ = nullptr;
};
