// The main window's menu: its items, the routing of each command and the
// check marks that mirror the canvas when a menu opens.

#include "app/main_menu.h"

#include "app/commands_form.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/picture_printing.h"
#include "app/zoom_view.h"
#include "canvas/velmora_canvas.h"
#include "dialogs/about_form.h"
#include "dialogs/brush_settings_form.h"
#include "dialogs/canvas_size_form.h"
#include "dialogs/fill_tolerance_form.h"
#include "dialogs/image_view_form.h"
#include "dialogs/pattern_form.h"
#include "dialogs/pattern_texts.h"
#include "dialogs/shell.h"
#include "i18n/ml_strings.h"
#include "tools/brush_size_form.h"
#include "tools/layers_form.h"
#include "tools/palette_form.h"
#include "tools/spin_edit.h"
#include "tools/tools_form.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPrintDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QToolButton>

#include <array>

namespace {

enum TItemFlag : unsigned {
    ifCheck = 1u << 0,   // carries a check mark
    ifChecked = 1u << 1, // checked at design
    ifHidden = 1u << 2,  // not shown in the menu; its shortcut still acts
    ifMenu = 1u << 3,    // a (sub)menu; its handler runs when it opens
};

using THandler = void (TfrmMainForm::*)(QObject *);

// One row of the menu tree. Level 0 rows are the top-level menus, level 1
// rows their items, level 2 rows the items of a level 1 submenu. A row
// without caption is a separator.
struct TMenuRow {
    int Level;
    const char *Name;
    const char *Caption;
    QKeyCombination Key;
    unsigned Flags;
    QAction *TfrmMainForm::*Field;
    THandler Handler;
};

constexpr QKeyCombination NoKey = Qt::Key_unknown;

// Long enough to read, short enough not to hide the picture size for long.
constexpr int PatternGrownShowTime = 10000;

using F = TfrmMainForm;

const TMenuRow MenuRows[] = {
    {0, "miFile", "File", NoKey, ifMenu, &F::miFile, nullptr},
    {1, "miNew", "New", Qt::CTRL | Qt::Key_N, 0, &F::miNew, &F::miNewClick},
    {1, "miOpen", "Open", Qt::CTRL | Qt::Key_O, 0, &F::miOpen, &F::miOpenClick},
    {1, "miRecentFiles", "Open recent", NoKey, ifMenu, &F::miRecentFiles, nullptr},
    {2, "N22", nullptr, NoKey, 0, nullptr, nullptr},
    {2, "miClearRecentFiles", "Clear list", NoKey, 0, &F::miClearRecentFiles, &F::miClearRecentFilesClick},
    {1, "N1", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miSave", "Save", Qt::CTRL | Qt::Key_S, 0, &F::miSave, &F::miSaveClick},
    {1, "miSaveAs", "Save as..", NoKey, 0, &F::miSaveAs, &F::miSaveAsClick},
    {1, "N2", nullptr, NoKey, 0, nullptr, nullptr},
    // Ctrl+P shows the centre points.
    {1, "miPrint", "Print...", NoKey, 0, &F::miPrint, &F::miPrintClick},
    {1, "N23", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miExit", "Exit", NoKey, 0, &F::miExit, &F::miExitClick},

    {0, "miEdit", "Edit", NoKey, ifMenu, &F::miEdit, nullptr},
    {1, "miUndo", "Undo", Qt::CTRL | Qt::Key_Z, 0, &F::miUndo, &F::miUndoClick},
    {1, "miRedo", "Redo", Qt::CTRL | Qt::SHIFT | Qt::Key_Z, 0, &F::miRedo, &F::miRedoClick},
    {1, "N3", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miCopy", "Copy", Qt::CTRL | Qt::Key_C, 0, &F::miCopy, &F::miCopyClick},
    {1, "miPaste", "Paste as new layer", Qt::CTRL | Qt::Key_V, 0, &F::miPaste, &F::miPasteClick},

    {0, "miView", "View", NoKey, ifMenu, &F::miView, &F::miViewClick},
    {1, "miShowCenterPoints", "Show center points", Qt::CTRL | Qt::Key_P, ifCheck, &F::miShowCenterPoints,
     &F::miShowCenterPointsClick},
    {1, "miShowDrawingPoints", "Show drawing points", Qt::CTRL | Qt::SHIFT | Qt::Key_P, ifCheck | ifChecked,
     &F::miShowDrawingPoints, &F::miShowDrawingPointsClick},
    {1, "N4", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miShowGrid", "Grid", NoKey, ifCheck, &F::miShowGrid, &F::miShowGridClick},
    {1, "N5", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miShadow", "Shadow", NoKey, ifCheck, &F::miShadow, &F::miShadowClick},
    {1, "N21", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miZoomIn", "Zoom in", Qt::CTRL | Qt::Key_Equal, 0, &F::miZoomIn, &F::miZoomInClick},
    {1, "miZoomOut", "Zoom out", Qt::CTRL | Qt::Key_Minus, 0, &F::miZoomOut, &F::miZoomOutClick},
    {1, "miActualSize", "Actual size", Qt::CTRL | Qt::Key_0, 0, &F::miActualSize, &F::miActualSizeClick},
    {1, "miFitToWindow", "Fit to window", Qt::CTRL | Qt::ALT | Qt::Key_0, 0, &F::miFitToWindow,
     &F::miFitToWindowClick},

    {0, "miImage", "Image", NoKey, ifMenu, &F::miImage, nullptr},
    {1, "miClear", "Clear", Qt::Key_Delete, 0, &F::miClear, &F::miClearClick},
    {1, "N6", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miInvertImage", "Invert", NoKey, 0, &F::miInvertImage, &F::miInvertImageClick},
    {1, "miGrayscaleImage", "Grayscale", NoKey, 0, &F::miGrayscaleImage, &F::miGrayscaleImageClick},
    {1, "N7", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miCanvasSize", "Canvas size...", Qt::CTRL | Qt::ALT | Qt::Key_C, 0, &F::miCanvasSize,
     &F::miCanvasSizeClick},
    {1, "miFitCanvasToPattern", "Fit canvas to pattern", Qt::CTRL | Qt::SHIFT | Qt::Key_F, 0,
     &F::miFitCanvasToPattern, &F::miFitCanvasToPatternClick},

    {0, "miLayer", "Layer", NoKey, ifMenu, &F::miLayer, nullptr},
    {1, "miNewLayer", "New layer", Qt::CTRL | Qt::SHIFT | Qt::Key_N, 0, &F::miNewLayer, &F::miNewLayerClick},
    {1, "miDuplicateLayer", "Duplicate layer", Qt::CTRL | Qt::SHIFT | Qt::Key_D, 0, &F::miDuplicateLayer,
     &F::miDuplicateLayerClick},
    {1, "miDeleteLayer", "Delete layer", NoKey, 0, &F::miDeleteLayer, &F::miDeleteLayerClick},
    {1, "N24", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miRaiseLayer", "Raise layer", Qt::CTRL | Qt::SHIFT | Qt::Key_PageUp, 0, &F::miRaiseLayer,
     &F::miRaiseLayerClick},
    {1, "miLowerLayer", "Lower layer", Qt::CTRL | Qt::SHIFT | Qt::Key_PageDown, 0, &F::miLowerLayer,
     &F::miLowerLayerClick},
    {1, "N25", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miLayerAbove", "Layer above", Qt::ALT | Qt::Key_PageUp, 0, &F::miLayerAbove, &F::miLayerAboveClick},
    {1, "miLayerBelow", "Layer below", Qt::ALT | Qt::Key_PageDown, 0, &F::miLayerBelow, &F::miLayerBelowClick},
    {1, "N26", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miToggleLayer", "Show/hide layer", Qt::CTRL | Qt::SHIFT | Qt::Key_H, 0, &F::miToggleLayer,
     &F::miToggleLayerClick},
    {1, "miLayerProperties", "Layer properties...", NoKey, 0, &F::miLayerProperties, &F::miLayerPropertiesClick},
    {1, "N27", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miMergeDown", "Merge down", Qt::CTRL | Qt::Key_E, 0, &F::miMergeDown, &F::miMergeDownClick},
    {1, "miFlatten", "Flatten image", NoKey, 0, &F::miFlatten, &F::miFlattenClick},

    {0, "miTools", "Tools", NoKey, ifMenu, &F::miTools, &F::miToolsClick},
    {1, "miMovePoints", "Move points", Qt::CTRL | Qt::Key_1, ifCheck, &F::miMovePoints, &F::miMovePointsClick},
    {1, "miBrush", "Brush", Qt::CTRL | Qt::Key_2, ifCheck, &F::miBrush, &F::miBrushClick},
    {1, "miEraser", "Eraser", Qt::CTRL | Qt::Key_3, ifCheck, &F::miEraser, &F::miEraserClick},
    {1, "miPickupColor", "Pickup color", Qt::CTRL | Qt::Key_4, ifCheck, &F::miPickupColor, &F::miPickupColorClick},
    {1, "miPaintBucket", "Paint bucket", Qt::CTRL | Qt::Key_5, ifCheck, &F::miPaintBucket, &F::miPaintBucketClick},
    {1, "N9", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miReflections", "Reflections", NoKey, ifMenu, &F::miReflections, nullptr},
    {2, "miNoReflections", "None", Qt::ALT | Qt::Key_1, ifCheck, &F::miNoReflections, &F::miHorizontalClick},
    {2, "N10", nullptr, NoKey, 0, nullptr, nullptr},
    {2, "miPrimary", "Primary", Qt::ALT | Qt::Key_2, ifCheck, &F::miPrimary, &F::miHorizontalClick},
    {2, "miMirrorPrimary", "Mirror primary", Qt::ALT | Qt::Key_3, ifCheck, &F::miMirrorPrimary,
     &F::miHorizontalClick},
    {2, "miSecondary", "Secondary", Qt::ALT | Qt::Key_4, ifCheck, &F::miSecondary, &F::miHorizontalClick},
    {2, "N11", nullptr, NoKey, 0, nullptr, nullptr},
    {2, "miVertical", "Vertical", Qt::ALT | Qt::Key_5, ifCheck, &F::miVertical, &F::miHorizontalClick},
    {2, "miHorizontal", "Horizontal", Qt::ALT | Qt::Key_6, ifCheck, &F::miHorizontal, &F::miHorizontalClick},
    {2, "N28", nullptr, NoKey, 0, nullptr, nullptr},
    {2, "miPattern", "Pattern", Qt::ALT | Qt::Key_7, ifCheck, &F::miPattern, &F::miHorizontalClick},
    {1, "N12", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miIncreaseSize", "Increase size", Qt::Key_BracketRight, 0, &F::miIncreaseSize, &F::miIncreaseSizeClick},
    {1, "miDecreaseSize", "Decrease size", Qt::Key_BracketLeft, 0, &F::miDecreaseSize, &F::miDecreaseSizeClick},

    {0, "Palette1", "Palette", NoKey, ifMenu, &F::Palette1, nullptr},
    {1, "miMasterColor", "Brush color", Qt::CTRL | Qt::SHIFT | Qt::Key_1, 0, &F::miMasterColor,
     &F::miMasterColorClick},
    {1, "miSecondColor", "Eraser color", Qt::CTRL | Qt::SHIFT | Qt::Key_2, 0, &F::miSecondColor,
     &F::miSecondColorClick},
    {1, "N13", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miBlackWhite", "Black && white", Qt::Key_D, 0, &F::miBlackWhite, &F::miBlackWhiteClick},
    {1, "miSwap", "Swap", Qt::Key_X, 0, &F::miSwap, &F::miSwapClick},

    {0, "miEffects", "Effects", NoKey, ifMenu, &F::miEffects, nullptr},
    {1, "miAddCircle", "Add circle", Qt::Key_C, 0, &F::miAddCircle, &F::miAddCircleClick},
    {1, "miDrawPolygon", "Draw polygon", Qt::Key_P, 0, &F::miDrawPolygon, &F::miDrawPolygonClick},
    {1, "miDrawStar", "Draw star", Qt::Key_S, 0, &F::miDrawStar, &F::miDrawStarClick},
    {1, "N14", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miColoringMask", "Coloring mask", NoKey, ifMenu, &F::miColoringMask, &F::miColoringMaskClick},
    {2, "miProtectColor", "Protect color", NoKey, ifCheck, &F::miProtectColor, &F::miProtectColorClick},
    {2, "miPaintOverColor", "Paint over color", NoKey, ifCheck, &F::miPaintOverColor, &F::miPaintOverColorClick},
    {2, "N15", nullptr, NoKey, 0, nullptr, nullptr},
    {2, "miCancelMask", "Cancel mask", NoKey, 0, &F::miCancelMask, &F::miCancelMaskClick},
    {2, "N16", nullptr, NoKey, 0, nullptr, nullptr},
    {2, "miAutoMask", "Auto mask", NoKey, ifCheck, &F::miAutoMask, &F::miAutoMaskClick},
    {2, "N17", nullptr, NoKey, 0, nullptr, nullptr},
    {2, "miViewmask", "View mask", Qt::CTRL | Qt::SHIFT | Qt::Key_V, ifHidden, &F::miViewmask, &F::miViewmaskClick},

    {0, "miOptions", "Options", NoKey, ifMenu, &F::miOptions, &F::miOptionsClick},
    {1, "miLanguage", "Language", NoKey, ifMenu, &F::miLanguage, nullptr},
    {1, "N18", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miPreciseBrush", "Precise brush", Qt::CTRL | Qt::Key_B, ifCheck, &F::miPreciseBrush,
     &F::miPreciseBrushClick},
    {1, "miSmoothStrokes", "Smooth strokes", Qt::CTRL | Qt::SHIFT | Qt::Key_A, ifCheck, &F::miSmoothStrokes,
     &F::miSmoothStrokesClick},
    {1, "miRainbowCopies", "Rainbow copies", Qt::CTRL | Qt::SHIFT | Qt::Key_R, ifCheck, &F::miRainbowCopies,
     &F::miRainbowCopiesClick},
    {1, "miBrushSettings", "Brush settings...", Qt::CTRL | Qt::ALT | Qt::Key_B, 0, &F::miBrushSettings,
     &F::miBrushSettingsClick},
    {1, "miFillTolerance", "Fill tolerance...", NoKey, 0, &F::miFillTolerance, &F::miFillToleranceClick},
    {1, "miFillSampleAll", "Fill samples all layers", NoKey, ifCheck, &F::miFillSampleAll,
     &F::miFillSampleAllClick},
    {1, "miPatternSettings", "Pattern...", Qt::CTRL | Qt::ALT | Qt::Key_P, 0, &F::miPatternSettings,
     &F::miPatternSettingsClick},
    {1, "N19", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miSaveToolbarsLocations", "Save toolbars locations", NoKey, 0, &F::miSaveToolbarsLocations,
     &F::miSaveToolbarsLocationsClick},
    {1, "miRestoreDefaultToolbarsLocations", "Restore default toolbars locations", NoKey, 0,
     &F::miRestoreDefaultToolbarsLocations, &F::miRestoreDefaultToolbarsLocationsClick},

    {0, "miWindows", "Windows", NoKey, ifMenu, &F::miWindows, &F::miWindowsClick},
    {1, "miVisibility", "Visibility", Qt::CTRL | Qt::Key_Tab, ifCheck, &F::miVisibility, &F::miVisibilityClick},
    {1, "miLayersWindow", "Layers", NoKey, ifCheck, &F::miLayersWindow, &F::miLayersWindowClick},

    {0, "N8", "?", NoKey, ifMenu, &F::N8, nullptr},
    {1, "miHelp", "Help (online)", Qt::Key_F1, 0, &F::miHelp, &F::miHelpClick},
    {1, "N20", nullptr, NoKey, 0, nullptr, nullptr},
    {1, "miAbout", "About", NoKey, 0, &F::miAbout, &F::miAboutClick},
};

QSize PictureSize(const TVelmoraCanvas &canvas)
{
    return QSize(canvas.PictureWidth(), canvas.PictureHeight());
}

bool IsTextField(const QWidget *w)
{
    return qobject_cast<const QLineEdit *>(w) || qobject_cast<const QAbstractSpinBox *>(w);
}

// Leaves a key without Ctrl, Alt or Meta that types a character (or deletes
// one) to a focused spin edit or text field, so that the single-key
// shortcuts do not fire while the user types a number.
class TTextFieldKeyGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride || !IsTextField(QApplication::focusWidget()))
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const bool typing = !key->text().isEmpty() && key->text().at(0).isPrint();
        if (!typing && key->key() != Qt::Key_Delete)
            return false;
        event->accept();
        return true;
    }
};

} // namespace

QString HelpAddress()
{
    const QString link = MLAppValue(QStringLiteral("HelpLink"));
    return link.isEmpty() ? QString::fromLatin1(BuiltInHelpAddress) : link;
}

void TfrmMainForm::CreateMainMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    std::array<QMenu *, 2> menus{};
    for (const TMenuRow &row : MenuRows) {
        QMenu *parent = row.Level > 0 ? menus[row.Level - 1] : nullptr;
        if (!row.Caption) {
            parent->addSeparator()->setObjectName(QLatin1String(row.Name));
            continue;
        }
        const QString caption = QString::fromLatin1(row.Caption);
        if (row.Flags & ifMenu) {
            QMenu *menu = parent ? parent->addMenu(caption) : bar->addMenu(caption);
            menu->setObjectName(QLatin1String(row.Name));
            menu->menuAction()->setObjectName(QLatin1String(row.Name));
            this->*row.Field = menu->menuAction();
            if (row.Handler)
                connect(menu, &QMenu::aboutToShow, this, [this, h = row.Handler, menu] { (this->*h)(menu); });
            if (row.Level < int(menus.size()))
                menus[row.Level] = menu;
            continue;
        }
        auto *item = new QAction(caption, this);
        item->setObjectName(QLatin1String(row.Name));
        if (row.Key.key() != Qt::Key_unknown)
            item->setShortcut(QKeySequence(row.Key));
        item->setCheckable(row.Flags & ifCheck);
        item->setChecked(row.Flags & ifChecked);
        connect(item, &QAction::triggered, this, [this, h = row.Handler, item] { (this->*h)(item); });
        // A hidden item belongs to the window, which keeps its shortcut
        // working without showing it in any menu.
        if (row.Flags & ifHidden)
            addAction(item);
        else
            parent->addAction(item);
        this->*row.Field = item;
    }
    // Ctrl++ is Ctrl+= with Shift on most keyboards and Ctrl+Plus on the
    // keypad; both zoom in.
    miZoomIn->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus)});
    miRecentFiles->menu()->setToolTipsVisible(true);
    UpdateRecentFilesMenu();
    qApp->installEventFilter(new TTextFieldKeyGuard(this));
}

void TfrmMainForm::miViewClick(QObject *)
{
    miShadow->setChecked(canvas->Shadow);
    miShowCenterPoints->setChecked(canvas->ShowCenterPoints);
    miShowDrawingPoints->setChecked(canvas->ShowDrawingPoints);
    miShowGrid->setChecked(canvas->ShowGrid);
}

// All five tool items follow the current tool, so that an item checked by
// its own click never keeps a stale mark.
void TfrmMainForm::miToolsClick(QObject *)
{
    miVisibility->setChecked(frmTools && frmTools->isVisible());
    const std::array<QAction *, 5> tools{miMovePoints, miBrush, miEraser, miPickupColor, miPaintBucket};
    for (std::size_t t = 0; t < tools.size(); ++t)
        tools[t]->setChecked(std::size_t(canvas->Tool) == t);
    const std::array<QAction *, 7> modes{miNoReflections, miPrimary,  miMirrorPrimary, miSecondary,
                                         miVertical,      miHorizontal, miPattern};
    for (std::size_t m = 0; m < modes.size(); ++m)
        modes[m]->setChecked(std::size_t(canvas->ReflectionMode) == m);
}

void TfrmMainForm::miColoringMaskClick(QObject *)
{
    miProtectColor->setChecked(canvas->ColoringMode == cmProtectColor);
    miPaintOverColor->setChecked(canvas->ColoringMode == cmPaintOverColor);
    miAutoMask->setChecked(canvas->AutoMask);
}

void TfrmMainForm::miOptionsClick(QObject *)
{
    miPreciseBrush->setChecked(canvas->PreciseBrush);
    miSmoothStrokes->setChecked(canvas->SmoothStrokes);
    miRainbowCopies->setChecked(canvas->RainbowCopies);
    miFillSampleAll->setChecked(canvas->FillSampleAll);
}

void TfrmMainForm::miWindowsClick(QObject *)
{
    miVisibility->setChecked(frmTools && frmTools->isVisible());
    miLayersWindow->setChecked(frmLayers && frmLayers->isVisible());
}

// The page turns with the picture; the user may still turn it in the
// dialog.
void TfrmMainForm::miPrintClick(QObject *)
{
    const QImage picture = PictureAsSaved();
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(PrintOrientation(picture.size()));
    QPrintDialog dialog(&printer, this);
    if (ExecutePrintDialog(dialog))
        PrintPicture(printer, picture);
}

void TfrmMainForm::miExitClick(QObject *)
{
    close();
}

void TfrmMainForm::miUndoClick(QObject *)
{
    canvas->Undo();
}

void TfrmMainForm::miRedoClick(QObject *)
{
    canvas->Redo();
}

void TfrmMainForm::miCopyClick(QObject *)
{
    canvas->CopyToClipboard();
}

// The clipboard's image lands where the user looks; without one nothing
// happens.
void TfrmMainForm::miPasteClick(QObject *)
{
    canvas->PasteAsLayer(QGuiApplication::clipboard()->image(), VisiblePictureTopLeft());
}

void TfrmMainForm::miShowCenterPointsClick(QObject *)
{
    canvas->SetShowCenterPoints(!canvas->ShowCenterPoints);
}

void TfrmMainForm::miShowDrawingPointsClick(QObject *)
{
    canvas->SetShowDrawingPoints(!canvas->ShowDrawingPoints);
}

void TfrmMainForm::miShowGridClick(QObject *)
{
    canvas->SetShowGrid(!canvas->ShowGrid);
}

void TfrmMainForm::miShadowClick(QObject *)
{
    canvas->SetShadow(!canvas->Shadow);
}

void TfrmMainForm::miZoomInClick(QObject *)
{
    ZoomView->ZoomIn();
}

void TfrmMainForm::miZoomOutClick(QObject *)
{
    ZoomView->ZoomOut();
}

void TfrmMainForm::miActualSizeClick(QObject *)
{
    ZoomView->ActualSize();
}

void TfrmMainForm::miFitToWindowClick(QObject *)
{
    ZoomView->FitToWindow();
}

void TfrmMainForm::miClearClick(QObject *)
{
    canvas->Clear(canvas->SecondColor);
    canvas->SetColoringMode(cmNone);
    if (!frmTools)
        return;
    frmTools->bColoringProtectColor->setChecked(false);
    frmTools->bColoringPaintOverColor->setChecked(false);
}

void TfrmMainForm::miInvertImageClick(QObject *)
{
    canvas->InvertPicture();
}

void TfrmMainForm::miGrayscaleImageClick(QObject *)
{
    canvas->GrayscalePicture();
}

void TfrmMainForm::ResizePicture(int width, int height)
{
    canvas->SetCanvasSize(width, height, false, false);
    FitCanvas();
    if (frmTools)
        frmTools->SyncColoringButtons();
    KeepPatternWithinLimit();
    UpdateStatusBar();
}

void TfrmMainForm::miCanvasSizeClick(QObject *)
{
    int width = canvas->PictureWidth(), height = canvas->PictureHeight();
    if (ExecuteCanvasSizeDialog(MLString(siChangeCanvasSize), width, height))
        ResizePicture(width, height);
}

// The picture becomes whole cells and the lattice goes through its corners.
void TfrmMainForm::miFitCanvasToPatternClick(QObject *)
{
    const TPattern &pattern = canvas->Pattern();
    if (!CanFitCanvas(pattern))
        return;
    const QSize fitted = FittedCanvasSize(pattern, PictureSize(*canvas));
    ResizePicture(fitted.width(), fitted.height());
    canvas->SetMasterCenter(FittedMasterCenter(canvas->Pattern(), fitted));
}

// Tools are chosen through the toolbox so that toolbox and canvas agree:
// the button goes down, then its click handler runs.
void TfrmMainForm::PressToolButton(QToolButton *TfrmTools::*button, void (TfrmTools::*click)(QObject *))
{
    if (!frmTools)
        return;
    (frmTools->*button)->setChecked(true);
    (frmTools->*click)(nullptr);
}

void TfrmMainForm::miMovePointsClick(QObject *)
{
    PressToolButton(&TfrmTools::bMove, &TfrmTools::bMoveClick);
}

void TfrmMainForm::miBrushClick(QObject *)
{
    PressToolButton(&TfrmTools::bBrush, &TfrmTools::bBrushClick);
}

void TfrmMainForm::miEraserClick(QObject *)
{
    PressToolButton(&TfrmTools::bEraser, &TfrmTools::bEraserClick);
}

void TfrmMainForm::miPickupColorClick(QObject *)
{
    PressToolButton(&TfrmTools::bEyeDrop, &TfrmTools::bEyeDropClick);
}

void TfrmMainForm::miPaintBucketClick(QObject *)
{
    PressToolButton(&TfrmTools::bPaintBucket, &TfrmTools::bPaintBucketClick);
}

QToolButton *TfrmMainForm::ReflectionButtonFor(QObject *item) const
{
    const std::array<std::pair<QAction *, QToolButton *>, 7> map{{
        {miNoReflections, frmTools->bNoRef},
        {miPrimary, frmTools->bPrimaryRef},
        {miMirrorPrimary, frmTools->bMirrorRef},
        {miSecondary, frmTools->bSecondary},
        {miVertical, frmTools->bVertRef},
        {miHorizontal, frmTools->bHorizRef},
        {miPattern, frmTools->bPattern},
    }};
    for (const auto &[action, button] : map) {
        if (item == action)
            return button;
    }
    return nullptr;
}

void TfrmMainForm::miHorizontalClick(QObject *Sender)
{
    if (!frmTools)
        return;
    if (QToolButton *button = ReflectionButtonFor(Sender))
        frmTools->bNoRefClick(button);
    frmTools->SyncReflectionButtons();
}

// One spin step on the size of the current tool; other tools have no size.
void TfrmMainForm::StepToolSize(int delta)
{
    if (!frmTools)
        return;
    if (canvas->Tool == ctBrush) {
        frmTools->eBrush->SetValue(frmTools->eBrush->Value() + delta);
        frmTools->eBrushChange();
    } else if (canvas->Tool == ctEraser) {
        frmTools->eEraser->SetValue(frmTools->eEraser->Value() + delta);
        frmTools->eEraserChange();
    }
}

void TfrmMainForm::miIncreaseSizeClick(QObject *)
{
    StepToolSize(+1);
}

void TfrmMainForm::miDecreaseSizeClick(QObject *)
{
    StepToolSize(-1);
}

void TfrmMainForm::miMasterColorClick(QObject *)
{
    if (frmPalette)
        frmPalette->ChooseBrushColor();
}

void TfrmMainForm::miSecondColorClick(QObject *)
{
    if (frmPalette)
        frmPalette->ChooseEraserColor();
}

void TfrmMainForm::miBlackWhiteClick(QObject *)
{
    if (frmPalette)
        frmPalette->SelectBlackAndWhite();
}

void TfrmMainForm::miSwapClick(QObject *)
{
    if (frmPalette)
        frmPalette->SwapColors();
}

void TfrmMainForm::miAddCircleClick(QObject *)
{
    canvas->AddCircle();
}

void TfrmMainForm::miDrawPolygonClick(QObject *)
{
    canvas->DrawPolygon(false);
}

void TfrmMainForm::miDrawStarClick(QObject *)
{
    canvas->DrawPolygon(true);
}

void TfrmMainForm::SetColoringMode(int mode)
{
    canvas->SetColoringMode(TColoringMode(mode));
    if (frmTools)
        frmTools->SyncColoringButtons();
}

void TfrmMainForm::miProtectColorClick(QObject *)
{
    SetColoringMode(cmProtectColor);
}

void TfrmMainForm::miPaintOverColorClick(QObject *)
{
    SetColoringMode(cmPaintOverColor);
}

void TfrmMainForm::miCancelMaskClick(QObject *)
{
    SetColoringMode(cmNone);
}

void TfrmMainForm::miAutoMaskClick(QObject *)
{
    canvas->SetAutoMask(!canvas->AutoMask);
    if (frmTools)
        frmTools->SyncColoringButtons();
}

// Shows the mask, white where the picture is protected, while a mode is set.
void TfrmMainForm::miViewmaskClick(QObject *)
{
    if (canvas->ColoringMode == cmNone)
        return;
    QImage mask;
    canvas->AssignMaskTo(mask);
    ShowImageView(mask);
}

void TfrmMainForm::miPreciseBrushClick(QObject *)
{
    canvas->SetPreciseBrush(!canvas->PreciseBrush);
}

void TfrmMainForm::miSmoothStrokesClick(QObject *)
{
    canvas->SetSmoothStrokes(!canvas->SmoothStrokes);
}

void TfrmMainForm::miRainbowCopiesClick(QObject *)
{
    canvas->SetRainbowCopies(!canvas->RainbowCopies);
}

void TfrmMainForm::miBrushSettingsClick(QObject *)
{
    TBrushSettings settings{canvas->BrushOpacity, canvas->BrushHardness, canvas->Stabilizer};
    if (!ExecuteBrushSettingsDialog(settings))
        return;
    canvas->SetBrushOpacity(settings.Opacity);
    canvas->SetBrushHardness(settings.Hardness);
    canvas->SetStabilizer(settings.Stabilizer);
}

void TfrmMainForm::miFillToleranceClick(QObject *)
{
    int tolerance = canvas->FillTolerance;
    if (ExecuteFillToleranceDialog(tolerance))
        canvas->SetFillTolerance(tolerance);
}

void TfrmMainForm::miFillSampleAllClick(QObject *)
{
    canvas->FillSampleAll = !canvas->FillSampleAll;
}

void TfrmMainForm::miPatternSettingsClick(QObject *)
{
    TPattern pattern = canvas->Pattern();
    if (!ExecutePatternDialog(pattern, PictureSize(*canvas)))
        return;
    canvas->SetPattern(pattern);
    UpdatePatternItems();
}

void TfrmMainForm::UpdatePatternItems()
{
    const bool pattern = canvas->ReflectionMode == rmPattern;
    miDrawPolygon->setEnabled(!pattern);
    miDrawStar->setEnabled(!pattern);
    miFitCanvasToPattern->setEnabled(CanFitCanvas(canvas->Pattern()));
}

void TfrmMainForm::KeepPatternWithinLimit()
{
    const TPattern allowed = SmallestAllowedPattern(canvas->Pattern(), PictureSize(*canvas));
    if (allowed == canvas->Pattern())
        return;
    canvas->SetPattern(allowed);
    UpdatePatternItems();
    statusBar()->showMessage(MLString(siPatternGrown).replace(QLatin1String("%s"), PatternCellText(allowed)),
                             PatternGrownShowTime);
}

// The tool windows are shown or hidden together, following the toolbox
// whatever their own states were; the Layers window comes along when the
// user wants it.
void TfrmMainForm::miVisibilityClick(QObject *)
{
    if (!frmTools)
        return;
    const bool visible = !frmTools->isVisible();
    for (TToolWindow *w : ToolWindows()) {
        if (w)
            w->setVisible(visible && (w != frmLayers || frmLayers->Wanted.value_or(false)));
    }
}

// Shows or hides the Layers window alone.
void TfrmMainForm::miLayersWindowClick(QObject *)
{
    if (!frmLayers)
        return;
    frmLayers->Wanted = !frmLayers->isVisible();
    frmLayers->setVisible(*frmLayers->Wanted);
}

void TfrmMainForm::miHelpClick(QObject *)
{
    OpenWithShell(HelpAddress());
}

void TfrmMainForm::miAboutClick(QObject *)
{
    ShowAboutBox();
}
