#include "codecs/jpeg_codec.h"

#include "codecs/image_file_io.h"
#include "codecs/jpeg_decode.h"
#include "codecs/jpeg_errors.h"
#include "codecs/rgb_rows.h"

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

constexpr int JpegQuality = 92;

// Owns the compressor and the memory libjpeg writes into, freed on every
// way out of EncodeJpeg.
struct Compressor {
    jpeg_compress_struct info{};
    JpegErrors errors{};
    unsigned char *buffer = nullptr;
    unsigned long size = 0;

    Compressor() { info.err = UseJpegErrors(errors); }
    ~Compressor()
    {
        jpeg_destroy_compress(&info);
        std::free(buffer);
    }
    Compressor(const Compressor &) = delete;
    Compressor &operator=(const Compressor &) = delete;
};

// All libjpeg calls; libjpeg may longjmp out of any of them, so no local
// here has a destructor.
void EncodeSteps(Compressor &c, const QImage &picture, JSAMPLE *row)
{
    jpeg_compress_struct &info = c.info;
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &c.buffer, &c.size);
    info.image_width = JDIMENSION(picture.width());
    info.image_height = JDIMENSION(picture.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, JpegQuality, TRUE);
    for (int i = 0; i < info.num_components; ++i)
        info.comp_info[i].h_samp_factor = info.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&info, TRUE);
    JSAMPROW rows[1] = {row};
    while (info.next_scanline < info.image_height) {
        const int y = int(info.next_scanline);
        PackRgbRow(reinterpret_cast<const std::uint32_t *>(picture.constScanLine(y)), row, picture.width());
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
}

bool EncodeGuarded(Compressor &c, const QImage &picture, JSAMPLE *row)
{
    if (setjmp(c.errors.Jump))
        return false;
    EncodeSteps(c, picture, row);
    return true;
}

} // namespace

std::vector<std::uint8_t> EncodeJpeg(const QImage &source)
{
    const QImage picture = source.convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        throw std::runtime_error("JPEG encoder: the picture is empty or memory ran out");
    std::vector<JSAMPLE> row(std::size_t(picture.width()) * 3 + 1);
    Compressor c;
    if (!EncodeGuarded(c, picture, row.data()))
        throw std::runtime_error(std::string("JPEG encoder: ") + c.errors.Message);
    return std::vector<std::uint8_t>(c.buffer, c.buffer + c.size);
}

QImage LoadJpegFile(const QString &path)
{
    return LoadImageFile(path, [](const std::uint8_t *data, std::size_t size) { return DecodeJpeg(data, size); });
}

void SaveJpegFile(const QImage &picture, const QString &path)
{
    WriteFileBytes(path, EncodeJpeg(picture));
}
