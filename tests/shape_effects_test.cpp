#include "engine/coloring_mask.h"
#include "engine/shape_outline.h"
#include "engine/undo_history.h"
#include "canvas_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Edges = std::vector<std::pair<int, int>>;

constexpr QRgb Black = 0x000000;

struct ShapeTest : ::testing::Test {
    void SetUp() override
    {
        LayOut(c);
        c.BrushSize = 3;
        Aim(QPoint(500, 300));
    }

    void Aim(QPoint pic) { c.MouseMove(0, pic.x() + Margin, pic.y() + Margin); }
    std::size_t Steps() const { return c.History().UndoList().size(); }
    bool Drawn(QPoint p) const { return Rgb(c.Picture, p.x(), p.y()) == Black; }

    // The midpoint of the line between two points, which a 3-pixel pen
    // covers whichever way it rounds.
    bool DrawnBetween(QPoint a, QPoint b) const
    {
        return Drawn(QPoint(int(std::lround((a.x() + b.x()) / 2.0)), int(std::lround((a.y() + b.y()) / 2.0))));
    }

    TVelmoraCanvas c;
};

} // namespace

TEST(FigureEdges, PolygonsAndStarsVisitTheirVerticesInOrder)
{
    EXPECT_EQ(FigureEdges(4, false), (Edges{{0, 1}, {1, 2}, {2, 3}, {3, 0}}));
    EXPECT_EQ(FigureEdges(5, true), (Edges{{0, 2}, {2, 4}, {4, 1}, {1, 3}, {3, 0}}));
    EXPECT_EQ(FigureEdges(7, true), (Edges{{0, 2}, {2, 4}, {4, 6}, {6, 1}, {1, 3}, {3, 5}, {5, 0}}));
    EXPECT_EQ(FigureEdges(6, true), (Edges{{0, 2}, {2, 4}, {4, 0}, {1, 3}, {3, 5}, {5, 1}}));
    EXPECT_EQ(FigureEdges(8, true), (Edges{{0, 2}, {2, 4}, {4, 6}, {6, 0}, {1, 3}, {3, 5}, {5, 7}, {7, 1}}));
    const Edges star13 = FigureEdges(13, true);
    ASSERT_EQ(star13.size(), 13u);
    for (std::size_t i = 0; i < star13.size(); ++i) {
        EXPECT_EQ(star13[i].second, (star13[i].first + 2) % 13);
        if (i > 0) {
            EXPECT_EQ(star13[i].first, star13[i - 1].second);
        }
    }
    EXPECT_EQ(star13.front().first, 0);
    EXPECT_TRUE(FigureEdges(2, false).empty());
    EXPECT_TRUE(FigureEdges(4, true).empty());
}

TEST_F(ShapeTest, ThirteenGonHasItsVerticesOnTheCircleAndTheCircleRunsThroughThem)
{
    c.DrawPolygon(false);
    const auto vertices = PointCopies(c.Reflection(), QPoint(500, 300));
    ASSERT_EQ(vertices.size(), 13u);
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const QPoint v = vertices[i];
        EXPECT_TRUE(Drawn(v));
        EXPECT_NEAR(std::hypot(v.x() - 400, v.y() - 300), 100, 1.0);
        EXPECT_TRUE(DrawnBetween(v, vertices[(i + 1) % 13]));
        EXPECT_FALSE(DrawnBetween(v, vertices[(i + 2) % 13]));
    }
    c.Clear(clWhite);
    c.AddCircle();
    for (QPoint v : vertices)
        EXPECT_TRUE(Drawn(v) || Drawn(v + QPoint(1, 0)) || Drawn(v - QPoint(1, 0)) || Drawn(v + QPoint(0, 1)) ||
                    Drawn(v - QPoint(0, 1)));
    EXPECT_EQ(Steps(), 2u);
}

TEST_F(ShapeTest, StarsJoinEveryVertexToTheNextButOne)
{
    c.DrawPolygon(true);
    const auto v = PointCopies(c.Reflection(), QPoint(500, 300));
    for (std::size_t i = 0; i < v.size(); ++i) {
        EXPECT_TRUE(DrawnBetween(v[i], v[(i + 2) % 13]));
        EXPECT_FALSE(DrawnBetween(v[i], v[(i + 1) % 13]));
    }

    // Six copies: two interleaved triangles.
    c.Clear(clWhite);
    c.SetMasterRefCount(6);
    c.DrawPolygon(true);
    const auto h = PointCopies(c.Reflection(), QPoint(500, 300));
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_TRUE(DrawnBetween(h[i], h[(i + 2) % 6]));
        EXPECT_FALSE(DrawnBetween(h[i], h[(i + 1) % 6]));
    }

    // Four copies are too few for a star; the undo step is kept.
    c.Clear(clWhite);
    c.SetMasterRefCount(4);
    const std::size_t before = Steps();
    c.Modified = false;
    c.DrawPolygon(true);
    EXPECT_EQ(CountPixels(c.Picture, Black), 0);
    EXPECT_EQ(Steps(), before + 1);
    EXPECT_TRUE(c.Modified);
}

