// The button demo form: a frame of option buttons and check boxes, and
// graphical push buttons in every state the visual-style support draws.
// Each click adds a line to the Log list ("Command1 Click").
#pragma once

#include "app/host/form.h"

namespace demo {

host::ParsedForm LoadButtonForm();

class ButtonDemo : public host::Form {
public:
    explicit ButtonDemo(host::FormObject description) : host::Form(std::move(description)) {}

protected:
    void Form_Load() override;
};

}  // namespace demo
