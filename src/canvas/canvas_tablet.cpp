#include "canvas/velmora_canvas.h"

#include <QTabletEvent>

#include <cmath>

namespace {

// The pen's pressure, or -1 (full size) for a device that reports none,
// which some do by a pressure of 0 at first contact.
qreal PressureAtContact(const QTabletEvent &event)
{
    const QPointingDevice *device = event.pointingDevice();
    const bool reports = device && device->capabilities().testFlag(QInputDevice::Capability::Pressure);
    return reports && event.pressure() > 0 ? event.pressure() : -1;
}

} // namespace

// A stylus paints like the mouse with the pen scaled by its pressure; its
// eraser end draws eraser strokes whatever the tool. Everything else the
// stylus does, hovering included, is left to the mouse events Qt makes from
// the events ignored here. A stylus stroke ends with the pen's release
// whatever the tool is by then.
void TVelmoraCanvas::tabletEvent(QTabletEvent *event)
{
    const bool eraserEnd = event->pointerType() == QPointingDevice::PointerType::Eraser;
    if (!PenStroke && (!Interactive || (!eraserEnd && Tool != ctBrush && Tool != ctEraser))) {
        event->ignore();
        return;
    }
    const QPointF pos = event->position();
    const QPoint p = ClientToPicture(QPoint(int(std::floor(pos.x())), int(std::floor(pos.y()))));
    switch (event->type()) {
    case QEvent::TabletPress:
        if (PenStroke || Dragging || event->button() != Qt::LeftButton)
            break;
        event->accept();
        PenStroke = true;
        PenEraser = eraserEnd;
        PenPressure = PressureAtContact(*event);
        SaveUndoStep(true, true);
        Dragging = true;
        BeginStroke(p);
        return;
    case QEvent::TabletMove:
        if (!PenStroke)
            break;
        event->accept();
        CursorPoint = p;
        // Moves within one picture pixel add nothing to the stroke.
        if (Stabilizer <= 0 && p == LastPoint)
            return;
        if (PenPressure >= 0)
            PenPressure = event->pressure();
        FollowPointer(p);
        return;
    case QEvent::TabletRelease:
        if (!PenStroke || (event->buttons() & Qt::LeftButton))
            break;
        event->accept();
        FinishStroke(p);
        EndPenStroke();
        return;
    default:
        break;
    }
    event->ignore();
}

void TVelmoraCanvas::EndPenStroke()
{
    Dragging = false;
    EndStroke();
    PenStroke = false;
    PenPressure = -1;
    PenEraser = false;
    NotifyLayers();
}
