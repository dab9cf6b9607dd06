#include "app_fixture.h"
#include "app/zoom_view.h"
#include "canvas/canvas_resources.h"
#include "engine/reduced_copy.h"
#include "engine/zoom_levels.h"
#include "canvas_test_util.h"

#include <QApplication>
#include <QCursor>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabletEvent>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

std::vector<TZoom> AllLevels()
{
    std::vector<TZoom> levels;
    for (int i = 0; i < ZoomLevels::Count; ++i)
        levels.push_back(ZoomLevels::Level(i));
    return levels;
}

} // namespace

TEST(ZoomMapping, ControlToPictureFloorsAndPicturePointsShowAtTheirBlockMiddle)
{
    for (const TZoom z : AllLevels()) {
        SCOPED_TRACE(ZoomPercentText(z).toStdString());
        for (int offset = -70; offset <= 70; ++offset)
            EXPECT_EQ(ShownToPicture(offset, z), int(std::floor(double(offset) * z.Den / z.Num))) << offset;
        for (int p : {-35, -1, 0, 1, 17, 799, 800, 5000}) {
            const int shown = PictureToShown(p, z);
            const int expected = z.Num > 1 ? p * z.Num + z.Num / 2 : int(std::floor(double(p) / z.Den));
            EXPECT_EQ(shown, expected) << p;
            if (z.Den == 1) {
                EXPECT_EQ(ShownToPicture(shown, z), p) << p;
            }
        }
    }
}

TEST(ZoomMapping, LevelsPercentTextAndFitToTheBox)
{
    const std::vector<std::pair<int, const char *>> texts = {
        {0, "6.25%"}, {1, "12.5%"}, {3, "50%"}, {4, "100%"}, {5, "200%"}, {13, "3200%"}};
    for (const auto &[index, text] : texts)
        EXPECT_EQ(ZoomPercentText(ZoomLevels::Level(index)), text);
    EXPECT_EQ(ZoomLevels::Level(-3), (TZoom{1, 16}));
    // 3000 pixels show as 187 at 1/16, which stand for the whole picture
    // (the centre resets to its true middle), not for 2992 pixels.
    EXPECT_EQ(PictureLength(ShownLength(3000, {1, 16}), 3000, {1, 16}), 3000);
    EXPECT_EQ(PictureLength(100, 3000, {1, 16}), 1600);
    EXPECT_EQ(ZoomLevels::Level(99), (TZoom{32, 1}));

    struct FitCase {
        QSize picture, box;
        TZoom expected;
    };
    for (const FitCase &f : std::vector<FitCase>{{{3000, 3000}, {1900, 1000}, {1, 4}},
                                                 {{800, 600}, {1900, 1000}, {1, 1}},
                                                 {{800, 600}, {1650, 1250}, {2, 1}},
                                                 {{10, 10}, {500, 400}, {32, 1}},
                                                 {{100000, 10}, {500, 500}, {1, 16}}})
        EXPECT_EQ(ZoomLevels::Level(ZoomLevels::FitIndex(f.picture, 50, f.box)), f.expected)
            << f.picture.width() << "x" << f.picture.height();
}

