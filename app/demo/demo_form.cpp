#include "app/demo/demo_form.h"

#include <cstdio>

#include "app/host/text.h"

namespace demo {
namespace {

// Whole numbers as such, fractions as they are.
std::wstring Number(double value) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%g", value);
    return text;
}

template <class... Values>
std::wstring Line(const std::wstring& name, const wchar_t* event, Values... values) {
    std::wstring line = name + L' ' + event;
    ((line += L' ' + Number(static_cast<double>(values))), ...);
    return line;
}

}  // namespace

host::ParsedForm LoadDemoForm() { return host::LoadFormResource(L"DEMOFORM"); }

void DemoForm::Log(const std::wstring& line) {
    auto& list = Get<host::ListBox>("Log");
    list.AddItem(line);
    SendMessageW(list.Window(), LB_SETTOPINDEX, static_cast<WPARAM>(list.ListCount() - 1), 0);
}

void DemoForm::Form_Load() {
    for (const auto& control : Controls())
        if (auto* image = dynamic_cast<host::AlphaImage*>(control.get())) Wire(*image);
}

void DemoForm::Wire(host::AlphaImage& control) {
    aicAlphaImage& image = *control.Image();
    auto& on = image.events;
    const std::wstring name = host::Utf8ToWide(control.Name());
    auto mouse = [this, name](const wchar_t* event) {
        return [this, name, event](int16_t& button, int16_t& shift, float x, float y) {
            Log(Line(name, event, button, shift, x, y));
        };
    };
    auto key = [this, name](const wchar_t* event) {
        return [this, name, event](int16_t& keyCode, int16_t& shift) { Log(Line(name, event, keyCode, shift)); };
    };
    on.MouseEnter = [this, name] { Log(Line(name, L"MouseEnter")); };
    on.MouseExit = [this, name] { Log(Line(name, L"MouseExit")); };
    on.MouseDown = mouse(L"MouseDown");
    on.MouseMove = mouse(L"MouseMove");
    on.MouseUp = mouse(L"MouseUp");
    on.Click = [this, name, &image](int16_t button) {
        Log(Line(name, L"Click", button));
        if (name == L"Art1") image.FadeInOut(image.Opacity() == 100 ? 0 : 100, 20, 10);
    };
    on.DblClick = [this, name](int16_t button) { Log(Line(name, L"DblClick", button)); };
    on.KeyDown = key(L"KeyDown");
    on.KeyUp = key(L"KeyUp");
    on.KeyPress = [this, name](int16_t& keyAscii) { Log(Line(name, L"KeyPress", keyAscii)); };
    on.FadeTerminated = [this, name](int32_t opacity) { Log(Line(name, L"FadeTerminated", opacity)); };
    on.OLEDragOver = [this, name](void*&, int32_t& effect, int16_t&, int16_t&, float, float, int16_t& state) {
        Log(Line(name, L"OLEDragOver", state));
        effect = DROPEFFECT_COPY;
    };
    on.OLEDragDrop = [this, name](void*& data, int32_t& effect, int16_t&, int16_t&, float, float) {
        std::vector<std::wstring> files;
        c32bppDIB().GetDroppedFileNames(static_cast<IDataObject*>(data), files);
        std::wstring line = Line(name, L"OLEDragDrop");
        for (const std::wstring& file : files) line += L' ' + file;
        Log(line);
        effect = DROPEFFECT_COPY;
    };
}

}  // namespace demo
