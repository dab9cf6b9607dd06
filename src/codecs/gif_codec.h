#pragma once

#include "codecs/image_file_io.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// GIF files through giflib. Reading takes the first frame only: it is laid
// on a picture of the file's screen size filled with the background colour,
// at the frame's offset. Writing gives one frame with at most 256 colours
// and no animation.

// Decodes the first frame into a Format_RGB32 picture, or a Format_ARGB32 one
// whose pixels of the frame's transparent index are 0x00000000 when it has
// any. Throws
// std::runtime_error for data that is not a GIF, is truncated or corrupt, has
// no frame, or describes a picture larger than maxPixels or than the rest of
// the data could fill.
QImage DecodeGif(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels = kMaxPicturePixels);

// Encodes the picture as a single-frame GIF. A picture of at most 256
// distinct colours keeps exactly those colours; one with more goes through
// giflib's histogram-based colour reduction. Pixels of alpha below 128 take
// a palette entry of their own, written as the transparent index of a
// GIF89a file, which leaves 255 entries for the others; those are taken over
// white. Throws std::runtime_error.
std::vector<std::uint8_t> EncodeGif(const QImage &picture);

// The distinct colours of the picture (0xRRGGBB, ascending), or nothing when
// there are more than the limit.
std::vector<std::uint32_t> DistinctColors(const QImage &picture, std::size_t limit);

QImage LoadGifFile(const QString &path);
void SaveGifFile(const QImage &picture, const QString &path);
