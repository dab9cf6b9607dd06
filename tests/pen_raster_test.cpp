#include "engine/coverage_rings.h"
#include "engine/coverage_stroke.h"
#include "engine/flood_fill.h"
#include "engine/pen_raster.h"
#include "engine/stroke_drawing.h"
#include "canvas_test_util.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <set>
#include <utility>

namespace {

using Wide = __int128;

// The pen's rule written out plainly: the pixel's centre lies within w/2 of
// the segment between the end pixels' centres.
bool InCapsule(QPoint p, QPoint a, QPoint b, int w)
{
    const Wide dx = b.x() - a.x(), dy = b.y() - a.y();
    const Wide px = p.x() - a.x(), py = p.y() - a.y();
    const Wide len2 = dx * dx + dy * dy, dot = px * dx + py * dy;
    const Wide w2 = Wide(w) * w;
    if (len2 == 0 || dot <= 0)
        return 4 * (px * px + py * py) <= w2;
    if (dot >= len2) {
        const Wide qx = p.x() - b.x(), qy = p.y() - b.y();
        return 4 * (qx * qx + qy * qy) <= w2;
    }
    const Wide cross = dx * py - dy * px;
    return 4 * cross * cross <= w2 * len2;
}

using PixelSet = std::set<std::pair<int, int>>;

PixelSet PenPixels(const TPen &pen, QPoint a, QPoint b, int width, int height)
{
    PixelSet out;
    int lastRow = -1;
    pen.Segment(a, b, width, height, [&](int y, int x0, int x1) {
        EXPECT_GT(y, lastRow) << "one span per row, top to bottom";
        lastRow = y;
        for (int x = x0; x <= x1; ++x)
            out.emplace(x, y);
    });
    return out;
}

PixelSet Reference(QPoint a, QPoint b, int w, int width, int height)
{
    PixelSet out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (InCapsule(QPoint(x, y), a, b, w))
                out.emplace(x, y);
    return out;
}

QPoint RandomPoint(QRandomGenerator &rng, int lo, int hi)
{
    return QPoint(rng.bounded(lo, hi), rng.bounded(lo, hi));
}

QImage WhitePicture(int width, int height)
{
    QImage img(width, height, QImage::Format_RGB32);
    img.fill(Qt::white);
    return img;
}

} // namespace

TEST(Pen, CoversExactlyThePixelsWithinHalfTheWidthOfTheSegment)
{
    QRandomGenerator rng(17);
    TPen pen;
    for (int i = 0; i < 400; ++i) {
        const int w = i < 300 ? 2 + i % 11 : rng.bounded(13, 60);
        pen.SetWidth(w);
        // End points partly outside the 40 x 30 picture, so clipping counts.
        const QPoint a = RandomPoint(rng, -15, 50);
        const QPoint b = i % 7 == 0 ? a : a + RandomPoint(rng, -25, 25);
        ASSERT_EQ(PenPixels(pen, a, b, 40, 30), Reference(a, b, w, 40, 30)) << w << ": " << a.x() << "," << a.y()
                                                                          << " -> " << b.x() << "," << b.y();
    }
}

TEST(Pen, DabsAreDiscsOfTheRightArea)
{
    TPen pen;
    pen.SetWidth(2);
    EXPECT_EQ(PenPixels(pen, QPoint(5, 5), QPoint(5, 5), 20, 20),
              (PixelSet{{5, 4}, {4, 5}, {5, 5}, {6, 5}, {5, 6}}));
    pen.SetWidth(3);
    PixelSet square;
    for (int y = 4; y <= 6; ++y)
        for (int x = 4; x <= 6; ++x)
            square.emplace(x, y);
    EXPECT_EQ(PenPixels(pen, QPoint(5, 5), QPoint(5, 5), 20, 20), square);
    for (int w = 4; w <= 99; ++w) {
        pen.SetWidth(w);
        const double area = std::numbers::pi * w * w / 4;
        const auto n = double(PenPixels(pen, QPoint(60, 60), QPoint(60, 60), 120, 120).size());
        EXPECT_NEAR(n, area, area * 0.1) << w;
    }
}

TEST(Pen, LongSegmentsFarOutsideStayExact)
{
    TPen pen(21);
    // A line from far away crossing the picture: exact arithmetic must not
    // overflow, and the part inside the picture is the plain rule's.
    const QPoint a(-3000000, -1000000), b(3000064, 1000071);
    const PixelSet inside = PenPixels(pen, a, b, 64, 64);
    EXPECT_GT(inside.size(), 64u * 20);
    EXPECT_EQ(inside, Reference(a, b, 21, 64, 64));
    const QPoint far(PenRaster::MaxCoordinate + 1, 10);
    EXPECT_TRUE(PenPixels(pen, far, QPoint(10, 10), 64, 64).empty());
}

