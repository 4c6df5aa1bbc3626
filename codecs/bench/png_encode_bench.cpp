// Encoding speed and size: this PNG encoder against libpng at level 9 (with
// the same filters as ours, and with its own adaptive choice) and lodepng
// (its defaults), on the decoding benchmark's pictures. libpng deflates
// filtered rows with zlib's Z_FILTERED strategy where compress2 uses the
// default one; a third libpng run with the default strategy shows what that
// difference alone is worth, and compress2 alone on our filtered rows what
// our own work on top of zlib costs. libpng and lodepng
// are given the samples our encoder wrote, so all write the same pixels.
// After the timings it prints sizes and each time and size as a ratio.
#include <benchmark/benchmark.h>
#include <lodepng.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "codecs/bench/bench_images.h"
#include "codecs/cPNGwriter.h"
#include "common/bench_timings.h"
#include "imagecore/c32bppDIB.h"

namespace {

using Bytes = std::vector<uint8_t>;
using bench_images::kSize;

const char* const kKinds[] = {"rgba", "rgb", "palette", "grey"};

struct Picture {
    std::string name;
    std::unique_ptr<c32bppDIB> dib;
    Bytes own;  // our encoder's file
    // What our file holds, for the other encoders.
    int colourType = 0, channels = 0;
    std::vector<Bytes> rows;
    std::vector<png_color> palette;
    Bytes trnsAlpha;
    png_color_16 trnsKey{};
    bool hasTrns = false;
    Bytes straightRgba;
    Bytes storedRows;  // our file's inflated image data: what compress2 alone is given
    std::map<std::string, size_t> sizes;
};

std::unique_ptr<c32bppDIB> MakeImage(bool photo, const std::string& kind) {
    auto dib = std::make_unique<c32bppDIB>();
    dib->InitializeDIB(kSize, kSize);
    uint32_t noise = 1;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            uint8_t* p = dib->Pixels().PictureRow(y) + x * 4;
            uint8_t r, g, b, a = 255;
            if (kind == "rgba" || kind == "rgb") {
                r = bench_images::StoredSample(photo, false, x, y, 0, noise);
                g = bench_images::StoredSample(photo, false, x, y, 1, noise);
                b = bench_images::StoredSample(photo, false, x, y, 2, noise);
                if (kind == "rgba") a = bench_images::StoredSample(photo, false, x, y, 3, noise);
            } else if (kind == "palette") {
                bench_images::PaletteEntry(bench_images::StoredSample(photo, true, x, y, 0, noise), r, g, b);
            } else {
                r = g = b = bench_images::StoredSample(photo, false, x, y, 0, noise);
            }
            p[0] = uint8_t(b * a / 255), p[1] = uint8_t(g * a / 255), p[2] = uint8_t(r * a / 255), p[3] = a;
        }
    dib->SetAlpha(kind == "rgba");
    return dib;
}

void ReadFromVector(png_structp png, png_bytep data, png_size_t size) {
    auto* at = static_cast<const uint8_t**>(png_get_io_ptr(png));
    std::memcpy(data, *at, size);
    *at += size;
}

void WriteToVector(png_structp png, png_bytep data, png_size_t size) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// The samples, palette and transparency of our file, as libpng reads them.
void ReadBack(Picture& picture) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    const uint8_t* at = picture.own.data();
    png_set_read_fn(png, &at, ReadFromVector);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    picture.colourType = png_get_color_type(png, info);
    picture.channels = png_get_channels(png, info);
    png_bytepp rows = png_get_rows(png, info);
    for (int y = 0; y < kSize; ++y) picture.rows.emplace_back(rows[y], rows[y] + size_t(kSize) * picture.channels);
    png_colorp palette;
    int count;
    if (png_get_PLTE(png, info, &palette, &count)) picture.palette.assign(palette, palette + count);
    png_bytep alpha;
    png_color_16p key;
    if (png_get_tRNS(png, info, &alpha, &count, &key)) {
        picture.hasTrns = true;
        if (picture.colourType == PNG_COLOR_TYPE_PALETTE) picture.trnsAlpha.assign(alpha, alpha + count);
        else picture.trnsKey = *key;
    }
    png_destroy_read_struct(&png, &info, nullptr);

    Bytes idat;
    for (size_t at = 8; at + 12 <= picture.own.size();) {
        const uint8_t* c = &picture.own[at];
        const uint32_t length = uint32_t{c[0]} << 24 | c[1] << 16 | c[2] << 8 | c[3];
        if (std::memcmp(c + 4, "IDAT", 4) == 0) idat.insert(idat.end(), c + 8, c + 8 + length);
        at += 12 + size_t{length};
    }
    picture.storedRows.resize(size_t{kSize} * (size_t{kSize} * picture.channels + 1));
    uLongf inflated = picture.storedRows.size();
    uncompress(picture.storedRows.data(), &inflated, idat.data(), idat.size());

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    png_image_begin_read_from_memory(&image, picture.own.data(), picture.own.size());
    image.format = PNG_FORMAT_RGBA;
    picture.straightRgba.resize(PNG_IMAGE_SIZE(image));
    png_image_finish_read(&image, nullptr, picture.straightRgba.data(), 0, nullptr);
}

