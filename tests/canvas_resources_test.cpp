#include "canvas/canvas_resources.h"
#include "codecs/jpeg_decode.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryFile>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace {

QByteArray ReadResource(const char *path)
{
    LoadCanvasModuleResources();
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// Encodes Components (1 grey, 3 RGB, 4 CMYK with libjpeg's Adobe marker)
// samples per pixel with libjpeg at top quality, and an APP1 marker with the
// given data when there is one.
template <typename Sample>
QByteArray EncodeJpeg(int width, int height, int components, Sample sample, const QByteArray &app1 = {})
{
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 100, TRUE);
    jpeg_start_compress(&info, TRUE);
    if (!app1.isEmpty())
        jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET *>(app1.constData()),
                          unsigned(app1.size()));
    std::vector<JSAMPLE> row(std::size_t(width * components));
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < components; ++c)
                row[std::size_t(x * components + c)] = JSAMPLE(sample(x, y, c));
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray out(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return out;
}

bool Near(QRgb c, int r, int g, int b, int tolerance)
{
    return std::abs(qRed(c) - r) <= tolerance && std::abs(qGreen(c) - g) <= tolerance
        && std::abs(qBlue(c) - b) <= tolerance;
}

void ExpectDecodeFails(const QByteArray &data)
{
    try {
        DecodeJpeg(data);
        ADD_FAILURE() << "decoding " << data.size() << " bytes did not fail";
    } catch (const std::runtime_error &e) {
        EXPECT_STRNE(e.what(), "");
    }
}

} // namespace

TEST(JpegDecode, ShadowResourceShowsRectangleWithLowerRightShadow)
{
    const QImage img = DecodeJpeg(ReadResource(":/images/img_sblur.jpg"));
    ASSERT_EQ(img.size(), QSize(400, 300));
    EXPECT_EQ(img.format(), QImage::Format_RGB32);
    for (const QPoint corner : {QPoint(0, 0), QPoint(399, 0), QPoint(0, 299), QPoint(399, 299)})
        EXPECT_TRUE(Near(img.pixel(corner), 127, 127, 127, 4)) << corner.x() << "," << corner.y();
    EXPECT_GT(qGray(img.pixel(200, 150)), 240);                 // the rectangle
    EXPECT_TRUE(Near(img.pixel(10, 150), 127, 127, 127, 4));    // left band: no shadow
    EXPECT_TRUE(Near(img.pixel(200, 10), 127, 127, 127, 4));    // top band: no shadow
    EXPECT_LT(qGray(img.pixel(384, 150)), 100);                 // right band
    EXPECT_LT(qGray(img.pixel(200, 284)), 100);                 // bottom band
    EXPECT_EQ(qAlpha(img.pixel(384, 150)), 255);
}

TEST(JpegDecode, GrayscaleAndColourSources)
{
    const QImage gray = DecodeJpeg(EncodeJpeg(32, 16, 1, [](int x, int, int) { return x < 16 ? 40 : 200; }));
    ASSERT_EQ(gray.size(), QSize(32, 16));
    EXPECT_EQ(gray.format(), QImage::Format_RGB32);
    EXPECT_TRUE(Near(gray.pixel(4, 8), 40, 40, 40, 3));
    EXPECT_TRUE(Near(gray.pixel(28, 8), 200, 200, 200, 3));

    const QImage colour = DecodeJpeg(EncodeJpeg(32, 16, 3, [](int x, int, int c) {
        static const int left[3] = {230, 20, 10}, right[3] = {20, 40, 220};
        return x < 16 ? left[c] : right[c];
    }));
    ASSERT_EQ(colour.size(), QSize(32, 16));
    EXPECT_TRUE(Near(colour.pixel(4, 8), 230, 20, 10, 12));
    EXPECT_TRUE(Near(colour.pixel(28, 8), 20, 40, 220, 12));
}

