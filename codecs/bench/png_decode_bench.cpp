// Decoding speed: this PNG decoder (built-in inflater, and with zlib) against
// libpng, libspng and stb_image on generated 1024 x 1024 images, and the
// built-in inflater against zlib and libdeflate on the same image data.
// After the timings it prints each time as a ratio to libpng and to zlib.
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>
#include <spng.h>
#include <zlib.h>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "codecs/bench/bench_images.h"
#include "codecs/bench/libpng_images.h"
#include "codecs/cPNGparser.h"
#include "codecs/inflater.h"
#include "codecs/modParsers.h"
#include "common/bench_timings.h"
#include "imagecore/c32bppDIB.h"
#include "mendlow/image_codecs.h"

namespace {

using Bytes = std::vector<uint8_t>;
using bench_images::kSize;

struct Kind {
    const char* name;
    int libpngColourType;
    int channels;
};
const Kind kKinds[] = {{"rgba", PNG_COLOR_TYPE_RGBA, 4},
                       {"rgb", PNG_COLOR_TYPE_RGB, 3},
                       {"palette", PNG_COLOR_TYPE_PALETTE, 1},
                       {"grey", PNG_COLOR_TYPE_GRAY, 1}};

struct Image {
    std::string name;
    Bytes png;
    Bytes zlibStream;  // the concatenated IDAT data
    size_t inflatedSize = 0;
};

Bytes EncodeWithLibpng(const Kind& kind, bool photo, bool interlaced) {
    return bench_images::EncodeWithLibpng(kSize, kind.libpngColourType, kind.channels, photo, interlaced);
}

Bytes IdatData(const Bytes& png, size_t& inflatedSize) {
    Bytes data;
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = uint32_t{png[at]} << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        if (std::memcmp(&png[at + 4], "IDAT", 4) == 0) data.insert(data.end(), &png[at + 8], &png[at + 8] + length);
        at += length + 12;
    }
    Bytes out(size_t{kSize} * kSize * 5 + 100000);
    uLongf size = out.size();
    uncompress(out.data(), &size, data.data(), data.size());
    inflatedSize = size;
    return data;
}

std::vector<Image>& Images() {
    static std::vector<Image> images = [] {
        std::vector<Image> all;
        for (bool photo : {true, false})
            for (const Kind& kind : kKinds)
                for (bool interlaced : {false, true}) {
                    Image image;
                    image.name = std::string(photo ? "photo" : "flat") + "/" + kind.name + (interlaced ? "/adam7" : "");
                    image.png = EncodeWithLibpng(kind, photo, interlaced);
                    image.zlibStream = IdatData(image.png, image.inflatedSize);
                    all.push_back(std::move(image));
                }
        return all;
    }();
    return images;
}

void OwnDecoder(benchmark::State& state, const Image& image, bool withZlib) {
    modParsers::SetZlibDisabled(!withZlib);
    for (auto _ : state) {
        c32bppDIB dib;
        cPNGparser().LoadStream(image.png, dib, 0, static_cast<int64_t>(image.png.size()), 0);
        benchmark::DoNotOptimize(dib.BitsPointer());
    }
    modParsers::SetZlibDisabled(false);
}

// The public entry into a buffer of the caller's, straight RGBA as libspng's.
void Entry(benchmark::State& state, const Image& image, bool checkChecksums) {
    Bytes out(size_t{kSize} * kSize * 4);
    mendlow::DecodeOptions options;
    options.checkChecksums = checkChecksums;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            mendlow::DecodeImage(image.png.data(), image.png.size(), options, out.data(), out.size(), kSize * 4));
        benchmark::DoNotOptimize(out.data());
    }
}

void Libpng(benchmark::State& state, const Image& image) {
    Bytes out(size_t{kSize} * kSize * 4);
    for (auto _ : state) {
        png_image decoded{};
        decoded.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&decoded, image.png.data(), image.png.size());
        decoded.format = PNG_FORMAT_BGRA;
        png_image_finish_read(&decoded, nullptr, out.data(), 0, nullptr);
        benchmark::DoNotOptimize(out.data());
    }
}