TEST_F(ShapeTest, MirrorPrimaryDrawsTheMirroredFigureTooAndItIsAnExactMirrorImage)
{
    c.SetMasterRefCount(5);
    c.SetReflectionMode(rmMirrorPrimary);
    c.BrushSize = 4;
    Aim(QPoint(470, 230));
    c.DrawPolygon(false);
    // The second centre lies straight above the master centre, so the
    // mirror line is x = 400.
    for (int y = 0; y < 600; ++y)
        for (int x = 1; x < 800; ++x)
            ASSERT_EQ(Rgb(c.Picture, x, y), Rgb(c.Picture, 800 - x, y)) << x << "," << y;
    const QPoint mirrored = RotatePoint(c.MasterCenter, QPoint(470, 230), 0, 5, true, c.MasterCenter, c.SecondCenter);
    EXPECT_TRUE(Drawn(mirrored));

    c.Clear(clWhite);
    c.SetReflectionMode(rmPrimary);
    c.DrawPolygon(false);
    EXPECT_FALSE(Drawn(mirrored));
}

TEST_F(ShapeTest, SecondaryDrawsOneFigurePerSecondCentreCopy)
{
    c.SetReflectionMode(rmSecondary);
    Aim(QPoint(430, 120));
    c.DrawPolygon(false);
    const ReflectionInput in = c.Reflection();
    for (int i = 0; i < 13; ++i) {
        const QPoint qi = RotatePoint(in.M, QPoint(430, 120), i, 13, false);
        const TRotation around(SecondCenterCopy(in, i), qi, 3);
        for (int j = 0; j < 3; ++j)
            EXPECT_TRUE(DrawnBetween(around.Copy(j), around.Copy((j + 1) % 3))) << i << "," << j;
    }
    // A star needs five vertices; three per figure draw nothing.
    c.Clear(clWhite);
    c.DrawPolygon(true);
    EXPECT_EQ(CountPixels(c.Picture, Black), 0);

    // Circles of one radius, the distance from the second centre to the
    // mouse, around every copy of the second centre.
    c.AddCircle();
    const int r = int(std::lround(std::hypot(30, 20)));
    for (int i = 0; i < 13; ++i)
        EXPECT_TRUE(Drawn(SecondCenterCopy(in, i) + QPoint(r, 0))) << i;
}

TEST_F(ShapeTest, GuardsLeaveThePictureAndHistoryAlone)
{
    c.SetTool(ctEraser);
    c.AddCircle();
    c.DrawPolygon(false);
    c.DrawPolygon(true);
    c.SetTool(ctBrush);
    for (TReflectionMode m : {rmNone, rmVertical, rmHorizontal, rmPattern}) {
        c.SetReflectionMode(m);
        c.DrawPolygon(false);
        c.DrawPolygon(true);
    }
    c.SetReflectionMode(rmPrimary);
    Aim(QPoint(-5, 300));
    c.DrawPolygon(false);
    EXPECT_EQ(Steps(), 0u);
    EXPECT_EQ(CountPixels(c.Picture, Black), 0);

    // The circle with the mouse off the picture records its step only.
    c.AddCircle();
    EXPECT_EQ(Steps(), 1u);
    EXPECT_EQ(CountPixels(c.Picture, Black), 0);

    // A circle in the other modes goes once around the master centre.
    c.SetReflectionMode(rmVertical);
    Aim(QPoint(400, 250));
    c.AddCircle();
    EXPECT_TRUE(Drawn(QPoint(400, 250)) && Drawn(QPoint(450, 300)) && Drawn(QPoint(400, 350)));
}

TEST_F(ShapeTest, UndoAfterEachShapeInEveryModeGivesBackTheExactPicture)
{
    c.SetSecondRefCount(5);
    c.StrokeTo(QPoint(300, 200), false);
    c.StrokeTo(QPoint(620, 410), true);
    for (TReflectionMode m : {rmNone, rmPrimary, rmMirrorPrimary, rmSecondary, rmVertical, rmHorizontal}) {
        c.SetReflectionMode(m);
        const bool figures = m == rmPrimary || m == rmMirrorPrimary || m == rmSecondary;
        for (int shape = 0; shape < (figures ? 3 : 1); ++shape) {
            const QImage before = c.Picture.copy();
            shape == 0 ? c.AddCircle() : c.DrawPolygon(shape == 2);
            ASSERT_NE(c.Picture, before) << int(m) << "," << shape;
            c.Undo();
            ASSERT_EQ(c.Picture, before) << int(m) << "," << shape;
        }
    }
}

TEST_F(ShapeTest, ShapesDrawOverProtectedPixelsAndKeepTheMask)
{
    c.SetColoringMode(cmProtectColor);
    c.AddCircle();
    c.DrawPolygon(false);
    EXPECT_TRUE(Drawn(QPoint(500, 300)));
    EXPECT_TRUE(c.Mask->Protected(500, 300));
}
