#pragma once

#include "engine/pen_raster.h"

#include <QPoint>

#include <cstdint>
#include <vector>

// The weight of a soft round pen along a segment, on the sample grid of
// CoverageSamples: 1 within hardness x width / 2 of the segment, falling
// smoothly to 0 at width / 2, and a pixel's weight the average over its 16
// samples. Every sample is judged by its exact integer distance (or its
// square) from the segment, so a segment and its mirror or turned copy weigh
// mirror images of each other.
class TSoftPen {
public:
    // Weights run from 0 to Full.
    static constexpr int Full = 255;

    // Width as the smooth pen takes it (1 is a radius of 1/2), hardness in
    // percent below 100.
    void SetPen(int width, int hardness);
    // How far the pen reaches beyond the segment in whole pixels.
    int Reach() const { return Outer / 8 + 1; }
    // The segment between the centres of pixels a and b. At a joint, where
    // the segment before ended at a with the same pen, the pixels behind a
    // weigh no more than that segment gave them and are left out.
    void Begin(QPoint a, QPoint b, bool joint);
    // The pixels X0..X1 of row y of a picture of the given width that the
    // pen may reach; false when it misses the row.
    bool Span(int y, int width, int &X0, int &X1) const;
    // The weights of pixels X0..X1 of row y. A pixel whose weight cannot
    // exceed its floor (floors[x - X0]) is not worked out and gets 0.
    void Weigh(int y, int X0, int X1, const std::uint8_t *floors, std::uint8_t *weights) const;

private:
    // The falloff level of a squared distance times Scale (or a squared
    // cross product times BandScale).
    int Level(double scaled) const;
    double Scaled(std::int64_t rx, std::int64_t ry, std::int64_t u, std::int64_t cross) const;
    int PixelWeight(std::int64_t rx, std::int64_t ry, std::int64_t u, std::int64_t cross) const;

    // Radii in eighths of a pixel, hardness in percent.
    int Outer = 0;
    int Hardness = -1;
    // The disc and band of pixel centres that may have a sample within the
    // outer radius.
    std::vector<int> ReachHalf;
    // The weight of a sample by its squared distance in Levels-ths of the
    // squared outer radius; the last entry, for the rim and beyond, is 0.
    static constexpr int Levels = 1024;
    // Whole words, which vector code loads a lane at a time.
    std::vector<std::int32_t> Falloff;
    // The most and the least the samples of a pixel can weigh, by the level
    // of its centre; the last entries, beyond the rim, are 0.
    std::vector<std::uint8_t> Upper, Lower;
    double Scale = 0;

    // The segment in eighths.
    QPoint A, B;
    std::int64_t Dx = 0, Dy = 0, Len2 = 0;
    PenRaster::TBand ReachBand{{}, {}, 0};
    double BandScale = 0;
    // Per sample of a pixel: its offset from the pixel's centre along the
    // segment and across it (times the segment's length), and the most the
    // first reaches either way.
    std::int64_t AlongOffset[16] = {};
    double CrossOffset[16] = {};
    std::int64_t AlongReach = 0;
    bool Joint = false;
};
