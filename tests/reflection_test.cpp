#include "engine/reflection.h"

#include <gtest/gtest.h>

namespace {

ReflectionInput Input(TReflectionMode mode, int n = 13, int m = 3)
{
    return ReflectionInput{QPoint(400, 300), QPoint(400, 100), n, m, mode};
}

} // namespace

TEST(RotatePoint, QuarterTurnsGoClockwiseOnScreen)
{
    const QPoint M(400, 300), P(400, 200);
    EXPECT_EQ(RotatePoint(M, P, 0, 4, false), QPoint(400, 200));
    EXPECT_EQ(RotatePoint(M, P, 1, 4, false), QPoint(500, 300));
    EXPECT_EQ(RotatePoint(M, P, 2, 4, false), QPoint(400, 400));
    EXPECT_EQ(RotatePoint(M, P, 3, 4, false), QPoint(300, 300));
}

TEST(RotatePoint, IdentityCasesAndIndexWrap)
{
    const QPoint M(400, 300), S(400, 100), P(123, 456);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(RotatePoint(M, M, k, 5, false), M);
        EXPECT_EQ(RotatePoint(M, M, k, 5, true, M, S), M);
    }
    EXPECT_EQ(RotatePoint(M, P, 0, 7, false), P);
    EXPECT_EQ(RotatePoint(M, P, 5, 1, false), P);
    EXPECT_EQ(RotatePoint(M, P, 7, 4, false), RotatePoint(M, P, 3, 4, false));
    EXPECT_EQ(RotatePoint(M, P, 30, 13, false), RotatePoint(M, P, 4, 13, false));
}

TEST(RotatePoint, MirrorAcrossMasterSecondAxis)
{
    const QPoint M(400, 300);
    // Second centre straight above: the mirror line is vertical.
    EXPECT_EQ(RotatePoint(M, QPoint(500, 200), 0, 4, true, M, QPoint(400, 100)), QPoint(300, 200));
    // Coinciding centres: the mirror line is horizontal.
    EXPECT_EQ(RotatePoint(M, QPoint(450, 250), 0, 4, true, M, M), QPoint(450, 350));
    // Second centre to the right: horizontal axis as well.
    EXPECT_EQ(RotatePoint(M, QPoint(450, 250), 0, 4, true, M, QPoint(600, 300)), QPoint(450, 350));
}

TEST(RotatePoint, FarAwayCentresDoNotOverflow)
{
    // Beyond 46340 pixels the squared distance no longer fits 32 bits.
    const QPoint C(0, 0), P(100000, 0);
    EXPECT_EQ(RotatePoint(C, P, 1, 4, false), QPoint(0, 100000));
    EXPECT_EQ(RotatePoint(C, P, 2, 4, false), QPoint(-100000, 0));
}

TEST(MirrorPoint, VerticalAndHorizontal)
{
    const QPoint M(400, 300);
    EXPECT_EQ(MirrorPoint(M, QPoint(10, 20), true), QPoint(790, 20));
    EXPECT_EQ(MirrorPoint(M, QPoint(10, 20), false), QPoint(10, 580));
}

TEST(CopySets, SizesForEveryMode)
{
    const QPoint A(410, 200), B(420, 210);
    struct Case {
        TReflectionMode mode;
        std::size_t segments;
        std::size_t points;
    };
    const Case cases[] = {
        {rmNone, 1, 1},           {rmPrimary, 13, 13},  {rmMirrorPrimary, 26, 26},
        {rmSecondary, 39, 40},    {rmVertical, 2, 2},   {rmHorizontal, 2, 2},
    };
    for (const Case &c : cases) {
        const ReflectionInput in = Input(c.mode);
        const auto segments = SegmentCopies(in, A, B);
        const auto points = PointCopies(in, A);
        EXPECT_EQ(segments.size(), c.segments) << int(c.mode);
        EXPECT_EQ(points.size(), c.points) << int(c.mode);
        ASSERT_FALSE(segments.empty());
        EXPECT_EQ(segments.front(), (Segment{A, B})) << int(c.mode);
        EXPECT_EQ(points.front(), A) << int(c.mode);
    }
}

TEST(CopySets, SecondaryTwoByTwoPointSet)
{
    const ReflectionInput in = Input(rmSecondary, 2, 2);
    EXPECT_EQ(SecondCenterCopy(in, 0), QPoint(400, 100));
    EXPECT_EQ(SecondCenterCopy(in, 1), QPoint(400, 500));
    const std::vector<QPoint> expected = {QPoint(400, 150), QPoint(400, 150), QPoint(400, 50), QPoint(400, 450),
                                          QPoint(400, 550)};
    EXPECT_EQ(PointCopies(in, QPoint(400, 150)), expected);
}

TEST(CopySets, MirrorPrimaryInterleavesMirrorImages)
{
    const ReflectionInput in = Input(rmMirrorPrimary, 4);
    const auto segments = SegmentCopies(in, QPoint(500, 200), QPoint(500, 250));
    ASSERT_EQ(segments.size(), 8u);
    EXPECT_EQ(segments[0], (Segment{QPoint(500, 200), QPoint(500, 250)}));
    EXPECT_EQ(segments[1], (Segment{QPoint(300, 200), QPoint(300, 250)}));
    EXPECT_EQ(segments[2], (Segment{QPoint(500, 400), QPoint(450, 400)}));
    const auto points = PointCopies(in, QPoint(500, 200));
    const std::vector<QPoint> expected = {QPoint(500, 200), QPoint(300, 200), QPoint(500, 400), QPoint(300, 400),
                                          QPoint(300, 400), QPoint(500, 400), QPoint(300, 200), QPoint(500, 200)};
    ASSERT_EQ(points.size(), 8u);
    EXPECT_EQ(points, expected);
}

TEST(CopySets, VerticalAndHorizontalMirrorBothEnds)
{
    const auto v = SegmentCopies(Input(rmVertical), QPoint(10, 20), QPoint(30, 40));
    EXPECT_EQ(v[1], (Segment{QPoint(790, 20), QPoint(770, 40)}));
    const auto h = SegmentCopies(Input(rmHorizontal), QPoint(10, 20), QPoint(30, 40));
    EXPECT_EQ(h[1], (Segment{QPoint(10, 580), QPoint(30, 560)}));
}

TEST(RotatePoint, PrecomputedRotationGivesTheSameCopies)
{
    const QPoint C(317, 211);
    for (const QPoint P : {QPoint(317, 211), QPoint(318, 211), QPoint(-900, 4000), QPoint(320, 100)})
        for (const int n : {2, 3, 7, 13, 999}) {
            const TRotation r(C, P, n);
            for (const int k : {0, 1, 2, n - 1, n, 2 * n + 1})
                EXPECT_EQ(r.Copy(k), RotatePoint(C, P, k, n, false)) << P.x() << " " << n << " " << k;
        }
}
