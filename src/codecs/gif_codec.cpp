#include "codecs/gif_codec.h"

#include "codecs/image_alpha.h"
#include "codecs/image_file_io.h"
#include "codecs/picture_memory.h"

#include <gif_lib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace {

// The most pixels one byte of LZW data can give: a code names a string of at
// most 4096 pixels and is then 12 bits wide; narrower codes name shorter
// strings (under 2^w pixels for w bits).
constexpr std::uint64_t kLzwMaxExpansion = 4096 * 8 / 12 + 1;

std::runtime_error GifError(int code)
{
    const char *text = GifErrorString(code);
    return std::runtime_error(text ? text : "GIF error");
}

// --------------------------------------------------------------- reading

struct MemoryReader {
    const std::uint8_t *Data;
    std::size_t Size;
    std::size_t Pos = 0;
};

int ReadFromMemory(GifFileType *gif, GifByteType *buffer, int length)
{
    auto *reader = static_cast<MemoryReader *>(gif->UserData);
    const std::size_t n = std::min(std::size_t(std::max(length, 0)), reader->Size - reader->Pos);
    std::memcpy(buffer, reader->Data + reader->Pos, n);
    reader->Pos += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType *gif) const
    {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};
using GifReader = std::unique_ptr<GifFileType, GifCloser>;

// The colour of each palette entry as a picture pixel; entries the palette
// does not have show the background.
struct Palette {
    std::array<QRgb, 256> Colors{};
    int Transparent = -1;

    void Load(const ColorMapObject *map, QRgb background)
    {
        Colors.fill(background);
        const int count = map ? std::min(map->ColorCount, 256) : 0;
        for (int i = 0; i < count; ++i)
            Colors[i] = qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    }
};

// Reads the transparent index of a graphic control extension, which applies
// to the frame that follows it.
void ReadExtension(GifFileType *gif, int &transparent)
{
    int code = 0;
    GifByteType *block = nullptr;
    if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
        throw GifError(gif->Error);
    if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
        GraphicsControlBlock gcb;
        if (DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
            transparent = gcb.TransparentColor;
    }
    while (block) {
        if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
            throw GifError(gif->Error);
    }
}

// Reads the frame's rows, in interlaced order where the frame says so, and
// lays the visible part onto the picture; pixels of the transparent index
// become 0x00000000. True when there were any.
bool ReadFrame(GifFileType *gif, QImage &picture, const Palette &palette)
{
    const GifImageDesc &d = gif->Image;
    if (d.Width <= 0 || d.Height <= 0)
        throw std::runtime_error("The frame has no pixels");
    std::vector<GifPixelType> row(std::size_t(d.Width));
    bool clear = false;
    auto store = [&](int y) {
        const int py = d.Top + y;
        if (py < 0 || py >= picture.height())
            return;
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(py));
        for (int x = 0; x < d.Width; ++x) {
            const int px = d.Left + x;
            if (px >= picture.width())
                continue;
            const bool transparent = row[std::size_t(x)] == palette.Transparent;
            line[px] = transparent ? 0u : palette.Colors[row[std::size_t(x)]];
            clear |= transparent;
        }
    };
    auto readRow = [&](int y) {
        if (DGifGetLine(gif, row.data(), d.Width) == GIF_ERROR)
            throw GifError(gif->Error);
        store(y);
    };
    if (!d.Interlace) {
        for (int y = 0; y < d.Height; ++y)
            readRow(y);
        return clear;
    }
    constexpr int offsets[4] = {0, 4, 2, 1};
    constexpr int steps[4] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = offsets[pass]; y < d.Height; y += steps[pass])
            readRow(y);
    }
    return clear;
}

// ---------------------------------------------------------------- writing

int WriteToVector(GifFileType *gif, const GifByteType *buffer, int length)
{
    auto *out = static_cast<std::vector<std::uint8_t> *>(gif->UserData);
    out->insert(out->end(), buffer, buffer + length);
    return length;
}

struct MapDeleter {
    void operator()(ColorMapObject *map) const { GifFreeMapObject(map); }
};
using ColorMap = std::unique_ptr<ColorMapObject, MapDeleter>;

// An indexed picture: one palette index per pixel and the palette.
struct Indexed {
    std::vector<GifByteType> Pixels;
    std::vector<GifColorType> Colors;
};

// Every colour kept exactly; the palette holds the picture's colours.
Indexed IndexExactly(const QImage &picture, const std::vector<std::uint32_t> &colors)
{
    Indexed out;
    for (std::uint32_t c : colors)
        out.Colors.push_back(GifColorType{GifByteType(c >> 16), GifByteType(c >> 8), GifByteType(c)});
    out.Pixels.resize(std::size_t(picture.width()) * std::size_t(picture.height()));
    GifByteType *dst = out.Pixels.data();
    std::uint32_t lastColor = colors.front();
    GifByteType lastIndex = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t c = line[x] & 0xFFFFFFu;
            if (c != lastColor) {
                lastColor = c;
                lastIndex = GifByteType(std::lower_bound(colors.begin(), colors.end(), c) - colors.begin());
            }
            *dst++ = lastIndex;
        }
    }
    return out;
}

