// Windowless controls on a form under Wine: the site's values, the host's
// events, painting and writing the description back.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "app/host/alpha_image.h"
#include "app/host/form.h"
#include "imagecontrol/tests/recording_site.h"
#include "imagecore/tests/picture_pixels.h"

namespace host {
namespace {

struct Journal {
    std::vector<std::pair<const ControlSite*, std::string>> entries;

    std::vector<std::string> Of(const ControlSite& site) const {
        std::vector<std::string> events;
        for (const auto& [who, what] : entries)
            if (who == &site) events.push_back(what);
        return events;
    }
};

struct PaintCall {
    PixelRect clipBox;  // as given
    PixelRect dcClipBox;  // GetClipBox on the surface
};

// A test control: fills its rectangle with its colour, keeps three stored
// values and logs the host's events.
class Swatch {
public:
    static constexpr int64_t kDefaultColour = 0x000000;

    Swatch(ControlSite& site, Journal& journal) : site_(site), journal_(journal) { Log("Initialize"); }
    ~Swatch() { Log("Terminate"); }

    void InitProperties() { Log("InitProperties"); }
    void ReadProperties() {
        Log("ReadProperties");
        if (const PropertyValue* v = site_.ReadProperty("Colour")) colour = std::get<int64_t>(*v);
        if (const PropertyValue* v = site_.ReadProperty("Caption")) caption = std::get<std::string>(*v);
        if (const PropertyValue* v = site_.ReadProperty("Data")) data = std::get<Bytes>(*v);
    }
    void WriteProperties() {
        site_.WriteProperty("Colour", colour, kDefaultColour);
        site_.WriteProperty("Caption", caption, std::string());
        site_.WriteProperty("Data", data, Bytes());
        site_.WriteProperty("Left", int64_t{0}, int64_t{1});  // the host's key: not the control's to write
    }
    void Show() { Log("Show"); }
    void Hide() { Log("Hide"); }
    void Resize() { Log("Resize"); }
    void Paint(const PaintSurface& surface, const PixelRect& clipBox) {
        RECT box{};
        GetClipBox(surface.dc, &box);
        paints.push_back({clipBox, {box.left, box.top, box.right, box.bottom}});
        RECT all{0, 0, static_cast<int>(site_.ScaleWidth()), static_cast<int>(site_.ScaleHeight())};
        win32::Brush brush(CreateSolidBrush(static_cast<COLORREF>(colour)));
        FillRect(surface.dc, &all, brush.get());
    }

    void SetColour(int64_t value) {
        colour = value;
        site_.PropertyChanged("Colour");
        site_.Refresh();
    }

    int64_t colour = kDefaultColour;
    std::string caption;
    Bytes data;
    std::vector<PaintCall> paints;

private:
    void Log(const char* what) { journal_.entries.emplace_back(&site_, what); }

    ControlSite& site_;
    Journal& journal_;
};

// At 96 DPI: Under (20,10)-(120,60), Over (80,40)-(180,90) on top of it,
// Hidden over everything but not shown.
const char kSwatches[] = R"(
Begin Form FrmSwatches
    ClientWidth = 3000
    ClientHeight = 1500
    ScaleMode = 1
    BackColor = 0x808080
    Begin Swatch Under
        Left = 300
        Top = 150
        Width = 1500
        Height = 750
        Tag = "first"
        Colour = 0x0000FF
        Caption = "under"
        Data = blob 0 3
    End
    Begin Swatch Over
        Left = 1200
        Top = 600
        Width = 1500
        Height = 750
        Colour = 0xFF0000
    End
    Begin Swatch Hidden
        Width = 3000
        Height = 1500
        Visible = false
        Colour = 0x00FF00
    End
End
)";
const Bytes kSwatchBlobs = {1, 2, 3};

// A 24-bit bottom-up BMP file of one colour.
Bytes SolidBmp(int size, COLORREF colour) {
    const uint32_t stride = (static_cast<uint32_t>(size) * 3 + 3) & ~3u, pixels = stride * size;
    const uint32_t header = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    BITMAPFILEHEADER file{0x4D42, header + pixels, 0, 0, header};
    BITMAPINFOHEADER info{sizeof info, size, size, 1, 24, BI_RGB, pixels, 0, 0, 0, 0};
    Bytes bmp(header + pixels);
    std::memcpy(bmp.data(), &file, sizeof file);
    std::memcpy(bmp.data() + sizeof file, &info, sizeof info);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            uint8_t* p = bmp.data() + header + y * stride + x * 3;
            p[0] = GetBValue(colour), p[1] = GetGValue(colour), p[2] = GetRValue(colour);
        }
    }
    return bmp;
}

