#pragma once

#include <QPoint>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

// Scan conversion of the round pen, its one-pixel line and circle rings.
// Every rule decides on pixel centres in exact integer arithmetic, so a shape
// and its mirror or quarter-turned copy cover mirror images of each other.
// The results come out as horizontal spans span(y, x0, x1), x1 inclusive,
// already clipped to a width x height picture.
namespace PenRaster {

// Ends of segments beyond this distance from the picture's origin are not
// drawn: the exact arithmetic below then stays within 64 bits. No mouse
// position or reflected copy comes anywhere near it.
constexpr int MaxCoordinate = 1 << 24;
constexpr int MaxWidth = 1 << 15;

// The largest integer whose square does not exceed v.
std::int64_t ISqrt(unsigned __int128 v);
inline std::int64_t ISqrt(std::int64_t v) { return ISqrt(static_cast<unsigned __int128>(v)); }

// Floor and ceiling of a / b for b > 0.
inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return q * b > a ? q - 1 : q;
}
inline std::int64_t CeilDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return q * b < a ? q + 1 : q;
}

inline bool InRange(QPoint p)
{
    return std::abs(p.x()) <= MaxCoordinate && std::abs(p.y()) <= MaxCoordinate;
}

// The band along the inside of one segment: points whose projection falls
// on the segment and whose distance from its line is at most w/2, that is
// 4 cross^2 <= w^2 len^2, or 2 |cross| <= CrossLimit.
struct TBand {
    TBand(QPoint a, QPoint b, int w);
    // The band's x range on row y (empty when lo > hi).
    void Limits(std::int64_t y, std::int64_t &lo, std::int64_t &hi) const;

    QPoint A;
    std::int64_t Dx, Dy, Len2, CrossLimit;
};

// The x range of row y inside a capsule: the discs around a and b, whose
// half extent t rows from their centre is discHalf[t], and the band between
// them (empty when lo > hi).
void CapsuleRow(std::int64_t y, QPoint a, QPoint b, const std::vector<int> &discHalf, const TBand &band,
                std::int64_t &lo, std::int64_t &hi);

} // namespace PenRaster

// A round pen of a given width, w >= 2: a segment from pixel A to pixel B
// covers exactly the pixels whose centres lie within w/2 of the segment
// between the centres of A and B, a zero-length segment the disc of that
// rule. Widths are clamped to 2..MaxWidth.
class TPen {
public:
    explicit TPen(int width = 2) { SetWidth(width); }

    void SetWidth(int width);
    int Width() const { return W; }
    // How far the pen reaches beyond the segment in whole pixels.
    int Reach() const { return W / 2; }

    template <typename SpanFn>
    void Segment(QPoint a, QPoint b, int width, int height, SpanFn &&span) const;
    // The segment's run on each of its rows, unclipped, top to bottom:
    // row(y, lo, hi), empty when lo > hi.
    template <typename RowFn>
    void Rows(QPoint a, QPoint b, RowFn &&row) const;

private:
    int W = 0;
    // For a row t pixels from a disc's centre, the largest |dx| with
    // 4 (dx^2 + t^2) <= w^2.
    std::vector<int> DiscHalf;
};

inline void TPen::SetWidth(int width)
{
    width = std::clamp(width, 2, PenRaster::MaxWidth);
    if (width == W)
        return;
    W = width;
    DiscHalf.resize(std::size_t(Reach()) + 1);
    const std::int64_t w2 = std::int64_t(W) * W;
    for (std::int64_t t = 0; t <= Reach(); ++t)
        DiscHalf[std::size_t(t)] = int(PenRaster::ISqrt(w2 - 4 * t * t) / 2);
}

inline PenRaster::TBand::TBand(QPoint a, QPoint b, int w)
    : A(a)
    , Dx(b.x() - a.x())
    , Dy(b.y() - a.y())
    , Len2(Dx * Dx + Dy * Dy)
    , CrossLimit(PenRaster::ISqrt(static_cast<unsigned __int128>(std::int64_t(w) * w) * std::uint64_t(Len2)))
{
}

