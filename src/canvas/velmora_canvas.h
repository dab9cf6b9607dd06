#pragma once

#include "engine/brush_string.h"
#include "engine/canvas_types.h"
#include "engine/layer_stack.h"
#include "engine/pen_style.h"
#include "engine/reflection.h"
#include "engine/zoom_levels.h"

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QTimer;
class TColoringMask;
class TFloodFill;
class TLayerComposite;
class TMaskedChange;
class TReducedCopy;
class TParallelStrokes;
class TUndoHistory;

// The painting canvas: owns the picture, the two centre points, the tool and
// view settings, the coloring mask, the undo history and the repaint timer.
// The members are split over files by concern: canvas_model.cpp (lifecycle,
// settings, centres), canvas_repaint.cpp (repaint requests and layout),
// canvas_strokes.cpp (mouse, keys and tools), canvas_tablet.cpp (stylus),
// canvas_paint.cpp (display), canvas_history.cpp (undo and redo),
// canvas_mask.cpp (coloring mask), canvas_bucket.cpp (paint bucket),
// canvas_effects.cpp (shape effects), canvas_picture_ops.cpp (invert and
// grayscale), canvas_zoom.cpp (zoom, the mapping between control and
// picture, and the shown picture), canvas_layers.cpp (the layer stack) and
// canvas_composite.cpp (the picture as its layers compose).
class TVelmoraCanvas : public QWidget {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(TVelmoraCanvas *)>;
    using TColorEvent = std::function<void(TVelmoraCanvas *, TColor)>;
    using THistoryEvent = std::function<void(TVelmoraCanvas *, bool CanUndo, bool CanRedo)>;

    explicit TVelmoraCanvas(QWidget *parent = nullptr);
    ~TVelmoraCanvas() override;

    // Picture lifecycle. Clear fills the active layer: the bottom one with
    // the colour, any other with transparency.
    void Clear(TColor color);
    void SetCanvasSize(int width, int height, bool clearPicture, bool centerMaster);
    // One layer with the graphic's pixels, with its alpha when it has
    // transparent pixels.
    void LoadPicture(const QImage &graphic);
    // The composed picture (ComposedPicture), for files and the clipboard.
    void AssignPictureTo(QImage &graphic) const;
    void CopyToClipboard() const;
    int PictureWidth() const { return Picture.width(); }
    int PictureHeight() const { return Picture.height(); }

    // Centre points.
    void SetMasterCenter(QPoint p);
    void ResetMasterCenter();
    void ResetSecondCenter();

    // Zoom. The mouse maps to picture points through ClientToPicture and
    // picture points are shown at PictureToClient; ImageRect is the
    // rectangle the picture is shown in.
    void SetZoom(TZoom z);
    TZoom Zoom() const { return ZoomFactor; }
    QPoint ClientToPicture(QPoint p) const;
    QPoint PictureToClient(QPoint p) const;
    // The pointer is at p (control coordinates) although no mouse message
    // said so: the view moved under it.
    void PointerAt(QPoint p);
    int ShownWidth() const { return ShownLength(PictureWidth(), ZoomFactor); }
    int ShownHeight() const { return ShownLength(PictureHeight(), ZoomFactor); }
    // The picture size that ImageRect stands for.
    QSize ImagePictureSize() const;
    // Tells the shown picture which part of Picture changed; an empty
    // rectangle means all of it.
    void PictureChanged(const QRect &area = QRect());

    // Settings; each does nothing when the value is unchanged.
    void SetMasterRefCount(int n);
    void SetSecondRefCount(int n);
    void SetTool(TCanvasTool t);
    void SetReflectionMode(TReflectionMode m);
    void SetPattern(const TPattern &p);
    const TPattern &Pattern() const { return PatternCell; }
    void SetPreciseBrush(bool b);
    void SetSmoothStrokes(bool b);
    void SetRainbowCopies(bool b);
    void SetBrushOpacity(int percent);
    void SetBrushHardness(int percent);
    void SetStabilizer(int strength);
    void SetFillTolerance(int t);
    void SetShowCenterPoints(bool b);
    void SetShowDrawingPoints(bool b);
    void SetShowGrid(bool b);
    void SetShadow(bool b);
    void SetMasterColor(TColor c);
    void SetSecondColor(TColor c);
    void SetAutoMask(bool b);
    void SetColoringMode(TColoringMode m);

