#include "engine/coverage_stroke.h"

#include "engine/coloring_mask.h"
#include "engine/pen_raster.h"

#include <algorithm>
#include <bit>

using namespace PenRaster;

namespace {

// Positions are in eighths of a pixel with pixel centres at multiples of 8:
// sample row j of pixel row y lies at 8y + 2j - 3, sample column q = 4x + i
// at 2q - 3.
std::int64_t SampleRowY(std::int64_t y, int j) { return 8 * y + 2 * j - 3; }

QRgb Blend(QRgb start, QRgb color, int covered)
{
    const int rest = TCoverageStroke::Samples - covered;
    QRgb out = 0xFF000000u;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int s = int((start >> shift) & 0xFF), c = int((color >> shift) & 0xFF);
        out |= QRgb((s * rest + c * covered + TCoverageStroke::Samples / 2) / TCoverageStroke::Samples) << shift;
    }
    return out;
}

// The sample bits (i = 0..3) of pixel x that a run of sample columns covers.
unsigned RunBits(std::int64_t lo, std::int64_t hi, std::int64_t x)
{
    const auto i0 = std::clamp<std::int64_t>(lo - 4 * x, 0, 4);
    const auto i1 = std::clamp<std::int64_t>(hi - 4 * x + 1, 0, 4);
    return i1 > i0 ? (1u << i1) - (1u << i0) : 0u;
}

} // namespace

void TCoverageStroke::Prepare(const QImage &picture, TColor color)
{
    const QRgb rgb = ColorToRgb(color);
    if (Open && picture.width() == W && picture.height() == H && rgb == Color)
        return;
    Open = true;
    Color = rgb;
    if (picture.width() != W || picture.height() != H) {
        W = picture.width();
        H = picture.height();
        Bits.assign(std::size_t(W) * std::size_t(H), 0);
        Start = W > 0 && H > 0 ? QImage(W, H, QImage::Format_RGB32) : QImage();
        DirtyLo.assign(std::size_t(H), W);
        DirtyHi.assign(std::size_t(H), -1);
        return;
    }
    for (int y = 0; y < H; ++y) {
        const std::size_t row = std::size_t(y) * std::size_t(W);
        if (DirtyLo[std::size_t(y)] <= DirtyHi[std::size_t(y)])
            std::fill(Bits.begin() + std::ptrdiff_t(row) + DirtyLo[std::size_t(y)],
                      Bits.begin() + std::ptrdiff_t(row) + DirtyHi[std::size_t(y)] + 1, 0);
        DirtyLo[std::size_t(y)] = W;
        DirtyHi[std::size_t(y)] = -1;
    }
}

void TCoverageStroke::SetWidth(int width)
{
    const int radius = 4 * std::clamp(width, 1, MaxWidth);
    if (radius == Radius)
        return;
    Radius = radius;
    DiscHalf.resize(std::size_t(Radius) + 1);
    const std::int64_t r2 = std::int64_t(Radius) * Radius;
    for (std::int64_t t = 0; t <= Radius; ++t)
        DiscHalf[std::size_t(t)] = int(ISqrt(r2 - t * t));
}

int TCoverageStroke::Covered(int x, int y) const
{
    if (x < 0 || y < 0 || x >= W || y >= H)
        return 0;
    return std::popcount(unsigned(Bits[std::size_t(y) * std::size_t(W) + std::size_t(x)]));
}

void TCoverageStroke::AddCapsule(QImage &picture, QPoint a, QPoint b, int width, TColor color,
                                 const TColoringMask *mask)
{
    if (!InRange(a) || !InRange(b))
        return;
    Prepare(picture, color);
    SetWidth(width);
    const int reach = Radius / 8 + 1;
    const int y0 = std::max(std::min(a.y(), b.y()) - reach, 0);
    const int y1 = std::min(std::max(a.y(), b.y()) + reach, H - 1);
    if (y0 > y1 || std::max(a.x(), b.x()) + reach < 0 || std::min(a.x(), b.x()) - reach >= W)
        return;
    const QPoint a8 = a * 8, b8 = b * 8;
    const TBand band(a8, b8, 2 * Radius);
    for (int y = y0; y <= y1; ++y) {
        TRowRuns runs;
        for (int j = 0; j < 4; ++j) {
            const std::int64_t sy = SampleRowY(y, j);
            std::int64_t lo, hi;
            CapsuleRow(sy, a8, b8, DiscHalf, band, lo, hi);
            runs[j][0] = ToColumns(lo, hi);
        }
        AddRuns(picture, y, runs, mask);
    }
}

