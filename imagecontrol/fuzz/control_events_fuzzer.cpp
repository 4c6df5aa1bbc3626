// Fuzzes handlers that destroy controls: three controls of one form, each
// event of each control armed to destroy one of them (itself, a sibling)
// or none, then a sequence of hit tests, clicks, fades and timer ticks.
// Whatever a handler destroys, nothing may touch a control once it is gone.
//
// Input: one byte per control and event (which control its handler
// destroys: 0-2, else none), then operations of three bytes (kind and
// control, x, y).
#include <array>
#include <memory>

#include "imagecontrol/tests/recording_site.h"

namespace {

constexpr int kControls = 3;

struct Form {
    std::array<std::unique_ptr<TestControl>, kControls> controls;
    Form() {
        for (auto& made : controls) {
            made = std::make_unique<TestControl>();
            made->site.firstOfType = &controls[0]->control;  // one shared object for the form
            made->control.InitProperties();
            made->control.SetAutoSize(false);
        }
    }
    // Each tick of every running timer, while its control lives.
    void Tick() {
        FakeWindowSystem ticks;
        for (auto& made : controls)
            if (made) ticks.timers.insert(made->system.timers.begin(), made->system.timers.end());
        ticks.Tick();
    }
};

void Arm(Form& form, aicAlphaImage::Events& events, const uint8_t* plan) {
    const auto destroyer = [&form](uint8_t which) {
        return [&form, which] {
            if (which < kControls) form.controls[which].reset();
        };
    };
    events.MouseEnter = destroyer(plan[0]);
    events.MouseExit = destroyer(plan[1]);
    events.Click = [d = destroyer(plan[2])](int16_t) { d(); };
    events.DblClick = [d = destroyer(plan[3])](int16_t) { d(); };
    events.FadeTerminated = [d = destroyer(plan[4])](int32_t) { d(); };
    events.MouseDown = [d = destroyer(plan[5])](int16_t&, int16_t&, float, float) { d(); };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    constexpr size_t kPlan = 6;
    if (size < kControls * kPlan) return 0;
    Form form;
    for (int i = 0; i < kControls; ++i) Arm(form, form.controls[i]->control.events, data + i * kPlan);
    for (size_t at = kControls * kPlan; at + 3 <= size; at += 3) {
        const uint8_t kind = data[at] >> 4, which = data[at] % kControls;
        const auto x = static_cast<float>(data[at + 1] % 128), y = static_cast<float>(data[at + 2] % 128);
        if (kind == 0) {
            form.Tick();
            continue;
        }
        if (!form.controls[which]) continue;
        TestControl& target = *form.controls[which];
        aicAlphaImage& control = target.control;
        int16_t hit = 0, button = 1, shift = 0;
        switch (kind) {
            case 1: case 2: control.OnHitTest(x, y, hit); break;
            case 3: control.OnMouseDown(button, shift, x, y); break;
            case 4: control.OnClick(); break;
            case 5: control.OnDblClick(); break;
            case 6: control.FadeInOut(data[at + 1] % 101, data[at + 2] % 101 - 50, 10); break;
            case 7: target.system.cursorX = static_cast<int32_t>(x) * 4; break;  // the poll may find it gone
            case 8: control.SetEnabled(!control.Enabled()); break;
            case 9: control.Hide(); break;
            default: break;
        }
    }
    return 0;
}
