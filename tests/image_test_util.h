#pragma once

#include <QImage>

#include <cstdint>
#include <random>

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
