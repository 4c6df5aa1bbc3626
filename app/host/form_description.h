// The stored description of a form: a readable text naming the form, its
// controls in creation order and their properties, plus a side array that
// holds the byte-array values (pictures, icons, cursors) the text refers to.
//
//   # comment
//   Begin Form FrmMain
//       Caption = "Mendlow"          text: UTF-8, escapes \" \\ \n \r \t \xHH
//       ClientWidth = 5325           integer, decimal or 0x hexadecimal
//       FontSize = 6.75              real: has a '.' or an exponent
//       Enabled = true               boolean
//       Icon = blob 0 1150           bytes: offset and length in the side array
//       Begin PushButton Command1
//           ...
//       End
//   End
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/host/property_bag.h"

namespace host {

struct FormObject {
    std::string kind;
    std::string name;
    PropertyBag properties;
    std::vector<FormObject> children;  // in creation order

    bool operator==(const FormObject&) const = default;
};

struct ParsedForm {
    bool ok = false;
    FormObject form;
    std::string error;  // "line N: what is wrong" when not ok
};

ParsedForm ParseFormDescription(std::string_view text, std::span<const uint8_t> blobs);

// Writes the text; byte-array values are appended to blobs.
std::string WriteFormDescription(const FormObject& form, Bytes& blobs);

}  // namespace host
