#include "engine/zoom_levels.h"

#include <array>
#include <cstdint>

namespace {

constexpr std::array<TZoom, ZoomLevels::Count> Levels{{
    {1, 16}, {1, 8}, {1, 4}, {1, 2}, {1, 1}, {2, 1}, {3, 1},
    {4, 1}, {6, 1}, {8, 1}, {12, 1}, {16, 1}, {24, 1}, {32, 1},
}};

int FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return int(q * b > a ? q - 1 : q);
}

} // namespace

namespace ZoomLevels {

TZoom Level(int index)
{
    if (index < 0)
        index = 0;
    if (index >= Count)
        index = Count - 1;
    return Levels[std::size_t(index)];
}

int IndexOf(TZoom z)
{
    for (int i = 0; i < Count; ++i) {
        if (Levels[std::size_t(i)] == z)
            return i;
    }
    return ActualSize;
}

int FitIndex(QSize picture, int margin, QSize box)
{
    for (int i = Count - 1; i > 0; --i) {
        const TZoom z = Level(i);
        if (ShownLength(picture.width(), z) + margin <= box.width() &&
            ShownLength(picture.height(), z) + margin <= box.height())
            return i;
    }
    return 0;
}

} // namespace ZoomLevels

int ShownToPicture(int offset, TZoom z)
{
    return FloorDiv(std::int64_t(offset) * z.Den, z.Num);
}

int PictureToShown(int p, TZoom z)
{
    return FloorDiv(std::int64_t(p) * z.Num, z.Den) + z.Num / 2;
}

int ShownLength(int length, TZoom z)
{
    return FloorDiv(std::int64_t(length) * z.Num, z.Den);
}

int PictureLength(int shown, int pictureLength, TZoom z)
{
    if (shown == ShownLength(pictureLength, z))
        return pictureLength;
    return ShownToPicture(shown, z);
}

QString ZoomPercentText(TZoom z)
{
    const std::int64_t hundredths = std::int64_t(10000) * z.Num / z.Den;
    QString text = QString::number(hundredths / 100);
    int decimals = int(hundredths % 100);
    if (decimals != 0) {
        text += QLatin1Char('.') + QString::number(decimals / 10);
        if (decimals % 10 != 0)
            text += QString::number(decimals % 10);
    }
    return text + QLatin1Char('%');
}
