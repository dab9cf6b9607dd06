#include "canvas/key_state.h"
#include "engine/hue_turn.h"
#include "engine/stroke_drawing.h"
#include "engine/undo_history.h"
#include "canvas_test_util.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <set>

namespace {

constexpr QRgb Black = 0x000000;
constexpr QRgb White = 0xFFFFFF;

void Press(TVelmoraCanvas &c, QPoint pic, TShiftState extra = 0, TMouseButton b = mbLeft)
{
    c.MouseDown(b, (b == mbLeft ? ssLeft : ssRight) | extra, pic.x() + Margin, pic.y() + Margin);
}

void Move(TVelmoraCanvas &c, QPoint pic, TShiftState shift = ssLeft)
{
    c.MouseMove(shift, pic.x() + Margin, pic.y() + Margin);
}

void Release(TVelmoraCanvas &c, QPoint pic, TMouseButton b = mbLeft)
{
    c.MouseUp(b, 0, pic.x() + Margin, pic.y() + Margin);
}

void Stylus(TVelmoraCanvas &c, const QPointingDevice &device, QEvent::Type type, QPoint pic, qreal pressure)
{
    const QPointF pos(pic + QPoint(Margin, Margin));
    const Qt::MouseButton button = type == QEvent::TabletMove ? Qt::NoButton : Qt::LeftButton;
    QTabletEvent e(type, &device, pos, c.mapToGlobal(pos), pressure, 0, 0, 0, 0, 0, Qt::NoModifier, button,
                   type == QEvent::TabletRelease ? Qt::NoButton : Qt::LeftButton);
    QApplication::sendEvent(&c, &e);
}

int GreyPixels(const QImage &img)
{
    return img.width() * img.height() - CountPixels(img, Black) - CountPixels(img, White);
}

} // namespace

TEST(ThinLine, LeavesOutTheEndPixelInEveryDirection)
{
    QImage img(20, 20, QImage::Format_RGB32);
    for (const auto &[a, b] : {std::pair{QPoint(2, 3), QPoint(12, 7)}, std::pair{QPoint(12, 7), QPoint(2, 3)},
                               std::pair{QPoint(5, 15), QPoint(5, 2)}}) {
        img.fill(Qt::white);
        DrawThinLine(img, a, b, qRgb(0, 0, 0));
        EXPECT_EQ(Rgb(img, a.x(), a.y()), Black);
        EXPECT_EQ(Rgb(img, b.x(), b.y()), White);
        EXPECT_EQ(CountPixels(img, Black), std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y())));
    }
}

TEST(ThinLine, ClipsLinesThatLeaveThePicture)
{
    QImage img(20, 20, QImage::Format_RGB32);
    img.fill(Qt::white);
    DrawThinLine(img, QPoint(-100, -100), QPoint(50, 50), qRgb(0, 0, 0));
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(Rgb(img, i, i), Black);
    EXPECT_EQ(CountPixels(img, Black), 20);
}

TEST(WidePen, IsRoundCentredAndJoinsWithoutGaps)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.SetReflectionMode(rmNone);
    c.BrushSize = 5;
    Press(c, QPoint(100, 100));
    Move(c, QPoint(120, 100));
    // The pen is centred on the line: two pixels on each side and round
    // caps reaching two pixels beyond both ends.
    QRect painted;
    for (int y = 90; y < 110; ++y)
        for (int x = 90; x < 130; ++x)
            if (Rgb(c.Picture, x, y) == Black)
                painted |= QRect(x, y, 1, 1);
    EXPECT_EQ(painted, QRect(QPoint(98, 98), QPoint(122, 102)));
    for (int x = 98; x <= 122; ++x)
        EXPECT_EQ(Rgb(c.Picture, x, 100), Black);

    // A zig-zag stroke leaves no gap at its corners.
    const QPoint pts[] = {QPoint(200, 200), QPoint(240, 215), QPoint(215, 260), QPoint(260, 262)};
    c.BrushSize = 3;
    Release(c, QPoint(120, 100));
    Press(c, pts[0]);
    for (int i = 1; i < 4; ++i)
        Move(c, pts[i]);
    for (int i = 0; i + 1 < 4; ++i)
        for (int s = 0; s <= 40; ++s) {
            const QPointF p = pts[i] + (pts[i + 1] - pts[i]) * (s / 40.0);
            EXPECT_EQ(Rgb(c.Picture, int(std::lround(p.x())), int(std::lround(p.y()))), Black) << p.x() << "," << p.y();
        }
}

