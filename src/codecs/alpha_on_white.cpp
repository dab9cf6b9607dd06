#include "codecs/alpha_on_white.h"

#include <cstdint>

void CompositeOnWhite(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *p = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const std::uint32_t a = p[x] >> 24;
            if (a == 0xFF)
                continue;
            const std::uint32_t inv = 0xFF - a;
            const auto blend = [&](int shift) {
                const std::uint32_t c = (p[x] >> shift) & 0xFF;
                return ((c * a + 0xFF * inv + 127) / 255) << shift;
            };
            p[x] = 0xFF000000u | blend(16) | blend(8) | blend(0);
        }
    }
}
