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

// The #define lines of one prefix that carry a comment (not the masks).
bool Defines(std::string& out, const std::string& header, const std::string& prefix, const char* title) {
    out += std::string("\n### ") + title + "\n\n| Style | Value | Effect |\n|---|---|---|\n";
    const std::regex line("\n#define (" + prefix + R"([A-Z]+) (0x[0-9A-Fa-f]+)[ \t]*//[ \t]*([^\n]*))");
    int found = 0;
    for (std::sregex_iterator it(header.begin(), header.end(), line), last; it != last; ++it, ++found)
        out += "| `" + (*it)[1].str() + "` | `" + (*it)[2].str() + "` | " + Cell((*it)[3].str().c_str()) + " |\n";
    return found > 0;
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
find_package(Mendlow 1.0 CONFIG REQUIRED COMPONENTS AlphaImage)  # or Codecs; an unknown one fails
target_link_libraries(app PRIVATE Mendlow::AlphaImage)  # Windows: the window class
target_link_libraries(tool PRIVATE Mendlow::Codecs)     # anywhere: decoding in memory
```

A Windows package is built with MinGW-w64 and installs the toolchain file it
was built with; build your program with the same one:

```sh
cmake -S my-app -B my-app/build -DCMAKE_PREFIX_PATH=/opt/mendlow \
      -DCMAKE_TOOLCHAIN_FILE=/opt/mendlow/lib/cmake/Mendlow/mingw-i686.cmake  # or mingw-x86_64.cmake
```

Taken by `add_subdirectory` (or FetchContent), Mendlow builds its libraries
only, with its tests off, and keeps its compiler flags to itself.
`<mendlow/version.h>` gives `MENDLOW_VERSION_MAJOR`, `_MINOR` and `_PATCH`,
and `MENDLOW_VERSION_TEXT`, the version as released (`"1.2.0"`, or
`"1.2.0-5-gabc1234def"` five commits after it). The release archives
`mendlow-sdk-<version>-<platform>.zip` hold the installed package, this
reference and the examples.

What a package user reaches: the window class (`<mendlow/alpha_image_window.h>`:
its messages, properties, styles and notifications, below) and decoding
(`<mendlow/image_codecs.h>`). The control's own members, listed first
below, are reached by Mendlow's form host; a program reaches them through
the window class's properties and messages. Libraries named
`Mendlow::internal_*` are there for linking only.

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
if (mendlow::DecodeImage(bytes.data(), bytes.size(), {}, image)) { /* image.pixels: RGBA rows, top down */ }
```

`docs/decoding.md` describes the options, limits and failures.
`examples/` holds a dialog and a decoding program built this way.

## Threads

Any number of user-interface threads may each create and use their own
windows of the class at once; a window is driven from the thread that
created it, as every window is. Decoding may run on any thread.

## Destroying it from a notification

A parent may destroy the window, or itself, from any notification: the
window touches nothing of itself once it is gone, as the common controls do.

## DPI

An actual-size picture (fit mode 3) is its size in 96-DPI pixels scaled to
the DPI of the window's monitor, and the shadow's offsets scale with it; a
per-monitor-aware program's windows follow a move to another monitor
(`WM_DPICHANGED_AFTERPARENT`). In a program that is not DPI-aware the
system scales the whole window.

## Keyboard, mouse and accessibility

With `WS_TABSTOP` the window takes the focus by Tab or a click and shows it
with a focus rectangle, answers `WM_GETDLGCODE` as a button does, and
Space (on its release), Enter and `BM_CLICK` send `AIN_CLICK` with button 0
and x and y -1. A right click, Shift+F10 or the menu key give the parent
`WM_CONTEXTMENU`. Disabled (`WS_DISABLED` or `EnableWindow`), it is drawn
grey and half see-through, the mouse goes to the parent as with any
disabled control, and no notification comes. Screen readers hear the
window text as its name (set it in the dialog template or with
`SetWindowTextW`; leave it empty for a picture that only decorates) and
its role as a picture, or as a button with `WS_TABSTOP`, whose default
action presses it.

## The class's lifetime

Call `RegisterAlphaImageWindowClass` once per module before the first window
(again is harmless); it refuses, with false, a class of that name with
another window procedure. `AlphaImageWindow::Create` uses the instance that
registered the class, whatever module the parent comes from. A DLL calls
`UnregisterAlphaImageWindowClass` before it is unloaded, once its windows
are gone (it answers false while any remain).

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
        !Enumerators(out, header, "AlphaImageNotification", "WM_NOTIFY codes", "Code") ||
        !Defines(out, header, "AIS_", "Window styles (one fit mode and one hit test; dialog templates may use them)")) {
        std::fprintf(stderr, "%s: not the window class's header\n", argv[1]);
        return 1;
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}