TEST(Strokes, PrimaryMoveDrawsAllCopiesStartingWithTheInput)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.Modified = false;
    Press(c, QPoint(400, 200));
    EXPECT_TRUE(c.Dragging);
    EXPECT_EQ(CountPixels(c.Picture, Black), 0);
    Move(c, QPoint(410, 200));
    EXPECT_TRUE(c.Modified);
    for (int x = 400; x < 410; ++x)
        EXPECT_EQ(Rgb(c.Picture, x, 200), Black);
    EXPECT_EQ(Rgb(c.Picture, 410, 200), White);
    // Every copy of the 10-pixel segment starts on its own rotated point.
    const auto copies = SegmentCopies(c.Reflection(), QPoint(400, 200), QPoint(410, 200));
    ASSERT_EQ(copies.size(), 13u);
    int expected = 0;
    for (const Segment &s : copies) {
        EXPECT_EQ(Rgb(c.Picture, s.a.x(), s.a.y()), Black);
        expected += std::max(std::abs(s.b.x() - s.a.x()), std::abs(s.b.y() - s.a.y()));
    }
    EXPECT_EQ(CountPixels(c.Picture, Black), expected);
    EXPECT_EQ(c.LastPoint, QPoint(410, 200));
    Release(c, QPoint(410, 200));
    EXPECT_FALSE(c.Dragging);
}

// Each copy of a rainbow stroke turns the brush's hue by its index: the
// master rotation's, shared by a rotation's mirror image and its copies
// about the second centre; the far side of a single mirror is turned half
// way round; a pattern's translations keep the hue of their point-group
// element. The eraser keeps its one colour.
TEST(Strokes, RainbowCopiesTurnTheHueOfEachCopy)
{
    const QRgb brush = qRgb(230, 60, 20), eraser = qRgb(30, 140, 250);
    const QPoint A(433, 181), B(437, 186), E(300, 420);
    const struct {
        TReflectionMode mode;
        int hues, copiesPerHue;
    } cases[] = {{rmPrimary, 13, 1}, {rmMirrorPrimary, 13, 2}, {rmSecondary, 13, 3}, {rmVertical, 2, 1},
                 {rmHorizontal, 2, 1}, {rmPattern, 8, 0}};
    for (const auto &[mode, hues, copiesPerHue] : cases) {
        TVelmoraCanvas c;
        LayOut(c);
        c.SetReflectionMode(mode);
        c.SetRainbowCopies(true);
        c.SetMasterColor(RgbToColor(brush));
        c.SetSecondColor(RgbToColor(eraser));
        Press(c, A), Move(c, B), Release(c, B);
        std::set<QRgb> colors;
        const auto copies = SegmentCopies(c.Reflection(), A, B);
        for (std::size_t j = 0; j < copies.size(); ++j) {
            const QPoint a = copies[j].a;
            if (!c.Picture.rect().contains(a))
                continue;
            colors.insert(Rgb(c.Picture, a.x(), a.y()));
            if (copiesPerHue) {
                EXPECT_EQ(Rgb(c.Picture, a.x(), a.y()), TurnHue(brush, int(j) / copiesPerHue, hues) & 0xFFFFFF)
                    << int(mode) << " copy " << j;
            }
        }
        // p4m: eight hues, and the translations of the stroke the brush's own.
        EXPECT_EQ(colors.size(), std::size_t(hues)) << int(mode);
        if (mode == rmPattern) {
            EXPECT_EQ(Rgb(c.Picture, A.x() - 128, A.y() + 64), brush & 0xFFFFFF);
        }
        c.SetTool(ctEraser);
        c.EraserSize = 1;
        Press(c, E), Move(c, E + QPoint(3, 0)), Release(c, E + QPoint(3, 0));
        for (const Segment &copy : SegmentCopies(c.Reflection(), E, E + QPoint(3, 0))) {
            if (c.Picture.rect().contains(copy.a)) {
                EXPECT_EQ(Rgb(c.Picture, copy.a.x(), copy.a.y()), eraser & 0xFFFFFF) << int(mode);
            }
        }
    }
}

// Where copies overlap the highest lies on top, and an edge pixel is still
// blended once by the share all copies cover together: a stroke across a
// mirror, on its own mirror image, is the plain stroke in the colour of the
// mirror's far side, with every kind of pen.
TEST(Strokes, OverlappingRainbowCopiesShowTheHighestBlendedOnce)
{
    const QRgb brush = qRgb(40, 90, 200);
    const struct {
        bool smooth;
        int opacity, hardness;
    } pens[] = {{false, 100, 100}, {true, 100, 100}, {false, 45, 100}, {true, 100, 35}};
    for (const auto &[smooth, opacity, hardness] : pens) {
        QImage pictures[2];
        for (const bool rainbow : {false, true}) {
            TVelmoraCanvas c;
            LayOut(c);
            c.SetReflectionMode(rmVertical);
            c.SetSmoothStrokes(smooth);
            c.SetBrushOpacity(opacity);
            c.SetBrushHardness(hardness);
            c.SetRainbowCopies(rainbow);
            c.SetMasterColor(RgbToColor(rainbow ? brush : TurnHue(brush, 1, 2)));
            c.BrushSize = 9;
            const QPoint from = c.MasterCenter + QPoint(-30, 40), to = c.MasterCenter + QPoint(30, 40);
            Press(c, from), Move(c, to), Release(c, to);
            pictures[rainbow] = c.Picture;
        }
        EXPECT_EQ(pictures[1], pictures[0]) << smooth << " " << opacity << " " << hardness;
    }
}

