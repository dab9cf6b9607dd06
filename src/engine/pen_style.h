#pragma once

#include <QRgb>

#include <algorithm>

// How strongly the brush and the eraser paint: the opacity caps how far one
// stroke moves a pixel toward the pen's colour, and below full hardness the
// pen's weight fades from its core to its rim. Shapes and the bucket always
// paint at full strength.
struct TPenStyle {
    // 1..100 percent.
    int Opacity = 100;
    // 0..100 percent of the pen's radius that paints at full weight.
    int Hardness = 100;

    bool Opaque() const { return Opacity >= 100; }
    bool Soft() const { return Hardness < 100; }
    // The opacity in 256ths, at least 1.
    unsigned Opacity256() const { return unsigned(std::clamp((Opacity * 256 + 50) / 100, 1, 256)); }
};

// A pen weight of PenWeightOne moves a pixel all the way to the pen's
// colour, 0 leaves it as it was.
constexpr unsigned PenWeightOne = 4096;

// The pixel as it was before the stroke moved toward the pen's colour by the
// weight, each channel rounded to nearest. The one place where a pen meets a
// pixel: a pixel with a meaning of its own for its fourth byte would be
// blended here.
inline QRgb PenBlend(QRgb before, QRgb color, unsigned weight)
{
    const unsigned rest = PenWeightOne - weight;
    auto channel = [&](int shift) {
        return ((((before >> shift) & 0xFFu) * rest + ((color >> shift) & 0xFFu) * weight + PenWeightOne / 2) >> 12)
               << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}
