#pragma once

#include "engine/canvas_types.h"
#include "tools/tool_window.h"

#include <array>

class QButtonGroup;
class QLabel;
class QToolButton;
class TSpinEdit;

// The toolbox: selects the canvas's tool, reflection mode, reflection
// counts, brush and eraser sizes and coloring mode. It keeps no state of its
// own; every control shows a canvas property and writes changes straight
// into the canvas, and every button hands the keyboard focus back to the
// canvas so that its keys keep working.
class TfrmTools : public TToolWindow {
    Q_OBJECT

public:
    TfrmTools(TVelmoraCanvas *canvas, QWidget *parent);

    // Tool buttons; they ignore the sender, so the main window calls them
    // without one after pressing the button itself.
    void bMoveClick(QObject *Sender = nullptr);
    void bBrushClick(QObject *Sender = nullptr);
    void bEraserClick(QObject *Sender = nullptr);
    void bEyeDropClick(QObject *Sender = nullptr);
    void bPaintBucketClick(QObject *Sender = nullptr);
    // Shared by the seven reflection buttons; the sender tells the mode.
    void bNoRefClick(QObject *Sender);

    void eMasterRefChange(QObject *Sender = nullptr);
    void eSecondRefChange(QObject *Sender = nullptr);
    void eBrushChange(QObject *Sender = nullptr);
    void eEraserChange(QObject *Sender = nullptr);
    // Shared by the four spin edits: Enter gives the canvas the focus.
    void eMasterRefKeyDown(QObject *Sender, int Key);

    void bColoringProtectColorClick(QObject *Sender = nullptr);
    void bAutoMaskClick(QObject *Sender = nullptr);

    // Called by the main window whenever the canvas changed behind the
    // toolbox's back. Pressing buttons here runs no click handler.
    void SyncReflectionButtons();
    void SyncColoringButtons();
    void SyncBrushSize();
    void SyncSpinEdits();

    QLabel *Label4 = nullptr;
    QToolButton *bMove = nullptr;
    QToolButton *bBrush = nullptr;
    QToolButton *bEraser = nullptr;
    QToolButton *bEyeDrop = nullptr;
    QToolButton *bPaintBucket = nullptr;
    QLabel *Label1 = nullptr;
    QToolButton *bNoRef = nullptr;
    QToolButton *bPrimaryRef = nullptr;
    QToolButton *bMirrorRef = nullptr;
    QToolButton *bSecondary = nullptr;
    QToolButton *bVertRef = nullptr;
    QToolButton *bHorizRef = nullptr;
    QToolButton *bPattern = nullptr;
    QLabel *Label7 = nullptr;
    QLabel *Label8 = nullptr;
    TSpinEdit *eMasterRef = nullptr;
    TSpinEdit *eSecondRef = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label5 = nullptr;
    QLabel *Label6 = nullptr;
    TSpinEdit *eBrush = nullptr;
    TSpinEdit *eEraser = nullptr;
    QLabel *Label3 = nullptr;
    QToolButton *bColoringProtectColor = nullptr;
    QToolButton *bColoringPaintOverColor = nullptr;
    QToolButton *bAutoMask = nullptr;

signals:
    // A reflection button was clicked (or its menu item chosen): what
    // depends on the mode elsewhere follows it.
    void ReflectionModeChosen();

protected:
    QPoint DefaultFramePosition(const QRect &workArea, int frameWidth) const override;

private:
    void SelectTool(TCanvasTool tool);
    void CreateToolControls();
    void CreateReflectionControls();
    void CreateCountControls();
    void CreateSizeControls();
    void CreateColoringControls();
    void ConnectHandlers();
    QToolButton *CreateButton(const char *name, int left, int top, const QString &hint, const QString &glyph);
    QLabel *CreateLabel(const char *name, int left, int top, const QString &caption, bool bold, int pixelSize);
    TSpinEdit *CreateSpinEdit(const char *name, int left, int top, int minValue, int maxValue, const QString &hint,
                              int value);
    void ColoringButtonClicked(QToolButton *clicked);
    // The reflection buttons in the order of the modes they select.
    std::array<QToolButton *, 7> ModeButtons() const;

    QButtonGroup *ToolGroup = nullptr;
    QButtonGroup *ReflectionGroup = nullptr;
};
