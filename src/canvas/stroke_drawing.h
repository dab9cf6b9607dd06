#pragma once

#include "canvas/canvas_types.h"
#include "canvas/reflection.h"

#include <QImage>
#include <QLineF>
#include <vector>

// Draws every copy of one stroke segment with a solid, non-antialiased pen.
// A pen wider than one pixel is round and centred on the pixel centres, so
// the copies of a stroke are as symmetric as the rounding of their end points
// allows. A one-pixel pen draws each line from its start pixel up to, but not
// including, its end pixel, where the next segment starts. The line buffer is
// kept between calls so that a stroke allocates nothing per mouse move.
class TStrokePainter {
public:
    void DrawCopies(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TColor color, int width);

private:
    void DrawWide(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TColor color, int width);

    std::vector<QLineF> Lines;
};

// A one-pixel line from a up to but not including b, clipped to the image.
void DrawThinLine(QImage &target, QPoint a, QPoint b, QRgb color);
