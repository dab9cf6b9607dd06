#include "engine/coverage_stroke.h"

#include "engine/coloring_mask.h"
#include "engine/hue_turn.h"
#include "engine/pen_raster.h"

#include <algorithm>
#include <limits>
#include <new>

using namespace CoverageSamples;
using namespace PenRaster;

namespace {

std::size_t TileLimit = std::numeric_limits<std::size_t>::max();

} // namespace

void LimitCoverageTilesForTesting(std::size_t tiles)
{
    TileLimit = tiles;
}

void TCoverageStroke::End()
{
    Open = false;
    ++Starts;
    std::vector<std::unique_ptr<TTile>>().swap(Tiles);
    TileCount = 0;
}

void TCoverageStroke::Prepare(const QImage &picture, TInk ink, const TPenStyle &style)
{
    const QRgb rgb = ink.Pixel();
    const bool alpha = picture.hasAlphaChannel();
    if (Open && picture.width() == W && picture.height() == H && rgb == Color && alpha == Alpha &&
        style.Opacity == Style.Opacity && style.Hardness == Style.Hardness && style.Hues == Style.Hues)
        return;
    End();
    W = picture.width();
    H = picture.height();
    Color = rgb;
    Alpha = alpha;
    Style = style;
    Colors.clear();
    for (int k = 0; Style.Rainbow() && k < Style.Hues; ++k)
        Colors.push_back(TurnHue(Color, k, Style.Hues));
    const unsigned opacity = Style.Opacity256() * Samples;
    for (unsigned w = 0; w <= TSoftPen::Full; ++w)
        SoftWeight[w] = (w * opacity + TSoftPen::Full / 2) / TSoftPen::Full;
    TilesPerRow = (W + TileSize - 1) >> TileShift;
    Tiles.resize(std::size_t(TilesPerRow) * std::size_t((H + TileSize - 1) >> TileShift));
    Open = true;
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

int TCoverageStroke::RainbowIndex(int hue) const
{
    return Colors.empty() ? 0 : int(unsigned(hue) % Colors.size());
}

TCoverageStroke::TTile &TCoverageStroke::NewTile(std::unique_ptr<TTile> &slot)
{
    if (TileCount >= TileLimit)
        throw std::bad_alloc();
    auto tile = std::make_unique_for_overwrite<TTile>();
    if (!Colors.empty())
        tile->Top = std::make_unique<std::uint16_t[]>(TileArea);
    std::fill(std::begin(tile->Bits), std::end(tile->Bits), 0);
    std::fill(std::begin(tile->Weight), std::end(tile->Weight), 0);
    slot = std::move(tile);
    ++TileCount;
    return *slot;
}

inline TCoverageStroke::TTile &TCoverageStroke::TileAt(int x, int y)
{
    auto &slot = Tiles[std::size_t(y >> TileShift) * std::size_t(TilesPerRow) + std::size_t(x >> TileShift)];
    return slot ? *slot : NewTile(slot);
}

int TCoverageStroke::Covered(int x, int y) const
{
    if (!Open || x < 0 || y < 0 || x >= W || y >= H)
        return 0;
    const auto &tile = Tiles[std::size_t(y >> TileShift) * std::size_t(TilesPerRow) + std::size_t(x >> TileShift)];
    if (!tile)
        return 0;
    return CountSamples(tile->Bits[(y & (TileSize - 1)) * TileSize + (x & (TileSize - 1))]);
}

std::size_t TCoverageStroke::Bytes() const
{
    const std::size_t tile = sizeof(TTile) + (Colors.empty() ? 0 : TileArea * sizeof(std::uint16_t));
    return TileCount * tile + Tiles.capacity() * sizeof(Tiles[0]);
}

void TCoverageStroke::AddCapsule(QImage &picture, QPoint a, QPoint b, int width, TInk ink,
                                 const TColoringMask *mask, const TPenStyle &style, bool joint, int hue)
{
    if (!InRange(a) || !InRange(b))
        return;
    Prepare(picture, ink, style);
    Hue = RainbowIndex(hue);
    if (Style.Soft()) {
        AddSoftCapsule(picture, a, b, width, mask, joint);
        return;
    }
    SetWidth(width);
    const int reach = Radius / 8 + 1;
    const int y0 = std::max(std::min(a.y(), b.y()) - reach, 0);
    const int y1 = std::min(std::max(a.y(), b.y()) + reach, H - 1);
    if (y0 > y1 || std::max(a.x(), b.x()) + reach < 0 || std::min(a.x(), b.x()) - reach >= W)
        return;
    const int top = a.y() + CapsuleRuns(b - a, reach);
    const std::int64_t shift = 4 * std::int64_t(a.x());
    for (int y = y0; y <= y1; ++y) {
        const auto &cached = Capsule.Runs[std::size_t(y - top)];
        TPartRuns runs;
        for (int j = 0; j < 4; ++j)
            runs[j] = Clipped({cached[std::size_t(j)].Lo + shift, cached[std::size_t(j)].Hi + shift}, W);
        AddRow(picture, y, runs, mask);
    }
}

// The sample runs of the capsule from pixel (0, 0) to delta, row by row
// from the returned top row. Moved by whole pixels, a capsule covers the
// same samples moved, so the copies of a pattern, which repeat one capsule
// many times, find them here already.
int TCoverageStroke::CapsuleRuns(QPoint delta, int reach)
{
    TCapsuleRuns &c = Capsule;
    const int top = std::min(0, delta.y()) - reach;
    if (delta == c.Delta && Radius == c.Radius && !c.Runs.empty())
        return top;
    // Unmatched until complete: running out of memory on the way leaves
    // no half list to be taken for a whole one.
    c.Radius = 0;
    c.Runs.clear();
    const QPoint b8 = delta * 8;
    const TBand band(QPoint(0, 0), b8, 2 * Radius);
    for (int y = top; y <= std::max(0, delta.y()) + reach; ++y) {
        auto &runs = c.Runs.emplace_back();
        for (int j = 0; j < 4; ++j) {
            std::int64_t lo, hi;
            CapsuleRow(SampleRowY(y, j), QPoint(0, 0), b8, DiscHalf, band, lo, hi);
            runs[std::size_t(j)] = ToColumns(lo, hi);
        }
    }
    c.Delta = delta;
    c.Radius = Radius;
    return top;
}

// Calls fn(tile, i, xa, xb) for the pieces of row y from x0 to x1 that lie
// in one tile, i being the index of pixel xa in the tile.
template <typename RunFn>
void TCoverageStroke::ForEachTileRun(int y, int x0, int x1, RunFn &&fn)
{
    const int rowStart = (y & (TileSize - 1)) * TileSize;
    for (int x = x0; x <= x1;) {
        const int end = std::min(x1, x | (TileSize - 1));
        fn(TileAt(x, y), rowStart + (x & (TileSize - 1)), x, end);
        x = end + 1;
    }
}

// A pixel that gains samples is blended afresh from its start colour; one
// covered whole by an opaque pen takes the stroke's colour and needs no start
// colour. Most pixels of a capsule were covered whole by the one before it
// already.
void TCoverageStroke::AddRow(QImage &picture, int y, const TPartRuns &runs, const TColoringMask *mask)
{
    if (!Colors.empty()) {
        AddRainbowRow(picture, y, runs, mask);
        return;
    }
    const TPartSpan span = SpanOf(runs);
    if (span.X0 > span.X1)
        return;
    auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
    const std::uint8_t *protectedRow = mask ? mask->Row(y) : nullptr;
    const bool opaque = Style.Opaque();
    const unsigned opacity = Style.Opacity256();
    ForEachTileRun(y, span.X0, span.X1, [&](TTile &tile, int i, int xa, int xb) {
        for (int x = xa; x <= xb; ++x, ++i) {
            const unsigned bits = tile.Bits[i];
            if (bits == AllSamples || (protectedRow && protectedRow[x]))
                continue;
            const bool whole = x >= span.FullLo && x <= span.FullHi;
            const unsigned now = whole ? AllSamples : bits | PartBits(runs, x);
            if (now == bits)
                continue;
            tile.Bits[i] = std::uint16_t(now);
            if (opaque && now == AllSamples) {
                row[x] = Color;
                continue;
            }
            if (bits == 0)
                tile.Start[i] = row[x];
            row[x] = PenInk(tile.Start[i], Color, unsigned(CountSamples(now)) * opacity, Alpha);
        }
    });
}

// As AddRow, with each pixel blended toward the colour of the highest copy
// that covered any of its samples.
void TCoverageStroke::AddRainbowRow(QImage &picture, int y, const TPartRuns &runs, const TColoringMask *mask)
{
    const TPartSpan span = SpanOf(runs);
    if (span.X0 > span.X1)
        return;
    auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
    const std::uint8_t *protectedRow = mask ? mask->Row(y) : nullptr;
    const unsigned opacity = Style.Opacity256();
    const auto top = std::uint16_t(Hue + 1);
    ForEachTileRun(y, span.X0, span.X1, [&](TTile &tile, int i, int xa, int xb) {
        for (int x = xa; x <= xb; ++x, ++i) {
            const unsigned bits = tile.Bits[i];
            if ((bits == AllSamples && tile.Top[i] >= top) || (protectedRow && protectedRow[x]))
                continue;
            const unsigned covers = x >= span.FullLo && x <= span.FullHi ? AllSamples : PartBits(runs, x);
            if (covers == 0 || ((bits | covers) == bits && tile.Top[i] >= top))
                continue;
            if (bits == 0)
                tile.Start[i] = row[x];
            tile.Bits[i] = std::uint16_t(bits | covers);
            tile.Top[i] = std::max(tile.Top[i], top);
            row[x] = PenInk(tile.Start[i], Colors[tile.Top[i] - 1u], unsigned(CountSamples(bits | covers)) * opacity,
                            Alpha);
        }
    });
}

void TCoverageStroke::AddSpan(QImage &picture, int y, int x0, int x1, TInk ink, const TColoringMask *mask,
                              const TPenStyle &style, int hue)
{
    Prepare(picture, ink, style);
    auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
    const std::uint8_t *protectedRow = mask ? mask->Row(y) : nullptr;
    const unsigned weight = Style.Opacity256() * Samples;
    const bool rainbow = !Colors.empty();
    hue = RainbowIndex(hue);
    const auto top = std::uint16_t(hue + 1);
    ForEachTileRun(y, x0, x1, [&](TTile &tile, int i, int xa, int xb) {
        for (int x = xa; x <= xb; ++x, ++i) {
            const bool covered = tile.Bits[i] == AllSamples;
            if ((covered && (!rainbow || tile.Top[i] >= top)) || (protectedRow && protectedRow[x]))
                continue;
            tile.Bits[i] = AllSamples;
            if (!rainbow) {
                row[x] = PenInk(row[x], Color, weight, Alpha);
                continue;
            }
            // A higher copy paints over a lower one from the colour before
            // the stroke.
            if (!covered)
                tile.Start[i] = row[x];
            tile.Top[i] = top;
            row[x] = PenInk(tile.Start[i], Colors[std::size_t(hue)], weight, Alpha);
        }
    });
}

void TCoverageStroke::AddSoftCapsule(QImage &picture, QPoint a, QPoint b, int width, const TColoringMask *mask,
                                     bool joint)
{
    Soft.SetPen(width, Style.Hardness);
    const int reach = Soft.Reach();
    const int y0 = std::max(std::min(a.y(), b.y()) - reach, 0);
    const int y1 = std::min(std::max(a.y(), b.y()) + reach, H - 1);
    if (y0 > y1 || std::max(a.x(), b.x()) + reach < 0 || std::min(a.x(), b.x()) - reach >= W)
        return;
    Soft.Begin(a, b, joint);
    for (int y = y0; y <= y1; ++y) {
        const TPixelRun span = Soft.Span(y, W);
        if (span.Empty())
            continue;
        Floors(y, span, mask);
        const TPixelRun rose = Soft.Weigh(y, span, RowFloors.data(), RowWeights.data());
        if (rose.Empty())
            continue;
        if (Colors.empty())
            AddSoftRow(picture, y, span.X0, rose);
        else
            AddRainbowSoftRow(picture, y, span.X0, rose);
    }
}

// The weights a span of row y holds so far; a protected pixel holds the
// most, so it is never worked out.
void TCoverageStroke::Floors(int y, TPixelRun span, const TColoringMask *mask)
{
    const std::size_t n = std::size_t(span.X1 - span.X0 + 1);
    if (RowFloors.size() < n) {
        RowFloors.resize(n);
        RowWeights.resize(n);
    }
    std::uint8_t *floors = RowFloors.data();
    const std::size_t tileRow = std::size_t(y >> TileShift) * std::size_t(TilesPerRow);
    const int rowStart = (y & (TileSize - 1)) * TileSize;
    for (int x = span.X0; x <= span.X1;) {
        const int end = std::min(span.X1, x | (TileSize - 1));
        if (const auto &tile = Tiles[tileRow + std::size_t(x >> TileShift)]) {
            const int first = rowStart + (x & (TileSize - 1));
            std::copy_n(tile->Weight + first, end - x + 1, floors + (x - span.X0));
            if (!Colors.empty())
                RainbowFloors(tile->Top.get() + first, end - x + 1, floors + (x - span.X0));
        } else {
            std::fill_n(floors + (x - span.X0), end - x + 1, 0);
        }
        x = end + 1;
    }
    if (!mask)
        return;
    const std::uint8_t *protectedRow = mask->Row(y);
    for (int x = span.X0; x <= span.X1; ++x)
        if (protectedRow[x])
            floors[x - span.X0] = TSoftPen::Full;
}

// A pixel keeps the largest weight any part of the stroke gave it, so the
// joints of a soft line are no darker than the line between them. The
// weights are those of the row from x0 on, each 0 or above the pixel's
// weight so far.
void TCoverageStroke::AddSoftRow(QImage &picture, int y, int x0, TPixelRun rose)
{
    auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
    const std::uint8_t *weights = RowWeights.data();
    ForEachTileRun(y, rose.X0, rose.X1, [&](TTile &tile, int i, int xa, int xb) {
        for (int x = xa; x <= xb; ++x, ++i) {
            const std::uint8_t w = weights[x - x0];
            if (w == 0)
                continue;
            if (tile.Weight[i] == 0)
                tile.Start[i] = row[x];
            tile.Weight[i] = w;
            row[x] = PenInk(tile.Start[i], Color, SoftWeight[w], Alpha);
        }
    });
}

// Rainbow copies: a pixel a lower copy weighed may take this copy's colour
// at any weight, so its weight is worked out whatever it held.
void TCoverageStroke::RainbowFloors(const std::uint16_t *tops, int count, std::uint8_t *floors) const
{
    for (int i = 0; i < count; ++i)
        if (tops[i] <= Hue)
            floors[i] = 0;
}

// As AddSoftRow, each pixel keeping its largest weight and taking the
// colour of the highest copy that gave it any.
void TCoverageStroke::AddRainbowSoftRow(QImage &picture, int y, int x0, TPixelRun rose)
{
    auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
    const std::uint8_t *weights = RowWeights.data();
    const auto top = std::uint16_t(Hue + 1);
    ForEachTileRun(y, rose.X0, rose.X1, [&](TTile &tile, int i, int xa, int xb) {
        for (int x = xa; x <= xb; ++x, ++i) {
            const std::uint8_t w = std::max(weights[x - x0], tile.Weight[i]);
            if (weights[x - x0] == 0 || (w == tile.Weight[i] && tile.Top[i] >= top))
                continue;
            if (tile.Weight[i] == 0)
                tile.Start[i] = row[x];
            tile.Weight[i] = w;
            tile.Top[i] = std::max(tile.Top[i], top);
            row[x] = PenInk(tile.Start[i], Colors[tile.Top[i] - 1u], SoftWeight[w], Alpha);
        }
    });
}
