#include "engine/reflection.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace {

using Real = long double;
constexpr Real Pi = std::numbers::pi_v<long double>;

// Nearest integer, exact halves to the even neighbour (the default rounding
// mode of the floating-point unit). lrint rounds as nearbyint does, in one
// instruction; nearbyint saved and restored the floating-point state for
// every coordinate of every copy.
int RoundEven(Real v)
{
    return int(std::lrint(v));
}

int WrapIndex(int k, int count)
{
    if (count > 0)
        while (k > count - 1)
            k -= count;
    return k;
}

Real DistanceOf(QPoint C, QPoint P)
{
    // 64-bit: centres may be dragged far outside the picture.
    const std::int64_t dx = std::int64_t(P.x()) - C.x();
    const std::int64_t dy = std::int64_t(P.y()) - C.y();
    return std::sqrt(Real(dx * dx + dy * dy));
}

Real AngleOf(QPoint C, QPoint P)
{
    return std::atan2(Real(P.y() - C.y()), Real(P.x() - C.x()));
}

Real TurnedAngle(Real angle, int k, int count)
{
    return angle + Real(k) * (2 * Pi / Real(count));
}

QPoint FromPolar(QPoint C, Real r, Real phi)
{
    return QPoint(RoundEven(r * std::cos(phi) + Real(C.x())), RoundEven(r * std::sin(phi) + Real(C.y())));
}

} // namespace

QPoint RotatePoint(QPoint C, QPoint P, int Index, int Count, bool Mirror, QPoint M, QPoint S)
{
    if (!Mirror && (Index <= 0 || Count < 2))
        return P;
    if (P == C)
        return C;
    Real phi = TurnedAngle(AngleOf(C, P), WrapIndex(Index, Count), Count);
    if (Mirror) {
        const Real alpha = std::atan2(Real(M.y() - S.y()), Real(M.x() - S.x()));
        phi = (alpha + Pi) * 2 - phi;
    }
    return FromPolar(C, DistanceOf(C, P), phi);
}

TRotation::TRotation(QPoint C, QPoint P, int Count)
    : Center(C)
    , Point(P)
    , Count(Count)
{
    if (P == C || Count < 2)
        return;
    Radius = DistanceOf(C, P);
    Angle = AngleOf(C, P);
}

QPoint TRotation::Copy(int Index) const
{
    if (Index <= 0 || Count < 2)
        return Point;
    if (Point == Center)
        return Center;
    return FromPolar(Center, Radius, TurnedAngle(Angle, WrapIndex(Index, Count), Count));
}

QPoint MirrorPoint(QPoint C, QPoint P, bool Vertical)
{
    if (Vertical)
        return QPoint(C.x() - P.x() + C.x(), P.y());
    return QPoint(P.x(), C.y() - P.y() + C.y());
}

QPoint SecondCenterCopy(const ReflectionInput &in, int Index)
{
    return RotatePoint(in.M, in.S, Index, in.n, false);
}

int CopyHues(const ReflectionInput &in)
{
    switch (in.mode) {
    case rmNone: return 1;
    case rmVertical:
    case rmHorizontal: return 2;
    case rmPattern: return PointGroupOrder(in.pattern.Group);
    default: return std::max(in.n, 1);
    }
}

std::vector<Segment> SegmentCopies(const ReflectionInput &in, QPoint A, QPoint B)
{
    std::vector<Segment> out;
    ForEachSegmentCopy(in, A, B, [&](QPoint a, QPoint b) { out.push_back({a, b}); });
    return out;
}

std::vector<QPoint> PointCopies(const ReflectionInput &in, QPoint Q)
{
    std::vector<QPoint> out;
    ForEachPointCopy(in, Q, [&](QPoint q) { out.push_back(q); });
    return out;
}
