#include "engine/coverage_rings.h"

#include "engine/pen_raster.h"
#include "engine/pen_style.h"

#include <algorithm>
#include <utility>

using namespace CoverageSamples;
using namespace PenRaster;

namespace {

// Integer square roots of values that change little from one call to the
// next, as along the rows of a circle: each starts from the last root and
// is worked out afresh only when it moved further.
class TRootWalk {
public:
    std::int64_t operator()(std::int64_t v)
    {
        for (int step = 0; step < 8; ++step) {
            if (R * R > v)
                --R;
            else if ((R + 1) * (R + 1) <= v)
                ++R;
            else
                return R;
        }
        R = ISqrt(v);
        return R;
    }

private:
    std::int64_t R = 0;
};

} // namespace

// The samples of a ring around the centre of pixel (0, 0), row by row: a
// sample is in the ring when its distance d from the centre has r - w/2 <=
// d <= r + w/2.
class TRingRule {
public:
    TRingRule(int r, int width)
        : Outer(8 * std::int64_t(r) + 4 * std::int64_t(std::clamp(width, 1, MaxWidth)))
        , Inner(8 * std::int64_t(r) - 4 * std::int64_t(std::clamp(width, 1, MaxWidth)))
        , Outer2(Outer * Outer)
        , Inner2(Inner > 0 ? Inner * Inner : 0)
    {
    }

    // How far the ring reaches from its centre in whole pixels.
    int Reach() const { return int(Outer / 8 + 1); }

    // Row dy of the ring: the left side (or the whole row where the ring
    // has no hole) and the right side.
    void Runs(int dy, TRowRuns &runs)
    {
        for (int j = 0; j < 4; ++j) {
            const std::int64_t t = SampleRowY(dy, j), t2 = t * t;
            if (t2 > Outer2)
                continue;
            const std::int64_t hi = OuterRoot(Outer2 - t2);
            const std::int64_t lo = t2 < Inner2 ? HoleRoot(Inner2 - t2 - 1) + 1 : 0;
            if (lo == 0) {
                runs[0][j] = ToColumns(-hi, hi);
            } else if (lo <= hi) {
                runs[0][j] = ToColumns(-hi, -lo);
                runs[1][j] = ToColumns(lo, hi);
            }
        }
    }

private:
    std::int64_t Outer, Inner, Outer2, Inner2;
    TRootWalk OuterRoot, HoleRoot;
};

void TCoverageRings::Add(QImage &picture, const std::vector<QPoint> &centers, int r, int width, TColor color)
{
    if (r < 0 || r > MaxCoordinate || picture.isNull())
        return;
    TRingRule rule(r, width);
    Place(rule, centers, picture.width(), picture.height());
    if (Rings.empty())
        return;
    Width = picture.width();
    BandBits.assign(std::size_t(BandRows) * std::size_t(Width), 0);
    // Two edges on each side of a ring's row at most: the list never grows
    // while pixels change.
    Edges.reserve(Rings.size() * BandRows * 4);
    Pixels = picture.bits();
    Stride = picture.bytesPerLine();
    Color = ColorToRgb(color);
    Alpha = picture.hasAlphaChannel();
    int top = picture.height(), bottom = -1;
    for (const TPlaced &ring : Rings) {
        top = std::min(top, ring.Top);
        bottom = std::max(bottom, ring.Bottom);
    }
    for (int y = top; y <= bottom; y += BandRows)
        Band(y, std::min(y + BandRows - 1, bottom));
}

// The rings that reach the picture, each with the rows it needs. A ring
// moved to its centre moves by whole pixels, and the picture's sides cut
// between pixels, so rows worked out once cover every ring exactly as its
// own would. Sorted by their first row offset, the rings need a few runs of
// offsets, each built once.
void TCoverageRings::Place(TRingRule &rule, const std::vector<QPoint> &centers, int width, int height)
{
    Parts.clear();
    EdgeBits.clear();
    Rings.clear();
    const int reach = rule.Reach();
    for (QPoint c : centers) {
        if (!InRange(c) || c.x() + reach < 0 || c.x() - reach >= width)
            continue;
        const int top = std::max(c.y() - reach, 0), bottom = std::min(c.y() + reach, height - 1);
        if (top <= bottom)
            Rings.push_back({c.x(), c.y(), top, bottom});
    }
    std::sort(Rings.begin(), Rings.end(),
              [](const TPlaced &a, const TPlaced &b) { return a.Top - a.Cy < b.Top - b.Cy; });
    int runFirst = 0, runLast = 0;
    std::size_t runStart = 0;
    for (TPlaced &ring : Rings) {
        const int dy0 = ring.Top - ring.Cy, dy1 = ring.Bottom - ring.Cy;
        if (&ring == &Rings.front() || dy0 > runLast + 1) {
            runStart = AddRows(rule, dy0, dy1);
            runFirst = dy0;
            runLast = dy1;
        } else if (dy1 > runLast) {
            AddRows(rule, runLast + 1, dy1);
            runLast = dy1;
        }
        ring.Rows = runStart + 2 * std::size_t(dy0 - runFirst);
    }
}

