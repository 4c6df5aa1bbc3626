// The image control's settable properties by name, as a designer's property
// list shows and edits them: each change goes through the control's own
// setter, so its range rules apply and it notifies its site.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "imagecontrol/aicAlphaImage.h"

namespace designer {

// In the order the list shows them.
const std::vector<std::string>& EditablePropertyNames();

// "True"/"False", a decimal number, or a colour as 0x00BBGGRR; empty for
// an unknown name.
std::string PropertyText(const aicAlphaImage& control, std::string_view name);

// False when the name is unknown or the text is not a value of the
// property's kind; a value the setter refuses leaves the property as it was.
bool SetPropertyFromText(aicAlphaImage& control, std::string_view name, std::string_view text);

// The property's help text from the control's member table (the setter's
// on a second line where it has its own); empty for an unknown name.
std::string PropertyHelp(std::string_view name);

}  // namespace designer
