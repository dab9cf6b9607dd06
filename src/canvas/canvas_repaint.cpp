#include "canvas/velmora_canvas.h"

#include <QTimer>

namespace {

// Pictures up to this size repaint at once; larger ones coalesce a burst of
// requests into one repaint.
constexpr int ImmediateRepaintLimit = 1300;
constexpr int MaxDeferredRepaints = 10;

} // namespace

void TVelmoraCanvas::RequestRepaint()
{
    RepaintTimer->stop();
    if (DeferredRepaints > MaxDeferredRepaints) {
        RepaintNow();
        return;
    }
    if (PictureWidth() <= ImmediateRepaintLimit && PictureHeight() <= ImmediateRepaintLimit) {
        RepaintNow();
        return;
    }
    ++DeferredRepaints;
    RepaintTimer->start();
}

void TVelmoraCanvas::RepaintTimerTick()
{
    RepaintTimer->stop();
    RepaintNow();
}

// Lays out ImageRect even while the control is hidden, because the centre
// resets and mouse conversions read it right after a repaint; a visible
// control then paints synchronously.
void TVelmoraCanvas::RepaintNow()
{
    DeferredRepaints = 0;
    LayoutImageRect();
    ++RepaintCount;
    if (isVisible())
        repaint();
}

void TVelmoraCanvas::LayoutImageRect()
{
    ImageRect = ComputeImageRect(ShownWidth(), ShownHeight(), width(), height());
}

TRect TVelmoraCanvas::ComputeImageRect(int pictureW, int pictureH, int clientW, int clientH)
{
    TRect r;
    if (pictureW < clientW) {
        r.Left = (clientW - pictureW) / 2;
        r.Right = r.Left + pictureW;
    } else {
        r.Right = clientW;
    }
    if (pictureH < clientH) {
        r.Top = (clientH - pictureH) / 2;
        r.Bottom = r.Top + pictureH;
    } else {
        r.Bottom = clientH;
    }
    return r;
}
