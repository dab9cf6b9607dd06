#include "app/zoom_view.h"

#include "canvas/velmora_canvas.h"

#include <QCoreApplication>
#include <QCursor>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabletEvent>
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
    for (QScrollBar *bar : {Box->horizontalScrollBar(), Box->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] { FollowPointer(); });
}

int TZoomView::Index() const
{
    return ZoomLevels::IndexOf(Canvas->Zoom());
}

void TZoomView::ZoomIn() { ZoomAt(Index() + 1, VisibleMiddle()); }
void TZoomView::ZoomOut() { ZoomAt(Index() - 1, VisibleMiddle()); }
void TZoomView::ActualSize() { ZoomAt(ZoomLevels::ActualSize, VisibleMiddle()); }

// Fitted against the viewport as it is without scroll bars: the bars of the
// level being left would otherwise make a second fit choose another level.
void TZoomView::FitToWindow()
{
    const QSize picture(Canvas->PictureWidth(), Canvas->PictureHeight());
    ZoomAt(ZoomLevels::FitIndex(picture, 50, Box->maximumViewportSize()), VisibleMiddle());
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
    ScrollTo(QPoint(cx - anchor.x(), cy - anchor.y()));
    FollowPointer();
    Changed();
}

void TZoomView::ScrollTo(QPoint value)
{
    Box->horizontalScrollBar()->setValue(value.x());
    Box->verticalScrollBar()->setValue(value.y());
}

// The pointer's picture point, while the pointer is over the view.
void TZoomView::FollowPointer()
{
    const QPoint global = QCursor::pos();
    const QWidget *viewport = Box->viewport();
    if (viewport->rect().contains(viewport->mapFromGlobal(global)))
        Canvas->PointerAt(Canvas->mapFromGlobal(global));
}

bool TZoomView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != Canvas || Forwarding)
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

// The middle button's press and release are the pan's alone, whether they
// come from the mouse or from a stylus whose barrel button the system
// reports as the middle button. The pan lasts while the button is held: a
// move without it ends a pan whose release was lost.
bool TZoomView::Pan(QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::TabletMove)
        return PanMove(event);
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonRelease &&
        type != QEvent::MouseButtonDblClick && type != QEvent::TabletPress && type != QEvent::TabletRelease)
        return false;
    auto *point = static_cast<QSinglePointEvent *>(event);
    if (point->button() != Qt::MiddleButton)
        return false;
    Panning = type != QEvent::MouseButtonRelease && type != QEvent::TabletRelease;
    PanStart = point->globalPosition().toPoint();
    ScrollStart = QPoint(Box->horizontalScrollBar()->value(), Box->verticalScrollBar()->value());
    event->accept();
    return true;
}

// Stylus moves with the middle button never reach the canvas, so they do not
// paint. Mouse moves do, since the canvas keeps following the pointer; the
// view has scrolled under the pointer, so the canvas gets the move with its
// position in the scrolled view.
bool TZoomView::PanMove(QEvent *event)
{
    auto *point = static_cast<QSinglePointEvent *>(event);
    const bool held = point->buttons() & Qt::MiddleButton;
    Panning = Panning && held;
    if (Panning)
        ScrollTo(ScrollStart - (point->globalPosition().toPoint() - PanStart));
    if (event->type() == QEvent::TabletMove) {
        if (held)
            event->accept();
        return held;
    }
    if (!Panning)
        return false;
    auto *mouse = static_cast<QMouseEvent *>(event);
    QMouseEvent moved(QEvent::MouseMove, Canvas->mapFromGlobal(mouse->globalPosition()), mouse->globalPosition(),
                      mouse->button(), mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
    const QScopedValueRollback<bool> forwarding(Forwarding, true);
    QCoreApplication::sendEvent(Canvas, &moved);
    return true;
}