// More colours than the palette holds: giflib chooses them from the
// histogram.
Indexed IndexByQuantizing(const QImage &picture, int paletteSize)
{
    const std::size_t count = std::size_t(picture.width()) * std::size_t(picture.height());
    std::vector<GifByteType> red(count), green(count), blue(count);
    std::size_t i = 0;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x, ++i) {
            red[i] = GifByteType(qRed(line[x]));
            green[i] = GifByteType(qGreen(line[x]));
            blue[i] = GifByteType(qBlue(line[x]));
        }
    }
    Indexed out;
    out.Pixels.resize(count);
    out.Colors.resize(std::size_t(paletteSize));
    int size = paletteSize;
    if (GifQuantizeBuffer(unsigned(picture.width()), unsigned(picture.height()), &size, red.data(), green.data(),
                          blue.data(), out.Pixels.data(), out.Colors.data()) == GIF_ERROR)
        throw std::runtime_error("The colours could not be reduced to 256");
    out.Colors.resize(std::size_t(size));
    return out;
}

// GIF palettes hold a power of two of entries, at least two.
ColorMap MakeColorMap(const std::vector<GifColorType> &colors)
{
    int entries = 2;
    while (entries < int(colors.size()))
        entries *= 2;
    std::vector<GifColorType> padded(colors);
    padded.resize(std::size_t(entries), GifColorType{0, 0, 0});
    ColorMap map(GifMakeMapObject(entries, padded.data()));
    if (!map)
        throw std::runtime_error("Out of memory");
    return map;
}

// Pixels below half opacity are left out of the file; the others are taken
// over white.
constexpr int kClearBelowAlpha = 128;

bool IsClear(QRgb pixel)
{
    return qAlpha(pixel) < kClearBelowAlpha;
}

// The colour of the first pixel that is not clear; white when all are.
QRgb FirstKeptColour(const QImage &picture, const QImage &source)
{
    for (int y = 0; y < source.height(); ++y) {
        const auto *alpha = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            if (!IsClear(alpha[x]))
                return reinterpret_cast<const QRgb *>(picture.constScanLine(y))[x];
        }
    }
    return qRgb(255, 255, 255);
}

// The clear pixels take the colour of the kept pixel before them (of the
// first one for those ahead of it), so they add no colour to the palette.
// False when the picture has no clear pixel.
bool FillClearPixels(QImage &picture, const QImage &source)
{
    QRgb fill = FirstKeptColour(picture, source);
    bool clear = false;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *alpha = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (IsClear(alpha[x])) {
                line[x] = fill;
                clear = true;
            } else {
                fill = line[x];
            }
        }
    }
    return clear;
}

void MarkClearPixels(Indexed &image, const QImage &source, GifByteType index)
{
    GifByteType *dst = image.Pixels.data();
    for (int y = 0; y < source.height(); ++y) {
        const auto *alpha = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x, ++dst) {
            if (IsClear(alpha[x]))
                *dst = index;
        }
    }
}

// A transparent index is announced by a graphic control extension before
// the frame, which makes the file GIF89a.
void WriteFrame(GifFileType *gif, const Indexed &image, int width, int height, const ColorMapObject *map,
                int transparent)
{
    if (transparent >= 0)
        EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, width, height, map->BitsPerPixel, 0, map) == GIF_ERROR)
        throw GifError(gif->Error);
    if (transparent >= 0) {
        const GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, transparent};
        GifByteType extension[4];
        EGifGCBToExtension(&control, extension);
        if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_ERROR)
            throw GifError(gif->Error);
    }
    if (EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_ERROR)
        throw GifError(gif->Error);
    for (int y = 0; y < height; ++y) {
        auto *row = const_cast<GifPixelType *>(image.Pixels.data() + std::size_t(y) * std::size_t(width));
        if (EGifPutLine(gif, row, width) == GIF_ERROR)
            throw GifError(gif->Error);
    }
}

// The frame's pixels must be in the data that is left; the screen may be
// larger than the frame, but past the reader's work memory it too must be
// something the data could fill.
void CheckFrameFits(const GifFileType *gif, std::size_t left)
{
    const GifImageDesc &d = gif->Image;
    CheckDataCanFill(std::uint64_t(std::max(d.Width, 0)) * std::uint64_t(std::max(d.Height, 0)), left,
                     kLzwMaxExpansion);
    const std::uint64_t screenPixels = std::uint64_t(gif->SWidth) * std::uint64_t(gif->SHeight);
    if (screenPixels * sizeof(QRgb) > kReaderAllowanceBytes)
        CheckDataCanFill(screenPixels, left, kLzwMaxExpansion);
}

} // namespace