FormObject Describe(std::string_view text, const Bytes& blobs = {}) {
    ParsedForm parsed = ParseFormDescription(text, blobs);
    EXPECT_TRUE(parsed.ok) << parsed.error;
    return parsed.form;
}

class Windowless : public ::testing::Test {
protected:
    void TearDown() override {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }

    std::unique_ptr<Form> Open(std::string_view text, FormOptions options = {}, const Bytes& blobs = kSwatchBlobs) {
        if (options.dpi == 0) options.dpi = 96;
        options.windowlessKinds["Swatch"] = [this](ControlSite& site) {
            return std::make_unique<HostedObject<Swatch>>(site, journal_);
        };
        auto form = std::make_unique<Form>(Describe(text, blobs), std::move(options));
        EXPECT_TRUE(form->Load());
        return form;
    }

    static WindowlessControl& Site(const Form& form, const std::string& name) {
        return form.Get<WindowlessControl>(name);
    }
    static Swatch& SwatchOf(const Form& form, const std::string& name) {
        return *Site(form, name).Object<Swatch>();
    }

    Journal journal_;
};

TEST_F(Windowless, SiteMeasuresInPixelsAtTheFormsResolution) {
    for (int dpi : {96, 144}) {
        SCOPED_TRACE(dpi);
        FormOptions options;
        options.dpi = dpi;
        auto form = Open(kSwatches, std::move(options));
        const ControlSite& site = Site(*form, "Under");
        EXPECT_EQ(site.ScaleWidth(), 1500 * dpi / 1440);  // 100 or 150
        EXPECT_EQ(site.ScaleHeight(), 750 * dpi / 1440);
        EXPECT_EQ(Site(*form, "Under").Bounds().left, 300 * dpi / 1440);

        // One inch in every unit converts to one inch in every other.
        const std::pair<int32_t, double> inch[] = {
            {vbTwips, 1440},      {vbPoints, 72},          {vbPixels, static_cast<double>(dpi)},
            {vbInches, 1},        {vbMillimeters, 25.4},   {vbCentimeters, 2.54},
            {vbHimetric, 2540},   {vbContainerPosition, 1440},  // the form's twips
        };
        for (auto [from, fromUnits] : inch) {
            for (auto [to, toUnits] : inch) {
                EXPECT_NEAR(site.ScaleX(fromUnits, from, to), toUnits, toUnits * 1e-12) << from << " to " << to;
                EXPECT_NEAR(site.ScaleY(fromUnits, from, to), toUnits, toUnits * 1e-12) << from << " to " << to;
            }
        }
        EXPECT_DOUBLE_EQ(site.ScaleX(15, vbTwips, vbPixels), dpi / 96.0);
        EXPECT_DOUBLE_EQ(site.ScaleX(240, vbTwips, vbCharacters), 2);  // 120 twips across, 240 down
        EXPECT_DOUBLE_EQ(site.ScaleY(240, vbTwips, vbCharacters), 1);
    }
}

