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

// Each copy is drawn as soon as it is reflected: a list of a million copies
// would cost more than drawing them.
void TStrokePainter::DrawCopies(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TInk ink,
                                int width, const TColoringMask *mask, const TCopyDrawn &copyDrawn,
                                const TPenStyle &style)
{
    Draw(target, reflection, from, to, ink, width, mask, style, [&](auto &&draw) {
        ForEachSegmentCopy(reflection, from, to, [&](QPoint a, QPoint b) {
            draw(a, b);
            if (copyDrawn)
                copyDrawn(a, b);
        });
    });
}

void TStrokePainter::DrawBand(QImage &band, int firstRow, const ReflectionInput &reflection, QPoint from, QPoint to,
                              const std::vector<Segment> &copies, TInk ink, int width, const TColoringMask *mask,
                              const TPenStyle &style)
{
    const int reach = width / 2 + 2;
    const int top = firstRow - reach, bottom = firstRow + band.height() + reach;
    const QPoint shift(0, firstRow);
    Draw(band, reflection, from, to, ink, width, mask, style, [&](auto &&draw) {
        for (const Segment &copy : copies) {
            if (std::max(copy.a.y(), copy.b.y()) >= top && std::min(copy.a.y(), copy.b.y()) < bottom)
                draw(copy.a - shift, copy.b - shift);
        }
    });
}

template <typename ForEachCopy>
void TStrokePainter::Draw(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TInk ink,
                          int width, const TColoringMask *mask, const TPenStyle &style, ForEachCopy &&forEachCopy)
{
    const int w = target.width(), h = target.height();
    const bool smooth = Smooth || style.Soft();
    const bool once = !smooth && !style.Opaque();
    const TSpanWriter opaque(target, ink.Pixel(), mask);
    auto translucent = [&](int y, int x0, int x1) { Coverage.AddSpan(target, y, x0, x1, ink, mask, style); };
    auto aliased = [&](auto &&write, QPoint a, QPoint b) {
        if (width <= 1)
            PenRaster::ThinLine(a, b, w, h, write);
        else
            Pen.Segment(a, b, w, h, write);
    };
    if (width > 1)
        Pen.SetWidth(width);
    if (smooth)
        Coverage.Prepare(target, ink, style);
    const bool joint = smooth && Continues(reflection, from, width, style);
    forEachCopy([&](QPoint a, QPoint b) {
        if (smooth)
            Coverage.AddCapsule(target, a, b, width, ink, mask, style, joint);
        else if (once)
            aliased(translucent, a, b);
        else
            aliased(opaque, a, b);
    });
    Last = {reflection, to, width, Coverage.Generation()};
}

// The soft pen leaves out the pixels behind a joint, which the segment
// before weighed already; the stroke must not have started afresh since.
bool TStrokePainter::Continues(const ReflectionInput &reflection, QPoint from, int width, const TPenStyle &style) const
{
    return style.Soft() && Last.Generation == Coverage.Generation() && Last.To == from && Last.Width == width &&
           Last.Reflection == reflection;
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