    // The inputs of the copy sets as they stand now.
    ReflectionInput Reflection() const;

    // Repaints.
    void RequestRepaint();
    void RepaintNow();
    void LayoutImageRect();
    static TRect ComputeImageRect(int pictureW, int pictureH, int clientW, int clientH);

    // The display as a paint shows it, composed for the given part of the
    // control (control coordinates); the result has the size of that part
    // and stays valid until the next composition.
    const QImage &ComposeDisplay(const QRect &area);
    // A whole paint of the given part of the control onto the painter.
    void PaintArea(QPainter &target, const QRect &area);

    // Mouse, keys and tools, with the toolkit's message parameters.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    void MouseMove(TShiftState shift, int x, int y);
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    void DblClick();
    void KeyDown(int key, TShiftState shift);
    void DrawSegmentTo(QPoint p);
    void StrokeTo(QPoint p, bool draw);
    void MoveActiveCenter(QPoint p);
    void UpdateCursor();

    // History.
    void SaveUndoStep(bool toUndoList, bool clearRedo);
    void Undo();
    void Redo();
    void ClearHistory();
    std::int64_t HistorySize() const;
    void NotifyHistory();
    bool CanUndo() const;
    bool CanRedo() const;
    // The history once its pending step, if any, has been compressed.
    const TUndoHistory &History() const;

    // Coloring mask.
    void RebuildMask();
    void AssignMaskTo(QImage &bitmap) const;

    // Paint bucket: fills at P and at the other members of P's point copy
    // set, through the mask when one is set.
    void PaintBucket(QPoint P);

    // Shape effects through CursorPoint, drawn with the brush pen; they
    // ignore the mask.
    void AddCircle();
    void DrawPolygon(bool Star);

    // Whole-picture colour operations.
    void InvertPicture();
    void GrayscalePicture();

    // Layers, bottom (index 0) to top. Picture holds the active layer's
    // pixels; Layers().Pixels(i) reaches every layer's. Each change but
    // SetActiveLayer is an undo step, sets Modified and raises
    // OnLayersChange, and so does SetActiveLayer.
    const TLayerStack &Layers() const { return Stack; }
    int ActiveLayer() const { return Stack.ActiveIndex(); }
    // A transparent layer "Layer N" above the active one, which it becomes.
    void NewLayer();
    // A copy of the active layer, with its name, above it; the copy becomes
    // active.
    void DuplicateLayer();
    // Deletes the active layer unless it is the only one; the layer below
    // it (or above, for the bottom one) becomes active.
    void DeleteLayer();
    // Composes the active layer, at its opacity, into the one below, which
    // keeps its name, visibility and opacity and becomes active.
    void MergeDown();
    // The active layer one place up or down.
    void RaiseLayer();
    void LowerLayer();
    void MoveLayer(int from, int to);
    // Not an undo step and no change of the picture.
    void SetActiveLayer(int index);
    void SetLayerVisible(int index, bool visible);
    void SetLayerName(int index, const QString &name);
    void SetLayerOpacity(int index, int percent);
    // One layer, the bottom one's name, with the composed picture.
    void Flatten();
    // The image as a new layer "Pasted" above the active one, with its
    // top-left at the given picture point and clipped to the picture; the
    // layer becomes active. Nothing happens for a null image.
    void PasteAsLayer(const QImage &image, QPoint at);
    // What files and the clipboard take: the active layer itself while it is
    // the only one, visible at full opacity; otherwise the visible layers
    // composed (Format_ARGB32).
    QImage ComposedPicture() const;
    bool ComposedIsOpaque() const;
    // Layers read from a file (all of one size): the picture takes their
    // size, the top one becomes active, the history is emptied and the
    // picture is modified.
    void LoadLayers(std::vector<TImageLayer> layers);
    std::vector<TImageLayer> LayersForSaving() const;
    // Whether the composed picture alone gives the picture back through
    // LoadPicture: one visible layer at full opacity, under the name a flat
    // picture's layer has.
    bool IsFlatPicture() const;

