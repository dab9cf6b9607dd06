#pragma once

#include <QImage>

// A kaleidoscope-like painting: white ground, a few filled shapes standing in
// for bucket fills, then a few hundred mouse strokes with the brush-size
// presets (1 to 21 pixels, now and then a wider one), each repeated around
// the centre 13 times as with the default reflection count, drawn without
// antialiasing like the canvas does. The seed makes it repeatable.
QImage MakePainting(int width, int height);
