#pragma once

#include "engine/canvas_types.h"
#include "tools/tool_window.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class QColorDialog;
class QFrame;
class QMouseEvent;
class TShPanel;

// A rectangle filled with one colour, optionally outlined by a one-pixel
// line. The fill is kept as our colour value so that it reads back exactly.
class TPaletteShape : public QWidget {
    Q_OBJECT

public:
    using TMouseHandler = std::function<void(TPaletteShape *, QMouseEvent *)>;

    explicit TPaletteShape(QWidget *parent = nullptr);

    TColor Fill() const { return FFill; }
    void SetFill(TColor c);
    void SetOutline(std::optional<TColor> c);

    TMouseHandler OnMouseDown;
    TMouseHandler OnMouseMove;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    TColor FFill = clWhite;
    std::optional<TColor> FOutline;
};

// A picture drawn at the top-left corner, transparent where the picture is,
// reporting its mouse messages to handlers.
class TPictureControl : public QWidget {
    Q_OBJECT

public:
    using TMouseHandler = std::function<void(QMouseEvent *)>;

    explicit TPictureControl(QWidget *parent = nullptr);

    const QImage &Picture() const { return FPicture; }
    void SetPicture(const QImage &picture);

    TMouseHandler OnMouseDown;
    TMouseHandler OnMouseMove;
    TMouseHandler OnMouseUp;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage FPicture;
};

// The palette tool window: holds the brush and eraser colours in its two
// swatches and writes every change into the canvas at once. Colours are
// picked from a fixed palette picture, from six lighter and darker shades of
// the brush colour or from the colour dialog.
class TfrmPalette : public TToolWindow {
    Q_OBJECT

public:
    // Runs the colour dialog preset to the given colour; returns the chosen
    // colour, or nothing when the user cancelled. Replaceable for tests.
    using TColorDialogHook = std::function<std::optional<TColor>(TColor initial)>;

    // Amounts of the six shades: negative lightens, positive darkens.
    static constexpr std::array<int, 6> ShadeSteps{-120, -60, -30, 30, 60, 120};

    TfrmPalette(TVelmoraCanvas *canvas, QWidget *parent);
    ~TfrmPalette() override;

    TColor BrushColor() const;
    TColor EraserColor() const;

    void SetBrushColor(TColor c);
    void SetEraserColor(TColor c);
    void SelectBlackAndWhite();
    void SwapColors();
    void ChooseBrushColor();
    void ChooseEraserColor();
    void UpdateShades(TColor base);
    TColor ColorAt(QPoint p) const;
    void PickColorAt(QPoint p, Qt::KeyboardModifiers modifiers);
    void ShowPreviewColor(TColor c);

    // Mouse handlers of the controls.
    void ImageMouseDown(QMouseEvent *event);
    void ImageMouseMove(QMouseEvent *event);
    void ImageMouseUp(QMouseEvent *event);
    void Shape1MouseDown(TPaletteShape *sender, QMouseEvent *event);
    void Shape1MouseMove(TPaletteShape *sender, QMouseEvent *event);
    void BBlackAndWhiteMouseDown(QMouseEvent *event);
    void BExchangeMouseDown(QMouseEvent *event);
    void csMasterMouseDown(TPaletteShape *sender, QMouseEvent *event);
    void csSecondMouseDown(TPaletteShape *sender, QMouseEvent *event);

    bool Picking = false;
    TColorDialogHook ExecuteColorDialog;

    QFrame *Bevel1 = nullptr;
    TPictureControl *Image = nullptr;
    std::array<TPaletteShape *, 6> Shades{};
    QFrame *BvBack = nullptr;
    QFrame *BvFore = nullptr;
    TPictureControl *BBlackAndWhite = nullptr;
    TPictureControl *BExchange = nullptr;
    TPaletteShape *csSecond = nullptr;
    TPaletteShape *csMaster = nullptr;
    QFrame *pColorViewFrame = nullptr;
    TShPanel *PreviewPanel = nullptr;
    QColorDialog *ColorDlg = nullptr;

protected:
    QPoint DefaultFramePosition(const QRect &workArea, int frameWidth) const override;

private:
    void CreateControls();
    void CreateColorArea();
    void CreateSwatches();
    std::optional<TColor> RunColorDialog(TColor initial);
};