// A phone photo opens upright whatever way the phone was held; a print
// shop's CMYK file, with Adobe's inverted ink, opens in its colours.
TEST(JpegDecode, ExifOrientationTurnsThePictureUprightAndCmykShowsItsInk)
{
    // Quadrants red, blue over green, white as stored, and as each
    // orientation shows them.
    const QRgb r = qRgb(255, 0, 0), b = qRgb(0, 0, 255), g = qRgb(0, 255, 0), w = qRgb(255, 255, 255);
    const QRgb shown[8][4] = {{r, b, g, w}, {b, r, w, g}, {w, g, b, r}, {g, w, r, b},
                              {r, g, b, w}, {g, r, w, b}, {w, b, g, r}, {b, w, r, g}};
    const auto quadrants = [&](int x, int y, int c) {
        return int(shown[0][(y >= 8) * 2 + (x >= 16)] >> (16 - 8 * c) & 0xFF);
    };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        SCOPED_TRACE(orientation);
        // Odd orientations in Motorola byte order, even ones in Intel's.
        const bool big = orientation % 2;
        const QByteArray exif = QByteArray("Exif\0\0", 6) +
                                (big ? QByteArray("MM\0\x2a\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 19)
                                     : QByteArray("II\x2a\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18)) +
                                char(orientation) + QByteArray(big ? 6 : 7, '\0');
        const QImage img = DecodeJpeg(EncodeJpeg(32, 16, 3, quadrants, exif));
        ASSERT_EQ(img.size(), orientation >= 5 ? QSize(16, 32) : QSize(32, 16));
        for (int q = 0; q < 4; ++q) {
            const QRgb e = shown[orientation - 1][q];
            const QPoint centre((q % 2 * 2 + 1) * img.width() / 4, (q / 2 * 2 + 1) * img.height() / 4);
            EXPECT_TRUE(Near(img.pixel(centre), qRed(e), qGreen(e), qBlue(e), 30)) << "quadrant " << q;
        }
    }

    // Full magenta and yellow print red, half black grey.
    const QImage cmyk = DecodeJpeg(EncodeJpeg(16, 8, 4, [](int x, int, int c) {
        const int ink[2][4] = {{0, 255, 255, 0}, {0, 0, 0, 128}};
        return 255 - ink[x >= 8][c];
    }));
    EXPECT_TRUE(Near(cmyk.pixel(3, 4), 255, 0, 0, 6));
    EXPECT_TRUE(Near(cmyk.pixel(12, 4), 127, 127, 127, 6));
}

TEST(JpegDecode, BadDataThrowsInsteadOfExitingOrReturningFiller)
{
    const QByteArray good = ReadResource(":/images/img_sblur.jpg");
    ASSERT_GT(good.size(), 1000);

    ExpectDecodeFails(QByteArray());
    ExpectDecodeFails(QByteArray("not a jpeg at all, just some text"));
    ExpectDecodeFails(good.left(2));                  // SOI only
    ExpectDecodeFails(good.left(good.size() / 2));    // image data cut off
    ExpectDecodeFails(good.left(good.size() - 2));    // only EOI missing

    QByteArray scrambled = good;
    for (qsizetype i = scrambled.size() / 3; i < scrambled.size() / 3 + 64; ++i)
        scrambled[i] = char(0xFF ^ (i * 37));
    ExpectDecodeFails(scrambled);

    EXPECT_THROW(DecodeJpeg(nullptr, 100), std::runtime_error);
    // The decoder stays usable after failures.
    EXPECT_EQ(DecodeJpeg(good).size(), QSize(400, 300));
}

class ShadowImageTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        SetShadowResourcePathForTesting(QString());
        FreeShadowImage();
    }
};

TEST_F(ShadowImageTest, CorruptResourceIsSwallowedAndRetried)
{
    QByteArray corrupt = ReadResource(":/images/img_sblur.jpg");
    corrupt.truncate(corrupt.size() / 2);
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    file.write(corrupt);
    file.close();

    FreeShadowImage();
    SetShadowResourcePathForTesting(file.fileName());
    EXPECT_FALSE(LoadShadowImage());
    EXPECT_EQ(ShadowImage(), nullptr);
    EXPECT_FALSE(LoadShadowImage());
    EXPECT_EQ(ShadowImage(), nullptr);

    SetShadowResourcePathForTesting(file.fileName() + ".missing");
    EXPECT_FALSE(LoadShadowImage());

    SetShadowResourcePathForTesting(QString());
    ASSERT_TRUE(LoadShadowImage());
    const QImage *loaded = ShadowImage();
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->size(), QSize(400, 300));
    EXPECT_EQ(loaded->format(), QImage::Format_RGB32);

    // Loaded once: a broken path no longer matters until the image is freed.
    SetShadowResourcePathForTesting(file.fileName());
    EXPECT_TRUE(LoadShadowImage());
    EXPECT_EQ(ShadowImage(), loaded);
    FreeShadowImage();
    EXPECT_EQ(ShadowImage(), nullptr);
    EXPECT_FALSE(LoadShadowImage());
}

