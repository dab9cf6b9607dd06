#include "engine/stroke_drawing.h"

#include "engine/coloring_mask.h"

#include <algorithm>

namespace {

// Writes the pen's spans in one colour, through the mask when there is one.
class TSpanWriter {
public:
    TSpanWriter(QImage &target, QRgb color, const TColoringMask *mask)
        : Bits(target.bits())
        , Stride(target.bytesPerLine())
        , Color(color)
        , Mask(mask)
    {
    }

    void operator()(int y, int x0, int x1) const
    {
        auto *row = reinterpret_cast<QRgb *>(Bits + y * Stride);
        if (Mask)
            FillSpanMasked(row, Mask->Row(y), x0, x1, Color);
        else
            std::fill(row + x0, row + x1 + 1, Color);
    }

private:
    uchar *Bits;
    qsizetype Stride;
    QRgb Color;
    const TColoringMask *Mask;
};

} // namespace

void DrawThinLine(QImage &target, QPoint a, QPoint b, QRgb color)
{
    PenRaster::ThinLine(a, b, target.width(), target.height(), TSpanWriter(target, color, nullptr));
}

void TStrokePainter::DrawCopies(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to,
                                TColor color, int width, const TColoringMask *mask)
{
    Drawn.clear();
    ForEachSegmentCopy(reflection, from, to, [&](QPoint a, QPoint b) { Drawn.push_back({a, b}); });
    if (Smooth) {
        for (const Segment &s : Drawn)
            Coverage.AddCapsule(target, s.a, s.b, width, color, mask);
        return;
    }
    const TSpanWriter write(target, ColorToRgb(color), mask);
    const int w = target.width(), h = target.height();
    if (width <= 1) {
        for (const Segment &s : Drawn)
            PenRaster::ThinLine(s.a, s.b, w, h, write);
        return;
    }
    Pen.SetWidth(width);
    for (const Segment &s : Drawn)
        Pen.Segment(s.a, s.b, w, h, write);
}

void TStrokePainter::DrawLine(QImage &target, QPoint a, QPoint b, TColor color, int width)
{
    DrawCopies(target, ReflectionInput{{}, {}, 1, 1, rmNone}, a, b, color, width);
}

void TStrokePainter::DrawCircles(QImage &target, const std::vector<QPoint> &centers, int r, TColor color,
                                 int width)
{
    if (Smooth) {
        Coverage.End();
        Rings.Add(target, centers, r, width, color);
        return;
    }
    const TSpanWriter write(target, ColorToRgb(color), nullptr);
    for (QPoint center : centers) {
        if (width <= 1)
            PenRaster::ThinRing(center, r, target.width(), target.height(), write);
        else
            PenRaster::Ring(center, r, width, target.width(), target.height(), write);
    }
}
