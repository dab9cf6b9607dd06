#pragma once

#include "engine/stroke_drawing.h"
#include "engine/thread_pool.h"

#include <cstdint>
#include <memory>
#include <vector>

// Draws the copies of a stroke's segments on every core: the copies are
// found once, in parts on every thread, then each thread draws those that reach its band of rows,
// clipped to it. Bands start on the coverage's tile rows and each has a
// painter of its own, so no pixel and no stroke state is touched by two
// threads, and the picture is the one a single painter would draw. A
// segment with little to draw stays on the calling thread.
class TParallelStrokes {
public:
    // Segments with less pen work than splitWork (pixels, roughly) stay on
    // the calling thread.
    explicit TParallelStrokes(TThreadPool &pool = TThreadPool::Shared(), std::int64_t splitWork = 40000);

    void SetSmooth(bool smooth);
    void EndStroke();
    // The painter for lines and circles, which the calling thread draws.
    TStrokePainter &Whole() { return WholePainter; }

    // As TStrokePainter::DrawCopies; copyDrawn hears of the copies on the
    // calling thread once they are drawn.
    void DrawCopies(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TInk ink, int width,
                    const TColoringMask *mask, const TStrokePainter::TCopyDrawn &copyDrawn, const TPenStyle &style);

private:
    bool SplitsSegment(const ReflectionInput &reflection, QPoint from, QPoint to, int width, bool keepsState);

    TThreadPool &Pool;
    std::int64_t SplitWork;
    bool Smooth = false;
    void TellCopies(const TStrokePainter::TCopyDrawn &copyDrawn, int bands);

    TStrokePainter WholePainter;
    // A band's painter and the rows it changed in the current segment.
    struct TBand {
        TStrokePainter Painter;
        std::vector<TSpan> Rows;
    };
    std::vector<std::unique_ptr<TBand>> Bands;
    // The copies of the segment in parts, in order.
    std::vector<std::vector<TSegmentCopy>> Parts;
    std::vector<TSpan> Merged;
    // A stroke that keeps state per pixel is drawn whole or in bands from
    // its first segment to its end.
    enum class TLayout { Open, Whole, Bands } StrokeLayout = TLayout::Open;
};
