#pragma once

#include <QRgb>

// The colour with its hue turned by k / count of the colour wheel, keeping
// its saturation and value (and its fourth byte): the largest and smallest
// channels keep their values, and k = 0 gives the colour itself, exactly.
// Greys have no hue and stay as they are.
QRgb TurnHue(QRgb color, int k, int count);
