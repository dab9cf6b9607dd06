#pragma once

#include <QPoint>
#include <cstdint>

// A colour as the program stores it: red in the low byte, then green, then
// blue; the top byte carries no colour.
using TColor = std::uint32_t;

constexpr TColor MakeColor(int r, int g, int b)
{
    return TColor(r & 0xFF) | (TColor(g & 0xFF) << 8) | (TColor(b & 0xFF) << 16);
}
constexpr int RedOf(TColor c) { return int(c & 0xFF); }
constexpr int GreenOf(TColor c) { return int((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return int((c >> 16) & 0xFF); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;

// Converts between our colour value and Qt's 0xAARRGGBB pixel value.
constexpr std::uint32_t ColorToRgb(TColor c)
{
    return 0xFF000000u | (std::uint32_t(RedOf(c)) << 16) | (std::uint32_t(GreenOf(c)) << 8) | std::uint32_t(BlueOf(c));
}
constexpr TColor RgbToColor(std::uint32_t rgb)
{
    return MakeColor(int((rgb >> 16) & 0xFF), int((rgb >> 8) & 0xFF), int(rgb & 0xFF));
}

// What the pen leaves: a colour, or transparency (the eraser on a layer
// above the bottom one). A colour converts to its ink.
struct TInk {
    constexpr TInk(TColor color) : Color(color) {}
    static constexpr TInk Transparency()
    {
        TInk ink(0);
        ink.Clears = true;
        return ink;
    }
    // The pixel the pen writes where it covers a pixel whole.
    constexpr std::uint32_t Pixel() const { return Clears ? 0u : ColorToRgb(Color); }

    TColor Color;
    bool Clears = false;
};

// Left, Top, Right, Bottom with Right and Bottom exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TRect &) const = default;
};

enum TCanvasTool : std::uint8_t {
    ctMovePoints = 0,
    ctBrush = 1,
    ctEraser = 2,
    ctPickupColor = 3,
    ctPaintBucket = 4,
};

enum TReflectionMode : std::uint8_t {
    rmNone = 0,
    rmPrimary = 1,
    rmMirrorPrimary = 2,
    rmSecondary = 3,
    rmVertical = 4,
    rmHorizontal = 5,
    rmPattern = 6,
};

enum TColoringMode : std::uint8_t {
    cmNone = 0,
    cmProtectColor = 1,
    cmPaintOverColor = 2,
};

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };

// Modifier keys and buttons held during a mouse or key message, with the
// flag that marks the second press of a double click.
enum TShiftFlag : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
    ssDouble = 1u << 6,
};
using TShiftState = unsigned;

// Pixels X0..X1 (inclusive) of row Y.
struct TSpan {
    int Y = 0;
    int X0 = 0;
    int X1 = 0;
};
