#include "codecs/bmp_codec.h"
#include "codecs/gif_codec.h"
#include "codecs/image_alpha.h"
#include "codecs/image_file_io.h"
#include "codecs/jpeg_codec.h"
#include "codecs/jpeg_decode.h"
#include "codecs/png_codec.h"
#include "codecs/webp_codec.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gif_lib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>

namespace {

QImage Noise(int w, int h, unsigned seed, int colours = 0)
{
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const unsigned v = colours ? (rng() % unsigned(colours)) * 0x0A1B2Fu : rng();
            img.setPixel(x, y, 0xFF000000u | (v & 0xFFFFFF));
        }
    return img;
}

bool SamePixels(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
                return false;
    return true;
}

std::uint32_t Le32(const std::vector<std::uint8_t> &b, std::size_t at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

int Le16(const std::vector<std::uint8_t> &b, std::size_t at)
{
    return b[at] | b[at + 1] << 8;
}

int WriteBytes(GifFileType *gif, const GifByteType *data, int length)
{
    auto *out = static_cast<std::vector<std::uint8_t> *>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// A GIF as other programs write them: a screen, a global palette, and frames
// that may be smaller than the screen, interlaced, or carry a local palette.
struct TGifFrame {
    QRect Box;
    std::vector<GifByteType> Pixels; // row by row, Box.width() per row
    bool Interlace = false;
    std::vector<GifColorType> LocalColors;
};

std::vector<std::uint8_t> MakeGif(QSize screen, const std::vector<GifColorType> &global, int background,
                                  const std::vector<TGifFrame> &frames)
{
    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, WriteBytes, &error);
    ColorMapObject *globalMap = GifMakeMapObject(int(global.size()), global.data());
    EGifPutScreenDesc(gif, screen.width(), screen.height(), globalMap->BitsPerPixel, background, globalMap);
    for (const TGifFrame &f : frames) {
        ColorMapObject *local =
            f.LocalColors.empty() ? nullptr : GifMakeMapObject(int(f.LocalColors.size()), f.LocalColors.data());
        EGifPutImageDesc(gif, f.Box.x(), f.Box.y(), f.Box.width(), f.Box.height(), f.Interlace, local);
        const int w = f.Box.width(), h = f.Box.height();
        // An interlaced frame is stored in pass order.
        std::vector<int> order;
        if (f.Interlace) {
            for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
                for (int y = start; y < h; y += step)
                    order.push_back(y);
        } else {
            for (int y = 0; y < h; ++y)
                order.push_back(y);
        }
        for (int y : order)
            EGifPutLine(gif, const_cast<GifByteType *>(f.Pixels.data() + std::size_t(y) * std::size_t(w)), w);
        if (local)
            GifFreeMapObject(local);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(globalMap);
    return out;
}

const std::vector<GifColorType> FourColours{{255, 255, 255}, {255, 0, 0}, {0, 128, 0}, {0, 0, 255}};

// The mean difference of each channel, at most 255.
int MeanChannelError(const QImage &a, const QImage &b, int shift)
{
    long error = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            error += std::abs(int(a.pixel(x, y) >> shift & 0xFF) - int(b.pixel(x, y) >> shift & 0xFF));
    return int(error / (a.width() * a.height()));
}

} // namespace

TEST(ImageCodecs, EveryFormatRoundTripsTinyAndNoisyPicturesExactly)
{
    QTemporaryDir dir;
    for (const QImage &img : {Noise(1, 1, 1), Noise(3, 2, 2), Noise(97, 61, 3)}) {
        SCOPED_TRACE(img.width());
        const QString png = dir.filePath("a.png"), bmp = dir.filePath("a.bmp");
        SavePngFile(img, png);
        EXPECT_TRUE(SamePixels(LoadPngFile(png), img));
        SaveBmpFile(img, bmp);
        EXPECT_TRUE(SamePixels(LoadBmpFile(bmp), img));
        const std::vector<std::uint8_t> webp = EncodeWebp(img);
        EXPECT_TRUE(SamePixels(DecodeWebp(webp.data(), webp.size()), img));
    }
    // GIF keeps pictures of up to 256 colours exactly, whatever the colours:
    // a reduction to five bits per channel would shift these.
    for (const QImage &img : {Noise(1, 1, 4, 1), Noise(3, 2, 5, 5), Noise(120, 80, 6, 12), Noise(64, 64, 7, 256)}) {
        SCOPED_TRACE(img.width());
        const QString gif = dir.filePath("a.gif");
        SaveGifFile(img, gif);
        EXPECT_TRUE(SamePixels(LoadGifFile(gif), img));
    }
}

TEST(ImageCodecs, JpegKeepsPhotographsCloseAndThinColouredLinesInTheirColour)
{
    const auto roundTrip = [](const QImage &img) {
        const std::vector<std::uint8_t> jpeg = EncodeJpeg(img);
        return DecodeJpeg(jpeg.data(), jpeg.size());
    };
    QImage photo(160, 120, QImage::Format_RGB32);
    std::mt19937 rng(14);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb(int(127 + 100 * std::sin(x / 9.0) * std::cos(y / 13.0)), x * 255 / 160,
                                      int(y * 2 + rng() % 8)));
    const QImage back = roundTrip(photo);
    for (const int shift : {0, 8, 16})
        EXPECT_LE(MeanChannelError(photo, back, shift), 3) << "channel at bit " << shift;

    QImage line(64, 32, QImage::Format_RGB32);
    line.fill(Qt::white);
    QPainter(&line).fillRect(0, 13, 64, 1, Qt::red);
    const QRgb red = roundTrip(line).pixel(30, 13);
    EXPECT_TRUE(qRed(red) > 200 && qGreen(red) < 80 && qBlue(red) < 80) << std::hex << red;
}

