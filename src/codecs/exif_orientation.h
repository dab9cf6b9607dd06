#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>

// Cameras store a picture as the sensor saw it and say in an Exif tag how to
// turn it for viewing; libjpeg reads pixels only.

// The orientation tag (1 to 8) of an APP1 marker's data ("Exif" and a TIFF
// block), or 1, upright, when the data holds none or is damaged.
int ExifOrientation(const std::uint8_t *data, std::size_t size);

// The picture turned and mirrored as the orientation tag asks, so that it
// shows upright.
QImage Upright(const QImage &picture, int orientation);
