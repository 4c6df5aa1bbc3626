#include "app/host/form_description.h"

#include <gtest/gtest.h>

namespace host {
namespace {

FormObject SampleForm() {
    FormObject form{"Form", "FrmSample", {}, {}};
    form.properties.Set("Caption", std::string("Quotes \" and \\ and\nlines\t\x01 and ü"));
    form.properties.Set("ClientWidth", int64_t{5325});
    form.properties.Set("Negative", int64_t{-42});
    form.properties.Set("Smallest", std::numeric_limits<int64_t>::min());
    form.properties.Set("FontSize", 6.75);
    form.properties.Set("Whole", 3.0);
    form.properties.Set("Visible", true);
    form.properties.Set("Icon", Bytes{0, 1, 2, 255, '\n', '"'});
    form.properties.Set("Empty", Bytes{});
    FormObject button{"PushButton", "Command1", {}, {}};
    button.properties.Set("Caption", std::string("Close"));
    button.properties.Set("Enabled", false);
    FormObject frame{"Frame", "Frame1", {}, {}};
    FormObject inner{"Picture", "Image1", {}, {}};
    Bytes picture(5000);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<uint8_t>(i * 7);
    inner.properties.Set("Picture", picture);
    frame.children.push_back(inner);
    form.children = {button, frame};
    return form;
}

TEST(FormDescription, RoundTripKeepsEveryValueKindAndOrder) {
    FormObject original = SampleForm();
    Bytes blobs;
    std::string text = WriteFormDescription(original, blobs);
    ParsedForm parsed = ParseFormDescription(text, blobs);
    ASSERT_TRUE(parsed.ok) << parsed.error << "\n" << text;
    EXPECT_EQ(parsed.form, original);
    EXPECT_EQ(parsed.form.properties.Entries().front().first, "Caption");
    ASSERT_EQ(parsed.form.children.size(), 2u);
    EXPECT_EQ(parsed.form.children[1].children[0].properties.ReadBytes("Picture").size(), 5000u);
}

TEST(FormDescription, ReadsHandWrittenText) {
    const char text[] =
        "# comment\r\n"
        "Begin Form F\r\n"
        "    ForeColor = 0x8000000D\r\n"
        "\r\n"
        "    Mask = 0xFFFFFFFFFFFFFFFF\r\n"
        "    Size = 1e3\r\n"
        "    Icon = blob 2 3\r\n"
        "    Begin Label L\r\n"
        "    End\r\n"
        "End\r\n";
    const uint8_t blobs[] = {9, 9, 1, 2, 3, 9};
    ParsedForm parsed = ParseFormDescription(text, blobs);
    ASSERT_TRUE(parsed.ok) << parsed.error;
    EXPECT_EQ(parsed.form.properties.ReadInt("ForeColor", 0), 0x8000000D);
    EXPECT_EQ(parsed.form.properties.ReadInt("Mask", 0), -1);
    EXPECT_DOUBLE_EQ(parsed.form.properties.ReadReal("Size", 0), 1000.0);
    EXPECT_EQ(parsed.form.properties.ReadBytes("Icon"), (Bytes{1, 2, 3}));
    ASSERT_EQ(parsed.form.children.size(), 1u);
    EXPECT_EQ(parsed.form.children[0].kind, "Label");
}

TEST(FormDescription, RejectsMalformedTextWithItsLine) {
    const uint8_t blobs[4] = {};
    struct Case {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "line 0: no form"},
        {"Begin Form F\n", "line 1: missing End"},
        {"Begin Form F\n  A = blob 2 3\nEnd\n", "line 2: blob lies outside the side data"},
        {"Begin Form F\n  A = blob 0 18446744073709551615\nEnd\n", "line 2: blob lies outside the side data"},
        {"Begin Form F\n  A = 1\n  A = 2\nEnd\n", "line 3: property A given twice"},
        {"Begin Form F\n  A = \"open\nEnd\n", "line 2: unterminated text"},
        {"Begin Form F\n  A = \"a\\q\"\nEnd\n", "line 2: unknown escape"},
        {"Begin Form F\n  A = \"\\x4\"\nEnd\n", "line 2: bad \\x escape"},
        {"Begin Form F\n  A = 9223372036854775808\nEnd\n", "line 2: integer out of range"},
        {"Begin Form F\n  A = maybe\nEnd\n", "line 2: unrecognised value"},
        {"Begin Form F\n  A\nEnd\n", "line 2: expected Key = value"},
        {"Begin Form\nEnd\n", "line 1: Begin needs a kind and a name"},
        {"Begin Form F\nEnd\nBegin Form G\nEnd\n", "line 3: text after the form's End"},
        {"Form F\nEnd\n", "line 1: expected Begin"},
    };
    for (const Case& c : cases) {
        ParsedForm parsed = ParseFormDescription(c.text, blobs);
        EXPECT_FALSE(parsed.ok) << c.text;
        EXPECT_EQ(parsed.error, c.error) << c.text;
    }
}

TEST(FormDescription, LimitsNesting) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "Begin Frame F" + std::to_string(i) + "\n";
    for (int i = 0; i < 40; ++i) text += "End\n";
    ParsedForm parsed = ParseFormDescription(text, {});
    EXPECT_FALSE(parsed.ok);
    EXPECT_NE(parsed.error.find("nested too deeply"), std::string::npos);
}

TEST(PropertyBag, WriteDropsDefaultsAndReadsFallBack) {
    PropertyBag bag;
    bag.Write("Stretch", false, false);
    EXPECT_FALSE(bag.Has("Stretch"));
    bag.Write("Stretch", true, false);
    EXPECT_TRUE(bag.ReadBool("Stretch", false));
    bag.Write("Stretch", false, false);
    EXPECT_FALSE(bag.Has("Stretch"));

    bag.Set("Angle", int64_t{90});
    EXPECT_DOUBLE_EQ(bag.ReadReal("Angle", 0), 90.0);  // integers widen
    EXPECT_EQ(bag.ReadText("Angle", "none"), "none");   // other kinds fall back
    EXPECT_TRUE(bag.ReadBytes("Angle").empty());
    bag.Set("Angle", 12.5);
    EXPECT_EQ(bag.ReadInt("Angle", 7), 7);
    EXPECT_EQ(bag.Entries().size(), 1u);
}

}  // namespace
}  // namespace host
