#include "app/toolbars_location.h"

#include <gtest/gtest.h>

TEST(ToolBarsLocation, StoredFormRoundTripsAndOddEntriesAreIgnored)
{
    const QString stored = FormatToolBarsLoc({{"tools", {1170, 70}}, {"palette", {1030, 70}},
                                              {"commands", {10, 70}}, {"brush", {-1170, 420}}});
    EXPECT_EQ(stored, "tools=1170,70|palette=1030,70|commands=10,70|brush=-1170,420|");
    EXPECT_EQ(ToolBarLocation(stored, "tools"), QPoint(1170, 70));
    EXPECT_EQ(ToolBarLocation(stored, "BRUSH"), QPoint(-1170, 420));

    const QString odd = "Tools=abc,5|palette=12|commands=|brush=4,5,6|tools=1,2|x=3,4";
    EXPECT_EQ(ToolBarLocation(odd, "tools"), std::nullopt); // the first entry counts
    EXPECT_EQ(ToolBarLocation(odd, "palette"), std::nullopt);
    EXPECT_EQ(ToolBarLocation(odd, "commands"), std::nullopt);
    EXPECT_EQ(ToolBarLocation(odd, "brush"), std::nullopt);
    EXPECT_EQ(ToolBarLocation(odd, "x"), QPoint(3, 4));
    EXPECT_EQ(ToolBarLocation("", "tools"), std::nullopt);
}
