#pragma once

#include "canvas/velmora_canvas.h"

#include <QImage>

// A canvas laid out 25 pixels around its 800 x 600 picture, as the main
// window places it; control and picture coordinates differ by (25, 25).
inline void LayOut(TVelmoraCanvas &c, int w = 850, int h = 650)
{
    c.resize(w, h);
    c.RepaintNow();
}

constexpr int Margin = 25;

inline QRgb Rgb(const QImage &img, int x, int y)
{
    return img.pixel(x, y) & 0xFFFFFF;
}

inline int CountPixels(const QImage &img, QRgb rgb)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += Rgb(img, x, y) == (rgb & 0xFFFFFF);
    return n;
}
