#include "engine/reduced_copy.h"

#include <algorithm>

namespace {

// The rounded average of count pixels from their sums: red and blue in the
// two halves of one word, green in another.
QRgb Average(std::uint32_t redBlue, std::uint32_t green, std::uint32_t count)
{
    return qRgb(int(((redBlue >> 16) + count / 2) / count), int((green + count / 2) / count),
                int(((redBlue & 0xFFFFu) + count / 2) / count));
}

// The average of the f x f block at (bx, by) of the picture whose rows
// start at bits, stride bytes apart.
QRgb AverageBlock(const uchar *bits, qsizetype stride, int f, int bx, int by)
{
    std::uint32_t redBlue = 0, green = 0;
    for (int y = by * f; y < (by + 1) * f; ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(bits + y * stride) + bx * f;
        for (int k = 0; k < f; ++k) {
            redBlue += row[k] & 0x00FF00FFu;
            green += (row[k] >> 8) & 0xFFu;
        }
    }
    return Average(redBlue, green, std::uint32_t(f) * std::uint32_t(f));
}

} // namespace

void TReducedCopy::Rebuild(const QImage &picture, int factor)
{
    ReductionFactor = std::clamp(factor, 1, MaxFactor);
    const QSize size(picture.width() / ReductionFactor, picture.height() / ReductionFactor);
    if (Copy.size() != size)
        Copy = QImage(size, QImage::Format_RGB32);
    Queued.assign(std::size_t(size.width()) * std::size_t(size.height()), 0);
    Pending.clear();
    AverageBlocks(picture, Copy.rect());
}

bool TReducedCopy::SizeChanged(const QImage &picture) const
{
    const int f = ReductionFactor;
    return f == 0 || picture.width() / f != Copy.width() || picture.height() / f != Copy.height();
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
    for (int i : Pending) {
        Queued[std::size_t(i)] = 0;
        out[i] = AverageBlock(bits, stride, ReductionFactor, i % w, i / w);
    }
    Pending.clear();
}

// Sums each block's pixels column by column over its rows, red and blue in
// the two halves of one word and green in another: a block of up to
// 16 x 16 pixels sums to at most 65280 per channel, which fits a half.
void TReducedCopy::AverageBlocks(const QImage &picture, const QRect &blocks)
{
    if (blocks.isEmpty())
        return;
    const int f = ReductionFactor;
    const std::uint32_t count = std::uint32_t(f) * std::uint32_t(f);
    const int x0 = blocks.left() * f;
    Sums.assign(std::size_t(blocks.width()) * 2, 0);
    for (int by = blocks.top(); by <= blocks.bottom(); ++by) {
        std::fill(Sums.begin(), Sums.end(), 0);
        for (int y = by * f; y < (by + 1) * f; ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y)) + x0;
            for (int i = 0; i < blocks.width(); ++i) {
                std::uint32_t redBlue = 0, green = 0;
                for (int k = 0; k < f; ++k) {
                    const QRgb c = *row++;
                    redBlue += c & 0x00FF00FFu;
                    green += (c >> 8) & 0xFFu;
                }
                Sums[std::size_t(i) * 2] += redBlue;
                Sums[std::size_t(i) * 2 + 1] += green;
            }
        }
        auto *out = reinterpret_cast<QRgb *>(Copy.scanLine(by)) + blocks.left();
        for (int i = 0; i < blocks.width(); ++i) {
            const std::uint32_t redBlue = Sums[std::size_t(i) * 2], green = Sums[std::size_t(i) * 2 + 1];
            out[i] = Average(redBlue, green, count);
        }
    }
}
