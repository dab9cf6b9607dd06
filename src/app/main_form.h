#pragma once

#include "app/recent_files.h"
#include "codecs/image_layer.h"
#include "codecs/recovery_png.h"

#include <QMainWindow>
#include <QSet>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QFileDialog;
class QLabel;
class QMenu;
class QPrintDialog;
class QScrollArea;
class QToolButton;
class TfrmTools;
class TMultiLangForm;
class TRecoveryAutosave;
class TZoomView;
class TVelmoraCanvas;

// The program's frame: the canvas in a scroll box, the status bar with the
// picture size, file name and zoom, the menu, and the handlers of the canvas's
// notifications. The menu lives in main_menu.cpp.
// A recovery copy's layers: one flat picture, or every layer.
struct TRecoveredPicture {
    std::vector<TImageLayer> Layers;
    bool Layered = false;
};

class TfrmMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit TfrmMainForm(QWidget *parent = nullptr);
    ~TfrmMainForm() override;

    TVelmoraCanvas *Canvas() const { return canvas; }
    TZoomView *Zoom() const { return ZoomView; }

    void FitCanvas();
    void UpdateStatusBar();
    QString StatusText(int panel) const;

    // Canvas notification handlers.
    void CanvasToolChanged(TVelmoraCanvas *sender);
    void CanvasColorPicked(TVelmoraCanvas *sender);
    void CanvasHistoryChanged(TVelmoraCanvas *sender, bool canUndo, bool canRedo);
    // The Layers window, the Layer menu and the status bar follow the
    // layers; the window shows itself with the picture's second layer.
    void CanvasLayersChanged(TVelmoraCanvas *sender);

    bool FormCloseQuery();
    // Start-up once the window shows; arguments are the command line's.
    void FormShow(const QStringList &arguments);
    // Translates the long-lived windows after a language selection.
    void LanguageChanged();

    // Settings store (settings.cpp).
    void LoadSettings();
    void SaveSettings();
    void RestoreToolbarsLocations();

    // File commands (image_files.cpp).
    void OpenImage(const QString &name);
    void OpenFromCommandLine(const QStringList &arguments);
    QString GetInitialFolder() const;
    // The picture as Save would write it, also what Print prints.
    QImage PictureAsSaved() const;

    // Recovery copies (recovery_restore.cpp). Offers the copies that ended
    // instances left, newest first; true when one became the picture.
    bool RestoreRecoveryCopy();
    TRecoveryAutosave *Autosave = nullptr;

    // Menu commands (main_menu.cpp). New, Open, Save, Copy, Undo and Redo
    // are also called by the commands bar, without a sender.
    void miNewClick(QObject *Sender = nullptr);
    void miOpenClick(QObject *Sender = nullptr);
    void miSaveClick(QObject *Sender = nullptr);
    void miSaveAsClick(QObject *Sender = nullptr);
    void miClearRecentFilesClick(QObject *Sender = nullptr);
    void miPrintClick(QObject *Sender = nullptr);
    void miExitClick(QObject *Sender = nullptr);
    void miUndoClick(QObject *Sender = nullptr);
    void miRedoClick(QObject *Sender = nullptr);
    void miCopyClick(QObject *Sender = nullptr);
    void miPasteClick(QObject *Sender = nullptr);
    void miShowCenterPointsClick(QObject *Sender = nullptr);
    void miShowDrawingPointsClick(QObject *Sender = nullptr);
    void miShowGridClick(QObject *Sender = nullptr);
    void miShadowClick(QObject *Sender = nullptr);
    void miZoomInClick(QObject *Sender = nullptr);
    void miZoomOutClick(QObject *Sender = nullptr);
    void miActualSizeClick(QObject *Sender = nullptr);
    void miFitToWindowClick(QObject *Sender = nullptr);
    void miClearClick(QObject *Sender = nullptr);
    void miInvertImageClick(QObject *Sender = nullptr);
    void miGrayscaleImageClick(QObject *Sender = nullptr);
    void miCanvasSizeClick(QObject *Sender = nullptr);
    void miFitCanvasToPatternClick(QObject *Sender = nullptr);
    // Layer menu (layer_menu.cpp).
    void miNewLayerClick(QObject *Sender = nullptr);
    void miDuplicateLayerClick(QObject *Sender = nullptr);
    void miDeleteLayerClick(QObject *Sender = nullptr);
    void miRaiseLayerClick(QObject *Sender = nullptr);
    void miLowerLayerClick(QObject *Sender = nullptr);
    void miLayerAboveClick(QObject *Sender = nullptr);
    void miLayerBelowClick(QObject *Sender = nullptr);
    void miToggleLayerClick(QObject *Sender = nullptr);
    void miLayerPropertiesClick(QObject *Sender = nullptr);
    void miMergeDownClick(QObject *Sender = nullptr);
    void miFlattenClick(QObject *Sender = nullptr);
    void miMovePointsClick(QObject *Sender = nullptr);
    void miBrushClick(QObject *Sender = nullptr);
    void miEraserClick(QObject *Sender = nullptr);
    void miPickupColorClick(QObject *Sender = nullptr);
    void miPaintBucketClick(QObject *Sender = nullptr);
    // Shared by the seven Reflections items; the sender tells the mode.
    void miHorizontalClick(QObject *Sender);
    void miIncreaseSizeClick(QObject *Sender = nullptr);
    void miDecreaseSizeClick(QObject *Sender = nullptr);
    void miMasterColorClick(QObject *Sender = nullptr);
    void miSecondColorClick(QObject *Sender = nullptr);
    void miBlackWhiteClick(QObject *Sender = nullptr);
    void miSwapClick(QObject *Sender = nullptr);
    void miAddCircleClick(QObject *Sender = nullptr);
    void miDrawPolygonClick(QObject *Sender = nullptr);
    void miDrawStarClick(QObject *Sender = nullptr);
    void miProtectColorClick(QObject *Sender = nullptr);
    void miPaintOverColorClick(QObject *Sender = nullptr);
    void miCancelMaskClick(QObject *Sender = nullptr);
    void miAutoMaskClick(QObject *Sender = nullptr);
    void miViewmaskClick(QObject *Sender = nullptr);
    void miPreciseBrushClick(QObject *Sender = nullptr);
    void miSmoothStrokesClick(QObject *Sender = nullptr);
    void miRainbowCopiesClick(QObject *Sender = nullptr);
    void miBrushSettingsClick(QObject *Sender = nullptr);
    void miFillToleranceClick(QObject *Sender = nullptr);
    void miFillSampleAllClick(QObject *Sender = nullptr);
    void miPatternSettingsClick(QObject *Sender = nullptr);
    void miSaveToolbarsLocationsClick(QObject *Sender = nullptr);
    void miRestoreDefaultToolbarsLocationsClick(QObject *Sender = nullptr);
    void miVisibilityClick(QObject *Sender = nullptr);
    void miLayersWindowClick(QObject *Sender = nullptr);
    void miHelpClick(QObject *Sender = nullptr);
    void miAboutClick(QObject *Sender = nullptr);

    // The items that depend on the reflection mode or the pattern follow
    // them: Draw polygon and Draw star join rotations about one centre,
    // which Pattern mode does not have, and only a rectangular or square
    // lattice can fit the canvas.
    void UpdatePatternItems();

    // Check mark refreshes, run when their menu opens.
    void miViewClick(QObject *Sender = nullptr);
    void miToolsClick(QObject *Sender = nullptr);
    void miColoringMaskClick(QObject *Sender = nullptr);
    void miOptionsClick(QObject *Sender = nullptr);
    void miWindowsClick(QObject *Sender = nullptr);

    QString CurrentFileName;
    int CurrentFormat = 1;
    // The file as it was last read or written here, carried by the recovery
    // copies. A restored name whose file no longer is what the lost instance
    // saw is stale: Save asks for a name instead of overwriting it.
    TFileStamp FileStamp;
    bool StaleFileName = false;

    QFileDialog *OpenDlg = nullptr;
    QFileDialog *SaveDlg = nullptr;
    // Runs a file dialog modally; true when the user confirmed it.
    // Replaceable for tests.
    std::function<bool(QFileDialog &)> ExecuteFileDialog;
    // Runs the print dialog modally; true when the user chose to print.
    // Replaceable for tests.
    std::function<bool(QPrintDialog &)> ExecutePrintDialog;
    // Asks a Yes/No question; true for Yes. With noByDefault, No is the
    // answer of Enter as well as of Esc. Replaceable for tests.
    std::function<bool(const QString &, bool noByDefault)> AskYesNo;

    // The menu items. A submenu's field is its menu action; its menu() is
    // the submenu itself. Every item also carries its name as objectName.
    QAction *miFile = nullptr;
    QAction *miNew = nullptr;
    QAction *miOpen = nullptr;
    QAction *miRecentFiles = nullptr;
    QAction *miClearRecentFiles = nullptr;
    QAction *miSave = nullptr;
    QAction *miSaveAs = nullptr;
    QAction *miPrint = nullptr;
    QAction *miExit = nullptr;
    QAction *miEdit = nullptr;
    QAction *miUndo = nullptr;
    QAction *miRedo = nullptr;
    QAction *miCopy = nullptr;
    QAction *miPaste = nullptr;
    QAction *miView = nullptr;
    QAction *miShowCenterPoints = nullptr;
    QAction *miShowDrawingPoints = nullptr;
    QAction *miShowGrid = nullptr;
    QAction *miShadow = nullptr;
    QAction *miZoomIn = nullptr;
    QAction *miZoomOut = nullptr;
    QAction *miActualSize = nullptr;
    QAction *miFitToWindow = nullptr;
    QAction *miImage = nullptr;
    QAction *miClear = nullptr;
    QAction *miInvertImage = nullptr;
    QAction *miGrayscaleImage = nullptr;
    QAction *miCanvasSize = nullptr;
    QAction *miFitCanvasToPattern = nullptr;
    QAction *miLayer = nullptr;
    QAction *miNewLayer = nullptr;
    QAction *miDuplicateLayer = nullptr;
    QAction *miDeleteLayer = nullptr;
    QAction *miRaiseLayer = nullptr;
    QAction *miLowerLayer = nullptr;
    QAction *miLayerAbove = nullptr;
    QAction *miLayerBelow = nullptr;
    QAction *miToggleLayer = nullptr;
    QAction *miLayerProperties = nullptr;
    QAction *miMergeDown = nullptr;
    QAction *miFlatten = nullptr;
    QAction *miTools = nullptr;
    QAction *miMovePoints = nullptr;
    QAction *miBrush = nullptr;
    QAction *miEraser = nullptr;
    QAction *miPickupColor = nullptr;
    QAction *miPaintBucket = nullptr;
    QAction *miReflections = nullptr;
    QAction *miNoReflections = nullptr;
    QAction *miPrimary = nullptr;
    QAction *miMirrorPrimary = nullptr;
    QAction *miSecondary = nullptr;
    QAction *miVertical = nullptr;
    QAction *miHorizontal = nullptr;
    QAction *miPattern = nullptr;
    QAction *miIncreaseSize = nullptr;
    QAction *miDecreaseSize = nullptr;
    QAction *Palette1 = nullptr;
    QAction *miMasterColor = nullptr;
    QAction *miSecondColor = nullptr;
    QAction *miBlackWhite = nullptr;
    QAction *miSwap = nullptr;
    QAction *miEffects = nullptr;
    QAction *miAddCircle = nullptr;
    QAction *miDrawPolygon = nullptr;
    QAction *miDrawStar = nullptr;
    QAction *miColoringMask = nullptr;
    QAction *miProtectColor = nullptr;
    QAction *miPaintOverColor = nullptr;
    QAction *miCancelMask = nullptr;
    QAction *miAutoMask = nullptr;
    QAction *miViewmask = nullptr;
    QAction *miOptions = nullptr;
    QAction *miLanguage = nullptr;
    QAction *miPreciseBrush = nullptr;
    QAction *miSmoothStrokes = nullptr;
    QAction *miRainbowCopies = nullptr;
    QAction *miBrushSettings = nullptr;
    QAction *miFillTolerance = nullptr;
    QAction *miFillSampleAll = nullptr;
    QAction *miPatternSettings = nullptr;
    QAction *miSaveToolbarsLocations = nullptr;
    QAction *miRestoreDefaultToolbarsLocations = nullptr;
    QAction *miWindows = nullptr;
    QAction *miVisibility = nullptr;
    QAction *miLayersWindow = nullptr;
    QAction *N8 = nullptr;
    QAction *miHelp = nullptr;
    QAction *miAbout = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // An image file dropped on the window opens as Open would open it.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void CreateStatusBar();
    void CreateScrollBox();
    void CreateMainMenu();
    void CreateFileDialogs();
    bool RunFileDialog(QFileDialog &dialog, int &format);
    void LoadImageFile(const QString &name, int format);
    // Layered, the layers keep their names, visibility and opacity;
    // otherwise the one layer is taken as a flat picture is.
    void TakePicture(std::vector<TImageLayer> layers, bool layered, const QString &name, int format);
    void WriteImageFile(const QString &name, int format);
    bool ConfirmMergedOnly(const QString &fileName);
    bool ConfirmDiscard();
    void RememberRecentFile(const QString &fileName);
    void UpdateRecentFilesMenu();
    void OpenRecentFile(const QString &fileName);
    void MarkFileState();
    enum TRestoreAnswer { raYes, raNo, raLater };
    TRestoreAnswer AskRecoveryRestore(const QString &copyPath);
    void ReportUnreadableRecovery(const QString &copyPath, const QString &keptPath);
    void LoadRecoveredPicture(TRecoveredPicture picture, const TRecoveryInfo &info, const QString &copyPath);
    QMenu *AddSubmenu(QMenu *parent, const char *name, const QString &caption);
    QToolButton *ReflectionButtonFor(QObject *item) const;
    void PressToolButton(QToolButton *TfrmTools::*button, void (TfrmTools::*click)(QObject *));
    void StepToolSize(int delta);
    void SetColoringMode(int mode);
    // Canvas size and Fit canvas to pattern: the picture keeps its pixels at
    // the top-left and its file name.
    void ResizePicture(int width, int height);
    // A picture that grew may need more copies than the cell allows: the
    // cell grows to the smallest allowed and the status bar says so.
    void KeepPatternWithinLimit();
    void UpdateLayerItems();
    QPoint VisiblePictureTopLeft() const;

    QScrollArea *ScrollBox = nullptr;
    QLabel *StatusPanels[4] = {};
    TVelmoraCanvas *canvas = nullptr;
    TZoomView *ZoomView = nullptr;
    bool Shown = false;
    // The picture's state key when it last matched its file, or a new
    // picture: New itself sets Modified, so that flag cannot tell.
    qint64 FileStateKey = 0;
    // The names a layered picture was saved under in a flat format: the
    // user was told once that only the merged picture goes there.
    QSet<QString> MergedOnlyNames;
    TRecentFiles RecentFiles;
    std::unique_ptr<TMultiLangForm> Translator;
};
