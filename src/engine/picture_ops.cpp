#include "engine/picture_ops.h"

#include "engine/thread_pool.h"
#include "engine/wide_vectors.h"

#include <cstdint>

namespace {

// Applies op to every pixel value of rows y0 .. y1 - 1; written as a plain
// loop over each row so that the compiler vectorises it. Always inlined, so
// that each instruction set version of a caller vectorises the loop for its
// own set.
struct TRowsOf {
    uchar *Bits;
    qsizetype Stride;
    int Width;
};

template <typename Op>
[[gnu::always_inline]] inline void ForEachPixel(const TRowsOf &picture, int y0, int y1, Op op)
{
    const int w = picture.Width;
    uchar *bits = picture.Bits;
    const qsizetype stride = picture.Stride;
    for (int y = y0; y < y1; ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(bits + y * stride);
        for (int x = 0; x < w; ++x)
            row[x] = op(row[x]);
    }
}

void InvertRows(const TRowsOf &picture, int y0, int y1)
{
    ForEachPixel(picture, y0, y1, [](std::uint32_t p) { return p ^ 0x00FFFFFFu; });
}

// With AVX2 the grayscale loop takes eight pixels a step and keeps up with
// memory; plain x86-64 has no 32-bit vector multiply and falls behind it.
VELMORA_WIDE_VECTORS void GrayscaleRows(const TRowsOf &picture, int y0, int y1)
{
    ForEachPixel(picture, y0, y1, [](std::uint32_t p) {
        const std::uint32_t sum = (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
        // sum / 3 rounded down, exact for every sum up to 765; a multiply and
        // a shift vectorise where a division by 3 leaves the loop scalar.
        const std::uint32_t g = (sum * 21846u) >> 16;
        return (p & 0xFF000000u) | g * 0x010101u;
    });
}

// Below this many pixels a picture is done before the threads would start.
constexpr qsizetype SplitPixels = qsizetype(1) << 20;

// Each thread takes a band of rows of a large picture. The picture is
// detached here, once: the threads only write through its buffer.
void InBands(QImage &picture, void (*rows)(const TRowsOf &, int, int))
{
    const int h = picture.height();
    const TRowsOf buffer{picture.bits(), picture.bytesPerLine(), picture.width()};
    TThreadPool &pool = TThreadPool::Shared();
    const int parts = qsizetype(picture.width()) * h < SplitPixels ? 1 : pool.Threads();
    if (parts == 1) {
        rows(buffer, 0, h);
        return;
    }
    pool.Run(parts, [&](int i) { rows(buffer, int(qint64(h) * i / parts), int(qint64(h) * (i + 1) / parts)); });
}

} // namespace

void InvertPixels(QImage &picture)
{
    InBands(picture, InvertRows);
}

void GrayscalePixels(QImage &picture)
{
    InBands(picture, GrayscaleRows);
}
