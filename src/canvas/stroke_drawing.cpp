#include "canvas/stroke_drawing.h"

#include <QPainter>

#include <cstdlib>

namespace {

// Qt draws nothing for a zero-length line; a line this short still gets its
// two round caps, which make the same disk as a dab of the pen.
constexpr qreal DabLength = 1.0 / 1024;

} // namespace

void DrawThinLine(QImage &target, QPoint a, QPoint b, QRgb color)
{
    const int w = target.width(), h = target.height();
    uchar *bits = target.bits();
    const qsizetype stride = target.bytesPerLine();
    const int dx = std::abs(b.x() - a.x()), sx = a.x() < b.x() ? 1 : -1;
    const int dy = -std::abs(b.y() - a.y()), sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    int x = a.x(), y = a.y();
    while (x != b.x() || y != b.y()) {
        if (x >= 0 && x < w && y >= 0 && y < h)
            reinterpret_cast<QRgb *>(bits + y * stride)[x] = color;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void TStrokePainter::DrawCopies(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TColor color,
                                int width)
{
    if (width > 1) {
        DrawWide(target, reflection, from, to, color, width);
        return;
    }
    const QRgb rgb = ColorToRgb(color);
    ForEachSegmentCopy(reflection, from, to, [&](QPoint a, QPoint b) { DrawThinLine(target, a, b, rgb); });
}

// A wide pen is placed on pixel centres: Qt's rasteriser samples pixel
// centres, so a round cap there covers the same pixels on every side.
void TStrokePainter::DrawWide(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TColor color,
                              int width)
{
    Lines.clear();
    ForEachSegmentCopy(reflection, from, to, [&](QPoint a, QPoint b) {
        const QPointF fa(a.x() + 0.5, a.y() + 0.5);
        const QPointF fb = a == b ? fa + QPointF(DabLength, 0) : QPointF(b.x() + 0.5, b.y() + 0.5);
        Lines.emplace_back(fa, fb);
    });
    QPainter p(&target);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.setPen(QPen(QColor::fromRgb(ColorToRgb(color)), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLines(Lines.data(), int(Lines.size()));
}