TEST(Strokes, PressAndReleaseWithoutMoveDrawsNothing)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.Modified = false;
    const QImage before = c.Picture.copy();
    Press(c, QPoint(300, 300));
    Release(c, QPoint(300, 300));
    EXPECT_EQ(c.Picture, before);
    EXPECT_FALSE(c.Modified);
    EXPECT_TRUE(c.CanUndo());
}

// One move against twenty along the same line, and a stroke across the axis
// whose mirror copy covers it again against the same stroke alone.
TEST(Strokes, SmoothStrokesDoNotBuildUpWhereTheyOverlap)
{
    auto draw = [](TReflectionMode mode, QPoint from, QPoint step, int moves) {
        TVelmoraCanvas c;
        LayOut(c);
        c.SetReflectionMode(mode);
        c.SetSmoothStrokes(true);
        c.BrushSize = 7;
        Press(c, from);
        for (int i = 1; i <= moves; ++i)
            Move(c, from + step * i);
        Release(c, from + step * moves);
        return c.Picture;
    };
    const QImage once = draw(rmNone, QPoint(100, 100), QPoint(200, 100), 1);
    EXPECT_GT(GreyPixels(once), 400);
    EXPECT_EQ(draw(rmNone, QPoint(100, 100), QPoint(10, 5), 20), once);
    EXPECT_EQ(draw(rmVertical, QPoint(300, 300), QPoint(200, 0), 1),
              draw(rmNone, QPoint(300, 300), QPoint(200, 0), 1));
}

TEST(Strokes, SmoothStrokesKeepProtectedPixelsAndUndoRestoresThePicture)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.SetReflectionMode(rmNone);
    for (int y = 0; y < 600; ++y)
        for (int x = 200; x < 210; ++x)
            c.Picture.setPixel(x, y, qRgb(0, 0, 0));
    const QImage before = c.Picture.copy();
    c.SetColoringMode(cmPaintOverColor);
    c.SetSmoothStrokes(true);
    c.SetMasterColor(MakeColor(0, 0, 255));
    c.BrushSize = 9;
    Press(c, QPoint(150, 100));
    Move(c, QPoint(260, 100));
    Release(c, QPoint(260, 100));
    for (int y = 90; y <= 110; ++y)
        for (int x = 200; x < 210; ++x)
            ASSERT_EQ(Rgb(c.Picture, x, y), Black) << x << "," << y;
    EXPECT_EQ(Rgb(c.Picture, 180, 100), 0x0000FFu);
    EXPECT_GT(GreyPixels(c.Picture), 100);
    const QImage drawn = c.Picture.copy();
    c.Undo();
    EXPECT_EQ(c.Picture, before);
    // Drawn again, the stroke covers the restored picture as it did the first time.
    Press(c, QPoint(150, 100));
    Move(c, QPoint(260, 100));
    Release(c, QPoint(260, 100));
    EXPECT_EQ(c.Picture, drawn);
}

// Undo or Clear while a smooth stroke is held: the rest of the stroke covers
// the picture as it is now; going back over the first segment draws it again.
TEST(Strokes, ASmoothStrokeHeldThroughUndoOrClearDrawsOnTheNewPicture)
{
    for (bool clear : {false, true}) {
        TVelmoraCanvas c;
        LayOut(c);
        c.SetReflectionMode(rmNone);
        c.SetSmoothStrokes(true);
        c.BrushSize = 7;
        Press(c, QPoint(100, 100));
        Move(c, QPoint(300, 150));
        const QImage drawn = c.Picture.copy();
        clear ? c.Clear(clWhite) : c.Undo();
        Move(c, QPoint(100, 100));
        EXPECT_EQ(c.Picture, drawn) << (clear ? "clear" : "undo");
    }
}

namespace {

void Stroke(TVelmoraCanvas &c, std::initializer_list<QPoint> points)
{
    Press(c, *points.begin());
    for (QPoint p : points)
        Move(c, p);
    Release(c, *(points.end() - 1));
}

} // namespace

// A stroke at 50% that crosses itself, and whose mirror copy crosses it,
// darkens white by half once, also at the crossings; a second stroke builds
// on the first. Smooth pixels never go beyond the opacity either.
TEST(Strokes, TranslucentStrokesBlendEachPixelOncePerStroke)
{
    for (bool smooth : {false, true}) {
        TVelmoraCanvas c;
        LayOut(c);
        c.SetReflectionMode(rmVertical);
        c.SetSmoothStrokes(smooth);
        c.SetBrushOpacity(50);
        c.BrushSize = 9;
        Stroke(c, {QPoint(360, 100), QPoint(440, 200), QPoint(440, 100), QPoint(360, 200), QPoint(420, 90)});
        Stroke(c, {QPoint(300, 150), QPoint(500, 150)});
        // Only the second stroke, along y = 150, darkens beyond one half.
        std::set<int> levels;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const QRgb p = Rgb(c.Picture, x, y);
                ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << x << "," << y;
                ASSERT_GE(qRed(p), std::abs(y - 150) > 5 ? 127 : 63) << smooth << " at " << x << "," << y;
                levels.insert(qRed(p));
            }
        const std::set<int> halves{63, 64, 127, 128, 255};
        for (int level : levels)
            EXPECT_TRUE(smooth || halves.count(level)) << level;
        // The crossing, and a crossing of the stroke's copy, under the second stroke.
        for (QPoint p : {QPoint(400, 150), QPoint(360, 150)})
            EXPECT_LE(qRed(Rgb(c.Picture, p.x(), p.y())), 64) << smooth;
    }
}

