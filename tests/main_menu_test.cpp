#include "app_fixture.h"
#include "dialog_answer.h"
#include "dialogs/brush_settings_form.h"
#include "dialogs/fill_tolerance_form.h"
#include "dialogs/pattern_form.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/picture_printing.h"
#include "canvas/velmora_canvas.h"
#include "codecs/png_codec.h"
#include "tools/brush_size_form.h"
#include "tools/layer_list.h"
#include "tools/layers_form.h"
#include "tools/palette_form.h"
#include "tools/spin_edit.h"
#include "tools/tools_form.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSlider>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

struct MainMenuTest : TAppFixture {
    void SetUp() override
    {
        TAppFixture::SetUp();
        form->resize(900, 700);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        FocusCanvas();
    }

    void FocusCanvas()
    {
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        canvas->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == canvas; }));
    }

    void FocusSpinEdit(TSpinEdit *edit)
    {
        frmTools->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(frmTools));
        edit->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
    }

    // Presses the first key combination of a shortcut on the given widget.
    static void Press(QWidget *w, const QKeySequence &shortcut)
    {
        const QKeyCombination k = shortcut[0];
        QTest::keyClick(w, k.key(), k.keyboardModifiers());
    }

    QMenu *Menu(QAction *item) const { return item->menu(); }

    // Moves down the open menu with the arrow key to the item and chooses
    // it, as a user at the keyboard would.
    static void ChooseByKeyboard(QMenu *menu, QAction *item, Qt::Key choose = Qt::Key_Return)
    {
        for (int i = 0; i < 12 && menu->activeAction() != item; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        ASSERT_EQ(menu->activeAction(), item);
        QTest::keyClick(menu, choose);
    }

};

struct TExpectedItem {
    const char *Name;
    const char *Caption; // nullptr: separator
    const char *Shortcut;
    bool Checkable;
};

