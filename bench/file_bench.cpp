// Opening and saving image files against bare libpng on the same 3000 x 3000
// painting-like picture, and the GIF writer with its colour reduction. Each
// ratio compares two benchmarks of one run:
//   BM_LoadPngFileOnly / BM_BareLibpngDecodeFile   (target: at most 1.25)
//   BM_OpenPngFile / BM_BareLibpngDecodeFile       (target: at most 1.3)
//   BM_SavePngFile / BM_BareLibpngEncodeFile       (target: at most 1.15)
//   BM_GifQuantizeBuffer / BM_SaveGifFile          (the quantizer's share)
//   BM_SaveOra / BM_SavePngFile                    (target: at most 5.5)
//   BM_OpenOra / BM_OpenPngFile                    (target: at most 4.5)
#include "bench_pictures.h"
#include "codecs/gif_codec.h"
#include "codecs/ora_codec.h"
#include "codecs/png_codec.h"
#include "canvas/velmora_canvas.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int Side = 3000;

const QImage &Picture()
{
    static const QImage picture = MakePainting(Side, Side);
    return picture;
}

// The painting over a smooth two-way gradient: far more than 256 colours,
// so a GIF needs the colour reduction.
const QImage &ManyColourPicture()
{
    static const QImage picture = [] {
        QImage img = Picture().copy();
        for (int y = 0; y < img.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                if ((line[x] & 0xFFFFFF) == 0xFFFFFF)
                    line[x] = qRgb(x * 255 / Side, y * 255 / Side, (x + y) * 255 / (2 * Side));
            }
        }
        return img;
    }();
    return picture;
}

const QTemporaryDir &Folder()
{
    static const QTemporaryDir dir;
    return dir;
}

QString PngPath()
{
    static const QString path = [] {
        const QString p = Folder().filePath(QStringLiteral("painting.png"));
        SavePngFile(Picture(), p);
        return p;
    }();
    return path;
}

void BareDecode(const QString &path, std::vector<png_byte> &pixels)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, QFile::encodeName(path).constData()))
        throw std::runtime_error(image.message);
    image.format = PNG_FORMAT_BGRA;
    pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr))
        throw std::runtime_error(image.message);
}

