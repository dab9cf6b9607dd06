#include "engine/coloring_mask.h"

#include "engine/wide_vectors.h"

#include <cstring>
#include <new>

namespace {

// The pointers do not overlap; saying so lets the compiler vectorise. Always
// inlined, so that each instruction set version of Rebuild vectorises it for
// its own set. With an alpha channel a fully transparent pixel has no
// colour to match.
template <bool Alpha>
[[gnu::always_inline]] inline void MaskRow(const QRgb *__restrict src, std::uint8_t *__restrict dst, int w, QRgb key,
                                           std::uint8_t onKey)
{
    const std::uint8_t offKey = onKey ^ 1;
    for (int x = 0; x < w; ++x)
        dst[x] = ((src[x] ^ key) & 0xFFFFFF) == 0 && (!Alpha || src[x] >> 24) ? onKey : offKey;
}

void RestoreRow(QRgb *__restrict dst, const QRgb *__restrict old, const std::uint8_t *__restrict mask, int x0, int x1)
{
    for (int x = x0; x <= x1; ++x)
        dst[x] = mask[x] ? old[x] : dst[x];
}

} // namespace

// With AVX2 the loop narrows eight pixels to eight mask bytes a step and
// keeps up with memory; plain x86-64 needs a chain of shuffles for it.
TColoringMask TColoringMask::Rows(int first, int count) const
{
    TColoringMask rows;
    rows.W = W;
    rows.H = count;
    rows.Whole = this;
    rows.First = first;
    return rows;
}

VELMORA_WIDE_VECTORS void TColoringMask::Rebuild(const QImage &picture, TColor key, TColoringMode mode)
{
    Whole = nullptr;
    First = 0;
    W = picture.width();
    H = picture.height();
    Bytes.resize(std::size_t(W) * std::size_t(H));
    const QRgb k = ColorToRgb(key) & 0xFFFFFF;
    const std::uint8_t onKey = mode == cmProtectColor ? 1 : 0;
    const bool alpha = picture.hasAlphaChannel();
    for (int y = 0; y < H; ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        std::uint8_t *dst = Bytes.data() + std::size_t(y) * std::size_t(W);
        if (alpha)
            MaskRow<true>(src, dst, W, k, onKey);
        else
            MaskRow<false>(src, dst, W, k, onKey);
    }
}

QImage TColoringMask::ToImage() const
{
    QImage image(W, H, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < H; ++y) {
        uchar *dst = image.scanLine(y);
        std::memset(dst, 0, std::size_t(image.bytesPerLine()));
        const std::uint8_t *src = Row(y);
        for (int x = 0; x < W; ++x)
            if (src[x])
                dst[x >> 3] |= uchar(0x80 >> (x & 7));
    }
    return image;
}

void TMaskedChange::Begin(const QImage &picture)
{
    if (Saved.size() != picture.size())
        Saved = QImage(picture.size(), QImage::Format_RGB32);
    if (Saved.isNull())
        throw std::bad_alloc();
    Spans.clear();
}

void TMaskedChange::Save(const QImage &picture, int y, int x0, int x1)
{
    const auto *src = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
    auto *dst = reinterpret_cast<QRgb *>(Saved.scanLine(y));
    std::memcpy(dst + x0, src + x0, std::size_t(x1 - x0 + 1) * sizeof(QRgb));
    Spans.push_back(TSpan{y, x0, x1});
}

void TMaskedChange::ApplyThroughMask(QImage &picture, const TColoringMask &mask) const
{
    for (const TSpan &s : Spans)
        RestoreRow(reinterpret_cast<QRgb *>(picture.scanLine(s.Y)),
                   reinterpret_cast<const QRgb *>(Saved.constScanLine(s.Y)), mask.Row(s.Y), s.X0, s.X1);
}
