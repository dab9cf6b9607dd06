#include "engine/soft_pen.h"

#include "engine/wide_vectors.h"

#include <algorithm>
#include <bit>
#include <cmath>

using namespace PenRaster;

namespace {

// Samples lie at most 3 * sqrt(2) eighths from their pixel's centre.
constexpr double SampleReach = 4.25;
constexpr int ReachMargin = 5;

// Sample offsets from the pixel's centre in eighths, sample i of row j at
// index 4j + i.
constexpr double SampleX[16] = {-3, -1, 1, 3, -3, -1, 1, 3, -3, -1, 1, 3, -3, -1, 1, 3};
constexpr double SampleY[16] = {-3, -3, -3, -3, -1, -1, -1, -1, 1, 1, 1, 1, 3, 3, 3, 3};

// The first k of 0..n - 1 with u0 + s k > v, or n, for s > 0 and its
// inverse: a rounded estimate, set right in exact arithmetic.
int FirstAbove(std::int64_t u0, std::int64_t s, double inverse, std::int64_t v, int n)
{
    int k = int(std::clamp(double(v - u0) * inverse + 1, 0.0, double(n)));
    while (k > 0 && u0 + s * (k - 1) > v)
        --k;
    while (k < n && u0 + s * k <= v)
        ++k;
    return k;
}

// Pixels whose centres lie at or right of an eighth position, or at or
// left of it. Shifts round down, negative values too.
std::int64_t PixelsFrom(std::int64_t eighths)
{
    return -(-eighths >> 3);
}
std::int64_t PixelsTo(std::int64_t eighths)
{
    return eighths >> 3;
}

// v where keep holds and 0 elsewhere: a mask rather than a branch, which
// vector code applies lane by lane.
double Kept(bool keep, double v)
{
    return std::bit_cast<double>(std::bit_cast<std::uint64_t>(v) & (0 - std::uint64_t(keep)));
}

} // namespace

// The falloff is a smoothstep from the core's edge to the rim; each level
// is weighed at its nearest point, so every sample within the core weighs
// Full.
void TSoftPen::SetPen(int width, int hardness)
{
    const int outer = 4 * std::clamp(width, 1, MaxWidth);
    hardness = std::clamp(hardness, 0, 99);
    if (outer == Outer && hardness == Hardness)
        return;
    Outer = outer;
    Hardness = hardness;
    const int reach = Outer + ReachMargin;
    ReachHalf.resize(std::size_t(reach) + 1);
    for (std::int64_t t = 0; t <= reach; ++t)
        ReachHalf[std::size_t(t)] = int(ISqrt(std::int64_t(reach) * reach - t * t));
    const double core = Hardness / 100.0;
    Falloff.resize(Levels + 1);
    for (int k = 0; k < Levels; ++k) {
        const double t = std::clamp((1 - std::sqrt(double(k) / Levels)) / (1 - core), 0.0, 1.0);
        Falloff[std::size_t(k)] = std::int32_t(std::lround(Full * t * t * (3 - 2 * t)));
    }
    Falloff[Levels] = 0;
    // The most and the least any sample of a pixel can weigh, by the level
    // of its centre's squared distance; the samples lie within SampleReach
    // of the centre. Both fall as the level rises, and the last entries,
    // beyond the rim, are 0.
    Scale = Levels / (double(Outer) * Outer);
    const double reachLevels = Levels * (Outer + SampleReach) * (Outer + SampleReach) / (double(Outer) * Outer);
    const int bounds = int(std::ceil(reachLevels)) + 1;
    auto falloffAt = [&](double d) { return int(Falloff[std::size_t(Level(d * d * Scale))]); };
    auto upper = [&](int k) { return k < bounds ? falloffAt(std::max(std::sqrt(k / Scale) - SampleReach, 0.0)) : 0; };
    auto lower = [&](int k) { return k < bounds ? falloffAt(std::sqrt((k + 1) / Scale) + SampleReach) : 0; };
    int k = 0;
    for (int f = Full; f >= 0; --f) {
        while (upper(k) > f)
            ++k;
        SkipFrom[f] = k;
    }
    k = 0;
    while (lower(k) == Full)
        ++k;
    CoreBelow = k;
}

void TSoftPen::Begin(QPoint a, QPoint b, bool joint)
{
    A = a * 8;
    B = b * 8;
    Dx = B.x() - A.x();
    Dy = B.y() - A.y();
    Len2 = Dx * Dx + Dy * Dy;
    BandScale = Len2 > 0 ? Scale / double(Len2) : 0;
    SetBand();
    InverseStep = Dx ? 1.0 / double(8 * std::abs(Dx)) : 0;
    for (int i = 0; i < 16; ++i) {
        AlongOffset[i] = std::int64_t(double(Dx) * SampleX[i] + double(Dy) * SampleY[i]);
        CrossOffset[i] = double(Dx) * SampleY[i] - double(Dy) * SampleX[i];
    }
    AlongReach = 3 * (std::abs(Dx) + std::abs(Dy));
    Joint = joint && Len2 > 0;
}

