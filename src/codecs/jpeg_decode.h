#pragma once

#include "codecs/image_file_io.h"

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

// Decodes a baseline or progressive JPEG held in memory into a Format_RGB32
// picture shown upright by its Exif orientation. Greyscale and colour files
// open as they are; CMYK ones, Adobe's inverted ones too, through
// R = 255 x (1 - C) x (1 - K) and so on. Throws std::runtime_error with
// libjpeg's message for data that is empty, not a JPEG, corrupt or
// truncated (libjpeg would otherwise fill a truncated picture with grey and
// report success), and before any pixel is allocated for a picture of more
// than maxPixels pixels or more than the rest of the data could fill.
QImage DecodeJpeg(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels = kMaxPicturePixels);
QImage DecodeJpeg(const QByteArray &data);
