#include "engine/soft_pen.h"

#include "engine/wide_vectors.h"

#include <algorithm>
#include <cmath>

using namespace PenRaster;

namespace {

// Samples lie at most 3 * sqrt(2) eighths from their pixel's centre.
constexpr double SampleReach = 4.25;
constexpr int ReachMargin = 5;

// Sample offsets from the pixel's centre in eighths, sample i of row j at
// index 4j + i.
constexpr int Offset(int i) { return 2 * i - 3; }

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
    // of the centre.
    const double reachLevels = Levels * (Outer + SampleReach) * (Outer + SampleReach) / (double(Outer) * Outer);
    const int bounds = int(std::ceil(reachLevels)) + 1;
    Upper.resize(std::size_t(bounds) + 1);
    Lower.resize(std::size_t(bounds) + 1);
    auto falloffAt = [&](double d) { return std::uint8_t(Falloff[std::size_t(Level(d * d * Scale))]); };
    Scale = Levels / (double(Outer) * Outer);
    for (int k = 0; k < bounds; ++k) {
        Upper[std::size_t(k)] = falloffAt(std::max(std::sqrt(k / Scale) - SampleReach, 0.0));
        Lower[std::size_t(k)] = falloffAt(std::sqrt((k + 1) / Scale) + SampleReach);
    }
    Upper[std::size_t(bounds)] = Lower[std::size_t(bounds)] = 0;
}

void TSoftPen::Begin(QPoint a, QPoint b, bool joint)
{
    A = a * 8;
    B = b * 8;
    Dx = B.x() - A.x();
    Dy = B.y() - A.y();
    Len2 = Dx * Dx + Dy * Dy;
    ReachBand = TBand(A, B, 2 * (Outer + ReachMargin));
    BandScale = Len2 > 0 ? Scale / double(Len2) : 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            AlongOffset[4 * j + i] = Dx * Offset(i) + Dy * Offset(j);
            CrossOffset[4 * j + i] = double(Dx * Offset(j) - Dy * Offset(i));
        }
    AlongReach = 3 * (std::abs(Dx) + std::abs(Dy));
    Joint = joint && Len2 > 0;
}

bool TSoftPen::Span(int y, int width, int &X0, int &X1) const
{
    std::int64_t lo, hi;
    CapsuleRow(8 * std::int64_t(y), A, B, ReachHalf, ReachBand, lo, hi);
    lo = std::max<std::int64_t>(CeilDiv(lo, 8), 0);
    hi = std::min<std::int64_t>(FloorDiv(hi, 8), width - 1);
    if (Joint) {
        // Every sample of a pixel lies behind a when its centre's
        // projection u = Dx (8x - Ax) + Dy (8y - Ay) is at most -AlongReach;
        // only the pixels with 8 Dx x > t are left.
        const std::int64_t t = Dx * A.x() - Dy * (8 * std::int64_t(y) - A.y()) - AlongReach;
        if (Dx > 0)
            lo = std::max(lo, FloorDiv(t, 8 * Dx) + 1);
        else if (Dx < 0)
            hi = std::min(hi, CeilDiv(-t, -8 * Dx) - 1);
        else if (t >= 0)
            return false;
    }
    if (lo > hi)
        return false;
    X0 = int(lo);
    X1 = int(hi);
    return true;
}

inline int TSoftPen::Level(double scaled) const
{
    return int(std::min(scaled, double(Levels)));
}

// The squared distance from the nearest point of the segment, times Scale:
// an end, or the foot of the perpendicular, cross^2 / Len2. u is the
// projection on the segment times its length.
inline double TSoftPen::Scaled(std::int64_t rx, std::int64_t ry, std::int64_t u, std::int64_t cross) const
{
    if (Len2 == 0 || u <= 0)
        return double(rx * rx + ry * ry) * Scale;
    if (u >= Len2) {
        const std::int64_t ex = rx - Dx, ey = ry - Dy;
        return double(ex * ex + ey * ey) * Scale;
    }
    const double c = double(cross);
    return c * c * BandScale;
}

// The 16 samples of the pixel whose centre is (rx, ry) from the segment's
// start; where all of them lie beside the segment only their distance across
// it counts. The cross products are whole numbers well within a double's
// exact range, so adding the offsets in doubles is exact.
inline int TSoftPen::PixelWeight(std::int64_t rx, std::int64_t ry, std::int64_t u, std::int64_t cross) const
{
    int sum = 0;
    if (u > AlongReach && u < Len2 - AlongReach) {
        const double center = double(cross);
        for (int k = 0; k < 16; ++k) {
            const double c = center + CrossOffset[k];
            sum += Falloff[std::size_t(Level(c * c * BandScale))];
        }
    } else {
        for (int k = 0; k < 16; ++k)
            sum += Falloff[std::size_t(Level(Scaled(rx + Offset(k & 3), ry + Offset(k >> 2), u + AlongOffset[k],
                                                    cross + std::int64_t(CrossOffset[k]))))];
    }
    return (sum + 8) >> 4;
}

// Each pixel is first judged by its centre: its samples lie within
// SampleReach of it, so a centre deep enough inside the core weighs Full, and
// one whose nearest possible sample could not beat the floor (nothing, beyond
// the rim) is left alone.
VELMORA_WIDE_VECTORS void TSoftPen::Weigh(int y, int X0, int X1, const std::uint8_t *floors,
                                          std::uint8_t *weights) const
{
    std::int64_t rx = 8 * std::int64_t(X0) - A.x();
    const std::int64_t ry = 8 * std::int64_t(y) - A.y();
    std::int64_t u = Dx * rx + Dy * ry, cross = Dx * ry - Dy * rx;
    const double lastBound = double(Upper.size() - 1);
    for (int x = X0; x <= X1; ++x, rx += 8, u += 8 * Dx, cross -= 8 * Dy) {
        const double scaled = Scaled(rx, ry, u, cross);
        const std::size_t k = std::size_t(std::min(scaled, lastBound));
        std::uint8_t &w = weights[x - X0];
        if (Upper[k] <= floors[x - X0])
            w = 0;
        else if (Lower[k] == Full)
            w = Full;
        else
            w = std::uint8_t(PixelWeight(rx, ry, u, cross));
    }
}