QImage DecodeGif(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels)
{
    MemoryReader reader{data, size};
    int error = 0;
    GifReader gif(DGifOpen(&reader, ReadFromMemory, &error));
    if (!gif)
        throw GifError(error);
    CheckPictureSize(gif->SWidth, gif->SHeight, maxPixels);
    Palette global;
    global.Load(gif->SColorMap, qRgb(255, 255, 255));
    const QRgb background = gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount
                                ? global.Colors[std::size_t(gif->SBackGroundColor)]
                                : qRgb(255, 255, 255);
    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR)
            throw GifError(gif->Error);
        if (type == TERMINATE_RECORD_TYPE)
            throw std::runtime_error("The file holds no image");
        if (type == EXTENSION_RECORD_TYPE) {
            ReadExtension(gif.get(), transparent);
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        if (DGifGetImageDesc(gif.get()) == GIF_ERROR)
            throw GifError(gif->Error);
        const ColorMapObject *map = gif->Image.ColorMap ? gif->Image.ColorMap : gif->SColorMap;
        if (!map)
            throw std::runtime_error("The image has no colour table");
        CheckFrameFits(gif.get(), reader.Size - reader.Pos);
        QImage picture = NewPicture(gif->SWidth, gif->SHeight);
        if (picture.isNull())
            throw std::runtime_error("Out of memory");
        picture.fill(background);
        Palette palette;
        palette.Load(map, background);
        palette.Transparent = transparent;
        if (ReadFrame(gif.get(), picture, palette))
            picture.reinterpretAsFormat(QImage::Format_ARGB32);
        return picture;
    }
}

std::vector<std::uint32_t> DistinctColors(const QImage &picture, std::size_t limit)
{
    // A small open-addressing set: the question is only ever whether a
    // picture has up to a few hundred colours.
    const std::size_t capacity = 1024;
    std::vector<std::uint32_t> table(capacity, 0xFFFFFFFFu);
    std::vector<std::uint32_t> colors;
    std::uint32_t last = 0xFFFFFFFFu;
    for (int y = 0; y < picture.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const std::uint32_t c = line[x] & 0xFFFFFFu;
            if (c == last)
                continue;
            last = c;
            std::size_t slot = (c * 2654435761u) % capacity;
            while (table[slot] != c && table[slot] != 0xFFFFFFFFu)
                slot = (slot + 1) % capacity;
            if (table[slot] == c)
                continue;
            if (colors.size() == limit)
                return {};
            table[slot] = c;
            colors.push_back(c);
        }
    }
    std::sort(colors.begin(), colors.end());
    return colors;
}

std::vector<std::uint8_t> EncodeGif(const QImage &source)
{
    QImage picture = OverWhite(source);
    if (picture.isNull() || picture.width() > 65535 || picture.height() > 65535)
        throw std::runtime_error("A GIF image holds at most 65535 x 65535 pixels");
    const QImage alpha = HasTransparency(source) ? source.convertToFormat(QImage::Format_ARGB32) : QImage();
    const bool clear = !alpha.isNull() && FillClearPixels(picture, alpha);
    // One palette entry stays free for the clear pixels.
    const int paletteSize = clear ? 255 : 256;
    const std::vector<std::uint32_t> colors = DistinctColors(picture, std::size_t(paletteSize));
    Indexed image = colors.empty() ? IndexByQuantizing(picture, paletteSize) : IndexExactly(picture, colors);
    const int transparent = clear ? int(image.Colors.size()) : -1;
    if (clear) {
        MarkClearPixels(image, alpha, GifByteType(transparent));
        image.Colors.push_back(GifColorType{255, 255, 255});
    }
    const ColorMap map = MakeColorMap(image.Colors);

    std::vector<std::uint8_t> out;
    int error = 0;
    GifFileType *gif = EGifOpen(&out, WriteToVector, &error);
    if (!gif)
        throw GifError(error);
    try {
        WriteFrame(gif, image, picture.width(), picture.height(), map.get(), transparent);
    } catch (...) {
        EGifCloseFile(gif, &error);
        throw;
    }
    if (EGifCloseFile(gif, &error) == GIF_ERROR)
        throw GifError(error);
    return out;
}

QImage LoadGifFile(const QString &path)
{
    return LoadImageFile(path, [](const std::uint8_t *data, std::size_t size) { return DecodeGif(data, size); });
}

void SaveGifFile(const QImage &picture, const QString &path)
{
    WriteFileBytes(path, EncodeGif(picture));
}
