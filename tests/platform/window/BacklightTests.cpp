// The backlight's share of the drawn light that the window presents at each brightness.

#include "platform/window/Backlight.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Backlight, DimsInProportionDownToALowestLightThatStillShowsTheScreen)
{
    struct Case {
        double brightness;
        double share;
        int modulation;
    };
    for (Case c : { Case { 1, 1, 255 }, { 0.5, 0.625, 159 }, { 0.2, 0.4, 102 }, { 0, 0.25, 64 },
             // Held to the range; a level that is no number is the lowest.
             { 1.5, 1, 255 }, { -2, 0.25, 64 }, { std::nan(""), 0.25, 64 } }) {
        EXPECT_DOUBLE_EQ(Backlight::lightShare(c.brightness), c.share) << c.brightness;
        EXPECT_EQ(Backlight::channelModulation(c.brightness), c.modulation) << c.brightness;
    }
}
