// Writes the seed corpora of the fuzz targets: small, valid files of every
// kind each reader accepts, made by our own writers and by the libraries'.
// Run by hand after changing it; its output under tests/fuzz/corpus is
// committed:
//   build/test/tests/fuzz/velmora_fuzz_seeds tests/fuzz/corpus
#include "codecs/bmp_codec.h"
#include "codecs/gif_codec.h"
#include "codecs/jpeg_codec.h"
#include "codecs/ora_codec.h"
#include "codecs/png_codec.h"
#include "codecs/snapshot_codec.h"
#include "codecs/webp_codec.h"

#include <QBuffer>
#include <QImage>
#include <gif_lib.h>
#include <png.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

void Write(const fs::path &folder, const std::string &name, const Bytes &bytes)
{
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                                          std::streamsize(bytes.size()));
}

QImage Pattern(int w, int h, int colours)
{
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int k = (x * 7 + y * 13) % colours;
            img.setPixel(x, y, qRgb(k * 37 % 256, k * 91 % 256, k * 53 % 256));
        }
    return img;
}

// A PNG of the given kind written by libpng itself.
Bytes LibpngFile(int colorType, int bitDepth, int interlace)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t n) {
            auto *o = static_cast<Bytes *>(png_get_io_ptr(p));
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    const int w = 9, h = 7;
    png_set_IHDR(png, info, w, h, bitDepth, colorType, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colorType == PNG_COLOR_TYPE_PALETTE) {
        png_color palette[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
        png_set_PLTE(png, info, palette, 4);
        png_byte alpha[2] = {0, 128};
        png_set_tRNS(png, info, alpha, 2, nullptr);
    }
    png_write_info(png, info);
    const int channels = colorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : colorType == PNG_COLOR_TYPE_RGB ? 3
                         : colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : 1;
    const std::size_t rowBytes = (std::size_t(w) * channels * bitDepth + 7) / 8;
    std::vector<png_byte> row(rowBytes);
    const int passes = interlace ? png_set_interlace_handling(png) : 1;
    for (int pass = 0; pass < passes; ++pass)
        for (int y = 0; y < h; ++y) {
            for (std::size_t i = 0; i < rowBytes; ++i)
                row[i] = png_byte((i * 29 + std::size_t(y) * 71) & (bitDepth < 8 ? 0x55 : 0xFF));
            png_write_row(png, row.data());
        }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A GIF with two frames, the first smaller than the screen and interlaced.
Bytes TwoFrameGif()
{
    Bytes out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, [](GifFileType *g, const GifByteType *d, int n) {
        auto *o = static_cast<Bytes *>(g->UserData);
        o->insert(o->end(), d, d + n);
        return n;
    }, &error);
    GifColorType colours[4] = {{255, 255, 255}, {255, 0, 0}, {0, 128, 0}, {0, 0, 255}};
    ColorMapObject *map = GifMakeMapObject(4, colours);
    EGifPutScreenDesc(gif, 12, 10, 2, 0, map);
    GraphicsControlBlock gcb{0, false, 10, 2};
    GifByteType ext[4];
    EGifGCBToExtension(&gcb, ext);
    EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, ext);
    EGifPutImageDesc(gif, 2, 1, 6, 5, true, nullptr);
    GifPixelType line[12];
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x)
            line[x] = GifPixelType((x + y) % 4);
        EGifPutLine(gif, line, 6);
    }
    EGifPutImageDesc(gif, 0, 0, 12, 10, false, map);
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x)
            line[x] = GifPixelType((x * y) % 4);
        EGifPutLine(gif, line, 12);
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

Bytes QtBmp(const QImage &img)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "BMP");
    return Bytes(data.begin(), data.end());
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: velmora_fuzz_seeds CORPUS-FOLDER\n";
        return 2;
    }
    const fs::path root(argv[1]);
    const QImage small = Pattern(6, 4, 5);
    const QImage colourful = Pattern(40, 30, 300);

    Write(root / "png", "rgb.png", EncodePng(small, DefaultPngSettings()));
    Write(root / "png", "palette_trns.png", LibpngFile(PNG_COLOR_TYPE_PALETTE, 2, PNG_INTERLACE_NONE));
    Write(root / "png", "grey16_interlaced.png", LibpngFile(PNG_COLOR_TYPE_GRAY, 16, PNG_INTERLACE_ADAM7));
    Write(root / "png", "grey_alpha.png", LibpngFile(PNG_COLOR_TYPE_GRAY_ALPHA, 8, PNG_INTERLACE_NONE));
    Write(root / "png", "rgba16.png", LibpngFile(PNG_COLOR_TYPE_RGB_ALPHA, 16, PNG_INTERLACE_NONE));

    Write(root / "gif", "exact.gif", EncodeGif(small));
    Write(root / "gif", "reduced.gif", EncodeGif(colourful));
    Write(root / "gif", "two_frames.gif", TwoFrameGif());

    Write(root / "bmp", "rgb32.bmp", EncodeBmp(small));
    Write(root / "bmp", "rgb24.bmp", QtBmp(small.convertToFormat(QImage::Format_RGB888)));
    Write(root / "bmp", "indexed8.bmp", QtBmp(small.convertToFormat(QImage::Format_Indexed8)));
    Write(root / "bmp", "mono.bmp", QtBmp(small.convertToFormat(QImage::Format_Mono)));
    Write(root / "jpeg", "rgb.jpg", EncodeJpeg(colourful));
    Write(root / "webp", "rgb.webp", EncodeWebp(colourful));
    QImage strokes = small.convertToFormat(QImage::Format_ARGB32);
    strokes.setPixel(1, 1, 0x00FFFFFFu);
    strokes.setPixel(2, 1, 0x80FF0000u);
    Write(root / "ora", "ours.ora",
          EncodeOra({{"Background", true, 100, small}, {"Strokes", false, 40, strokes}}, small));
    Write(root / "snapshot", "none.png", EncodeSnapshot(small));
    Write(root / "snapshot", "sub.png", EncodeSnapshot(small, {1, pfSub}));
    Write(root / "snapshot", "paeth.png", EncodeSnapshot(colourful, {6, pfPaeth}));
    std::cout << "seeds written under " << root << "\n";
    return 0;
}
