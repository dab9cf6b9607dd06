#pragma once

#include <QObject>
#include <QPoint>

#include <functional>

class QScrollArea;
class TVelmoraCanvas;

// The view's zoom and panning: the zoom commands, Ctrl+wheel about the
// pointer, and dragging the scroll box with the middle button of the mouse
// or of a stylus. A zoom keeps the picture point under its anchor in place
// as far as the scroll box can scroll; after every zoom and scroll the
// canvas learns the picture point under the pointer.
class TZoomView : public QObject {
    Q_OBJECT

public:
    // fitCanvas sizes the canvas for the new zoom; changed runs after every
    // zoom change.
    TZoomView(QScrollArea *box, TVelmoraCanvas *canvas, std::function<void()> fitCanvas,
              std::function<void()> changed, QObject *parent);

    // Anchored at the middle of the visible area.
    void ZoomIn();
    void ZoomOut();
    void ActualSize();
    void FitToWindow();
    // Sets the zoom level at index; anchor is in the scroll box's viewport.
    void ZoomAt(int index, QPoint anchor);
    int Index() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool Wheel(QEvent *event);
    bool Pan(QEvent *event);
    bool PanMove(QEvent *event);
    void ScrollTo(QPoint value);
    QPoint VisibleMiddle() const;
    void FollowPointer();

    QScrollArea *Box;
    TVelmoraCanvas *Canvas;
    std::function<void()> FitCanvas;
    std::function<void()> Changed;
    // Wheel angle not yet turned into a level; touchpads send small steps.
    int WheelAngle = 0;
    bool Panning = false;
    QPoint PanStart;
    QPoint ScrollStart;
    // A move handed on to the canvas with its position after the scroll.
    bool Forwarding = false;
};