void Spng(benchmark::State& state, const Image& image) {
    Bytes out(size_t{kSize} * kSize * 4);
    for (auto _ : state) {
        spng_ctx* ctx = spng_ctx_new(0);
        spng_set_crc_action(ctx, SPNG_CRC_USE, SPNG_CRC_USE);
        spng_set_png_buffer(ctx, image.png.data(), image.png.size());
        spng_decode_image(ctx, out.data(), out.size(), SPNG_FMT_RGBA8, 0);
        spng_ctx_free(ctx);
        benchmark::DoNotOptimize(out.data());
    }
}

void Stb(benchmark::State& state, const Image& image) {
    for (auto _ : state) {
        int w, h, n;
        stbi_uc* pixels = stbi_load_from_memory(image.png.data(), static_cast<int>(image.png.size()), &w, &h, &n, 4);
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
}

void BuiltinInflater(benchmark::State& state, const Image& image) {
    Bytes out(image.inflatedSize);
    for (auto _ : state) benchmark::DoNotOptimize(InflateZlibStream(image.zlibStream, out));
}

void ZlibUncompress(benchmark::State& state, const Image& image) {
    Bytes out(image.inflatedSize);
    for (auto _ : state) {
        uLongf size = out.size();
        benchmark::DoNotOptimize(uncompress(out.data(), &size, image.zlibStream.data(), image.zlibStream.size()));
    }
}

void Libdeflate(benchmark::State& state, const Image& image) {
    Bytes out(image.inflatedSize);
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    for (auto _ : state)
        benchmark::DoNotOptimize(libdeflate_zlib_decompress(d, image.zlibStream.data(), image.zlibStream.size(),
                                                            out.data(), out.size(), nullptr));
    libdeflate_free_decompressor(d);
}

// Collects the timings so that ratios can be printed after them.
class RatioReporter : public TimingReporter {
public:
    void PrintRatios() const {
        std::printf("\n%-28s %10s %10s %10s %10s %10s %10s | %10s %10s\n", "decode: time / libpng", "own",
                    "own+zlib", "entry", "unchecked", "libspng", "stb_image", "inflate/zlib", "libdeflate/zlib");
        for (const Image& image : Images()) {
            auto t = [&](const std::string& what) {
                return Time(what + "/" + image.name);
            };
            double libpng = t("decode/libpng"), zlib = t("inflate/zlib");
            if (libpng == 0 || zlib == 0) continue;
            std::printf("%-28s %10.2f %10.2f %10.2f %10.2f %10.2f %10.2f | %10.2f %10.2f\n", image.name.c_str(),
                        t("decode/own") / libpng, t("decode/own+zlib") / libpng, t("decode/entry") / libpng,
                        t("decode/entry-unchecked") / libpng, t("decode/libspng") / libpng,
                        t("decode/stb_image") / libpng, t("inflate/builtin") / zlib, t("inflate/libdeflate") / zlib);
        }
    }

};

}  // namespace

int main(int argc, char** argv) {
    for (const Image& image : Images()) {
        const Image* i = &image;
        benchmark::RegisterBenchmark(("decode/own/" + image.name).c_str(), [i](auto& s) { OwnDecoder(s, *i, false); });
        benchmark::RegisterBenchmark(("decode/own+zlib/" + image.name).c_str(), [i](auto& s) { OwnDecoder(s, *i, true); });
        benchmark::RegisterBenchmark(("decode/entry/" + image.name).c_str(), [i](auto& s) { Entry(s, *i, true); });
        benchmark::RegisterBenchmark(("decode/entry-unchecked/" + image.name).c_str(),
                                     [i](auto& s) { Entry(s, *i, false); });
        benchmark::RegisterBenchmark(("decode/libpng/" + image.name).c_str(), [i](auto& s) { Libpng(s, *i); });
        benchmark::RegisterBenchmark(("decode/libspng/" + image.name).c_str(), [i](auto& s) { Spng(s, *i); });
        benchmark::RegisterBenchmark(("decode/stb_image/" + image.name).c_str(), [i](auto& s) { Stb(s, *i); });
        benchmark::RegisterBenchmark(("inflate/builtin/" + image.name).c_str(), [i](auto& s) { BuiltinInflater(s, *i); });
        benchmark::RegisterBenchmark(("inflate/zlib/" + image.name).c_str(), [i](auto& s) { ZlibUncompress(s, *i); });
        benchmark::RegisterBenchmark(("inflate/libdeflate/" + image.name).c_str(), [i](auto& s) { Libdeflate(s, *i); });
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
