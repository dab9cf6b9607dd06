#pragma once

#include <algorithm>
#include <cstdint>

// The sample grid of smooth drawing. Every pixel carries 4 x 4 sample points
// at offsets (2k + 1)/8 - 1/2 from its centre, a pattern that maps onto
// itself under both mirrors and the quarter turns. Positions are in eighths
// of a pixel with pixel centres at multiples of 8: sample row j of pixel row
// y lies at 8y + 2j - 3, sample column q = 4x + i (sample i of pixel x) at
// 2q - 3. A pixel's covered samples are 16 bits, bit 4j + i for sample i of
// sample row j.
namespace CoverageSamples {

constexpr int Samples = 16;
constexpr unsigned AllSamples = 0xFFFF;

// The sample columns covered on one sample row, empty when Lo > Hi. A
// shape's pixel row comes in up to two parts (the two sides of a ring) of one
// run per sample row.
struct TRun {
    std::int64_t Lo = 1;
    std::int64_t Hi = 0;
};
using TPartRuns = TRun[4];
using TRowRuns = TPartRuns[2];

inline std::int64_t SampleRowY(std::int64_t y, int j)
{
    return 8 * y + 2 * j - 3;
}

// The sample columns whose positions lie in lo..hi (eighths). Shifts round
// down, negative values too, so these are exact halves.
inline TRun ToColumns(std::int64_t lo, std::int64_t hi)
{
    if (lo > hi)
        return {};
    return {-(-(lo + 3) >> 1), (hi + 3) >> 1};
}

// The run cut to the columns of a picture of the given width.
inline TRun Clipped(TRun run, int width)
{
    return {std::max<std::int64_t>(run.Lo, 0), std::min<std::int64_t>(run.Hi, 4 * std::int64_t(width) - 1)};
}

// The samples (bits 0..3) of the pixel whose first column is q that a run
// covers, none for an empty one. Runs here lie within int range.
inline unsigned RunBits(const TRun &run, int q)
{
    const int i0 = std::clamp(int(run.Lo) - q, 0, 4);
    const int i1 = std::clamp(int(run.Hi) - q + 1, i0, 4);
    return (1u << i1) - (1u << i0);
}

// The samples of pixel x that a part's runs cover.
inline unsigned PartBits(const TPartRuns &part, int x)
{
    unsigned bits = 0;
    for (int j = 0; j < 4; ++j)
        bits |= RunBits(part[j], 4 * x) << (4 * j);
    return bits;
}

// std::popcount is a library call on the baseline x86-64 instruction set.
inline int CountSamples(unsigned bits)
{
    bits = bits - ((bits >> 1) & 0x5555u);
    bits = (bits & 0x3333u) + ((bits >> 2) & 0x3333u);
    bits = (bits + (bits >> 4)) & 0x0F0Fu;
    return int((bits + (bits >> 8)) & 0x1Fu);
}

// The pixels a part touches, X0..X1 (none when X0 > X1), and those all four
// of its runs cover whole, FullLo..FullHi (none when FullLo > FullHi); only
// the few others need their samples worked out.
struct TPartSpan {
    int X0 = 1, X1 = 0, FullLo = 1, FullHi = 0;
};

inline TPartSpan SpanOf(const TPartRuns &part)
{
    std::int64_t lo = INT64_MAX, hi = INT64_MIN, fullLo = INT64_MIN, fullHi = INT64_MAX;
    for (const TRun &run : part) {
        if (run.Lo > run.Hi) {
            fullLo = INT64_MAX;
            continue;
        }
        lo = std::min(lo, run.Lo);
        hi = std::max(hi, run.Hi);
        fullLo = std::max(fullLo, (run.Lo + 3) >> 2);
        fullHi = std::min(fullHi, ((run.Hi + 1) >> 2) - 1);
    }
    if (lo > hi)
        return {};
    if (fullLo > fullHi)
        return {int(lo >> 2), int(hi >> 2)};
    return {int(lo >> 2), int(hi >> 2), int(fullLo), int(fullHi)};
}

// Calls fn(x0, x1) for the pixels of a span not covered whole, left to
// right.
template <typename RangeFn>
void ForEachEdgeRange(const TPartSpan &span, RangeFn &&fn)
{
    if (span.X0 > span.X1)
        return;
    if (span.FullLo > span.FullHi) {
        fn(span.X0, span.X1);
        return;
    }
    if (span.X0 < span.FullLo)
        fn(span.X0, span.FullLo - 1);
    if (span.FullHi < span.X1)
        fn(span.FullHi + 1, span.X1);
}

} // namespace CoverageSamples
