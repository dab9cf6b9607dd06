#pragma once

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
