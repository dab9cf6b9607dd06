#pragma once

#include "tools/tool_window.h"

class QToolButton;

// The brush size tool window: five flat buttons that set the canvas's brush
// width to a preset with one click. Each button's "Tag" property holds the
// width it selects.
class TfrmBrushSize : public TToolWindow {
    Q_OBJECT

public:
    TfrmBrushSize(TVelmoraCanvas *canvas, QWidget *parent);

    void bBrush1Click(QToolButton *sender);

    QToolButton *bBrush1 = nullptr;
    QToolButton *bBrush3 = nullptr;
    QToolButton *bBrush7 = nullptr;
    QToolButton *bBrush13 = nullptr;
    QToolButton *bBrush21 = nullptr;

signals:
    // A preset has been written into the canvas's brush width.
    void BrushSizeChosen(int width);

protected:
    QPoint DefaultFramePosition(const QRect &workArea, int frameWidth) const override;

private:
    QToolButton *CreateButton(int tag, int left, const QString &hint);
};