inline void PenRaster::TBand::Limits(std::int64_t y, std::int64_t &lo, std::int64_t &hi) const
{
    using namespace PenRaster;
    const std::int64_t ry = y - A.y();
    // Projection, with x = A.x + u: 0 <= Dx u + Dy ry <= Len2.
    const std::int64_t e = Dy * ry;
    if (Dx > 0) {
        lo = CeilDiv(-e, Dx);
        hi = FloorDiv(Len2 - e, Dx);
    } else if (Dx < 0) {
        lo = CeilDiv(e - Len2, -Dx);
        hi = FloorDiv(e, -Dx);
    } else if (e < 0 || e > Len2) {
        lo = 1, hi = 0;
        return;
    } else {
        lo = INT64_MIN, hi = INT64_MAX;
    }
    // Distance: -CrossLimit <= 2 (Dx ry - Dy u) <= CrossLimit.
    const std::int64_t f = 2 * Dx * ry;
    if (Dy > 0) {
        lo = std::max(lo, CeilDiv(f - CrossLimit, 2 * Dy));
        hi = std::min(hi, FloorDiv(f + CrossLimit, 2 * Dy));
    } else if (Dy < 0) {
        lo = std::max(lo, CeilDiv(-f - CrossLimit, -2 * Dy));
        hi = std::min(hi, FloorDiv(CrossLimit - f, -2 * Dy));
    } else if (f > CrossLimit || -f > CrossLimit) {
        lo = 1, hi = 0;
        return;
    }
    lo += A.x();
    hi += A.x();
}

// The capsule is convex, so its pixels on a row form one run: the union of
// the two end discs' runs and the band's run.
inline void PenRaster::CapsuleRow(std::int64_t y, QPoint a, QPoint b, const std::vector<int> &discHalf,
                                  const TBand &band, std::int64_t &lo, std::int64_t &hi)
{
    const std::int64_t r = std::int64_t(discHalf.size()) - 1;
    lo = INT64_MAX;
    hi = INT64_MIN;
    for (QPoint c : {a, b}) {
        const std::int64_t t = std::abs(y - c.y());
        if (t > r)
            continue;
        lo = std::min<std::int64_t>(lo, c.x() - discHalf[std::size_t(t)]);
        hi = std::max<std::int64_t>(hi, c.x() + discHalf[std::size_t(t)]);
    }
    if (band.Len2 == 0)
        return;
    std::int64_t blo, bhi;
    band.Limits(y, blo, bhi);
    if (blo <= bhi) {
        lo = std::min(lo, blo);
        hi = std::max(hi, bhi);
    }
}

template <typename SpanFn>
void TPen::Segment(QPoint a, QPoint b, int width, int height, SpanFn &&span) const
{
    using namespace PenRaster;
    if (!InRange(a) || !InRange(b))
        return;
    const int r = Reach();
    const int y0 = std::max(std::min(a.y(), b.y()) - r, 0);
    const int y1 = std::min(std::max(a.y(), b.y()) + r, height - 1);
    if (y0 > y1 || std::max(a.x(), b.x()) + r < 0 || std::min(a.x(), b.x()) - r >= width)
        return;
    const TBand band(a, b, W);
    for (int y = y0; y <= y1; ++y) {
        std::int64_t lo, hi;
        CapsuleRow(y, a, b, DiscHalf, band, lo, hi);
        lo = std::max<std::int64_t>(lo, 0);
        hi = std::min<std::int64_t>(hi, width - 1);
        if (lo <= hi)
            span(y, int(lo), int(hi));
    }
}

template <typename RowFn>
void TPen::Rows(QPoint a, QPoint b, RowFn &&row) const
{
    using namespace PenRaster;
    const TBand band(a, b, W);
    for (int y = std::min(a.y(), b.y()) - Reach(); y <= std::max(a.y(), b.y()) + Reach(); ++y) {
        std::int64_t lo, hi;
        CapsuleRow(y, a, b, DiscHalf, band, lo, hi);
        row(y, lo, hi);
    }
}