void TCoverageStroke::AddRing(QImage &picture, QPoint c, int r, int width, TColor color)
{
    if (!InRange(c) || r < 0 || r > MaxCoordinate)
        return;
    Prepare(picture, color);
    const std::int64_t half = 4 * std::int64_t(std::clamp(width, 1, MaxWidth));
    const std::int64_t outer = 8 * std::int64_t(r) + half, inner = 8 * std::int64_t(r) - half;
    const std::int64_t reach = outer / 8 + 1;
    const std::int64_t y0 = std::max<std::int64_t>(c.y() - reach, 0);
    const std::int64_t y1 = std::min<std::int64_t>(c.y() + reach, H - 1);
    const std::int64_t cx = 8 * std::int64_t(c.x()), cy = 8 * std::int64_t(c.y());
    for (std::int64_t y = y0; y <= y1; ++y) {
        TRowRuns runs;
        for (int j = 0; j < 4; ++j) {
            const std::int64_t t = SampleRowY(y, j) - cy;
            if (t * t > outer * outer)
                continue;
            const std::int64_t hi = ISqrt(outer * outer - t * t);
            const std::int64_t hole = inner > 0 ? inner * inner - t * t : 0;
            const std::int64_t lo = hole > 0 ? ISqrt(hole - 1) + 1 : 0;
            if (lo == 0) {
                runs[j][0] = ToColumns(cx - hi, cx + hi);
            } else if (lo <= hi) {
                runs[j][0] = ToColumns(cx - hi, cx - lo);
                runs[j][1] = ToColumns(cx + lo, cx + hi);
            }
        }
        AddRuns(picture, int(y), runs, nullptr);
    }
}

// The sample columns whose positions lie in lo..hi (eighths), clipped to
// the picture.
TCoverageStroke::TRun TCoverageStroke::ToColumns(std::int64_t lo, std::int64_t hi) const
{
    if (lo > hi)
        return {};
    const std::int64_t last = 4 * std::int64_t(W) - 1;
    return {std::max<std::int64_t>(CeilDiv(lo + 3, 2), 0), std::min<std::int64_t>(FloorDiv(hi + 3, 2), last)};
}

void TCoverageStroke::AddRuns(QImage &picture, int y, const TRowRuns &runs, const TColoringMask *mask)
{
    std::int64_t qlo = INT64_MAX, qhi = INT64_MIN;
    for (const auto &sampleRow : runs)
        for (const TRun &run : sampleRow)
            if (run.Lo <= run.Hi) {
                qlo = std::min(qlo, run.Lo);
                qhi = std::max(qhi, run.Hi);
            }
    if (qlo > qhi)
        return;
    auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
    const std::uint16_t *bits = Bits.data() + std::size_t(y) * std::size_t(W);
    const std::uint8_t *protectedRow = mask ? mask->Row(y) : nullptr;
    for (std::int64_t x = qlo / 4; x <= qhi / 4; ++x) {
        if (bits[x] == 0xFFFF || (protectedRow && protectedRow[x]))
            continue;
        unsigned add = 0;
        for (int j = 0; j < 4; ++j)
            add |= (RunBits(runs[j][0].Lo, runs[j][0].Hi, x) | RunBits(runs[j][1].Lo, runs[j][1].Hi, x)) << (4 * j);
        Cover(row, int(x), y, add);
    }
}

void TCoverageStroke::Cover(QRgb *row, int x, int y, unsigned add)
{
    std::uint16_t &bits = Bits[std::size_t(y) * std::size_t(W) + std::size_t(x)];
    const unsigned now = bits | add;
    if (now == bits)
        return;
    auto *start = reinterpret_cast<QRgb *>(Start.scanLine(y));
    if (bits == 0) {
        start[x] = row[x];
        DirtyLo[std::size_t(y)] = std::min(DirtyLo[std::size_t(y)], x);
        DirtyHi[std::size_t(y)] = std::max(DirtyHi[std::size_t(y)], x);
    }
    bits = std::uint16_t(now);
    row[x] = Blend(start[x], Color, std::popcount(now));
}
