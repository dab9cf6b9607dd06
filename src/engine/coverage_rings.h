#pragma once

#include "engine/canvas_types.h"
#include "engine/coverage_samples.h"

#include <QImage>
#include <QPoint>

#include <cstddef>
#include <cstdint>
#include <vector>

class TRingRule;

// Smooth rings drawn as one stroke of their own: the rings between the
// circles of radius r - width/2 and r + width/2 around the centres of the
// given pixels, on the sample grid of CoverageSamples. Where rings meet, a
// pixel is blended once from its colour before the stroke by the samples any
// of them covers, as TCoverageStroke does. Every ring has the same shape, so
// its rows are worked out once, relative to a centre, and the picture is
// swept a band of rows at a time: the memory needed is one ring's rows and
// one band of the picture's rows, kept for the next rings. A failed
// allocation throws std::bad_alloc before any pixel changed.
class TCoverageRings {
public:
    void Add(QImage &picture, const std::vector<QPoint> &centers, int r, int width, TColor color);

private:
    static constexpr int BandRows = 8;

    // One side of a ring on one row, relative to the centre pixel; the
    // samples of its edge pixels, left to right, start at EdgeBits[Edge].
    struct TPart : CoverageSamples::TPartSpan {
        std::size_t Edge = 0;
    };
    // A ring on the picture: its centre pixel, its rows in the picture and
    // where the first of them starts in Parts.
    struct TPlaced {
        int Cx, Cy, Top, Bottom;
        std::size_t Rows = 0;
    };
    // Edge pixels of a band whose samples are gathered in BandBits.
    struct TSpan {
        int Y, BandRow, X0, X1;
    };

    void Place(TRingRule &rule, const std::vector<QPoint> &centers, int width, int height);
    std::size_t AddRows(TRingRule &rule, int dy0, int dy1);
    TPart Split(const CoverageSamples::TPartRuns &side);
    void Band(int y0, int y1);
    void Prefetch(const TPart *parts, int cx, int y) const;
    void AddPart(const TPart &part, int cx, int y, int bandRow);
    void BlendEdges();

    // The ring's rows, two parts a row, and the samples of their edges.
    std::vector<TPart> Parts;
    std::vector<std::uint16_t> EdgeBits;
    std::vector<TPlaced> Rings;
    // The picture being drawn on.
    uchar *Pixels = nullptr;
    qsizetype Stride = 0;
    int Width = 0;
    QRgb Color = 0;
    bool Alpha = false;
    // One row of the picture's width per row of the band.
    std::vector<std::uint16_t> BandBits;
    std::vector<TSpan> Edges;
};
