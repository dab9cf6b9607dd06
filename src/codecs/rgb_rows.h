#pragma once

// The sample layouts PNG files store, packed from picture rows.

#include <QtEndian>

#include <cstdint>
#include <cstring>

// Packs one Format_RGB32 row into the 3-byte R, G, B samples that PNG files
// store. Each pixel is written as a 4-byte word whose last byte the next
// pixel overwrites, so out needs one byte beyond the 3 * width it fills.
inline void PackRgbRow(const std::uint32_t *in, std::uint8_t *out, int width)
{
    for (int x = 0; x < width; ++x, out += 3) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        const std::uint32_t rgb = qbswap(in[x]) >> 8;
#else
        const std::uint32_t rgb = in[x] << 8;
#endif
        std::memcpy(out, &rgb, sizeof rgb);
    }
}

// Packs one Format_ARGB32 row into the 4-byte R, G, B, A samples of an RGBA
// PNG file; the colour of a transparent pixel is kept as it is.
inline void PackRgbaRow(const std::uint32_t *in, std::uint8_t *out, int width)
{
    for (int x = 0; x < width; ++x, out += 4) {
        const std::uint32_t rgba = in[x] << 8 | in[x] >> 24;
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        const std::uint32_t bytes = qbswap(rgba);
#else
        const std::uint32_t bytes = rgba;
#endif
        std::memcpy(out, &bytes, sizeof bytes);
    }
}
