#include "codecs/image_alpha.h"
#include "engine/coloring_mask.h"
#include "engine/stroke_drawing.h"
#include "canvas_test_util.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

constexpr QRgb Red = 0xFF0000, Blue = 0x0000FF, White = 0xFFFFFF;

void Stroke(TVelmoraCanvas &c, std::initializer_list<QPoint> pts)
{
    const QPoint first = *pts.begin();
    c.MouseDown(mbLeft, ssLeft, first.x() + Margin, first.y() + Margin);
    for (QPoint p : pts)
        c.MouseMove(ssLeft, p.x() + Margin, p.y() + Margin);
    c.MouseUp(mbLeft, 0, first.x() + Margin, first.y() + Margin);
}

// The mask as the canvas would rebuild it from its picture now.
TColoringMask FreshMask(const TVelmoraCanvas &c)
{
    TColoringMask m;
    m.Rebuild(c.Picture, c.SecondColor, c.ColoringMode);
    return m;
}

bool SameMask(const TColoringMask &a, const TColoringMask &b)
{
    if (a.Width() != b.Width() || a.Height() != b.Height())
        return false;
    for (int y = 0; y < a.Height(); ++y)
        if (!std::equal(a.Row(y), a.Row(y) + a.Width(), b.Row(y)))
            return false;
    return true;
}

struct MaskTest : ::testing::Test {
    void SetUp() override
    {
        LayOut(c);
        c.SetReflectionMode(rmNone);
        c.BrushSize = 5;
    }
    TVelmoraCanvas c;
};

} // namespace

TEST(ColoringMask, MatchesTheKeyColourExactlyAndIgnoresTheFourthByte)
{
    const QRgb pixels[8] = {0xFF102030, 0x00102030, 0x7F102030, 0xFF102031,
                            0xFF112030, 0xFF000000, 0xFFFFFFFF, 0x12102030};
    const bool rgbKey[8] = {true, true, true, false, false, false, false, true};
    auto probe = [&](int x, int y) { return y * 4 + x % 4; };
    // As alpha the fourth byte counts only where it is 0: a fully transparent
    // pixel has no colour.
    for (const QImage::Format format : {QImage::Format_RGB32, QImage::Format_ARGB32}) {
        const auto key = [&](int i) { return rgbKey[i] && (format == QImage::Format_RGB32 || pixels[i] >> 24); };
        // Rows long enough for the vector loops, each probe in every lane.
        QImage img(4 * 17, 2, format);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < img.width(); ++x)
                reinterpret_cast<QRgb *>(img.scanLine(y))[x] = pixels[probe(x, y)];
        TColoringMask m;
        m.Rebuild(img, RgbToColor(0x102030), cmProtectColor);
        for (int i = 0; i < img.width() * 2; ++i)
            ASSERT_EQ(m.Protected(i / 2, i % 2), key(probe(i / 2, i % 2))) << i;
        m.Rebuild(img, RgbToColor(0x102030), cmPaintOverColor);
        for (int i = 0; i < img.width() * 2; ++i)
            ASSERT_EQ(m.Protected(i / 2, i % 2), !key(probe(i / 2, i % 2))) << i;

        // The 1-bit image: white where protected, black where paintable.
        const QImage bits = m.ToImage();
        EXPECT_EQ(bits.format(), QImage::Format_Mono);
        EXPECT_EQ(bits.size(), img.size());
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(bits.pixel(i % 4, i / 4) & 0xFFFFFF, key(i) ? 0u : White) << i;
    }
}

TEST_F(MaskTest, ProtectedWhitePictureStaysWhiteUnderBrushAndEraser)
{
    c.SetColoringMode(cmProtectColor);
    const QImage before = c.Picture.copy();
    Stroke(c, {QPoint(100, 100), QPoint(300, 200), QPoint(120, 400)});
    c.SetTool(ctEraser);
    c.SetSecondColor(clWhite);
    Stroke(c, {QPoint(100, 300), QPoint(300, 300)});
    EXPECT_EQ(c.Picture, before);
}

