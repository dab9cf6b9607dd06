#include "tools/color_adjust.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ColorAdjust, LightensAndDarkensEachChannelWithLimitsKeepingTopByte)
{
    const TColor c = MakeColor(200, 10, 100);
    EXPECT_EQ(LightenColor(c, 60), MakeColor(255, 70, 160));
    EXPECT_EQ(DarkenColor(c, 120), MakeColor(80, 0, 0));
    EXPECT_EQ(LightenColor(clWhite, 120), clWhite);
    EXPECT_EQ(DarkenColor(clBlack, 120), clBlack);
    // A channel exactly at the limit lands on it.
    EXPECT_EQ(LightenColor(MakeColor(195, 194, 0), 60), MakeColor(255, 254, 60));
    EXPECT_EQ(DarkenColor(MakeColor(60, 61, 255), 60), MakeColor(0, 1, 195));

    const TColor top = 0x02000000u;
    EXPECT_EQ(LightenColor(top | MakeColor(1, 2, 3), 10), top | MakeColor(11, 12, 13));
    EXPECT_EQ(DarkenColor(top | MakeColor(1, 2, 3), 2), top | MakeColor(0, 0, 1));
}

TEST(ColorAdjust, AmountsOutsideByteRangeNeverWrapAChannel)
{
    const TColor c = MakeColor(10, 100, 250);
    EXPECT_EQ(LightenColor(c, 1000), clWhite);
    EXPECT_EQ(LightenColor(c, -30), MakeColor(0, 70, 220));
    EXPECT_EQ(DarkenColor(c, -30), MakeColor(40, 130, 255));
    EXPECT_EQ(LightenColor(c, INT_MIN), clBlack);
    EXPECT_EQ(DarkenColor(c, INT_MAX), clBlack);
}
