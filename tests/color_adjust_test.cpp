#include "engine/hue_turn.h"
#include "tools/color_adjust.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Hues turn around the wheel keeping the largest and smallest channels; a
// whole turn, or none, gives the colour back exactly, and greys stay grey.
TEST(TurnHue, SpreadsHuesKeepingSaturationAndValue)
{
    EXPECT_EQ(TurnHue(qRgb(255, 0, 0), 1, 3), qRgb(0, 255, 0));
    EXPECT_EQ(TurnHue(qRgb(255, 0, 0), 2, 3), qRgb(0, 0, 255));
    EXPECT_EQ(TurnHue(qRgb(255, 0, 0), 1, 2), qRgb(0, 255, 255));
    EXPECT_EQ(TurnHue(qRgb(200, 50, 100), 1, 2), qRgb(50, 200, 150));
    EXPECT_EQ(TurnHue(qRgb(200, 50, 100), 12, 12), qRgb(200, 50, 100));
    EXPECT_EQ(TurnHue(qRgb(200, 50, 100), 0, 7), qRgb(200, 50, 100));
    EXPECT_EQ(TurnHue(qRgb(90, 90, 90), 3, 7), qRgb(90, 90, 90));
    for (int k = 0; k < 999; k += 37) {
        const QRgb c = TurnHue(qRgb(17, 201, 120), k, 999);
        EXPECT_EQ(std::max({qRed(c), qGreen(c), qBlue(c)}), 201) << k;
        EXPECT_EQ(std::min({qRed(c), qGreen(c), qBlue(c)}), 17) << k;
    }
}
