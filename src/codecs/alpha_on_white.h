#pragma once

#include <QImage>

// Lays the pixels of a 32-bit image whose top byte holds alpha over a white
// ground, the colour of an empty picture, rounding each channel; every pixel
// is opaque afterwards. Pictures are opaque until they have layers.
void CompositeOnWhite(QImage &image);
