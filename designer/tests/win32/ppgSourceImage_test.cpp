// The source image page under Wine: what it lists and shows for a file,
// what applying hands to the edited control, drops, and clearing.
#include "designer/win32/ppgSourceImage.h"

#include <windows.h>
#include <ole2.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "app/host/text.h"
#include "app/tests/file_drop_data.h"
#include "codecs/tests/bmp_builder.h"
#include "imagecontrol/tests/recording_site.h"

namespace designer {
namespace {

// A 20 x 10 baseline JPEG.
const uint8_t kJpeg[] = {
    0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00, 0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01,
    0x00, 0x00, 0xFF, 0xDB, 0x00, 0x43, 0x00, 0x03, 0x02, 0x02, 0x03, 0x02, 0x02, 0x03, 0x03, 0x03, 0x03, 0x04,
    0x03, 0x03, 0x04, 0x05, 0x08, 0x05, 0x05, 0x04, 0x04, 0x05, 0x0A, 0x07, 0x07, 0x06, 0x08, 0x0C, 0x0A, 0x0C,
    0x0C, 0x0B, 0x0A, 0x0B, 0x0B, 0x0D, 0x0E, 0x12, 0x10, 0x0D, 0x0E, 0x11, 0x0E, 0x0B, 0x0B, 0x10, 0x16, 0x10,
    0x11, 0x13, 0x14, 0x15, 0x15, 0x15, 0x0C, 0x0F, 0x17, 0x18, 0x16, 0x14, 0x18, 0x12, 0x14, 0x15, 0x14, 0xFF,
    0xDB, 0x00, 0x43, 0x01, 0x03, 0x04, 0x04, 0x05, 0x04, 0x05, 0x09, 0x05, 0x05, 0x09, 0x14, 0x0D, 0x0B, 0x0D,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14,
    0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0x14, 0xFF, 0xC0, 0x00, 0x11,
    0x08, 0x00, 0x0A, 0x00, 0x14, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xC4, 0x00,
    0x15, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x07, 0xFF, 0xC4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xC4, 0x00, 0x16, 0x01, 0x01, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x07, 0x08, 0xFF, 0xC4, 0x00, 0x14, 0x11, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xDA,
    0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00, 0x97, 0xB5, 0x02, 0x48, 0x00, 0x00,
    0x00, 0x03, 0xFF, 0xD9
};

const char kDesignForm[] = R"(
Begin Form Designed
    ClientWidth = 3000
    ClientHeight = 3000
    ScaleMode = 1
    Begin aicAlphaImage Target
        Left = 0
        Top = 0
        Width = 1920
        Height = 1920
    End
End
)";

// A bitmap icon image of one colour, opaque, at 32 bits.
test_bmp::IconImage SolidIcon(uint8_t size, uint32_t bgra) {
    test_bmp::IconImage image;
    image.width = image.height = size;
    image.bitCount = 32;
    Bytes colour;
    for (int i = 0; i < size * size; ++i) test_bmp::Put32(colour, bgra);
    Bytes mask(static_cast<size_t>(size) * ((size + 31) / 32 * 4), 0);
    image.data = test_bmp::IconBitmap(size, size, 32, {}, colour, mask);
    return image;
}

std::wstring WriteTemp(const std::wstring& name, const Bytes& bytes) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (out) {
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
    return path;
}

class SourceImagePage : public ::testing::Test {
protected:
    void SetUp() override {
        OleInitialize(nullptr);
        host::FormOptions design;
        design.userMode = false;
        host::ParsedForm parsed = host::ParseFormDescription(kDesignForm, {});
        ASSERT_TRUE(parsed.ok) << parsed.error;
        designed_ = std::make_unique<host::Form>(std::move(parsed.form), design);
        ASSERT_TRUE(designed_->Load());
        page_ = std::make_unique<ppgSourceImage>();
        ASSERT_TRUE(page_->Load());
        page_->Show();
        page_->onChangedChanged = [this](bool changed) { changes_.push_back(changed); };
        page_->SelectionChanged({Target()});
    }
    void TearDown() override {
        page_.reset();
        designed_.reset();
        OleUninitialize();
    }
    aicAlphaImage* Target() const { return designed_->Get<host::AlphaImage>("Target").Image(); }
    host::ComboBox& List() const { return page_->Get<host::ComboBox>("cboIcon"); }
    std::wstring Format() const {
        wchar_t text[256] = {};
        GetWindowTextW(page_->Get<host::Label>("lblFormat").Window(), text, 256);
        return text;
    }
    bool Shown(const char* name) const { return IsWindowVisible(page_->Find(name)->Window()); }

