#pragma once

#include <QImage>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
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
