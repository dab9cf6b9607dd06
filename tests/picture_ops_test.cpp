#include "engine/coloring_mask.h"
#include "engine/picture_ops.h"
#include "engine/undo_history.h"
#include "canvas_test_util.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// Raw 32-bit values, fourth byte included.
std::vector<QRgb> Raw(const QImage &img)
{
    std::vector<QRgb> out;
    for (int y = 0; y < img.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(img.constScanLine(y));
        out.insert(out.end(), row, row + img.width());
    }
    return out;
}

QImage RandomPicture(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    QRandomGenerator rng(4);
    for (int y = 0; y < h; ++y) {
        auto *row = reinterpret_cast<QRgb *>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = rng.generate();
    }
    return img;
}

} // namespace

TEST(PictureOps, InvertTwiceIsTheIdentityAndKeepsTheFourthByte)
{
    QImage img = RandomPicture(37, 11);
    const std::vector<QRgb> before = Raw(img);
    InvertPixels(img);
    const std::vector<QRgb> once = Raw(img);
    for (std::size_t i = 0; i < before.size(); ++i)
        ASSERT_EQ(once[i], before[i] ^ 0x00FFFFFFu);
    InvertPixels(img);
    EXPECT_EQ(Raw(img), before);
}

TEST(PictureOps, GrayscaleTakesTheTruncatedMeanAndKeepsTheFourthByte)
{
    QImage img(5, 1, QImage::Format_RGB32);
    auto *row = reinterpret_cast<QRgb *>(img.scanLine(0));
    const QRgb in[5] = {0xFFFF0000, 0x12FFFFFE, 0xFF808080, 0xFF000001, 0x00FFFFFF};
    const QRgb out[5] = {0xFF555555, 0x12FEFEFE, 0xFF808080, 0xFF000000, 0x00FFFFFF};
    std::copy(in, in + 5, row);
    GrayscalePixels(img);
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(row[x], out[x]) << x;

    // A picture large enough to be shared out among the threads: every row
    // of every band, the last one's odd rows too.
    QImage big(1031, 1029, QImage::Format_RGB32);
    big.fill(0);
    for (int y = 0; y < big.height(); ++y)
        std::copy(in, in + 5, reinterpret_cast<QRgb *>(big.scanLine(y)) + (y * 7) % 1000);
    GrayscalePixels(big);
    for (int y = 0; y < big.height(); ++y)
        ASSERT_TRUE(std::equal(out, out + 5, reinterpret_cast<const QRgb *>(big.constScanLine(y)) + (y * 7) % 1000))
            << y;
}

TEST(PictureOps, CanvasOperationsRecordAStepMarkModifiedAndRebuildTheMask)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.Picture.setPixel(10, 10, qRgb(255, 0, 0));
    c.SetColoringMode(cmPaintOverColor);
    ASSERT_TRUE(c.Mask->Protected(10, 10));
    c.Modified = false;
    c.InvertPicture();
    EXPECT_EQ(Rgb(c.Picture, 10, 10), 0x00FFFFu);
    EXPECT_EQ(Rgb(c.Picture, 20, 20), 0u);
    EXPECT_TRUE(c.Modified);
    EXPECT_EQ(c.History().UndoList().size(), 1u);
    // Against the inverted picture nothing is white any more.
    EXPECT_TRUE(c.Mask->Protected(20, 20));

    c.Picture.fill(qRgb(255, 255, 254));
    c.Picture.setPixel(6, 6, qRgb(255, 255, 255));
    c.GrayscalePicture();
    EXPECT_EQ(Rgb(c.Picture, 5, 5), 0xFEFEFEu);
    EXPECT_FALSE(c.Mask->Protected(6, 6));
    EXPECT_EQ(c.History().UndoList().size(), 2u);
    c.Undo();
    EXPECT_EQ(Rgb(c.Picture, 5, 5), 0xFFFFFEu);
}

TEST(PictureOps, ClearRecordsNoStepSoUndoSkipsThePictureBeforeIt)
{
    TVelmoraCanvas c;
    LayOut(c);
    c.InvertPicture();
    c.Picture.setPixel(1, 1, qRgb(9, 9, 9));
    c.Clear(MakeColor(255, 255, 0));
    EXPECT_EQ(CountPixels(c.Picture, 0xFFFF00), 800 * 600);
    c.Undo();
    EXPECT_EQ(CountPixels(c.Picture, 0xFFFFFF), 800 * 600);
}
