// Writes docs/alpha-image.md: the image control's members from its member
// table, and the window class's messages, properties and notifications from
// the comments of its public header, so that the reference cannot drift.
//   alpha_image_reference imagecontrol/public/mendlow/alpha_image_window.h > docs/alpha-image.md
#include <cstdio>
#include <fstream>
#include <regex>
#include <span>
#include <string>

#include "imagecontrol/aicAlphaImage_members.h"

namespace {

std::string Cell(const char* text) {
    std::string cell = text ? text : "";
    for (size_t at = cell.find('|'); at != std::string::npos; at = cell.find('|', at + 2)) cell.replace(at, 1, "\\|");
    return cell;
}

std::string Help(const MemberDescription& member) {
    std::string help = Cell(member.help);
    if (member.setHelp) help += " (setting: " + Cell(member.setHelp) + ")";
    return help;
}

void Properties(std::string& out) {
    out += "## Properties\n\n| Property | Type | Values | Default | Effect |\n|---|---|---|---|---|\n";
    for (const MemberDescription& p : aicAlphaImageProperties())
        out += "| `" + Cell(p.name) + "` | `" + Cell(p.type) + "` | " + Cell(p.range) + " | " + Cell(p.defaultValue) +
               " | " + Help(p) + " |\n";
}

void Callables(std::string& out, const char* title, const char* kind, std::span<const MemberDescription> members) {
    out += std::string("\n## ") + title + "\n\n| " + kind + " | C++ form | Effect |\n|---|---|---|\n";
    for (const MemberDescription& m : members)
        out += "| `" + Cell(m.name) + "` | `" + Cell(m.type) + "` | " + Help(m) + " |\n";
}

// The enumerators of one enum of the header, each with its comment.
bool Enumerators(std::string& out, const std::string& header, const std::string& enumName, const char* title,
                 const char* kind) {
    const size_t start = header.find("enum " + enumName);
    const size_t end = header.find("};", start);
    if (start == std::string::npos || end == std::string::npos) return false;
    out += std::string("\n### ") + title + "\n\n| " + kind + " | Arguments, values and effect |\n|---|---|\n";
    const std::regex line(R"(\n\s+(AI[MPN]_[A-Z]+)[^\n/]*//\s*([^\n]*))");
    const std::string body = header.substr(start, end - start);
    int found = 0;
    for (std::sregex_iterator it(body.begin(), body.end(), line), last; it != last; ++it, ++found) {
        if ((*it)[1].str().ends_with("_COUNT")) continue;
        out += "| `" + (*it)[1].str() + "` | " + Cell((*it)[2].str().c_str()) + " |\n";
    }
    return found > 0;
}

constexpr const char* kIntroduction = R"(# The image control and its window class: reference

Generated from the control's member table and the window class's public
header by `tools/alpha_image_reference`; a test holds this file to what the
tool writes, so change those sources, then run
`build/native/tools/alpha_image_reference imagecontrol/public/mendlow/alpha_image_window.h > docs/alpha-image.md`.

## Use it in your program

Install the package and find it from your own CMake project:

```sh
cmake --install build/windows --prefix /opt/mendlow    # or any build of Mendlow
cmake -S my-app -B my-app/build -DCMAKE_PREFIX_PATH=/opt/mendlow
```

```cmake
find_package(Mendlow CONFIG REQUIRED)
target_link_libraries(app PRIVATE Mendlow::AlphaImage)  # Windows: the window class
target_link_libraries(tool PRIVATE Mendlow::Codecs)     # anywhere: decoding in memory
```

On Windows, register the class once and create windows of it like any
control, or name `MendlowAlphaImage` in a dialog template:

```cpp
#include <mendlow/alpha_image_window.h>

mendlow::RegisterAlphaImageWindowClass(instance);
auto picture = mendlow::AlphaImageWindow::Create(parent, IDC_PICTURE, {10, 10, 170, 170});
picture.LoadFile(L"logo.png");
picture.SetOpacity(60);
picture.Fade(100);  // the parent hears AIN_FADEEND through WM_NOTIFY
```

The window draws its parent's background under the picture: the parent
answers `WM_ERASEBKGND` and `WM_PRINTCLIENT` with what it paints. Where the
hit test finds no picture, the mouse goes to the window beneath. Decoding
without a window:

```cpp
#include <mendlow/image_codecs.h>

mendlow::DecodedImage image;
if (mendlow::DecodeImage(bytes.data(), bytes.size(), image)) { /* image.pixels: BGRA rows, top down */ }
```

`examples/` holds a dialog and a decoding program built this way.

)";

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: alpha_image_reference alpha_image_window.h\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string header((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string out = kIntroduction;
    out += "# The control, `aicAlphaImage`\n\n";
    Properties(out);
    Callables(out, "Methods", "Method", aicAlphaImageMethods());
    Callables(out, "Events", "Event", aicAlphaImageEvents());
    out += "\n# The window class, `MendlowAlphaImage`\n";
    if (!Enumerators(out, header, "AlphaImageMessage", "Messages", "Message") ||
        !Enumerators(out, header, "AlphaImageProperty", "Properties of AIM_SETPROPERTY and AIM_GETPROPERTY",
                     "Property") ||
        !Enumerators(out, header, "AlphaImageNotification", "WM_NOTIFY codes", "Code")) {
        std::fprintf(stderr, "%s: not the window class's header\n", argv[1]);
        return 1;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