Bytes EncodeWithLibpng(const Picture& picture, bool sameFilters, bool defaultStrategy = false) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, WriteToVector, nullptr);
    png_set_compression_level(png, 9);
    if (defaultStrategy) png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    if (sameFilters) {
        const bool paeth = picture.colourType == PNG_COLOR_TYPE_RGB || picture.colourType == PNG_COLOR_TYPE_RGBA;
        png_set_filter(png, PNG_FILTER_TYPE_BASE, paeth ? PNG_FILTER_PAETH : PNG_FILTER_NONE);
    }
    png_set_IHDR(png, info, kSize, kSize, 8, picture.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty())
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    if (picture.hasTrns) {
        png_color_16 key = picture.trnsKey;
        png_set_tRNS(png, info, picture.trnsAlpha.empty() ? nullptr : picture.trnsAlpha.data(),
                     static_cast<int>(picture.trnsAlpha.size()), &key);
    }
    std::vector<png_bytep> pointers;
    for (const Bytes& row : picture.rows) pointers.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

size_t EncodeWithLodepng(const Picture& picture) {
    unsigned char* out = nullptr;
    size_t size = 0;
    lodepng_encode32(&out, &size, picture.straightRgba.data(), kSize, kSize);
    std::free(out);
    return size;
}

std::vector<Picture>& Pictures() {
    static std::vector<Picture> pictures = [] {
        std::vector<Picture> all;
        for (bool photo : {true, false})
            for (const char* kind : kKinds) {
                Picture picture;
                picture.name = std::string(photo ? "photo" : "flat") + "/" + kind;
                picture.dib = MakeImage(photo, kind);
                if (!cPNGwriter().SavePNG(*picture.dib, L"", picture.own)) {
                    std::fprintf(stderr, "own encoder failed on %s\n", picture.name.c_str());
                    std::exit(1);
                }
                ReadBack(picture);
                picture.sizes["own"] = picture.own.size();
                picture.sizes["libpng9"] = EncodeWithLibpng(picture, true).size();
                picture.sizes["libpng9-adaptive"] = EncodeWithLibpng(picture, false).size();
                picture.sizes["libpng9-zdefault"] = EncodeWithLibpng(picture, true, true).size();
                picture.sizes["lodepng"] = EncodeWithLodepng(picture);
                all.push_back(std::move(picture));
            }
        return all;
    }();
    return pictures;
}

// Collects the timings so that ratios can be printed after them.
class RatioReporter : public TimingReporter {
public:
    void PrintRatios() const {
        std::printf("\n%-16s %10s %10s %10s %10s %10s | %7s %7s %7s %7s | %7s %7s %7s %7s\n", "encode", "own bytes",
                    "libpng9", "adaptive", "zdefault", "lodepng", "t/png9", "t/adapt", "t/zdef", "t/lode", "s/png9",
                    "s/adapt", "s/zdef", "s/lode");
        std::printf("(t/c2: our whole encoding against compress2 alone on our rows)\n");
        for (const Picture& p : Pictures()) {
            auto t = [&](const std::string& what) {
                return Time("encode/" + what + "/" + p.name);
            };
            auto s = [&](const std::string& what) { return double(p.sizes.at(what)); };
            const double own = t("own");
            if (own == 0 || t("libpng9") == 0) continue;
            auto ratio = [&](const std::string& what) { return t(what) > 0 ? own / t(what) : 0.0; };
            std::printf("%-16s %10zu %10zu %10zu %10zu %10zu | %7.2f %7.2f %7.2f %7.2f | %7.3f %7.3f %7.3f %7.3f"
                        " | t/c2 %5.2f\n",
                        p.name.c_str(), p.sizes.at("own"), p.sizes.at("libpng9"), p.sizes.at("libpng9-adaptive"),
                        p.sizes.at("libpng9-zdefault"), p.sizes.at("lodepng"), ratio("libpng9"),
                        ratio("libpng9-adaptive"), ratio("libpng9-zdefault"), ratio("lodepng"),
                        s("own") / s("libpng9"), s("own") / s("libpng9-adaptive"), s("own") / s("libpng9-zdefault"),
                        s("own") / s("lodepng"), ratio("compress2"));
        }
    }

};

}  // namespace

int main(int argc, char** argv) {
    for (const Picture& picture : Pictures()) {
        const Picture* p = &picture;
        benchmark::RegisterBenchmark(("encode/own/" + p->name).c_str(), [p](benchmark::State& state) {
            for (auto _ : state) {
                Bytes out;
                benchmark::DoNotOptimize(cPNGwriter().SavePNG(*p->dib, L"", out));
            }
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode/compress2/" + p->name).c_str(), [p](benchmark::State& state) {
            Bytes out(p->storedRows.size() + p->storedRows.size() / 100 + 64);
            for (auto _ : state) {
                uLongf size = out.size();
                benchmark::DoNotOptimize(compress2(out.data(), &size, p->storedRows.data(), p->storedRows.size(), 9));
            }
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode/libpng9/" + p->name).c_str(), [p](benchmark::State& state) {
            for (auto _ : state) benchmark::DoNotOptimize(EncodeWithLibpng(*p, true));
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode/libpng9-adaptive/" + p->name).c_str(), [p](benchmark::State& state) {
            for (auto _ : state) benchmark::DoNotOptimize(EncodeWithLibpng(*p, false));
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode/libpng9-zdefault/" + p->name).c_str(), [p](benchmark::State& state) {
            for (auto _ : state) benchmark::DoNotOptimize(EncodeWithLibpng(*p, true, true));
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("encode/lodepng/" + p->name).c_str(), [p](benchmark::State& state) {
            for (auto _ : state) benchmark::DoNotOptimize(EncodeWithLodepng(*p));
        })->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
