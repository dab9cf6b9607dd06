#include "canvas/velmora_canvas.h"

#include <QTabletEvent>

#include <cmath>

// A stylus paints like the mouse with the pen scaled by its pressure; its
// eraser end draws eraser strokes whatever the tool. Everything else the
// stylus does is left to the mouse events Qt makes from it.
void TVelmoraCanvas::tabletEvent(QTabletEvent *event)
{
    const bool eraserEnd = event->pointerType() == QPointingDevice::PointerType::Eraser;
    if (!Interactive || (!eraserEnd && Tool != ctBrush && Tool != ctEraser)) {
        event->ignore();
        return;
    }
    event->accept();
    const QPointF pos = event->position();
    const QPoint p = ClientToPicture(QPoint(int(std::floor(pos.x())), int(std::floor(pos.y()))));
    switch (event->type()) {
    case QEvent::TabletPress:
        if (Dragging || event->button() != Qt::LeftButton)
            return;
        PenEraser = eraserEnd;
        PenPressure = event->pressure();
        SaveUndoStep(true, true);
        Dragging = true;
        BeginStroke(p);
        return;
    case QEvent::TabletMove:
        CursorPoint = p;
        if (!Dragging || PenPressure < 0)
            return;
        PenPressure = event->pressure();
        DrawSegmentTo(p);
        return;
    case QEvent::TabletRelease:
        if (PenPressure < 0)
            return;
        Dragging = false;
        EndStroke();
        PenPressure = -1;
        PenEraser = false;
        return;
    default:
        return;
    }
}
