#pragma once

#include "codecs/image_file_io.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// WebP files through libwebp. Reading takes lossy and lossless files, and
// the first frame of an animated one (libwebpdemux), laid on the file's
// canvas at the frame's place. Writing is lossless with exact pixels.

// Decodes into a Format_RGB32 picture, alpha composited on white. Throws
// std::runtime_error for data that is not a WebP, is damaged or truncated,
// or describes a picture of more than maxPixels pixels. A WebP may describe
// a huge flat picture in a few bytes, so its size needs no proof from the
// data.
QImage DecodeWebp(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels = kMaxPicturePixels);

// Encodes the picture as a lossless WebP that keeps every pixel exactly.
// Throws std::runtime_error, also for a side of more than 16383 pixels.
std::vector<std::uint8_t> EncodeWebp(const QImage &picture);

QImage LoadWebpFile(const QString &path);
void SaveWebpFile(const QImage &picture, const QString &path);
