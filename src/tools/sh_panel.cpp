#include "tools/sh_panel.h"

#include <QPainter>
#include <qdrawutil.h>

TShPanel::TShPanel(QWidget *parent)
    : QFrame(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void TShPanel::SetColor(TColor c)
{
    if (c == FColor)
        return;
    FColor = c;
    update();
}

void TShPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(ColorToRgb(FColor)));
    if (width() < 2 || height() < 2)
        return;
    p.setPen(palette().color(QPalette::Shadow));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    const QRect bevel = rect().adjusted(1, 1, -1, -1);
    if (bevel.width() >= 2 && bevel.height() >= 2)
        qDrawShadePanel(&p, bevel, palette(), false, 1, nullptr);
}
