#include <gtest/gtest.h>

#include <vector>

#include "codecs/cGIFparser.h"
#include "codecs/tests/gif_builder.h"
#include "imagecore/c32bppDIB.h"

namespace {

using test_gif::Builder;
using test_gif::Bytes;
using test_gif::Frame;
using test_gif::Palette;

struct GifDecoded {
    bool isGif = false;
    bool hasImage = false;
    int width = 0, height = 0;
    bool alpha = false;
    int32_t imageType = 0;
    std::vector<uint32_t> pixels;  // 0xAARRGGBB, top row first
    uint32_t At(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

GifDecoded DecodeGif(const Bytes& file) {
    c32bppDIB image;
    GifDecoded d;
    d.isGif = cGIFparser().LoadStream(file, image, 0, static_cast<int64_t>(file.size()));
    d.hasImage = image.Handle() != 0;
    if (!d.hasImage) return d;
    d.width = image.Width(), d.height = image.Height(), d.alpha = image.Alpha(), d.imageType = image.ImageType();
    for (int y = 0; y < d.height; ++y) {
        const uint8_t* row = image.Pixels().PictureRow(y);
        for (int x = 0; x < d.width; ++x)
            d.pixels.push_back(uint32_t{row[4 * x]} | uint32_t{row[4 * x + 1]} << 8 | uint32_t{row[4 * x + 2]} << 16 |
                               uint32_t{row[4 * x + 3]} << 24);
    }
    return d;
}

uint32_t Opaque(const Bytes& table, size_t index) {
    return 0xFF000000u | uint32_t{table[3 * index]} << 16 | uint32_t{table[3 * index + 1]} << 8 | table[3 * index + 2];
}

Frame Pattern(uint16_t width, uint16_t height, int colours, int codeSize = 8) {
    Frame f;
    f.width = width, f.height = height, f.codeSize = codeSize;
    for (int i = 0; i < width * height; ++i) f.indices.push_back(static_cast<uint8_t>((i * 5 + i / width) % colours));
    return f;
}

// Every pixel the colour of its index in the table.
void ExpectPixels(const GifDecoded& d, const Frame& f, const Bytes& table) {
    ASSERT_EQ(d.width, f.width);
    ASSERT_EQ(d.height, f.height);
    for (size_t i = 0; i < f.indices.size(); ++i) ASSERT_EQ(d.pixels[i], Opaque(table, f.indices[i])) << "pixel " << i;
}

TEST(GifDecoder, SignatureInAnyCaseOnlyInsideTheWindow) {
    const Bytes table = Palette(4);
    const Frame frame = Pattern(3, 2, 4, 2);
    for (const char* signature : {"GIF89a", "GIF87a", "gif89a", "gIf87A"}) {
        GifDecoded d = DecodeGif(Builder(3, 2, table, signature).Image(frame).End());
        EXPECT_TRUE(d.isGif) << signature;
        ExpectPixels(d, frame, table);
        EXPECT_FALSE(d.alpha);
        EXPECT_EQ(d.imageType, imgGIF);
    }
    for (const char* signature : {"GIF88a", "GIF89b", "JIF89a", "GIF8 a"})
        EXPECT_FALSE(DecodeGif(Builder(3, 2, table, signature).Image(frame).End()).isGif) << signature;

    Bytes gif = Builder(3, 2, table).Image(frame).End();
    c32bppDIB image;
    EXPECT_FALSE(cGIFparser().LoadStream(gif, image, 0, 5));
    EXPECT_FALSE(cGIFparser().LoadStream(gif, image, -1, 6));
    EXPECT_FALSE(cGIFparser().LoadStream(gif, image, 1, static_cast<int64_t>(gif.size())));
    Bytes shifted = {9, 9};
    shifted.insert(shifted.end(), gif.begin(), gif.end());
    shifted.push_back(9);
    EXPECT_TRUE(cGIFparser().LoadStream(shifted, image, 2, static_cast<int64_t>(gif.size())));
    EXPECT_EQ(image.Width(), 3);
}

TEST(GifDecoder, FirstFrameOfAnAnimationAtItsOwnSizeAndColours) {
    const Bytes global = Palette(16), local = Palette(32);
    Bytes reversed(local.rbegin(), local.rend());
    Frame first = Pattern(7, 5, 32, 5);
    first.left = 9, first.top = 4, first.localTable = reversed;
    Frame second = Pattern(20, 12, 16);
    Bytes gif = Builder(20, 12, global).Application().Control(false, 0, 10).Image(first).Control(false, 0, 10)
                    .Image(second).End();
    GifDecoded d = DecodeGif(gif);
    EXPECT_TRUE(d.isGif);
    ExpectPixels(d, first, reversed);

    // Without a local table the global one applies.
    first.localTable.clear();
    first.codeSize = 4;
    for (auto& index : first.indices) index &= 15;
    ExpectPixels(DecodeGif(Builder(20, 12, global).Image(first).Image(second).End()), first, global);
}

TEST(GifDecoder, OnlyTheTransparentIndexBecomesTransparent) {
    Bytes table = Palette(8);
    std::copy(table.begin() + 3 * 5, table.begin() + 3 * 6, table.begin() + 3 * 2);  // 2 and 5 look alike
    Frame f = Pattern(6, 4, 8, 3);
    GifDecoded d = DecodeGif(Builder(6, 4, table).Control(true, 5).Image(f).End());
    ASSERT_TRUE(d.hasImage);
    EXPECT_TRUE(d.alpha);
    EXPECT_EQ(d.imageType, imgGIF);
    int transparent = 0;
    for (size_t i = 0; i < f.indices.size(); ++i) {
        if (f.indices[i] == 5) {
            EXPECT_EQ(d.pixels[i], 0u);
            ++transparent;
        } else {
            EXPECT_EQ(d.pixels[i], Opaque(table, f.indices[i])) << i;
        }
    }
    EXPECT_GT(transparent, 0);
    EXPECT_EQ(d.pixels[2], Opaque(table, 5));  // index 2, same colour, stays opaque

    // A transparent index that no pixel uses still marks the image as having alpha.
    GifDecoded unused = DecodeGif(Builder(6, 4, table).Control(true, 200).Image(f).End());
    EXPECT_TRUE(unused.alpha);
    ExpectPixels(unused, f, table);
}

TEST(GifDecoder, TheLastControlBlockBeforeTheImageWins) {
    const Bytes table = Palette(4);
    const Frame f = Pattern(4, 4, 4, 2);
    GifDecoded later = DecodeGif(Builder(4, 4, table).Control(true, 1).Comment("x").Control(true, 3).Image(f).End());
    ASSERT_TRUE(later.hasImage);
    EXPECT_EQ(later.At(0, 0), Opaque(table, 0));
    EXPECT_EQ(later.At(1, 0), Opaque(table, 1));
    EXPECT_EQ(later.At(3, 0), 0u);  // index 3 (x * 5 % 4)

    GifDecoded cleared = DecodeGif(Builder(4, 4, table).Control(true, 1).Control(false, 1).Image(f).End());
    EXPECT_FALSE(cleared.alpha);
    ExpectPixels(cleared, f, table);

    // One that follows the image belongs to the next frame.
    GifDecoded following = DecodeGif(Builder(4, 4, table).Image(f).Control(true, 0).Image(f).End());
    EXPECT_FALSE(following.alpha);
}

TEST(GifDecoder, ExtensionsAndPaddingBeforeTheImageAreSkipped) {
    const Bytes table = Palette(2);
    const Frame f = Pattern(5, 3, 2, 2);
    Bytes unknown = {0x21, 0x01, 3, 'a', 'b', 'c', 2, 'd', 'e', 0};  // a plain-text-like block
    GifDecoded d = DecodeGif(Builder(5, 3, table).Raw({0, 0}).Application().Comment("hello").Raw(unknown).Image(f).End());
    EXPECT_TRUE(d.isGif);
    ExpectPixels(d, f, table);
}

TEST(GifDecoder, InterlacedRowsComeOutInPictureOrder) {
    const Bytes table = Palette(256);
    for (uint16_t height : {1, 2, 3, 5, 8, 9, 17, 30}) {
        Frame f;
        f.width = 3, f.height = height, f.interlaced = true;
        for (int i = 0; i < 3 * height; ++i) f.indices.push_back(static_cast<uint8_t>(i / 3));  // row number
        ExpectPixels(DecodeGif(Builder(3, height, table).Image(f).End()), f, table);
    }
}

TEST(GifDecoder, NoColourTableMeansNotDecoded) {
    Frame f = Pattern(4, 4, 4, 2);
    GifDecoded none = DecodeGif(Builder(4, 4).Image(f).End());
    EXPECT_FALSE(none.isGif);
    EXPECT_FALSE(none.hasImage);
    f.localTable = Palette(4);
    ExpectPixels(DecodeGif(Builder(4, 4).Image(f).End()), f, f.localTable);
}

TEST(GifDecoder, NoImageBlockIsNotAGif) {
    EXPECT_FALSE(DecodeGif(Builder(4, 4, Palette(2)).Comment("only").End()).isGif);
    EXPECT_FALSE(DecodeGif(Builder(4, 4, Palette(2)).Raw({0x99}).End()).isGif);
}

TEST(GifDecoder, DataCutOffAnywhereGivesTrueAndNoImage) {
    const Bytes table = Palette(16);
    const Bytes gif = Builder(30, 20, table).Control(true, 1).Comment("c").Image(Pattern(30, 20, 16, 4)).End();
    const size_t imageStart = gif.size() - 1 - 1;  // before the trailer and the last terminator
    // Every cut from the screen descriptor to the image's last sub-block.
    for (size_t cut = 6; cut <= imageStart; ++cut) {
        Bytes part(gif.begin(), gif.begin() + cut);
        c32bppDIB image;
        image.InitializeDIB(2, 2);  // an earlier image goes
        EXPECT_TRUE(cGIFparser().LoadStream(part, image, 0, static_cast<int64_t>(part.size()))) << cut;
        EXPECT_EQ(image.Handle(), 0u) << cut;
        EXPECT_EQ(image.ImageType(), imgNone) << cut;
    }
    // The trailer is not needed.
    EXPECT_TRUE(DecodeGif(Bytes(gif.begin(), gif.end() - 1)).hasImage);
}

TEST(GifDecoder, ShortCompressedDataLeavesTheRestAtIndexZero) {
    Bytes table = Palette(4);
    Frame f = Pattern(10, 10, 4, 2);
    f.indices[0] = 1;
    Bytes lzw = test_gif::LzwEncode(Bytes(f.indices.begin(), f.indices.begin() + 37), 2);  // ends with the end code
    for (bool transparentZero : {false, true}) {
        Builder b(10, 10, table);
        if (transparentZero) b.Control(true, 0);
        GifDecoded d = DecodeGif(b.Raw({0x2C, 0, 0, 0, 0, 10, 0, 10, 0, 0, 2}).SubBlocks(lzw).End());
        ASSERT_TRUE(d.hasImage);
        for (size_t i = 0; i < 100; ++i) {
            uint8_t index = i < 37 ? f.indices[i] : 0;
            uint32_t expected = transparentZero && index == 0 ? 0u : Opaque(table, index);
            ASSERT_EQ(d.pixels[i], expected) << i;
        }
    }
    // Without the end code, and with codes that name nothing, the same.
    Bytes noEnd = test_gif::LzwEncode(Bytes(f.indices.begin(), f.indices.begin() + 37), 2, {true, false, true});
    GifDecoded d = DecodeGif(Builder(10, 10, table).Raw({0x2C, 0, 0, 0, 0, 10, 0, 10, 0, 0, 2}).SubBlocks(noEnd).End());
    ASSERT_TRUE(d.hasImage);
    EXPECT_EQ(d.pixels[36], Opaque(table, f.indices[36]));
    EXPECT_EQ(d.pixels[37], Opaque(table, 0));
    GifDecoded bad = DecodeGif(Builder(10, 10, table).Raw({0x2C, 0, 0, 0, 0, 10, 0, 10, 0, 0, 2}).SubBlocks({0x34}).End());
    ASSERT_TRUE(bad.hasImage);
    EXPECT_EQ(bad.pixels, std::vector<uint32_t>(100, Opaque(table, 0)));
}

TEST(GifDecoder, IndicesPastTheTableAreOpaqueBlack) {
    const Bytes table = Palette(2);
    Frame f = Pattern(4, 1, 4, 2);  // indices 0, 1, 2, 3 with a table of 2
    GifDecoded d = DecodeGif(Builder(4, 1, table).Image(f).End());
    ASSERT_TRUE(d.hasImage);
    EXPECT_EQ(d.pixels, (std::vector<uint32_t>{Opaque(table, 0), Opaque(table, 1), 0xFF000000u, 0xFF000000u}));
    GifDecoded t = DecodeGif(Builder(4, 1, table).Control(true, 3).Image(f).End());
    EXPECT_EQ(t.pixels, (std::vector<uint32_t>{Opaque(table, 0), Opaque(table, 1), 0xFF000000u, 0u}));
}

TEST(GifDecoder, UnusableImagesAreTakenButNotDecoded) {
    const Bytes table = Palette(4);
    auto withCodeSize = [&](uint8_t codeSize) {
        return Builder(2, 2, table).Raw({0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, codeSize}).SubBlocks({0x34, 0x12}).End();
    };
    for (uint8_t codeSize : {0, 9, 12, 255}) {
        GifDecoded d = DecodeGif(withCodeSize(codeSize));
        EXPECT_TRUE(d.isGif) << int(codeSize);
        EXPECT_FALSE(d.hasImage) << int(codeSize);
    }
    Frame empty = Pattern(0, 0, 4, 2);
    Frame flat = Pattern(5, 0, 4, 2);
    for (const Frame& f : {empty, flat}) {
        GifDecoded d = DecodeGif(Builder(5, 5, table).Image(f).End());
        EXPECT_TRUE(d.isGif);
        EXPECT_FALSE(d.hasImage);
    }
}

TEST(GifDecoder, ControlBlockIsReadAtFixedPlaces) {
    // A control block that claims 2 bytes still spans 8: flags at 3, index at 6.
    const Bytes table = Palette(4);
    const Frame f = Pattern(4, 1, 4, 2);
    Bytes odd = {0x21, 0xF9, 2, 1, 0, 0, 2, 0};
    GifDecoded d = DecodeGif(Builder(4, 1, table).Raw(odd).Image(f).End());
    ASSERT_TRUE(d.hasImage);
    EXPECT_TRUE(d.alpha);
    EXPECT_EQ(d.pixels[2], 0u);
}

}  // namespace