// A soft line is darkest on its axis and fades outward, at a joint as
// between joints.
TEST(Strokes, SoftLinesFadeFromTheirAxisAndHaveNoBeadsAtJoints)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.SetReflectionMode(rmNone);
    c.SetBrushHardness(30);
    c.BrushSize = 15;
    Stroke(c, {QPoint(100, 300), QPoint(125, 300), QPoint(150, 300), QPoint(175, 300), QPoint(200, 300),
               QPoint(300, 300)});
    EXPECT_EQ(Rgb(c.Picture, 150, 300), Black);
    for (int dy = -9; dy <= 9; ++dy) {
        // At the joint each part misses a little of the samples beyond
        // its end; the larger of the two is within a level of the line.
        EXPECT_NEAR(qRed(Rgb(c.Picture, 150, 300 + dy)), qRed(Rgb(c.Picture, 162, 300 + dy)), 1) << dy;
        EXPECT_EQ(Rgb(c.Picture, 150, 300 + dy), Rgb(c.Picture, 150, 300 - dy)) << dy;
        if (dy > 0) {
            EXPECT_GE(qRed(Rgb(c.Picture, 150, 300 + dy)), qRed(Rgb(c.Picture, 150, 299 + dy))) << dy;
        }
    }
    EXPECT_GT(qRed(Rgb(c.Picture, 150, 306)), qRed(Rgb(c.Picture, 150, 303)));
    EXPECT_EQ(Rgb(c.Picture, 150, 309), White);
}

// A zig-zag of +-4 pixels around y = 300, its corners 3 pixels apart: on a
// string of 10 pixels the brush paints the straight path, and the stroke ends
// at the release point; without the string it paints the zig-zag.
TEST(Strokes, TheStabilizerStraightensAWobblyStroke)
{
    for (int stabilizer : {25, 0}) {
        TVelmoraCanvas c;
        LayOut(c);
        c.SetReflectionMode(rmNone);
        c.SetStabilizer(stabilizer);
        Press(c, QPoint(100, 300));
        QPoint p;
        for (int k = 1; k <= 100; ++k)
            Move(c, p = QPoint(100 + 3 * k, k % 2 ? 304 : 296));
        Release(c, p);
        int farthest = 0, lastX = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x)
                if (Rgb(c.Picture, x, y) == Black) {
                    lastX = std::max(lastX, x);
                    if (x > 140 && x < p.x() - 40)
                        farthest = std::max(farthest, std::abs(y - 300));
                }
        EXPECT_EQ(farthest <= 1, stabilizer > 0) << farthest;
        EXPECT_GE(farthest, stabilizer ? 0 : 4);
        EXPECT_GE(lastX, p.x() - 1) << stabilizer;
    }
}

namespace {

// A canvas drawing without copies, and a stylus's pen and eraser ends.
struct TStylusSetup {
    TStylusSetup()
    {
        LayOut(c);
        c.SetReflectionMode(rmNone);
    }

    int BlackInColumn(int x, int top = 0, int bottom = 600) const
    {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            n += Rgb(c.Picture, x, y) == Black;
        return n;
    }

    const QPointingDevice pen{QStringLiteral("pen"), 1, QInputDevice::DeviceType::Stylus,
                              QPointingDevice::PointerType::Pen,
                              QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2};
    const QPointingDevice eraser{QStringLiteral("eraser"), 2, QInputDevice::DeviceType::Stylus,
                                 QPointingDevice::PointerType::Eraser,
                                 QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 2};
    TVelmoraCanvas c;
};

} // namespace

// The width of each segment is the size scaled by the stylus's pressure; the
// eraser end erases at the eraser's size without changing the tool.
TEST(Strokes, StylusPressureScalesThePenAndItsEraserEndErases)
{
    TStylusSetup s;
    TVelmoraCanvas &c = s.c;
    c.BrushSize = 20;
    c.EraserSize = 30;
    Stylus(c, s.pen, QEvent::TabletPress, QPoint(100, 100), 0.5);
    Stylus(c, s.pen, QEvent::TabletMove, QPoint(200, 100), 0.5);
    Stylus(c, s.pen, QEvent::TabletMove, QPoint(300, 100), 0.01);
    Stylus(c, s.pen, QEvent::TabletRelease, QPoint(300, 100), 0);
    EXPECT_EQ(s.BlackInColumn(150), 11);
    EXPECT_EQ(s.BlackInColumn(250), 1);

    Stylus(c, s.eraser, QEvent::TabletPress, QPoint(150, 60), 1);
    Stylus(c, s.eraser, QEvent::TabletMove, QPoint(150, 140), 1);
    Stylus(c, s.eraser, QEvent::TabletRelease, QPoint(150, 140), 0);
    EXPECT_EQ(c.Tool, ctBrush);
    EXPECT_EQ(Rgb(c.Picture, 136, 100), White);
    EXPECT_EQ(Rgb(c.Picture, 164, 100), White);
    EXPECT_EQ(Rgb(c.Picture, 170, 100), Black);
    EXPECT_EQ(c.History().UndoList().size(), 2u);
}

