#include "codecs/jpeg_decode.h"

#include "codecs/exif_orientation.h"
#include "codecs/jpeg_errors.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace {

constexpr int ExifMarker = JPEG_APP0 + 1;

// A Huffman-coded block of 64 samples takes at least one bit, in the first
// scan of a progressive file as in a baseline one, and with subsampled
// components such a bit may stand for up to 128 pixels of the picture.
constexpr std::uint64_t JpegMaxPixelsPerByte = 1024;

// Owns the decompressor: it is destroyed on every way out of DecodeJpeg,
// whether decoding succeeded, libjpeg failed or a C++ exception is thrown.
struct Decompressor {
    jpeg_decompress_struct info{};
    JpegErrors errors{};

    Decompressor() { info.err = UseJpegErrors(errors); }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;
};

// What the file says beyond its pixels.
struct JpegLayout {
    int orientation = 1;
    bool invertedInk = false; // Adobe's CMYK stores 255 - ink
};

std::uint32_t Ink(std::uint32_t colour, std::uint32_t black)
{
    return (colour * black + 127) / 255;
}

void CopyRow(const JSAMPLE *src, int components, bool invertedInk, int width, QRgb *dst)
{
    if (components == 1) {
        for (int x = 0; x < width; ++x)
            dst[x] = qRgb(src[x], src[x], src[x]);
        return;
    }
    if (components == 3) {
        for (int x = 0; x < width; ++x, src += 3)
            dst[x] = qRgb(src[0], src[1], src[2]);
        return;
    }
    // With the ink inverted, 255 - C is what is stored.
    const JSAMPLE flip = invertedInk ? 0 : 255;
    for (int x = 0; x < width; ++x, src += 4) {
        const std::uint32_t k = src[3] ^ flip;
        dst[x] = qRgb(int(Ink(src[0] ^ flip, k)), int(Ink(src[1] ^ flip, k)), int(Ink(src[2] ^ flip, k)));
    }
}

J_COLOR_SPACE OutputSpace(J_COLOR_SPACE stored)
{
    switch (stored) {
    case JCS_GRAYSCALE: return JCS_GRAYSCALE;
    case JCS_YCbCr:
    case JCS_RGB: return JCS_RGB;
    case JCS_CMYK:
    case JCS_YCCK: return JCS_CMYK;
    default: throw std::runtime_error("The JPEG colour space is not supported");
    }
}

// Refuses the picture before libjpeg takes its buffers (a progressive file
// holds all its coefficients at once) and before the picture exists.
void CheckHeader(const jpeg_decompress_struct &info, std::uint64_t maxPixels)
{
    CheckPictureSize(info.image_width, info.image_height, maxPixels);
    const std::uint64_t pixels = std::uint64_t(info.image_width) * info.image_height;
    if (pixels * 4 > kReaderAllowanceBytes)
        CheckDataCanFill(pixels, info.src->bytes_in_buffer, JpegMaxPixelsPerByte);
}

JpegLayout ReadLayout(const jpeg_decompress_struct &info)
{
    JpegLayout layout;
    layout.invertedInk = info.saw_Adobe_marker;
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next) {
        if (m->marker == ExifMarker) {
            layout.orientation = ExifOrientation(m->data, m->data_length);
            break;
        }
    }
    return layout;
}

// All libjpeg calls. libjpeg may longjmp out of here at any call, so this
// function keeps no local with a destructor alive across those calls.
void DecodeSteps(jpeg_decompress_struct &info, const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels,
                 QImage &image, JpegLayout &layout)
{
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&info, ExifMarker, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    info.out_color_space = OutputSpace(info.jpeg_color_space);
    CheckHeader(info, maxPixels);
    layout = ReadLayout(info);

    jpeg_start_decompress(&info);
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB32);
    if (image.isNull())
        throw std::runtime_error("Not enough memory for the JPEG image");

    const int width = int(info.output_width);
    const int components = info.output_components;
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * JDIMENSION(components), 1);
    while (info.output_scanline < info.output_height) {
        const int y = int(info.output_scanline);
        if (jpeg_read_scanlines(&info, row, 1) != 1)
            throw std::runtime_error("JPEG decoder stopped early");
        CopyRow(row[0], components, layout.invertedInk, width, reinterpret_cast<QRgb *>(image.scanLine(y)));
    }
    jpeg_finish_decompress(&info);
}

// The landing point for libjpeg's longjmp. Frames skipped by the jump are
// libjpeg's and DecodeSteps', none of which hold objects with destructors.
bool DecodeGuarded(Decompressor &d, const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels,
                   QImage &image, JpegLayout &layout)
{
    if (setjmp(d.errors.Jump))
        return false;
    DecodeSteps(d.info, data, size, maxPixels, image, layout);
    return true;
}

} // namespace

QImage DecodeJpeg(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels)
{
    if (data == nullptr || size == 0)
        throw std::runtime_error("JPEG data is empty");
    if (size > std::numeric_limits<unsigned long>::max())
        throw std::runtime_error("JPEG data is too large");

    Decompressor d;
    QImage image;
    JpegLayout layout;
    if (!DecodeGuarded(d, data, size, maxPixels, image, layout))
        throw std::runtime_error(std::string("Cannot decode JPEG: ") + d.errors.Message);
    return Upright(image, layout.orientation);
}

QImage DecodeJpeg(const QByteArray &data)
{
    return DecodeJpeg(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size()));
}
