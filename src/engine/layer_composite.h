#pragma once

#include "engine/canvas_types.h"
#include "engine/layer_stack.h"

#include <QImage>
#include <QRect>

#include <vector>

// The picture as its visible layers compose (Format_ARGB32), kept up to date
// while the active layer changes stroke by stroke. The visible layers under
// the active one are kept composed (Below), and so are those over it, over
// transparency (Above): a change of the active layer is composed again from
// three sources whatever the number of layers. Below and Above are made anew
// by Rebuild, which a change of any other layer, of the order or of the
// active layer calls for.
//
// The display copy, when kept, is the composite over the checkerboard
// (Format_RGB32), for a paint at full size that only copies pixels. It
// follows the composite when it is asked for: the mouse moves several times
// between two paints.
class TLayerComposite {
public:
    // Composes Below, Above and then the whole picture anew.
    void Rebuild(const TLayerStack &stack);
    // The active layer changed inside rect (picture coordinates); an empty
    // rectangle means everywhere.
    void Mark(const QRect &rect);
    // The active layer changed in these rows (inside the picture), which
    // are all that is composed again: a stroke's copies are round, and
    // their boxes hold half as many pixels again.
    void MarkRows(const std::vector<TSpan> &rows);
    // Whether a change was marked since the last update, also one that left
    // every pixel as it was.
    bool HasMarks() const { return Heard; }
    // Composes the marked parts again.
    void Update(const TLayerStack &stack);

    // Keeps the display copy from now on, or frees it.
    void KeepDisplay(bool keep);

    const QImage &Composite() const { return Composed; }
    // The display copy, brought up to date with the composite.
    const QImage &Display();

private:
    void MarkAll();
    void ComposeRect(const TLayerStack &stack, const QRect &rect);
    template <typename SpanAt>
    void ComposeSpans(const TLayerStack &stack, int count, SpanAt at);
    void MarkShown(const QRect &rect);

    QImage Below;
    QImage Above;
    QImage Composed;
    QImage Shown;
    bool Keep = false;
    bool ShownStale = true;
    // The parts of the composite made anew since the display copy followed.
    std::vector<QRect> ShownMarked;
    std::vector<QRect> Marked;
    std::vector<TSpan> MarkedRows;
    // Around the rows of each MarkRows, for the display copy.
    std::vector<QRect> RowBounds;
    bool MarkedAll = false;
    bool Heard = false;
};
