#include "engine/reduced_copy.h"

#include <algorithm>

namespace {

// Sums of opaque pixels: red and blue in the two halves of one word, green
// in another. A block of up to 16 x 16 pixels sums to at most 65280 per
// channel, which fits a half.
struct TRgbSum {
    std::uint32_t RedBlue = 0;
    std::uint32_t Green = 0;

    void Add(QRgb c)
    {
        RedBlue += c & 0x00FF00FFu;
        Green += (c >> 8) & 0xFFu;
    }
    void Add(const TRgbSum &o)
    {
        RedBlue += o.RedBlue;
        Green += o.Green;
    }
    // The rounded average of count pixels.
    QRgb Average(std::uint32_t count) const
    {
        return qRgb(int(((RedBlue >> 16) + count / 2) / count), int((Green + count / 2) / count),
                    int(((RedBlue & 0xFFFFu) + count / 2) / count));
    }
};

// Sums of pixels with alpha: alpha, and each colour weighted by it, so that
// the colour bytes of transparent pixels never show in the average.
struct TArgbSum {
    std::uint32_t Red = 0;
    std::uint32_t Green = 0;
    std::uint32_t Blue = 0;
    std::uint32_t Alpha = 0;

    void Add(QRgb c)
    {
        const std::uint32_t a = c >> 24;
        Red += ((c >> 16) & 0xFFu) * a;
        Green += ((c >> 8) & 0xFFu) * a;
        Blue += (c & 0xFFu) * a;
        Alpha += a;
    }
    void Add(const TArgbSum &o)
    {
        Red += o.Red;
        Green += o.Green;
        Blue += o.Blue;
        Alpha += o.Alpha;
    }
    QRgb Average(std::uint32_t count) const
    {
        if (Alpha == 0)
            return 0;
        const auto colour = [this](std::uint32_t sum) { return int((sum + Alpha / 2) / Alpha); };
        return qRgba(colour(Red), colour(Green), colour(Blue), int((Alpha + count / 2) / count));
    }
};

// The average of the f x f block at (bx, by) of the picture whose rows
// start at bits, stride bytes apart.
template <typename Sum>
QRgb AverageBlock(const uchar *bits, qsizetype stride, int f, int bx, int by)
{
    Sum sum;
    for (int y = by * f; y < (by + 1) * f; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(bits + y * stride) + bx * f;
        for (int k = 0; k < f; ++k)
            sum.Add(row[k]);
    }
    return sum.Average(std::uint32_t(f) * std::uint32_t(f));
}

// Sums each block's pixels column by column over its rows.
template <typename Sum>
void AverageBlocks(const QImage &picture, int f, const QRect &blocks, QImage &copy)
{
    const std::uint32_t count = std::uint32_t(f) * std::uint32_t(f);
    const int x0 = blocks.left() * f;
    std::vector<Sum> sums(std::size_t(blocks.width()));
    for (int by = blocks.top(); by <= blocks.bottom(); ++by) {
        std::fill(sums.begin(), sums.end(), Sum());
        for (int y = by * f; y < (by + 1) * f; ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y)) + x0;
            for (Sum &blockSum : sums) {
                Sum part;
                for (int k = 0; k < f; ++k)
                    part.Add(*row++);
                blockSum.Add(part);
            }
        }
        auto *out = reinterpret_cast<QRgb *>(copy.scanLine(by)) + blocks.left();
        for (std::size_t i = 0; i < sums.size(); ++i)
            out[i] = sums[i].Average(count);
    }
}

QImage::Format CopyFormat(const QImage &picture)
{
    return picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
}

} // namespace

void TReducedCopy::Rebuild(const QImage &picture, int factor)
{
    ReductionFactor = std::clamp(factor, 1, MaxFactor);
    const QSize size(picture.width() / ReductionFactor, picture.height() / ReductionFactor);
    if (Copy.size() != size || Copy.format() != CopyFormat(picture))
        Copy = QImage(size, CopyFormat(picture));
    Queued.assign(std::size_t(size.width()) * std::size_t(size.height()), 0);
    Pending.clear();
    AverageBlocks(picture, Copy.rect());
}

bool TReducedCopy::SizeChanged(const QImage &picture) const
{
    const int f = ReductionFactor;
    return f == 0 || picture.width() / f != Copy.width() || picture.height() / f != Copy.height() ||
           CopyFormat(picture) != Copy.format();
}

QRect TReducedCopy::BlocksOf(const QRect &dirty) const
{
    const int f = std::max(ReductionFactor, 1);
    const QRect norm = dirty.normalized();
    const QRect blocks(QPoint(std::max(norm.left(), 0) / f, std::max(norm.top(), 0) / f),
                       QPoint(std::max(norm.right(), 0) / f, std::max(norm.bottom(), 0) / f));
    return blocks.intersected(Copy.rect());
}

void TReducedCopy::Mark(const QRect &dirty)
{
    const QRect blocks = BlocksOf(dirty);
    const int w = Copy.width();
    for (int by = blocks.top(); by <= blocks.bottom(); ++by) {
        std::uint8_t *queued = Queued.data() + std::size_t(by) * std::size_t(w);
        for (int bx = blocks.left(); bx <= blocks.right(); ++bx) {
            if (queued[bx])
                continue;
            queued[bx] = 1;
            Pending.push_back(by * w + bx);
        }
    }
}

void TReducedCopy::Update(const QImage &picture)
{
    if (SizeChanged(picture)) {
        Rebuild(picture, ReductionFactor);
        return;
    }
    // Rows of the copy hold whole pixels, so a block's index is its pixel's.
    const int w = Copy.width();
    const uchar *bits = picture.constBits();
    const qsizetype stride = picture.bytesPerLine();
    auto *out = reinterpret_cast<QRgb *>(Copy.bits());
    const bool alpha = picture.hasAlphaChannel();
    for (int i : Pending) {
        Queued[std::size_t(i)] = 0;
        out[i] = alpha ? AverageBlock<TArgbSum>(bits, stride, ReductionFactor, i % w, i / w)
                       : AverageBlock<TRgbSum>(bits, stride, ReductionFactor, i % w, i / w);
    }
    Pending.clear();
}

void TReducedCopy::AverageBlocks(const QImage &picture, const QRect &blocks)
{
    if (blocks.isEmpty())
        return;
    if (picture.hasAlphaChannel())
        ::AverageBlocks<TArgbSum>(picture, ReductionFactor, blocks, Copy);
    else
        ::AverageBlocks<TRgbSum>(picture, ReductionFactor, blocks, Copy);
}
