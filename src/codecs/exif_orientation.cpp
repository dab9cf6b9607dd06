#include "codecs/exif_orientation.h"

#include <QTransform>

#include <cstring>

namespace {

constexpr std::size_t ExifHeaderSize = 6; // "Exif" and two zero bytes
constexpr std::uint16_t OrientationTag = 0x0112;
constexpr std::uint16_t ShortType = 3;
constexpr std::size_t EntrySize = 12;

// The TIFF block after the Exif header, read in its own byte order.
class TiffReader {
public:
    TiffReader(const std::uint8_t *data, std::size_t size)
        : Data(data)
        , Size(size)
        , BigEndian(size >= 2 && data[0] == 'M')
    {
    }

    bool Fits(std::size_t at, std::size_t length) const { return at <= Size && length <= Size - at; }

    std::uint32_t Get(std::size_t at, int bytes) const
    {
        std::uint32_t value = 0;
        for (int i = 0; i < bytes; ++i) {
            const int shift = BigEndian ? 8 * (bytes - 1 - i) : 8 * i;
            value |= std::uint32_t(Data[at + std::size_t(i)]) << shift;
        }
        return value;
    }

private:
    const std::uint8_t *Data;
    std::size_t Size;
    bool BigEndian;
};

} // namespace

int ExifOrientation(const std::uint8_t *data, std::size_t size)
{
    if (size < ExifHeaderSize + 8 || std::memcmp(data, "Exif\0\0", ExifHeaderSize) != 0)
        return 1;
    const std::uint8_t *tiff = data + ExifHeaderSize;
    const std::size_t tiffSize = size - ExifHeaderSize;
    const bool knownOrder = (tiff[0] == 'I' && tiff[1] == 'I') || (tiff[0] == 'M' && tiff[1] == 'M');
    const TiffReader r(tiff, tiffSize);
    if (!knownOrder || r.Get(2, 2) != 42)
        return 1;
    const std::size_t directory = r.Get(4, 4);
    if (!r.Fits(directory, 2))
        return 1;
    const std::size_t entries = r.Get(directory, 2);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + i * EntrySize;
        if (!r.Fits(entry, EntrySize))
            return 1;
        if (r.Get(entry, 2) != OrientationTag)
            continue;
        const std::uint32_t value = r.Get(entry + 8, 2);
        const bool valid = r.Get(entry + 2, 2) == ShortType && r.Get(entry + 4, 4) >= 1 && value >= 1 && value <= 8;
        return valid ? int(value) : 1;
    }
    return 1;
}

// Orientations 5 to 8 turn the picture a quarter clockwise; 5 and 7 then
// mirror it, as 2 and 4 mirror an unturned one and 3 turns it half round.
QImage Upright(const QImage &picture, int orientation)
{
    const QImage turned = orientation >= 5 ? picture.transformed(QTransform().rotate(orientation == 8 ? 270 : 90))
                                           : picture;
    switch (orientation) {
    case 2: return turned.mirrored(true, false);
    case 3: return turned.mirrored(true, true);
    case 4: return turned.mirrored(false, true);
    case 5: return turned.mirrored(true, false);
    case 7: return turned.mirrored(false, true);
    default: return turned;
    }
}
