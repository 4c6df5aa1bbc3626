#include "designer/alpha_image_properties.h"

#include <gtest/gtest.h>

#include "imagecontrol/tests/recording_site.h"

namespace designer {
namespace {

TEST(AlphaImageProperties, TextGoesThroughTheControlsOwnSetters) {
    TestControl t;
    struct Row {
        const char* name;
        const char* text;
        bool parses;
        const char* after;  // what the list shows then
    };
    const Row rows[] = {
        {"Opacity", "40", true, "40"},
        {"Opacity", "5000", true, "100"},  // the setter's own rule: a multiple of 100 is opaque
        {"Opacity", "40", true, "40"},
        {"Opacity", "forty", false, "40"},
        {"HitTest", "2", true, "2"},
        {"HitTest", "9", true, "2"},  // out of range: the setter keeps the old value
        {"AutoRedraw", "True", true, "True"},
        {"AutoRedraw", "0", true, "False"},
        {"AutoRedraw", "maybe", false, "False"},
        {"MaskColor", "0x00FF00FF", true, "0x00FF00FF"},
        {"MaskColor", "255", true, "0x000000FF"},
        {"IntensityOffset", "-12.5", true, "-12.5"},
        {"Rotation", " 30 ", true, "30"},
        {"NoSuchThing", "1", false, ""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(SetPropertyFromText(t.control, row.name, row.text), row.parses) << row.name << " " << row.text;
        EXPECT_EQ(PropertyText(t.control, row.name), row.after) << row.name << " " << row.text;
    }
    EXPECT_EQ(t.control.Opacity(), 40);
    EXPECT_FALSE(t.site.changed.empty());
    EXPECT_EQ(EditablePropertyNames().size(), 24u);
}

TEST(AlphaImageProperties, EveryListedPropertyHasItsHelpText) {
    for (const std::string& name : EditablePropertyNames()) EXPECT_FALSE(PropertyHelp(name).empty()) << name;
    EXPECT_EQ(PropertyHelp("Opacity"),
              "Returns/Sets the level of translucency for the control. 100 is fully opaque and 0 is transparent");
    EXPECT_EQ(PropertyHelp("Rotation"),
              "The angle of rotation for the image when RotateEnabled is True\r\n"
              "Returns/sets angle of rotation for the image from 0 to 360 degrees");
    EXPECT_EQ(PropertyHelp("NoSuchProperty"), "");
}

}  // namespace
}  // namespace designer
