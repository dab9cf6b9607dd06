// Each tool window against its design table, and every button clicked with
// a real mouse event, so that a control placed, named or wired wrongly shows.

#include "app_fixture.h"
#include "tools/brush_size_form.h"
#include "tools/palette_form.h"
#include "tools/spin_edit.h"
#include "tools/tools_form.h"

#include <QColorDialog>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <vector>

namespace {

struct TControlRow {
    const char *Name;
    QRect Geometry; // an empty size leaves the size unchecked
    const char *Hint;
    int Min = 0;
    int Max = 0;
};

struct TLabelRow {
    const char *Name;
    QPoint Pos;
    const char *Caption;
    bool Bold;
};

void ExpectControls(const QWidget *window, const std::vector<TControlRow> &rows)
{
    for (const TControlRow &row : rows) {
        SCOPED_TRACE(row.Name);
        const auto *w = window->findChild<QWidget *>(QLatin1String(row.Name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->pos(), row.Geometry.topLeft());
        if (!row.Geometry.size().isEmpty()) {
            EXPECT_EQ(w->size(), row.Geometry.size());
        }
        EXPECT_EQ(w->toolTip(), QLatin1String(row.Hint));
        if (row.Max == 0)
            continue;
        const auto *edit = qobject_cast<const TSpinEdit *>(w);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->minimum(), row.Min);
        EXPECT_EQ(edit->maximum(), row.Max);
    }
}

void ExpectLabels(const QWidget *window, const std::vector<TLabelRow> &rows)
{
    for (const TLabelRow &row : rows) {
        SCOPED_TRACE(row.Name);
        const auto *label = window->findChild<QLabel *>(QLatin1String(row.Name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->pos(), row.Pos);
        EXPECT_EQ(label->text(), QLatin1String(row.Caption));
        EXPECT_EQ(label->font().bold(), row.Bold);
    }
}

const QSize Button(23, 22);
const QSize Spin(43, 21);

struct ToolWindowTableTest : TAppFixture {
    void SetUp() override
    {
        TAppFixture::SetUp();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    void ClickButton(QWidget *w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2)); }
};

} // namespace

TEST_F(ToolWindowTableTest, ToolboxControlsMatchTheirTable)
{
    ExpectControls(frmTools, {
        {"bMove", {QPoint(4, 22), Button}, "Move"},
        {"bBrush", {QPoint(29, 22), Button}, "Brush"},
        {"bEraser", {QPoint(54, 22), Button}, "Eraser"},
        {"bEyeDrop", {QPoint(4, 46), Button}, "Pickup color"},
        {"bPaintBucket", {QPoint(29, 46), Button}, "Paint bucket"},
        {"bNoRef", {QPoint(4, 100), Button}, "No reflections"},
        {"bPrimaryRef", {QPoint(29, 100), Button}, "Primary reflections"},
        {"bMirrorRef", {QPoint(54, 100), Button}, "Mirror primary reflections"},
        {"bSecondary", {QPoint(4, 124), Button}, "Secondary reflections"},
        {"bVertRef", {QPoint(29, 124), Button}, "Vertical reflection"},
        {"bHorizRef", {QPoint(54, 124), Button}, "Horizontal reflection"},
        {"bPattern", {QPoint(4, 148), Button}, "Pattern reflections"},
        {"eMasterRef", {QPoint(5, 190), Spin}, "Master reflections count", 2, 999},
        {"eSecondRef", {QPoint(53, 191), Spin}, "Second reflections count", 2, 999},
        {"eBrush", {QPoint(4, 255), Spin}, "Brush size", 1, 99},
        {"eEraser", {QPoint(53, 255), Spin}, "Eraser size", 1, 99},
        {"bColoringProtectColor", {QPoint(4, 310), Button}, "Protect single color mode"},
        {"bColoringPaintOverColor", {QPoint(29, 310), Button}, "Paint over single color mode"},
        {"bAutoMask", {QPoint(60, 310), Button}, "Auto mask - recreate mask on brush color change"},
    });
    ExpectLabels(frmTools, {
        {"Label4", {4, 4}, "Tools", true},
        {"Label1", {4, 81}, "Reflections", true},
        {"Label7", {5, 177}, "Master", false},
        {"Label8", {54, 177}, "Second", false},
        {"Label2", {4, 225}, "Size", true},
        {"Label5", {5, 242}, "Brush", false},
        {"Label6", {54, 242}, "Eraser", false},
        {"Label3", {4, 290}, "Coloring", true},
    });
    EXPECT_EQ(frmTools->size(), QSize(100, 338));
}

TEST_F(ToolWindowTableTest, PaletteControlsMatchTheirTableInStackingOrder)
{
    const std::vector<TControlRow> rows{
        {"Bevel1", {0, 0, 50, 51}, ""},
        {"Image", {50, 1, 198, 40}, ""},
        {"Shape1", {50, 41, 35, 10}, "Lighten color"},
        {"Shape2", {84, 41, 34, 10}, "Lighten color"},
        {"Shape3", {117, 41, 34, 10}, "Lighten color"},
        {"Shape4", {150, 41, 34, 10}, "Darken color"},
        {"Shape5", {182, 41, 34, 10}, "Darken color"},
        {"Shape6", {214, 41, 35, 10}, "Darken color"},
        {"BvBack", {17, 17, 27, 27}, ""},
        {"BvFore", {5, 5, 27, 27}, ""},
        {"BBlackAndWhite", {5, 32, 12, 12}, "Select black and white colors"},
        {"BExchange", {32, 5, 12, 12}, "Swap colors"},
        {"csSecond", {18, 18, 25, 25}, "Select eraser color"},
        {"csMaster", {6, 6, 25, 25}, "Select brush color"},
        {"pColorViewFrame", {248, 0, 50, 50}, ""},
    };
    ExpectControls(frmPalette, rows);
    const QObjectList &children = frmPalette->children();
    qsizetype last = -1;
    for (const TControlRow &row : rows) {
        const qsizetype at = children.indexOf(frmPalette->findChild<QWidget *>(QLatin1String(row.Name)));
        EXPECT_GT(at, last) << row.Name;
        last = at;
    }
    EXPECT_EQ(frmPalette->size(), QSize(298, 51));
}

