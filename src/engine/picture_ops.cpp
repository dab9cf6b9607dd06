#include "engine/picture_ops.h"

#include "engine/wide_vectors.h"

#include <cstdint>

namespace {

// Applies op to every pixel value; written as a plain loop over each row so
// that the compiler vectorises it. Always inlined, so that each instruction
// set version of a caller vectorises the loop for its own set.
template <typename Op>
[[gnu::always_inline]] inline void ForEachPixel(QImage &picture, Op op)
{
    const int w = picture.width();
    uchar *bits = picture.bits();
    const qsizetype stride = picture.bytesPerLine();
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<std::uint32_t *>(bits + y * stride);
        for (int x = 0; x < w; ++x)
            row[x] = op(row[x]);
    }
}

} // namespace

void InvertPixels(QImage &picture)
{
    ForEachPixel(picture, [](std::uint32_t p) { return p ^ 0x00FFFFFFu; });
}

// With AVX2 the grayscale loop takes eight pixels a step and keeps up with
// memory; plain x86-64 has no 32-bit vector multiply and falls behind it.
VELMORA_WIDE_VECTORS void GrayscalePixels(QImage &picture)
{
    ForEachPixel(picture, [](std::uint32_t p) {
        const std::uint32_t sum = (p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF);
        // sum / 3 rounded down, exact for every sum up to 765; a multiply and
        // a shift vectorise where a division by 3 leaves the loop scalar.
        const std::uint32_t g = (sum * 21846u) >> 16;
        return (p & 0xFF000000u) | g * 0x010101u;
    });
}
