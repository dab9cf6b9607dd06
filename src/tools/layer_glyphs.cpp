#include "tools/layer_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int GlyphSide = 16;

QPainterPath Arrow(bool up)
{
    QPainterPath path;
    const qreal tip = up ? 2.5 : 13.5, base = up ? 8.5 : 7.5, end = up ? 13.5 : 2.5;
    path.moveTo(8, tip);
    path.lineTo(3, base);
    path.lineTo(6, base);
    path.lineTo(6, end);
    path.lineTo(10, end);
    path.lineTo(10, base);
    path.lineTo(13, base);
    path.closeSubpath();
    return path;
}

void DrawEye(QPainter &p, bool open)
{
    QPainterPath lid;
    lid.moveTo(1.5, 8);
    lid.quadTo(8, 1, 14.5, 8);
    if (open)
        lid.quadTo(8, 15, 1.5, 8);
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(open ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
    p.drawPath(lid);
    if (!open)
        return;
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(8, 8), 2.2, 2.2);
}

void Draw(QPainter &p, TLayerGlyph glyph)
{
    const QColor ink(40, 40, 40);
    switch (glyph) {
    case lgNew:
        p.fillRect(QRectF(7, 2, 2, 12), ink);
        p.fillRect(QRectF(2, 7, 12, 2), ink);
        break;
    case lgDelete:
        p.fillRect(QRectF(2, 7, 12, 2), ink);
        break;
    case lgRaise:
    case lgLower:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(Arrow(glyph == lgRaise));
        break;
    case lgMergeDown:
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawPath(Arrow(false).translated(0, -2));
        p.fillRect(QRectF(2, 13, 12, 2), ink);
        break;
    case lgEyeOpen:
    case lgEyeShut:
        DrawEye(p, glyph == lgEyeOpen);
        break;
    }
}

} // namespace

QIcon LayerGlyph(TLayerGlyph glyph)
{
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pixmap(GlyphSide * scale, GlyphSide * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        Draw(p, glyph);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
