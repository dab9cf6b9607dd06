#include "engine/flood_fill.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr QRgb ColorBits = 0xFFFFFF;

// What a pixel is matched on. Without an alpha channel, red, green and blue;
// with one, all four bytes, every fully transparent pixel counting as the
// pixel 0 whatever its colour bytes hold.
template <bool Alpha>
QRgb Key(QRgb pixel)
{
    if constexpr (Alpha)
        return pixel >> 24 ? pixel : 0;
    else
        return pixel | ~ColorBits;
}

template <bool Alpha>
bool Same(QRgb pixel, QRgb other)
{
    return Key<Alpha>(pixel) == Key<Alpha>(other);
}

// Each channel of the key within the tolerance of a colour's: each lies in
// its range [Low, Low + Span]. Written without branches, as the scans of
// long runs test one pixel after another.
template <bool Alpha>
class TNearColor {
public:
    TNearColor(QRgb pixel, int tolerance)
    {
        const QRgb key = Key<Alpha>(pixel);
        for (int c = 0; c < 4; ++c) {
            const int value = int(key >> (8 * c)) & 0xFF;
            Low[c] = std::uint32_t(std::max(value - tolerance, 0));
            Span[c] = std::uint32_t(std::min(value + tolerance, 255)) - Low[c];
        }
    }
    bool Matches(QRgb pixel) const
    {
        const QRgb key = Key<Alpha>(pixel);
        return ((key & 0xFF) - Low[0] <= Span[0]) & (((key >> 8) & 0xFF) - Low[1] <= Span[1]) &
               (((key >> 16) & 0xFF) - Low[2] <= Span[2]) & ((key >> 24) - Low[3] <= Span[3]);
    }

private:
    std::uint32_t Low[4];
    std::uint32_t Span[4];
};

// The first x in [x, end) whose byte is not zero, or end; eight bytes at a
// time while they are all zero.
int NextNonZero(const std::uint8_t *bytes, int x, int end)
{
    while (x + 8 <= end) {
        std::uint64_t eight;
        std::memcpy(&eight, bytes + x, sizeof eight);
        if (eight)
            break;
        x += 8;
    }
    while (x < end && !bytes[x])
        ++x;
    return x;
}

// Pixels of exactly the seed's colour. Filled pixels have another colour,
// so they never match again.
template <bool Alpha>
struct TExactMatch {
    static constexpr bool Paints = true;

    const uchar *Bits;
    qsizetype Stride;
    QRgb Old;

    const QRgb *Row(int y) const { return reinterpret_cast<const QRgb *>(Bits + y * Stride); }
    bool At(int y, int x) const { return Same<Alpha>(Row(y)[x], Old); }
    // First x in [x, end) whose pixel does not match, or end. Without alpha,
    // two pixels are compared at a time while the run lasts.
    int End(int y, int x, int end) const
    {
        const QRgb *row = Row(y);
        if constexpr (!Alpha) {
            const std::uint64_t pair = std::uint64_t(Old & ColorBits) * 0x0000000100000001ull;
            constexpr std::uint64_t pairBits = 0x00FFFFFF00FFFFFFull;
            while (x + 2 <= end) {
                std::uint64_t two;
                std::memcpy(&two, row + x, sizeof two);
                if ((two ^ pair) & pairBits)
                    break;
                x += 2;
            }
        }
        while (x < end && Same<Alpha>(row[x], Old))
            ++x;
        return x;
    }
    void Mark(int, int, int) {}
};

// Pixels whose red, green and blue each lie within the tolerance of the
// seed's, in the picture as it was before the fill, which stays untouched
// until every seed's area is found. A pixel that this seed reached carries
// its number in the mark map and does not match again.
template <bool Alpha>
struct TNearMatch {
    static constexpr bool Paints = false;

    const uchar *Bits;
    qsizetype Stride;
    TNearColor<Alpha> Old;
    std::uint8_t *Marks;
    int Width;
    std::uint8_t Seed;
    std::vector<TSpan> &Runs;

