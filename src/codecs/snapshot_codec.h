#pragma once

#include "codecs/image_file_io.h"

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <vector>

// The undo snapshots: whole pictures as 8-bit PNG images (signature, IHDR,
// one IDAT and IEND; any PNG reader decodes them) whose zlib stream is
// compressed in one piece with libdeflate: RGB for an opaque picture, RGBA
// for one with an alpha channel. Only these snapshots are read
// back by DecodeSnapshot; image files go through png_codec.h.

// PNG row filter types; a snapshot uses one of them for every row.
enum : int {
    pfNone = 0,
    pfSub = 1,
    pfUp = 2,
    pfAverage = 3,
    pfPaeth = 4,
};

struct SnapshotSettings {
    int level;  // libdeflate compression level, 0..12
    int filter; // pfNone .. pfPaeth
};

// The settings of the history, chosen by measurement (bench/history_bench.cpp).
SnapshotSettings DefaultSnapshotSettings();

// Encodes the picture. The fourth byte of a pixel is stored as alpha when the
// picture has an alpha channel, and not at all otherwise. Throws
// std::runtime_error for an empty picture, one of more than kMaxPicturePixels
// pixels or invalid settings, and when memory runs out.
std::vector<std::uint8_t> EncodeSnapshot(const QImage &picture,
                                         const SnapshotSettings &s = DefaultSnapshotSettings());

// Decodes a snapshot written by EncodeSnapshot into a Format_RGB32 image, or
// a Format_ARGB32 one for an RGBA snapshot.
// Anything else (other chunks or layouts, a wrong CRC, a truncated or
// damaged stream) is refused with std::runtime_error.
// Pictures of more than maxPixels pixels, or more than the stream could
// inflate to, are refused before their memory is taken.
QImage DecodeSnapshot(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels = kMaxPicturePixels);

// The same into target, whose memory is reused when it already is an
// unshared image of the snapshot's format and size. After a failure the
// target's pixels are undefined.
void DecodeSnapshotInto(const std::uint8_t *data, std::size_t size, QImage &target,
                        std::uint64_t maxPixels = kMaxPicturePixels);