    std::unique_ptr<host::Form> designed_;
    std::unique_ptr<ppgSourceImage> page_;
    std::vector<bool> changes_;
};

TEST_F(SourceImagePage, IconFileListsItsSizesAndApplyingKeepsTheChosenOne) {
    Bytes icon = test_bmp::IconFile(1, {SolidIcon(48, 0xFF0000FF), SolidIcon(16, 0xFF00FF00), SolidIcon(32, 0xFFFF0000)});
    page_->LoadChosenFile(WriteTemp(L"page-sizes.ico", icon));
    ASSERT_EQ(List().ListCount(), 3);
    EXPECT_EQ(List().List(0), L"016x016 {32 bit, True Color Alpha}");
    EXPECT_EQ(List().ItemData(0), 16 * 16 + 32);
    EXPECT_EQ(List().List(2), L"048x048 {32 bit, True Color Alpha}");
    EXPECT_EQ(List().ListIndex(), 2);
    EXPECT_TRUE(Shown("cboIcon") && IsWindowEnabled(List().Window()) && !Shown("lblFormat"));
    EXPECT_EQ(page_->Preview().pvGetImageObject().Width(), 48);
    EXPECT_TRUE(page_->Changed());

    List().SetListIndex(0);
    EXPECT_EQ(page_->Preview().pvGetImageObject().Width(), 16);
    page_->ApplyChanges();
    EXPECT_FALSE(page_->Changed());
    EXPECT_EQ(changes_, (std::vector<bool>{true, false}));
    Bytes kept;
    ASSERT_TRUE(Target()->pvGetOriginalBytes(kept));
    EXPECT_EQ(kept, icon);
    EXPECT_EQ(Target()->pvGetImageObject().Width(), 16);

    // Saved and read back, the control still holds the file at 16 x 16.
    Bytes blobs;
    const std::string text = designed_->WriteDescription(blobs);
    host::ParsedForm saved = host::ParseFormDescription(text, blobs);
    ASSERT_TRUE(saved.ok) << saved.error;
    host::FormOptions design;
    design.userMode = false;
    host::Form reread(std::move(saved.form), design);
    ASSERT_TRUE(reread.Load());
    aicAlphaImage* again = reread.Get<host::AlphaImage>("Target").Image();
    EXPECT_TRUE(again->pvGetOriginalBytes(kept) && kept == icon);
    EXPECT_EQ(again->pvGetImageObject().Width(), 16);

    // Selected anew, the page shows what the control keeps, unchanged.
    page_->SelectionChanged({again});
    EXPECT_EQ(List().ListCount(), 3);
    EXPECT_FALSE(page_->Changed());
}

TEST_F(SourceImagePage, SingleImagesDescribeThemselves) {
    page_->LoadChosenFile(WriteTemp(L"page-one.ico", test_bmp::IconFile(1, {SolidIcon(32, 0xFF808080)})));
    EXPECT_EQ(List().ListCount(), 1);
    EXPECT_FALSE(IsWindowEnabled(List().Window()));

    page_->LoadChosenFile(WriteTemp(L"page-photo.jpg", Bytes(std::begin(kJpeg), std::end(kJpeg))));
    EXPECT_EQ(Format(), L"20 x 10 - Bitmap or JPG file");
    EXPECT_TRUE(Shown("lblFormat") && !Shown("cboIcon"));
    EXPECT_EQ(List().ListCount(), 0);

    // A file whose name no ANSI code page spells, dropped as the shell offers it.
    std::wstring name = WriteTemp(L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac-\u65e5\u672c.png", OpaquePng(12, 7));
    win32::ComPtr<IDataObject> drop = FileDropData::Make({name});
    page_->FilesDropped(drop.get());
    EXPECT_EQ(Format(), L"12 x 7 - PNG file");
    EXPECT_EQ(page_->Preview().pvGetImageObject().Width(), 12);
}

TEST_F(SourceImagePage, FileListsLoadWithWideAndNarrowNames) {
    std::wstring first = WriteTemp(L"page-list-a.png", OpaquePng(5, 4));
    std::wstring second = WriteTemp(L"page-list-b.png", OpaquePng(9, 3));
    for (bool wide : {true, false}) {
        page_->Command1_Click();
        win32::ComPtr<IDataObject> drop = FileDropData::Make({first, second}, wide);
        page_->FilesDropped(drop.get());
        EXPECT_EQ(Format(), L"5 x 4 - PNG file") << (wide ? "wide drop" : "narrow drop");

        ASSERT_TRUE(OpenClipboard(nullptr));
        EmptyClipboard();
        SetClipboardData(CF_HDROP, DropFilesBlock({second, first}, wide));
        CloseClipboard();
        page_->cmdClipBoard_Click();
        EXPECT_EQ(Format(), L"9 x 3 - PNG file") << (wide ? "wide clipboard list" : "narrow clipboard list");
    }
}

TEST_F(SourceImagePage, ClearingAndApplyingEmptiesTheControl) {
    page_->LoadChosenFile(WriteTemp(L"page-clear.png", OpaquePng(8, 8)));
    page_->ApplyChanges();
    ASSERT_NE(Target()->pvGetImageObject().Handle(), 0u);
    page_->Command1_Click();
    EXPECT_TRUE(page_->Changed());
    page_->ApplyChanges();
    EXPECT_EQ(Target()->pvGetImageObject().ImageType(), imgCheckerBoard);  // what an empty control shows while designed

    // A file that is no image leaves the preview empty and hidden, and no format shown.
    page_->LoadChosenFile(WriteTemp(L"page-shown.png", OpaquePng(8, 8)));
    page_->LoadChosenFile(WriteTemp(L"page-text.png", Bytes{'n', 'o', 't'}));
    EXPECT_EQ(page_->Preview().pvGetImageObject().Handle(), 0u);
    EXPECT_FALSE(page_->Get<host::AlphaImage>("ucAlphaImage1").Visible());
    EXPECT_EQ(Format(), L"");
    EXPECT_FALSE(Shown("cboIcon"));
    page_->ApplyChanges();
    EXPECT_EQ(Target()->pvGetImageObject().ImageType(), imgCheckerBoard);
}

}  // namespace
}  // namespace designer
