#include "codecs/image_alpha.h"
#include "codecs/image_file_io.h"
#include "codecs/png_codec.h"
#include "image_test_util.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <random>
#include <stdexcept>
#include <string>
#include <tuple>

namespace {

using Bytes = std::vector<std::uint8_t>;

// QImage's == compares Format_RGB32 pictures on red, green and blue only.
std::uint32_t Rgb(const QImage &img, int x) { return img.pixel(x, 0) & 0xFFFFFF; }

// A PNG of any colour type and depth from packed rows: decoder input that the
// program itself never writes.
struct RawPng {
    int width, height, colorType, bitDepth;
    std::vector<Bytes> rows;
    std::vector<png_color> palette = {};
    Bytes paletteAlpha = {};
    bool interlaced = false;
};

bool WriteRaw(RawPng &raw, png_structp png, png_infop info, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, raw.width, raw.height, raw.bitDepth, raw.colorType,
                 raw.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    if (!raw.palette.empty())
        png_set_PLTE(png, info, raw.palette.data(), int(raw.palette.size()));
    if (!raw.paletteAlpha.empty())
        png_set_tRNS(png, info, raw.paletteAlpha.data(), int(raw.paletteAlpha.size()), nullptr);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

QImage DecodeRaw(RawPng raw)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, [](png_structp p, png_bytep d, std::size_t n) {
        auto *o = static_cast<Bytes *>(png_get_io_ptr(p));
        o->insert(o->end(), d, d + n);
    }, nullptr);
    std::vector<png_bytep> rows;
    for (auto &r : raw.rows)
        rows.push_back(r.data());
    const bool ok = WriteRaw(raw, png, info, rows.data());
    png_destroy_write_struct(&png, &info);
    EXPECT_TRUE(ok);
    return DecodePng(out.data(), out.size());
}

TEST(PngCodec, RoundTripIsExactAtOddAndTinySizes)
{
    // The last is large enough for the memory of large pictures. A picture
    // with transparency comes back with every bit, colour under alpha 0 too.
    for (const QSize size :
         {QSize(1, 1), QSize(2, 3), QSize(33, 1), QSize(1, 29), QSize(257, 13), QSize(1001, 600)}) {
        const QImage img = RandomImage(size.width(), size.height(), unsigned(size.width() * 1000 + size.height()));
        QImage argb = img.copy();
        argb.reinterpretAsFormat(QImage::Format_ARGB32);
        argb.setPixel(0, 0, 0x00123456u);
        const PngSettings fast{2, PNG_FILTER_NONE, Z_DEFAULT_STRATEGY, 6};
        for (const PngSettings &s : {fast, DefaultPngSettings()}) {
            for (const QImage &pic : {img, argb}) {
                const Bytes png = EncodePng(pic, s);
                const QImage back = DecodePng(png.data(), png.size());
                EXPECT_EQ(back.format(), pic.format());
                EXPECT_EQ(pic, back) << size.width() << "x" << size.height();
            }
        }
    }
    EXPECT_THROW(EncodePng(QImage()), std::runtime_error);
}

TEST(PngCodec, FilesArePlainRgb8WithOnlyTheMandatoryChunks)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("chunks.png");
    SavePngFile(RandomImage(40, 30, 9), path);
    ExpectPlainRgb8Png(ReadFileBytes(path), 40, 30);
    // Opaque in any format, the picture gives the same file.
    EXPECT_EQ(EncodePng(RandomImage(40, 30, 9).convertToFormat(QImage::Format_ARGB32)), ReadFileBytes(path));
    QImage argb = RandomImage(40, 30, 9).convertToFormat(QImage::Format_ARGB32);
    argb.setPixel(3, 4, 0x80FFFFFFu);
    const Bytes rgba = EncodePng(argb);
    EXPECT_EQ(rgba[25], PNG_COLOR_TYPE_RGB_ALPHA);
    EXPECT_EQ(PngChunkTypes(rgba), "IHDR IDAT IEND ");
}

