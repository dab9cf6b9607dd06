#pragma once

#include "codecs/png_codec.h"
#include "codecs/zip_archive.h"

#include <QImage>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

// Noise in all four bytes of every pixel: nothing to compress, and a fourth
// byte that codecs must ignore.
inline QImage RandomImage(int w, int h, unsigned seed)
{
    QImage img(w, h, QImage::Format_RGB32);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            reinterpret_cast<std::uint32_t *>(img.scanLine(y))[x] = rng();
    return img;
}

// The chunk types of a PNG file in order, each followed by a space; every
// chunk's CRC is checked against zlib's.
inline std::string PngChunkTypes(const std::vector<std::uint8_t> &png)
{
    std::string types;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::uint32_t length = std::uint32_t(png[at]) << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3];
        const std::size_t end = at + 8 + length;
        if (end + 4 > png.size())
            return types + "(cut)";
        types.append(reinterpret_cast<const char *>(&png[at + 4]), 4).append(" ");
        const std::uint32_t crc = crc32(0, &png[at + 4], length + 4);
        EXPECT_EQ(crc, std::uint32_t(png[end]) << 24 | png[end + 1] << 16 | png[end + 2] << 8 | png[end + 3]);
        at = end + 4;
    }
    return types;
}

// A PNG as the program writes every one: 8-bit RGB, not interlaced, and
// only the three mandatory chunks.
inline void ExpectPlainRgb8Png(const std::vector<std::uint8_t> &png, std::uint32_t w, std::uint32_t h)
{
    const std::uint8_t start[] = {137, 80, 78, 71, 13, 10, 26, 10, 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                  std::uint8_t(w >> 24), std::uint8_t(w >> 16), std::uint8_t(w >> 8), std::uint8_t(w),
                                  std::uint8_t(h >> 24), std::uint8_t(h >> 16), std::uint8_t(h >> 8), std::uint8_t(h),
                                  8, 2, 0, 0, 0};
    ASSERT_GE(png.size(), sizeof start);
    EXPECT_TRUE(std::equal(std::begin(start), std::end(start), png.begin()));
    EXPECT_EQ(PngChunkTypes(png), "IHDR IDAT IEND ");
}

// An OpenRaster layer list of the given size whose layers all show src.
inline QByteArray OraStack(int w, int h, int layers, const char *src = "data/a.png")
{
    QByteArray xml = "<image w=\"" + QByteArray::number(w) + "\" h=\"" + QByteArray::number(h) + "\"><stack>";
    for (int i = 0; i < layers; ++i)
        xml += "<layer src=\"" + QByteArray(src) + "\"/>";
    return xml + "</stack></image>";
}

// An OpenRaster file as other programs may write it: the given layer list
// and PNG entries, all deflated as some writers do.
inline std::vector<std::uint8_t> OraArchive(const QByteArray &stack,
                                            const std::vector<std::pair<QByteArray, QImage>> &pngs = {})
{
    const QByteArray mimetype = "image/openraster";
    TZipWriter zip;
    zip.Add("mimetype", std::vector<std::uint8_t>(mimetype.begin(), mimetype.end()), true);
    zip.Add("stack.xml", std::vector<std::uint8_t>(stack.begin(), stack.end()), false);
    for (const auto &[name, image] : pngs)
        zip.Add(name, EncodePng(image), false);
    return zip.Finish();
}

// Makes the archive's central directory, which follows every entry's data,
// declare other sizes for the entry.
inline void DeclareEntrySize(std::vector<std::uint8_t> &zip, const QByteArray &name, std::uint32_t compressed,
                             std::uint32_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(zip.data()), qsizetype(zip.size()));
    const std::size_t header = std::size_t(bytes.lastIndexOf(name)) - 46;
    for (std::size_t i = 0; i < 4; ++i) {
        zip[header + 20 + i] = std::uint8_t(compressed >> (8 * i));
        zip[header + 24 + i] = std::uint8_t(size >> (8 * i));
    }
}
