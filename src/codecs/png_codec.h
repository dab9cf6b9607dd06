#pragma once

#include "codecs/image_file_io.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

// Compression choices handed to libpng when writing. A field left at
// kPngLibraryDefault is not passed to libpng at all, so libpng's own choice
// (which may depend on the image) applies.
struct PngSettings {
    static constexpr int kPngLibraryDefault = -1;

    int zlibLevel = kPngLibraryDefault;  // 0..9 (Z_BEST_SPEED = 1)
    int filters = kPngLibraryDefault;    // PNG_FILTER_* mask, PNG_NO_FILTERS or PNG_ALL_FILTERS
    int strategy = kPngLibraryDefault;   // Z_DEFAULT_STRATEGY, Z_FILTERED, Z_RLE, ...
    int memLevel = kPngLibraryDefault;   // 1..9
    int windowBits = kPngLibraryDefault; // 8..15
};

// Everything left to libpng: the reference for size and speed, and what image
// files are written with.
PngSettings DefaultPngSettings();

// Encodes the picture as an 8-bit PNG, not interlaced, with the chunks IHDR,
// IDAT and IEND only: RGB (colour type 2) without the fourth byte of each
// pixel, unless the picture has an alpha channel and a pixel that is not
// opaque: then RGBA (colour type 6), keeping the colour of transparent
// pixels. Throws std::runtime_error when libpng fails or memory runs out.
std::vector<std::uint8_t> EncodePng(const QImage &img, const PngSettings &s = DefaultPngSettings());

// An uncompressed international text chunk (iTXt): a Latin-1 keyword of 1 to
// 79 characters and UTF-8 text.
struct PngText {
    QByteArray Keyword;
    QByteArray Utf8;
};

// As EncodePng, with the text chunk written after the header.
std::vector<std::uint8_t> EncodePngWithText(const QImage &img, const PngSettings &s, const PngText &text);

// The text of the first text chunk under keyword that comes before the
// pixels; false when there is none or the data is not a PNG.
bool ReadPngText(const std::uint8_t *data, std::size_t size, const QByteArray &keyword, QByteArray &text);

// What the decoders throw for data that is not a PNG, or is damaged or cut
// short; other failures (memory) are other exceptions.
class PngDataError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Decodes any PNG (palette, gray, RGB, with or without alpha, 1 to 16 bits per
// sample, interlaced or not) into a Format_RGB32 image, or a Format_ARGB32
// one (not premultiplied, colours under alpha 0 as stored) when its alpha
// channel or transparent colour leaves a pixel not opaque. Throws PngDataError
// for data that is not a PNG, is corrupt or truncated, or describes an image
// of more than maxPixels pixels, or more than the rest of the data could
// hold, and std::runtime_error when memory runs out.
QImage DecodePng(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels = kMaxPicturePixels);


// Writes the picture as a PNG file with the library's default compression.
// The file is replaced only when the whole image was written; failures throw
// std::runtime_error naming the file.
void SavePngFile(const QImage &img, const QString &path);

// Reads a whole PNG file and decodes it as DecodePng does. A missing or
// unreadable file throws std::runtime_error naming the file.
QImage LoadPngFile(const QString &path);