    const QRgb *Row(int y) const { return reinterpret_cast<const QRgb *>(Bits + y * Stride); }
    std::uint8_t *MarkRow(int y) const { return Marks + std::size_t(y) * std::size_t(Width); }
    bool At(int y, int x) const { return MarkRow(y)[x] != Seed && Old.Matches(Row(y)[x]); }
    // Eight pixels are tested at a time while the run lasts, in a loop
    // without exits that the compiler vectorises.
    int End(int y, int x, int end) const
    {
        const QRgb *row = Row(y);
        const std::uint8_t *marks = MarkRow(y);
        while (x + 8 <= end) {
            bool all = true;
            for (int i = x; i < x + 8; ++i)
                all &= Old.Matches(row[i]) & (marks[i] != Seed);
            if (!all)
                break;
            x += 8;
        }
        while (x < end && Old.Matches(row[x]) & (marks[x] != Seed))
            ++x;
        return x;
    }
    // Records the parts of the run that no earlier seed reached, so that
    // each pixel is saved and painted once. A run is recorded before its
    // marks are set: the recorded runs must cover every mark even when
    // recording runs out of memory.
    void Mark(int y, int x0, int x1)
    {
        std::uint8_t *marks = MarkRow(y);
        int x = x0;
        while (x <= x1) {
            if (marks[x]) {
                marks[x++] = Seed;
                continue;
            }
            const int start = x;
            x = NextNonZero(marks, x, x1 + 1);
            Runs.push_back(TSpan{y, start, x - 1});
            std::memset(marks + start, Seed, std::size_t(x - start));
        }
    }
};

} // namespace

void TFloodFill::SetTolerance(int tolerance)
{
    Tolerance = std::clamp(tolerance, 0, 255);
}

std::int64_t TFloodFill::Fill(QImage &image, QPoint seed, QRgb color, const RunHook &beforeRun)
{
    return Fill(image, std::span<const QPoint>(&seed, 1), color, beforeRun);
}

std::int64_t TFloodFill::Fill(QImage &image, std::span<const QPoint> seeds, QRgb color, const RunHook &beforeRun)
{
    return Fill(image, image, seeds, color, beforeRun);
}

std::int64_t TFloodFill::Fill(const QImage &source, QImage &target, std::span<const QPoint> seeds, QRgb color,
                              const RunHook &beforeRun)
{
    Width = target.width();
    Height = target.height();
    Image = &target;
    Hook = beforeRun ? &beforeRun : nullptr;
    New = color;
    Filled = 0;
    const bool alpha = source.hasAlphaChannel();
    if (Tolerance == 0 && &source == &target) {
        for (QPoint seed : seeds)
            alpha ? FillExact<true>(target, seed) : FillExact<false>(target, seed);
    } else {
        alpha ? FillNear<true>(source, seeds) : FillNear<false>(source, seeds);
    }
    Image = nullptr;
    return Filled;
}

// Filled pixels have another colour than the area and never match again, so
// the seeds can be filled one after another on the image itself: a later
// seed finds the same area as in the image before the first.
template <bool Alpha>
void TFloodFill::FillExact(QImage &image, QPoint seed)
{
    if (seed.x() < 0 || seed.y() < 0 || seed.x() >= Width || seed.y() >= Height)
        return;
    const QRgb old = reinterpret_cast<const QRgb *>(image.constScanLine(seed.y()))[seed.x()];
    if (Same<Alpha>(old, New))
        return;
    // Detaches a shared picture before the matcher keeps its address.
    TExactMatch<Alpha> match{image.bits(), image.bytesPerLine(), old};
    Run(match, seed);
}