void BareEncode(const QImage &img, const QString &path)
{
    FILE *file = std::fopen(QFile::encodeName(path).constData(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        throw std::runtime_error("libpng failed");
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(img.width()), png_uint_32(img.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_bgr(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
    for (int y = 0; y < img.height(); ++y)
        png_write_row(png, img.constScanLine(y));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

void BM_BareLibpngDecodeFile(benchmark::State &state)
{
    const QString path = PngPath();
    std::vector<png_byte> pixels;
    for (auto _ : state) {
        BareDecode(path, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_BareLibpngDecodeFile)->Unit(benchmark::kMillisecond);

// What Open does with a PNG file: decode, then the canvas takes the size
// and the pixels.
void BM_OpenPngFile(benchmark::State &state)
{
    const QString path = PngPath();
    TVelmoraCanvas canvas;
    for (auto _ : state) {
        const QImage image = LoadPngFile(path);
        canvas.SetCanvasSize(image.width(), image.height(), true, true);
        canvas.LoadPicture(image);
        benchmark::DoNotOptimize(canvas.Picture.constBits());
    }
}
BENCHMARK(BM_OpenPngFile)->Unit(benchmark::kMillisecond);

void BM_LoadPngFileOnly(benchmark::State &state)
{
    const QString path = PngPath();
    for (auto _ : state) {
        const QImage image = LoadPngFile(path);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_LoadPngFileOnly)->Unit(benchmark::kMillisecond);

void BM_BareLibpngEncodeFile(benchmark::State &state)
{
    const QString path = Folder().filePath(QStringLiteral("bare.png"));
    for (auto _ : state)
        BareEncode(Picture(), path);
}
BENCHMARK(BM_BareLibpngEncodeFile)->Unit(benchmark::kMillisecond);

// What Save does: the canvas hands out a copy of its picture, which is
// written through a temporary file.
void BM_SavePngFile(benchmark::State &state)
{
    const QString path = Folder().filePath(QStringLiteral("saved.png"));
    TVelmoraCanvas canvas;
    canvas.SetCanvasSize(Side, Side, true, true);
    canvas.LoadPicture(Picture());
    for (auto _ : state) {
        QImage copy;
        canvas.AssignPictureTo(copy);
        SavePngFile(copy, path);
    }
}
BENCHMARK(BM_SavePngFile)->Unit(benchmark::kMillisecond);

void BM_SaveGifFile(benchmark::State &state)
{
    const QString path = Folder().filePath(QStringLiteral("saved.gif"));
    const QImage &picture = ManyColourPicture();
    for (auto _ : state)
        SaveGifFile(picture.copy(), path);
}
BENCHMARK(BM_SaveGifFile)->Unit(benchmark::kMillisecond);

void BM_GifQuantizeBuffer(benchmark::State &state)
{
    const QImage &picture = ManyColourPicture();
    const std::size_t count = std::size_t(Side) * Side;
    std::vector<GifByteType> red(count), green(count), blue(count), out(count);
    std::size_t i = 0;
    for (int y = 0; y < Side; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < Side; ++x, ++i) {
            red[i] = GifByteType(qRed(line[x]));
            green[i] = GifByteType(qGreen(line[x]));
            blue[i] = GifByteType(qBlue(line[x]));
        }
    }
    std::vector<GifColorType> colors(256);
    for (auto _ : state) {
        int size = 256;
        GifQuantizeBuffer(Side, Side, &size, red.data(), green.data(), blue.data(), out.data(), colors.data());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_GifQuantizeBuffer)->Unit(benchmark::kMillisecond);

// The painting with the part outside `keep` transparent.
QImage PaintingPart(const QRect &keep)
{
    QImage layer(Side, Side, QImage::Format_ARGB32);
    layer.fill(0u);
    for (int y = keep.top(); y <= keep.bottom(); ++y)
        std::memcpy(layer.scanLine(y) + keep.left() * 4, Picture().constScanLine(y) + keep.left() * 4,
                    std::size_t(keep.width()) * 4);
    return layer;
}

// A white background and two layers, each half transparent, carrying the
// painting's strokes: its upper and its right half.
const std::vector<TImageLayer> &OraLayers()
{
    static const std::vector<TImageLayer> layers = [] {
        QImage white(Side, Side, QImage::Format_RGB32);
        white.fill(Qt::white);
        return std::vector<TImageLayer>{{"Background", true, 100, white},
                                        {"Upper", true, 100, PaintingPart(QRect(0, 0, Side, Side / 2))},
                                        {"Right", true, 100, PaintingPart(QRect(Side / 2, 0, Side / 2, Side))}};
    }();
    return layers;
}

// The layers' pixels are opaque or fully transparent, so the composite the
// program would hand the writer is the topmost opaque pixel.
const QImage &OraMerged()
{
    static const QImage merged = [] {
        QImage out = OraLayers().front().Pixels.copy();
        for (std::size_t i = 1; i < OraLayers().size(); ++i) {
            const QImage &layer = OraLayers()[i].Pixels;
            for (int y = 0; y < Side; ++y) {
                const auto *in = reinterpret_cast<const QRgb *>(layer.constScanLine(y));
                auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
                for (int x = 0; x < Side; ++x)
                    line[x] = qAlpha(in[x]) ? in[x] : line[x];
            }
        }
        return out;
    }();
    return merged;
}

QString OraPath()
{
    static const QString path = [] {
        const QString p = Folder().filePath(QStringLiteral("painting.ora"));
        SaveOraFile(OraLayers(), OraMerged(), p);
        return p;
    }();
    return path;
}

void BM_SaveOra(benchmark::State &state)
{
    const QString path = Folder().filePath(QStringLiteral("saved.ora"));
    for (auto _ : state)
        SaveOraFile(OraLayers(), OraMerged(), path);
}
BENCHMARK(BM_SaveOra)->Unit(benchmark::kMillisecond);

// Reading the layers; the canvas takes no layers yet.
void BM_OpenOra(benchmark::State &state)
{
    const QString path = OraPath();
    for (auto _ : state) {
        const TOraImage image = LoadOraFile(path);
        benchmark::DoNotOptimize(image.Layers.back().Pixels.constBits());
    }
}
BENCHMARK(BM_OpenOra)->Unit(benchmark::kMillisecond);

} // namespace