// Pillow's files: blue at half alpha beside transparent pixels, and an
// animation of a red frame and a blue one.
TEST(ImageCodecs, WebpKeepsAlphaAndOpensTheFirstFrameOfAnAnimation)
{
    const QImage alpha = LoadWebpFile(VELMORA_FUZZ_CORPUS "/webp/pil_alpha.webp");
    EXPECT_EQ(alpha.format(), QImage::Format_ARGB32);
    EXPECT_EQ(OverWhite(alpha).pixel(2, 1), qRgb(127, 127, 255));
    EXPECT_EQ(LoadWebpFile(VELMORA_FUZZ_CORPUS "/webp/pil_animated.webp").pixel(4, 2), qRgb(255, 0, 0));
}

TEST(ImageCodecs, ManyColoursAreReducedToOneFrameOf256)
{
    const QImage img = Noise(64, 48, 8);
    ASSERT_TRUE(DistinctColors(img, 256).empty());
    const std::vector<std::uint8_t> gif = EncodeGif(img);
    const QImage back = DecodeGif(gif.data(), gif.size());
    EXPECT_EQ(back.size(), img.size());
    EXPECT_LE(DistinctColors(back, 256).size(), 256u);
    EXPECT_FALSE(DistinctColors(back, 256).empty());
    // Close to the original: the mean error of each channel stays small.
    for (const int shift : {0, 8, 16})
        EXPECT_LE(MeanChannelError(img, back, shift), 16) << "channel at bit " << shift;
}

TEST(ImageCodecs, BmpFileIsA32BitBottomUpDibWithTheShortHeader)
{
    QImage img(3, 2, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(1, 2, 3));
    img.setPixel(2, 1, qRgb(10, 20, 30));
    const std::vector<std::uint8_t> b = EncodeBmp(img);
    ASSERT_EQ(b.size(), 54u + 3 * 2 * 4);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size());
    EXPECT_EQ(Le32(b, 10), 54u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), 3u);
    EXPECT_EQ(Le32(b, 22), 2u); // positive height: bottom-up
    EXPECT_EQ(Le16(b, 26), 1);
    EXPECT_EQ(Le16(b, 28), 32);
    EXPECT_EQ(Le32(b, 30), 0u); // BI_RGB
    EXPECT_EQ(Le32(b, 34), 24u);
    // The last picture row comes first; each pixel is B, G, R, fourth byte.
    EXPECT_EQ(b[54 + 8], 30);
    EXPECT_EQ(b[54 + 9], 20);
    EXPECT_EQ(b[54 + 10], 10);
    EXPECT_EQ(b[54 + 12], 3);
    EXPECT_EQ(b[54 + 14], 1);
}