    QImage Picture;
    TRect ImageRect;
    QPoint MasterCenter;
    QPoint SecondCenter;
    int MasterRefCount = 13;
    int SecondRefCount = 3;
    bool Dragging = false;
    QPoint LastPoint;
    TCanvasTool Tool = ctBrush;
    bool ShowCenterPoints = false;
    bool ShowDrawingPoints = false;
    TColor MasterColor = clBlack;
    TColor SecondColor = clWhite;
    bool PreciseBrush = false;
    int BrushSize = 1;
    int EraserSize = 10;
    // Brush and eraser strokes and the outline effects drawn with coverage.
    bool SmoothStrokes = false;
    // The brush's copies take hues spread around the colour wheel.
    bool RainbowCopies = false;
    // The brush's and the eraser's opacity (1..100%) and hardness
    // (0..100%); shapes and the bucket paint at full strength.
    int BrushOpacity = 100;
    int BrushHardness = 100;
    // The string the brush point trails the pointer on, 0..100: 0.4 screen
    // pixels a step, 0 for none.
    int Stabilizer = 0;
    // How far (0..255) red, green and blue (and alpha) may each differ from
    // the seed's for the bucket to fill a pixel.
    int FillTolerance = 0;
    // The bucket finds its area in the composed picture rather than in the
    // active layer, which it fills.
    bool FillSampleAll = false;
    TReflectionMode ReflectionMode = rmPrimary;
    TPattern PatternCell;
    bool MasterActive = true;
    TNotifyEvent OnToolChange;
    TNotifyEvent OnColorPick;
    bool Modified = false;
    bool Interactive = true;
    QTimer *RepaintTimer = nullptr;
    int DeferredRepaints = 0;
    TColoringMode ColoringMode = cmNone;
    std::unique_ptr<TColoringMask> Mask;
    bool AutoMask = true;
    bool Shadow = true;
    TColorEvent OnColorHover;
    THistoryEvent OnHistoryChange;
    // Raised after every change of the stack, of the active layer or of a
    // layer's name, visibility or opacity, and after every change of the
    // active layer's pixels has ended (a stroke, a fill, an undo).
    TNotifyEvent OnLayersChange;
    // Raised when memory ran out while drawing; the drawing stopped where it
    // got to and the stroke ended.
    TNotifyEvent OnOutOfMemory;
    QPoint CursorPoint{-1, -1};
    bool ShowGrid = false;