// Each row's run through the band, from the segment's start in eighths, is
// where two runs overlap: the points whose projection falls on the segment
// (0 <= Dx rx + Dy ry <= Len2) and those within the reach across it
// (|Dx ry - Dy rx| <= reach x length). Their ends move by a fixed amount
// from row to row; one whose side is parallel to the rows takes in all of
// a row or nothing.
void TSoftPen::SetBand()
{
    constexpr double Far = 1e300;
    const std::int64_t reach = Outer + ReachMargin;
    BandTop = INT64_MIN;
    BandBottom = INT64_MAX;
    if (Len2 == 0) {
        BandTop = 1, BandBottom = 0;
        return;
    }
    if (Dx == 0) {
        Along = {0, -Far, Far};
        BandTop = std::min<std::int64_t>(Dy, 0), BandBottom = std::max<std::int64_t>(Dy, 0);
    } else {
        const double end = double(Len2) / double(Dx);
        Along = {-double(Dy) / double(Dx), std::min(end, 0.0), std::max(end, 0.0)};
    }
    if (Dy == 0) {
        Across = {0, -Far, Far};
        BandTop = -reach, BandBottom = reach;
    } else {
        const double half = double(reach) * std::sqrt(double(Len2)) / double(std::abs(Dy));
        Across = {double(Dx) / double(Dy), -half, half};
    }
}

// The union of the row's runs through the two end discs, looked up, and
// through the band between them, worked out in floating point and widened
// by a pixel to be sure of it; all from the segment's start, in eighths.
// Only the cut at a joint decides on pixels and is exact.
TPixelRun TSoftPen::Span(int y, int width) const
{
    const std::int64_t ry = 8 * std::int64_t(y) - A.y();
    std::int64_t lo = INT64_MAX, hi = INT64_MIN;
    auto disc = [&](std::int64_t t, std::int64_t cx) {
        t = std::abs(t);
        if (t >= std::int64_t(ReachHalf.size()))
            return;
        lo = std::min(lo, cx - ReachHalf[std::size_t(t)]);
        hi = std::max(hi, cx + ReachHalf[std::size_t(t)]);
    };
    disc(ry, 0);
    disc(ry - Dy, Dx);
    if (ry >= BandTop && ry <= BandBottom) {
        const double r = double(ry);
        const double bandLo = std::max(Along.Slope * r + Along.Lo, Across.Slope * r + Across.Lo);
        const double bandHi = std::min(Along.Slope * r + Along.Hi, Across.Slope * r + Across.Hi);
        if (bandLo <= bandHi + 16) {
            lo = std::min(lo, std::int64_t(bandLo) - 8);
            hi = std::max(hi, std::int64_t(bandHi) + 8);
        }
    }
    if (lo > hi)
        return {};
    TPixelRun run{int(std::max<std::int64_t>(PixelsFrom(lo + A.x()), 0)),
                  int(std::min<std::int64_t>(PixelsTo(hi + A.x()), width - 1))};
    if (!Joint || run.Empty())
        return run;
    // Every sample of a pixel lies behind a when its centre's projection u
    // is at most -AlongReach.
    const int n = run.X1 - run.X0 + 1;
    const std::int64_t u0 = Dx * (8 * std::int64_t(run.X0) - A.x()) + Dy * ry, s = 8 * Dx;
    if (s > 0)
        run.X0 += FirstAbove(u0, s, InverseStep, -AlongReach, n);
    else if (s < 0)
        run.X1 = run.X0 + FirstAbove(-u0, -s, InverseStep, AlongReach - 1, n) - 1;
    else if (u0 <= -AlongReach)
        return {};
    return run;
}

inline int TSoftPen::Level(double scaled) const
{
    return int(std::min(scaled, double(Levels)));
}