TEST_F(MaskTest, PaintOverCoversRedWithBlueOnlyWithoutAutoMask)
{
    c.SetColoringMode(cmPaintOverColor);
    c.SetMasterColor(RgbToColor(Red));
    Stroke(c, {QPoint(100, 100), QPoint(300, 100)});
    ASSERT_EQ(Rgb(c.Picture, 200, 100), Red);

    // Auto mask on: the new colour takes a new snapshot that protects red.
    c.SetMasterColor(RgbToColor(Blue));
    Stroke(c, {QPoint(200, 50), QPoint(200, 150)});
    EXPECT_EQ(Rgb(c.Picture, 200, 100), Red);
    EXPECT_EQ(Rgb(c.Picture, 200, 60), Blue);

    // Auto mask off: the snapshot stays, red is still paintable under it.
    c.SetAutoMask(false);
    c.SetMasterColor(RgbToColor(Red));
    Stroke(c, {QPoint(100, 300), QPoint(300, 300)});
    c.SetMasterColor(RgbToColor(Blue));
    Stroke(c, {QPoint(200, 250), QPoint(200, 350)});
    EXPECT_EQ(Rgb(c.Picture, 200, 300), Blue);

    // Turning auto mask back on rebuilds at once.
    c.SetAutoMask(true);
    EXPECT_TRUE(SameMask(*c.Mask, FreshMask(c)));
}

TEST_F(MaskTest, EraserColourChangeRebuildsEvenWithoutAutoMask)
{
    c.SetAutoMask(false);
    c.SetColoringMode(cmProtectColor);
    c.Picture.fill(qRgb(255, 0, 0));
    c.SetMasterColor(MakeColor(0, 0, 255));
    EXPECT_FALSE(SameMask(*c.Mask, FreshMask(c)));
    c.SetSecondColor(MakeColor(255, 0, 0));
    EXPECT_TRUE(SameMask(*c.Mask, FreshMask(c)));
    EXPECT_TRUE(c.Mask->Protected(10, 10));
}

TEST_F(MaskTest, UndoAndRedoRebuildTheMaskFromTheRestoredPicture)
{
    c.SetMasterColor(RgbToColor(Red));
    Stroke(c, {QPoint(100, 100), QPoint(300, 100)});
    Stroke(c, {QPoint(100, 300), QPoint(300, 300)});
    c.SetColoringMode(cmPaintOverColor);
    ASSERT_TRUE(c.Mask->Protected(200, 300));
    c.Undo();
    EXPECT_FALSE(c.Mask->Protected(200, 300));
    EXPECT_TRUE(SameMask(*c.Mask, FreshMask(c)));
    c.Redo();
    EXPECT_TRUE(c.Mask->Protected(200, 300));
    EXPECT_TRUE(SameMask(*c.Mask, FreshMask(c)));
}

