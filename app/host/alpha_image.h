// The image control as a form's windowless control (kind "aicAlphaImage").
#pragma once

#include "app/host/windowless.h"
#include "imagecontrol/aicAlphaImage.h"

namespace host {

class AlphaImage : public WindowlessControl {
public:
    AlphaImage(Form& form, FormObject description, int id, bool restored)
        : WindowlessControl(form, std::move(description), id, HostedFactory<aicAlphaImage>(), restored) {}

    // None before the form loads and after it unloads.
    aicAlphaImage* Image() const { return Object<aicAlphaImage>(); }
};

}  // namespace host