// The menu tree in the order it is shown, submenu items right after their
// submenu; separators carry their N names.
const std::vector<TExpectedItem> ExpectedMenu = {
    {"miFile", "File", "", false},
    {"miNew", "New", "Ctrl+N", false},
    {"miOpen", "Open", "Ctrl+O", false},
    {"miRecentFiles", "Open recent", "", false},
    {"N22", nullptr, "", false},
    {"miClearRecentFiles", "Clear list", "", false},
    {"N1", nullptr, "", false},
    {"miSave", "Save", "Ctrl+S", false},
    {"miSaveAs", "Save as..", "", false},
    {"N2", nullptr, "", false},
    {"miPrint", "Print...", "", false},
    {"N23", nullptr, "", false},
    {"miExit", "Exit", "", false},
    {"miEdit", "Edit", "", false},
    {"miUndo", "Undo", "Ctrl+Z", false},
    {"miRedo", "Redo", "Ctrl+Shift+Z", false},
    {"N3", nullptr, "", false},
    {"miCopy", "Copy", "Ctrl+C", false},
    {"miPaste", "Paste as new layer", "Ctrl+V", false},
    {"miView", "View", "", false},
    {"miShowCenterPoints", "Show center points", "Ctrl+P", true},
    {"miShowDrawingPoints", "Show drawing points", "Ctrl+Shift+P", true},
    {"N4", nullptr, "", false},
    {"miShowGrid", "Grid", "", true},
    {"N5", nullptr, "", false},
    {"miShadow", "Shadow", "", true},
    {"N21", nullptr, "", false},
    {"miZoomIn", "Zoom in", "Ctrl+=", false},
    {"miZoomOut", "Zoom out", "Ctrl+-", false},
    {"miActualSize", "Actual size", "Ctrl+0", false},
    {"miFitToWindow", "Fit to window", "Ctrl+Alt+0", false},
    {"miImage", "Image", "", false},
    {"miClear", "Clear", "Del", false},
    {"N6", nullptr, "", false},
    {"miInvertImage", "Invert", "", false},
    {"miGrayscaleImage", "Grayscale", "", false},
    {"N7", nullptr, "", false},
    {"miCanvasSize", "Canvas size...", "Ctrl+Alt+C", false},
    {"miFitCanvasToPattern", "Fit canvas to pattern", "Ctrl+Shift+F", false},
    {"miLayer", "Layer", "", false},
    {"miNewLayer", "New layer", "Ctrl+Shift+N", false},
    {"miDuplicateLayer", "Duplicate layer", "Ctrl+Shift+D", false},
    {"miDeleteLayer", "Delete layer", "", false},
    {"N24", nullptr, "", false},
    {"miRaiseLayer", "Raise layer", "Ctrl+Shift+PgUp", false},
    {"miLowerLayer", "Lower layer", "Ctrl+Shift+PgDown", false},
    {"N25", nullptr, "", false},
    {"miLayerAbove", "Layer above", "Alt+PgUp", false},
    {"miLayerBelow", "Layer below", "Alt+PgDown", false},
    {"N26", nullptr, "", false},
    {"miToggleLayer", "Show/hide layer", "Ctrl+Shift+H", false},
    {"miLayerProperties", "Layer properties...", "", false},
    {"N27", nullptr, "", false},
    {"miMergeDown", "Merge down", "Ctrl+E", false},
    {"miFlatten", "Flatten image", "", false},
    {"miTools", "Tools", "", false},
    {"miMovePoints", "Move points", "Ctrl+1", true},
    {"miBrush", "Brush", "Ctrl+2", true},
    {"miEraser", "Eraser", "Ctrl+3", true},
    {"miPickupColor", "Pickup color", "Ctrl+4", true},
    {"miPaintBucket", "Paint bucket", "Ctrl+5", true},
    {"N9", nullptr, "", false},
    {"miReflections", "Reflections", "", false},
    {"miNoReflections", "None", "Alt+1", true},
    {"N10", nullptr, "", false},
    {"miPrimary", "Primary", "Alt+2", true},
    {"miMirrorPrimary", "Mirror primary", "Alt+3", true},
    {"miSecondary", "Secondary", "Alt+4", true},
    {"N11", nullptr, "", false},
    {"miVertical", "Vertical", "Alt+5", true},
    {"miHorizontal", "Horizontal", "Alt+6", true},
    {"N28", nullptr, "", false},
    {"miPattern", "Pattern", "Alt+7", true},
    {"N12", nullptr, "", false},
    {"miIncreaseSize", "Increase size", "]", false},
    {"miDecreaseSize", "Decrease size", "[", false},
    {"Palette1", "Palette", "", false},
    {"miMasterColor", "Brush color", "Ctrl+Shift+1", false},
    {"miSecondColor", "Eraser color", "Ctrl+Shift+2", false},
    {"N13", nullptr, "", false},
    {"miBlackWhite", "Black && white", "D", false},
    {"miSwap", "Swap", "X", false},
    {"miEffects", "Effects", "", false},
    {"miAddCircle", "Add circle", "C", false},
    {"miDrawPolygon", "Draw polygon", "P", false},
    {"miDrawStar", "Draw star", "S", false},
    {"N14", nullptr, "", false},
    {"miColoringMask", "Coloring mask", "", false},
    {"miProtectColor", "Protect color", "", true},
    {"miPaintOverColor", "Paint over color", "", true},
    {"N15", nullptr, "", false},
    {"miCancelMask", "Cancel mask", "", false},
    {"N16", nullptr, "", false},
    {"miAutoMask", "Auto mask", "", true},
    {"N17", nullptr, "", false},
    {"miOptions", "Options", "", false},
    {"miLanguage", "Language", "", false},
    {"N18", nullptr, "", false},
    {"miPreciseBrush", "Precise brush", "Ctrl+B", true},
    {"miSmoothStrokes", "Smooth strokes", "Ctrl+Shift+A", true},
    {"miRainbowCopies", "Rainbow copies", "Ctrl+Shift+R", true},
    {"miBrushSettings", "Brush settings...", "Ctrl+Alt+B", false},
    {"miFillTolerance", "Fill tolerance...", "", false},
    {"miFillSampleAll", "Fill samples all layers", "", true},
    {"miPatternSettings", "Pattern...", "Ctrl+Alt+P", false},
    {"N19", nullptr, "", false},
    {"miSaveToolbarsLocations", "Save toolbars locations", "", false},
    {"miRestoreDefaultToolbarsLocations", "Restore default toolbars locations", "", false},
    {"miWindows", "Windows", "", false},
    {"miVisibility", "Visibility", "Ctrl+Tab", true},
    {"miLayersWindow", "Layers", "", true},
    {"N8", "?", "", false},
    {"miHelp", "Help (online)", "F1", false},
    {"N20", nullptr, "", false},
    {"miAbout", "About", "", false},
};

// The menu's own items; the language engine's items under Language are
// tested with the engine, the unnamed recent files with the settings.
void CollectItems(const QList<QAction *> &actions, std::vector<QAction *> &out)
{
    for (QAction *a : actions) {
        if (a->objectName().isEmpty())
            continue;
        out.push_back(a);
        if (a->menu() && a->objectName() != QLatin1String("miLanguage"))
            CollectItems(a->menu()->actions(), out);
    }
}

} // namespace

