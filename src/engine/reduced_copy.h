#pragma once

#include <QImage>
#include <QRect>

#include <cstdint>
#include <vector>

// The picture reduced by a whole factor, every shown pixel the rounded
// average of the factor x factor block of picture pixels it stands for
// (weighted by alpha in a picture with an alpha channel, whose copy has one
// too). A
// partial block at the right or bottom edge is not shown. Kept up to date
// through the parts of the picture that changed, so that a paint never
// averages the whole picture.
class TReducedCopy {
public:
    static constexpr int MaxFactor = 16;

    // Averages the whole picture anew; factor is clamped to 1..MaxFactor.
    void Rebuild(const QImage &picture, int factor);
    // Marks the blocks that meet the picture rectangle dirty for the next
    // Update; the parts a stroke reports overlap a lot, and each block is
    // marked once however many of them meet it.
    void Mark(const QRect &dirty);
    bool HasMarks() const { return !Pending.empty(); }
    // Averages the marked blocks again; a picture of another size is
    // averaged anew.
    void Update(const QImage &picture);
    const QImage &Image() const { return Copy; }
    int Factor() const { return ReductionFactor; }

private:
    void AverageBlocks(const QImage &picture, const QRect &blocks);
    QRect BlocksOf(const QRect &dirty) const;
    bool SizeChanged(const QImage &picture) const;

    QImage Copy;
    int ReductionFactor = 0;
    // One flag per block of the copy for the blocks marked since the last
    // update, and their indices.
    std::vector<std::uint8_t> Queued;
    std::vector<int> Pending;
};