namespace PenRaster {

// The one-pixel line from a up to but not including b (Bresenham), each
// pixel inside the picture reported as a span of one.
template <typename SpanFn>
void ThinLine(QPoint a, QPoint b, int width, int height, SpanFn &&span)
{
    const int dx = std::abs(b.x() - a.x()), sx = a.x() < b.x() ? 1 : -1;
    const int dy = -std::abs(b.y() - a.y()), sy = a.y() < b.y() ? 1 : -1;
    int err = dx + dy;
    int x = a.x(), y = a.y();
    while (x != b.x() || y != b.y()) {
        if (x >= 0 && x < width && y >= 0 && y < height)
            span(y, x, x);
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

// Reports the pixels of row y at cx - hi .. cx - lo and cx + lo ..
// cx + hi (0 <= lo <= hi), clipped; lo == 0 gives one span through cx.
template <typename SpanFn>
void MirroredSpans(int cx, std::int64_t y, std::int64_t lo, std::int64_t hi, int width, int height, SpanFn &span)
{
    if (y < 0 || y >= height)
        return;
    auto clipped = [&](std::int64_t x0, std::int64_t x1) {
        x0 = std::max<std::int64_t>(x0, 0);
        x1 = std::min<std::int64_t>(x1, width - 1);
        if (x0 <= x1)
            span(int(y), int(x0), int(x1));
    };
    if (lo == 0) {
        clipped(cx - hi, cx + hi);
        return;
    }
    clipped(cx - hi, cx - lo);
    clipped(cx + lo, cx + hi);
}

// The ring of a circle of radius r drawn with a pen of width w >= 2: the
// pixels whose centres lie at a distance d from c with r - w/2 <= d <=
// r + w/2. Radius 0 gives the pen's disc.
template <typename SpanFn>
void Ring(QPoint c, int r, int w, int width, int height, SpanFn &&span)
{
    if (!InRange(c) || r < 0 || r > MaxCoordinate)
        return;
    w = std::clamp(w, 2, MaxWidth);
    const std::int64_t outer = 2 * std::int64_t(r) + w, inner = 2 * std::int64_t(r) - w;
    const std::int64_t reach = outer / 2;
    const std::int64_t y0 = std::max<std::int64_t>(c.y() - reach, 0);
    const std::int64_t y1 = std::min<std::int64_t>(c.y() + reach, height - 1);
    for (std::int64_t y = y0; y <= y1; ++y) {
        const std::int64_t t = std::abs(y - c.y());
        const std::int64_t hi = ISqrt(outer * outer - 4 * t * t) / 2;
        const std::int64_t hole = inner > 0 ? inner * inner - 4 * t * t : 0;
        const std::int64_t lo = hole > 0 ? ISqrt(hole - 1) / 2 + 1 : 0;
        if (lo <= hi)
            MirroredSpans(c.x(), y, lo, hi, width, height, span);
    }
}

// The one-pixel circle: an 8-connected ring of the pixels nearest to the
// circle of radius r (midpoint rule), built one octant at a time and
// mirrored into the other seven.
template <typename SpanFn>
void ThinRing(QPoint c, int r, int width, int height, SpanFn &&span)
{
    if (!InRange(c) || r < 0 || r > MaxCoordinate)
        return;
    std::int64_t x = 0, y = r, d = 1 - std::int64_t(r);
    auto plot = [&](std::int64_t px, std::int64_t py) {
        for (std::int64_t ry : {c.y() - py, c.y() + py})
            MirroredSpans(c.x(), ry, px, px, width, height, span);
    };
    while (x <= y) {
        plot(x, y);
        plot(y, x);
        if (d < 0) {
            d += 2 * x + 3;
        } else {
            d += 2 * (x - y) + 5;
            --y;
        }
        ++x;
    }
}

} // namespace PenRaster
