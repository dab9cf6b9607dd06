#pragma once

#include <QSize>
#include <QString>

// A zoom factor Num / Den; one of the two is always 1, so every level maps
// whole picture pixels to whole blocks (Num > 1) or whole blocks of picture
// pixels to one shown pixel (Den > 1).
struct TZoom {
    int Num = 1;
    int Den = 1;
    bool operator==(const TZoom &) const = default;
};

// The fixed ladder of zoom levels, from 1/16 to 32; index 4 is 1.
namespace ZoomLevels {
constexpr int Count = 14;
constexpr int ActualSize = 4;
// The level at index, clamped to the ladder.
TZoom Level(int index);
// The index of z on the ladder; ActualSize for a factor not on it.
int IndexOf(TZoom z);
// The largest level at which the picture plus margin on each axis fits the
// box; the smallest level when none does.
int FitIndex(QSize picture, int margin, QSize box);
} // namespace ZoomLevels

// An offset from the shown picture's origin to the picture coordinate it
// shows: floor(offset / z), also for negative offsets.
int ShownToPicture(int offset, TZoom z);
// The offset at which a picture coordinate is shown: the middle of its
// block when enlarged, floor(p * z) otherwise.
int PictureToShown(int p, TZoom z);
// The shown length of a picture length: floor(length * z).
int ShownLength(int length, TZoom z);
// The picture length that a shown length stands for: the picture's own
// length when the whole picture is shown, floor(shown / z) otherwise. Below
// 1 the shown length drops the picture's last partial block, so dividing it
// back would not give the picture's size.
int PictureLength(int shown, int pictureLength, TZoom z);
// The zoom in percent with up to two decimals and no trailing zeros:
// "200%", "12.5%", "6.25%".
QString ZoomPercentText(TZoom z);