TEST(ReducedCopy, AveragesWholeBlocksAndFollowsChangedParts)
{
    QImage picture(10, 9, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(0, 0, qRgb(255, 255, 255));
    TReducedCopy copy;
    copy.Rebuild(picture, 4);
    // The partial blocks at the right and bottom are left out.
    ASSERT_EQ(copy.Image().size(), QSize(2, 2));
    // Red: (255 + 15 * 10 + 8) / 16 rounds down to 25.
    EXPECT_EQ(copy.Image().pixel(0, 0) & 0xFFFFFF, qRgb(25, 35, 44) & 0xFFFFFFu);
    EXPECT_EQ(copy.Image().pixel(1, 1) & 0xFFFFFF, qRgb(10, 20, 30) & 0xFFFFFFu);

    picture.setPixel(6, 5, qRgb(170, 20, 30));
    copy.Mark(QRect(6, 5, 1, 1));
    copy.Update(picture);
    TReducedCopy fresh;
    fresh.Rebuild(picture, 4);
    EXPECT_EQ(copy.Image(), fresh.Image());

    picture.setPixel(1, 7, qRgb(0, 0, 0));
    picture.setPixel(5, 2, qRgb(0, 90, 0));
    for (const QRect &r : {QRect(0, 6, 3, 3), QRect(-5, 1, 12, 2), QRect(1, 7, 1, 1)})
        copy.Mark(r);
    copy.Update(picture);
    fresh.Rebuild(picture, 4);
    EXPECT_EQ(copy.Image(), fresh.Image());
}

namespace {

// A canvas at zoom z, laid out with the 25-pixel margin around the shown
// picture; the mouse goes to the shown position of picture points.
struct ZoomedCanvas {
    explicit ZoomedCanvas(TZoom z)
    {
        c.SetZoom(z);
        LayOut(c, c.ShownWidth() + 2 * Margin, c.ShownHeight() + 2 * Margin);
        c.show();
    }
    QPoint At(QPoint pic) const { return c.PictureToClient(pic); }
    void Stroke(std::initializer_list<QPoint> points)
    {
        QTest::mousePress(&c, Qt::LeftButton, {}, At(*points.begin()));
        for (QPoint p : points)
            QTest::mouseMove(&c, At(p));
        QTest::mouseRelease(&c, Qt::LeftButton, {}, At(*(points.end() - 1)));
    }
    TVelmoraCanvas c;
};

// A stroke, a centre drag, a second stroke around the moved centre and a
// bucket fill, all through mouse events on even picture points (every
// level shows them).
QImage PaintThroughTheMouse(TZoom z)
{
    ZoomedCanvas v(z);
    v.c.BrushSize = 5;
    v.Stroke({{100, 100}, {180, 130}, {250, 90}});
    v.c.SetTool(ctMovePoints);
    v.Stroke({{400, 300}, {350, 280}, {300, 250}});
    EXPECT_EQ(v.c.MasterCenter, QPoint(300, 250));
    v.c.SetTool(ctBrush);
    v.Stroke({{310, 200}, {330, 170}});
    v.c.SetTool(ctPaintBucket);
    v.c.SetMasterColor(MakeColor(255, 0, 0));
    QTest::mouseClick(&v.c, Qt::LeftButton, {}, v.At({6, 8}));
    return v.c.Picture;
}

} // namespace

TEST(ZoomedCanvas, MouseWorkAtAnyZoomPaintsTheSamePicturePixels)
{
    const QImage actual = PaintThroughTheMouse({1, 1});
    ASSERT_GT(CountPixels(actual, 0xFF0000), 0);
    EXPECT_EQ(PaintThroughTheMouse({2, 1}), actual);
    EXPECT_EQ(PaintThroughTheMouse({1, 2}), actual);
}

TEST(ZoomedCanvas, ShowsBlocksAboveOneAveragesBelowAndOverlaysAtTheirPoints)
{
    ZoomedCanvas v({3, 1});
    v.c.Picture.setPixel(10, 20, qRgb(0, 0, 255));
    v.c.SetShowGrid(true);
    QImage d = v.c.ComposeDisplay(v.c.rect());
    EXPECT_EQ(v.c.ImageRect, (TRect{25, 25, 2425, 1825}));
    for (int dy = 0; dy < 3; ++dy)
        for (int dx = 0; dx < 3; ++dx)
            EXPECT_EQ(Rgb(d, 25 + 30 + dx, 25 + 60 + dy), 0x0000FFu);
    EXPECT_EQ(Rgb(d, 25 + 33, 25 + 60), 0xFFFFFFu);
    // The middle grid line runs through the middle of column 400's block.
    EXPECT_EQ(Rgb(d, 25 + 1201, 25), 0u);
    EXPECT_EQ(Rgb(d, 25 + 1200, 25), 0xFFFFFFu);
    // The master icon keeps its size, centred on its point's block.
    v.c.SetShowGrid(false);
    v.c.SetShowCenterPoints(true);
    d = v.c.ComposeDisplay(v.c.rect());
    const QPoint m = v.At(v.c.MasterCenter);
    EXPECT_EQ(Rgb(d, m.x(), m.y()), 0u);
    EXPECT_EQ(Rgb(d, m.x() + 5, m.y()), 0u);
    EXPECT_EQ(Rgb(d, m.x() + 2, m.y() + 2), 0xFFFFFFu);

    ZoomedCanvas half({1, 2});
    half.c.Picture.fill(Qt::white);
    half.c.Picture.setPixel(10, 20, qRgb(0, 0, 0));
    // A picture change shows on the next paint, averaged with its block.
    EXPECT_EQ(Rgb(half.c.ComposeDisplay(half.c.rect()), 25 + 5, 25 + 10), qRgb(191, 191, 191) & 0xFFFFFFu);
    half.Stroke({{100, 100}, {140, 100}});
    EXPECT_EQ(Rgb(half.c.ComposeDisplay(half.c.rect()), 25 + 60, 25 + 50), qRgb(128, 128, 128) & 0xFFFFFFu);
    half.c.Undo();
    EXPECT_EQ(Rgb(half.c.ComposeDisplay(half.c.rect()), 25 + 60, 25 + 50), 0xFFFFFFu);
    // A wide pen changes blocks well away from its copies' ends.
    half.c.BrushSize = 15;
    half.Stroke({{100, 100}, {140, 100}});
    const QImage followed = half.c.ComposeDisplay(half.c.rect());
    half.c.PictureChanged();
    EXPECT_TRUE(followed == half.c.ComposeDisplay(half.c.rect()));
}

// Where the layers leave the picture transparent, the checkerboard of 8 x 8
// screen pixels from the picture's corner shows, at every zoom.
TEST(ZoomedCanvas, TransparentPartsShowTheCheckerboard)
{
    for (const TZoom z : {TZoom{1, 1}, TZoom{2, 1}, TZoom{1, 2}}) {
        ZoomedCanvas v(z);
        v.c.NewLayer();
        for (int y = 100; y < 120; ++y)
            for (int x = 100; x < 120; ++x)
                v.c.Picture.setPixel(x, y, qRgb(0, 0, 255));
        v.c.PictureChanged();
        v.c.SetLayerVisible(0, false);
        const QImage d = v.c.ComposeDisplay(v.c.rect());
        const std::string zoom = ZoomPercentText(z).toStdString();
        EXPECT_EQ(Rgb(d, 25, 25), 0xE0E0E0u) << zoom;
        EXPECT_EQ(Rgb(d, 25 + 8, 25), 0xC0C0C0u) << zoom;
        EXPECT_EQ(Rgb(d, 25 + 15, 25 + 8), 0xE0E0E0u) << zoom;
        const QPoint blue = v.At({110, 110});
        EXPECT_EQ(Rgb(d, blue.x(), blue.y()), 0x0000FFu) << zoom;
        // A stroke on the layer shows on the next paint.
        v.c.BrushSize = 5;
        v.Stroke({{200, 200}, {260, 200}});
        const QPoint stroke = v.At({230, 200});
        EXPECT_EQ(Rgb(v.c.ComposeDisplay(v.c.rect()), stroke.x(), stroke.y()), 0u) << zoom;
        v.c.SetLayerVisible(0, true);
        EXPECT_EQ(Rgb(v.c.ComposeDisplay(v.c.rect()), 25, 25), 0xFFFFFFu) << zoom;
    }
}

// Far from where the paint starts too, and on a screen of twice the density.
TEST(ZoomedCanvas, EveryShownPixelIsThePicturePixelItMapsTo)
{
    TVelmoraCanvas c;
    LayOut(c, 2250, 2250);
    QImage screens[2] = {QImage(c.size(), QImage::Format_RGB32), QImage(c.size() * 2, QImage::Format_RGB32)};
    screens[1].setDevicePixelRatio(2);
    for (int level = ZoomLevels::ActualSize + 1; level < ZoomLevels::Count; ++level) {
        c.SetZoom(ZoomLevels::Level(level));
        const int side = 2200 / c.Zoom().Num;
        c.SetCanvasSize(side, side, true, false);
        for (int y = 0; y < side; ++y) // neighbours differ in every channel
            for (int x = 0; x < side; ++x)
                c.Picture.setPixel(x, y, qRgb(x * 37 % 256, y * 59 % 256, (x + 2 * y) * 23 % 256));
        for (QImage &screen : screens) {
            QPainter p(&screen);
            c.PaintArea(p, c.rect());
            p.end();
            // Each screen row against the picture row it shows, laid out once.
            const int r = int(screen.devicePixelRatio()), left = c.ImageRect.Left * r, right = c.ImageRect.Right * r;
            std::vector<QRgb> expected(static_cast<std::size_t>(right));
            int wrongRows = 0, laidOut = -1;
            for (int y = c.ImageRect.Top * r; y < c.ImageRect.Bottom * r; ++y) {
                const int py = c.ClientToPicture(QPoint(0, y / r)).y();
                for (int x = left; py != laidOut && x < right; ++x)
                    expected[std::size_t(x)] = c.Picture.pixel(c.ClientToPicture(QPoint(x / r, 0)).x(), py);
                laidOut = py;
                wrongRows += std::memcmp(screen.constScanLine(y) + 4 * left, &expected[std::size_t(left)],
                                         4 * std::size_t(right - left)) != 0;
            }
            EXPECT_EQ(wrongRows, 0) << ZoomPercentText(c.Zoom()).toStdString() << " at ratio " << r;
        }
    }
}

// Runs in the HighDensityScreen test, under QT_SCALE_FACTOR=2.
TEST(HighDensity, PicturePixelsAreCrispBlocksAndCursorsHaveScreenPixels)
{
    if (qApp->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs a device pixel ratio of 2";
    LoadCanvasModuleResources();
    const QPixmap cursor = CanvasCursor(crBrush).pixmap();
    EXPECT_EQ(cursor.size(), QSize(64, 64));
    EXPECT_EQ(cursor.devicePixelRatio(), 2.0);
    for (const TZoom z : {TZoom{1, 1}, TZoom{2, 1}}) {
        ZoomedCanvas v(z);
        v.c.Picture.setPixel(10, 20, qRgb(0, 0, 255));
        const QImage shot = v.c.grab().toImage();
        // Device pixels per picture pixel, and the device position of (10, 20).
        const int n = 2 * z.Num;
        const QPoint at = QPoint(v.c.ImageRect.Left, v.c.ImageRect.Top) * 2 + QPoint(10, 20) * n;
        for (int dy = -1; dy <= n; ++dy)
            for (int dx = -1; dx <= n; ++dx) {
                const bool inside = dx >= 0 && dx < n && dy >= 0 && dy < n;
                EXPECT_EQ(Rgb(shot, at.x() + dx, at.y() + dy), inside ? 0x0000FFu : 0xFFFFFFu) << dx << "," << dy;
            }
    }
}

TEST(ZoomedCanvas, BackAtActualSizeThePaintIsTheSameAsBefore)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.SetShowGrid(true);
    c.SetShowCenterPoints(true);
    c.SetShowDrawingPoints(true);
    c.SetReflectionMode(rmSecondary);
    // Whole blocks at every level: 16 x 16 black pixels with white above.
    QPainter(&c.Picture).fillRect(784, 576, 16, 16, Qt::black);
    c.PictureChanged();
    c.MouseMove(0, 333 + Margin, 222 + Margin);
    const QImage before = c.ComposeDisplay(c.rect());
    const QPoint lastMarker = PointCopies(c.Reflection(), c.CursorPoint).back();
    for (const TZoom z : AllLevels()) {
        SCOPED_TRACE(ZoomPercentText(z).toStdString());
        c.SetZoom(z);
        LayOut(c, c.ShownWidth() + 2 * Margin, c.ShownHeight() + 2 * Margin);
        const QPoint white = c.PictureToClient({790, 575}), black = c.PictureToClient({790, 576});
        const QImage column = c.ComposeDisplay(QRect(white, black)).copy();
        EXPECT_EQ(Rgb(column, 0, 0), 0xFFFFFFu);
        EXPECT_EQ(Rgb(column, 0, column.height() - 1), 0u);
        // The marker drawn last has its whole grey border at its point.
        const QPoint m = c.PictureToClient(lastMarker);
        EXPECT_EQ(CountPixels(c.ComposeDisplay(QRect(m - QPoint(3, 3), QSize(7, 7))), 0x7F7F7F), 24);
    }
    LayOut(c);
    c.SetZoom({1, 1});
    EXPECT_EQ(c.ComposeDisplay(c.rect()), before);
}

namespace {

struct ZoomViewTest : TAppFixture {
    void SetUp() override
    {
        TAppFixture::SetUp();
        form->resize(700, 600);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        box = form->findChild<QScrollArea *>("ScrollBox");
        c = canvas;
    }
    void CtrlWheel(QPoint viewportPoint, int angle)
    {
        const QPointF at = c->mapFrom(box->viewport(), viewportPoint);
        QWheelEvent e(at, c->mapToGlobal(at), {}, QPoint(0, angle), Qt::NoButton, Qt::ControlModifier,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(c, &e);
    }
    QPoint PictureUnder(QPoint viewportPoint) const
    {
        c->LayoutImageRect();
        return c->ClientToPicture(c->mapFrom(box->viewport(), viewportPoint));
    }
    QScrollArea *box = nullptr;
    TVelmoraCanvas *c = nullptr;
};

} // namespace

TEST_F(ZoomViewTest, CtrlWheelZoomsAboutThePointerInWholeNotches)
{
    const QPoint pointer(300, 200);
    const QPoint under = PictureUnder(pointer);
    CtrlWheel(pointer, 60);
    EXPECT_EQ(c->Zoom(), (TZoom{1, 1}));
    CtrlWheel(pointer, 60);
    EXPECT_EQ(c->Zoom(), (TZoom{2, 1}));
    EXPECT_EQ(PictureUnder(pointer), under);
    EXPECT_EQ(c->width(), 1650);
    EXPECT_EQ(form->StatusText(2), "200%");
    CtrlWheel(pointer, 240);
    EXPECT_EQ(c->Zoom(), (TZoom{4, 1}));
    EXPECT_EQ(PictureUnder(pointer), under);
    CtrlWheel(pointer, -360);
    EXPECT_EQ(c->Zoom(), (TZoom{1, 1}));
    EXPECT_EQ(PictureUnder(pointer), under);
}

TEST_F(ZoomViewTest, KeysZoomAboutTheMiddleFitTheWindowAndMiddleDragPans)
{
    const QPoint middle(box->viewport()->width() / 2, box->viewport()->height() / 2);
    const QPoint under = PictureUnder(middle);
    const QPoint pointer(100, 80);
    QCursor::setPos(box->viewport()->mapToGlobal(pointer));
    QTest::keyClick(c, Qt::Key_Equal, Qt::ControlModifier);
    QTest::keyClick(c, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(c->Zoom(), (TZoom{3, 1}));
    EXPECT_EQ(PictureUnder(middle), under);
    QTest::keyClick(c, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(c->Zoom(), (TZoom{2, 1}));
    EXPECT_EQ(c->CursorPoint, PictureUnder(pointer));

    // The grabbed picture point stays under the pointer; the move reaches
    // the canvas with its position in the scrolled view.
    const QPoint scroll(box->horizontalScrollBar()->value(), box->verticalScrollBar()->value());
    auto scrolled = [&] { return QPoint(box->horizontalScrollBar()->value(), box->verticalScrollBar()->value()); };
    const QPoint grabbed = PictureUnder(middle);
    QTest::mousePress(c, Qt::MiddleButton, {}, c->mapFrom(box->viewport(), middle));
    QTest::mouseMove(c, c->mapFrom(box->viewport(), middle - QPoint(40, 30)));
    EXPECT_EQ(c->CursorPoint, grabbed);
    QTest::mouseRelease(c, Qt::MiddleButton, {}, c->mapFrom(box->viewport(), middle - QPoint(40, 30)));
    EXPECT_EQ(scrolled(), scroll + QPoint(40, 30));
    // A move without the button ends a pan whose release was lost.
    QTest::mousePress(c, Qt::MiddleButton, {}, c->mapFrom(box->viewport(), middle));
    QMouseEvent plain(QEvent::MouseMove, QPointF(10, 10), c->mapToGlobal(QPointF(10, 10)), Qt::NoButton, {}, {});
    QApplication::sendEvent(c, &plain);
    QTest::mouseRelease(c, Qt::MiddleButton, {}, QPoint(10, 10));
    EXPECT_EQ(scrolled(), scroll + QPoint(40, 30));
    // A stylus's barrel button reported as the middle button pans and paints nothing.
    const QPointingDevice pen("pen", 1, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                              QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2);
    const QImage before = c->Picture;
    for (const auto type : {QEvent::TabletPress, QEvent::TabletMove, QEvent::TabletRelease}) {
        const QPointF at = c->mapFrom(box->viewport(), type == QEvent::TabletPress ? middle : middle - QPoint(40, 30));
        QTabletEvent e(type, &pen, at, c->mapToGlobal(at), 1, 0, 0, 0, 0, 0, Qt::NoModifier,
                       type == QEvent::TabletMove ? Qt::NoButton : Qt::MiddleButton,
                       type == QEvent::TabletRelease ? Qt::NoButton : Qt::MiddleButton);
        QApplication::sendEvent(c, &e);
    }
    EXPECT_EQ(scrolled(), scroll + QPoint(80, 60));
    EXPECT_EQ(c->Picture, before);

    // Fitted against the viewport without scroll bars, a second fit keeps the level.
    QTest::keyClick(c, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(c->Zoom(), (TZoom{1, 1}));
    const QSize whole = box->maximumViewportSize();
    c->SetCanvasSize(whole.width() - 50, whole.height() - 50, true, true);
    QTest::keyClick(c, Qt::Key_Equal, Qt::ControlModifier);
    for (int press = 0; press < 2; ++press) {
        QTest::keyClick(c, Qt::Key_0, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_EQ(c->Zoom(), (TZoom{1, 1})) << press;
    }
    c->SetCanvasSize(3000, 3000, true, true);
    QTest::keyClick(c, Qt::Key_0, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(c->Zoom(), (TZoom{1, 8}));
    EXPECT_EQ(form->StatusText(2), "12.5%");
    EXPECT_EQ(c->size(), box->viewport()->size());
}

TEST_F(ZoomViewTest, AStrokeGoesOnInPicturePointsThroughAZoomChange)
{
    const QPoint a(300, 200);
    const QPoint picture = PictureUnder(a);
    QTest::mousePress(c, Qt::LeftButton, {}, c->mapFrom(box->viewport(), a));
    CtrlWheel(a, 120);
    // 40 screen pixels are 20 picture pixels at 200%.
    const QPoint b = c->mapFrom(box->viewport(), a + QPoint(40, 0));
    QTest::mouseMove(c, b);
    QTest::mouseRelease(c, Qt::LeftButton, {}, b);
    EXPECT_EQ(c->LastPoint, picture + QPoint(20, 0));
    for (int x = picture.x(); x < picture.x() + 20; ++x)
        EXPECT_EQ(Rgb(c->Picture, x, picture.y()), 0u) << x;
}
