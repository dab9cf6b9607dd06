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
    // Rainbow copies, the brush's only: copy k of the copies' Hues hue
    // indices paints in the ink turned by k / Hues of the colour wheel, and
    // a pixel shows the colour of the highest index that covered it. Below
    // 2 every copy has the ink's colour.
    int Hues = 0;

    bool Opaque() const { return Opacity >= 100; }
    bool Soft() const { return Hardness < 100; }
    bool Rainbow() const { return Hues > 1; }
    // The opacity in 256ths, at least 1.
    unsigned Opacity256() const { return unsigned(std::clamp((Opacity * 256 + 50) / 100, 1, 256)); }
};

// A pen weight of PenWeightOne moves a pixel all the way to the pen's
// colour, 0 leaves it as it was.
constexpr unsigned PenWeightOne = 4096;

// The pixel as it was before the stroke moved toward the pen's colour by the
// weight, each channel rounded to nearest; the pixel counts as opaque.
inline QRgb PenBlend(QRgb before, QRgb color, unsigned weight)
{
    const unsigned rest = PenWeightOne - weight;
    auto channel = [&](int shift) {
        return ((((before >> shift) & 0xFFu) * rest + ((color >> shift) & 0xFFu) * weight + PenWeightOne / 2) >> 12)
               << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

// The colour laid over a pixel that may be transparent at the weight: the
// result's alpha is a + weight (1 - a) and its colour the mix weighted by the
// two alphas, so the colour bytes of a transparent pixel never show. An
// opaque pixel gives PenBlend's result.
inline QRgb PenOver(QRgb before, QRgb color, unsigned weight)
{
    const unsigned a = before >> 24;
    if (a == 255)
        return PenBlend(before, color, weight);
    const unsigned ws = 255 * weight, wd = a * (PenWeightOne - weight), sum = ws + wd;
    if (sum == 0)
        return 0;
    const auto mix = [&](int shift) {
        return ((((color >> shift) & 0xFFu) * ws + ((before >> shift) & 0xFFu) * wd + sum / 2) / sum) << shift;
    };
    return (((sum + PenWeightOne / 2) >> 12) << 24) | mix(16) | mix(8) | mix(0);
}

// The eraser above the bottom layer: the pixel's alpha falls by the weight,
// its colour stays until nothing of it is left.
inline QRgb PenFade(QRgb before, unsigned weight)
{
    const unsigned a = ((before >> 24) * (PenWeightOne - weight) + PenWeightOne / 2) >> 12;
    return a == 0 ? 0 : (before & 0xFFFFFFu) | (a << 24);
}

// The one place where a pen meets a pixel: what an ink (a pixel, alpha 0 for
// transparency) makes of the pixel at the weight. The pixels of a picture
// without an alpha channel are opaque whatever their fourth bytes hold.
inline QRgb PenInk(QRgb before, QRgb ink, unsigned weight, bool alpha)
{
    if (!alpha)
        return PenBlend(before, ink, weight);
    return ink >> 24 ? PenOver(before, ink, weight) : PenFade(before, weight);
}