TEST_F(MainMenuTest, MenuHoldsEveryItemInOrderWithCaptionShortcutAndCheckMark)
{
    std::vector<QAction *> items;
    CollectItems(form->menuBar()->actions(), items);
    ASSERT_EQ(items.size(), ExpectedMenu.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TExpectedItem &e = ExpectedMenu[i];
        QAction *a = items[i];
        SCOPED_TRACE(e.Name);
        EXPECT_EQ(a->objectName(), e.Name);
        EXPECT_EQ(a->isSeparator(), e.Caption == nullptr);
        if (e.Caption) {
            EXPECT_EQ(a->text(), e.Caption);
        }
        EXPECT_EQ(a->shortcut(), QKeySequence::fromString(e.Shortcut, QKeySequence::PortableText));
        EXPECT_EQ(a->isCheckable(), e.Checkable);
        EXPECT_TRUE(a->isVisible());
    }
    EXPECT_EQ(form->menuBar()->actions().size(), 11);
    EXPECT_TRUE(form->miShowDrawingPoints->isChecked());
}

TEST_F(MainMenuTest, HiddenViewMaskItemIsInNoMenuButItsShortcutActs)
{
    QAction *viewMask = form->findChild<QAction *>("miViewmask");
    ASSERT_TRUE(viewMask);
    EXPECT_EQ(viewMask->text(), "View mask");
    EXPECT_EQ(viewMask->shortcut(), QKeySequence("Ctrl+Shift+V"));
    EXPECT_FALSE(Menu(form->miColoringMask)->actions().contains(viewMask));

    QSignalSpy spy(viewMask, &QAction::triggered);
    QTest::keyClick(canvas, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(spy.count(), 1);
}

// Undo and Redo are disabled while there is nothing to undo or redo and
// have their own test below; Help would start a browser. The colour items
// would open the modal colour dialog, which answers "cancel" here, as do the
// file dialogs and the size dialog.
TEST_F(MainMenuTest, EveryShortcutReachesItsItemWhileTheCanvasHasFocus)
{
    frmPalette->ExecuteColorDialog = [](TColor) { return std::optional<TColor>(); };
    form->ExecuteFileDialog = [](QFileDialog &) { return false; };
    TDialogCanceller canceller;
    // Layer items that would do nothing are disabled; with the middle one of
    // three layers active, each of them acts.
    canvas->NewLayer();
    canvas->NewLayer();
    canvas->SetActiveLayer(1);
    std::vector<QAction *> items;
    CollectItems(form->menuBar()->actions(), items);
    // Pattern mode disables Draw polygon and Draw star, so it comes last.
    std::stable_partition(items.begin(), items.end(), [this](QAction *a) { return a != form->miPattern; });
    int tried = 0;
    for (QAction *a : items) {
        if (a->shortcut().isEmpty() || a == form->miUndo || a == form->miRedo || a == form->miHelp)
            continue;
        SCOPED_TRACE(a->objectName().toStdString());
        FocusCanvas();
        QSignalSpy spy(a, &QAction::triggered);
        Press(canvas, a->shortcut());
        EXPECT_EQ(spy.count(), 1);
        ++tried;
    }
    EXPECT_EQ(tried, 49);
}

TEST_F(MainMenuTest, ShortcutsChangeTheCanvas)
{
    struct TCase {
        const char *Shortcut;
        std::function<bool(TVelmoraCanvas *)> Done;
    };
    const std::vector<TCase> cases = {
        {"Ctrl+3", [](TVelmoraCanvas *c) { return c->Tool == ctEraser && frmTools->bEraser->isChecked(); }},
        {"Ctrl+5", [](TVelmoraCanvas *c) { return c->Tool == ctPaintBucket && frmTools->bPaintBucket->isChecked(); }},
        {"Alt+4", [](TVelmoraCanvas *c) { return c->ReflectionMode == rmSecondary && frmTools->bSecondary->isChecked(); }},
        // A lattice has no centre for polygons and stars to turn about.
        {"Alt+7",
         [this](TVelmoraCanvas *c) {
             return c->ReflectionMode == rmPattern && frmTools->bPattern->isChecked() &&
                    !form->miDrawPolygon->isEnabled() && !form->miDrawStar->isEnabled();
         }},
        {"Alt+2",
         [this](TVelmoraCanvas *c) {
             return c->ReflectionMode == rmPrimary && form->miDrawPolygon->isEnabled() && form->miDrawStar->isEnabled();
         }},
        {"Ctrl+P", [](TVelmoraCanvas *c) { return c->ShowCenterPoints; }},
        {"Ctrl+Shift+P", [](TVelmoraCanvas *c) { return c->ShowDrawingPoints; }},
        {"Ctrl+B", [](TVelmoraCanvas *c) { return c->PreciseBrush; }},
        {"Ctrl+Shift+A", [](TVelmoraCanvas *c) { return c->SmoothStrokes; }},
        {"Ctrl+Shift+R", [](TVelmoraCanvas *c) { return c->RainbowCopies; }},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Shortcut);
        FocusCanvas();
        Press(canvas, QKeySequence(c.Shortcut));
        EXPECT_TRUE(c.Done(canvas));
    }
}

