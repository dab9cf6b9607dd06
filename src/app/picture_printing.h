#pragma once

#include <QPageLayout>
#include <QImage>
#include <QRectF>
#include <QSize>

class QPrinter;

// Where a picture goes on a page of the given size: centred, as large as
// fits, its proportions kept.
QRectF PrintTarget(const QSize &picture, const QSizeF &page);

// Portrait, unless the picture is wider than tall.
QPageLayout::Orientation PrintOrientation(const QSize &picture);

// Prints the picture on one page, drawn into PrintTarget of the printable
// area with smooth scaling done by the device: a page-sized copy of the
// picture would take hundreds of megabytes at printer resolutions. Throws
// std::runtime_error when the printer cannot start.
void PrintPicture(QPrinter &printer, const QImage &picture);
