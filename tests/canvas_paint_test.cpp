#include "canvas_test_util.h"

#include "canvas/canvas_resources.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr QRgb Grey = 0x7F7F7F;

struct PaintTest : ::testing::Test {
    void SetUp() override { LayOut(c); }
    QImage Full() { return c.ComposeDisplay(c.rect()); }
    // Display pixel of a picture point.
    QRgb At(const QImage &d, QPoint pic) { return Rgb(d, pic.x() + Margin, pic.y() + Margin); }
    bool HasColor(const QImage &d, QRect area, QRgb rgb)
    {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (Rgb(d, x, y) == rgb)
                    return true;
        return false;
    }
    TVelmoraCanvas c;
};

} // namespace

TEST_F(PaintTest, FrameIsTheRingAroundThePictureAndTheShadowBandIsTwentyPixels)
{
    const QImage d = Full();
    EXPECT_EQ(c.ImageRect, (TRect{25, 25, 825, 625}));
    for (int x = 24; x <= 825; ++x) {
        EXPECT_EQ(Rgb(d, x, 24), 0u);
        EXPECT_EQ(Rgb(d, x, 625), 0u);
    }
    for (int y = 24; y <= 625; ++y) {
        EXPECT_EQ(Rgb(d, 24, y), 0u);
        EXPECT_EQ(Rgb(d, 825, y), 0u);
    }
    EXPECT_EQ(Rgb(d, 25, 25), 0xFFFFFFu);
    EXPECT_EQ(Rgb(d, 824, 624), 0xFFFFFFu);
    // The shadow falls to the lower right and ends 20 pixels out.
    EXPECT_LT(qGray(d.pixel(830, 400)), 110);
    EXPECT_LT(qGray(d.pixel(400, 630)), 110);
    EXPECT_EQ(Rgb(d, 846, 400), Grey);
    EXPECT_EQ(Rgb(d, 400, 646), Grey);
    EXPECT_EQ(Rgb(d, 2, 2), Grey);

    c.SetShadow(false);
    const QImage plain = Full();
    EXPECT_EQ(Rgb(plain, 24, 300), Grey);
    EXPECT_EQ(Rgb(plain, 830, 400), Grey);
}

TEST_F(PaintTest, CentreIconsInvertThePixelsUnderThem)
{
    c.Picture.fill(qRgb(200, 30, 60));
    c.SetShowCenterPoints(true);
    const QImage d = Full();
    const QRgb inverted = 0xFFFFFF ^ (qRgb(200, 30, 60) & 0xFFFFFF);
    EXPECT_EQ(At(d, c.MasterCenter), inverted);
    EXPECT_EQ(At(d, c.MasterCenter + QPoint(5, 0)), inverted);
    EXPECT_EQ(At(d, c.MasterCenter + QPoint(2, 2)), qRgb(200, 30, 60) & 0xFFFFFF);

    c.SetShowCenterPoints(false);
    EXPECT_EQ(At(Full(), c.MasterCenter), qRgb(200, 30, 60) & 0xFFFFFF);
    c.SetTool(ctMovePoints);
    EXPECT_EQ(At(Full(), c.MasterCenter), inverted);
}

TEST_F(PaintTest, PlusIconMarksThePictureMiddleWhenTheMasterCentreLeftIt)
{
    c.SetShowCenterPoints(true);
    // (0, -4) from the middle lies on the plus sign but not on the ring icon.
    const QPoint probe = QPoint(400, 300) + QPoint(0, -4);
    EXPECT_EQ(At(Full(), probe), 0xFFFFFFu);
    c.SetMasterCenter(QPoint(200, 150));
    EXPECT_EQ(At(Full(), probe), 0u);
    c.SetMasterCenter(QPoint(400, 300));
    c.SetReflectionMode(rmNone);
    const QImage none = Full();
    EXPECT_EQ(At(none, probe), 0u);
    // In rmNone the master icon is not drawn: only the plus sign remains.
    EXPECT_EQ(At(none, QPoint(405, 300)), 0xFFFFFFu);
}

TEST_F(PaintTest, LabelOfTheActiveCentreIsRed)
{
    c.SetReflectionMode(rmMirrorPrimary);
    c.SetTool(ctMovePoints);
    auto labelArea = [&](QPoint centre) { return QRect(centre + QPoint(Margin - 12 + 17, Margin - 12 - 6), QSize(14, 12)); };
    QImage d = Full();
    EXPECT_TRUE(HasColor(d, labelArea(c.MasterCenter), 0xFF0000));
    EXPECT_FALSE(HasColor(d, labelArea(c.SecondCenter), 0xFF0000));
    EXPECT_TRUE(HasColor(d, labelArea(c.SecondCenter), 0x000000));
    c.MasterActive = false;
    d = Full();
    EXPECT_FALSE(HasColor(d, labelArea(c.MasterCenter), 0xFF0000));
    EXPECT_TRUE(HasColor(d, labelArea(c.SecondCenter), 0xFF0000));
    c.SetTool(ctBrush);
    c.SetShowCenterPoints(true);
    EXPECT_FALSE(HasColor(Full(), labelArea(c.SecondCenter), 0xFF0000));
}