TEST_F(Windowless, RunModeAndScaleModeComeFromTheForm) {
    auto running = Open(kSwatches);
    const ControlSite& site = Site(*running, "Under");
    int32_t mode = -1;
    EXPECT_TRUE(site.ParentScaleMode(mode));
    EXPECT_EQ(mode, vbTwips);
    EXPECT_TRUE(site.UserMode());
    EXPECT_EQ(site.ContainerWindow(), reinterpret_cast<uintptr_t>(running->Window()));
    EXPECT_EQ(running->Controls()[0]->Kind(), "Swatch");

    FormOptions design;
    design.userMode = false;
    auto designed = Open("Begin Form F\n Begin Swatch S\n End\nEnd\n", std::move(design));
    EXPECT_FALSE(Site(*designed, "S").ParentScaleMode(mode));
    EXPECT_FALSE(Site(*designed, "S").UserMode());
}

TEST_F(Windowless, SizeAndRefreshInvalidateOnlyTheControl) {
    auto form = Open(kSwatches);
    form->Show();
    HWND window = form->Window();
    WindowlessControl& under = Site(*form, "Under");
    RECT old = under.Bounds();
    ValidateRect(window, nullptr);
    journal_.entries.clear();

    under.Size(2250, 1200);  // within the client area, which clips what is invalid
    EXPECT_EQ(journal_.Of(under), std::vector<std::string>{"Resize"});
    EXPECT_EQ(under.ScaleWidth(), 150);
    EXPECT_EQ(under.Bounds().bottom, 10 + 80);
    EXPECT_EQ(under.Properties().ReadInt("Width", 0), 2250);
    win32::Region updated(CreateRectRgn(0, 0, 0, 0));
    win32::Region expected(CreateRectRgnIndirect(&old));
    win32::Region grown(CreateRectRgnIndirect(&under.Bounds()));
    CombineRgn(expected.get(), expected.get(), grown.get(), RGN_OR);
    ASSERT_NE(GetUpdateRgn(window, updated.get(), FALSE), ERROR);
    EXPECT_TRUE(EqualRgn(updated.get(), expected.get()));

    ValidateRect(window, nullptr);
    under.Refresh();
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(window, &pending, FALSE));
    EXPECT_TRUE(EqualRect(&pending, &under.Bounds()));

    ValidateRect(window, nullptr);
    Site(*form, "Hidden").Refresh();
    EXPECT_FALSE(GetUpdateRect(window, &pending, FALSE));
    form->Unload();
}

