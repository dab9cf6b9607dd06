#include "tools/layer_thumbnail.h"

#include <QPainter>

namespace {

constexpr int CheckerSquare = 4;
const QColor CheckerLight(0xFF, 0xFF, 0xFF);
const QColor CheckerDark(0xCC, 0xCC, 0xCC);

void DrawCheckerboard(QPainter &p, const QRect &area)
{
    p.fillRect(area, CheckerLight);
    for (int y = area.top(); y <= area.bottom(); y += CheckerSquare) {
        for (int x = area.left(); x <= area.right(); x += CheckerSquare) {
            if (((x - area.left()) / CheckerSquare + (y - area.top()) / CheckerSquare) % 2)
                p.fillRect(QRect(x, y, CheckerSquare, CheckerSquare).intersected(area), CheckerDark);
        }
    }
}

} // namespace

// Nearest-neighbour scaling reads only the pixels it shows, so a thumbnail of
// a large layer costs little.
QImage LayerThumbnail(const QImage &pixels, QSize box)
{
    QImage thumbnail(box, QImage::Format_ARGB32_Premultiplied);
    thumbnail.fill(Qt::transparent);
    if (pixels.isNull())
        return thumbnail;
    const QImage scaled = pixels.scaled(box, Qt::KeepAspectRatio, Qt::FastTransformation);
    const QRect area(QPoint((box.width() - scaled.width()) / 2, (box.height() - scaled.height()) / 2), scaled.size());
    QPainter p(&thumbnail);
    DrawCheckerboard(p, area);
    p.drawImage(area.topLeft(), scaled);
    return thumbnail;
}
