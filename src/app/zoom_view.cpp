#include "app/zoom_view.h"

#include "canvas/velmora_canvas.h"

#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr int WheelStep = 120;

} // namespace

TZoomView::TZoomView(QScrollArea *box, TVelmoraCanvas *canvas, std::function<void()> fitCanvas,
                     std::function<void()> changed, QObject *parent)
    : QObject(parent)
    , Box(box)
    , Canvas(canvas)
    , FitCanvas(std::move(fitCanvas))
    , Changed(std::move(changed))
{
    Canvas->installEventFilter(this);
}

int TZoomView::Index() const
{
    return ZoomLevels::IndexOf(Canvas->Zoom());
}

void TZoomView::ZoomIn() { ZoomAt(Index() + 1, VisibleMiddle()); }
void TZoomView::ZoomOut() { ZoomAt(Index() - 1, VisibleMiddle()); }
void TZoomView::ActualSize() { ZoomAt(ZoomLevels::ActualSize, VisibleMiddle()); }

void TZoomView::FitToWindow()
{
    const QSize picture(Canvas->PictureWidth(), Canvas->PictureHeight());
    ZoomAt(ZoomLevels::FitIndex(picture, 50, Box->viewport()->size()), VisibleMiddle());
}

QPoint TZoomView::VisibleMiddle() const
{
    return QPoint(Box->viewport()->width() / 2, Box->viewport()->height() / 2);
}

// The anchor's picture position is taken at the middle of its screen pixel,
// so the pixel under the pointer stays under it at every level above 1.
void TZoomView::ZoomAt(int index, QPoint anchor)
{
    const TZoom from = Canvas->Zoom(), to = ZoomLevels::Level(index);
    if (to == from)
        return;
    const QPoint control = Canvas->mapFrom(Box->viewport(), anchor);
    Canvas->LayoutImageRect();
    const double x = (control.x() + 0.5 - Canvas->ImageRect.Left) * from.Den / from.Num;
    const double y = (control.y() + 0.5 - Canvas->ImageRect.Top) * from.Den / from.Num;
    Canvas->SetZoom(to);
    FitCanvas();
    Canvas->LayoutImageRect();
    const int cx = int(std::floor(Canvas->ImageRect.Left + x * to.Num / to.Den));
    const int cy = int(std::floor(Canvas->ImageRect.Top + y * to.Num / to.Den));
    Box->horizontalScrollBar()->setValue(cx - anchor.x());
    Box->verticalScrollBar()->setValue(cy - anchor.y());
    Changed();
}

bool TZoomView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Canvas)
        return false;
    if (event->type() == QEvent::Wheel)
        return Wheel(event);
    return Pan(event);
}

bool TZoomView::Wheel(QEvent *event)
{
    auto *wheel = static_cast<QWheelEvent *>(event);
    if (!(wheel->modifiers() & Qt::ControlModifier))
        return false;
    WheelAngle += wheel->angleDelta().y();
    const int steps = WheelAngle / WheelStep;
    WheelAngle -= steps * WheelStep;
    if (steps != 0) {
        const QPointF at = wheel->position();
        const QPoint control(int(std::floor(at.x())), int(std::floor(at.y())));
        ZoomAt(Index() + steps, Canvas->mapTo(Box->viewport(), control));
    }
    return true;
}

// The middle button's press and release are the pan's alone; moves still
// reach the canvas, which keeps following the pointer.
bool TZoomView::Pan(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    const QPoint global = mouse->globalPosition().toPoint();
    if (type == QEvent::MouseMove) {
        if (Panning) {
            const QPoint moved = global - PanStart;
            Box->horizontalScrollBar()->setValue(ScrollStart.x() - moved.x());
            Box->verticalScrollBar()->setValue(ScrollStart.y() - moved.y());
        }
        return false;
    }
    if (mouse->button() != Qt::MiddleButton)
        return false;
    Panning = type != QEvent::MouseButtonRelease;
    PanStart = global;
    ScrollStart = QPoint(Box->horizontalScrollBar()->value(), Box->verticalScrollBar()->value());
    return true;
}
