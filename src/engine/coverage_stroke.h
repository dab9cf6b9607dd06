#pragma once

#include "engine/canvas_types.h"

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <vector>

class TColoringMask;

// Smooth (coverage-based) drawing. Every pixel carries 4 x 4 sample points
// at offsets (2k + 1)/8 - 1/2 from its centre, a pattern that maps onto
// itself under both mirrors and the quarter turns, so a shape and its mirror
// or turned copy cover mirror images of each other. A stroke records which
// samples any of its shapes has covered so far, and every touched pixel is
// its stroke-start colour blended toward the stroke's colour by the covered
// share: shapes that overlap (the joints of a stroke, its copies) never
// darken a pixel twice, and the order in which they come does not matter.
// The samples and the start pixels are kept between strokes, so a stroke
// allocates nothing once the picture's size is known.
class TCoverageStroke {
public:
    static constexpr int Samples = 16;

    // Ends the stroke; the next shape starts a new one on the picture as it
    // is then.
    void Begin() { Open = false; }
    // The capsule of radius width / 2 around the segment between the
    // centres of pixels a and b (width 1 counts as radius 1/2). With a mask
    // (the picture's size) protected pixels keep their colour.
    void AddCapsule(QImage &picture, QPoint a, QPoint b, int width, TColor color, const TColoringMask *mask);
    // The ring between the circles of radius r - width/2 and r + width/2
    // around the centre of pixel c.
    void AddRing(QImage &picture, QPoint c, int r, int width, TColor color);
    // How many samples of the pixel the stroke has covered, 0..Samples.
    int Covered(int x, int y) const;

private:
    // Sample columns q = 4x + i (sample i of pixel x) covered on one of a
    // pixel row's four sample rows; up to two runs, empty when Lo > Hi.
    struct TRun {
        std::int64_t Lo = 1;
        std::int64_t Hi = 0;
    };
    using TRowRuns = TRun[4][2];

    void Prepare(const QImage &picture, TColor color);
    void SetWidth(int width);
    TRun ToColumns(std::int64_t lo, std::int64_t hi) const;
    void AddRuns(QImage &picture, int y, const TRowRuns &runs, const TColoringMask *mask);
    void Cover(QRgb *row, int x, int y, unsigned bits);

    bool Open = false;
    int W = 0;
    int H = 0;
    QRgb Color = 0;
    std::vector<std::uint16_t> Bits;
    QImage Start;
    // The pixels of each row touched since the samples were last cleared.
    std::vector<int> DirtyLo;
    std::vector<int> DirtyHi;
    // Radius of the current width in eighths of a pixel, and for each
    // vertical distance t (eighths) the largest horizontal one in the disc.
    int Radius = 0;
    std::vector<int> DiscHalf;
};