// The stylus's pressure and eraser end go with its release, even after a
// switch to a tool the stylus does not draw with, and with a press of the
// mouse when the release never came; a pen that reports no pressure at
// first contact draws at full size.
TEST(Strokes, StylusStateEndsWithTheStylus)
{
    TStylusSetup s;
    TVelmoraCanvas &c = s.c;
    c.BrushSize = 21;
    Stylus(c, s.eraser, QEvent::TabletPress, QPoint(100, 100), 0.5);
    Stylus(c, s.eraser, QEvent::TabletMove, QPoint(150, 100), 0.5);
    c.SetTool(ctPickupColor);
    Stylus(c, s.eraser, QEvent::TabletRelease, QPoint(150, 100), 0);
    c.SetTool(ctBrush);
    Press(c, QPoint(100, 200));
    Move(c, QPoint(200, 200));
    Release(c, QPoint(200, 200));
    EXPECT_EQ(s.BlackInColumn(150, 170, 230), 21);

    Stylus(c, s.pen, QEvent::TabletPress, QPoint(100, 300), 0);
    Stylus(c, s.pen, QEvent::TabletMove, QPoint(200, 300), 0);
    EXPECT_EQ(s.BlackInColumn(150, 270, 330), 21);
    const QPointF at(100 + Margin, 400 + Margin);
    QMouseEvent press(QEvent::MouseButtonPress, at, c.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&c, &press);
    Move(c, QPoint(200, 400));
    EXPECT_EQ(s.BlackInColumn(150, 370, 430), 21);
}

TEST(Strokes, EraserPaintsTheEraserColourAtItsSize)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.Clear(MakeColor(0, 0, 255));
    c.SetReflectionMode(rmNone);
    c.SetTool(ctEraser);
    c.EraserSize = 3;
    Press(c, QPoint(50, 50));
    Move(c, QPoint(60, 50));
    EXPECT_EQ(Rgb(c.Picture, 55, 49), White);
    EXPECT_EQ(Rgb(c.Picture, 55, 51), White);
    EXPECT_EQ(Rgb(c.Picture, 55, 52), 0x0000FFu);
}

// Above the bottom layer the eraser makes pixels transparent, at half
// opacity half transparent, and the edge of a smooth stroke keeps its colour
// with part of its alpha, in both directions: no dark fringe where the layer
// shows over others.
TEST(Strokes, OnAnUpperLayerTheEraserClearsAndSmoothEdgesArePartlyTransparent)
{
    const struct {
        bool smooth;
        int eraserOpacity;
        QRgb erased, shown;
    } cases[] = {{false, 100, 0, 0xFFFFFFFF}, {true, 100, 0, 0xFFFFFFFF}, {false, 50, 0x800000FF, 0xFF7F7FFF}};
    for (const auto &[smooth, eraserOpacity, erased, shown] : cases) {
        TVelmoraCanvas c;
        LayOut(c);
        c.SetReflectionMode(rmNone);
        c.SetSmoothStrokes(smooth);
        c.NewLayer();
        c.SetMasterColor(MakeColor(0, 0, 255));
        c.BrushSize = 9;
        Press(c, QPoint(100, 100));
        Move(c, QPoint(300, 140));
        Release(c, QPoint(300, 140));
        c.SetTool(ctEraser);
        c.SetBrushOpacity(eraserOpacity);
        c.EraserSize = 6;
        Press(c, QPoint(200, 60));
        Move(c, QPoint(200, 180));
        Release(c, QPoint(200, 180));
        EXPECT_EQ(c.Picture.pixel(150, 110), 0xFF0000FFu) << smooth;
        EXPECT_EQ(c.Picture.pixel(200, 120), erased) << smooth;
        EXPECT_EQ(c.ComposedPicture().pixel(200, 120), shown) << smooth;
        int partial = 0;
        for (int x = 190; x <= 210; ++x)
            for (int y = 110; y <= 130; ++y) {
                const QRgb p = c.Picture.pixel(x, y);
                if (qAlpha(p) > 0 && qAlpha(p) < 255) {
                    ++partial;
                    ASSERT_EQ(p & 0xFFFFFF, 0x0000FFu) << x << "," << y;
                }
            }
        EXPECT_EQ(partial > 0, smooth || erased);
    }
}

