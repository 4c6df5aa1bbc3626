// The decoding entry against libspng on every PngSuite file and, once
// scripts/fetch-real-pngs has fetched them, on real files made by other
// projects: straight RGBA equal to libspng's RGBA8 with tRNS applied, and
// premultiplied blue-first bottom-up equal to the image object's pixels.
#include <spng.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

#include "codecs/tests/png_builder.h"
#include "imagecore/c32bppDIB.h"
#include "mendlow/image_codecs.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool DecodeWithSpng(const Bytes& file, Bytes& rgba) {
    spng_ctx* ctx = spng_ctx_new(0);
    size_t size = 0;
    bool ok = spng_set_png_buffer(ctx, file.data(), file.size()) == 0 &&
              spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0;
    if (ok) {
        rgba.resize(size);
        ok = spng_decode_image(ctx, rgba.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) == 0;
    }
    spng_ctx_free(ctx);
    return ok;
}

std::vector<fs::path> PngFiles(const fs::path& folder) {
    std::vector<fs::path> files;
    if (!fs::exists(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.path().extension() == ".png") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// Both decoders' answers for one file; counts what was compared.
void Compare(const fs::path& path, int& compared) {
    SCOPED_TRACE(path.string());
    const Bytes file = ReadAll(path);
    Bytes theirs;
    const bool spngRead = DecodeWithSpng(file, theirs);
    mendlow::DecodedImage ours;
    const mendlow::DecodeResult result = mendlow::DecodeImage(file.data(), file.size(), {}, ours);
    if (!spngRead || !result) {
        // A file libspng reads must be read, unless a checksum it did not
        // test is wrong (xcsn0g01: an IDAT's CRC-32).
        EXPECT_FALSE(spngRead && !result && result.status != mendlow::DecodeStatus::ChecksumMismatch)
            << result.message;
        return;
    }
    ++compared;
    EXPECT_TRUE(ours.pixels == theirs) << "straight RGBA differs from libspng's";

    c32bppDIB image;
    ASSERT_TRUE(image.LoadPicture_Stream(file));
    mendlow::DecodeOptions premultiplied{mendlow::ChannelOrder::Bgra, mendlow::AlphaMode::Premultiplied,
                                         mendlow::RowOrder::BottomUp};
    ASSERT_TRUE(mendlow::DecodeImage(file.data(), file.size(), premultiplied, ours));
    const PixelView pixels = image.Pixels();
    EXPECT_TRUE(Bytes(pixels.bits, pixels.bits + pixels.PixelCount() * 4) == ours.pixels)
        << "premultiplied pixels differ from the image object's";
}

TEST(DecodeEntryAgainstLibspng, EveryPngSuiteFile) {
    const auto files = PngFiles(MENDLOW_PNGSUITE_DIR);
    if (files.empty()) GTEST_SKIP() << "PngSuite not found at " << MENDLOW_PNGSUITE_DIR;
    int compared = 0;
    for (const auto& path : files) Compare(path, compared);
    EXPECT_GT(compared, 150);
}

// The files scripts/fetch-real-pngs chose: "class<TAB>path" lines.
std::vector<fs::path> RealFiles() {
    std::ifstream list(fs::path(MENDLOW_REAL_PNG_DIR) / "list.txt");
    std::vector<fs::path> files;
    for (std::string line; std::getline(list, line);)
        if (!line.empty() && line[0] != '#' && line.find('\t') != std::string::npos)
            files.push_back(line.substr(line.find('\t') + 1));
    return files;
}

TEST(DecodeEntryAgainstLibspng, EveryFetchedRealFile) {
    const auto files = RealFiles();
    if (files.empty()) GTEST_SKIP() << "no real files listed in " << MENDLOW_REAL_PNG_DIR << " (scripts/fetch-real-pngs)";
    int compared = 0;
    for (const auto& path : files) Compare(path, compared);
    EXPECT_EQ(compared, int(files.size()));
}

// With the address space limited, the picture's memory cannot be had: the
// answer is OutOfMemory, and nothing is thrown. Runs in a child process.
[[noreturn]] void DecodeWithLittleAddressSpace(const Bytes& file) {
    long pages = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm || std::fscanf(statm, "%ld", &pages) != 1) std::_Exit(99);
    const rlim_t limit = rlim_t(pages) * sysconf(_SC_PAGESIZE) + (rlim_t{64} << 20);
    const rlimit cap{limit, limit};
    if (setrlimit(RLIMIT_AS, &cap) != 0) std::_Exit(98);
    mendlow::DecodedImage image;
    std::_Exit(int(mendlow::DecodeImage(file.data(), file.size(), {}, image).status));
}

TEST(DecodeEntryMemory, AnAllocationThatFailsAnswersOutOfMemory) {
    const Bytes file = test_png::Builder().Header(8000, 8000, 8, 6).Data({0, 1, 2, 3, 4}).End();
    EXPECT_EXIT(DecodeWithLittleAddressSpace(file),
                testing::ExitedWithCode(int(mendlow::DecodeStatus::OutOfMemory)), "");
}

}  // namespace
