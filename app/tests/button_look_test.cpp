#include "app/button_look.h"

#include <gtest/gtest.h>

namespace app {
namespace {

TEST(ButtonLook, EachRowOfTheStateTableInOrder) {
    using S = ButtonState;
    using P = ButtonPicture;
    struct Row {
        ButtonFacts facts;
        S state;
        P picture;
    };
    const Row rows[] = {
        {{.enabled = false, .hot = true, .pushed = true, .value = true}, S::Disabled, P::DisabledPicture},
        {{.pushed = true}, S::Pressed, P::DownPicture},
        {{.hot = true, .pushed = true, .focused = true}, S::Pressed, P::DownPicture},
        {{.value = true}, S::Pressed, P::DownPicture},
        {{.focused = true}, S::Defaulted, P::Picture},
        {{.isDefault = true}, S::Defaulted, P::Picture},
        {{}, S::Normal, P::Picture},
        {{.hot = true, .value = true}, S::Hot, P::DownPicture},
        {{.hot = true, .focused = true, .isDefault = true}, S::Hot, P::Picture},
    };
    for (const Row& row : rows) {
        ButtonLook look = ChooseButtonLook(row.facts);
        EXPECT_EQ(look.state, row.state) << "row " << (&row - rows);
        EXPECT_EQ(look.picture, row.picture) << "row " << (&row - rows);
    }
}

TEST(ButtonLook, DefaultedLookFollowsTheFocusedControl) {
    EXPECT_TRUE(ShowsDefault(true, true, 0));
    EXPECT_FALSE(ShowsDefault(true, false, -1));  // another push button, itself default, has the focus
    EXPECT_FALSE(ShowsDefault(true, false, 0));
    EXPECT_TRUE(ShowsDefault(true, false, std::nullopt));  // a control without Default keeps it
    EXPECT_FALSE(ShowsDefault(false, false, std::nullopt));
}

TEST(ButtonLook, CaptionAndPicturePlacement) {
    // Content 3..47 high; text 13 high measured from the content top: bottom 16.
    EXPECT_EQ(CaptionBand(47, 16, true).top, 32);
    EXPECT_EQ(CaptionBand(47, 16, true).bottom, 47);
    // Without a picture: (47 - 16) / 2 + 2 = 17.5, to the even 18.
    EXPECT_EQ(CaptionBand(47, 16, false).top, 18);
    EXPECT_EQ(CaptionBand(47, 16, false).bottom, 34);
    EXPECT_EQ(CentredStart(3, 114, 32), 44);
    EXPECT_EQ(CentredStart(3, 29, 32), 2);  // larger than the area: overhangs both sides
    EXPECT_EQ(CentredStart(0, 5, 2), 2);    // 1.5 to the even 2
    EXPECT_EQ(HimetricToPixels(847, 15), 32);  // a 32-pixel picture at 96 DPI
    EXPECT_EQ(HimetricToPixels(847, 10), 48);
    EXPECT_EQ(HimetricToPixels(847, 0), 0);
}

}  // namespace
}  // namespace app
