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

    // Narrows x0..x1 of row y to the pixels from the first to the last that
    // do not have the colour yet; false when every one has it.
    bool Trim(int y, int &x0, int &x1) const
    {
        const auto *row = reinterpret_cast<const QRgb *>(Bits + y * Stride);
        while (x0 <= x1 && row[x0] == Color)
            ++x0;
        while (x1 >= x0 && row[x1] == Color)
            --x1;
        return x0 <= x1;
    }

private:
    uchar *Bits;
    qsizetype Stride;
    QRgb Color;
    const TColoringMask *Mask;
};

// Every pen stays within half its width and a pixel of samples.
int PenReach(int width)
{
    return width / 2 + 2;
}

// The rows around the segment a -> b, reach pixels beyond it, inside a
// width x height picture.
void AddReachRows(std::vector<TSpan> &rows, QPoint a, QPoint b, int reach, int width, int height)
{
    const int x0 = std::max(std::min(a.x(), b.x()) - reach, 0);
    const int x1 = std::min(std::max(a.x(), b.x()) + reach, width - 1);
    const int y0 = std::max(std::min(a.y(), b.y()) - reach, 0);
    const int y1 = std::min(std::max(a.y(), b.y()) + reach, height - 1);
    if (x0 > x1)
        return;
    for (int y = y0; y <= y1; ++y)
        rows.push_back(TSpan{y, x0, x1});
}

} // namespace

void DrawThinLine(QImage &target, QPoint a, QPoint b, QRgb color)
{
    PenRaster::ThinLine(a, b, target.width(), target.height(), TSpanWriter(target, color, nullptr));
}

// A copy with the same end-to-end offset as the one before covers the same
// runs shifted; only the clipping is done again.
template <typename SpanFn>
void TStrokePainter::RepeatedSegment(QPoint a, QPoint b, int width, int height, SpanFn &&span)
{
    if (!PenRaster::InRange(a) || !PenRaster::InRange(b))
        return;
    TPenRuns &r = Repeated;
    if (b - a != r.Delta || Pen.Width() != r.Width || r.Runs.empty()) {
        r.Delta = b - a;
        r.Width = Pen.Width();
        r.Top = std::min(0, r.Delta.y()) - Pen.Reach();
        r.Runs.clear();
        Pen.Rows(QPoint(0, 0), r.Delta, [&](int, std::int64_t lo, std::int64_t hi) { r.Runs.emplace_back(int(lo), int(hi)); });
    }
    const int top = a.y() + r.Top;
    const int first = std::max(0, -top), last = std::min(int(r.Runs.size()), height - top);
    for (int i = first; i < last; ++i) {
        const auto [lo, hi] = r.Runs[std::size_t(i)];
        const int x0 = std::max(a.x() + lo, 0), x1 = std::min(a.x() + hi, width - 1);
        if (lo <= hi && x0 <= x1)
            span(top + i, x0, x1);
    }
}

// Each copy is drawn as soon as it is reflected: a list of a million copies
// would cost more than drawing them.
void TStrokePainter::DrawCopies(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TInk ink,
                                int width, const TColoringMask *mask, const TCopyDrawn &copyDrawn,
                                const TPenStyle &style)
{
    const ReflectionInput copies = WithPenReach(reflection, width);
    Draw(target, reflection, from, to, ink, width, mask, style, bool(copyDrawn), [&](auto &&draw) {
        ForEachSegmentCopy(copies, from, to, [&](QPoint a, QPoint b, int hue) {
            const std::vector<TSpan> &rows = draw(a, b, hue);
            if (copyDrawn)
                copyDrawn(a, b, rows);
        });
    });
}

void TStrokePainter::DrawBand(QImage &band, int firstRow, const ReflectionInput &reflection, QPoint from, QPoint to,
                              const std::vector<std::vector<TSegmentCopy>> &copies, TInk ink, int width,
                              const TColoringMask *mask, const TPenStyle &style, std::vector<TSpan> *rows)
{
    const int reach = PenReach(width);
    const int top = firstRow - reach, bottom = firstRow + band.height() + reach;
    const QPoint shift(0, firstRow);
    Draw(band, reflection, from, to, ink, width, mask, style, rows != nullptr, [&](auto &&draw) {
        for (const std::vector<TSegmentCopy> &part : copies) {
            for (const TSegmentCopy &copy : part) {
                if (std::max(copy.a.y(), copy.b.y()) < top || std::min(copy.a.y(), copy.b.y()) >= bottom)
                    continue;
                const std::vector<TSpan> &changed = draw(copy.a - shift, copy.b - shift, copy.hue);
                if (!rows)
                    continue;
                for (const TSpan &row : changed)
                    rows->push_back(TSpan{row.Y + firstRow, row.X0, row.X1});
            }
        }
    });
}

ReflectionInput WithPenReach(const ReflectionInput &reflection, int width)
{
    ReflectionInput copies = reflection;
    copies.reach = std::max(copies.reach, PenReach(width));
    return copies;
}

// Draws the copies forEachCopy hands to its argument, which returns the
// rows each copy changed when told is set.
template <typename ForEachCopy>
void TStrokePainter::Draw(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TInk ink,
                          int width, const TColoringMask *mask, const TPenStyle &style, bool told,
                          ForEachCopy &&forEachCopy)
{
    const int w = target.width(), h = target.height();
    const bool smooth = Smooth || style.Soft();
    // Rainbow copies keep the highest copy on top of each pixel, which
    // takes the state coverage keeps.
    const bool once = !smooth && (!style.Opaque() || style.Rainbow());
    int hue = 0;
    const TSpanWriter solid(target, ink.Pixel(), mask);
    // A copy overlaps the one of the segment before, whose pixels have the
    // ink already: the listener hears only of the pixels that change.
    auto opaque = [&](int y, int x0, int x1) {
        if (!told) {
            solid(y, x0, x1);
            return;
        }
        if (!solid.Trim(y, x0, x1))
            return;
        solid(y, x0, x1);
        CopyRows.push_back(TSpan{y, x0, x1});
    };
    auto translucent = [&](int y, int x0, int x1) {
        Coverage.AddSpan(target, y, x0, x1, ink, mask, style, hue);
        if (told)
            CopyRows.push_back(TSpan{y, x0, x1});
    };
    const bool repeats = reflection.mode == rmPattern;
    auto aliased = [&](auto &&write, QPoint a, QPoint b) {
        if (width <= 1)
            PenRaster::ThinLine(a, b, w, h, write);
        else if (repeats)
            RepeatedSegment(a, b, w, h, write);
        else
            Pen.Segment(a, b, w, h, write);
    };
    if (width > 1)
        Pen.SetWidth(width);
    if (smooth)
        Coverage.Prepare(target, ink, style);
    const bool joint = smooth && Continues(reflection, from, width, style);
    forEachCopy([&](QPoint a, QPoint b, int copyHue) -> const std::vector<TSpan> & {
        CopyRows.clear();
        hue = copyHue;
        if (smooth) {
            Coverage.AddCapsule(target, a, b, width, ink, mask, style, joint, hue);
            // Coverage reaches the pixels a sample of which the pen touches.
            if (told)
                AddReachRows(CopyRows, a, b, width / 2 + 1, w, h);
        } else if (once) {
            aliased(translucent, a, b);
        } else {
            aliased(opaque, a, b);
        }
        return CopyRows;
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