TEST(CenterIcons, ShapesAroundTheMarkedPixel)
{
    LoadCanvasModuleResources();
    const QRgb on = 0xFFFFFFFFu, off = 0xFF000000u;
    for (int i = 0; i <= 3; ++i)
        ASSERT_EQ(CenterIcon(i).size(), QSize(32, 32)) << i;

    const QImage &master = CenterIcon(ciMaster);
    for (const QPoint p : {QPoint(17, 12), QPoint(7, 12), QPoint(12, 7), QPoint(12, 17), QPoint(12, 12),
                           QPoint(12, 5), QPoint(19, 12), QPoint(18, 17), QPoint(19, 18), QPoint(20, 19)})
        EXPECT_EQ(master.pixel(p), on) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(12, 4), QPoint(14, 12), QPoint(21, 18), QPoint(24, 18), QPoint(0, 0)})
        EXPECT_EQ(master.pixel(p), off) << p.x() << "," << p.y();

    for (int i : {ciSecondary, ciMirrorSecond}) {
        EXPECT_EQ(CenterIcon(i).pixel(19, 18), on) << i;
        EXPECT_EQ(CenterIcon(i).pixel(24, 18), on) << i;
        EXPECT_EQ(CenterIcon(i).pixel(22, 18), off) << i;
    }

    const QImage &plus = CenterIcon(ciPictureMiddle);
    for (const QPoint p : {QPoint(8, 12), QPoint(16, 12), QPoint(12, 8), QPoint(12, 16), QPoint(12, 12)})
        EXPECT_EQ(plus.pixel(p), on) << p.x() << "," << p.y();
    for (const QPoint p : {QPoint(7, 12), QPoint(17, 12), QPoint(13, 13)})
        EXPECT_EQ(plus.pixel(p), off) << p.x() << "," << p.y();

    const QImage &copy = CenterIcon(ciSecondCopy);
    ASSERT_EQ(copy.size(), QSize(32, 32));
    EXPECT_EQ(copy.pixel(17, 12), qRgba(192, 192, 192, 255));
    EXPECT_EQ(qAlpha(copy.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(copy.pixel(19, 18)), 0);

    EXPECT_TRUE(CenterIcon(-1).isNull());
    EXPECT_TRUE(CenterIcon(CenterIconCount).isNull());
}

TEST(CenterIcons, InversionIconsInvertOnlyTheShapeAndUndoThemselves)
{
    LoadCanvasModuleResources();
    QImage canvas(48, 40, QImage::Format_RGB32);
    canvas.fill(qRgb(10, 200, 30));
    {
        QPainter p(&canvas);
        p.fillRect(24, 0, 24, 40, QColor(250, 40, 90));
    }
    const QImage original = canvas.copy();
    const QPoint at(-4, 6);  // partly outside the target, as near a canvas edge
    const QImage &mask = CenterIcon(ciMaster);

    {
        QPainter p(&canvas);
        DrawCenterIcon(p, ciMaster, at);
    }
    int inverted = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const QPoint m = QPoint(x, y) - at;
            const bool shape = mask.rect().contains(m) && mask.pixel(m) == 0xFFFFFFFFu;
            const QRgb expected = shape ? (original.pixel(x, y) ^ 0x00FFFFFFu) : original.pixel(x, y);
            ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
            inverted += shape;
        }
    EXPECT_GT(inverted, 30);

    {
        QPainter p(&canvas);
        DrawCenterIcon(p, ciMaster, at);
    }
    EXPECT_EQ(canvas, original);
}

TEST(CenterIcons, ShadowIconIsOpaqueGreyAndNullIconsDrawNothing)
{
    LoadCanvasModuleResources();
    QImage canvas(32, 32, QImage::Format_RGB32);
    canvas.fill(qRgb(0, 0, 255));
    {
        QPainter p(&canvas);
        DrawCenterIcon(p, ciSecondCopy, QPoint(0, 0));
        DrawCenterIcon(p, 99, QPoint(0, 0));
    }
    EXPECT_EQ(canvas.pixel(17, 12), qRgb(192, 192, 192));
    EXPECT_EQ(canvas.pixel(12, 5), qRgb(192, 192, 192));
    EXPECT_EQ(canvas.pixel(14, 12), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 0, 255));
}

