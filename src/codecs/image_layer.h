#pragma once

#include <QImage>
#include <QString>

// One layer of a picture as files hold it.
struct TImageLayer {
    QString Name;
    bool Visible = true;
    int Opacity = 100; // percent, 0..100
    // Format_ARGB32, not premultiplied, or Format_RGB32 while every pixel is
    // opaque.
    QImage Pixels;
};