    // How many repaints have been carried out; lets callers observe the
    // effect of repaint requests without timing.
    int RepaintCount = 0;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void tabletEvent(QTabletEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void RepaintTimerTick();
    void WatchHistoryWorker();
    void SettleHistory();
    void PickColor(TShiftState shift, int x, int y);
    TColor PixelColor(QPoint p) const;
    TParallelStrokes &Strokes();
    void BeginStroke(QPoint p);
    void EndStroke();
    void DrawStroke(const std::function<void()> &draw);
    int StrokeWidth(bool eraser) const;
    void SetBrushSetting(int &field, int value, int lo, int hi);
    void SetStrokeSwitch(bool &field, bool value);
    TPenStyle PenStyle() const { return TPenStyle{BrushOpacity, BrushHardness}; }
    double StringLength() const;
    void FollowPointer(QPoint p);
    void FinishStroke(QPoint p);
    bool StringVisible() const;
    void DrawBrushString(QPainter &p) const;
    void EndPenStroke();
    void PrepareDisplay();
    void DrawDisplay(QPainter &p, const QRect &area);
    void PrepareCenterIcons();
    void DrawOverlayItems(QPainter &p, const QRect &area) const;
    bool MarkersVisible() const;
    QPoint PictureMiddle() const;
    void DrawPicture(QPainter &p, const QRect &pictureArea, const QRect &area);
    void SyncReducedCopy(bool composedAnew);
    bool ReducedFollows() const;
    // What a stroke drawn with the given pen width tells the reduced copy
    // and the composite about each copy it draws; nothing for a one-layer
    // picture at full size.
    std::function<void(QPoint, QPoint, const std::vector<TSpan> &)> ChangeMarks(int penWidth);
    void DrawMarkers(QPainter &p, const QRect &area) const;
    // The cell outlines of Pattern mode's grid over the whole picture, kept
    // while the pattern, the master centre and the picture size stay.
    const std::vector<QLineF> &LatticeLines();
    struct TLatticeGrid {
        TPattern Pattern;
        QPoint Origin;
        QSize Picture;
        std::vector<QLineF> Lines;
    };
    TLatticeGrid LatticeGrid;

    std::unique_ptr<TParallelStrokes> StrokePainter;
    // The result of ComposeDisplay, kept so that repeated compositions do not
    // allocate; paints draw straight onto the control.
    QImage DisplayBuffer;
    // Overlays of the paint in progress, worked out once before drawing:
    // centre icons (Icon >= 0) and labels (Icon < 0) in drawing order, and
    // the drawing points.
    struct TOverlayItem {
        int Icon;
        QRect Box;
        QString Label;
        bool Active;
    };
    std::vector<TOverlayItem> OverlayItems;
    std::vector<QPoint> MarkerPoints;
    int CursorId = -1;

    std::unique_ptr<TUndoHistory> UndoHistory;
    // The history's revision at the last notification.
    std::uint64_t NotifiedRevision = 0;

    TZoom ZoomFactor;
    // Below 1 the picture is shown from this copy. Changes announced through
    // PictureChanged and the copies of strokes are averaged again before the
    // next paint; a change of the picture that was not announced (its cache
    // key moved) redoes it all.
    std::unique_ptr<TReducedCopy> Reduced;
    bool ReducedStale = true;
    qint64 ReducedKey = 0;

    // Layers: the undo step of a change of the stack, which records the
    // pixels of the layers with the given ids, and what follows any change.
    void RecordLayersStep(const std::vector<int> &ids);
    void StackChanged();
    void LayersEdited();
    void NotifyLayers();
    void AfterHistoryRestore(const TStackShape &shape, const std::vector<qint64> &keys);
    std::vector<qint64> InactiveLayerKeys() const;
    bool IsLayerIndex(int index) const;
    QImage NewLayerPixels() const;
    void InsertAboveActive(TLayer layer);

    // The picture as its layers compose (canvas_composite.cpp). Picture is
    // shown as it is while it is the only layer, visible, opaque and at full
    // opacity; otherwise the composite is kept and shown over the
    // checkerboard.
    bool ActiveIsComposite() const;
    bool ShowsPictureAsIs() const;
    const QImage &Composed() const;
    bool SyncComposite() const;
    void DrawCheckerboard(QPainter &p, const QRect &pictureArea, const QRect &shown) const;

    TLayerStack Stack;
    mutable std::unique_ptr<TLayerComposite> Composite;
    // Below and Above must be composed anew: a layer other than the active
    // one, the order or the active layer changed.
    mutable bool LayersStale = true;
    mutable qint64 ComposedKey = 0;

    // The mask that painting honours now, or none.
    const TColoringMask *ActiveMask() const;
    void DrawShape(const std::function<void()> &draw);
    void DrawCircles(QPoint q);
    void DrawPatternCircles(QPoint q);
    void DrawFigures(QPoint q, bool Star);
    void DrawFigure(const std::vector<QPoint> &Vertices, bool Star);

    // Kept between clicks so that a fill allocates nothing once warmed up.
    std::unique_ptr<TFloodFill> BucketFill;
    std::unique_ptr<TMaskedChange> BucketChange;
    // Modifier state of the message being handled; the Alt test of a
    // centre move reads it.
    TShiftState MessageShift = 0;
    // The stylus stroke in progress, if any: its pressure (negative for full
    // size, as the mouse draws) and whether the eraser end draws it.
    bool PenStroke = false;
    qreal PenPressure = -1;
    bool PenEraser = false;
    // Where the brush point of the stroke in progress trails the pointer.
    TBrushString BrushString;
};
