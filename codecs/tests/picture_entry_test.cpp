// BMP, GIF and ICO/CUR through the public entry: premultiplied output is
// the image object's pixels byte for byte, straight output the stored
// colours, in every channel and row order; damaged files get their status.
#include <gtest/gtest.h>

#include <filesystem>

#include "codecs/gdiplus_availability.h"
#include "codecs/tests/bmp_builder.h"
#include "codecs/tests/bmpico_files.h"
#include "codecs/tests/gif_builder.h"
#include "codecs/tests/png_builder.h"
#include "mendlow/image_codecs.h"

namespace picture_entry_test {

using Bytes = std::vector<uint8_t>;
using mendlow::DecodeStatus;
using mendlow::FileFormat;

struct Decoded {
    mendlow::DecodeResult result;
    Bytes pixels;  // width x 4 bytes a row, as the options lay them out
};

// Decodes into a padded buffer filled twice, with 0x00 and with 0xFF: both
// must come out alike (every pixel written) and the padding untouched.
Decoded DecodeAs(const Bytes& file, mendlow::DecodeOptions options) {
    const mendlow::DecodeResult info = mendlow::ReadImageInfo(file.data(), file.size());
    if (!info) return {info, {}};
    const size_t row = size_t(info.info.width) * 4, stride = row + 3, rows = size_t(info.info.height);
    Decoded first;
    for (uint8_t fill : {0x00, 0xFF}) {
        Bytes buffer(stride * (rows - 1) + row, fill);
        Decoded d{mendlow::DecodeImage(file.data(), file.size(), options, buffer.data(), buffer.size(), stride), {}};
        for (size_t y = 0; y < rows; ++y) {
            d.pixels.insert(d.pixels.end(), buffer.begin() + y * stride, buffer.begin() + y * stride + row);
            for (size_t i = row; y + 1 < rows && i < stride; ++i) EXPECT_EQ(buffer[y * stride + i], fill) << "padding written";
        }
        if (fill == 0x00) {
            first = d;
        } else if (d.result) {
            EXPECT_EQ(d.pixels, first.pixels) << "a pixel was left unwritten";
        }
    }
    return first;
}

mendlow::DecodeOptions Options(bool premultiplied, bool rgba, bool topDown) {
    mendlow::DecodeOptions o;
    o.alpha = premultiplied ? mendlow::AlphaMode::Premultiplied : mendlow::AlphaMode::Straight;
    o.channels = rgba ? mendlow::ChannelOrder::Rgba : mendlow::ChannelOrder::Bgra;
    o.rows = topDown ? mendlow::RowOrder::TopDown : mendlow::RowOrder::BottomUp;
    return o;
}

// BGRA bottom-up pixels in another channel and row order.
Bytes Arrange(const Bytes& bgraBottomUp, int32_t width, bool rgba, bool topDown) {
    const size_t row = size_t(width) * 4, rows = bgraBottomUp.size() / row;
    Bytes out;
    for (size_t y = 0; y < rows; ++y) {
        const uint8_t* p = &bgraBottomUp[(topDown ? rows - 1 - y : y) * row];
        for (size_t x = 0; x < row; x += 4)
            out.insert(out.end(), {p[x + (rgba ? 2 : 0)], p[x + 1], p[x + (rgba ? 0 : 2)], p[x + 3]});
    }
    return out;
}

FileFormat FormatOf(const std::string& name) {
    const std::string extension = std::filesystem::path(name).extension().string();
    if (extension == ".bmp") return FileFormat::Bmp;
    if (extension == ".gif") return FileFormat::Gif;
    return extension == ".cur" ? FileFormat::Cur : FileFormat::Ico;
}

// Everything the entry promises for a file the image object reads; with
// `stored` (BGRA, bottom-up), the straight output must be exactly that.
void ExpectAsImageObject(const Bytes& file, FileFormat format, const std::string& name, const Bytes* stored = nullptr) {
    SCOPED_TRACE(name);
    c32bppDIB image;
    gdiplus::SetDisabled(true);  // the image object's own decoders only, as the entry
    const bool read = image.LoadPicture_Stream(file);
    gdiplus::SetDisabled(false);
    ASSERT_TRUE(read);
    const int32_t width = image.Width();
    const Bytes objectPixels(image.Pixels().bits, image.Pixels().bits + image.Pixels().PixelCount() * 4);

    const mendlow::DecodeResult info = mendlow::ReadImageInfo(file.data(), file.size());
    ASSERT_TRUE(info) << info.message;
    EXPECT_EQ(info.info.width, width);
    EXPECT_EQ(info.info.height, image.Height());
    EXPECT_EQ(info.info.format, format);
    EXPECT_EQ(info.info.hasAlpha, image.Alpha());

    const Decoded premultiplied = DecodeAs(file, Options(true, false, false));
    ASSERT_TRUE(premultiplied.result) << premultiplied.result.message;
    EXPECT_EQ(premultiplied.result.info.width, info.info.width);
    EXPECT_EQ(premultiplied.result.info.height, info.info.height);
    EXPECT_EQ(premultiplied.result.info.format, info.info.format);
    EXPECT_EQ(premultiplied.result.info.hasAlpha, info.info.hasAlpha);
    ASSERT_EQ(premultiplied.pixels, objectPixels);

    const Decoded straight = DecodeAs(file, Options(false, false, false));
    ASSERT_TRUE(straight.result);
    if (stored) {
        EXPECT_EQ(straight.pixels, *stored);
    }
    // Opaque pixels as the image object has them; others its pixels once
    // premultiplied, unless it took the file's colours as premultiplied.
    const bool takenAsPremultiplied = image.ImageType() == imgBitmapPremultiplied;
    for (size_t i = 0; i < objectPixels.size(); i += 4) {
        const unsigned a = straight.pixels[i + 3];
        ASSERT_EQ(a, objectPixels[i + 3]) << "pixel " << i / 4;
        for (size_t c = i; c < i + 3; ++c)
            ASSERT_EQ(takenAsPremultiplied ? straight.pixels[c] : straight.pixels[c] * a / 255, objectPixels[c])
                << "pixel " << i / 4;
    }

    for (bool rgba : {false, true})
        for (bool topDown : {false, true}) {
            EXPECT_EQ(DecodeAs(file, Options(false, rgba, topDown)).pixels, Arrange(straight.pixels, width, rgba, topDown));
            EXPECT_EQ(DecodeAs(file, Options(true, rgba, topDown)).pixels, Arrange(objectPixels, width, rgba, topDown));
        }
}

TEST(PictureEntry, EveryTestFileDecodesAsTheImageObjectDoes) {
    int compared = 0;
    for (const char* folder : {"bmp", "gif", "ico"})
        for (const auto& entry : std::filesystem::directory_iterator(bmpico::DataFolder() + "/" + folder)) {
            const std::string name = std::string(folder) + "/" + entry.path().filename().string();
            if (entry.path().extension() == ".py") continue;
            const Bytes file = bmpico::ReadFile(name);
            c32bppDIB probe;
            if (!probe.LoadPicture_Stream(file)) {
                ADD_FAILURE() << name << " is not read by the image object";
                continue;
            }
            ExpectAsImageObject(file, FormatOf(name), name);
            ++compared;
        }
    EXPECT_GE(compared, 43);
}

TEST(PictureEntry, StraightOutputKeepsTheStoredColours) {
    using namespace test_bmp;
    // 2 x 2, bottom row first: half-transparent, transparent with a colour,
    // opaque, nearly transparent. Colour under transparency: straight alpha.
    const Bytes straight = {50, 100, 200, 128, 10, 20, 30, 0, 1, 2, 3, 255, 255, 254, 253, 1};
    Info info32{.width = 2, .height = 2, .bitCount = 32};
    ExpectAsImageObject(File(InfoHeader(info32), {}, straight), FileFormat::Bmp, "straight 32-bit bitmap", &straight);

    // Every colour at most its alpha and black where transparent: the image
    // object takes the samples as premultiplied already.
    const Bytes premultiplied = {50, 100, 120, 128, 0, 0, 0, 0, 1, 2, 3, 255, 1, 0, 1, 1};
    ExpectAsImageObject(File(InfoHeader(info32), {}, premultiplied), FileFormat::Bmp, "premultiplied bitmap",
                        &premultiplied);

    // Alpha bytes all 0: not an alpha channel, every pixel opaque.
    const Bytes unused = {50, 100, 200, 0, 10, 20, 30, 0, 1, 2, 3, 0, 255, 254, 253, 0};
    Bytes opaque = unused;
    for (size_t i = 3; i < opaque.size(); i += 4) opaque[i] = 255;
    ExpectAsImageObject(File(InfoHeader(info32), {}, unused), FileFormat::Bmp, "alpha bytes unused", &opaque);

    // A 32-bit icon keeps its stored colours; a 4-bit one keeps its palette
    // colour where the mask hides the pixel.
    const Bytes mask = PaddedRows({{0x40}, {0x00}});  // bottom row: the right pixel hidden
    ExpectAsImageObject(IconFile(1, {{2, 2, 1, 32, IconBitmap(2, 2, 32, {}, straight, mask)}}), FileFormat::Ico,
                        "32-bit icon", &straight);
    const Bytes colour4 = PaddedRows({{0x12}, {0x30}});
    const Bytes shown = {0x22, 0x22, 0x22, 255, 0x33, 0x33, 0x33, 0, 0x44, 0x44, 0x44, 255, 0x11, 0x11, 0x11, 255};
    std::vector<uint32_t> palette = {0x111111, 0x222222, 0x333333, 0x444444};
    palette.resize(16);  // the image object reads icons with a full table only
    ExpectAsImageObject(IconFile(2, {{2, 2, 1, 4, IconBitmap(2, 2, 4, Quads(palette), colour4, mask)}}),
                        FileFormat::Cur, "4-bit cursor", &shown);

    // GIF: the transparent index keeps its palette colour.
    const Bytes table = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    test_gif::Frame frame;
    frame.width = 2, frame.height = 2, frame.codeSize = 2, frame.indices = {0, 1, 2, 3};
    const Bytes gif = test_gif::Builder(2, 2, table).Comment("long enough for the image object").Control(true, 1)
                          .Image(frame).End();
    const Bytes gifPixels = {90, 80, 70, 255, 120, 110, 100, 255, 30, 20, 10, 255, 60, 50, 40, 0};
    ExpectAsImageObject(gif, FileFormat::Gif, "transparent GIF", &gifPixels);

    // A PNG image inside an icon goes through the PNG entry.
    const test_png::Bytes rgba = {200, 100, 50, 128, 30, 20, 10, 0, 3, 2, 1, 255, 253, 254, 255, 1};
    const Bytes png = test_png::Builder().Header(2, 2, 8, 6).Data(test_png::Plain(rgba, 2, 2, 4)).End();
    const Bytes pngPixels = {1, 2, 3, 255, 255, 254, 253, 1, 50, 100, 200, 128, 10, 20, 30, 0};
    ExpectAsImageObject(IconFile(1, {{2, 2, 1, 32, png}}), FileFormat::Ico, "PNG icon", &pngPixels);
}

struct BrokenCase {
    const char* what;
    Bytes file;
    DecodeStatus status;
};

Bytes Cut(Bytes file, size_t size) {
    file.resize(size);
    return file;
}

Bytes Patched(Bytes file, size_t at, std::initializer_list<uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), file.begin() + at);
    return file;
}

