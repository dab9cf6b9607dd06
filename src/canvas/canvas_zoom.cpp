#include "canvas/velmora_canvas.h"

#include "engine/layer_composite.h"
#include "engine/reduced_copy.h"
#include "engine/parallel_strokes.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

// The zoom: which picture point the mouse is over, where a picture point is
// shown, and the picture as shown: the picture itself at 1, whole blocks of
// one colour above 1, the reduced copy below 1. A picture of layers is shown
// as they compose, over the checkerboard.

void TVelmoraCanvas::SetZoom(TZoom z)
{
    if (z == ZoomFactor)
        return;
    ZoomFactor = z;
    ReducedStale = true;
    LayoutImageRect();
    update();
}

QPoint TVelmoraCanvas::ClientToPicture(QPoint p) const
{
    return QPoint(ShownToPicture(p.x() - ImageRect.Left, ZoomFactor), ShownToPicture(p.y() - ImageRect.Top, ZoomFactor));
}

QPoint TVelmoraCanvas::PictureToClient(QPoint p) const
{
    return QPoint(ImageRect.Left + PictureToShown(p.x(), ZoomFactor), ImageRect.Top + PictureToShown(p.y(), ZoomFactor));
}

// Zooming and scrolling move the picture under a pointer that stays where it
// is; the markers follow its new picture point.
void TVelmoraCanvas::PointerAt(QPoint p)
{
    const QPoint picture = ClientToPicture(p);
    if (picture == CursorPoint)
        return;
    CursorPoint = picture;
    if ((Tool == ctBrush || Tool == ctPaintBucket) && ShowDrawingPoints)
        RequestRepaint();
}

QSize TVelmoraCanvas::ImagePictureSize() const
{
    return QSize(PictureLength(ImageRect.Right - ImageRect.Left, PictureWidth(), ZoomFactor),
                 PictureLength(ImageRect.Bottom - ImageRect.Top, PictureHeight(), ZoomFactor));
}

// Taken from the picture's own size, not from the shown part: a picture
// larger than the control, or laid out for the previous size, has its middle
// where the user expects it.
QPoint TVelmoraCanvas::PictureMiddle() const
{
    return QPoint(PictureWidth() / 2, PictureHeight() / 2);
}

void TVelmoraCanvas::PictureChanged(const QRect &area)
{
    if (Composite)
        Composite->Mark(area);
    if (area.isEmpty())
        ReducedStale = true;
    else if (ReducedFollows())
        Reduced->Mark(area);
}

// Changes are marked on the reduced copy only while it stands for the
// picture at the current level; otherwise the next paint averages it anew.
bool TVelmoraCanvas::ReducedFollows() const
{
    return ZoomFactor.Den > 1 && !ReducedStale && Reduced && Reduced->Factor() == ZoomFactor.Den;
}

// The reduced copy averages whole blocks, and takes the box of each copy:
// the pen reaches half its width around it, a smooth pen one pixel more.
// The composite takes the rows the copy changed.
std::function<void(QPoint, QPoint, const std::vector<TSpan> &)> TVelmoraCanvas::ChangeMarks(int penWidth)
{
    const bool reduced = ReducedFollows();
    TLayerComposite *composite = Composite.get();
    if (!reduced && !composite)
        return {};
    const int reach = penWidth / 2 + 1;
    return [this, reach, reduced, composite](QPoint a, QPoint b, const std::vector<TSpan> &rows) {
        if (reduced)
            Reduced->Mark(QRect(a, b).normalized().adjusted(-reach, -reach, reach, reach));
        if (composite)
            composite->MarkRows(rows);
    };
}

// Averages the picture as shown: Picture, or the composite of its layers.
// A change nobody announced shows as a moved cache key of Picture with
// nothing marked; the whole copy is averaged again then, as it is after the
// composite was made anew.
void TVelmoraCanvas::SyncReducedCopy(bool composedAnew)
{
    if (ZoomFactor.Den == 1)
        return;
    if (!Reduced)
        Reduced = std::make_unique<TReducedCopy>();
    const QImage &source = ShowsPictureAsIs() ? Picture : Composite->Composite();
    const bool unannounced = Picture.cacheKey() != ReducedKey && !Reduced->HasMarks();
    if (ReducedStale || composedAnew || unannounced || Reduced->Factor() != ZoomFactor.Den)
        Reduced->Rebuild(source, ZoomFactor.Den);
    else
        Reduced->Update(source);
    ReducedStale = false;
    ReducedKey = Picture.cacheKey();
}

// Enlarged, the picture pixels whose blocks meet the area are drawn as whole
// blocks and clipped to the area. Qt steps through a scaled source in 16.16
// fixed point from the left and top of each drawing, and the rounding error
// of the step builds up over a long run until a screen pixel takes the
// colour of the neighbouring block. The blocks are therefore drawn in tiles
// that start on block edges, short enough for the error to stay below half
// a screen pixel: the step errs by less than 1/65536 of a picture pixel per
// screen pixel, half a screen pixel is 32768 / s of them at s screen pixels
// per picture pixel, and a tile of t picture pixels (t s screen pixels)
// keeps within half of that when t <= 16384 / s^2.
void TVelmoraCanvas::DrawPicture(QPainter &p, const QRect &pictureArea, const QRect &area)
{
    const QRect shown = pictureArea.intersected(area);
    if (shown.isEmpty())
        return;
    const QRect local = shown.translated(-pictureArea.topLeft());
    const bool asIs = ShowsPictureAsIs();
    if (ZoomFactor == TZoom{1, 1}) {
        p.drawImage(shown.topLeft(), asIs ? Picture : Composite->Display(), local);
        return;
    }
    if (!asIs)
        DrawCheckerboard(p, pictureArea, shown);
    if (ZoomFactor.Num == 1) {
        p.drawImage(shown.topLeft(), Reduced->Image(), local);
        return;
    }
    const QImage &source = asIs ? Picture : Composite->Composite();
    const int n = ZoomFactor.Num;
    const QRect pixels(QPoint(local.left() / n, local.top() / n), QPoint(local.right() / n, local.bottom() / n));
    const QTransform &device = p.deviceTransform();
    const double s = n * std::max({std::abs(device.m11()), std::abs(device.m22()), 1.0});
    const int tile = std::max(1, int(16384 / (s * s)));
    p.save();
    p.setClipRect(shown, Qt::IntersectClip);
    for (int y = pixels.top(); y <= pixels.bottom(); y += tile)
        for (int x = pixels.left(); x <= pixels.right(); x += tile) {
            const QRect part = QRect(x, y, tile, tile).intersected(pixels);
            p.drawImage(QRect(pictureArea.topLeft() + part.topLeft() * n, part.size() * n), source, part);
        }
    p.restore();
}