TEST(ToolRules, RightClickSwapsBrushAndEraser)
{
    TVelmoraCanvas c;
    LayOut(c);
    int changes = 0;
    c.OnToolChange = [&](TVelmoraCanvas *) { ++changes; };
    const std::pair<TCanvasTool, TCanvasTool> table[] = {
        {ctBrush, ctEraser}, {ctEraser, ctBrush}, {ctPickupColor, ctBrush}, {ctPaintBucket, ctBrush}};
    for (const auto &[from, to] : table) {
        c.SetTool(from);
        const int before = changes;
        Press(c, QPoint(10, 10), 0, mbRight);
        EXPECT_EQ(c.Tool, to);
        EXPECT_EQ(changes, before + 1);
    }
    c.SetTool(ctMovePoints);
    Press(c, QPoint(10, 10), 0, mbRight);
    EXPECT_EQ(c.Tool, ctMovePoints);
    EXPECT_EQ(changes, 4);
}

TEST(ToolRules, ActiveCentreFollowsRightClickAndTab)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.SetTool(ctMovePoints);
    Press(c, QPoint(0, 0), 0, mbRight);
    EXPECT_TRUE(c.MasterActive);
    c.KeyDown(Qt::Key_Tab, 0);
    EXPECT_TRUE(c.MasterActive);

    c.SetReflectionMode(rmMirrorPrimary);
    c.KeyDown(Qt::Key_Tab, ssShift);
    EXPECT_TRUE(c.MasterActive);
    c.KeyDown(Qt::Key_Tab, 0);
    EXPECT_FALSE(c.MasterActive);
    Press(c, QPoint(0, 0), 0, mbRight);
    EXPECT_TRUE(c.MasterActive);
    Press(c, QPoint(0, 0), 0, mbRight);
    EXPECT_TRUE(c.MasterActive);

    c.SetReflectionMode(rmSecondary);
    Press(c, QPoint(0, 0), 0, mbRight);
    EXPECT_FALSE(c.MasterActive);
    c.KeyDown(Qt::Key_Tab, 0);
    EXPECT_TRUE(c.MasterActive);

    // Tab reaches the canvas instead of moving the focus.
    c.SetReflectionMode(rmMirrorPrimary);
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(&c, &tab);
    EXPECT_FALSE(c.MasterActive);
}

TEST(ToolRules, MovePointsDragsTheActiveCentreAndAltTheWholePair)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.SetTool(ctMovePoints);
    Press(c, QPoint(300, 250));
    EXPECT_EQ(c.MasterCenter, QPoint(300, 250));
    EXPECT_EQ(c.SecondCenter, QPoint(400, 100));
    Move(c, QPoint(310, 260), ssLeft | ssAlt);
    EXPECT_EQ(c.MasterCenter, QPoint(310, 260));
    EXPECT_EQ(c.SecondCenter, QPoint(410, 110));
    Release(c, QPoint(310, 260));

    c.SetReflectionMode(rmSecondary);
    c.MasterActive = false;
    Press(c, QPoint(50, 60));
    EXPECT_EQ(c.SecondCenter, QPoint(50, 60));
    EXPECT_EQ(c.MasterCenter, QPoint(310, 260));
    Release(c, QPoint(50, 60));
}

TEST(ToolRules, DoubleClickResetsTheActiveCentre)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.show();
    c.SetTool(ctMovePoints);
    c.SetMasterCenter(QPoint(10, 10));
    QTest::mouseDClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(100 + Margin, 100 + Margin));
    EXPECT_EQ(c.MasterCenter, QPoint(400, 300));
    EXPECT_FALSE(c.Dragging);

    c.SetReflectionMode(rmSecondary);
    c.MasterActive = false;
    QTest::mouseDClick(&c, Qt::LeftButton, Qt::NoModifier, QPoint(30 + Margin, 40 + Margin));
    EXPECT_EQ(c.SecondCenter, QPoint(400, 100));
    EXPECT_EQ(c.MasterCenter, QPoint(400, 300));
}

TEST(ToolRules, NonInteractiveCanvasIgnoresInputAndShowsTheArrow)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.Interactive = false;
    c.SetTool(ctMovePoints);
    c.UpdateCursor();
    EXPECT_EQ(c.cursor().shape(), Qt::ArrowCursor);
    c.SetReflectionMode(rmMirrorPrimary);
    Press(c, QPoint(10, 10));
    Move(c, QPoint(20, 20));
    Press(c, QPoint(10, 10), 0, mbRight);
    c.KeyDown(Qt::Key_Tab, 0);
    Release(c, QPoint(20, 20));
    EXPECT_EQ(c.MasterCenter, QPoint(400, 300));
    EXPECT_TRUE(c.MasterActive);
    EXPECT_FALSE(c.Dragging);
    EXPECT_EQ(c.CursorPoint, QPoint(-1, -1));
    c.Interactive = true;
    c.UpdateCursor();
    EXPECT_NE(c.cursor().shape(), Qt::ArrowCursor);
}

struct PickupTest : ::testing::Test {
    void SetUp() override
    {
        LayOut(c);
        c.Picture.setPixel(5, 6, qRgb(10, 20, 30));
        c.SetTool(ctPickupColor);
        c.OnColorPick = [this](TVelmoraCanvas *) { ++picks; };
        c.OnColorHover = [this](TVelmoraCanvas *, TColor col) { hovers.push_back(col); };
        KeyState::SetPlatformForTesting(QStringLiteral("xcb"));
    }
    void TearDown() override { KeyState::SetPlatformForTesting(QGuiApplication::platformName()); }

