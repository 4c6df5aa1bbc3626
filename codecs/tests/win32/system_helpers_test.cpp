// The Windows-only helpers under Wine: regions, files with wide names,
// library lookups, picture objects and the cdecl caller.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "codecs/modParsers.h"
#include "codecs/win32/cCDECL.h"
#include "imagecore/c32bppDIB.h"
#include "common/ole_handle.h"

namespace {

DWORD RectCount(HRGN region) {
    DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<uint8_t> data(size);
    GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()));
    return reinterpret_cast<RGNDATA*>(data.data())->rdh.nCount;
}

TEST(CreateShapedRegion, FollowsTheAlphaOfTheImage) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(4, 3));
    EXPECT_TRUE(modParsers::CreateShapedRegion(image, 2).get() == nullptr);  // nothing visible
    // Two visible pixels on the top picture row, apart.
    image.Pixels().PictureRow(0)[3] = 255;
    image.Pixels().PictureRow(0)[3 * 4 + 3] = 255;
    win32::Region exact = modParsers::CreateShapedRegion(image, 2);
    ASSERT_TRUE(exact);
    EXPECT_EQ(RectCount(exact.get()), 2u);
    EXPECT_TRUE(PtInRegion(exact.get(), 0, 0));
    EXPECT_FALSE(PtInRegion(exact.get(), 1, 0));
    EXPECT_FALSE(PtInRegion(exact.get(), 0, 2));

    win32::Region box = modParsers::CreateShapedRegion(image, 0);
    RECT bounds;
    GetRgnBox(box.get(), &bounds);
    EXPECT_EQ(bounds.left, 0);
    EXPECT_EQ(bounds.right, 4);
    EXPECT_EQ(bounds.bottom, 1);

    image.SetAlpha(false);  // no alpha: the whole image
    GetRgnBox(modParsers::CreateShapedRegion(image, 2).get(), &bounds);
    EXPECT_EQ(bounds.right, 4);
    EXPECT_EQ(bounds.bottom, 3);
}

TEST(CreateShapedRegion, ManyRunsMakeOneRegion) {
    c32bppDIB image;
    ASSERT_TRUE(image.InitializeDIB(200, 50));  // 5000 separate runs
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 200; x += 2) image.Pixels().PictureRow(y)[x * 4 + 3] = 255;
    win32::Region region = modParsers::CreateShapedRegion(image, 2);
    ASSERT_TRUE(region);
    EXPECT_TRUE(PtInRegion(region.get(), 198, 49));
    EXPECT_FALSE(PtInRegion(region.get(), 199, 49));
}

TEST(SystemHelpers, FilesWithNamesOutsideTheAnsiCodePage) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring name = std::wstring(folder) + L"mendlow-\u0416\u4E2D\U0001F600.bin";
    {
        win32::Handle file = modParsers::GetFileHandle(name, false);
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.get(), "abc", 3, &written, nullptr));
    }
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY);
    {
        win32::Handle file = modParsers::GetFileHandle(name, true);
        ASSERT_TRUE(file);
        char text[4] = {};
        DWORD read = 0;
        ASSERT_TRUE(ReadFile(file.get(), text, 3, &read, nullptr));
        EXPECT_STREQ(text, "abc");
    }
    EXPECT_TRUE(modParsers::DeleteFileForced(name));  // read-only is no obstacle
    EXPECT_FALSE(modParsers::GetFileHandle(name, true));
    EXPECT_FALSE(modParsers::DeleteFileForced(name));
}

TEST(SystemHelpers, DllHasFunction) {
    EXPECT_TRUE(modParsers::DllHasFunction("kernel32.dll", "GetProcAddress"));
    EXPECT_FALSE(modParsers::DllHasFunction("kernel32.dll", "NoSuchFunction"));
    EXPECT_FALSE(modParsers::DllHasFunction("no-such-library.dll", "GetProcAddress"));
}

TEST(SystemHelpers, PictureObjects) {
    // A 1 x 1 GIF.
    const uint8_t gif[] = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0xFF, 0, 0, 0, 0, 0,
                           0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0, 0x3B};
    win32::ComPtr<IPicture> picture = modParsers::ArrayToPicture(gif);
    ASSERT_TRUE(picture);
    short type = 0;
    picture->get_Type(&type);
    EXPECT_EQ(type, PICTYPE_BITMAP);
    const uint8_t junk[] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(modParsers::ArrayToPicture(junk));
    EXPECT_FALSE(modParsers::ArrayToPicture({}));

    win32::WindowDc screen(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), 3, 2);
    win32::ComPtr<IPicture> wrapped = modParsers::HandleToPicture(bitmap, PICTYPE_BITMAP);  // now owns the bitmap
    ASSERT_TRUE(wrapped);
    OLE_HANDLE handle = 0;
    wrapped->get_Handle(&handle);
    // The bitmap's 32 significant bits; widened (sign-extended), GDI takes it.
    EXPECT_EQ(handle, static_cast<OLE_HANDLE>(reinterpret_cast<uintptr_t>(bitmap)));
    BITMAP info{};
    ASSERT_TRUE(GetObject(win32::FromOleHandle<HBITMAP>(handle), sizeof info, &info));
    EXPECT_EQ(info.bmWidth, 3);
}

TEST(cCDECL, CallsCdeclExportsByName) {
    cCDECL caller;
    EXPECT_FALSE(caller.CallFunc("labs", {5}));  // no library yet
    ASSERT_TRUE(caller.DllLoad("msvcrt.dll"));
    EXPECT_EQ(caller.CallFunc("labs", {static_cast<uint32_t>(-42)}), 42u);
    EXPECT_EQ(caller.CallFunc("labs", {7}), 7u);  // same name: no new lookup needed
    const char text[] = "12345";
    EXPECT_EQ(caller.CallFunc("strlen", {reinterpret_cast<cCDECL::Argument>(text)}), 5u);
    EXPECT_FALSE(caller.CallFunc("no_such_export", {1}));  // never calls address 0
    EXPECT_FALSE(caller.CallFunc("labs", {1, 2, 3, 4, 5, 6}));  // at most five arguments
    EXPECT_EQ(caller.LastError(), 0u);
    EXPECT_FALSE(caller.DllLoad("no-such-library.dll"));
    EXPECT_FALSE(caller.CallFunc("labs", {1}));
    EXPECT_FALSE(caller.DllUnload());
}

}  // namespace
