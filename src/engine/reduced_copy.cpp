#include "engine/reduced_copy.h"

#include <algorithm>

void TReducedCopy::Rebuild(const QImage &picture, int factor)
{
    ReductionFactor = std::max(factor, 1);
    const QSize size(picture.width() / ReductionFactor, picture.height() / ReductionFactor);
    if (Copy.size() != size)
        Copy = QImage(size, QImage::Format_RGB32);
    AverageBlocks(picture, Copy.rect());
}

void TReducedCopy::Update(const QImage &picture, const QRect &dirty)
{
    const int f = ReductionFactor;
    if (f == 0 || picture.width() / f != Copy.width() || picture.height() / f != Copy.height()) {
        Rebuild(picture, f);
        return;
    }
    const QRect norm = dirty.normalized();
    const QRect blocks(QPoint(std::max(norm.left(), 0) / f, std::max(norm.top(), 0) / f),
                       QPoint(std::max(norm.right(), 0) / f, std::max(norm.bottom(), 0) / f));
    AverageBlocks(picture, blocks.intersected(Copy.rect()));
}

// Sums each block's channels column by column over its rows, then divides
// with rounding.
void TReducedCopy::AverageBlocks(const QImage &picture, const QRect &blocks)
{
    if (blocks.isEmpty())
        return;
    const int f = ReductionFactor;
    const std::uint32_t count = std::uint32_t(f) * std::uint32_t(f);
    const int x0 = blocks.left() * f;
    Sums.assign(std::size_t(blocks.width()) * 3, 0);
    for (int by = blocks.top(); by <= blocks.bottom(); ++by) {
        std::fill(Sums.begin(), Sums.end(), 0);
        for (int y = by * f; y < (by + 1) * f; ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(y)) + x0;
            for (int i = 0; i < blocks.width(); ++i) {
                std::uint32_t *s = &Sums[std::size_t(i) * 3];
                for (int k = 0; k < f; ++k) {
                    const QRgb c = *row++;
                    s[0] += qRed(c);
                    s[1] += qGreen(c);
                    s[2] += qBlue(c);
                }
            }
        }
        auto *out = reinterpret_cast<QRgb *>(Copy.scanLine(by)) + blocks.left();
        for (int i = 0; i < blocks.width(); ++i) {
            const std::uint32_t *s = &Sums[std::size_t(i) * 3];
            out[i] = qRgb(int((s[0] + count / 2) / count), int((s[1] + count / 2) / count),
                          int((s[2] + count / 2) / count));
        }
    }
}