    void ShiftKey(QEvent::Type type, quint32 scanCode)
    {
        QKeyEvent e(type, Qt::Key_Shift, type == QEvent::KeyPress ? Qt::ShiftModifier : Qt::NoModifier, scanCode, 0, 0);
        QApplication::sendEvent(&c, &e);
    }

    // A pick at the coloured pixel while one Shift key (X11 code 50 left,
    // 62 right) is held.
    void PickWithShift(quint32 scanCode)
    {
        ShiftKey(QEvent::KeyPress, scanCode);
        Press(c, QPoint(5, 6), ssShift);
        ShiftKey(QEvent::KeyRelease, scanCode);
    }

    TVelmoraCanvas c;
    int picks = 0;
    std::vector<TColor> hovers;
};

TEST_F(PickupTest, LeftShiftPicksTheEraserColourAndRightShiftTheBrush)
{
    Press(c, QPoint(5, 6));
    EXPECT_EQ(c.MasterColor, MakeColor(10, 20, 30));
    EXPECT_EQ(picks, 1);

    c.SetMasterColor(clBlack);
    PickWithShift(62);
    EXPECT_EQ(c.MasterColor, MakeColor(10, 20, 30));
    EXPECT_EQ(c.SecondColor, clWhite);

    PickWithShift(50);
    EXPECT_EQ(c.SecondColor, MakeColor(10, 20, 30));
    EXPECT_EQ(picks, 3);
}

// What the user sees: the layers composed, over white where not opaque.
TEST_F(PickupTest, PicksTheColourShownOverWhite)
{
    c.NewLayer();
    c.Picture.setPixel(5, 6, qRgba(0, 0, 255, 128));
    c.PictureChanged();
    c.SetLayerVisible(0, false);
    Press(c, QPoint(5, 6));
    EXPECT_EQ(c.MasterColor, MakeColor(127, 127, 255));
}

TEST_F(PickupTest, OutsideThePictureNothingIsPickedOrHovered)
{
    Press(c, QPoint(-3, 10));
    Press(c, QPoint(800, 10));
    EXPECT_EQ(picks, 0);
    Move(c, QPoint(-1, 5), 0);
    Move(c, QPoint(5, 600), 0);
    EXPECT_TRUE(hovers.empty());
    Move(c, QPoint(5, 6), 0);
    ASSERT_EQ(hovers.size(), 1u);
    EXPECT_EQ(hovers[0], MakeColor(10, 20, 30));
}

TEST(ToolRules, PlainMovesRepaintOnlyForVisibleDrawingPoints)
{
    TVelmoraCanvas c;
    LayOut(c);
    int before = c.RepaintCount;
    Move(c, QPoint(100, 100), 0);
    Move(c, QPoint(101, 100), 0);
    EXPECT_EQ(c.RepaintCount, before);
    EXPECT_EQ(c.CursorPoint, QPoint(101, 100));
    c.SetShowDrawingPoints(true);
    before = c.RepaintCount;
    Move(c, QPoint(102, 100), 0);
    EXPECT_EQ(c.RepaintCount, before + 1);
}

TEST_F(PickupTest, ALeftShiftReleasedInAnotherProgramDoesNotPickTheEraser)
{
    ShiftKey(QEvent::KeyPress, 50);
    QApplicationStateChangeEvent away(Qt::ApplicationInactive);
    QApplication::sendEvent(qApp, &away);
    QApplicationStateChangeEvent back(Qt::ApplicationActive);
    QApplication::sendEvent(qApp, &back);

    PickWithShift(62);
    EXPECT_EQ(c.MasterColor, MakeColor(10, 20, 30));
    EXPECT_EQ(c.SecondColor, clWhite);

    // Key events are trusted again after the return.
    PickWithShift(50);
    EXPECT_EQ(c.SecondColor, MakeColor(10, 20, 30));
}

