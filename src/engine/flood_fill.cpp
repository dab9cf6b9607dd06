#include "engine/flood_fill.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

constexpr QRgb ColorBits = 0xFFFFFF;

bool Same(QRgb pixel, QRgb rgb)
{
    return ((pixel ^ rgb) & ColorBits) == 0;
}

bool Near(QRgb pixel, QRgb rgb, int tolerance)
{
    for (int shift = 0; shift <= 16; shift += 8) {
        if (std::abs(int((pixel >> shift) & 0xFF) - int((rgb >> shift) & 0xFF)) > tolerance)
            return false;
    }
    return true;
}

// Pixels of exactly the seed's colour. Filled pixels have another colour,
// so they never match again.
struct TExactMatch {
    const uchar *Bits;
    qsizetype Stride;
    QRgb Old;

    const QRgb *Row(int y) const { return reinterpret_cast<const QRgb *>(Bits + y * Stride); }
    bool At(int y, int x) const { return Same(Row(y)[x], Old); }
    // First x in [x, end) whose pixel does not match, or end. Two pixels are
    // compared at a time while the run lasts.
    int End(int y, int x, int end) const
    {
        const QRgb *row = Row(y);
        const std::uint64_t pair = std::uint64_t(Old & ColorBits) * 0x0000000100000001ull;
        constexpr std::uint64_t pairBits = 0x00FFFFFF00FFFFFFull;
        while (x + 2 <= end) {
            std::uint64_t two;
            std::memcpy(&two, row + x, sizeof two);
            if ((two ^ pair) & pairBits)
                break;
            x += 2;
        }
        while (x < end && Same(row[x], Old))
            ++x;
        return x;
    }
    void Mark(int, int, int) {}
};

// Pixels whose red, green and blue each lie within the tolerance of the
// seed's. When the new colour itself lies within it, filled pixels would
// match again; then a map of the filled pixels keeps them out.
struct TNearMatch {
    const uchar *Bits;
    qsizetype Stride;
    QRgb Old;
    int Tolerance;
    std::uint8_t *Seen;
    int Width;

    bool At(int y, int x) const
    {
        if (Seen && Seen[std::size_t(y) * std::size_t(Width) + std::size_t(x)])
            return false;
        return Near(reinterpret_cast<const QRgb *>(Bits + y * Stride)[x], Old, Tolerance);
    }
    int End(int y, int x, int end) const
    {
        while (x < end && At(y, x))
            ++x;
        return x;
    }
    void Mark(int y, int x0, int x1)
    {
        if (Seen)
            std::memset(Seen + std::size_t(y) * std::size_t(Width) + std::size_t(x0), 1, std::size_t(x1 - x0 + 1));
    }
};

} // namespace

void TFloodFill::SetTolerance(int tolerance)
{
    Tolerance = std::clamp(tolerance, 0, 255);
}

std::int64_t TFloodFill::Fill(QImage &image, QPoint seed, QRgb color, const RunHook &beforeRun)
{
    Width = image.width();
    Height = image.height();
    if (seed.x() < 0 || seed.y() < 0 || seed.x() >= Width || seed.y() >= Height)
        return 0;
    const QRgb old = reinterpret_cast<const QRgb *>(image.constScanLine(seed.y()))[seed.x()];
    if (Same(old, color))
        return 0;
    Image = &image;
    // Detaches a shared picture before the matchers keep its address.
    const uchar *bits = image.bits();
    Hook = beforeRun ? &beforeRun : nullptr;
    New = color;
    Filled = 0;
    if (Tolerance == 0) {
        TExactMatch match{bits, image.bytesPerLine(), old};
        Run(match, seed);
    } else {
        std::uint8_t *seen = nullptr;
        if (Near(color, old, Tolerance)) {
            Seen.assign(std::size_t(Width) * std::size_t(Height), 0);
            seen = Seen.data();
        }
        TNearMatch match{bits, image.bytesPerLine(), old, Tolerance, seen, Width};
        Run(match, seed);
    }
    Image = nullptr;
    return Filled;
}

template <typename Match>
void TFloodFill::Run(Match &match, QPoint seed)
{
    const int x0 = RunStart(match, seed.y(), seed.x());
    const int x1 = match.End(seed.y(), seed.x(), Width) - 1;
    FillRun(match, seed.y(), x0, x1);
    Stack.clear();
    Push(seed.y() - 1, x0, x1, -1);
    Push(seed.y() + 1, x0, x1, +1);
    while (!Stack.empty()) {
        const TEntry e = Stack.back();
        Stack.pop_back();
        ScanRow(match, e);
    }
}

// The start of the matching run that contains x, which matches.
template <typename Match>
int TFloodFill::RunStart(const Match &match, int y, int x) const
{
    while (x > 0 && match.At(y, x - 1))
        --x;
    return x;
}

void TFloodFill::Push(int y, int x0, int x1, int dir)
{
    if (y >= 0 && y < Height)
        Stack.push_back(TEntry{y, x0, x1, dir});
}

template <typename Match>
void TFloodFill::FillRun(Match &match, int y, int x0, int x1)
{
    if (Hook)
        (*Hook)(y, x0, x1);
    match.Mark(y, x0, x1);
    auto *row = reinterpret_cast<QRgb *>(Image->scanLine(y));
    std::fill(row + x0, row + x1 + 1, New);
    Filled += x1 - x0 + 1;
}

// Fills the runs of row e.Y that touch the filled run above it (in the
// direction of travel), carries each on in that direction, and sends the
// parts that stick out beyond the parent run back the other way, where the
// parent's row was not looked at.
template <typename Match>
void TFloodFill::ScanRow(Match &match, const TEntry &e)
{
    int x = e.X0;
    while (x <= e.X1) {
        if (!match.At(e.Y, x)) {
            ++x;
            continue;
        }
        const int start = x == e.X0 ? RunStart(match, e.Y, x) : x;
        const int end = match.End(e.Y, x, Width) - 1;
        FillRun(match, e.Y, start, end);
        Push(e.Y + e.Dir, start, end, e.Dir);
        if (start < e.X0)
            Push(e.Y - e.Dir, start, e.X0 - 1, -e.Dir);
        if (end > e.X1)
            Push(e.Y - e.Dir, e.X1 + 1, end, -e.Dir);
        x = end + 2;
    }
}
