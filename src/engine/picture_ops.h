#pragma once

#include <QImage>

// Whole-picture colour operations on a 32-bit picture, row by row; the
// fourth byte of every pixel is left as it is.

// Every channel c becomes 255 - c.
void InvertPixels(QImage &picture);

// Red, green and blue all become (red + green + blue) div 3.
void GrayscalePixels(QImage &picture);
