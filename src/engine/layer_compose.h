#pragma once

#include <QImage>
#include <QRect>

// Normal ("source over") composition of layers, each at an opacity, on
// pixels that are not premultiplied: an opaque pixel keeps its exact colour.
// Integer arithmetic, rounded to the nearest value.

// The alpha (0..255) that an opacity of 0..100 percent scales by.
constexpr unsigned OpacityAlpha(int percent)
{
    return unsigned(percent * 255 + 50) / 100;
}

// The source pixel, taken at alpha sa (0..255), over the destination pixel:
// the result's alpha is sa + da (1 - sa) and its colour the mix of the two
// colours weighted by their shares of it, so the colour bytes of a
// transparent pixel never show. A result of alpha 0 is the pixel 0.
inline QRgb Over(QRgb dst, QRgb src, unsigned sa)
{
    if (sa == 0)
        return dst;
    if (sa == 255)
        return src | 0xFF000000u;
    const unsigned da = dst >> 24;
    if (da == 0)
        return (src & 0x00FFFFFFu) | (sa << 24);
    const unsigned rest = 255 - sa;
    if (da == 255) {
        const auto mix = [&](int shift) {
            return ((((src >> shift) & 0xFFu) * sa + ((dst >> shift) & 0xFFu) * rest + 127) / 255) << shift;
        };
        return 0xFF000000u | mix(16) | mix(8) | mix(0);
    }
    const unsigned ws = sa * 255, wd = da * rest, a = ws + wd;
    const auto mix = [&](int shift) {
        return ((((src >> shift) & 0xFFu) * ws + ((dst >> shift) & 0xFFu) * wd + a / 2) / a) << shift;
    };
    return (((a + 127) / 255) << 24) | mix(16) | mix(8) | mix(0);
}

// The pixel as it shows over white.
inline QRgb PixelOverWhite(QRgb pixel)
{
    return Over(0xFFFFFFFFu, pixel, pixel >> 24);
}

// Composes the layer at an opacity of 0..100 percent over the target inside
// rect (which both contain). The target is Format_ARGB32, or Format_RGB32,
// which stays opaque; a Format_RGB32 layer is opaque whatever its fourth
// bytes hold.
void ComposeOver(QImage &target, const QImage &layer, int opacity, const QRect &rect);

// What shows under the transparent parts of a picture: cells of 8 x 8
// pixels in two light greys, the lighter one at the origin.
constexpr QRgb CheckerboardLight = 0xFFE0E0E0u;
constexpr QRgb CheckerboardDark = 0xFFC0C0C0u;
inline QRgb CheckerboardAt(int x, int y)
{
    return ((x >> 3) ^ (y >> 3)) & 1 ? CheckerboardDark : CheckerboardLight;
}

// A composed pixel as the display shows it at (x, y).
inline QRgb OverCheckerboard(QRgb pixel, int x, int y)
{
    return pixel >> 24 == 255 ? pixel : Over(CheckerboardAt(x, y), pixel, pixel >> 24);
}

// The display (Format_RGB32) takes the composite over the checkerboard
// inside rect, the board anchored at their top-left.
void ShowOverCheckerboard(QImage &display, const QImage &composite, const QRect &rect);
