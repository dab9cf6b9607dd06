#pragma once

#include "engine/canvas_types.h"

#include <QFrame>

// A panel that paints its whole client area in its own colour and then its
// single-line border and raised bevel on top. It never lets the window system
// clear its background first, so a colour change repaints without a flash.
class TShPanel : public QFrame {
    Q_OBJECT

public:
    explicit TShPanel(QWidget *parent = nullptr);

    TColor Color() const { return FColor; }
    void SetColor(TColor c);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TColor FColor = MakeColor(0xF0, 0xF0, 0xF0);
};