TEST(ImageCodecs, GifOpensItsFirstFrameOnTheBackgroundAtItsOffset)
{
    TGifFrame first{QRect(2, 1, 3, 2), {1, 2, 3, 3, 2, 1}, false, {}};
    TGifFrame second{QRect(0, 0, 6, 4), std::vector<GifByteType>(24, 3), false, {}};
    const std::vector<std::uint8_t> gif = MakeGif(QSize(6, 4), FourColours, 2, {first, second});
    const QImage img = DecodeGif(gif.data(), gif.size());
    ASSERT_EQ(img.size(), QSize(6, 4));
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0x008000u); // background entry 2
    EXPECT_EQ(img.pixel(2, 1) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(4, 2) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(img.pixel(2, 2) & 0xFFFFFF, 0x0000FFu);
    EXPECT_EQ(img.pixel(5, 3) & 0xFFFFFF, 0x008000u);

    // Saving the opened picture writes a single frame.
    const std::vector<std::uint8_t> saved = EncodeGif(img);
    int error = 0;
    struct TReader {
        const std::vector<std::uint8_t> *Bytes;
        std::size_t Pos;
    } reader{&saved, 0};
    GifFileType *file = DGifOpen(&reader, [](GifFileType *g, GifByteType *buf, int n) {
        auto *r = static_cast<TReader *>(g->UserData);
        const int k = int(std::min<std::size_t>(std::size_t(n), r->Bytes->size() - r->Pos));
        std::memcpy(buf, r->Bytes->data() + r->Pos, std::size_t(k));
        r->Pos += std::size_t(k);
        return k;
    }, &error);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(DGifSlurp(file), GIF_OK);
    EXPECT_EQ(file->ImageCount, 1);
    DGifCloseFile(file, &error);
}

TEST(ImageCodecs, GifInterlacedFramesAndLocalPalettesAreHonoured)
{
    TGifFrame frame{QRect(0, 0, 2, 10), {}, true, {{0, 0, 0}, {9, 8, 7}}};
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 2; ++x)
            frame.Pixels.push_back(GifByteType(y % 2));
    const std::vector<std::uint8_t> gif = MakeGif(QSize(2, 10), FourColours, 0, {frame});
    const QImage img = DecodeGif(gif.data(), gif.size());
    for (int y = 0; y < 10; ++y)
        EXPECT_EQ(img.pixel(1, y) & 0xFFFFFF, y % 2 ? 0x090807u : 0u) << y;
}

TEST(ImageCodecs, WrongTruncatedOrHugeDataIsRefusedWithAReason)
{
    const QImage img = Noise(30, 20, 10, 20);
    QTemporaryDir dir;
    SavePngFile(img, dir.filePath("a.png"));
    const std::vector<std::uint8_t> png = ReadFileBytes(dir.filePath("a.png"));
    const std::vector<std::uint8_t> gif = EncodeGif(img);
    const std::vector<std::uint8_t> bmp = EncodeBmp(img);
    const std::vector<std::uint8_t> webp = EncodeWebp(img);

    // A file opened with another format's codec.
    EXPECT_THROW(DecodeGif(png.data(), png.size()), std::runtime_error);
    EXPECT_THROW(DecodeBmp(png.data(), png.size()), std::runtime_error);
    EXPECT_THROW(DecodePng(gif.data(), gif.size()), std::runtime_error);
    EXPECT_THROW(DecodeWebp(png.data(), png.size()), std::runtime_error);
    // Truncated files are errors, never a half-grey picture.
    EXPECT_THROW(DecodePng(png.data(), png.size() / 2), std::runtime_error);
    EXPECT_THROW(DecodeGif(gif.data(), gif.size() / 2), std::runtime_error);
    EXPECT_THROW(DecodeBmp(bmp.data(), bmp.size() / 2), std::runtime_error);
    EXPECT_THROW(DecodeWebp(webp.data(), webp.size() / 2), std::runtime_error);

    // Headers of 2^15 x 2^15 pixels are refused before any pixel exists.
    std::vector<std::uint8_t> bigGif = MakeGif(QSize(32768, 32768), FourColours, 0,
                                               {TGifFrame{QRect(0, 0, 1, 1), {1}, false, {}}});
    EXPECT_THROW(DecodeGif(bigGif.data(), bigGif.size()), std::runtime_error);
    std::vector<std::uint8_t> bigBmp = bmp;
    bigBmp[18] = bigBmp[22] = 0;
    bigBmp[19] = bigBmp[23] = 0x80; // 32768
    bigBmp[20] = bigBmp[24] = bigBmp[21] = bigBmp[25] = 0;
    try {
        DecodeBmp(bigBmp.data(), bigBmp.size());
        ADD_FAILURE() << "a 32768 x 32768 BMP was opened";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }

    try {
        LoadGifFile(dir.filePath("a.png"));
        ADD_FAILURE() << "a PNG file was opened as GIF";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(std::string(e.what()).find("a.png"), std::string::npos) << e.what();
    }
}