TEST(Strokes, MirrorCopiesOfWidePensAreExactMirrorImages)
{
    QRandomGenerator rng(5);
    struct TPenCase {
        int w;
        bool smooth;
        int hardness = 100, opacity = 100;
    };
    std::vector<TPenCase> pens;
    for (int w = 2; w <= 12; ++w)
        pens.push_back({w, false});
    for (int w : {1, 2, 7, 12})
        pens.push_back({w, true});
    pens.push_back({5, false, 100, 40});
    for (int w : {1, 8, 13})
        pens.push_back({w, false, 3 * w, 70});
    // Mirror primary with the second centre straight above the master
    // centre mirrors across the same vertical line as Vertical.
    for (TReflectionMode mode : {rmVertical, rmHorizontal, rmMirrorPrimary}) {
        for (const auto &[w, smooth, hardness, opacity] : pens) {
            TVelmoraCanvas c;
            LayOut(c);
            c.SetReflectionMode(mode);
            c.SecondCenter = QPoint(400, 100);
            c.SetSmoothStrokes(smooth);
            c.SetBrushHardness(hardness);
            c.SetBrushOpacity(opacity);
            c.BrushSize = w;
            QPoint p = RandomPoint(rng, 100, 500);
            c.MouseDown(mbLeft, ssLeft, p.x() + Margin, p.y() + Margin);
            for (int i = 0; i < 6; ++i) {
                p = RandomPoint(rng, 0, 600);
                c.MouseMove(ssLeft, p.x() + Margin, p.y() + Margin);
            }
            c.MouseUp(mbLeft, 0, p.x() + Margin, p.y() + Margin);
            // Master centre (400, 300): x mirrors to 800 - x, y to 600 - y.
            for (int y = 1; y < 600; ++y)
                for (int x = 1; x < 800; ++x) {
                    const bool vertical = mode != rmHorizontal;
                    const int mx = vertical ? 800 - x : x, my = vertical ? y : 600 - y;
                    ASSERT_EQ(Rgb(c.Picture, x, y), Rgb(c.Picture, mx, my))
                        << w << (smooth ? " smooth " : " ") << hardness << " " << opacity << " at " << x << ","
                        << y;
                }
        }
    }
}

TEST(Strokes, FourfoldCopiesOfAnEvenPenAreExactQuarterTurns)
{
    const std::pair<bool, int> pens[] = {{false, 100}, {true, 100}, {false, 40}};
    for (const auto &[smooth, hardness] : pens) {
        TVelmoraCanvas c;
        LayOut(c);
        c.SetMasterRefCount(4);
        c.SetSmoothStrokes(smooth);
        c.SetBrushHardness(hardness);
        c.BrushSize = 10;
        const QPoint pts[] = {QPoint(420, 250), QPoint(470, 263), QPoint(455, 190), QPoint(455, 191)};
        c.MouseDown(mbLeft, ssLeft, pts[0].x() + Margin, pts[0].y() + Margin);
        for (QPoint p : pts)
            c.MouseMove(ssLeft, p.x() + Margin, p.y() + Margin);
        // About (400, 300): (x, y) turns to (700 - y, x - 100).
        for (int y = 100; y <= 500; ++y)
            for (int x = 200; x <= 600; ++x)
                ASSERT_EQ(Rgb(c.Picture, x, y), Rgb(c.Picture, 700 - y, x - 100))
                    << x << "," << y << " " << smooth << " " << hardness;
        EXPECT_GT(CountPixels(c.Picture, 0), 4 * 78);
    }
}

TEST(SmoothPen, EvenWidthsHaveHalfCoveredEdgeRows)
{
    for (int w : {2, 4, 10}) {
        QImage img = WhitePicture(60, 40);
        TCoverageStroke stroke;
        stroke.AddCapsule(img, QPoint(10, 20), QPoint(50, 20), w, clBlack, nullptr);
        for (int x = 15; x <= 45; ++x) {
            for (int y = 21 - w / 2; y <= 19 + w / 2; ++y)
                ASSERT_EQ(stroke.Covered(x, y), TCoverageStroke::Samples) << w << ": " << x << "," << y;
            for (int y : {20 - w / 2, 20 + w / 2}) {
                ASSERT_EQ(stroke.Covered(x, y), TCoverageStroke::Samples / 2) << w << ": " << x << "," << y;
                ASSERT_EQ(Rgb(img, x, y), 0x808080u);
            }
            ASSERT_EQ(Rgb(img, x, 21 + w / 2), 0xFFFFFFu);
        }
    }
}

// Picture-wide state would take 12 MB here.
TEST(SmoothPen, HoldsStateOnlyAroundTheStrokeUntilItEnds)
{
    QImage img = WhitePicture(2000, 1000);
    TCoverageStroke stroke;
    stroke.AddCapsule(img, QPoint(100, 100), QPoint(300, 100), 9, clBlack, nullptr);
    EXPECT_EQ(stroke.Covered(200, 100), TCoverageStroke::Samples);
    EXPECT_LT(stroke.Bytes(), 200'000u);
    stroke.End();
    EXPECT_EQ(stroke.Bytes(), 0u);
    EXPECT_EQ(stroke.Covered(200, 100), 0);
}

TEST(SmoothPen, DiscCoverageAddsUpToItsArea)
{
    for (int w = 10; w <= 60; ++w) {
        QImage img = WhitePicture(70, 70);
        TCoverageStroke stroke;
        stroke.AddCapsule(img, QPoint(35, 35), QPoint(35, 35), w, clBlack, nullptr);
        double covered = 0;
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 70; ++x)
                covered += double(stroke.Covered(x, y)) / TCoverageStroke::Samples;
        const double area = std::numbers::pi * w * w / 4;
        EXPECT_NEAR(covered, area, area * 0.01) << w;
    }
}

