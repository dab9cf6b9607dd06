#include "canvas/canvas_resources.h"
#include "canvas/key_state.h"
#include "engine/layer_compose.h"
#include "engine/parallel_strokes.h"
#include "canvas/velmora_canvas.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>
#include <new>

namespace {

TShiftState ShiftOf(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons = {})
{
    TShiftState s = 0;
    if (mods & Qt::ShiftModifier)
        s |= ssShift;
    if (mods & Qt::AltModifier)
        s |= ssAlt;
    if (mods & Qt::ControlModifier)
        s |= ssCtrl;
    if (buttons & Qt::LeftButton)
        s |= ssLeft;
    if (buttons & Qt::RightButton)
        s |= ssRight;
    if (buttons & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

bool ButtonOf(Qt::MouseButton b, TMouseButton &out)
{
    switch (b) {
    case Qt::LeftButton: out = mbLeft; return true;
    case Qt::RightButton: out = mbRight; return true;
    case Qt::MiddleButton: out = mbMiddle; return true;
    default: return false;
    }
}

QPoint PosOf(const QMouseEvent *e)
{
    const QPointF p = e->position();
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

bool IsStrokeTool(TCanvasTool t) { return t == ctBrush || t == ctEraser; }

} // namespace

TParallelStrokes &TVelmoraCanvas::Strokes()
{
    if (!StrokePainter)
        StrokePainter = std::make_unique<TParallelStrokes>();
    StrokePainter->SetSmooth(SmoothStrokes);
    return *StrokePainter;
}

void TVelmoraCanvas::BeginStroke(QPoint p)
{
    LastPoint = p;
    BrushString.Start(p);
    EndStroke();
}

// Frees what a smooth stroke held. Also called when the picture changed
// under a held stroke, so that the rest of it blends from the new pixels.
void TVelmoraCanvas::EndStroke()
{
    if (StrokePainter)
        StrokePainter->EndStroke();
}

// Smooth drawing allocates as it goes. When memory runs out, the picture
// keeps what was drawn so far, the stroke ends and the owner is told.
void TVelmoraCanvas::DrawStroke(const std::function<void()> &draw)
{
    try {
        draw();
    } catch (const std::bad_alloc &) {
        Dragging = false;
        EndStroke();
        if (OnOutOfMemory)
            OnOutOfMemory(this);
    }
}

// A stylus scales the pen by its pressure; the mouse draws at full size.
int TVelmoraCanvas::StrokeWidth(bool eraser) const
{
    const int size = eraser ? EraserSize : BrushSize;
    if (PenPressure < 0)
        return size;
    return std::max(1, int(std::lround(PenPressure * size)));
}

// A press of the mouse itself means the stylus is off the tablet, even when
// its release never came: the mouse draws at full size.
void TVelmoraCanvas::mousePressEvent(QMouseEvent *event)
{
    if (PenStroke && event->deviceType() == QInputDevice::DeviceType::Mouse)
        EndPenStroke();
    TMouseButton button;
    if (!ButtonOf(event->button(), button))
        return;
    const QPoint p = PosOf(event);
    MouseDown(button, ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

// Qt reports a double click as press, release, double-click, release; the
// double-click message stands for the second press, flagged as such, and is
// followed by the double-click handling.
void TVelmoraCanvas::mouseDoubleClickEvent(QMouseEvent *event)
{
    TMouseButton button;
    if (!ButtonOf(event->button(), button))
        return;
    const QPoint p = PosOf(event);
    MouseDown(button, ShiftOf(event->modifiers(), event->buttons()) | ssDouble, p.x(), p.y());
    if (button == mbLeft)
        DblClick();
}

void TVelmoraCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = PosOf(event);
    MouseMove(ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

void TVelmoraCanvas::mouseReleaseEvent(QMouseEvent *event)
{
    TMouseButton button;
    if (!ButtonOf(event->button(), button))
        return;
    const QPoint p = PosOf(event);
    MouseUp(button, ShiftOf(event->modifiers(), event->buttons()), p.x(), p.y());
}

// An interactive canvas keeps every key that reaches it: handed on, the
// arrows and page keys would scroll the scroll box around it. Menu shortcuts
// are matched before a key is delivered, so they still act.
void TVelmoraCanvas::keyPressEvent(QKeyEvent *event)
{
    QWidget::keyPressEvent(event);
    KeyDown(event->key(), ShiftOf(event->modifiers()));
    if (Interactive)
        event->accept();
}

// The canvas keeps the Tab key for switching the active centre.
bool TVelmoraCanvas::focusNextPrevChild(bool)
{
    return false;
}

void TVelmoraCanvas::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    if (!Interactive)
        return;
    MessageShift = shift;
    if (!Dragging && button == mbLeft && IsStrokeTool(Tool)) {
        SaveUndoStep(true, true);
        Dragging = true;
        BeginStroke(ClientToPicture(QPoint(x, y)));
        return;
    }
    if (!Dragging && button == mbLeft && Tool == ctMovePoints && !(shift & ssDouble)) {
        Dragging = true;
        LastPoint = ClientToPicture(QPoint(x, y));
        MoveActiveCenter(LastPoint);
        RequestRepaint();
        return;
    }
    if (Tool == ctPickupColor && button == mbLeft) {
        PickColor(shift, x, y);
        return;
    }
    if (Tool == ctPaintBucket && button == mbLeft) {
        SaveUndoStep(true, true);
        PaintBucket(ClientToPicture(QPoint(x, y)));
        return;
    }
    if (button != mbRight)
        return;
    if (Tool == ctMovePoints) {
        if (!MasterActive)
            MasterActive = true;
        else if (ReflectionMode == rmSecondary)
            MasterActive = false;
        RepaintNow();
        return;
    }
    Tool = Tool == ctBrush ? ctEraser : ctBrush;
    UpdateCursor();
    if (OnToolChange)
        OnToolChange(this);
}

void TVelmoraCanvas::PickColor(TShiftState shift, int x, int y)
{
    if (x < ImageRect.Left || x >= ImageRect.Right || y < ImageRect.Top || y >= ImageRect.Bottom)
        return;
    const QPoint p = ClientToPicture(QPoint(x, y));
    if (p.x() >= PictureWidth() || p.y() >= PictureHeight() || p.x() < 0 || p.y() < 0)
        return;
    const TColor c = PixelColor(p);
    if (KeyState::LeftShiftDown(shift & ssShift))
        SetSecondColor(c);
    else
        SetMasterColor(c);
    if (OnColorPick)
        OnColorPick(this);
}

// The colour the user sees: the composed picture, over white where it is
// not opaque.
TColor TVelmoraCanvas::PixelColor(QPoint p) const
{
    const QImage &shown = Composed();
    const QRgb pixel = reinterpret_cast<const QRgb *>(shown.constScanLine(p.y()))[p.x()];
    return RgbToColor(shown.hasAlphaChannel() ? PixelOverWhite(pixel) : pixel);
}

void TVelmoraCanvas::MouseMove(TShiftState shift, int x, int y)
{
    if (!Interactive)
        return;
    MessageShift = shift;
    const QPoint p = ClientToPicture(QPoint(x, y));
    if (OnColorHover && Tool == ctPickupColor && p.x() >= 0 && p.x() < PictureWidth() && p.y() >= 0 &&
        p.y() < PictureHeight())
        OnColorHover(this, PixelColor(p));
    CursorPoint = p;
    if (Dragging && IsStrokeTool(Tool)) {
        FollowPointer(CursorPoint);
        return;
    }
    if (Dragging && Tool == ctMovePoints) {
        MoveActiveCenter(CursorPoint);
        RequestRepaint();
        return;
    }
    if ((Tool == ctBrush || Tool == ctPaintBucket) && ShowDrawingPoints)
        RequestRepaint();
}

void TVelmoraCanvas::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    MessageShift = shift;
    if (!Interactive || !Dragging || button != mbLeft)
        return;
    if (IsStrokeTool(Tool))
        FinishStroke(ClientToPicture(QPoint(x, y)));
    Dragging = false;
    EndStroke();
    if (IsStrokeTool(Tool))
        NotifyLayers();
}

void TVelmoraCanvas::DblClick()
{
    if (Tool != ctMovePoints)
        return;
    if (MasterActive)
        ResetMasterCenter();
    else
        ResetSecondCenter();
    RequestRepaint();
}

void TVelmoraCanvas::KeyDown(int key, TShiftState shift)
{
    if (!Interactive || key != Qt::Key_Tab || shift != 0 || Tool != ctMovePoints)
        return;
    if (ReflectionMode != rmMirrorPrimary && ReflectionMode != rmSecondary)
        return;
    MasterActive = !MasterActive;
    RepaintNow();
}

void TVelmoraCanvas::MoveActiveCenter(QPoint p)
{
    if (!MasterActive) {
        SecondCenter = p;
        return;
    }
    const QPoint delta = p - MasterCenter;
    MasterCenter = p;
    if (MessageShift & ssAlt)
        SecondCenter += delta;
}

void TVelmoraCanvas::DrawSegmentTo(QPoint p)
{
    if (!IsStrokeTool(Tool) && !PenEraser)
        return;
    const bool eraser = Tool == ctEraser || PenEraser;
    const int width = StrokeWidth(eraser);
    // The eraser paints the bottom layer in its colour and makes the pixels
    // of the layers above it transparent.
    const TInk ink = !eraser ? TInk(MasterColor) : ActiveLayer() > 0 ? TInk::Transparency() : TInk(SecondColor);
    TPenStyle style = PenStyle();
    if (RainbowCopies && !eraser)
        style.Hues = CopyHues(Reflection());
    Modified = true;
    DrawStroke([&] {
        Strokes().DrawCopies(Picture, Reflection(), LastPoint, p, ink, width, ActiveMask(), ChangeMarks(width),
                             style);
    });
    LastPoint = p;
    RequestRepaint();
}

// The string's length in picture pixels: its screen length through the zoom.
double TVelmoraCanvas::StringLength() const
{
    return Stabilizer * 0.4 * ZoomFactor.Den / ZoomFactor.Num;
}

// With the stabilizer on, the stroke is drawn to the brush point that the
// pointer pulls along on its string, and only when that moved to another
// pixel; the string on the screen follows every move.
void TVelmoraCanvas::FollowPointer(QPoint p)
{
    if (Stabilizer <= 0) {
        DrawSegmentTo(p);
        return;
    }
    if (BrushString.Pull(p, StringLength()) && BrushString.Pixel() != LastPoint)
        DrawSegmentTo(BrushString.Pixel());
    if (ShowDrawingPoints)
        RequestRepaint();
}

// The string is taken in at the release, so the stroke ends where the
// pointer let go.
void TVelmoraCanvas::FinishStroke(QPoint p)
{
    if (Stabilizer <= 0 || p == LastPoint)
        return;
    BrushString.Start(p);
    DrawSegmentTo(p);
}

void TVelmoraCanvas::StrokeTo(QPoint p, bool draw)
{
    if (draw)
        DrawSegmentTo(p);
    else
        BeginStroke(p);
}

void TVelmoraCanvas::UpdateCursor()
{
    int id = crDefault;
    if (Interactive) {
        switch (Tool) {
        case ctMovePoints: id = crSetPoint; break;
        case ctBrush: id = PreciseBrush ? crSharp : crBrush; break;
        case ctEraser: id = crEraser; break;
        case ctPickupColor: id = crEyedrop; break;
        case ctPaintBucket: id = crPaintBucket; break;
        }
    }
    if (id == CursorId)
        return;
    CursorId = id;
    setCursor(CanvasCursor(id));
}