TEST(PngDecode, EveryColourTypeAndDepthBecomesRgb32)
{
    RawPng pal{4, 1, PNG_COLOR_TYPE_PALETTE, 2, {{0b00011011}}};
    pal.palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
    const QImage p = DecodeRaw(pal);
    EXPECT_EQ(p.format(), QImage::Format_RGB32);
    EXPECT_EQ(Rgb(p, 0), 0xFF0000u);
    EXPECT_EQ(Rgb(p, 1), 0x00FF00u);
    EXPECT_EQ(Rgb(p, 3), 0x0A141Eu);

    const QImage g1 = DecodeRaw({3, 1, PNG_COLOR_TYPE_GRAY, 1, {{0b10100000}}});
    EXPECT_EQ(Rgb(g1, 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(g1, 1), 0x000000u);
    EXPECT_EQ(Rgb(DecodeRaw({2, 1, PNG_COLOR_TYPE_GRAY, 4, {{0x3F}}}), 0), 0x333333u); // 3 * 17
    EXPECT_EQ(Rgb(DecodeRaw({1, 1, PNG_COLOR_TYPE_GRAY, 16, {{0x80, 0x80}}}), 0), 0x808080u);
    EXPECT_EQ(Rgb(DecodeRaw({1, 1, PNG_COLOR_TYPE_RGB, 16, {{0xFF, 0xFF, 1, 1, 0, 0}}}), 0), 0xFF0100u);

    const QImage img = RandomImage(19, 11, 3);
    RawPng adam7{19, 11, PNG_COLOR_TYPE_RGB, 8, {}};
    adam7.interlaced = true;
    for (int y = 0; y < 11; ++y) {
        adam7.rows.emplace_back();
        for (int x = 0; x < 19; ++x)
            for (const int v : {qRed(img.pixel(x, y)), qGreen(img.pixel(x, y)), qBlue(img.pixel(x, y))})
                adam7.rows.back().push_back(std::uint8_t(v));
    }
    EXPECT_EQ(img, DecodeRaw(adam7));
}

TEST(PngDecode, TransparencyIsKeptAndTakesWhiteAsBefore)
{
    const QImage rgba = DecodeRaw({3, 1, PNG_COLOR_TYPE_RGBA, 8, {{0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 128}}});
    EXPECT_EQ(rgba.format(), QImage::Format_ARGB32);
    EXPECT_EQ(rgba.pixel(1, 0), 0x00000000u);
    EXPECT_EQ(rgba.pixel(2, 0), 0x80000000u);
    const QImage white = OverWhite(rgba);
    EXPECT_EQ(white.pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(white.pixel(1, 0), 0xFFFFFFFFu);
    EXPECT_EQ(white.pixel(2, 0), 0xFF7F7F7Fu);
    EXPECT_EQ(Rgb(OverWhite(DecodeRaw({1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {{0, 0, 0, 0}}})), 0), 0xFFFFFFu);

    RawPng pal{2, 1, PNG_COLOR_TYPE_PALETTE, 8, {{0, 1}}};
    pal.palette = {{0, 0, 255}, {0, 0, 255}};
    pal.paletteAlpha = {0};
    const QImage p = DecodeRaw(pal);
    EXPECT_EQ(p.pixel(0, 0), 0x000000FFu); // the colour stays under alpha 0
    EXPECT_EQ(Rgb(OverWhite(p), 0), 0xFFFFFFu);
    EXPECT_EQ(Rgb(OverWhite(p), 1), 0x0000FFu);

    // An alpha channel that is opaque everywhere gives an opaque picture.
    EXPECT_EQ(DecodeRaw({1, 1, PNG_COLOR_TYPE_RGBA, 8, {{1, 2, 3, 255}}}).format(), QImage::Format_RGB32);
}

// PngSuite's alpha kinds, written by other programs: Pillow 9.4 (pil_*) and
// ImageMagick 6.9 (im_*). The expected pixels are Pillow's own RGBA decoding
// of the same files, a few per file (0xAARRGGBB).
TEST(PngDecode, AlphaFilesOfOtherWritersDecodeAsPillowDecodesThem)
{
    struct File {
        const char *name; // under the PNG fuzz corpus
        std::vector<std::tuple<int, int, QRgb>> probes;
    };
    const File files[] = {
        {"pil_la8.png", {{0, 0, 0x00070707u}, {1, 0, 0x1E303030u}, {3, 0, 0xFF828282u}, {7, 5, 0xFF676767u}}},
        {"im_la16.png", {{0, 0, 0x00000000u}, {1, 0, 0x1E1D1D1Du}, {3, 0, 0xFF575757u}, {7, 5, 0x00EEEEEEu}}},
        {"pil_rgba8.png", {{0, 0, 0x00000000u}, {1, 0, 0x40250D5Bu}, {4, 0, 0xFF94346Cu}, {7, 5, 0x013ABE96u}}},
        {"im_rgba16.png", {{0, 0, 0x00000000u}, {1, 0, 0x40250D5Bu}, {4, 0, 0xFF94346Cu}, {7, 5, 0x013ABE96u}}},
        {"pil_palette_trns.png", {{2, 5, 0x002EDA54u}, {0, 0, 0xFF2E240Eu}, {11, 7, 0xFFB9ED91u}}},
        {"im_alpha.png", {{0, 0, 0x00000000u}, {2, 1, 0x800080FFu}, {9, 5, 0x00000000u}}},
        {"pil_grey_trns.png", {{2, 0, 0x00646464u}, {0, 0, 0xFF000000u}, {7, 5, 0xFF000000u}}},
        {"pil_rgb_trns.png", {{3, 0, 0x0000C80Au}, {0, 0, 0xFFFF0000u}, {7, 5, 0xFF010203u}}},
    };
    for (const File &f : files) {
        const QImage img = LoadPngFile(QStringLiteral(VELMORA_FUZZ_CORPUS "/png/") + f.name);
        EXPECT_EQ(img.format(), QImage::Format_ARGB32) << f.name;
        for (const auto &[x, y, argb] : f.probes)
            EXPECT_EQ(img.pixel(x, y), argb) << f.name << " at " << x << ", " << y;
    }
}

TEST(PngDecode, BadDataThrowsWithoutCrashing)
{
    const Bytes good = EncodePng(RandomImage(40, 30, 5));
    for (std::size_t n = 0; n < good.size(); n += 1 + n / 4)
        EXPECT_THROW(DecodePng(good.data(), n), std::runtime_error) << "truncated to " << n;
    EXPECT_THROW(DecodePng(good.data(), good.size() - 1), std::runtime_error);
    EXPECT_THROW(DecodePng(nullptr, 0), std::runtime_error);

    // Random damage must end in a picture or an exception, never a crash.
    std::mt19937 rng(11);
    for (int i = 0; i < 300; ++i) {
        Bytes bad = good;
        for (int k = 0; k < 3; ++k)
            bad[8 + rng() % (bad.size() - 8)] = std::uint8_t(rng());
        try {
            DecodePng(bad.data(), bad.size());
        } catch (const std::runtime_error &) {
        }
    }

    // A header of 100000 x 100000 pixels is refused before allocating.
    Bytes png = EncodePng(RandomImage(1, 1, 0));
    for (const int at : {16, 20}) // width, height
        png[at + 1] = 0x01, png[at + 2] = 0x86, png[at + 3] = 0xA0;
    const uLong crc = crc32(0, &png[12], 17);
    for (int i = 0; i < 4; ++i)
        png[29 + i] = std::uint8_t(crc >> (24 - 8 * i));
    try {
        DecodePng(png.data(), png.size());
        FAIL() << "decoded a 100000 x 100000 header";
    } catch (const std::runtime_error &e) {
        EXPECT_NE(std::string(e.what()).find("too large"), std::string::npos) << e.what();
    }
}

TEST(PngFile, SaveLoadRoundTripAndFailuresNameTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QImage img = RandomImage(23, 17, 9);
    SavePngFile(img, dir.filePath("rose.png"));
    EXPECT_EQ(img, LoadPngFile(dir.filePath("rose.png")));

    const auto expectThrowNaming = [](auto &&call, const QString &name) {
        try {
            call();
            ADD_FAILURE() << "no exception for " << name.toStdString();
        } catch (const std::runtime_error &e) {
            EXPECT_NE(std::string(e.what()).find(name.toStdString()), std::string::npos) << e.what();
        }
    };
    expectThrowNaming([&] { LoadPngFile(dir.filePath("missing.png")); }, dir.filePath("missing.png"));
    expectThrowNaming([&] { SavePngFile(img, dir.filePath("none/x.png")); }, dir.filePath("none/x.png"));
}

} // namespace
