#include "app_fixture.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "canvas/velmora_canvas.h"
#include "tools/brush_size_form.h"
#include "tools/spin_edit.h"
#include "tools/tools_form.h"

#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

struct BrushSizeFormTest : TAppFixture {
    void SetUp() override
    {
        TAppFixture::SetUp();
        window = frmBrushSize;
    }

    TfrmBrushSize *window = nullptr;
};

} // namespace

TEST_F(BrushSizeFormTest, PresetSetsOnlyTheBrushWidthWhateverTheTool)
{
    ASSERT_TRUE(window);
    canvas->SetTool(ctEraser);
    QTest::mouseClick(window->bBrush13, Qt::LeftButton);
    EXPECT_EQ(canvas->BrushSize, 13);
    EXPECT_EQ(canvas->EraserSize, 10);
    EXPECT_EQ(canvas->Tool, ctEraser);
    EXPECT_EQ(frmTools->eBrush->Value(), 13);
    EXPECT_EQ(frmTools->eEraser->Value(), 10);

    QTest::mouseClick(window->bBrush21, Qt::LeftButton);
    QTest::mouseClick(window->bBrush21, Qt::LeftButton);
    EXPECT_EQ(canvas->BrushSize, 21);
    EXPECT_EQ(canvas->EraserSize, 10);
    EXPECT_EQ(frmTools->eBrush->Value(), 21);

    // Without a toolbox the canvas still takes the width.
    delete frmTools;
    ASSERT_EQ(frmTools, nullptr);
    QTest::mouseClick(window->bBrush3, Qt::LeftButton);
    EXPECT_EQ(canvas->BrushSize, 3);
}

TEST_F(BrushSizeFormTest, HasEqualMarginsAndRefusesToClose)
{
    EXPECT_EQ(window->size(), QSize(127, 30));
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
}
