#include "engine/hue_turn.h"

#include <algorithm>
#include <cmath>

QRgb TurnHue(QRgb color, int k, int count)
{
    const int r = qRed(color), g = qGreen(color), b = qBlue(color);
    const int hi = std::max({r, g, b}), lo = std::min({r, g, b}), chroma = hi - lo;
    if (count < 2 || k % count == 0 || chroma == 0)
        return color;
    // The hue in sixths of a turn, from red through yellow, green, cyan,
    // blue and magenta.
    double hue = hi == r ? double(g - b) / chroma : hi == g ? 2 + double(b - r) / chroma : 4 + double(r - g) / chroma;
    hue = std::fmod(hue + 6.0 * k / count + 12, 6);
    const int sector = std::min(int(hue), 5);
    const double f = hue - sector;
    const int rising = lo + int(std::lround(chroma * f)), falling = lo + int(std::lround(chroma * (1 - f)));
    static constexpr int order[6][3] = {{0, 1, 2}, {1, 0, 2}, {1, 2, 0}, {2, 1, 0}, {2, 0, 1}, {0, 2, 1}};
    // Per sector, which channel is the largest, which one moves, which the
    // smallest.
    int out[3] = {};
    out[order[sector][0]] = hi;
    out[order[sector][1]] = sector % 2 ? falling : rising;
    out[order[sector][2]] = lo;
    return qRgba(out[0], out[1], out[2], qAlpha(color));
}
