#include "app_fixture.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "canvas/canvas_resources.h"
#include "canvas/key_state.h"
#include "canvas/velmora_canvas.h"
#include "tools/palette_form.h"
#include "tools/sh_panel.h"

#include <QApplication>
#include <QColorDialog>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

void SendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}

void Click(QWidget *w, QPoint pos, Qt::MouseButton button = Qt::LeftButton, Qt::KeyboardModifiers mods = {})
{
    SendMouse(w, QEvent::MouseButtonPress, pos, button, button, mods);
    SendMouse(w, QEvent::MouseButtonRelease, pos, button, Qt::NoButton, mods);
}

void Hover(QWidget *w, QPoint pos) { SendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton); }

// Holds one Shift key down, told apart by its X11 key code, while it lives.
class TShiftKeyHeld {
public:
    TShiftKeyHeld(QWidget *target, unsigned scanCode)
        : Target(target)
        , ScanCode(scanCode)
    {
        KeyState::SetPlatformForTesting(QStringLiteral("xcb"));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, ScanCode, 0, 0);
        QApplication::sendEvent(Target, &press);
    }
    ~TShiftKeyHeld()
    {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Shift, Qt::NoModifier, ScanCode, 0, 0);
        QApplication::sendEvent(Target, &release);
        KeyState::SetPlatformForTesting(QGuiApplication::platformName());
    }

private:
    QWidget *Target;
    unsigned ScanCode;
};

TColor Grey(int v) { return MakeColor(v, v, v); }

// Two points of the coloured rows, away from white.
const QPoint HuePoint(100, 15);
const QPoint OtherHuePoint(30, 20);

struct PaletteFormTest : TAppFixture {
    void SetUp() override
    {
        TAppFixture::SetUp();
        palette = frmPalette;
    }

    std::vector<TColor> ShadeFills() const
    {
        std::vector<TColor> fills;
        for (const TPaletteShape *s : palette->Shades)
            fills.push_back(s->Fill());
        return fills;
    }

    // Both colours as the palette and the canvas hold them.
    void ExpectColors(TColor brush, TColor eraser) const
    {
        EXPECT_EQ(palette->BrushColor(), brush);
        EXPECT_EQ(canvas->MasterColor, brush);
        EXPECT_EQ(palette->EraserColor(), eraser);
        EXPECT_EQ(canvas->SecondColor, eraser);
    }

    TfrmPalette *palette = nullptr;
};

} // namespace

