#pragma once

#include "engine/canvas_types.h"

#include <QImage>

#include <cstdint>
#include <vector>

// The coloring mask: one byte per picture pixel, non-zero where the pixel is
// protected and zero where painting may change it. It is a snapshot of the
// picture at its last rebuild.
class TColoringMask {
public:
    // In protect mode the pixels whose red, green and blue equal the key's
    // are protected; in paint-over mode every other pixel is. The fourth byte
    // of a pixel is ignored, except that in a picture with an alpha channel
    // a fully transparent pixel never has the key colour.
    void Rebuild(const QImage &picture, TColor key, TColoringMode mode);

    // Rows first .. first + count - 1 of the mask, as a mask of their own
    // that reads this one's bytes: it must not outlive this mask or its
    // next rebuild.
    TColoringMask Rows(int first, int count) const;

    int Width() const { return W; }
    int Height() const { return H; }
    const std::uint8_t *Row(int y) const
    {
        return Whole ? Whole->Row(y + First) : Bytes.data() + std::size_t(y) * std::size_t(W);
    }
    bool Protected(int x, int y) const { return Row(y)[x] != 0; }

    // The mask as a 1-bit image: white (1) protected, black (0) paintable.
    QImage ToImage() const;

private:
    int W = 0;
    int H = 0;
    std::vector<std::uint8_t> Bytes;
    const TColoringMask *Whole = nullptr;
    int First = 0;
};

// Sets pixels x0..x1 of a row to color where the mask row allows it.
inline void FillSpanMasked(QRgb *row, const std::uint8_t *mask, int x0, int x1, QRgb color)
{
    // Written as a select so that the compiler turns it into vector blends.
    for (int x = x0; x <= x1; ++x)
        row[x] = mask[x] ? row[x] : color;
}

// The masked drawing protocol for an operation whose extent is known only
// while it runs, such as a flood fill: the operation draws on the picture
// itself and saves each run's old pixels just before overwriting them;
// ApplyThroughMask then puts the old pixels back where the mask protects
// them. The picture ends up as if the operation had drawn on a scratch copy
// that was transferred through the mask, but only the changed runs are
// copied. The save area is kept between operations.
class TMaskedChange {
public:
    // Throws std::bad_alloc, before anything changed, when the save area
    // cannot be had.
    void Begin(const QImage &picture);
    void Save(const QImage &picture, int y, int x0, int x1);
    void ApplyThroughMask(QImage &picture, const TColoringMask &mask) const;

private:
    QImage Saved;
    std::vector<TSpan> Spans;
};