TEST_F(Windowless, LaterControlsPaintOnTopWithTheirOwnOriginAndClip) {
    auto form = Open(kSwatches);
    form->Show();
    HWND window = form->Window();
    {
        win32::WindowDc dc(window);
        EXPECT_EQ(GetPixel(dc.get(), 30, 20), RGB(255, 0, 0));    // Under alone
        EXPECT_EQ(GetPixel(dc.get(), 100, 50), RGB(0, 0, 255));   // both: Over on top
        EXPECT_EQ(GetPixel(dc.get(), 179, 89), RGB(0, 0, 255));
        EXPECT_EQ(GetPixel(dc.get(), 19, 9), RGB(128, 128, 128));  // the form's BackColor, Hidden not painted
        EXPECT_EQ(GetPixel(dc.get(), 180, 90), RGB(128, 128, 128));
    }
    EXPECT_TRUE(SwatchOf(*form, "Hidden").paints.empty());

    // Control-relative clip boxes for a partial repaint; nothing for a
    // control outside it.
    struct Case {
        RECT invalid;
        std::vector<PixelRect> under, over;
    };
    const Case cases[] = {
        {{0, 0, 40, 30}, {{0, 0, 20, 20}}, {}},
        {{100, 50, 110, 55}, {{80, 40, 90, 45}}, {{20, 10, 30, 15}}},
        {{150, 0, 200, 100}, {}, {{70, 0, 100, 50}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.invalid.left);
        ValidateRect(window, nullptr);
        SwatchOf(*form, "Under").paints.clear();
        SwatchOf(*form, "Over").paints.clear();
        InvalidateRect(window, &c.invalid, FALSE);
        UpdateWindow(window);
        for (auto [name, expected] : {std::pair{"Under", &c.under}, std::pair{"Over", &c.over}}) {
            std::vector<PixelRect> given, fromDc;
            for (const PaintCall& call : SwatchOf(*form, name).paints) {
                given.push_back(call.clipBox);
                fromDc.push_back(call.dcClipBox);
            }
            EXPECT_EQ(given, *expected) << name;
            EXPECT_EQ(fromDc, *expected) << name;
        }
    }
    form->Unload();
}

TEST_F(Windowless, EventsFollowTheFormAndTheControlsVisibility) {
    auto form = Open(kSwatches);
    WindowlessControl& under = Site(*form, "Under");
    const std::vector<std::string> restored = {"Initialize", "ReadProperties", "Resize"};
    EXPECT_EQ(journal_.Of(under), restored);

    form->Show();
    under.SetVisible(false);
    under.SetVisible(true);
    EXPECT_EQ(journal_.Of(under),
              (std::vector<std::string>{"Initialize", "ReadProperties", "Resize", "Show", "Hide", "Show"}));
    EXPECT_EQ(journal_.Of(Site(*form, "Hidden")), restored);

    FormObject added{"Swatch", "Added", {}, {}};
    added.properties.Set("Width", int64_t{150});
    auto* control = dynamic_cast<WindowlessControl*>(form->AddControl(added));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(journal_.Of(*control), (std::vector<std::string>{"Initialize", "InitProperties", "Resize", "Show"}));

    journal_.entries.clear();
    form->Unload();
    std::vector<std::string> unload;
    for (const auto& [who, what] : journal_.entries) unload.push_back(what);
    EXPECT_EQ(unload, (std::vector<std::string>{"Hide", "Terminate", "Hide", "Terminate", "Terminate", "Hide",
                                                "Terminate"}));
}

TEST_F(Windowless, WritingBackGivesTheDescriptionAgainInTheOrderWritten) {
    auto form = Open(kSwatches);
    Bytes blobs;
    std::string text = form->WriteDescription(blobs);
    ParsedForm again = ParseFormDescription(text, blobs);
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.form, Describe(kSwatches, kSwatchBlobs));

    // A default value leaves its key out; the control's keys follow the
    // host's in the order the control wrote them.
    SwatchOf(*form, "Over").SetColour(Swatch::kDefaultColour);
    Site(*form, "Under").SetTag("");
    form->WriteDescription(blobs);
    EXPECT_FALSE(Site(*form, "Over").Properties().Has("Colour"));
    std::vector<std::string> keys;
    for (const auto& entry : Site(*form, "Under").Properties().Entries()) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"Left", "Top", "Width", "Height", "Colour", "Caption", "Data"}));

    auto reordered = Open("Begin Form F\n Begin Swatch S\n Caption = \"c\"\n Left = 15\n Colour = 5\n End\nEnd\n");
    reordered->WriteDescription(blobs);
    keys.clear();
    for (const auto& entry : Site(*reordered, "S").Properties().Entries()) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"Left", "Colour", "Caption"}));
}

TEST_F(Windowless, PropertyChangesAreRecordedOnceUntilCleared) {
    auto form = Open(kSwatches);
    WindowlessControl& over = Site(*form, "Over");
    EXPECT_TRUE(over.ChangedProperties().empty());
    SwatchOf(*form, "Over").SetColour(1);
    over.PropertyChanged("Caption");
    SwatchOf(*form, "Over").SetColour(2);
    EXPECT_EQ(over.ChangedProperties(), (std::vector<std::string>{"Colour", "Caption"}));
    over.ClearChangedProperties();
    EXPECT_TRUE(over.ChangedProperties().empty());
}

