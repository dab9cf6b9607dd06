#include "tools/color_adjust.h"

#include <algorithm>

namespace {

constexpr TColor TopByte = 0xFF000000u;

// Amounts beyond a byte's range act like the range's end; limiting them first
// keeps the arithmetic from overflowing and the result inside 0..255.
int Limit(int amount) { return std::clamp(amount, -255, 255); }

int LightenByte(int b, int amount) { return std::clamp(b < 255 - amount ? b + amount : 255, 0, 255); }
int DarkenByte(int b, int amount) { return std::clamp(amount < b ? b - amount : 0, 0, 255); }

} // namespace

TColor LightenColor(TColor c, int amount)
{
    const int a = Limit(amount);
    return (c & TopByte) | MakeColor(LightenByte(RedOf(c), a), LightenByte(GreenOf(c), a), LightenByte(BlueOf(c), a));
}

TColor DarkenColor(TColor c, int amount)
{
    const int a = Limit(amount);
    return (c & TopByte) | MakeColor(DarkenByte(RedOf(c), a), DarkenByte(GreenOf(c), a), DarkenByte(BlueOf(c), a));
}