TEST(CanvasCursors, EveryToolIdHasItsOwnPictureWithTheHotSpotOnTheShape)
{
    LoadCanvasModuleResources();
    for (int id = crSharp; id <= crSetPoint; ++id) {
        const QCursor cursor = CanvasCursor(id);
        ASSERT_EQ(cursor.shape(), Qt::BitmapCursor) << id;
        const QImage picture = cursor.pixmap().toImage();
        ASSERT_EQ(picture.size(), QSize(32, 32)) << id;
        EXPECT_EQ(picture.pixel(cursor.hotSpot()), qRgba(0, 0, 0, 255)) << id;
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << id;
        for (int other = crSharp; other < id; ++other)
            EXPECT_NE(picture, CanvasCursor(other).pixmap().toImage()) << id << " " << other;
    }
    EXPECT_EQ(CanvasCursor(crDefault).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CanvasCursor(7).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CanvasCursor(-1).shape(), Qt::ArrowCursor);
}

TEST(FormPictures, PaletteSpectrumAndGreyRamp)
{
    LoadCanvasModuleResources();
    const QImage palette(QStringLiteral(":/images/palette.png"));
    ASSERT_EQ(palette.size(), QSize(198, 40));
    EXPECT_FALSE(palette.hasAlphaChannel());

    for (int x = 0; x <= 11; ++x)
        EXPECT_EQ(palette.pixel(x, 35) & 0xFFFFFF, 0xFFFFFFu) << x;
    for (int x = 187; x <= 197; ++x)
        EXPECT_EQ(palette.pixel(x, 35) & 0xFFFFFF, 0u) << x;
    for (int x = 1; x < 198; ++x)
        ASSERT_LE(qGray(palette.pixel(x, 35)), qGray(palette.pixel(x - 1, 35))) << x;

    for (const int x : {0, 197}) {
        const QRgb red = palette.pixel(x, 15);
        EXPECT_GT(qRed(red), 200) << x;
        EXPECT_LT(qGreen(red), 60) << x;
        EXPECT_LT(qBlue(red), 60) << x;
    }
    const QRgb green = palette.pixel(66, 15), blue = palette.pixel(132, 15);
    EXPECT_GT(qGreen(green), 200);
    EXPECT_LT(qRed(green) + qBlue(green), 120);
    EXPECT_GT(qBlue(blue), 200);
    EXPECT_LT(qRed(blue) + qGreen(blue), 120);
    for (int x = 0; x < 198; x += 11) {
        EXPECT_GT(qGray(palette.pixel(x, 0)), qGray(palette.pixel(x, 15))) << x;   // pale tint
        EXPECT_LT(qGray(palette.pixel(x, 29)), qGray(palette.pixel(x, 15))) << x;  // dark shade
    }
}

TEST(FormPictures, EveryGlyphResourceLoadsAtItsButtonSize)
{
    LoadCanvasModuleResources();
    const char *const glyphs16[] = {
        "tools/move", "tools/brush", "tools/eraser", "tools/eyedrop", "tools/paint_bucket",
        "reflections/none", "reflections/primary", "reflections/mirror_primary", "reflections/secondary",
        "reflections/vertical", "reflections/horizontal", "coloring/protect_color",
        "coloring/paint_over_color", "coloring/auto_mask", "brush_size/brush_1", "brush_size/brush_3",
        "brush_size/brush_7", "brush_size/brush_13", "brush_size/brush_21",
    };
    for (const char *name : glyphs16) {
        const QImage glyph(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(name)));
        EXPECT_EQ(glyph.size(), QSize(16, 16)) << name;
        EXPECT_TRUE(glyph.hasAlphaChannel()) << name;
    }
    for (const char *name : {"palette/black_and_white", "palette/exchange"})
        EXPECT_EQ(QImage(QStringLiteral(":/glyphs/%1.png").arg(QLatin1String(name))).size(), QSize(12, 12)) << name;

    const QImage one(QStringLiteral(":/glyphs/brush_size/brush_1.png"));
    int opaque = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            opaque += qAlpha(one.pixel(x, y)) != 0;
    EXPECT_EQ(opaque, 1);
}