std::vector<BrokenCase> BrokenCases() {
    using namespace test_bmp;
    const Bytes bmp = File(InfoHeader({.width = 3, .height = 2}), {}, PaddedRows({Bytes(9, 7), Bytes(9, 8)}));
    Bytes coloured = InfoHeader({.width = 3, .height = 2, .bitCount = 8, .compression = 1, .coloursUsed = 1});
    Append(coloured, Quads({0x102030}));
    const Bytes rle = File(coloured, {}, {3, 0, 0, 1});

    const Bytes table = test_gif::Palette(4);
    test_gif::Frame frame;
    frame.width = 3, frame.height = 2, frame.codeSize = 2, frame.indices = {0, 1, 2, 3, 0, 1};
    const Bytes gif = test_gif::Builder(3, 2, table).Image(frame).End();
    const size_t codeSizeAt = 13 + table.size() + 10;  // after the screen, the table and the image descriptor

    const Bytes mask = PaddedRows({{0}, {0}});
    const Bytes icon = IconFile(1, {{2, 2, 1, 24, IconBitmap(2, 2, 24, {}, PaddedRows({Bytes(6, 9), Bytes(6, 9)}), mask)}});
    return {
        {"bitmap headers cut", Cut(bmp, 20), DecodeStatus::Truncated},
        {"bitmap rows cut", Cut(bmp, bmp.size() - 1), DecodeStatus::Truncated},
        {"bitmap pixels beyond the end", Patched(bmp, 10, {0xFF, 0x7F}), DecodeStatus::Truncated},
        {"bitmap header of 20 bytes", Patched(bmp, 14, {20}), DecodeStatus::Unsupported},
        {"JPEG inside a bitmap", Patched(bmp, 30, {4}), DecodeStatus::Unsupported},
        {"2 bits a pixel", Patched(bmp, 28, {2}), DecodeStatus::Unsupported},
        {"bitmap width 0", Patched(bmp, 18, {0}), DecodeStatus::Damaged},
        {"bitmap height 0", Patched(bmp, 22, {0}), DecodeStatus::Damaged},
        {"run-length 8 at 4 bits", Patched(rle, 28, {4}), DecodeStatus::Damaged},
        {"run-length rows top-down", Patched(rle, 22, {0xFE, 0xFF, 0xFF, 0xFF}), DecodeStatus::Unsupported},
        {"bitmap colour table cut", Cut(rle, 56), DecodeStatus::Truncated},
        {"GIF data cut", Cut(gif, gif.size() - 3), DecodeStatus::Truncated},
        {"GIF screen descriptor cut", Cut(gif, 8), DecodeStatus::Truncated},
        {"GIF without an image", test_gif::Builder(3, 2, table).End(), DecodeStatus::Damaged},
        {"GIF without a colour table", test_gif::Builder(3, 2).Image(frame).End(), DecodeStatus::Unsupported},
        {"GIF code size 12", Patched(gif, codeSizeAt, {12}), DecodeStatus::Damaged},
        {"icon without images", Patched(icon, 4, {0}), DecodeStatus::Damaged},
        {"icon directory cut", Cut(icon, 12), DecodeStatus::Truncated},
        {"icon image cut", Cut(icon, icon.size() - 1), DecodeStatus::Truncated},
        {"icon image offset beyond the end", Patched(icon, 18, {0xFF, 0xFF}), DecodeStatus::Damaged},
        {"icon header of 12 bytes", Patched(icon, 22, {12}), DecodeStatus::Damaged},
        {"not a picture", Bytes(64, 'x'), DecodeStatus::NotAPicture},
    };
}

TEST(PictureEntry, DamagedFilesGetTheirStatus) {
    for (const BrokenCase& c : BrokenCases()) {
        const mendlow::DecodeResult info = mendlow::ReadImageInfo(c.file.data(), c.file.size());
        EXPECT_EQ(info.status, c.status) << c.what << ": " << info.message;
        EXPECT_NE(std::string(info.message), "") << c.what;
        mendlow::DecodedImage image;
        EXPECT_EQ(mendlow::DecodeImage(c.file.data(), c.file.size(), {}, image).status, c.status) << c.what;
        EXPECT_TRUE(image.pixels.empty()) << c.what;
    }
}

}  // namespace picture_entry_test
