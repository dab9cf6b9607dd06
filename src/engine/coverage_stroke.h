#pragma once

#include "engine/canvas_types.h"
#include "engine/coverage_samples.h"
#include "engine/pen_style.h"
#include "engine/soft_pen.h"

#include <QImage>
#include <QPoint>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class TColoringMask;

// A smooth (coverage-based) stroke on the sample grid of CoverageSamples,
// whose pattern maps onto itself under both mirrors and the quarter turns,
// so a shape and its mirror or turned copy cover mirror images of each
// other. A stroke records which samples any of its shapes has covered so
// far, and every touched pixel is its stroke-start colour blended toward the
// stroke's colour by the covered share times the opacity: shapes that
// overlap (the joints of a stroke, its copies) never darken a pixel twice,
// and the order in which they come does not matter. A soft pen records each
// pixel's largest weight instead, and an aliased pen below full opacity
// covers whole pixels once. With rainbow copies every copy has a colour of
// its own, and a pixel is blended toward the colour of the highest copy that
// has covered it; the covered share stays the union of all copies. The per-pixel state lives in tiles made only
// where the stroke goes and freed when it ends, so a stroke holds memory in
// proportion to its area, never to the picture's. A failed allocation throws
// std::bad_alloc and leaves the stroke and the picture consistent: every
// pixel is either drawn with its state recorded or not touched.
class TCoverageStroke {
    using TPartRuns = CoverageSamples::TPartRuns;

public:
    static constexpr int Samples = CoverageSamples::Samples;
    // The side of the square tiles the state is kept in.
    static constexpr int TileSide = 32;

    // Ends the stroke and frees its state; the next shape starts a new one
    // on the picture as it is then.
    void End();
    // The capsule of radius width / 2 around the segment between the
    // centres of pixels a and b (width 1 counts as radius 1/2). With a mask
    // (the picture's size) protected pixels keep their colour. A colour is
    // laid over pixels that are not opaque; transparency makes them fade.
    // A joint says that the capsule before, added with the same width and
    // style, ended at a. Hue is the copy's hue index, below style.Hues.
    void AddCapsule(QImage &picture, QPoint a, QPoint b, int width, TInk ink, const TColoringMask *mask,
                    const TPenStyle &style = {}, bool joint = false, int hue = 0);
    // Pixels x0..x1 of row y, covered whole.
    void AddSpan(QImage &picture, int y, int x0, int x1, TInk ink, const TColoringMask *mask, const TPenStyle &style,
                 int hue = 0);
    // How many samples of the pixel the stroke has covered, 0..Samples.
    int Covered(int x, int y) const;
    // The bytes the stroke's state holds now.
    std::size_t Bytes() const;
    // Starts a new stroke unless the one in progress is on this picture with
    // this ink and style.
    void Prepare(const QImage &picture, TInk ink, const TPenStyle &style);
    // Changes whenever the stroke starts afresh.
    std::uint64_t Generation() const { return Starts; }

private:
    static constexpr int TileShift = 5;
    static constexpr int TileSize = 1 << TileShift;
    static_assert(TileSize == TileSide);
    static constexpr int TileArea = TileSize * TileSize;

    // The state of a tile's pixels, row by row: one array per kind of
    // state, each as dense as it can be, so a kind added later is one more
    // array here.
    struct TTile {
        // The samples covered so far; no bits set means untouched.
        std::uint16_t Bits[TileArea];
        // The largest weight of a soft pen so far; 0 means untouched.
        std::uint8_t Weight[TileArea];
        // The colour before the stroke, kept for pixels not yet at their
        // final colour.
        QRgb Start[TileArea];
        // Rainbow copies only, so other strokes do not carry it: the
        // highest hue index that covered the pixel, plus one; 0 means
        // untouched.
        std::unique_ptr<std::uint16_t[]> Top;
    };

    void SetWidth(int width);
    int RainbowIndex(int hue) const;
    int CapsuleRuns(QPoint delta, int reach);
    void AddRow(QImage &picture, int y, const TPartRuns &runs, const TColoringMask *mask);
    void AddRainbowRow(QImage &picture, int y, const TPartRuns &runs, const TColoringMask *mask);
    void AddSoftCapsule(QImage &picture, QPoint a, QPoint b, int width, const TColoringMask *mask, bool joint);
    void Floors(int y, TPixelRun span, const TColoringMask *mask);
    void RainbowFloors(const std::uint16_t *tops, int count, std::uint8_t *floors) const;
    void AddSoftRow(QImage &picture, int y, int x0, TPixelRun rose);
    void AddRainbowSoftRow(QImage &picture, int y, int x0, TPixelRun rose);
    template <typename RunFn>
    void ForEachTileRun(int y, int x0, int x1, RunFn &&fn);
    TTile &TileAt(int x, int y);
    TTile &NewTile(std::unique_ptr<TTile> &slot);

    bool Open = false;
    std::uint64_t Starts = 0;
    int W = 0;
    int H = 0;
    // The ink's pixel: 0 for transparency.
    QRgb Color = 0;
    bool Alpha = false;
    TPenStyle Style;
    // Rainbow copies: each hue index's colour, and the index of the copy
    // being added.
    std::vector<QRgb> Colors;
    int Hue = 0;
    // The pen weight of a soft pen's weights.
    unsigned SoftWeight[TSoftPen::Full + 1] = {};
    TSoftPen Soft;
    std::vector<std::uint8_t> RowFloors, RowWeights;
    // One entry per tile of the picture, row by row; empty where the stroke
    // has not been.
    std::vector<std::unique_ptr<TTile>> Tiles;
    int TilesPerRow = 0;
    std::size_t TileCount = 0;
    // Radius of the current width in eighths of a pixel, and for each
    // vertical distance t (eighths) the largest horizontal one in the disc.
    int Radius = 0;
    std::vector<int> DiscHalf;
    // The sample runs of the last capsule, from its start pixel.
    struct TCapsuleRuns {
        QPoint Delta;
        int Radius = 0;
        std::vector<std::array<CoverageSamples::TRun, 4>> Runs;
    } Capsule;
};

// Tests make the stroke's allocations fail once it holds this many tiles;
// by default there is no limit.
void LimitCoverageTilesForTesting(std::size_t tiles);