TEST(ImageCodecs, AFailedWriteLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.png");
    SavePngFile(Noise(5, 5, 11), path);
    const std::vector<std::uint8_t> before = ReadFileBytes(path);

    // A disk that fills up during the write.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_THROW(SaveBmpFile(Noise(300, 300, 12), path), std::runtime_error);
    EXPECT_THROW(SavePngFile(Noise(300, 300, 12), path), std::runtime_error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(ReadFileBytes(path), before);

    // A folder that does not exist.
    EXPECT_THROW(SaveGifFile(Noise(5, 5, 13), dir.filePath("missing/a.gif")), std::runtime_error);
}

TEST(ImageCodecs, GifLeavesPixelsBelowHalfOpacityTransparentBothWays)
{
    QImage img(4, 2, QImage::Format_ARGB32);
    img.fill(0xFF102030u);
    img.setPixel(0, 0, 0x00FF0000u);
    img.setPixel(1, 0, 0x7F00FF00u);
    img.setPixel(2, 0, 0x80000000u);
    const std::vector<std::uint8_t> gif = EncodeGif(img);
    EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
    const QImage back = DecodeGif(gif.data(), gif.size());
    ASSERT_EQ(back.format(), QImage::Format_ARGB32);
    EXPECT_EQ(back.pixel(0, 0) | back.pixel(1, 0), 0u);
    EXPECT_EQ(back.pixel(2, 0), 0xFF7F7F7Fu); // over white
    EXPECT_EQ(back.pixel(3, 1), 0xFF102030u);

    // With more colours than the palette holds, one entry stays free.
    QImage many = Noise(64, 48, 14).convertToFormat(QImage::Format_ARGB32);
    many.setPixel(5, 7, 0);
    const std::vector<std::uint8_t> reduced = EncodeGif(many);
    const QImage manyBack = DecodeGif(reduced.data(), reduced.size());
    EXPECT_EQ(qAlpha(manyBack.pixel(5, 7)), 0);
    EXPECT_EQ(qAlpha(manyBack.pixel(6, 7)), 255);

    // ImageMagick's GIF with a transparent index, as Pillow reads it.
    const std::vector<std::uint8_t> im = ReadFileBytes(VELMORA_FUZZ_CORPUS "/gif/im_transparent.gif");
    const QImage foreign = DecodeGif(im.data(), im.size());
    const auto *pixels = reinterpret_cast<const QRgb *>(foreign.constBits());
    EXPECT_EQ(std::count(pixels, pixels + foreign.sizeInBytes() / 4, 0u), 27);
}

TEST(ImageCodecs, BmpTakesATransparentPictureOverWhiteAndGifAndBmpAnOpaqueOneAsBefore)
{
    QImage img(2, 1, QImage::Format_ARGB32);
    img.setPixel(0, 0, 0x80000000u);
    img.setPixel(1, 0, 0xFF102030u);
    const std::vector<std::uint8_t> bmp = EncodeBmp(img);
    const QImage back = DecodeBmp(bmp.data(), bmp.size());
    EXPECT_EQ(back.pixel(0, 0), 0xFF7F7F7Fu);
    EXPECT_EQ(back.pixel(1, 0), 0xFF102030u);

    const QImage opaque = Noise(9, 7, 15, 5);
    EXPECT_EQ(EncodeBmp(opaque.convertToFormat(QImage::Format_ARGB32)), EncodeBmp(opaque));
    EXPECT_EQ(EncodeGif(opaque.convertToFormat(QImage::Format_ARGB32)), EncodeGif(opaque));
}