TEST_F(MainMenuTest, SingleKeyShortcutsDoNotFireWhileASpinEditHasFocus)
{
    FocusSpinEdit(frmTools->eMasterRef);
    const int brush = canvas->BrushSize;
    for (QAction *a : {form->miAddCircle, form->miDrawPolygon, form->miDrawStar, form->miBlackWhite, form->miSwap,
                       form->miClear, form->miIncreaseSize, form->miDecreaseSize}) {
        SCOPED_TRACE(a->objectName().toStdString());
        QSignalSpy spy(a, &QAction::triggered);
        Press(frmTools->eMasterRef, a->shortcut());
        EXPECT_EQ(spy.count(), 0);
    }
    EXPECT_EQ(canvas->BrushSize, brush);
    EXPECT_FALSE(canvas->Modified);

    // Shortcuts with Ctrl still act from the toolbox.
    Press(frmTools->eMasterRef, QKeySequence("Ctrl+3"));
    EXPECT_EQ(canvas->Tool, ctEraser);
}

TEST_F(MainMenuTest, ReflectionItemsPressTheirToolboxButtonAndSetTheMode)
{
    const std::vector<std::tuple<QAction *, QToolButton *, TReflectionMode>> cases = {
        {form->miNoReflections, frmTools->bNoRef, rmNone},
        {form->miMirrorPrimary, frmTools->bMirrorRef, rmMirrorPrimary},
        {form->miSecondary, frmTools->bSecondary, rmSecondary},
        {form->miVertical, frmTools->bVertRef, rmVertical},
        {form->miHorizontal, frmTools->bHorizRef, rmHorizontal},
        {form->miPattern, frmTools->bPattern, rmPattern},
        {form->miPrimary, frmTools->bPrimaryRef, rmPrimary},
    };
    for (const auto &[item, button, mode] : cases) {
        SCOPED_TRACE(item->objectName().toStdString());
        item->trigger();
        EXPECT_EQ(canvas->ReflectionMode, mode);
        EXPECT_TRUE(button->isChecked());
    }

    // Called from anywhere else, it only presses the canvas's mode.
    canvas->SetReflectionMode(rmVertical);
    form->miHorizontalClick(nullptr);
    EXPECT_EQ(canvas->ReflectionMode, rmVertical);
    EXPECT_TRUE(frmTools->bVertRef->isChecked());
}

TEST_F(MainMenuTest, ToolItemsPressTheirToolboxButtonAndSelectTheTool)
{
    const std::vector<std::tuple<QAction *, QToolButton *, TCanvasTool>> cases = {
        {form->miMovePoints, frmTools->bMove, ctMovePoints},
        {form->miEraser, frmTools->bEraser, ctEraser},
        {form->miPickupColor, frmTools->bEyeDrop, ctPickupColor},
        {form->miPaintBucket, frmTools->bPaintBucket, ctPaintBucket},
        {form->miBrush, frmTools->bBrush, ctBrush},
    };
    for (const auto &[item, button, tool] : cases) {
        SCOPED_TRACE(item->objectName().toStdString());
        item->trigger();
        EXPECT_EQ(canvas->Tool, tool);
        EXPECT_TRUE(button->isChecked());
        EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == canvas; }));
    }
}

TEST_F(MainMenuTest, SizeKeysStepTheCurrentToolsSizeOnly)
{
    frmTools->eBrush->SetValue(5);
    frmTools->eEraser->SetValue(10);

    QTest::keyClick(canvas, Qt::Key_BracketRight);
    EXPECT_EQ(frmTools->eBrush->Value(), 6);
    EXPECT_EQ(canvas->BrushSize, 6);
    EXPECT_EQ(canvas->EraserSize, 10);

    form->miEraser->trigger();
    FocusCanvas();
    QTest::keyClick(canvas, Qt::Key_BracketLeft);
    EXPECT_EQ(frmTools->eEraser->Value(), 9);
    EXPECT_EQ(canvas->EraserSize, 9);
    EXPECT_EQ(canvas->BrushSize, 6);

    for (QAction *tool : {form->miMovePoints, form->miPickupColor, form->miPaintBucket}) {
        SCOPED_TRACE(tool->objectName().toStdString());
        tool->trigger();
        FocusCanvas();
        QTest::keyClick(canvas, Qt::Key_BracketRight);
        QTest::keyClick(canvas, Qt::Key_BracketLeft);
        QTest::keyClick(canvas, Qt::Key_BracketLeft);
        EXPECT_EQ(canvas->BrushSize, 6);
        EXPECT_EQ(canvas->EraserSize, 9);
    }

    // The spin edit's range bounds the steps.
    form->miBrush->trigger();
    frmTools->eBrush->SetValue(99);
    form->miIncreaseSize->trigger();
    EXPECT_EQ(canvas->BrushSize, 99);
    frmTools->eBrush->SetValue(1);
    form->miDecreaseSize->trigger();
    EXPECT_EQ(canvas->BrushSize, 1);
}

