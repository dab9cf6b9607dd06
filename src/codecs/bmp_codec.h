#pragma once

#include "codecs/image_file_io.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// BMP files. Reading goes through Qt's BMP reader, forced to that format
// whatever the data looks like; writing gives an uncompressed 32-bit
// bottom-up device-independent bitmap with the 54-byte header.

// Throws std::runtime_error for data that is not a BMP, is truncated, or
// describes a picture larger than maxPixels or than its compressed data
// could fill. Transparency, where a file has any, is composited on white.
QImage DecodeBmp(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels = kMaxPicturePixels);

// A picture with transparency is written over white.
std::vector<std::uint8_t> EncodeBmp(const QImage &picture);

QImage LoadBmpFile(const QString &path);
void SaveBmpFile(const QImage &picture, const QString &path);