TEST_F(Windowless, ExtenderValuesAreTheHostsAndRefuseWhatItCannotUse) {
    auto form = Open(kSwatches);
    WindowlessControl& under = Site(*form, "Under");
    ControlSite& site = under;
    EXPECT_EQ(site.Tag(), "first");
    EXPECT_EQ(site.ReadProperty("Tag"), nullptr);  // a host key
    site.SetTag("second");
    EXPECT_EQ(under.Properties().ReadText("Tag", ""), "second");

    EXPECT_TRUE(site.Enabled());
    site.SetEnabled(false);
    EXPECT_FALSE(under.Enabled());

    EXPECT_FALSE(site.SetMousePointer(16));
    EXPECT_FALSE(site.SetMousePointer(-1));
    EXPECT_TRUE(site.SetMousePointer(99));
    EXPECT_EQ(site.MousePointer(), 99);
    EXPECT_FALSE(site.SetOLEDropMode(2));
    EXPECT_TRUE(site.SetOLEDropMode(1));
    EXPECT_EQ(site.OLEDropMode(), 1);

    EXPECT_FALSE(site.SetMouseIcon({1, 2, 3}));
    EXPECT_TRUE(site.MouseIcon().empty());
    ParsedForm main = LoadFormResource(L"FRMMAIN");
    ASSERT_TRUE(main.ok);
    for (const Bytes& file : {main.form.children[4].properties.ReadBytes("MouseIcon"),  // a cursor
                              main.form.properties.ReadBytes("Icon")}) {                // an icon
        EXPECT_TRUE(site.SetMouseIcon(file));
        EXPECT_EQ(site.MouseIcon(), file);
        EXPECT_NE(under.MouseCursor(), nullptr);
    }
    site.SetMousePointer(0);
    EXPECT_EQ(under.MouseCursor(), nullptr);
}

TEST_F(Windowless, ImageControlPaintsItsPictureAndIsWrittenBackAsItWasRead) {
    const COLORREF colour = RGB(0, 128, 255);
    auto form = Open("Begin Form F\n ScaleMode = 1\n Begin aicAlphaImage Art\n"
                     " Left = 150\n Top = 300\n Width = 150\n Height = 150\n End\nEnd\n");
    aicAlphaImage* art = form->Get<AlphaImage>("Art").Image();
    ASSERT_NE(art, nullptr);
    int32_t width = 0, height = 0, depth = 0;
    ASSERT_TRUE(art->LoadImage_FromArray(SolidBmp(10, colour), width, height, depth));
    form->Show();
    {
        win32::WindowDc dc(form->Window());
        EXPECT_EQ(GetPixel(dc.get(), 10, 20), colour);  // the control's corners: (10,20) to (20,30)
        EXPECT_EQ(GetPixel(dc.get(), 19, 29), colour);
        EXPECT_EQ(GetPixel(dc.get(), 9, 20), GetSysColor(COLOR_BTNFACE));
        EXPECT_EQ(GetPixel(dc.get(), 20, 29), GetSysColor(COLOR_BTNFACE));
    }

    Bytes blobs;
    std::string text = form->WriteDescription(blobs);
    // A designer writes descriptions back; designing, the control keeps the bytes it read.
    FormOptions design;
    design.userMode = false;
    auto restored = Open(text, std::move(design), blobs);
    EXPECT_EQ(restored->Get<AlphaImage>("Art").Image()->pvGetImageObject().Width(), 10);
    Bytes blobsAgain;
    EXPECT_EQ(restored->WriteDescription(blobsAgain), text);
    EXPECT_EQ(blobsAgain, blobs);
}

}  // namespace
}  // namespace host

