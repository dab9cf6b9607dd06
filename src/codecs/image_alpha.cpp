#include "codecs/image_alpha.h"

#include <cstdint>
#include <stdexcept>

namespace {

// The formats whose alpha byte is read directly: anything else with alpha
// goes through Format_ARGB32 first.
QImage AsArgb32(const QImage &image)
{
    return image.format() == QImage::Format_ARGB32 ? image : image.convertToFormat(QImage::Format_ARGB32);
}

std::uint32_t BlendOnWhite(std::uint32_t pixel)
{
    const std::uint32_t a = pixel >> 24;
    const std::uint32_t inv = 0xFF - a;
    const auto channel = [&](int shift) {
        const std::uint32_t c = (pixel >> shift) & 0xFF;
        return ((c * a + 0xFF * inv + 127) / 255) << shift;
    };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

} // namespace

bool HasTransparency(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage argb = AsArgb32(image);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const std::uint32_t *>(argb.constScanLine(y));
        std::uint32_t all = 0xFF000000u;
        for (int x = 0; x < argb.width(); ++x)
            all &= line[x];
        if (all < 0xFF000000u)
            return true;
    }
    return false;
}

QImage OverWhite(const QImage &image)
{
    if (!HasTransparency(image))
        return image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    QImage out = AsArgb32(image);
    if (!out.bits())
        throw std::runtime_error("Out of memory");
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<std::uint32_t *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (line[x] < 0xFF000000u)
                line[x] = BlendOnWhite(line[x]);
        }
    }
    out.reinterpretAsFormat(QImage::Format_RGB32);
    return out;
}
