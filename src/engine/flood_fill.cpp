#include "engine/flood_fill.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr QRgb ColorBits = 0xFFFFFF;

bool Same(QRgb pixel, QRgb rgb)
{
    return ((pixel ^ rgb) & ColorBits) == 0;
}

// First x in [x, end) whose pixel does not have the colour, or end. Two
// pixels are compared at a time while the run lasts.
int RunEnd(const QRgb *row, int x, int end, QRgb rgb)
{
    const std::uint64_t pair = std::uint64_t(rgb & ColorBits) * 0x0000000100000001ull;
    constexpr std::uint64_t pairBits = 0x00FFFFFF00FFFFFFull;
    while (x + 2 <= end) {
        std::uint64_t two;
        std::memcpy(&two, row + x, sizeof two);
        if ((two ^ pair) & pairBits)
            break;
        x += 2;
    }
    while (x < end && Same(row[x], rgb))
        ++x;
    return x;
}

// The start of the run of the colour that contains x, which has it.
int RunStart(const QRgb *row, int x, QRgb rgb)
{
    while (x > 0 && Same(row[x - 1], rgb))
        --x;
    return x;
}

} // namespace

std::int64_t TFloodFill::Fill(QImage &image, QPoint seed, QRgb color, const RunHook &beforeRun)
{
    Width = image.width();
    Height = image.height();
    if (seed.x() < 0 || seed.y() < 0 || seed.x() >= Width || seed.y() >= Height)
        return 0;
    Image = &image;
    Hook = beforeRun ? &beforeRun : nullptr;
    New = color;
    Filled = 0;
    auto *row = reinterpret_cast<QRgb *>(image.scanLine(seed.y()));
    Old = row[seed.x()];
    if (Same(Old, New))
        return 0;
    const int x0 = RunStart(row, seed.x(), Old);
    const int x1 = RunEnd(row, seed.x(), Width, Old) - 1;
    FillRun(row, seed.y(), x0, x1);
    Stack.clear();
    Push(seed.y() - 1, x0, x1, -1);
    Push(seed.y() + 1, x0, x1, +1);
    while (!Stack.empty()) {
        const TEntry e = Stack.back();
        Stack.pop_back();
        ScanRow(e);
    }
    Image = nullptr;
    return Filled;
}

void TFloodFill::Push(int y, int x0, int x1, int dir)
{
    if (y >= 0 && y < Height)
        Stack.push_back(TEntry{y, x0, x1, dir});
}

void TFloodFill::FillRun(QRgb *row, int y, int x0, int x1)
{
    if (Hook)
        (*Hook)(y, x0, x1);
    std::fill(row + x0, row + x1 + 1, New);
    Filled += x1 - x0 + 1;
}

// Fills the runs of row e.Y that touch the filled run above it (in the
// direction of travel), carries each on in that direction, and sends the
// parts that stick out beyond the parent run back the other way, where the
// parent's row was not looked at.
void TFloodFill::ScanRow(const TEntry &e)
{
    auto *row = reinterpret_cast<QRgb *>(Image->scanLine(e.Y));
    int x = e.X0;
    while (x <= e.X1) {
        if (!Same(row[x], Old)) {
            ++x;
            continue;
        }
        const int start = x == e.X0 ? RunStart(row, x, Old) : x;
        const int end = RunEnd(row, x, Width, Old) - 1;
        FillRun(row, e.Y, start, end);
        Push(e.Y + e.Dir, start, end, e.Dir);
        if (start < e.X0)
            Push(e.Y - e.Dir, start, e.X0 - 1, -e.Dir);
        if (end > e.X1)
            Push(e.Y - e.Dir, e.X1 + 1, end, -e.Dir);
        x = end + 2;
    }
}
