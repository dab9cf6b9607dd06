#pragma once

#include "engine/canvas_types.h"
#include "engine/pattern_group.h"
#include "engine/pattern_lattice.h"

#include <QPoint>
#include <QSize>
#include <cstdint>
#include <type_traits>
#include <vector>

// Everything the copy sets depend on: both centres, both counts and the mode.
struct ReflectionInput {
    QPoint M;        // master centre
    QPoint S;        // second centre
    int n = 2;       // master count
    int m = 2;       // second count
    TReflectionMode mode = rmPrimary;
    // Pattern mode: the group and cell, with the lattice through M, and the
    // picture's size, beyond which no copy is drawn.
    TPattern pattern{};
    QSize area{};
    // How far beyond its end points a copy can change pixels: Pattern mode
    // gives every copy that comes this close to the picture.
    int reach = 0;
    bool operator==(const ReflectionInput &) const = default;
};

struct Segment {
    QPoint a;
    QPoint b;
    bool operator==(const Segment &) const = default;
};

// A copy of a segment with its hue index (see CopyHues).
struct TSegmentCopy {
    QPoint a;
    QPoint b;
    int hue = 0;
};

// How many hues the copies of a stroke are spread over when each copy takes
// its own: the rotations of the master centre (a mirror image and the
// second centre's rotations share the hue of their master rotation), the
// two sides of a single mirror, or the elements of a pattern's point group
// (its translations keep the hue). 1 where there is nothing to spread.
int CopyHues(const ReflectionInput &in);

// Rotates P about C by Index/Count of a full turn (clockwise on screen). With
// Mirror the result is also reflected across the line through M toward S;
// callers then pass M as C.
QPoint RotatePoint(QPoint C, QPoint P, int Index, int Count, bool Mirror, QPoint M = {}, QPoint S = {});

// The rotated copies of one point about one centre, with the distance and
// angle worked out once: Copy(k) equals RotatePoint(C, P, k, Count, false).
// Inner loops of the copy sets turn one point many times.
class TRotation {
public:
    TRotation(QPoint C, QPoint P, int Count);
    QPoint Copy(int Index) const;

private:
    QPoint Center;
    QPoint Point;
    int Count;
    long double Radius = 0;
    long double Angle = 0;
};

// Mirror image across the vertical (Vertical true) or horizontal line
// through C.
QPoint MirrorPoint(QPoint C, QPoint P, bool Vertical);

// The Index-th rotated copy of the second centre about the master centre.
QPoint SecondCenterCopy(const ReflectionInput &in, int Index);

// Calls fn(a, b), or fn(a, b, hue) with the copy's hue index below
// CopyHues(in), for every copy of the segment A->B in drawing order; the
// first call is the segment itself, with hue 0. No allocation, so a stroke
// of a million copies costs nothing beyond the drawing.
template <typename Fn>
void ForEachSegmentCopy(const ReflectionInput &in, QPoint A, QPoint B, Fn &&fn, int part = 0, int parts = 1)
{
    auto copy = [&fn](QPoint a, QPoint b, int hue) {
        if constexpr (std::is_invocable_v<Fn &, QPoint, QPoint, int>)
            fn(a, b, hue);
        else
            fn(a, b);
    };
    // Parts of the copy set, for threads that share out its finding: the
    // rotations are divided in order, the other sets come whole in part 0.
    const bool rotations = in.mode == rmPrimary || in.mode == rmMirrorPrimary || in.mode == rmSecondary;
    if (part > 0 && !(rotations && in.n >= 2))
        return;
    if (in.mode == rmPattern) {
        ForEachPatternCopy(in.pattern, in.M, in.area, in.reach, std::array<QPoint, 2>{A, B},
                           [&](int element, const std::array<QPoint, 2> &q) { copy(q[0], q[1], element); });
        return;
    }
    if (in.mode == rmVertical || in.mode == rmHorizontal) {
        const bool vertical = in.mode == rmVertical;
        copy(A, B, 0);
        copy(MirrorPoint(in.M, A, vertical), MirrorPoint(in.M, B, vertical), 1);
        return;
    }
    if (in.mode == rmNone || in.n < 2) {
        copy(A, B, 0);
        return;
    }
    const int last = int(std::int64_t(in.n) * (part + 1) / parts);
    for (int i = int(std::int64_t(in.n) * part / parts); i < last; ++i) {
        const QPoint ai = RotatePoint(in.M, A, i, in.n, false);
        const QPoint bi = RotatePoint(in.M, B, i, in.n, false);
        if (in.mode == rmSecondary && in.m > 1) {
            const QPoint ci = SecondCenterCopy(in, i);
            const TRotation ra(ci, ai, in.m), rb(ci, bi, in.m);
            for (int j = 0; j < in.m; ++j)
                copy(ra.Copy(j), rb.Copy(j), i);
            continue;
        }
        copy(ai, bi, i);
        if (in.mode == rmMirrorPrimary)
            copy(RotatePoint(in.M, A, i, in.n, true, in.M, in.S), RotatePoint(in.M, B, i, in.n, true, in.M, in.S), i);
    }
}

// Calls fn(q) for every member of the point copy set of Q; the first call is
// Q itself. In Secondary mode Q appears a second time, as copy (0, 0).
template <typename Fn>
void ForEachPointCopy(const ReflectionInput &in, QPoint Q, Fn &&fn)
{
    if (in.mode == rmPattern) {
        ForEachPatternCopy(in.pattern, in.M, in.area, in.reach, std::array<QPoint, 1>{Q},
                           [&](int, const std::array<QPoint, 1> &q) { fn(q[0]); });
        return;
    }
    fn(Q);
    if (in.mode == rmVertical || in.mode == rmHorizontal) {
        fn(MirrorPoint(in.M, Q, in.mode == rmVertical));
        return;
    }
    if (in.mode == rmNone || in.n < 2)
        return;
    for (int i = 0; i < in.n; ++i) {
        const QPoint qi = RotatePoint(in.M, Q, i, in.n, false);
        if (i > 0 && (in.mode == rmPrimary || in.mode == rmMirrorPrimary))
            fn(qi);
        if (in.mode == rmSecondary && in.m > 1) {
            const TRotation rq(SecondCenterCopy(in, i), qi, in.m);
            for (int j = 0; j < in.m; ++j)
                fn(rq.Copy(j));
        } else if (in.mode == rmMirrorPrimary) {
            fn(RotatePoint(in.M, Q, i, in.n, true, in.M, in.S));
        }
    }
}

std::vector<Segment> SegmentCopies(const ReflectionInput &in, QPoint A, QPoint B);
std::vector<QPoint> PointCopies(const ReflectionInput &in, QPoint Q);
