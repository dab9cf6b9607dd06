#include "engine/flood_fill.h"
#include "engine/undo_history.h"
#include "canvas_test_util.h"

#include <QPainter>
#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <queue>
#include <vector>

namespace {

constexpr QRgb White = 0xFFFFFF, Black = 0x000000, Red = 0xFF0000, Green = 0x00FF00;

// The area the fill must give: breadth-first over side neighbours whose red,
// green and blue (and alpha, in an image with an alpha channel, where all
// fully transparent pixels are alike) each lie within the tolerance of the
// seed's.
QImage ReferenceFill(QImage img, QPoint seed, QRgb color, int tolerance = 0)
{
    const bool alpha = img.hasAlphaChannel();
    const auto key = [alpha](QRgb p) { return !alpha ? p | 0xFF000000u : qAlpha(p) ? p : 0u; };
    const QRgb old = key(img.pixel(seed));
    if (old == key(color))
        return img;
    auto near = [&](QRgb p) {
        p = key(p);
        return std::abs(qRed(p) - qRed(old)) <= tolerance && std::abs(qGreen(p) - qGreen(old)) <= tolerance &&
               std::abs(qBlue(p) - qBlue(old)) <= tolerance && std::abs(qAlpha(p) - qAlpha(old)) <= tolerance;
    };
    std::vector<bool> seen(std::size_t(img.width() * img.height()));
    auto visit = [&](QPoint q) { seen[std::size_t(q.y() * img.width() + q.x())] = true; };
    std::queue<QPoint> todo;
    todo.push(seed);
    visit(seed);
    while (!todo.empty()) {
        const QPoint p = todo.front();
        todo.pop();
        for (QPoint d : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)}) {
            const QPoint q = p + d;
            if (img.rect().contains(q) && !seen[std::size_t(q.y() * img.width() + q.x())] && near(img.pixel(q))) {
                visit(q);
                todo.push(q);
            }
        }
        img.setPixel(p, color);
    }
    return img;
}

void Click(TVelmoraCanvas &c, QPoint pic)
{
    c.MouseDown(mbLeft, ssLeft, pic.x() + Margin, pic.y() + Margin);
    c.MouseUp(mbLeft, 0, pic.x() + Margin, pic.y() + Margin);
}

void VerticalLine(QImage &img, int x)
{
    for (int y = 0; y < img.height(); ++y)
        img.setPixel(x, y, qRgb(0, 0, 0));
}

struct BucketTest : ::testing::Test {
    void SetUp() override
    {
        LayOut(c);
        c.SetTool(ctPaintBucket);
        c.SetMasterColor(RgbToColor(Red));
    }
    TVelmoraCanvas c;
};

} // namespace

TEST(FloodFill, FillsExactlyTheSideConnectedAreaOfTheSeedColour)
{
    QRandomGenerator rng(21);
    TFloodFill fill;
    const QRgb palette[] = {0xFFFFFFFF, 0x00FFFFFF, 0xFF000000, 0xFFFF0000,
                            0xFFF0F4F8, 0xFF808080, 0x00000000, 0x80FFFFFF};
    for (int i = 0; i < 300; ++i) {
        // Every other fill with a tolerance, with one to three seeds; now
        // and then hundreds of seeds on grey noise, where the seeds' areas
        // are small and overlap.
        const bool noise = i % 50 == 0;
        const int tolerance = noise ? 60 : i % 2 ? 0 : rng.bounded(0, 256);
        fill.SetTolerance(tolerance);
        // Mostly one colour with scattered others, some of which differ
        // from it only in the fourth byte and so belong to the area, unless
        // that byte is alpha. Transparent pixels of any colour are alike.
        const bool alpha = i % 3 == 1;
        QImage img(noise ? 40 : rng.bounded(1, 40), noise ? 40 : rng.bounded(1, 40),
                   alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                row[x] = noise ? rng.bounded(256) * 0x010101u
                               : palette[rng.bounded(10) < 6 ? 0 : rng.bounded(int(std::size(palette)))];
        }
        std::vector<QPoint> seeds(noise ? 600 : 1 + i % 3);
        for (QPoint &seed : seeds)
            seed = QPoint(rng.bounded(img.width()), rng.bounded(img.height()));
        // Another colour, the first seed's own, or one next to it.
        const QRgb color = noise || i % 5 > 1 ? qRgb(0, 255, 0) : img.pixel(seeds[0]) ^ (i % 5 ? 0x010101 : 0);
        // Every seed's area as it was before the fill.
        QImage want = img.copy();
        for (QPoint seed : seeds) {
            const QImage one = ReferenceFill(img, seed, color, tolerance);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (one.pixel(x, y) != img.pixel(x, y))
                        want.setPixel(x, y, color);
        }
        fill.Fill(img, seeds, color);
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                ASSERT_EQ(img.pixel(x, y), want.pixel(x, y)) << i << " at " << x << "," << y << " tol " << tolerance;
    }
    fill.SetTolerance(0);
    QImage img(5, 5, QImage::Format_RGB32);
    img.fill(Qt::white);
    EXPECT_EQ(fill.Fill(img, QPoint(5, 0), qRgb(0, 0, 0)), 0);
    EXPECT_EQ(fill.Fill(img, QPoint(-1, 2), qRgb(0, 0, 0)), 0);
    EXPECT_EQ(fill.Fill(img, QPoint(2, 2), qRgb(255, 255, 255)), 0);
}

