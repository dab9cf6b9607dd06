#include "engine/reflection.h"

#include <gtest/gtest.h>

#include <algorithm>

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

TEST(PatternCopies, CountAndTheSmallestCellAllowed)
{
    const QSize big(3000, 3000);
    EXPECT_EQ(PatternCopyCount({pgP4m, 64, 64, 90}, big), 8 * 47 * 47);
    // The hexagonal lattice's rows lie 64 sqrt(3)/2 apart.
    EXPECT_EQ(PatternCopyCount({pgP6m, 64, 64, 90}, big), 12 * 47 * 55);
    EXPECT_EQ(PatternCopyCount({pgFriezeP2mm, 64, 16, 90}, big), 4 * 47);
    EXPECT_EQ(PatternCopyCount({pgCm, 64, 40, 90}, big), 4 * 47 * 75);
    const TPattern allowed{pgP4m, 16, 16, 90};
    EXPECT_EQ(SmallestAllowedPattern(allowed, big), allowed);
    EXPECT_EQ(SmallestAllowedPattern(allowed, QSize(8000, 8000)), (TPattern{pgP4m, 24, 24, 90}));
    EXPECT_EQ(SmallestAllowedPattern({pgCmm, 16, 24, 90}, QSize(8000, 8000)), (TPattern{pgCmm, 18, 28, 90}));
}

TEST(PatternCopies, FittedCanvasIsWholeCellsWithTheCentreOnALatticePoint)
{
    const QSize picture(3000, 2000);
    EXPECT_EQ(FittedCanvasSize({pgP4m, 64, 64, 90}, picture), QSize(3008, 1984));
    EXPECT_EQ(FittedMasterCenter({pgP4m, 64, 64, 90}, QSize(3008, 1984)), QPoint(1472, 960));
    EXPECT_EQ(FittedCanvasSize({pgFriezeP2mg, 64, 40, 90}, picture), QSize(3008, 2000));
    EXPECT_EQ(FittedMasterCenter({pgFriezeP2mg, 64, 40, 90}, QSize(3008, 2000)), QPoint(1472, 1000));
    EXPECT_EQ(FittedCanvasSize({pgPmm, 36, 24, 90}, QSize(10, 10)), QSize(36, 24));
    EXPECT_EQ(FittedMasterCenter({pgPmm, 36, 24, 90}, QSize(36, 24)), QPoint(0, 0));
    EXPECT_EQ(FittedCanvasSize({pgP6m, 64, 64, 90}, picture), picture);
    EXPECT_EQ(FittedCanvasSize({pgP2, 64, 64, 60}, picture), picture);
}

// Off the pixel grid the copies are rounded, as the rosettes' are: a sixth
// of a turn about the lattice point takes a point one cell to the right to
// the lattice point below it.
TEST(PatternCopies, HexagonalCopiesRoundToTheNearestPixel)
{
    ReflectionInput in{QPoint(100, 100), QPoint(100, 100), 2, 2, rmPattern, {pgP6, 40, 40, 90}, QSize(300, 300)};
    const std::vector<QPoint> copies = PointCopies(in, QPoint(140, 100));
    ASSERT_FALSE(copies.empty());
    EXPECT_EQ(copies.front(), QPoint(140, 100));
    for (const QPoint q : {QPoint(120, 135), QPoint(80, 135), QPoint(60, 100), QPoint(100, 100)})
        EXPECT_NE(std::find(copies.begin(), copies.end(), q), copies.end()) << q.x() << "," << q.y();
}
