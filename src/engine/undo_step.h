#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

// One snapshot of the whole picture, kept PNG-compressed in memory
// (snapshot_codec.h).
class TUndoStep {
public:
    explicit TUndoStep(const QImage &picture);
    // A step whose bytes come later, through Adopt.
    TUndoStep() = default;

    // Replaces the stored snapshot with one of the picture. The old snapshot
    // stays in place when encoding fails.
    void Store(const QImage &picture);
    // Takes snapshot bytes encoded elsewhere.
    void Adopt(std::vector<std::uint8_t> &&stream) { Stream = std::move(stream); }

    // The picture takes the stored width, height and pixels as Format_RGB32.
    // It is left untouched when decoding fails.
    void RestoreTo(QImage &picture) const;

    // Decodes the snapshot into buffer, reusing its memory when it has the
    // stored size. After a failure the buffer's pixels are undefined.
    void DecodeInto(QImage &buffer) const;

    // Bytes of PNG data held.
    std::int64_t Size() const { return std::int64_t(Stream.size()); }

    const std::vector<std::uint8_t> &Data() const { return Stream; }

private:
    std::vector<std::uint8_t> Stream;
};