TEST_F(ToolWindowTableTest, BrushSizeButtonsMatchTheirTable)
{
    ExpectControls(frmBrushSize, {
        {"bBrush1", {QPoint(4, 4), Button}, "1 pixel"},
        {"bBrush3", {QPoint(28, 4), Button}, "3 pixels"},
        {"bBrush7", {QPoint(52, 4), Button}, "7 pixels"},
        {"bBrush13", {QPoint(76, 4), Button}, "13 pixels"},
        {"bBrush21", {QPoint(100, 4), Button}, "21 pixels"},
    });
    for (int tag : {1, 3, 7, 13, 21})
        EXPECT_EQ(frmBrushSize->findChild<QToolButton *>(QStringLiteral("bBrush%1").arg(tag))->property("Tag"), tag);
    EXPECT_EQ(frmBrushSize->size(), QSize(127, 30));
}

TEST_F(ToolWindowTableTest, EveryToolboxButtonClickedSetsItsCanvasState)
{
    const std::vector<std::pair<QToolButton *, TCanvasTool>> tools{
        {frmTools->bMove, ctMovePoints}, {frmTools->bEyeDrop, ctPickupColor}, {frmTools->bPaintBucket, ctPaintBucket},
        {frmTools->bEraser, ctEraser},   {frmTools->bBrush, ctBrush},
    };
    for (const auto &[button, tool] : tools) {
        ClickButton(button);
        EXPECT_EQ(canvas->Tool, tool) << button->objectName().toStdString();
        EXPECT_TRUE(button->isChecked());
    }
    const std::vector<std::pair<QToolButton *, TReflectionMode>> modes{
        {frmTools->bNoRef, rmNone},          {frmTools->bMirrorRef, rmMirrorPrimary}, {frmTools->bSecondary, rmSecondary},
        {frmTools->bVertRef, rmVertical},    {frmTools->bHorizRef, rmHorizontal},     {frmTools->bPattern, rmPattern},
        {frmTools->bPrimaryRef, rmPrimary},
    };
    for (const auto &[button, mode] : modes) {
        ClickButton(button);
        EXPECT_EQ(canvas->ReflectionMode, mode) << button->objectName().toStdString();
    }
    ClickButton(frmTools->bColoringProtectColor);
    EXPECT_EQ(canvas->ColoringMode, cmProtectColor);
    ClickButton(frmTools->bColoringPaintOverColor);
    EXPECT_EQ(canvas->ColoringMode, cmPaintOverColor);
    const bool autoMask = canvas->AutoMask;
    ClickButton(frmTools->bAutoMask);
    EXPECT_EQ(canvas->AutoMask, !autoMask);
    EXPECT_TRUE(QTest::qWaitFor([this] { return canvas->hasFocus(); }));
}

TEST_F(ToolWindowTableTest, EveryPaletteControlClickedSetsItsCanvasColours)
{
    ClickButton(frmPalette->Image);
    const QRgb picked = frmPalette->Image->Picture().pixel(frmPalette->Image->width() / 2, frmPalette->Image->height() / 2);
    EXPECT_EQ(canvas->MasterColor, RgbToColor(picked));

    for (TPaletteShape *shade : frmPalette->Shades) {
        const TColor fill = shade->Fill();
        ClickButton(shade);
        EXPECT_EQ(canvas->MasterColor, fill) << shade->objectName().toStdString();
    }
    ClickButton(frmPalette->BBlackAndWhite);
    EXPECT_EQ(canvas->MasterColor, clBlack);
    EXPECT_EQ(canvas->SecondColor, clWhite);
    ClickButton(frmPalette->BExchange);
    EXPECT_EQ(canvas->MasterColor, clWhite);
    EXPECT_EQ(canvas->SecondColor, clBlack);

    frmPalette->ExecuteColorDialog = [](TColor) { return MakeColor(1, 2, 3); };
    ClickButton(frmPalette->csMaster);
    EXPECT_EQ(canvas->MasterColor, MakeColor(1, 2, 3));
    frmPalette->ExecuteColorDialog = [](TColor) { return MakeColor(4, 5, 6); };
    ClickButton(frmPalette->csSecond);
    EXPECT_EQ(canvas->SecondColor, MakeColor(4, 5, 6));
}

TEST_F(ToolWindowTableTest, EveryBrushSizeButtonClickedSetsTheBrushWidth)
{
    for (QToolButton *b : {frmBrushSize->bBrush21, frmBrushSize->bBrush13, frmBrushSize->bBrush7,
                           frmBrushSize->bBrush3, frmBrushSize->bBrush1}) {
        ClickButton(b);
        EXPECT_EQ(canvas->BrushSize, b->property("Tag").toInt());
        EXPECT_EQ(frmTools->eBrush->Value(), canvas->BrushSize);
    }
}
