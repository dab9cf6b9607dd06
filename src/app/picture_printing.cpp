#include "app/picture_printing.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <stdexcept>

QRectF PrintTarget(const QSize &picture, const QSizeF &page)
{
    if (picture.isEmpty() || page.isEmpty())
        return {};
    const qreal scale = std::min(page.width() / picture.width(), page.height() / picture.height());
    const QSizeF size(picture.width() * scale, picture.height() * scale);
    return QRectF(QPointF((page.width() - size.width()) / 2, (page.height() - size.height()) / 2), size);
}

QPageLayout::Orientation PrintOrientation(const QSize &picture)
{
    return picture.width() > picture.height() ? QPageLayout::Landscape : QPageLayout::Portrait;
}

void PrintPicture(QPrinter &printer, const QImage &picture)
{
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("Cannot print: the printer did not start");
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    painter.drawImage(PrintTarget(picture.size(), page.size()), picture);
    painter.end();
}