// The 16 samples of pixel k, each judged by its nearest point of the
// segment: the start where its projection is at most 0, the end where it is
// at least Len2, else the foot of the perpendicular, which is where all of
// them lie for most pixels. Positions and cross
// products are whole numbers well within a double's exact range, so working
// in doubles is exact; the choices are masks, so the samples go through
// vector lanes.
inline int TSoftPen::PixelWeight(const TRowStart &row, int k) const
{
    const std::int64_t u = row.U + 8 * Dx * k;
    const double cross = double(row.Cross - 8 * Dy * k);
    if (u > AlongReach && u < Len2 - AlongReach)
        return BesideWeight(cross);
    const double x = double(row.Rx + 8 * k), y = double(row.Ry), dx = double(Dx), dy = double(Dy);
    int levels[16];
    for (int i = 0; i < 16; ++i) {
        const std::int64_t along = u + AlongOffset[i];
        const bool atEnd = along >= Len2, beside = along > 0 && !atEnd;
        const double ex = x + SampleX[i] - Kept(atEnd, dx), ey = y + SampleY[i] - Kept(atEnd, dy);
        const double c = cross + CrossOffset[i];
        levels[i] = Level(Kept(beside, c * c * BandScale) + Kept(!beside, (ex * ex + ey * ey) * Scale));
    }
    return Average(levels);
}

inline int TSoftPen::BesideWeight(double cross) const
{
    int levels[16];
    // Kept a loop, which goes through vector lanes; unrolled, it would go
    // one sample at a time.
#pragma GCC unroll 1
    for (int i = 0; i < 16; ++i) {
        const double c = cross + CrossOffset[i];
        levels[i] = Level(c * c * BandScale);
    }
    return Average(levels);
}

inline int TSoftPen::Average(const int (&levels)[16]) const
{
    int sum = 0;
    for (const int level : levels)
        sum += Falloff[std::size_t(level)];
    return (sum + 8) >> 4;
}

// Pixels k0..k1 - 1, whose centres have the same kind of nearest point on
// the segment, judged first by their centres' levels, ((p + q k)^2 + r)
// times scale; every term is a whole number well within a double's exact
// range. The loop keeps what it reads in locals, as the weights it writes
// might alias anything.
inline void TSoftPen::WeighRun(const TRowStart &row, TLevels levels, const std::uint8_t *floors,
                               std::uint8_t *weights, TPixelRun &rose) const
{
    const auto [k0, k1, p, q, r, scale] = levels;
    const double coreBelow = CoreBelow;
    double d = p + q * k0;
    for (int k = k0; k < k1; ++k, d += q) {
        const double centre = (d * d + r) * scale;
        const int floor = floors[k];
        weights[k] = 0;
        if (centre >= SkipFrom[floor])
            continue;
        const int w = centre < coreBelow ? Full : PixelWeight(row, k);
        if (w <= floor)
            continue;
        weights[k] = std::uint8_t(w);
        rose.X0 = std::min(rose.X0, k);
        rose.X1 = std::max(rose.X1, k);
    }
}

// Along a row the projection u of the pixels' centres changes steadily, so
// the pixels nearest the segment's start (u <= 0), those nearest its end
// (u >= Len2) and those beside it each make one run, and each run has a
// plain rule for its centres' levels.
VELMORA_WIDE_VECTORS TPixelRun TSoftPen::Weigh(int y, TPixelRun span, const std::uint8_t *floors,
                                               std::uint8_t *weights) const
{
    const int n = span.X1 - span.X0 + 1;
    TRowStart row;
    row.Rx = 8 * std::int64_t(span.X0) - A.x();
    row.Ry = 8 * std::int64_t(y) - A.y();
    row.U = Dx * row.Rx + Dy * row.Ry;
    row.Cross = Dx * row.Ry - Dy * row.Rx;
    const double rx = double(row.Rx), ry = double(row.Ry), ey = double(row.Ry - Dy);
    TLevels start{0, 0, rx, 8, ry * ry, Scale};
    TLevels band{0, 0, double(row.Cross), -8 * double(Dy), 0, BandScale};
    TLevels end{0, 0, rx - double(Dx), 8, ey * ey, Scale};
    const std::int64_t s = 8 * Dx;
    if (s > 0) {
        const int b = FirstAbove(row.U, s, InverseStep, 0, n);
        const int e = std::max(b, FirstAbove(row.U, s, InverseStep, Len2 - 1, n));
        start.K1 = b;
        band.K0 = b, band.K1 = e;
        end.K0 = e, end.K1 = n;
    } else if (s < 0) {
        const int b = FirstAbove(-row.U, -s, InverseStep, -Len2, n);
        const int e = std::max(b, FirstAbove(-row.U, -s, InverseStep, -1, n));
        end.K1 = b;
        band.K0 = b, band.K1 = e;
        start.K0 = e, start.K1 = n;
    } else {
        (row.U <= 0 ? start : row.U >= Len2 ? end : band).K1 = n;
    }
    TPixelRun rose{n, -1};
    for (const TLevels &levels : {start, band, end})
        WeighRun(row, levels, floors, weights, rose);
    if (rose.Empty())
        return {};
    return {span.X0 + rose.X0, span.X0 + rose.X1};
}
