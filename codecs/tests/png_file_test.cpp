// The file form of the PNG decoder reads the same images as the stream form.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "codecs/cPNGparser.h"
#include "codecs/file_reader.h"
#include "codecs/gdiplus_availability.h"
#include "codecs/tests/png_builder.h"
#include "imagecore/c32bppDIB.h"

namespace {

using test_png::Builder;
using test_png::Bytes;
namespace fs = std::filesystem;

// A name of its own: ctest runs each test in a process of its own, in parallel.
fs::path UniqueTempPath() {
    static int made = 0;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return fs::temp_directory_path() /
           ("mendlow-file-form-test-" + std::to_string(now) + "-" + std::to_string(++made) + ".png");
}

// Writes the bytes to a temporary file and decodes it through the file form.
class TempPng {
public:
    explicit TempPng(const Bytes& bytes) : path_(UniqueTempPath()) {
        std::FILE* out = std::fopen(path_.string().c_str(), "wb");
        if (out) {
            std::fwrite(bytes.data(), 1, bytes.size(), out);
            std::fclose(out);
        }
    }
    ~TempPng() { fs::remove(path_); }

    bool Load(c32bppDIB& image) const {
#ifdef _WIN32
        HANDLE file = CreateFileW(path_.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        bool result = cPNGparser().LoadFile(FileReader(file), path_.wstring(), image, 0);
        CloseHandle(file);
#else
        std::FILE* file = std::fopen(path_.c_str(), "rb");
        bool result = cPNGparser().LoadFile(FileReader(file), path_.wstring(), image, 0);
        if (file) std::fclose(file);
#endif
        return result;
    }

private:
    fs::path path_;
};

Bytes Sample() {
    Bytes raw;
    for (int y = 0; y < 6; ++y) {
        raw.push_back(y % 5);  // every filter type
        for (int x = 0; x < 7 * 4; ++x) raw.push_back(static_cast<uint8_t>(x * 31 + y * 7));
    }
    return Builder().Header(7, 6, 8, 6).Chunk("tEXt", {'k', 0, 'v'}).Data(raw, 3).End();
}

class PngFileForm : public ::testing::Test {
protected:
    void SetUp() override { gdiplus::SetDisabled(true); }
    void TearDown() override { gdiplus::SetDisabled(false); }
};

TEST_F(PngFileForm, GivesTheSamePixelsAsTheStreamForm) {
    Bytes png = Sample();
    c32bppDIB fromFile, fromStream;
    ASSERT_TRUE(TempPng(png).Load(fromFile));
    ASSERT_TRUE(cPNGparser().LoadStream(png, fromStream, 0, static_cast<int64_t>(png.size()), 0));
    ASSERT_NE(fromFile.Handle(), 0u);
    EXPECT_EQ(0, std::memcmp(fromFile.BitsPointer(), fromStream.BitsPointer(), 7 * 6 * 4));
    EXPECT_EQ(fromFile.ImageType(), imgPNG);
}

TEST_F(PngFileForm, ChunkRunningOneBytePastTheEndFails) {
    Bytes png = Sample();
    png.pop_back();
    c32bppDIB image;
    EXPECT_TRUE(TempPng(png).Load(image));
    EXPECT_EQ(image.Handle(), 0u);
}

TEST_F(PngFileForm, ShortFilesAreNotTestedForTheSignature) {
    Bytes png = Builder().Header(1, 1, 8, 0).Chunk("tEXt", Bytes(12, 'x')).End();
    png.resize(57);  // signature, IHDR and the text chunk; no IDAT, no IEND
    c32bppDIB image;
    EXPECT_TRUE(TempPng(png).Load(image));
    EXPECT_EQ(image.Handle(), 0u);
    png.resize(56);
    EXPECT_FALSE(TempPng(png).Load(image));  // only GDI+ may take it, and it is off
    Bytes notPng = Sample();
    notPng[0] = 0;
    EXPECT_FALSE(TempPng(notPng).Load(image));
}

}  // namespace