TEST_F(MainMenuTest, VisibilityShowsOrHidesAllToolWindowsTogether)
{
    const std::vector<QWidget *> windows{frmTools, frmPalette, frmBrushSize};
    for (QWidget *w : windows)
        ASSERT_TRUE(w && w->isVisible());

    frmTools->hide();
    QTest::keyClick(canvas, Qt::Key_Tab, Qt::ControlModifier);
    for (QWidget *w : windows)
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();

    FocusCanvas();
    QTest::keyClick(canvas, Qt::Key_Tab, Qt::ControlModifier);
    for (QWidget *w : windows)
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    emit Menu(form->miWindows)->aboutToShow();
    EXPECT_FALSE(form->miVisibility->isChecked());
}

TEST_F(MainMenuTest, ToolsMenuChecksTheToolAfterARightClickSwap)
{
    canvas->MouseDown(mbRight, 0, 100, 100);
    ASSERT_EQ(canvas->Tool, ctEraser);
    EXPECT_TRUE(frmTools->bEraser->isChecked());

    emit Menu(form->miTools)->aboutToShow();
    EXPECT_TRUE(form->miEraser->isChecked());
    EXPECT_FALSE(form->miBrush->isChecked());
    EXPECT_TRUE(form->miPrimary->isChecked());
    EXPECT_TRUE(form->miVisibility->isChecked());

    // From a tool without a button the swap goes to the brush.
    form->miPickupColor->trigger();
    canvas->MouseDown(mbRight, 0, 100, 100);
    EXPECT_EQ(canvas->Tool, ctBrush);
    EXPECT_TRUE(frmTools->bBrush->isChecked());
    emit Menu(form->miTools)->aboutToShow();
    EXPECT_TRUE(form->miBrush->isChecked());
    EXPECT_FALSE(form->miPickupColor->isChecked());
}

TEST_F(MainMenuTest, OpeningMenusRefreshesTheirCheckMarks)
{
    canvas->SetShowGrid(true);
    canvas->SetShadow(false);
    canvas->SetShowDrawingPoints(false);
    canvas->SetPreciseBrush(true);
    canvas->SetSmoothStrokes(true);
    canvas->SetRainbowCopies(true);
    canvas->FillSampleAll = true;
    canvas->SetColoringMode(cmPaintOverColor);
    canvas->SetAutoMask(false);

    emit Menu(form->miView)->aboutToShow();
    EXPECT_TRUE(form->miShowGrid->isChecked());
    EXPECT_FALSE(form->miShadow->isChecked());
    EXPECT_FALSE(form->miShowDrawingPoints->isChecked());
    EXPECT_FALSE(form->miShowCenterPoints->isChecked());

    emit Menu(form->miOptions)->aboutToShow();
    EXPECT_TRUE(form->miPreciseBrush->isChecked());
    EXPECT_TRUE(form->miSmoothStrokes->isChecked());
    EXPECT_TRUE(form->miRainbowCopies->isChecked());
    EXPECT_TRUE(form->miFillSampleAll->isChecked());

    emit Menu(form->miColoringMask)->aboutToShow();
    EXPECT_TRUE(form->miPaintOverColor->isChecked());
    EXPECT_FALSE(form->miProtectColor->isChecked());
    EXPECT_FALSE(form->miAutoMask->isChecked());
}

TEST_F(MainMenuTest, UndoAndRedoFollowTheHistory)
{
    EXPECT_FALSE(form->miUndo->isEnabled());
    EXPECT_FALSE(form->miRedo->isEnabled());

    canvas->MouseDown(mbLeft, 0, 120, 120);
    canvas->MouseMove(ssLeft, 300, 200);
    canvas->MouseUp(mbLeft, 0, 300, 200);
    const QImage painted = canvas->Picture.copy();
    EXPECT_TRUE(form->miUndo->isEnabled());

    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_NE(canvas->Picture, painted);
    EXPECT_FALSE(form->miUndo->isEnabled());
    EXPECT_TRUE(form->miRedo->isEnabled());

    QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(canvas->Picture, painted);
    EXPECT_TRUE(form->miUndo->isEnabled());
    EXPECT_FALSE(form->miRedo->isEnabled());
}

