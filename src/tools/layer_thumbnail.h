#pragma once

#include <QImage>
#include <QSize>

// A layer as the Layers window shows it: scaled to fit the box with its
// proportions kept, over a checkerboard where it is not opaque, so that an
// empty layer does not look like a white one.
QImage LayerThumbnail(const QImage &pixels, QSize box);