namespace host {
namespace {

// The control adds nothing of its own: on a real window it shows exactly
// what Render draws with the same arguments over the window's background.
TEST_F(Windowless, ImageControlShowsWhatRenderDrawsOverTheBackground) {
    const Bytes png = MakePng(40, 30, [](int x, int y) { return std::array{x * 6, y * 8, 160, (x + y) * 4 % 256}; });
    // What Render is asked for, spelled out here: the picture's opacity, grey
    // formula, lightness and angle, and the shadow's opacity (its own 50
    // times the picture's), none of it read back from the control.
    struct Want {
        int opacity = 100, grey = -1;
        float light = 0, angle = 0;
        int shadowOpacity = 0;  // 0: no shadow
    };
    struct Case {
        const char* what;
        std::function<void(aicAlphaImage&)> set;
        Want want;
    };
    const Case cases[] = {
        {"actual size", [](aicAlphaImage& c) { c.SetScaleMethod(3); }, {}},
        {"scaled, translucent", [](aicAlphaImage& c) { c.SetOpacity(60); }, {.opacity = 60}},
        {"rotated, grey", [](aicAlphaImage& c) { c.SetRotateEnabled(true), c.SetRotation(30), c.SetgrayScale(2); },
         {.grey = 1, .angle = 30}},
        {"actual size, shadow", [](aicAlphaImage& c) { c.SetScaleMethod(3), c.SetShadowEnabled(true); },
         {.shadowOpacity = 50}},
        {"shadow, translucent, lighter",
         [](aicAlphaImage& c) {
             c.SetScaleMethod(3), c.SetShadowEnabled(true), c.SetOpacity(60), c.SetIntensityOffset(20);
         },
         {.opacity = 60, .light = 20, .shadowOpacity = 30}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        // 100 x 80 pixels at (10, 10).
        auto form = Open("Begin Form F\n ScaleMode = 1\n Begin aicAlphaImage Art\n"
                         " Left = 150\n Top = 150\n Width = 1500\n Height = 1200\n End\nEnd\n");
        aicAlphaImage& art = *form->Get<AlphaImage>("Art").Image();
        art.SetAutoSize(false);
        ASSERT_TRUE(Load(art, png));
        test.set(art);
        form->Show();
        UpdateWindow(form->Window());

        c32bppDIB expected(0);
        ASSERT_TRUE(expected.InitializeDIB(100, 80));
        const COLORREF back = GetSysColor(COLOR_BTNFACE);
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) Put(expected, x, y, {GetBValue(back), GetGValue(back), GetRValue(back), 255});
        c32bppDIB& image = art.pvGetImageObject();
        const Want& want = test.want;
        if (want.shadowOpacity > 0)  // offset 2, depth 2, dark grey: the defaults
            image.RenderDropShadow_JIT(expected.LoadDIBinDC(true), 2 + (100 - 40) / 2, 2 + (80 - 30) / 2, 2, 0x404040,
                                       want.shadowOpacity);
        if (want.angle != 0)
            image.Render(nullptr, 50, 40, art.ScaledWidth(), art.ScaledHeight(), 0, 0, 0, 0, want.opacity, true, true,
                         &expected, want.grey, want.light, want.angle, true);
        else
            image.Render(nullptr, art.ImageLeft(), art.ImageTop(), art.ScaledWidth(), art.ScaledHeight(), 0, 0, 0, 0,
                         want.opacity, true, true, &expected, want.grey, want.light, 0, false);
        expected.LoadDIBinDC(false);

        // What the window shows of the control, read back in one piece.
        c32bppDIB shown(0);
        ASSERT_TRUE(shown.InitializeDIB(100, 80));
        {
            win32::WindowDc dc(form->Window());
            BitBlt(shown.LoadDIBinDC(true), 0, 0, 100, 80, dc.get(), 10, 10, SRCCOPY);
            shown.LoadDIBinDC(false);
            GdiFlush();
        }
        int differing = 0;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 100; ++x) {
                const Bgra want = At(expected, x, y), got = At(shown, x, y);
                // GDI+ turns pictures through a world transform, which the
                // device's own origin can move by a rounding step.
                auto off = [&](int i) { return std::abs(int(want[i]) - int(got[i])) > 1; };
                if ((off(0) || off(1) || off(2)) && differing++ < 3)
                    ADD_FAILURE() << "at " << x << ", " << y << ": " << int(got[2]) << "," << int(got[1]) << ","
                                  << int(got[0]) << " instead of " << int(want[2]) << "," << int(want[1]) << ","
                                  << int(want[0]);
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

}  // namespace
}  // namespace host
