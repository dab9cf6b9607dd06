#pragma once

#include "engine/pen_raster.h"

#include <QPoint>

#include <cstdint>
#include <vector>

// Pixels X0..X1 of a row, none when X0 > X1.
struct TPixelRun {
    int X0 = 1;
    int X1 = 0;

    bool Empty() const { return X0 > X1; }
};

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
    // The pixels of row y of a picture of the given width that the pen may
    // reach, and perhaps a pixel more on either side.
    TPixelRun Span(int y, int width) const;
    // The weights of the pixels of a span of row y that rise above their
    // floors (floors[x - span.X0]), and 0 for all the others; a pixel whose
    // weight cannot exceed its floor is not worked out. Returns the pixels
    // from the first to the last that rose.
    TPixelRun Weigh(int y, TPixelRun span, const std::uint8_t *floors, std::uint8_t *weights) const;

private:
    // Pixel k of a span, from the segment's start: its centre at
    // (Rx + 8k, Ry), its projection on the segment U + 8 Dx k and its cross
    // product Cross - 8 Dy k (both times the segment's length).
    struct TRowStart {
        std::int64_t Rx, Ry, U, Cross;
    };

    void SetBand();
    // The falloff level of a squared distance times Scale (or a squared
    // cross product times BandScale).
    int Level(double scaled) const;
    int PixelWeight(const TRowStart &row, int k) const;
    int BesideWeight(double cross) const;
    int Average(const int (&levels)[16]) const;
    // Pixels K0..K1 - 1 of a span and the rule for their centres' levels.
    struct TLevels {
        int K0, K1;
        double P, Q, R, Scale;
    };
    void WeighRun(const TRowStart &row, TLevels levels, const std::uint8_t *floors, std::uint8_t *weights,
                  TPixelRun &rose) const;

    // Radii in eighths of a pixel, hardness in percent.
    int Outer = 0;
    int Hardness = -1;
    // The disc of pixel centres that may have a sample within the outer
    // radius.
    std::vector<int> ReachHalf;
    // The weight of a sample by its squared distance in Levels-ths of the
    // squared outer radius; the last entry, for the rim and beyond, is 0.
    static constexpr int Levels = 1024;
    // Whole words, which vector code loads a lane at a time.
    std::vector<std::int32_t> Falloff;
    // By the level of a pixel's centre: from SkipFrom[f] on, none of its
    // samples can weigh more than f; below CoreBelow, all of them weigh
    // Full.
    double SkipFrom[Full + 1] = {};
    double CoreBelow = 0;
    double Scale = 0;

    // The segment in eighths.
    QPoint A, B;
    std::int64_t Dx = 0, Dy = 0, Len2 = 0;
    double BandScale = 0;
    // The inverse of the change of u from pixel to pixel.
    double InverseStep = 0;
    // The ends of a row's run through the band, Slope ry + Lo to
    // Slope ry + Hi, by each of the two conditions, and the rows it may
    // have.
    struct TBandSide {
        double Slope, Lo, Hi;
    };
    TBandSide Along{}, Across{};
    std::int64_t BandTop = 0, BandBottom = 0;
    // Per sample of a pixel: its offset from the pixel's centre along the
    // segment and across it (times the segment's length), and the most the
    // first reaches either way.
    std::int64_t AlongOffset[16] = {};
    double CrossOffset[16] = {};
    std::int64_t AlongReach = 0;
    bool Joint = false;
};
