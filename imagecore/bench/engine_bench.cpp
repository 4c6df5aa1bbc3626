// Drawing speed of the own engine: scaling 128 x 128 to 512 x 512 with and
// without interpolation (through Render into a host, and the scaler alone),
// rotating by 30 degrees, compositing 512 x 512 over an opaque image, and
// the drop shadow of a 512 x 512 image at depth 10 (532 x 532).
// Each case reports megapixels per second of output; after the timings the
// times are printed as ratios to a memcpy of the same output size and, for
// scaling, to stb's resizer.
#include <benchmark/benchmark.h>

#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/bench_timings.h"
#include "imagecore/c32bppDIB.h"
#include "imagecore/pixel_engine.h"
#include "imagecore/pixel_grid.h"

namespace {

constexpr int kSmall = 128;
constexpr int kLarge = 512;

// Smooth colours with a soft alpha edge, premultiplied.
void Paint(c32bppDIB& image, int size) {
    image.InitializeDIB(size, size);
    for (int y = 0; y < size; ++y) {
        uint8_t* p = image.Pixels().PictureRow(y);
        for (int x = 0; x < size; ++x, p += 4) {
            const double dx = x - size / 2.0, dy = y - size / 2.0;
            const int a = std::clamp(static_cast<int>(300 - std::sqrt(dx * dx + dy * dy) * 400 / size), 0, 255);
            const int colour[3] = {128 + static_cast<int>(100 * std::sin(x * 0.05)),
                                   128 + static_cast<int>(100 * std::cos(y * 0.07)), (x * y) & 255};
            for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(colour[c] * a / 255);
            p[3] = static_cast<uint8_t>(a);
        }
    }
}

void Opaque(c32bppDIB& image, int size) {
    image.InitializeDIB(size, size);
    std::vector<uint8_t> pixel = {90, 160, 200, 255};
    for (size_t i = 0; i < static_cast<size_t>(size) * size * 4; ++i) image.BitsPointer()[i] = pixel[i % 4];
}

void Rate(benchmark::State& state, int64_t outputPixels) {
    state.counters["pixels"] =
        benchmark::Counter(static_cast<double>(outputPixels), benchmark::Counter::kIsIterationInvariantRate);
}

void RenderScaled(benchmark::State& state, bool interpolate) {
    c32bppDIB source, host;
    Paint(source, kSmall);
    source.SetHighQualityInterpolation(interpolate);
    Opaque(host, kLarge);
    for (auto _ : state) {
        source.Render(nullptr, 0, 0, kLarge, kLarge, 0, 0, 0, 0, 100, true, true, &host);
        benchmark::DoNotOptimize(host.BitsPointer());
    }
    Rate(state, int64_t{kLarge} * kLarge);
}

void ScalerAlone(benchmark::State& state, bool interpolate) {
    c32bppDIB source;
    Paint(source, kSmall);
    PixelGrid out;
    out.Allocate(kLarge, kLarge);
    engine::ScaleGeometry g{0, kSmall, 0, double(kSmall) / kLarge, double(kSmall) / kLarge, 0};
    for (auto _ : state) {
        interpolate ? engine::ScaleInterpolated(source.Pixels(), g, out.View())
                    : engine::ScaleNearest(source.Pixels(), g, out.View());
        benchmark::DoNotOptimize(out.bytes.data());
    }
    Rate(state, int64_t{kLarge} * kLarge);
}

void Stbir(benchmark::State& state) {
    c32bppDIB source;
    Paint(source, kSmall);
    std::vector<uint8_t> out(size_t{kLarge} * kLarge * 4);
    for (auto _ : state) {
        stbir_resize_uint8(source.BitsPointer(), kSmall, kSmall, 0, out.data(), kLarge, kLarge, 0, 4);
        benchmark::DoNotOptimize(out.data());
    }
    Rate(state, int64_t{kLarge} * kLarge);
}

// The 128 x 128 image turned by 30 degrees at 512 x 512: the intermediate
// image is 724 x 724, which is what the rate counts.
void Rotate(benchmark::State& state, bool interpolate) {
    c32bppDIB source, host;
    Paint(source, kSmall);
    source.SetHighQualityInterpolation(interpolate);
    Opaque(host, 724);
    for (auto _ : state) {
        source.Render(nullptr, 106, 106, kLarge, kLarge, 0, 0, 0, 0, 100, true, true, &host, -1, 0, 30);
        benchmark::DoNotOptimize(host.BitsPointer());
    }
    Rate(state, int64_t{724} * 724);
}

void Composite(benchmark::State& state, int opacity) {
    c32bppDIB source, host;
    Paint(source, kLarge);
    Opaque(host, kLarge);
    for (auto _ : state) {
        source.Render(nullptr, 0, 0, 0, 0, 0, 0, 0, 0, opacity, true, true, &host);
        benchmark::DoNotOptimize(host.BitsPointer());
    }
    Rate(state, int64_t{kLarge} * kLarge);
}

void DropShadow(benchmark::State& state) {
    c32bppDIB source;
    Paint(source, kLarge);
    for (auto _ : state) {
        std::unique_ptr<c32bppDIB> shadow = source.CreateDropShadow(10, 0x204060);
        benchmark::DoNotOptimize(shadow.get());
    }
    Rate(state, int64_t{kLarge + 20} * (kLarge + 20));
}

void Memcpy(benchmark::State& state, int side) {
    std::vector<uint8_t> from(size_t(side) * side * 4, 7), to(from.size());
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), from.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    Rate(state, int64_t{side} * side);
}

