// The demo form: image controls with each hit-test style, one taking drops,
// and a list box that logs every event they raise, one line each
// ("Art2 MouseDown 1 0 30 40"). A click on Art1 fades it out or back in.
#pragma once

#include <string>

#include "app/host/alpha_image.h"
#include "app/host/form.h"

namespace demo {

// The description stored in the program's resources.
host::ParsedForm LoadDemoForm();

class DemoForm : public host::Form {
public:
    explicit DemoForm(host::FormObject description) : host::Form(std::move(description)) {}

    void Log(const std::wstring& line);

protected:
    void Form_Load() override;

private:
    void Wire(host::AlphaImage& control);
};

}  // namespace demo
