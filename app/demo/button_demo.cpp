#include "app/demo/button_demo.h"

#include "app/host/text.h"
#include "app/mdXpThemeSupport.h"

namespace demo {

host::ParsedForm LoadButtonForm() { return host::LoadFormResource(L"BUTTONFORM"); }

void ButtonDemo::Form_Load() {
    for (const auto& control : Controls()) {
        if (!dynamic_cast<host::ButtonControl*>(control.get())) continue;
        std::string name = control->Name();
        control->onClick = [this, name] { Get<host::ListBox>("Log").AddItem(host::Utf8ToWide(name + " Click")); };
    }
    Get<host::PushButton>("Command7").onClick = [this] { Unload(); };
    mdXpThemeSupport::FixThemeSupport(Controls());
}

}  // namespace demo