TEST(FloodFill, WindingAreaAndNineMillionPixelsNeedNoDeepStack)
{
    // A comb of one-pixel walls open at alternate ends: one area that
    // winds through every column.
    QImage comb(401, 300, QImage::Format_RGB32);
    comb.fill(Qt::white);
    for (int x = 1; x < 401; x += 2)
        for (int y = 0; y < 299; ++y)
            comb.setPixel(x, (x / 2) % 2 ? y + 1 : y, qRgb(0, 0, 0));
    TFloodFill fill;
    const QImage want = ReferenceFill(comb, QPoint(0, 0), qRgb(255, 0, 0));
    fill.Fill(comb, QPoint(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(comb, want);
    EXPECT_EQ(Rgb(comb, 400, 150), Red);

    QImage big(3000, 3000, QImage::Format_RGB32);
    big.fill(Qt::white);
    EXPECT_EQ(fill.Fill(big, QPoint(1500, 1500), qRgb(255, 0, 0)), 9000000);
    EXPECT_EQ(Rgb(big, 0, 0), Red);
    EXPECT_EQ(Rgb(big, 2999, 2999), Red);
}

TEST_F(BucketTest, RingWithSixSeedsFillsItsInsideAndTheOutside)
{
    c.SetMasterRefCount(6);
    // A closed ring to the right of the master centre, not around it.
    c.SetReflectionMode(rmNone);
    c.BrushSize = 3;
    const QPoint ringCentre(600, 300);
    for (int a = 0; a <= 64; ++a) {
        const double t = a * 2 * std::numbers::pi / 64;
        c.StrokeTo(ringCentre + QPoint(int(std::lround(60 * std::cos(t))), int(std::lround(60 * std::sin(t)))),
                   a > 0);
    }
    c.SetReflectionMode(rmPrimary);
    c.SetTool(ctPaintBucket);
    const int ring = CountPixels(c.Picture, Black);
    Click(c, ringCentre);
    EXPECT_EQ(CountPixels(c.Picture, Red), 800 * 600 - ring);
    EXPECT_EQ(CountPixels(c.Picture, Black), ring);
    EXPECT_EQ(c.History().UndoList().size(), 1u);
}

// A smooth black ring on white: the exact fill leaves a light fringe inside
// it, a fill with tolerance 128 takes every light pixel.
TEST_F(BucketTest, ToleranceFillsASmoothRingWithoutAFringe)
{
    c.SetReflectionMode(rmNone);
    c.SetSmoothStrokes(true);
    c.SetTool(ctBrush);
    c.BrushSize = 3;
    c.CursorPoint = c.MasterCenter + QPoint(60, 0);
    c.AddCircle();
    c.SetTool(ctPaintBucket);
    auto lightInside = [&] {
        int n = 0;
        for (int y = 230; y <= 370; ++y)
            for (int x = 330; x <= 470; ++x) {
                const QRgb p = Rgb(c.Picture, x, y);
                n += std::hypot(x - 400, y - 300) < 60 && p != Red && qGreen(p) >= 128;
            }
        return n;
    };
    Click(c, c.MasterCenter);
    EXPECT_GT(lightInside(), 0);
    c.Undo();
    c.SetFillTolerance(128);
    Click(c, c.MasterCenter);
    EXPECT_EQ(lightInside(), 0);
    EXPECT_EQ(Rgb(c.Picture, 400, 300), Red);
    EXPECT_EQ(Rgb(c.Picture, 10, 10), White);
}

TEST_F(BucketTest, DiagonalLineHoldsTheFill)
{
    c.SetReflectionMode(rmNone);
    for (int i = 0; i < 600; ++i)
        c.Picture.setPixel(i, i, qRgb(0, 0, 0));
    Click(c, QPoint(10, 300));
    // Below the diagonal: x < y in every row.
    EXPECT_EQ(CountPixels(c.Picture, Red), 599 * 600 / 2);
    EXPECT_EQ(Rgb(c.Picture, 11, 10), White);
}

TEST_F(BucketTest, MarginClickFillsOnlyTheReflectedSeedsInside)
{
    c.SetMasterRefCount(4);
    VerticalLine(c.Picture, 600);
    // (100, -10) turns to (710, 0), (700, 610) and (90, 600): one inside.
    Click(c, QPoint(100, -10));
    EXPECT_EQ(Rgb(c.Picture, 700, 300), Red);
    EXPECT_EQ(Rgb(c.Picture, 100, 300), White);
    EXPECT_TRUE(c.Modified);
}

TEST_F(BucketTest, ClickOnTheBrushColourChangesNothingButIsOneUndoStep)
{
    c.SetMasterColor(clWhite);
    c.Modified = false;
    const QImage before = c.Picture.copy();
    Click(c, QPoint(200, 200));
    EXPECT_EQ(c.Picture, before);
    EXPECT_TRUE(c.Modified);
    EXPECT_EQ(c.History().UndoList().size(), 1u);
    Click(c, QPoint(-100, -100));
    EXPECT_EQ(c.History().UndoList().size(), 2u);
}

// The seeds are the copies of the clicked point, even when the last mouse
// move went somewhere else.
TEST_F(BucketTest, SeedsAreTheCopiesOfTheClickNotOfTheLastMove)
{
    c.SetReflectionMode(rmVertical);
    VerticalLine(c.Picture, 200);
    VerticalLine(c.Picture, 600);
    c.MouseMove(0, 300 + Margin, 300 + Margin);
    Click(c, QPoint(100, 300));
    EXPECT_EQ(Rgb(c.Picture, 100, 300), Red);
    EXPECT_EQ(Rgb(c.Picture, 700, 300), Red);
    EXPECT_EQ(Rgb(c.Picture, 400, 300), White);
}

TEST_F(BucketTest, MaskDecidesWhatChangesButNotWhereTheAreaEnds)
{
    c.SetReflectionMode(rmNone);
    const QRect redArea(100, 100, 200, 100);
    for (int y = redArea.top(); y <= redArea.bottom(); ++y)
        for (int x = redArea.left(); x <= redArea.right(); ++x)
            c.Picture.setPixel(x, y, qRgb(255, 0, 0));
    c.SetMasterColor(RgbToColor(Green));

    c.SetColoringMode(cmProtectColor);
    Click(c, QPoint(150, 150));
    EXPECT_EQ(Rgb(c.Picture, 150, 150), Green);
    EXPECT_EQ(CountPixels(c.Picture, Green), redArea.width() * redArea.height());
    Click(c, QPoint(500, 500));
    EXPECT_EQ(CountPixels(c.Picture, White), 800 * 600 - redArea.width() * redArea.height());

    c.Undo();
    c.Undo();
    c.SetColoringMode(cmPaintOverColor);
    Click(c, QPoint(150, 150));
    EXPECT_EQ(Rgb(c.Picture, 150, 150), Red);
    Click(c, QPoint(500, 500));
    EXPECT_EQ(CountPixels(c.Picture, Green), 800 * 600 - redArea.width() * redArea.height());

    // Protected pixels do not bound the area: the snapshot protects a red
    // band that has turned white since, and a fill on one side goes through
    // it to the other while the band keeps its white.
    c.Undo();
    c.Undo();
    c.SetColoringMode(cmNone);
    c.SetMasterColor(RgbToColor(Red));
    c.SetColoringMode(cmPaintOverColor);
    c.Picture.fill(Qt::white);
    Click(c, QPoint(10, 10));
    EXPECT_EQ(CountPixels(c.Picture, Red), 800 * 600 - redArea.width() * redArea.height());
    EXPECT_EQ(Rgb(c.Picture, 700, 500), Red);

    // Reflected seeds fill two halves; the protected white stays in both,
    // not only in the area of the last seed.
    c.Picture.fill(Qt::white);
    VerticalLine(c.Picture, 400);
    c.SetColoringMode(cmProtectColor);
    c.SetReflectionMode(rmVertical);
    Click(c, QPoint(100, 300));
    EXPECT_EQ(CountPixels(c.Picture, White), 799 * 600);
}

// One click with a tolerance is one fill: both seeds are matched against the
// picture before the click. The left seed's area takes the protected block;
// the right seed's colour lies within the tolerance of the new colour, yet
// it neither walks back into the left area (saving the block in its new
// colour) nor on into the pocket that touches the left area.
TEST_F(BucketTest, ToleranceFillThroughMirrorSeedsIsOneFill)
{
    const QRgb left = 0x323232, right = 0x8C8C8C, block = 0x505050, fill = 0x6E6E6E;
    const QRgb leftPocket = 0xAAAAAA, rightPocket = 0xC8C8C8;
    QPainter p(&c.Picture);
    p.fillRect(QRect(0, 0, 400, 600), QColor::fromRgb(left));
    p.fillRect(QRect(400, 0, 400, 600), QColor::fromRgb(right));
    p.fillRect(QRect(380, 280, 41, 41), QColor::fromRgb(block));
    p.fillRect(QRect(100, 100, 41, 41), QColor::fromRgb(leftPocket));
    p.fillRect(QRect(660, 100, 41, 41), QColor::fromRgb(rightPocket));
    p.end();
    QImage want = c.Picture.copy();
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if (Rgb(want, x, y) == left || Rgb(want, x, y) == right)
                want.setPixel(x, y, fill);
    c.SetMasterCenter(QPoint(400, 300));
    c.SetSecondColor(RgbToColor(block));
    c.SetColoringMode(cmProtectColor);
    c.SetReflectionMode(rmVertical);
    c.SetMasterColor(RgbToColor(fill));
    c.SetFillTolerance(40);
    for (QPoint click : {QPoint(200, 300), QPoint(600, 300)}) {
        Click(c, click);
        EXPECT_EQ(c.Picture, want) << click.x();
        for (int y = 0; y < 600; ++y)
            for (int x = 1; x < 400; ++x)
                ASSERT_EQ(Rgb(c.Picture, x, y) == fill, Rgb(c.Picture, 800 - x, y) == fill) << x << "," << y;
        c.Undo();
    }
}

// Colours go under the line art of the layer above: the area is found in the
// composed picture and filled on the active layer.
TEST_F(BucketTest, SamplingAllLayersFillsUnderTheLinesOfTheLayerAbove)
{
    c.SetReflectionMode(rmNone);
    c.NewLayer();
    VerticalLine(c.Picture, 400);
    c.PictureChanged();
    c.SetActiveLayer(0);
    Click(c, QPoint(100, 300));
    EXPECT_EQ(CountPixels(c.Picture, Red), 800 * 600);
    c.Undo();
    c.FillSampleAll = true;
    Click(c, QPoint(100, 300));
    EXPECT_EQ(CountPixels(c.Picture, Red), 400 * 600);
    EXPECT_EQ(Rgb(c.Picture, 500, 300), White);
    EXPECT_EQ(Rgb(c.ComposedPicture(), 400, 300), Black);
}