TEST_F(MainMenuTest, ClearFillsWithTheEraserColorAndEndsTheMask)
{
    canvas->SetSecondColor(MakeColor(200, 10, 20));
    form->miProtectColor->trigger();
    ASSERT_TRUE(frmTools->bColoringProtectColor->isChecked());

    QTest::keyClick(canvas, Qt::Key_Delete);
    EXPECT_EQ(RgbToColor(canvas->Picture.pixel(5, 5)), MakeColor(200, 10, 20));
    EXPECT_EQ(RgbToColor(canvas->Picture.pixel(799, 599)), MakeColor(200, 10, 20));
    EXPECT_EQ(canvas->ColoringMode, cmNone);
    EXPECT_FALSE(frmTools->bColoringProtectColor->isChecked());
    EXPECT_FALSE(frmTools->bColoringPaintOverColor->isChecked());
}

TEST_F(MainMenuTest, MaskItemsSetTheModeAndTheToolboxFollows)
{
    form->miPaintOverColor->trigger();
    EXPECT_EQ(canvas->ColoringMode, cmPaintOverColor);
    EXPECT_TRUE(frmTools->bColoringPaintOverColor->isChecked());
    EXPECT_FALSE(frmTools->bColoringProtectColor->isChecked());

    form->miProtectColor->trigger();
    EXPECT_EQ(canvas->ColoringMode, cmProtectColor);
    EXPECT_TRUE(frmTools->bColoringProtectColor->isChecked());
    EXPECT_FALSE(frmTools->bColoringPaintOverColor->isChecked());

    form->miCancelMask->trigger();
    EXPECT_EQ(canvas->ColoringMode, cmNone);
    EXPECT_FALSE(frmTools->bColoringProtectColor->isChecked());

    const bool autoMask = canvas->AutoMask;
    form->miAutoMask->trigger();
    EXPECT_EQ(canvas->AutoMask, !autoMask);
    EXPECT_EQ(frmTools->bAutoMask->isChecked(), !autoMask);
}

