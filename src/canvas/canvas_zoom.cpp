#include "canvas/velmora_canvas.h"

#include "engine/reduced_copy.h"
#include "engine/stroke_drawing.h"

#include <QPainter>

// The zoom: which picture point the mouse is over, where a picture point is
// shown, and the picture as shown: the picture itself at 1, whole blocks of
// one colour above 1, the reduced copy below 1.

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
    if (area.isEmpty())
        ReducedStale = true;
    else if (!ReducedStale && ZoomFactor.Den > 1)
        AddReducedDirty(area);
}

void TVelmoraCanvas::SegmentChanged(int penWidth)
{
    if (ReducedStale || ZoomFactor.Den == 1)
        return;
    // The pen reaches half its width around each copy of the segment; a
    // smooth pen touches one pixel more.
    const int reach = penWidth / 2 + 1;
    for (const Segment &s : Strokes().DrawnCopies())
        AddReducedDirty(QRect(s.a, s.b).normalized().adjusted(-reach, -reach, reach, reach));
}

// Merging the parts into a region on every move would cost more than the
// stroke; the update averages each block they meet once. Past a few hundred
// parts averaging the whole picture is cheaper.
void TVelmoraCanvas::AddReducedDirty(const QRect &area)
{
    constexpr std::size_t MaxParts = 512;
    if (ReducedDirty.size() >= MaxParts) {
        ReducedDirty.clear();
        ReducedStale = true;
        return;
    }
    ReducedDirty.push_back(area);
}

// A change nobody announced shows as a moved cache key with nothing to
// update; the whole copy is averaged again then.
void TVelmoraCanvas::SyncReducedCopy()
{
    if (ZoomFactor.Den == 1)
        return;
    if (!Reduced)
        Reduced = std::make_unique<TReducedCopy>();
    const bool unannounced = Picture.cacheKey() != ReducedKey && ReducedDirty.empty();
    if (ReducedStale || unannounced || Reduced->Factor() != ZoomFactor.Den) {
        Reduced->Rebuild(Picture, ZoomFactor.Den);
    } else {
        Reduced->Update(Picture, ReducedDirty);
    }
    ReducedDirty.clear();
    ReducedStale = false;
    ReducedKey = Picture.cacheKey();
}

// Enlarged, the picture pixels whose blocks meet the area are drawn as whole
// blocks and clipped to the area.
void TVelmoraCanvas::DrawPicture(QPainter &p, const QRect &pictureArea, const QRect &area)
{
    const QRect shown = pictureArea.intersected(area);
    if (shown.isEmpty())
        return;
    const QRect local = shown.translated(-pictureArea.topLeft());
    if (ZoomFactor.Num == 1) {
        const QImage &source = ZoomFactor.Den == 1 ? Picture : Reduced->Image();
        p.drawImage(shown.topLeft(), source, local);
        return;
    }
    const int n = ZoomFactor.Num;
    const QRect pixels(QPoint(local.left() / n, local.top() / n), QPoint(local.right() / n, local.bottom() / n));
    const QRect blocks(pictureArea.topLeft() + pixels.topLeft() * n, pixels.size() * n);
    p.save();
    p.setClipRect(shown, Qt::IntersectClip);
    p.drawImage(blocks, Picture, pixels);
    p.restore();
}