TEST_F(PaletteFormTest, StartsWithBlackBrushWhiteEraserAndBrushSwatchOnTop)
{
    ASSERT_TRUE(palette);
    EXPECT_EQ(palette->size(), QSize(298, 51));
    ExpectColors(clBlack, clWhite);
    EXPECT_EQ(ShadeFills(), (std::vector<TColor>{Grey(120), Grey(60), Grey(30), clBlack, clBlack, clBlack}));
    EXPECT_TRUE(canvas->OnColorHover);
    EXPECT_EQ(palette->Image->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(palette->Shades[5]->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(palette->childAt(25, 25), palette->csMaster);
    EXPECT_EQ(palette->childAt(40, 40), palette->csSecond);
}

TEST_F(PaletteFormTest, ShadeClicksSetTheBrushAndKeepLighteningOrDarkening)
{
    for (TColor expected : {Grey(120), Grey(240), clWhite}) {
        Click(palette->Shades[0], {5, 5});
        EXPECT_EQ(palette->BrushColor(), expected);
    }
    Click(palette->Shades[5], {5, 5}, Qt::RightButton);
    ExpectColors(Grey(135), clWhite);
    EXPECT_EQ(ShadeFills(), (std::vector<TColor>{Grey(255), Grey(195), Grey(165), Grey(105), Grey(75), Grey(15)}));
}

TEST_F(PaletteFormTest, LeftClickOnPicturePicksBrushRightClickChangesNothing)
{
    const TColor picked = palette->ColorAt(HuePoint);
    ASSERT_NE(picked, clWhite);
    Click(palette->Image, HuePoint);
    ExpectColors(picked, clWhite);
    EXPECT_FALSE(palette->Picking);

    const std::vector<TColor> shades = ShadeFills();
    Click(palette->Image, OtherHuePoint, Qt::RightButton);
    ExpectColors(picked, clWhite);
    EXPECT_EQ(ShadeFills(), shades);
}

TEST_F(PaletteFormTest, OnlyTheLeftShiftKeyPicksTheEraser)
{
    const TColor picked = palette->ColorAt(HuePoint);
    {
        TShiftKeyHeld shift(palette, 50);
        Click(palette->Image, HuePoint, Qt::LeftButton, Qt::ShiftModifier);
    }
    ExpectColors(clBlack, picked);
    EXPECT_EQ(palette->Shades[0]->Fill(), Grey(120));

    const TColor other = palette->ColorAt(OtherHuePoint);
    {
        TShiftKeyHeld shift(palette, 62);
        Click(palette->Image, OtherHuePoint, Qt::LeftButton, Qt::ShiftModifier);
    }
    ExpectColors(other, picked);
}

TEST_F(PaletteFormTest, DragFromPictureSweepsAndPicksWhiteOutside)
{
    QWidget *image = palette->Image;
    SendMouse(image, QEvent::MouseButtonPress, HuePoint, Qt::LeftButton, Qt::LeftButton);
    SendMouse(image, QEvent::MouseMove, OtherHuePoint, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(palette->BrushColor(), palette->ColorAt(OtherHuePoint));

    // Over the shade row now; the picture keeps getting the moves.
    SendMouse(image, QEvent::MouseMove, {20, 40}, Qt::NoButton, Qt::LeftButton);
    ExpectColors(clWhite, clWhite);
    EXPECT_EQ(palette->PreviewPanel->Color(), clWhite);

    SendMouse(image, QEvent::MouseButtonRelease, {20, 40}, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(palette->Picking);
    Hover(image, HuePoint);
    EXPECT_EQ(palette->BrushColor(), clWhite);
}

TEST_F(PaletteFormTest, MoveWithoutLeftButtonEndsAPickWhoseReleaseWasLost)
{
    SendMouse(palette->Image, QEvent::MouseButtonPress, HuePoint, Qt::LeftButton, Qt::LeftButton);
    Hover(palette->Image, OtherHuePoint);
    EXPECT_FALSE(palette->Picking);
    EXPECT_EQ(palette->BrushColor(), palette->ColorAt(HuePoint));
}

TEST_F(PaletteFormTest, HoverChangesOnlyThePreview)
{
    // Moves without a button reach the picture and the shades only when tracked.
    EXPECT_TRUE(palette->Image->hasMouseTracking());
    EXPECT_TRUE(palette->Shades[1]->hasMouseTracking());
    Hover(palette->Image, HuePoint);
    EXPECT_EQ(palette->PreviewPanel->Color(), palette->ColorAt(HuePoint));
    Hover(palette->Shades[1], {3, 3});
    EXPECT_EQ(palette->PreviewPanel->Color(), Grey(60));
    ExpectColors(clBlack, clWhite);

    // The canvas reports the colour under its pickup tool.
    canvas->Clear(MakeColor(255, 0, 0));
    canvas->SetTool(ctPickupColor);
    canvas->MouseMove(0, canvas->ImageRect.Left + 2, canvas->ImageRect.Top + 2);
    EXPECT_EQ(palette->PreviewPanel->Color(), MakeColor(255, 0, 0));
    ExpectColors(clBlack, clWhite);
}

TEST_F(PaletteFormTest, ColourDialogIsPresetAndCancelLeavesBothColours)
{
    QColor shown;
    QColorDialog *dlg = palette->ColorDlg;
    auto answerWith = [&](QColor pick, bool accept) {
        QTimer::singleShot(0, [&shown, dlg, pick, accept] {
            EXPECT_EQ(QApplication::activeModalWidget(), dlg);
            shown = dlg->currentColor();
            dlg->setCurrentColor(pick);
            accept ? dlg->accept() : dlg->reject();
        });
    };
    palette->SetEraserColor(Grey(77));
    answerWith(Qt::red, false);
    Click(palette->csSecond, {20, 20}, Qt::RightButton);
    EXPECT_EQ(shown, QColor(77, 77, 77));
    ExpectColors(clBlack, Grey(77));

    answerWith(QColor(200, 10, 100), true);
    Click(palette->csMaster, {3, 3});
    EXPECT_EQ(shown, QColor(0, 0, 0));
    ExpectColors(MakeColor(200, 10, 100), Grey(77));
    EXPECT_EQ(palette->Shades[1]->Fill(), MakeColor(255, 70, 160));
}

TEST_F(PaletteFormTest, RefusesToCloseAndUnhooksTheCanvasWhenDestroyed)
{
    EXPECT_FALSE(palette->close());
    EXPECT_TRUE(palette->isVisible());

    delete palette;
    EXPECT_EQ(frmPalette, nullptr);
    EXPECT_FALSE(canvas->OnColorHover);
}

TEST(ShPanel, PaintsItsWholeAreaInItsColourUnderTheBorder)
{
    TShPanel panel;
    QPalette pal = panel.palette();
    pal.setColor(QPalette::Window, Qt::magenta);
    panel.setPalette(pal);
    panel.resize(50, 50);
    const TColor blue = MakeColor(20, 40, 220);
    panel.SetColor(blue);

    const QImage shot = panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int wrong = 0;
    for (int y = 2; y < 48; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(shot.constScanLine(y));
        for (int x = 2; x < 48; ++x)
            wrong += RgbToColor(row[x]) != blue;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_NE(RgbToColor(shot.pixel(0, 0)), blue);
    EXPECT_NE(RgbToColor(shot.pixel(1, 1)), blue);
}
