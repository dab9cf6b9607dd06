#include "engine/flood_band.h"

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
    // eight, then two pixels are compared at a time while the run lasts.
    int End(int y, int x, int end) const
    {
        const QRgb *row = Row(y);
        if constexpr (!Alpha) {
            const std::uint64_t pair = std::uint64_t(Old & ColorBits) * 0x0000000100000001ull;
            constexpr std::uint64_t pairBits = 0x00FFFFFF00FFFFFFull;
            while (x + 8 <= end) {
                std::uint64_t eight[4];
                std::memcpy(eight, row + x, sizeof eight);
                if (((eight[0] ^ pair) | (eight[1] ^ pair) | (eight[2] ^ pair) | (eight[3] ^ pair)) & pairBits)
                    break;
                x += 8;
            }
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
// until every seed's area is found. A pixel that an area of this colour
// reached carries the colour's number in the mark map and does not match
// again.
template <bool Alpha>
struct TNearMatch {
    static constexpr bool Paints = false;

    const uchar *Bits;
    qsizetype Stride;
    TNearColor<Alpha> Old;
    std::uint8_t *Marks;
    int Width;
    std::uint8_t Number;
    std::vector<TSpan> &Runs;

    const QRgb *Row(int y) const { return reinterpret_cast<const QRgb *>(Bits + y * Stride); }
    std::uint8_t *MarkRow(int y) const { return Marks + std::size_t(y) * std::size_t(Width); }
    bool At(int y, int x) const { return MarkRow(y)[x] != Number && Old.Matches(Row(y)[x]); }
    // Eight pixels are tested at a time while the run lasts, in a loop
    // without exits that the compiler vectorises.
    int End(int y, int x, int end) const
    {
        const QRgb *row = Row(y);
        const std::uint8_t *marks = MarkRow(y);
        while (x + 8 <= end) {
            bool all = true;
            for (int i = x; i < x + 8; ++i)
                all &= Old.Matches(row[i]) & (marks[i] != Number);
            if (!all)
                break;
            x += 8;
        }
        while (x < end && Old.Matches(row[x]) & (marks[x] != Number))
            ++x;
        return x;
    }
    // Records the parts of the run that no earlier area reached, so that
    // each pixel is saved and painted once. A run is recorded before its
    // marks are set: the recorded runs must cover every mark even when
    // recording runs out of memory.
    void Mark(int y, int x0, int x1)
    {
        std::uint8_t *marks = MarkRow(y);
        int x = x0;
        while (x <= x1) {
            if (marks[x]) {
                marks[x++] = Number;
                continue;
            }
            const int start = x;
            x = NextNonZero(marks, x, x1 + 1);
            Runs.push_back(TSpan{y, start, x - 1});
            std::memset(marks + start, Number, std::size_t(x - start));
        }
    }
};

} // namespace

QRgb FloodKey(QRgb pixel, bool alpha)
{
    return alpha ? Key<true>(pixel) : Key<false>(pixel);
}

void TFloodBand::Begin(int top, int bottom)
{
    Top = top;
    Bottom = bottom;
    In.clear();
    Out.clear();
    Runs.clear();
    Filled = 0;
    ColorCount = 0;
}

void TFloodBand::Fill(const TFloodScene &scene)
{
    Scene = &scene;
    for (const TFloodEntry &e : In) {
        if (scene.Paints)
            scene.Alpha ? FillExact<true>(e) : FillExact<false>(e);
        else
            scene.Alpha ? FillNear<true>(e) : FillNear<false>(e);
    }
}

// Filled pixels have another colour than the area and never match again, so
// the entries can be filled one after another on the image itself: a later
// one finds the same area as in the image before the first.
template <bool Alpha>
void TFloodBand::FillExact(const TFloodEntry &e)
{
    Old = e.Old;
    if (e.Dir == 0) {
        Old = reinterpret_cast<const QRgb *>(Scene->Target + e.Y * Scene->TargetStride)[e.X0];
        if (Same<Alpha>(Old, Scene->New))
            return;
    }
    TExactMatch<Alpha> match{Scene->Target, Scene->TargetStride, Old};
    Run(match, e);
}

template <bool Alpha>
void TFloodBand::FillNear(const TFloodEntry &e)
{
    Old = e.Old;
    if (e.Dir == 0) {
        Old = Key<Alpha>(reinterpret_cast<const QRgb *>(Scene->Source + e.Y * Scene->SourceStride)[e.X0]);
        if (Same<Alpha>(Old, Scene->New))
            return;
    }
    TNearMatch<Alpha> match{Scene->Source, Scene->SourceStride, TNearColor<Alpha>(Old, Scene->Tolerance),
                            Scene->Marks,  Scene->Width,        ColorNumber(Old),
                            Runs};
    Run(match, e);
}

std::uint8_t TFloodBand::ColorNumber(QRgb old)
{
    constexpr int anyColor = 255;
    for (int i = ColorCount; i > 0; --i)
        if (Colors[std::size_t(i)] == old)
            return std::uint8_t(i);
    if (ColorCount == anyColor - 1) {
        SetMarks(*Scene, anyColor);
        ColorCount = 0;
    }
    Colors[std::size_t(++ColorCount)] = old;
    return std::uint8_t(ColorCount);
}

void TFloodBand::SetMarks(const TFloodScene &scene, std::uint8_t value)
{
    for (const TSpan &r : Runs)
        std::memset(scene.Marks + std::size_t(r.Y) * std::size_t(scene.Width) + std::size_t(r.X0), value,
                    std::size_t(r.X1 - r.X0 + 1));
}

// Sorted by row in one pass, then by start within each row, where touching
// runs are joined.
void TFloodBand::SortRuns()
{
    RowEnds.assign(std::size_t(Bottom - Top + 1), 0);
    for (const TSpan &r : Runs)
        ++RowEnds[std::size_t(r.Y - Top + 1)];
    for (std::size_t i = 1; i < RowEnds.size(); ++i)
        RowEnds[i] += RowEnds[i - 1];
    Sorted.resize(Runs.size());
    for (const TSpan &r : Runs)
        Sorted[std::size_t(RowEnds[std::size_t(r.Y - Top)]++)] = r;
    Runs.clear();
    auto row = Sorted.begin();
    for (int end : RowEnds) {
        const auto rowEnd = Sorted.begin() + end;
        std::sort(row, rowEnd, [](const TSpan &a, const TSpan &b) { return a.X0 < b.X0; });
        for (; row != rowEnd; ++row) {
            if (!Runs.empty() && Runs.back().Y == row->Y && Runs.back().X1 + 1 == row->X0)
                Runs.back().X1 = row->X1;
            else
                Runs.push_back(*row);
        }
    }
}

void TFloodBand::PaintRuns(const TFloodScene &scene)
{
    Scene = &scene;
    for (const TSpan &r : Runs)
        PaintRun(r.Y, r.X0, r.X1);
    EraseMarks(scene);
}

template <typename Match>
void TFloodBand::Run(Match &match, const TFloodEntry &e)
{
    Stack.clear();
    if (e.Dir != 0)
        ScanRow(match, TStep{e.Y, e.X0, e.X1, e.Dir});
    else if (match.At(e.Y, e.X0))
        TakeAcrossEdge(match, e.Y, e.X0);
    while (!Stack.empty()) {
        const TStep step = Stack.back();
        Stack.pop_back();
        ScanRow(match, step);
    }
}

// The start of the matching run that contains x, which matches.
template <typename Match>
int TFloodBand::RunStart(const Match &match, int y, int x) const
{
    while (x > 0 && match.At(y, x - 1))
        --x;
    return x;
}

// The matching run through (y, x), which is not taken yet, carried on in
// both directions.
template <typename Match>
void TFloodBand::TakeAcrossEdge(Match &match, int y, int x)
{
    const int x0 = RunStart(match, y, x);
    const int x1 = match.End(y, x, Scene->Width) - 1;
    Take(match, y, x0, x1);
    Push(y - 1, x0, x1, -1);
    Push(y + 1, x0, x1, +1);
}

void TFloodBand::Push(int y, int x0, int x1, int dir)
{
    const int height = Scene->Height;
    if (Scene->WrapY)
        y = (y + height) % height;
    if (y < 0 || y >= height)
        return;
    if (!Owns(y)) {
        Out.push_back(TFloodEntry{y, x0, x1, dir, Old});
        return;
    }
    Stack.push_back(TStep{y, x0, x1, dir});
    // Short runs down a column of rows wait on memory for every row; the
    // row after this one is asked for while this one is scanned.
    const int next = y + dir;
    if (!Owns(next))
        return;
    const uchar *row = Scene->Source + next * Scene->SourceStride;
    for (int x = x0; x <= std::min(x1, x0 + 63); x += 16)
        __builtin_prefetch(row + 4 * std::size_t(x));
}

template <typename Match>
void TFloodBand::Take(Match &match, int y, int x0, int x1)
{
    match.Mark(y, x0, x1);
    if constexpr (Match::Paints)
        PaintRun(y, x0, x1);
    if (!Scene->WrapX)
        return;
    const int last = Scene->Width - 1;
    if (x0 == 0 && match.At(y, last))
        TakeAcrossEdge(match, y, last);
    if (x1 == last && match.At(y, 0))
        TakeAcrossEdge(match, y, 0);
}

void TFloodBand::PaintRun(int y, int x0, int x1)
{
    auto *row = reinterpret_cast<QRgb *>(Scene->Target + y * Scene->TargetStride);
    std::fill(row + x0, row + x1 + 1, Scene->New);
    Filled += x1 - x0 + 1;
}

// Fills the runs of row e.Y that touch the filled run above it (in the
// direction of travel), carries each on in that direction, and sends the
// parts that stick out beyond the parent run back the other way, where the
// parent's row was not looked at.
template <typename Match>
void TFloodBand::ScanRow(Match &match, const TStep &e)
{
    int x = e.X0;
    while (x <= e.X1) {
        if (!match.At(e.Y, x)) {
            ++x;
            continue;
        }
        const int start = x == e.X0 ? RunStart(match, e.Y, x) : x;
        const int end = match.End(e.Y, x, Scene->Width) - 1;
        Take(match, e.Y, start, end);
        Push(e.Y + e.Dir, start, end, e.Dir);
        if (start < e.X0)
            Push(e.Y - e.Dir, start, e.X0 - 1, -e.Dir);
        if (end > e.X1)
            Push(e.Y - e.Dir, e.X1 + 1, end, -e.Dir);
        x = end + 2;
    }
}
