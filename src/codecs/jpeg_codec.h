#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <vector>

// JPEG files through libjpeg. Reading is DecodeJpeg's (jpeg_decode.h).
// Writing gives a baseline file at quality 92 with full-resolution colour
// (4:4:4): the usual halving of the colour planes would turn thin
// coloured lines grey.

// Throws std::runtime_error with libjpeg's message.
std::vector<std::uint8_t> EncodeJpeg(const QImage &picture);

QImage LoadJpegFile(const QString &path);
void SaveJpegFile(const QImage &picture, const QString &path);