class RatioReporter : public TimingReporter {
public:
    void PrintRatios() const {
        auto t = [&](const std::string& name) { return Time(name); };
        const double copy512 = t("memcpy/512x512"), copy724 = t("memcpy/724x724"), copy532 = t("memcpy/532x532");
        const double stb = t("stbir_resize_uint8");
        std::printf("\n%-34s %12s %14s\n", "time ratio", "/ memcpy", "/ stbir_resize");
        for (const auto& [name, time] : Times()) {
            if (name.rfind("memcpy", 0) == 0) continue;
            const bool rotated = name.rfind("rotate", 0) == 0;
            const bool shadow = name.rfind("dropshadow", 0) == 0;
            const double copy = rotated ? copy724 : shadow ? copy532 : copy512;
            const bool scaling = name.rfind("scale", 0) == 0 || name == "stbir_resize_uint8";
            std::printf("%-34s %12.2f", name.c_str(), copy > 0 ? time / copy : 0.0);
            if (scaling && stb > 0)
                std::printf(" %14.2f\n", time / stb);
            else
                std::printf(" %14s\n", "-");
        }
    }

};

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("scale/interpolated/render", [](auto& s) { RenderScaled(s, true); });
    benchmark::RegisterBenchmark("scale/nearest/render", [](auto& s) { RenderScaled(s, false); });
    benchmark::RegisterBenchmark("scale/interpolated/scaler", [](auto& s) { ScalerAlone(s, true); });
    benchmark::RegisterBenchmark("scale/nearest/scaler", [](auto& s) { ScalerAlone(s, false); });
    benchmark::RegisterBenchmark("stbir_resize_uint8", [](auto& s) { Stbir(s); });
    benchmark::RegisterBenchmark("rotate30/interpolated", [](auto& s) { Rotate(s, true); });
    benchmark::RegisterBenchmark("rotate30/nearest", [](auto& s) { Rotate(s, false); });
    benchmark::RegisterBenchmark("composite/opacity100", [](auto& s) { Composite(s, 100); });
    benchmark::RegisterBenchmark("composite/opacity50", [](auto& s) { Composite(s, 50); });
    benchmark::RegisterBenchmark("memcpy/512x512", [](auto& s) { Memcpy(s, kLarge); });
    benchmark::RegisterBenchmark("dropshadow/depth10", [](auto& s) { DropShadow(s); });
    benchmark::RegisterBenchmark("memcpy/724x724", [](auto& s) { Memcpy(s, 724); });
    benchmark::RegisterBenchmark("memcpy/532x532", [](auto& s) { Memcpy(s, 532); });
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