std::size_t TCoverageRings::AddRows(TRingRule &rule, int dy0, int dy1)
{
    const std::size_t first = Parts.size();
    for (int dy = dy0; dy <= dy1; ++dy) {
        TRowRuns runs;
        rule.Runs(dy, runs);
        for (const TPartRuns &side : runs)
            Parts.push_back(Split(side));
    }
    return first;
}

TCoverageRings::TPart TCoverageRings::Split(const TPartRuns &side)
{
    TPart part{SpanOf(side), EdgeBits.size()};
    ForEachEdgeRange(part, [&](int x0, int x1) {
        for (int x = x0; x <= x1; ++x)
            EdgeBits.push_back(std::uint16_t(PartBits(side, x)));
    });
    return part;
}

// Each ring goes down the band in one run, filling the pixels it covers
// whole and gathering the samples of its edge pixels; then the edge pixels
// are blended once. Rows lie a whole picture row apart, too far for the
// processor to fetch ahead on its own, so the pixels a ring reaches a few
// rows further down are asked for early.
void TCoverageRings::Band(int y0, int y1)
{
    constexpr int Ahead = 4;
    Edges.clear();
    for (const TPlaced &ring : Rings)
        for (int y = std::max(y0, ring.Top); y <= std::min(y1, ring.Bottom); ++y) {
            const TPart *row = Parts.data() + ring.Rows + 2 * std::size_t(y - ring.Top);
            if (y + Ahead <= ring.Bottom)
                Prefetch(row + 2 * Ahead, ring.Cx, y + Ahead);
            AddPart(row[0], ring.Cx, y, y - y0);
            AddPart(row[1], ring.Cx, y, y - y0);
        }
    BlendEdges();
}

void TCoverageRings::Prefetch(const TPart *parts, int cx, int y) const
{
    const uchar *row = Pixels + y * Stride;
    for (int side = 0; side < 2; ++side)
        if (parts[side].X0 <= parts[side].X1)
            __builtin_prefetch(row + 4 * std::clamp(parts[side].X0 + cx, 0, Width - 1), 1);
}

void TCoverageRings::AddPart(const TPart &part, int cx, int y, int bandRow)
{
    auto *row = reinterpret_cast<QRgb *>(Pixels + y * Stride);
    const int x0 = std::max(part.FullLo + cx, 0), x1 = std::min(part.FullHi + cx, Width - 1);
    if (x0 <= x1)
        std::fill(row + x0, row + x1 + 1, Color);
    std::uint16_t *bits = BandBits.data() + std::size_t(bandRow) * std::size_t(Width);
    const std::uint16_t *edgeBits = EdgeBits.data() + part.Edge;
    ForEachEdgeRange(part, [&](int e0, int e1) {
        const int from = std::max(e0 + cx, 0), to = std::min(e1 + cx, Width - 1);
        for (int x = from; x <= to; ++x)
            bits[x] |= edgeBits[x - cx - e0];
        if (from <= to)
            Edges.push_back({y, bandRow, from, to});
        edgeBits += e1 - e0 + 1;
    });
}

// An edge pixel that another ring covers whole was filled with the colour
// already, and blending from the colour leaves it so.
void TCoverageRings::BlendEdges()
{
    for (const TSpan &span : Edges) {
        auto *row = reinterpret_cast<QRgb *>(Pixels + span.Y * Stride);
        std::uint16_t *bits = BandBits.data() + std::size_t(span.BandRow) * std::size_t(Width);
        for (int x = span.X0; x <= span.X1; ++x)
            if (const unsigned covered = std::exchange(bits[x], 0))
                row[x] = PenInk(row[x], Color, unsigned(CountSamples(covered)) * (PenWeightOne / Samples), Alpha);
    }
}