// Two rings and a capsule drawn over them, and the same mirrored or turned a
// quarter about the centre of pixel (30, 30), cover mirror images.
TEST(SmoothPen, CoverageIsSymmetricUnderMirrorsAndQuarterTurns)
{
    QRandomGenerator rng(23);
    const std::function<QPoint(QPoint)> maps[] = {
        [](QPoint p) { return QPoint(60 - p.x(), p.y()); },
        [](QPoint p) { return QPoint(p.x(), 60 - p.y()); },
        [](QPoint p) { return QPoint(60 - p.y(), p.x()); },
    };
    for (int i = 0; i < 60; ++i) {
        const int w = 1 + i % 12, r = rng.bounded(0, 25);
        const QPoint a = RandomPoint(rng, 0, 61), b = RandomPoint(rng, -10, 71);
        for (const auto &map : maps) {
            QImage one = WhitePicture(61, 61), two = WhitePicture(61, 61);
            TCoverageStroke s, t;
            TCoverageRings().Add(one, {a, b}, r, w, clBlack);
            s.AddCapsule(one, a, b, w, clBlack, nullptr);
            TCoverageRings().Add(two, {map(a), map(b)}, r, w, clBlack);
            t.AddCapsule(two, map(a), map(b), w, clBlack, nullptr);
            for (int y = 0; y <= 60; ++y)
                for (int x = 0; x <= 60; ++x) {
                    const QPoint m = map(QPoint(x, y));
                    ASSERT_EQ(s.Covered(x, y), t.Covered(m.x(), m.y())) << i << " at " << x << "," << y;
                    ASSERT_EQ(Rgb(one, x, y), Rgb(two, m.x(), m.y()));
                }
        }
    }
}

TEST(Rings, WidePenRingsFollowTheDistanceRule)
{
    QRandomGenerator rng(9);
    for (int i = 0; i < 60; ++i) {
        const int w = 2 + i % 9, r = i < 5 ? i : rng.bounded(0, 30);
        const QPoint c = RandomPoint(rng, -10, 50);
        PixelSet got, want;
        PenRaster::Ring(c, r, w, 40, 40, [&](int y, int x0, int x1) {
            for (int x = x0; x <= x1; ++x)
                EXPECT_TRUE(got.emplace(x, y).second) << "pixel reported twice";
        });
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x) {
                // r - w/2 <= d <= r + w/2, squared and scaled by 4.
                const std::int64_t d4 = 4 * (std::int64_t(x - c.x()) * (x - c.x()) + std::int64_t(y - c.y()) * (y - c.y()));
                const std::int64_t outer = 2 * r + w, inner = 2 * r - w;
                if (d4 <= outer * outer && (inner <= 0 || d4 >= inner * inner))
                    want.emplace(x, y);
            }
        ASSERT_EQ(got, want) << "r " << r << " w " << w;
    }
    // Radius 0 is the pen's disc.
    TPen pen(7);
    PixelSet disc;
    PenRaster::Ring(QPoint(20, 20), 0, 7, 40, 40, [&](int y, int x0, int x1) {
        for (int x = x0; x <= x1; ++x)
            disc.emplace(x, y);
    });
    EXPECT_EQ(disc, PenPixels(pen, QPoint(20, 20), QPoint(20, 20), 40, 40));
}

TEST(Rings, ThinRingIsAClosedSymmetricRingAtTheRoundedRadius)
{
    for (int r : {0, 1, 2, 5, 17, 100}) {
        const int size = 2 * r + 3, o = r + 1;
        QImage img(size, size, QImage::Format_RGB32);
        img.fill(Qt::white);
        PenRaster::ThinRing(QPoint(o, o), r, size, size, [&](int y, int x0, int x1) {
            for (int x = x0; x <= x1; ++x)
                img.setPixel(x, y, qRgb(0, 0, 0));
        });
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const bool on = Rgb(img, x, y) == 0;
                ASSERT_EQ(on, Rgb(img, size - 1 - x, y) == 0);
                ASSERT_EQ(on, Rgb(img, y, x) == 0);
                if (on) {
                    EXPECT_NEAR(std::hypot(x - o, y - o), r, 0.5 + 1e-9) << r << ": " << x << "," << y;
                }
            }
        // 8-connected and closed: a fill through side neighbours from the
        // corner does not get inside.
        if (r >= 2) {
            QImage filled = img.copy();
            TFloodFill().Fill(filled, QPoint(0, 0), qRgb(0, 0, 255));
            EXPECT_EQ(Rgb(filled, o, o), 0xFFFFFFu) << r;
        }
    }
}
