#pragma once

#include "engine/canvas_types.h"
#include "engine/coverage_rings.h"
#include "engine/coverage_stroke.h"
#include "engine/pen_raster.h"
#include "engine/pen_style.h"
#include "engine/reflection.h"

#include <QImage>

#include <functional>
#include <vector>

class TColoringMask;

// Draws with the solid, non-antialiased pen of the brush and the eraser. A
// pen of width 1 draws each line from its start pixel up to, but not
// including, its end pixel, where the next segment starts. A wider pen is
// round: a line covers the pixels whose centres lie within half the width of
// the line between the end pixels' centres, so the joins of a stroke are
// round and the copies of a stroke are exact mirror images wherever their
// end points are. Everything is clipped to the target; nothing allocates
// per call once the pen's width is set.
//
// Smooth drawing replaces the solid pen by coverage (see TCoverageStroke):
// every call from one EndStroke to the next adds to the same stroke, and
// width 1 is a round pen of radius 1/2. A translucent pen draws its copies
// as one stroke too, whether smooth or not, and a soft pen is always
// smooth. Such drawing allocates as it goes and throws std::bad_alloc when
// memory runs out.
class TStrokePainter {
public:
    void SetSmooth(bool smooth) { Smooth = smooth; }
    bool IsSmooth() const { return Smooth; }
    // Ends the stroke in progress and frees what it held; whatever is drawn
    // next starts a new stroke on the picture as it is then.
    void EndStroke() { Coverage.End(); }

    // Hears of each copy of a segment as it is drawn, with the rows of
    // pixels it may have changed, so a caller can tell what changed without
    // reflecting the segment again. The solid pen tells the pixels from the
    // first to the last on each row that it changed, a translucent aliased
    // one those it covered, a smooth one the rows of its reach around the
    // copy.
    using TCopyDrawn = std::function<void(QPoint a, QPoint b, const std::vector<TSpan> &rows)>;

    // Every copy of the segment from -> to. With a mask (the target's size)
    // only the pixels it leaves paintable change.
    void DrawCopies(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TInk ink, int width,
                    const TColoringMask *mask = nullptr, const TCopyDrawn &copyDrawn = {},
                    const TPenStyle &style = {});
    // As DrawCopies, with the copies given, on the rows of a band of the
    // picture: band holds rows firstRow onwards (a multiple of the
    // coverage's tile size) and mask, if any, the same rows of the mask.
    // Copies that cannot reach the band are skipped; the rest are clipped
    // to it, so bands drawn side by side give the picture DrawCopies would.
    // With rows, the rows of pixels that changed (picture rows) are added.
    // The copies come in parts, drawn in order.
    void DrawBand(QImage &band, int firstRow, const ReflectionInput &reflection, QPoint from, QPoint to,
                  const std::vector<std::vector<TSegmentCopy>> &copies, TInk ink, int width, const TColoringMask *mask,
                  const TPenStyle &style, std::vector<TSpan> *rows);
    // One line of an outline.
    void DrawLine(QImage &target, QPoint a, QPoint b, TColor color, int width);
    // Circle outlines of radius r around the given centres: width 1 gives
    // the 8-connected ring of the pixels nearest to each circle, a wider pen
    // the pixels whose centres lie within half the width of it. Smooth
    // circles are a stroke of their own.
    void DrawCircles(QImage &target, const std::vector<QPoint> &centers, int r, TColor color, int width);

private:
    template <typename ForEachCopy>
    void Draw(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TInk ink, int width,
              const TColoringMask *mask, const TPenStyle &style, bool told, ForEachCopy &&forEachCopy);
    // Whether the segment from -> to goes on from the last one drawn, so
    // that every copy starts where the copy before ended.
    bool Continues(const ReflectionInput &reflection, QPoint from, int width, const TPenStyle &style) const;

    template <typename SpanFn>
    void RepeatedSegment(QPoint a, QPoint b, int width, int height, SpanFn &&span);

    TPen Pen;
    // The runs of the last wide segment drawn, from its start pixel: the
    // copies of a pattern repeat one segment many times over, shifted by
    // whole pixels.
    struct TPenRuns {
        QPoint Delta;
        int Width = 0;
        int Top = 0;
        std::vector<std::pair<int, int>> Runs;
    } Repeated;
    bool Smooth = false;
    TCoverageStroke Coverage;
    // The last segment drawn, and the stroke it was drawn in.
    struct TLastSegment {
        ReflectionInput Reflection;
        QPoint To;
        int Width = 0;
        std::uint64_t Generation = 0;
    } Last;
    TCoverageRings Rings;
    // The rows the copy being drawn changed, kept for its listener.
    std::vector<TSpan> CopyRows;
};

// The copy set of a pen of the given width: copies that cannot reach the
// picture are left out.
ReflectionInput WithPenReach(const ReflectionInput &reflection, int width);

// A one-pixel line from a up to but not including b, clipped to the image.
void DrawThinLine(QImage &target, QPoint a, QPoint b, QRgb color);
