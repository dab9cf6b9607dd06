#include "codecs/bmp_codec.h"

#include "codecs/image_alpha.h"
#include "codecs/image_file_io.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <cstring>
#include <stdexcept>

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;

void Put16(std::uint8_t *p, std::uint16_t v)
{
    p[0] = std::uint8_t(v);
    p[1] = std::uint8_t(v >> 8);
}

void Put32(std::uint8_t *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(v >> (8 * i));
}

std::uint32_t Get32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t Get16(const std::uint8_t *p)
{
    return std::uint16_t(p[0] | p[1] << 8);
}

// Reads the headers before Qt does: the size limit is ours, Qt fills the
// rows that an uncompressed file lacks instead of failing, and a run-length
// encoded picture is only allocated when the data could fill it.
void CheckHeaders(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels)
{
    if (size < FileHeaderSize + 12 || data[0] != 'B' || data[1] != 'M')
        throw std::runtime_error("The data is not a BMP image");
    const std::uint8_t *info = data + FileHeaderSize;
    const std::uint32_t infoSize = Get32(info);
    std::int64_t width = 0, height = 0;
    std::uint32_t bits = 0, compression = 0;
    if (infoSize == 12) {
        width = Get16(info + 4);
        height = Get16(info + 6);
        bits = Get16(info + 10);
    } else if (infoSize >= InfoHeaderSize && size >= FileHeaderSize + InfoHeaderSize) {
        width = std::int32_t(Get32(info + 4));
        height = std::int32_t(Get32(info + 8));
        bits = Get16(info + 14);
        compression = Get32(info + 16);
    } else {
        throw std::runtime_error("The BMP header is damaged");
    }
    CheckPictureSize(width, height < 0 ? -height : height, maxPixels);
    const std::uint64_t rows = std::uint64_t(height < 0 ? -height : height);
    const std::uint64_t offset = Get32(data + 10);
    constexpr std::uint32_t BiRgb = 0, BiRle8 = 1, BiRle4 = 2, BiBitfields = 3, BiAlphaBitfields = 6;
    if (compression == BiRle8 || compression == BiRle4) {
        // A run of two bytes gives at most 255 pixels. Skips and the end
        // code leave pixels unset, so pictures within the reader's work
        // memory are taken without this proof.
        constexpr std::uint64_t RleMaxExpansion = 128;
        const std::uint64_t pixels = std::uint64_t(width) * rows;
        if (pixels * 4 > kReaderAllowanceBytes)
            CheckDataCanFill(pixels, offset < size ? size - offset : 0, RleMaxExpansion);
        return;
    }
    if (compression != BiRgb && compression != BiBitfields && compression != BiAlphaBitfields)
        throw std::runtime_error("The BMP compression is not supported");
    const std::uint64_t stride = (std::uint64_t(width) * bits + 31) / 32 * 4;
    if (offset + stride * rows > size)
        throw std::runtime_error("The file is truncated");
}

QImage OnWhite(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter p(&out);
    p.drawImage(0, 0, image);
    return out;
}

} // namespace

QImage DecodeBmp(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels)
{
    CheckHeaders(data, size, maxPixels);
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    reader.setAutoDetectImageFormat(false);
    if (!reader.canRead())
        throw std::runtime_error("The data is not a BMP image");
    // Our own limit was checked above; Qt's default one is lower.
    reader.setAllocationLimit(int(maxPixels * 4 / (1024 * 1024)) + 1);
    QImage image = reader.read();
    if (image.isNull())
        throw std::runtime_error(reader.errorString().toStdString());
    return OnWhite(image);
}

std::vector<std::uint8_t> EncodeBmp(const QImage &source)
{
    const QImage picture = OverWhite(source);
    const auto w = std::uint32_t(picture.width()), h = std::uint32_t(picture.height());
    const std::uint64_t pixelBytes = std::uint64_t(w) * h * 4;
    if (pixelBytes > 0xFFFFFFFFu - FileHeaderSize - InfoHeaderSize)
        throw std::runtime_error("The picture is too large for a BMP file");
    const std::uint32_t offset = FileHeaderSize + InfoHeaderSize;
    std::vector<std::uint8_t> out(offset + pixelBytes, 0);
    std::uint8_t *p = out.data();
    p[0] = 'B';
    p[1] = 'M';
    Put32(p + 2, std::uint32_t(out.size()));
    Put32(p + 10, offset);
    std::uint8_t *info = p + FileHeaderSize;
    Put32(info, InfoHeaderSize);
    Put32(info + 4, w);
    Put32(info + 8, h); // positive: the rows run bottom-up
    Put16(info + 12, 1);
    Put16(info + 14, 32);
    Put32(info + 16, 0); // BI_RGB
    Put32(info + 20, std::uint32_t(pixelBytes));
    // Rows of B, G, R and the fourth byte, exactly as the picture holds them.
    std::uint8_t *dst = p + offset;
    for (int y = int(h) - 1; y >= 0; --y) {
        std::memcpy(dst, picture.constScanLine(y), std::size_t(w) * 4);
        dst += std::size_t(w) * 4;
    }
    return out;
}

QImage LoadBmpFile(const QString &path)
{
    return LoadImageFile(path, [](const std::uint8_t *data, std::size_t size) { return DecodeBmp(data, size); });
}

void SaveBmpFile(const QImage &picture, const QString &path)
{
    WriteFileBytes(path, EncodeBmp(picture));
}
