#include "codecs/jpeg_decode.h"

#include <csetjmp>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

#include <jpeglib.h>

namespace {

// Larger pictures are refused before any pixel memory is taken (1 GiB of
// 32-bit pixels); a corrupt header can announce up to 65500 x 65500.
constexpr std::uint64_t kMaxPixels = std::uint64_t(1) << 28;

// libjpeg reports errors by calling error_exit, which must not return. We
// jump back to DecodeGuarded, which turns the jump into a false result.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr info)
{
    auto *err = reinterpret_cast<ErrorManager *>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings are how libjpeg reports corrupt or missing data while it goes on
// decoding grey filler, so they count as errors here. Trace messages are
// dropped instead of printed to stderr.
void OnJpegMessage(j_common_ptr info, int level)
{
    if (level < 0)
        OnJpegError(info);
}

// Owns the decompressor: it is destroyed on every way out of JpegToBitmap32,
// whether decoding succeeded, libjpeg failed or a C++ exception is thrown.
struct Decompressor {
    jpeg_decompress_struct info{};
    ErrorManager err{};

    Decompressor()
    {
        info.err = jpeg_std_error(&err.pub);
        err.pub.error_exit = OnJpegError;
        err.pub.emit_message = OnJpegMessage;
    }
    ~Decompressor() { jpeg_destroy_decompress(&info); }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;
};

void CopyRow(const JSAMPLE *src, int components, int width, QRgb *dst)
{
    if (components == 1) {
        for (int x = 0; x < width; ++x)
            dst[x] = qRgb(src[x], src[x], src[x]);
        return;
    }
    for (int x = 0; x < width; ++x, src += 3)
        dst[x] = qRgb(src[0], src[1], src[2]);
}

// All libjpeg calls. libjpeg may longjmp out of here at any call, so this
// function keeps no local with a destructor alive across those calls.
void DecodeSteps(jpeg_decompress_struct &info, const std::uint8_t *data, std::size_t size, QImage &image)
{
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = info.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_calc_output_dimensions(&info);
    if (std::uint64_t(info.output_width) * info.output_height > kMaxPixels)
        throw std::runtime_error("JPEG image is too large");

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
        CopyRow(row[0], components, width, reinterpret_cast<QRgb *>(image.scanLine(y)));
    }
    jpeg_finish_decompress(&info);
}

// The landing point for libjpeg's longjmp. Frames skipped by the jump are
// libjpeg's and DecodeSteps', none of which hold objects with destructors.
bool DecodeGuarded(Decompressor &d, const std::uint8_t *data, std::size_t size, QImage &image)
{
    if (setjmp(d.err.jump))
        return false;
    DecodeSteps(d.info, data, size, image);
    return true;
}

} // namespace

QImage JpegToBitmap32(const std::uint8_t *data, std::size_t size)
{
    if (data == nullptr || size == 0)
        throw std::runtime_error("JPEG data is empty");
    if (size > std::numeric_limits<unsigned long>::max())
        throw std::runtime_error("JPEG data is too large");

    Decompressor d;
    QImage image;
    if (!DecodeGuarded(d, data, size, image))
        throw std::runtime_error(std::string("Cannot decode JPEG: ") + d.err.message);
    return image;
}

QImage JpegToBitmap32(const QByteArray &data)
{
    return JpegToBitmap32(reinterpret_cast<const std::uint8_t *>(data.constData()), std::size_t(data.size()));
}