TEST_F(MaskTest, AssignMaskToCopiesOnlyAnExistingMask)
{
    QImage bitmap(3, 3, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    c.AssignMaskTo(bitmap);
    EXPECT_EQ(bitmap.size(), QSize(3, 3));
    c.SetColoringMode(cmPaintOverColor);
    Stroke(c, {QPoint(100, 100), QPoint(300, 100)});
    c.SetColoringMode(cmProtectColor);
    c.AssignMaskTo(bitmap);
    ASSERT_EQ(bitmap.size(), QSize(800, 600));
    EXPECT_EQ(bitmap.depth(), 1);
    EXPECT_EQ(bitmap.pixel(5, 5) & 0xFFFFFF, White);
    EXPECT_EQ(bitmap.pixel(200, 100) & 0xFFFFFF, 0u);
}

TEST_F(MaskTest, ChangesOfThePictureKeepTheMaskInStep)
{
    c.SetColoringMode(cmProtectColor);
    c.SetCanvasSize(300, 200, false, false);
    EXPECT_EQ(c.ColoringMode, cmNone);
    EXPECT_FALSE(c.Mask);

    // A picture loaded while a mode is set gets a mask of its own size.
    c.SetColoringMode(cmProtectColor);
    QImage other(500, 400, QImage::Format_RGB32);
    other.fill(Qt::white);
    c.LoadPicture(other);
    ASSERT_TRUE(c.Mask);
    EXPECT_EQ(c.Mask->Width(), 500);
    EXPECT_EQ(c.Mask->Height(), 400);
    c.BrushSize = 9;
    Stroke(c, {QPoint(450, 350), QPoint(499, 399)});
    EXPECT_EQ(CountPixels(c.Picture, White), 500 * 400);

    // It follows the active layer: nothing on a new transparent one is
    // white, so all of it takes paint.
    c.NewLayer();
    Stroke(c, {QPoint(450, 350), QPoint(499, 399)});
    EXPECT_GT(CountPixels(OverWhite(c.Picture), 0x000000), 0);
    c.SetActiveLayer(0);
    EXPECT_TRUE(SameMask(*c.Mask, FreshMask(c)));

    c.Clear(MakeColor(255, 255, 0));
    EXPECT_EQ(c.ColoringMode, cmNone);
    EXPECT_FALSE(c.Mask);
}

// Masked strokes change exactly what drawing every copy on a scratch copy of
// the whole picture and transferring all of it through the mask would.
TEST(MaskedStrokes, MatchAWholePictureTransferInEveryMode)
{
    QRandomGenerator rng(11);
    TStrokePainter reference;
    for (TReflectionMode mode : {rmNone, rmPrimary, rmMirrorPrimary, rmSecondary, rmVertical, rmHorizontal}) {
        TVelmoraCanvas c;
        LayOut(c);
        c.SetReflectionMode(mode);
        c.SetMasterRefCount(rng.bounded(2, 9));
        c.SetSecondRefCount(rng.bounded(2, 5));
        // Key-coloured blotches among strokes of other colours.
        for (int i = 0; i < 30; ++i)
            c.Picture.setPixel(rng.bounded(800), rng.bounded(600), qRgb(0, 0, 0));
        c.BrushSize = 12;
        c.StrokeTo(QPoint(300, 200), false);
        c.StrokeTo(QPoint(500, 420), true);
        for (int stroke = 0; stroke < 8; ++stroke) {
            c.SetColoringMode(stroke % 2 ? cmProtectColor : cmPaintOverColor);
            c.SetSecondColor(stroke % 3 ? clWhite : clBlack);
            c.SetTool(stroke % 4 == 3 ? ctEraser : ctBrush);
            c.SetMasterColor(MakeColor(rng.bounded(256), 0, 200));
            c.BrushSize = rng.bounded(1, 16);
            c.EraserSize = rng.bounded(1, 16);
            QPoint p(rng.bounded(-50, 850), rng.bounded(-50, 650));
            c.StrokeTo(p, false);
            for (int move = 0; move < 4; ++move) {
                const QPoint next = p + QPoint(rng.bounded(-60, 61), rng.bounded(-60, 61));
                QImage scratch = c.Picture.copy();
                const bool eraser = c.Tool == ctEraser;
                reference.DrawCopies(scratch, c.Reflection(), p, next, eraser ? c.SecondColor : c.MasterColor,
                                     eraser ? c.EraserSize : c.BrushSize);
                QImage expected = c.Picture.copy();
                for (int y = 0; y < 600; ++y) {
                    auto *dst = reinterpret_cast<QRgb *>(expected.scanLine(y));
                    const auto *src = reinterpret_cast<const QRgb *>(scratch.constScanLine(y));
                    const std::uint8_t *protect = c.Mask->Row(y);
                    for (int x = 0; x < 800; ++x)
                        dst[x] = protect[x] ? dst[x] : src[x];
                }
                c.StrokeTo(next, true);
                ASSERT_EQ(c.Picture, expected) << "mode " << int(mode) << " stroke " << stroke << " move " << move;
                p = next;
            }
        }
    }
}