template <bool Alpha>
void TFloodFill::FillNear(const QImage &source, std::span<const QPoint> seeds)
{
    // Taken before any pixel changes: when memory runs out, the image is
    // left as it was.
    const std::size_t pixels = std::size_t(Width) * std::size_t(Height);
    if (Marks.size() != pixels) {
        Marks = {};
        Marks.assign(pixels, 0);
    }
    Runs.clear();
    struct TEraseMarks {
        TFloodFill &Fill;
        ~TEraseMarks() { Fill.SetAllMarks(0); }
    } eraseMarks{*this};

    // Seeds are numbered 1 to 254; 255 stands for any earlier seed once the
    // numbers have run out.
    constexpr std::uint8_t anyEarlier = 255;
    std::uint8_t seedNumber = 0;
    const uchar *bits = source.constBits();
    for (QPoint seed : seeds) {
        if (seed.x() < 0 || seed.y() < 0 || seed.x() >= Width || seed.y() >= Height)
            continue;
        const QRgb old = Key<Alpha>(reinterpret_cast<const QRgb *>(source.constScanLine(seed.y()))[seed.x()]);
        if (Same<Alpha>(old, New))
            continue;
        // A seed that an earlier seed of the same colour reached has the
        // same area.
        const std::uint8_t reached = Marks[std::size_t(seed.y()) * std::size_t(Width) + std::size_t(seed.x())];
        if (reached != 0 && reached != anyEarlier && SeedColor[reached] == old)
            continue;
        if (seedNumber == anyEarlier - 1) {
            SetAllMarks(anyEarlier);
            seedNumber = 0;
        }
        SeedColor[++seedNumber] = old;
        TNearMatch<Alpha> match{bits,  source.bytesPerLine(), TNearColor<Alpha>(old, Tolerance), Marks.data(),
                                Width, seedNumber,            Runs};
        Run(match, seed);
    }
    // Every run is saved before the first is painted, so a hook that fails
    // leaves the image unchanged.
    if (Hook) {
        for (const TSpan &r : Runs)
            (*Hook)(r.Y, r.X0, r.X1);
    }
    for (const TSpan &r : Runs)
        PaintRun(r.Y, r.X0, r.X1);
}

void TFloodFill::SetAllMarks(std::uint8_t value)
{
    for (const TSpan &r : Runs)
        std::memset(Marks.data() + std::size_t(r.Y) * std::size_t(Width) + std::size_t(r.X0), value,
                    std::size_t(r.X1 - r.X0 + 1));
}

template <typename Match>
void TFloodFill::Run(Match &match, QPoint seed)
{
    Stack.clear();
    TakeAcrossEdge(match, seed.y(), seed.x());
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

// The matching run through (y, x), which is not taken yet, carried on in
// both directions.
template <typename Match>
void TFloodFill::TakeAcrossEdge(Match &match, int y, int x)
{
    const int x0 = RunStart(match, y, x);
    const int x1 = match.End(y, x, Width) - 1;
    Take(match, y, x0, x1);
    Push(y - 1, x0, x1, -1);
    Push(y + 1, x0, x1, +1);
}

void TFloodFill::Push(int y, int x0, int x1, int dir)
{
    if (WrapY && Height > 0)
        y = (y + Height) % Height;
    if (y < 0 || y >= Height)
        return;
    Stack.push_back(TEntry{y, x0, x1, dir});
    // Short runs down a column of rows wait on memory for every row; the
    // row after this one is asked for while this one is scanned.
    const int next = y + dir;
    if (next >= 0 && next < Height && Image) {
        const uchar *row = Image->constScanLine(next);
        for (int x = x0; x <= std::min(x1, x0 + 63); x += 16)
            __builtin_prefetch(row + 4 * std::size_t(x));
    }
}

template <typename Match>
void TFloodFill::Take(Match &match, int y, int x0, int x1)
{
    match.Mark(y, x0, x1);
    if constexpr (Match::Paints) {
        if (Hook)
            (*Hook)(y, x0, x1);
        PaintRun(y, x0, x1);
    }
    if (!WrapX)
        return;
    if (x0 == 0 && match.At(y, Width - 1))
        TakeAcrossEdge(match, y, Width - 1);
    if (x1 == Width - 1 && match.At(y, 0))
        TakeAcrossEdge(match, y, 0);
}

void TFloodFill::PaintRun(int y, int x0, int x1)
{
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
        Take(match, e.Y, start, end);
        Push(e.Y + e.Dir, start, end, e.Dir);
        if (start < e.X0)
            Push(e.Y - e.Dir, start, e.X0 - 1, -e.Dir);
        if (end > e.X1)
            Push(e.Y - e.Dir, e.X1 + 1, end, -e.Dir);
        x = end + 2;
    }
}
