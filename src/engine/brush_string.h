#pragma once

#include <QPoint>
#include <QPointF>

// The stabilizer's string: the brush point follows the pointer only when the
// pointer is farther away than the string's length, and then by the excess,
// straight toward the pointer. Small wobbles of the hand stay within the
// string and never reach the brush.
class TBrushString {
public:
    // The brush point starts where the pointer is.
    void Start(QPoint p) { Brush = QPointF(p); }
    // Pulls the brush point toward the pointer on a string of the given
    // length (picture pixels); returns whether it moved.
    bool Pull(QPoint pointer, double length);
    QPointF Point() const { return Brush; }
    // The picture pixel under the brush point, halves rounded to even.
    QPoint Pixel() const;

private:
    QPointF Brush;
};