namespace {

// p -> M + R (p - M) + (Hx w/2, Hy h/2): an element of a pattern's group
// about the lattice point M, for a cell w x h.
struct TGroupMap {
    int Xx, Xy, Yx, Yy, Hx, Hy;
};

// Paints with everything that draws copies: an aliased stroke, a smooth
// translucent soft one, the eraser, a circle and, on a picture that tiles,
// a bucket fill inside the circles. (Elsewhere a circle cut by the edge
// whose centre lies outside has no seed inside the picture.)
void PaintPattern(TVelmoraCanvas &c, QPoint at, bool fill)
{
    c.BrushSize = 5;
    for (const QPoint p : {at, at + QPoint(23, 9), at + QPoint(30, 31)})
        c.StrokeTo(p, p != at);
    c.SetSmoothStrokes(true);
    c.SetBrushHardness(40);
    c.SetBrushOpacity(70);
    c.SetMasterColor(MakeColor(200, 0, 0));
    c.BrushSize = 6;
    c.StrokeTo(at + QPoint(-40, 20), false);
    c.StrokeTo(at + QPoint(-8, 33), true);
    c.SetSmoothStrokes(false);
    c.SetBrushOpacity(100);
    c.SetTool(ctEraser);
    c.EraserSize = 3;
    c.StrokeTo(at + QPoint(5, -9), false);
    c.StrokeTo(at + QPoint(17, 30), true);
    c.SetTool(ctBrush);
    c.BrushSize = 2;
    c.SetMasterColor(MakeColor(0, 0, 160));
    c.CursorPoint = c.MasterCenter + QPoint(7, 4);
    c.AddCircle();
    c.SetMasterColor(MakeColor(0, 160, 0));
    if (fill)
        c.PaintBucket(c.MasterCenter + QPoint(7, 4));
}

int Mismatches(const QImage &img, QPoint M, QSize cell, const TGroupMap &g)
{
    int wrong = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const int dx = x - M.x(), dy = y - M.y();
            const int gx = M.x() + g.Xx * dx + g.Xy * dy + g.Hx * cell.width() / 2;
            const int gy = M.y() + g.Yx * dx + g.Yy * dy + g.Hy * cell.height() / 2;
            if (gx >= 0 && gy >= 0 && gx < img.width() && gy < img.height())
                wrong += img.pixel(x, y) != img.pixel(gx, gy);
        }
    return wrong;
}

} // namespace

// Every copy is an exact pixel transform, so the picture is invariant under
// the group wherever both pixels lie in it, with the lattice anywhere; on a
// canvas fitted to the pattern it also wraps around its edges.
TEST(Strokes, PixelExactPatternsAreInvariantUnderTheirGroupsAndFittedOnesTile)
{
    constexpr TGroupMap Mx{-1, 0, 0, 1, 0, 0}, My{1, 0, 0, -1, 0, 0}, Half{-1, 0, 0, -1, 0, 0},
        Quarter{0, -1, 1, 0, 0, 0}, Centring{1, 0, 0, 1, 1, 1}, Right{1, 0, 0, 1, 2, 0}, Down{1, 0, 0, 1, 0, 2};
    const struct {
        TPatternGroup group;
        std::vector<TGroupMap> generators;
    } groups[] = {
        {pgP1, {}},
        {pgP2, {Half}},
        {pgPm, {Mx}},
        {pgPg, {{-1, 0, 0, 1, 0, 1}}},
        {pgCm, {Mx, Centring}},
        {pgPmm, {Mx, My}},
        {pgPmg, {Half, {-1, 0, 0, 1, 1, 0}}},
        {pgPgg, {Half, {-1, 0, 0, 1, 1, 1}}},
        {pgCmm, {Mx, My, Centring}},
        {pgP4, {Quarter}},
        {pgP4m, {Quarter, Mx}},
        {pgP4g, {Quarter, {-1, 0, 0, 1, 1, 1}}},
        {pgFriezeP1, {}},
        {pgFriezeP11g, {{1, 0, 0, -1, 1, 0}}},
        {pgFriezeP1m1, {Mx}},
        {pgFriezeP11m, {My}},
        {pgFriezeP2, {Half}},
        {pgFriezeP2mg, {Half, {-1, 0, 0, 1, 1, 0}}},
        {pgFriezeP2mm, {Mx, My}},
    };
    for (const auto &[group, generators] : groups)
        for (const bool fitted : {false, true}) {
            const TPattern pattern{group, 36, 24, 90};
            const bool frieze = IsFrieze(group);
            const QSize cell(36, UsesHeight(group) ? 24 : 36);
            const QSize size = fitted ? FittedCanvasSize(pattern, QSize(150, 110)) : QSize(150, 110);
            TVelmoraCanvas c;
            c.SetCanvasSize(size.width(), size.height(), true, false);
            c.SetMasterCenter(fitted ? FittedMasterCenter(pattern, size) : QPoint(61, 47));
            c.SetReflectionMode(rmPattern);
            c.SetPattern(pattern);
            PaintPattern(c, c.MasterCenter + QPoint(fitted ? 50 : 3, 11), fitted);
            const QImage &img = c.Picture;
            ASSERT_EQ(CountPixels(img, 0x00A000) > 0, fitted) << PatternGroupName(group);
            std::vector<TGroupMap> maps = generators;
            maps.push_back(Right);
            if (!frieze)
                maps.push_back(Down);
            for (const TGroupMap &g : maps)
                EXPECT_EQ(Mismatches(img, c.MasterCenter, cell, g), 0)
                    << PatternGroupName(group) << " fitted " << fitted << " map " << g.Xx << g.Xy << g.Yx << g.Yy
                    << " " << g.Hx << g.Hy;
            if (!fitted)
                continue;
            int seams = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    seams += img.pixel(x, y) != img.pixel((x + cell.width()) % img.width(), y);
                    if (!frieze)
                        seams += img.pixel(x, y) != img.pixel(x, (y + cell.height()) % img.height());
                }
            EXPECT_EQ(seams, 0) << PatternGroupName(group);
        }
}