TEST_F(PaintTest, SecondaryShowsGreyCopiesOfTheSecondCentre)
{
    c.SetReflectionMode(rmSecondary);
    c.SetShowCenterPoints(true);
    const QImage d = Full();
    const ReflectionInput in = c.Reflection();
    for (int e = 1; e < 13; ++e)
        EXPECT_EQ(At(d, SecondCenterCopy(in, e) + QPoint(5, 0)), 0xC0C0C0u) << e;
}

TEST_F(PaintTest, MarkersFollowTheMouseAndHideWhileDragging)
{
    c.SetShowDrawingPoints(true);
    c.MouseMove(0, 300 + Margin, 200 + Margin);
    QImage d = Full();
    // Red border around the mouse position, grey around its copies, and a
    // light blend inside.
    EXPECT_EQ(At(d, QPoint(297, 197)), 0xFF0000u);
    EXPECT_EQ(At(d, QPoint(300, 200)), 0xFFFFFFu);
    const QPoint copy = RotatePoint(c.MasterCenter, QPoint(300, 200), 1, 13, false);
    EXPECT_EQ(At(d, copy - QPoint(3, 3)), Grey);

    c.MouseDown(mbLeft, ssLeft, 300 + Margin, 200 + Margin);
    EXPECT_EQ(At(Full(), QPoint(297, 197)), 0xFFFFFFu);
    c.MouseUp(mbLeft, 0, 300 + Margin, 200 + Margin);
    EXPECT_EQ(At(Full(), QPoint(297, 197)), 0xFF0000u);

    // In Secondary the mouse position comes twice and ends up grey.
    c.SetReflectionMode(rmSecondary);
    EXPECT_EQ(At(Full(), QPoint(297, 197)), Grey);

    c.SetTool(ctEraser);
    EXPECT_EQ(At(Full(), QPoint(297, 197)), 0xFFFFFFu);
}

TEST_F(PaintTest, GridDrawsDashedGuideLines)
{
    c.SetShowGrid(true);
    const QImage d = Full();
    // The middle lines alternate black and untouched pixels.
    const int mx = 25 + 400;
    EXPECT_EQ(Rgb(d, mx, 25), 0u);
    EXPECT_EQ(Rgb(d, mx, 26), 0xFFFFFFu);
    EXPECT_EQ(Rgb(d, mx, 27), 0u);
    // The quarter lines set every fourth pixel grey.
    const int qx = 25 + 200;
    EXPECT_EQ(Rgb(d, qx, 25), Grey);
    EXPECT_EQ(Rgb(d, qx, 26), 0xFFFFFFu);
    EXPECT_EQ(Rgb(d, qx, 29), Grey);
}

TEST_F(PaintTest, PartOfTheControlComposesLikeTheWhole)
{
    c.SetShowGrid(true);
    c.SetShowCenterPoints(true);
    c.SetShowDrawingPoints(true);
    c.MouseMove(0, 333 + Margin, 222 + Margin);
    // Pattern mode's grid outlines hexagonal cells, slanted sides and all.
    c.SetPattern({pgP6m, 64, 64, 90});
    for (TReflectionMode mode : {rmSecondary, rmPattern}) {
        c.SetReflectionMode(mode);
        const QImage full = Full();
        for (const QRect &r : {QRect(0, 0, 100, 80), QRect(13, 17, 300, 211), QRect(390, 270, 61, 63),
                               QRect(800, 600, 50, 50), QRect(411, 5, 1, 640)})
            EXPECT_EQ(c.ComposeDisplay(r), full.copy(r)) << int(mode) << ": " << r.x() << "," << r.y();
    }
}

TEST_F(PaintTest, PaintingInBandsGivesTheComposedPixels)
{
    c.SetShowGrid(true);
    c.SetShowCenterPoints(true);
    c.SetShowDrawingPoints(true);
    c.MouseMove(0, 100 + Margin, 500 + Margin);
    const QImage full = Full();
    const QRect area(3, 5, 840, 640);
    QImage target(area.size(), QImage::Format_RGB32);
    QPainter p(&target);
    p.translate(-area.topLeft());
    c.PaintArea(p, area);
    p.end();
    EXPECT_EQ(target, full.copy(area));
}

// A shadow resource that fails is tried once per paint, however tall the
// area, and drawn as neither shadow nor frame.
TEST_F(PaintTest, AFailingShadowIsTriedOncePerPaint)
{
    struct RestoreShadow {
        ~RestoreShadow() { SetShadowResourcePathForTesting(QString()); }
    } restore;
    FreeShadowImage();
    SetShadowResourcePathForTesting(QStringLiteral("/nonexistent/shadow.jpg"));
    QImage target(c.size(), QImage::Format_RGB32);
    QPainter p(&target);
    int attempts = ShadowLoadAttempts();
    c.PaintArea(p, c.rect());
    EXPECT_EQ(ShadowLoadAttempts(), attempts + 1);
    EXPECT_EQ(Rgb(target, 24, 300), Grey);
    EXPECT_EQ(Rgb(target, 830, 400), Grey);

    c.SetShadow(false);
    attempts = ShadowLoadAttempts();
    c.PaintArea(p, c.rect());
    EXPECT_EQ(ShadowLoadAttempts(), attempts);

    SetShadowResourcePathForTesting(QString());
    c.SetShadow(true);
    c.PaintArea(p, c.rect());
    c.PaintArea(p, c.rect());
    EXPECT_EQ(ShadowLoadAttempts(), attempts + 1);
    EXPECT_EQ(Rgb(target, 24, 300), 0u);
}
