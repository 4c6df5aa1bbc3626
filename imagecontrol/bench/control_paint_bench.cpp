// The control's own cost of painting: one Paint into a host image against
// the bare Render call (or calls) that the Paint makes, for the main
// window's picture at actual size (with and without shadow), scaled from 128
// to 512 with interpolation, rotated by 30 degrees, and the last two again
// through the AutoRedraw buffer, whose paint is compared with compositing a
// buffer-sized image.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <functional>

#include "common/bench_timings.h"
#include "imagecontrol/tests/recording_site.h"

namespace {

Bytes Artwork() {
    return MakePng(128, 128, [](int x, int y) {
        const double d = std::hypot(x - 63.5, y - 63.5);
        const int a = std::clamp(static_cast<int>(300 - d * 4), 0, 255);
        return std::array{x * 2, y * 2, 200 - x, a};
    });
}

struct Case {
    int side;       // control and host size
    int method;     // ScaleMethod
    bool shadow, rotate, autoRedraw;
};

struct Scene {
    TestControl t;
    c32bppDIB host{capability::kGdiplusNever};
    explicit Scene(const Case& c) : t(c.side, c.side) {
        t.control.InitProperties();
        t.control.SetAutoSize(false);
        t.control.SetScaleMethod(c.method);
        t.control.SetShadowEnabled(c.shadow);
        t.control.SetRotateEnabled(c.rotate);
        if (c.rotate) t.control.SetRotation(30);
        t.control.SetAutoRedraw(c.autoRedraw);
        Load(t.control, Artwork());
        host.InitializeDIB(c.side, c.side);
    }
};

void PaintControl(benchmark::State& state, Case c) {
    Scene scene(c);
    for (auto _ : state) {
        scene.t.control.Paint({nullptr, &scene.host}, {0, 0, c.side, c.side});
        benchmark::ClobberMemory();
    }
}

// What the Paint calls itself, with the same arguments.
void BareRender(benchmark::State& state, Case c) {
    Scene scene(c);
    c32bppDIB& image = scene.t.control.pvGetImageObject();
    const aicAlphaImage& k = scene.t.control;
    for (auto _ : state) {
        // A picture this small has its shadow blurred at every paint.
        if (auto shadow = c.shadow ? image.CreateDropShadow(k.ShadowDepth(), 0x404040) : nullptr)
            shadow->Render(nullptr, 2 - k.ShadowDepth(), 2 - k.ShadowDepth(), 0, 0, 0, 0, 0, 0, 50, true, true,
                           &scene.host, -1, 0, 0, false);
        if (c.rotate)
            image.Render(nullptr, c.side / 2, c.side / 2, k.ScaledWidth(), k.ScaledHeight(), 0, 0, 0, 0, 100, true,
                         true, &scene.host, -1, 0, 30, true);
        else
            image.Render(nullptr, k.ImageLeft(), k.ImageTop(), k.ScaledWidth(), k.ScaledHeight(), 0, 0, 0, 0, 100,
                         true, true, &scene.host, -1, 0, 0, false);
        benchmark::ClobberMemory();
    }
}

// Compositing an image of the buffer's size 1:1 onto the host.
void CompositeBuffer(benchmark::State& state, int side) {
    Scene scene({side, 0, false, false, false});
    c32bppDIB buffer(capability::kGdiplusNever);
    buffer.InitializeDIB(side, side);
    scene.t.control.pvGetImageObject().Render(nullptr, 0, 0, side, side, 0, 0, 0, 0, 100, true, true, &buffer);
    buffer.SetAlpha(true);
    for (auto _ : state) {
        buffer.Render(nullptr, 0, 0, side, side, 0, 0, side, side, 100, true, true, &scene.host, -1, 0, 0, false);
        benchmark::ClobberMemory();
    }
}

const std::pair<const char*, Case> kCases[] = {
    {"actual128", {128, 3, false, false, false}},
    {"actual128+shadow", {128, 3, true, false, false}},
    {"scaled512", {512, 0, false, false, false}},
    {"rotated30", {512, 0, false, true, false}},
};

}  // namespace

int main(int argc, char** argv) {
    for (const auto& [name, c] : kCases) {
        benchmark::RegisterBenchmark((std::string("paint/") + name).c_str(), PaintControl, c);
        benchmark::RegisterBenchmark((std::string("render/") + name).c_str(), BareRender, c);
    }
    benchmark::RegisterBenchmark("paint/scaled512+autoredraw", PaintControl, Case{512, 0, false, false, true});
    benchmark::RegisterBenchmark("paint/rotated30+autoredraw", PaintControl, Case{512, 0, false, true, true});
    benchmark::RegisterBenchmark("composite/512", CompositeBuffer, 512);
    benchmark::Initialize(&argc, argv);
    TimingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    std::printf("\n%-30s %14s\n", "paint time ratio", "/ reference");
    for (const auto& [name, c] : kCases) {
        const double paint = reporter.Time(std::string("paint/") + name), bare = reporter.Time(std::string("render/") + name);
        if (paint > 0 && bare > 0) std::printf("%-30s %14.3f  (/ the Render calls it makes)\n", name, paint / bare);
    }
    const double composite = reporter.Time("composite/512");
    for (const char* name : {"scaled512+autoredraw", "rotated30+autoredraw"}) {
        const double paint = reporter.Time(std::string("paint/") + name);
        if (paint > 0 && composite > 0)
            std::printf("%-30s %14.3f  (/ compositing a 512 x 512 buffer)\n", name, paint / composite);
    }
    benchmark::Shutdown();
    return 0;
}