// The Layers window appears with the second layer and lists the layers top
// first; the status bar warns while the layer painted on is hidden.
TEST_F(MainMenuTest, LayerItemsChangeTheLayersAndTheLayersWindowFollows)
{
    EXPECT_FALSE(frmLayers->isVisible());
    EXPECT_FALSE(form->miDeleteLayer->isEnabled());
    Press(canvas, form->miNewLayer->shortcut());
    ASSERT_EQ(canvas->Layers().Count(), 2);
    EXPECT_TRUE(frmLayers->isVisible());
    EXPECT_EQ(frmLayers->lvLayers->item(0)->text(), "Layer 2");
    EXPECT_EQ(frmLayers->lvLayers->currentRow(), 0);

    FocusCanvas();
    Press(canvas, form->miToggleLayer->shortcut());
    EXPECT_EQ(frmLayers->lvLayers->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(form->StatusText(3), "Layer hidden");
    QWidget *rows = frmLayers->lvLayers->viewport();
    const QRect bottom = frmLayers->lvLayers->visualItemRect(frmLayers->lvLayers->item(1));
    QTest::mouseClick(rows, Qt::LeftButton, {}, QPoint(bottom.left() + 8, bottom.center().y()));
    EXPECT_FALSE(canvas->Layers().At(0).Visible);
    EXPECT_EQ(canvas->ActiveLayer(), 1);
    QTest::mouseClick(rows, Qt::LeftButton, {}, bottom.center());
    EXPECT_EQ(canvas->ActiveLayer(), 0);
    EXPECT_EQ(form->StatusText(3), "Layer hidden");
    form->miToggleLayer->trigger();
    EXPECT_EQ(form->StatusText(3), "");
    EXPECT_FALSE(form->miMergeDown->isEnabled());

    TModalWatcher<QDialog> properties([](QDialog *d) {
        d->findChild<QLineEdit *>("eName")->setText("Ink");
        d->findChild<TSpinEdit *>("eOpacity")->SetValue(30);
        d->accept();
    });
    form->miLayerProperties->trigger();
    EXPECT_EQ(frmLayers->lvLayers->item(1)->text(), "Ink");
    EXPECT_EQ(frmLayers->eOpacity->Value(), 30);

    canvas->CopyToClipboard();
    form->miPaste->trigger();
    EXPECT_EQ(canvas->Layers().At(canvas->ActiveLayer()).Name, "Pasted");
    EXPECT_EQ(frmLayers->lvLayers->count(), 3);
    form->miFlatten->trigger();
    EXPECT_EQ(frmLayers->lvLayers->count(), 1);
    form->miUndo->trigger();
    EXPECT_EQ(frmLayers->lvLayers->count(), 3);
}

TEST_F(MainMenuTest, ExitClosesTheMainWindow)
{
    form->miExit->trigger();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(MainMenuTest, PaletteCommandsAndPickedColoursReachThePalette)
{
    frmPalette->SetBrushColor(MakeColor(1, 2, 3));
    frmPalette->SetEraserColor(MakeColor(4, 5, 6));
    Press(canvas, form->miSwap->shortcut());
    EXPECT_EQ(frmPalette->BrushColor(), MakeColor(4, 5, 6));
    EXPECT_EQ(canvas->MasterColor, MakeColor(4, 5, 6));
    EXPECT_EQ(canvas->SecondColor, MakeColor(1, 2, 3));
    Press(canvas, form->miBlackWhite->shortcut());
    EXPECT_EQ(canvas->MasterColor, clBlack);
    EXPECT_EQ(frmPalette->EraserColor(), clWhite);

    canvas->Picture.setPixel(7, 8, qRgb(90, 80, 70));
    canvas->SetTool(ctPickupColor);
    const QPoint at(canvas->ImageRect.Left + 7, canvas->ImageRect.Top + 8);
    canvas->MouseDown(mbLeft, ssLeft, at.x(), at.y());
    EXPECT_EQ(frmPalette->BrushColor(), MakeColor(90, 80, 70));
    EXPECT_EQ(frmPalette->EraserColor(), clWhite);
}

TEST_F(MainMenuTest, EffectsImageItemsAndTheBucketChangeThePicture)
{
    const QPoint offset(canvas->ImageRect.Left, canvas->ImageRect.Top);
    const QPoint aim = canvas->MasterCenter + QPoint(100, 0);
    QMouseEvent move(QEvent::MouseMove, QPointF(aim + offset), canvas->mapToGlobal(QPointF(aim + offset)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(canvas, &move);
    ASSERT_EQ(canvas->CursorPoint, aim);
    auto black = [this](QPoint p) { return (canvas->Picture.pixel(p) & 0xFFFFFF) == 0; };

    for (Qt::Key key : {Qt::Key_C, Qt::Key_P, Qt::Key_S}) {
        SCOPED_TRACE(int(key));
        QTest::keyClick(canvas, Qt::Key_Delete);
        ASSERT_FALSE(black(aim));
        QTest::keyClick(canvas, key);
        EXPECT_TRUE(black(aim));
    }
    EXPECT_TRUE(form->miUndo->isEnabled());

    QTest::keyClick(canvas, Qt::Key_Delete);
    form->miInvertImage->trigger();
    EXPECT_TRUE(black(QPoint(5, 5)));
    canvas->Picture.setPixel(5, 5, qRgb(255, 0, 0));
    form->miGrayscaleImage->trigger();
    EXPECT_EQ(canvas->Picture.pixel(5, 5) & 0xFFFFFF, 0x555555u);

    QTest::keyClick(canvas, Qt::Key_5, Qt::ControlModifier);
    canvas->SetMasterColor(MakeColor(0, 0, 255));
    QTest::mouseClick(canvas, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20) + offset);
    EXPECT_EQ(canvas->Picture.pixel(20, 20) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(canvas->Picture.pixel(5, 5) & 0xFFFFFF, 0x555555u);
}

TEST_F(MainMenuTest, FillToleranceDialogSetsTheToleranceWithinRangeOnOkOnly)
{
    canvas->SetFillTolerance(12);
    int typed = 0;
    TModalWatcher<TfrmFillTolerance> watcher([&](TfrmFillTolerance *d) {
        EXPECT_EQ(d->eTolerance->Value(), 12);
        d->eTolerance->SetValue(typed);
        if (typed == 40)
            d->reject();
        else
            d->bOk->click();
    });
    for (int value : {128, 40}) {
        typed = value;
        form->miFillTolerance->trigger();
        EXPECT_EQ(canvas->FillTolerance, value == 40 ? 12 : 128);
        canvas->SetFillTolerance(12);
    }
    canvas->SetFillTolerance(999);
    EXPECT_EQ(canvas->FillTolerance, 255);
}

// The sliders follow the edits and write them when dragged; Tab goes from
// edit to edit past them.
TEST_F(MainMenuTest, BrushSettingsDialogSetsOpacityHardnessAndStabilizerOnOkOnly)
{
    canvas->SetBrushOpacity(60);
    bool confirm = true;
    TModalWatcher<TfrmBrushSettings> watcher([&](TfrmBrushSettings *d) {
        EXPECT_EQ(d->eOpacity->Value(), 60);
        EXPECT_EQ(d->sOpacity->value(), 60);
        EXPECT_EQ(d->sHardness->value(), 100);
        d->eOpacity->setFocus();
        QTest::keyClick(d->eOpacity, Qt::Key_Tab);
        EXPECT_EQ(d->focusWidget(), d->eHardness);
        d->eHardness->SetValue(30);
        EXPECT_EQ(d->sHardness->value(), 30);
        d->sStabilizer->setValue(45);
        if (confirm)
            d->bOk->click();
        else
            d->reject();
    });
    for (bool ok : {false, true}) {
        confirm = ok;
        form->miBrushSettings->trigger();
        EXPECT_EQ(canvas->BrushOpacity, 60);
        EXPECT_EQ(canvas->BrushHardness, ok ? 30 : 100);
        EXPECT_EQ(canvas->Stabilizer, ok ? 45 : 0);
    }
}

// Options > Pattern... sets the canvas's pattern; Fit canvas to pattern then
// makes the picture whole cells and puts the master centre on the lattice.
TEST_F(MainMenuTest, PatternDialogSetsThePatternAndFitCanvasMakesWholeCells)
{
    TModalWatcher<TfrmPattern> watcher([](TfrmPattern *d) {
        d->cbGroup->setCurrentIndex(pgPmm);
        d->eWidth->SetValue(100);
        d->eHeight->SetValue(64);
        d->bOk->click();
    });
    form->miPatternSettings->trigger();
    ASSERT_EQ(canvas->Pattern(), (TPattern{pgPmm, 100, 64, 90}));
    canvas->Picture.setPixel(99, 63, qRgb(255, 0, 0));
    // 800 x 600 is 8 x 9.375 cells.
    form->miFitCanvasToPattern->trigger();
    EXPECT_EQ(QSize(canvas->PictureWidth(), canvas->PictureHeight()), QSize(800, 576));
    EXPECT_EQ(canvas->MasterCenter, FittedMasterCenter(canvas->Pattern(), QSize(800, 576)));
    EXPECT_EQ(canvas->Picture.pixel(99, 63), qRgb(255, 0, 0));
    EXPECT_EQ(form->StatusText(0), "800x576");
}

// Open recent and Print are reached from the menu bar with the arrow keys.
// Printing to a PDF file gives one page, turned with the picture.
TEST_F(MainMenuTest, RecentFilesAndPrintAreReachedByKeyboard)
{
    QTemporaryDir dir;
    const QString wide = dir.filePath("wide.png"), tall = dir.filePath("tall.png");
    SavePngFile(QImage(300, 100, QImage::Format_RGB32), wide);
    SavePngFile(QImage(100, 300, QImage::Format_RGB32), tall);
    form->OpenImage(wide);
    form->OpenImage(tall);

    QMenu *file = Menu(form->miFile);
    form->menuBar()->setActiveAction(form->miFile);
    ChooseByKeyboard(file, form->miRecentFiles, Qt::Key_Right);
    QMenu *recent = Menu(form->miRecentFiles);
    ChooseByKeyboard(recent, recent->actions().at(1));
    EXPECT_EQ(form->CurrentFileName, wide);

    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    form->ExecutePrintDialog = [&](QPrintDialog &dialog) {
        orientation = dialog.printer()->pageLayout().orientation();
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(dir.filePath("wide.pdf"));
        return true;
    };
    form->menuBar()->setActiveAction(form->miFile);
    ChooseByKeyboard(file, form->miPrint);
    EXPECT_EQ(orientation, QPageLayout::Landscape);
    QFile pdf(dir.filePath("wide.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_EQ(bytes.count("/Type /Page\n"), 1);
}

TEST(Printing, ThePictureFillsThePageCentredWithItsProportions)
{
    EXPECT_EQ(PrintTarget({400, 200}, {1000, 1000}), QRectF(0, 250, 1000, 500));
    EXPECT_EQ(PrintTarget({200, 400}, {800, 1000}), QRectF(150, 0, 500, 1000));
    EXPECT_EQ(PrintTarget({30, 20}, {3000, 2000}), QRectF(0, 0, 3000, 2000));
    EXPECT_EQ(PrintTarget({100, 100}, {600, 900}), QRectF(0, 150, 600, 600));
    EXPECT_EQ(PrintOrientation({400, 200}), QPageLayout::Landscape);
    EXPECT_EQ(PrintOrientation({200, 400}), QPageLayout::Portrait);
    EXPECT_EQ(PrintOrientation({100, 100}), QPageLayout::Portrait);
}
