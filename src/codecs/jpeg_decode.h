#pragma once

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>

// Decodes a baseline or progressive JPEG (grayscale or colour) held in memory
// into a Format_RGB32 image. Throws std::runtime_error with libjpeg's message
// for data that is empty, not a JPEG, corrupt or truncated: libjpeg would
// otherwise fill a truncated image with grey and report success.
QImage JpegToBitmap32(const std::uint8_t *data, std::size_t size);
QImage JpegToBitmap32(const QByteArray &data);
