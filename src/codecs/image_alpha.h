#pragma once

#include <QImage>

// Transparency as the image files meet it: pictures are Format_RGB32 while
// opaque and Format_ARGB32 (not premultiplied) once a pixel is not, and the
// formats without transparency take the picture over a white ground, the
// colour of an empty picture.

// True when the image has an alpha channel and a pixel whose alpha is below
// 255.
bool HasTransparency(const QImage &image);

// The image over white as a Format_RGB32 image: alpha-weighted and rounded,
// so an opaque pixel keeps its exact colour. An image without transparency
// comes back with its pixels shared, not copied. Throws std::runtime_error
// when memory runs out.
QImage OverWhite(const QImage &image);
