#include "canvas/key_state.h"
#include "canvas/canvas_resources.h"
#include "engine/coloring_mask.h"
#include "engine/flood_fill.h"
#include "engine/layer_composite.h"
#include "engine/reduced_copy.h"
#include "engine/parallel_strokes.h"
#include "engine/undo_history.h"
#include "canvas/velmora_canvas.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr int DefaultWidth = 800;
constexpr int DefaultHeight = 600;
constexpr int RepaintDelayMs = 20;

} // namespace

TVelmoraCanvas::TVelmoraCanvas(QWidget *parent)
    : QWidget(parent)
    , UndoHistory(std::make_unique<TUndoHistory>())
{
    Stack.KeepActiveIn(&Picture);
    Stack.Reset(QImage(DefaultWidth, DefaultHeight, QImage::Format_RGB32));
    Clear(clWhite);
    MasterCenter = QPoint(PictureWidth() / 2, PictureHeight() / 2);
    SecondCenter = QPoint(MasterCenter.x(), MasterCenter.y() - 200);

    // Every paint covers the whole exposed area; the control need not clear
    // its background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    KeyState::Install();

    RepaintTimer = new QTimer(this);
    RepaintTimer->setSingleShot(true);
    RepaintTimer->setInterval(RepaintDelayMs);
    connect(RepaintTimer, &QTimer::timeout, this, &TVelmoraCanvas::RepaintTimerTick);
    WatchHistoryWorker();
}

// The history's worker calls back into this object; it ends first.
TVelmoraCanvas::~TVelmoraCanvas()
{
    UndoHistory.reset();
}

void TVelmoraCanvas::Clear(TColor color)
{
    Modified = true;
    if (ActiveLayer() > 0)
        Picture.fill(Qt::transparent);
    else
        Picture.fill(QColor::fromRgb(ColorToRgb(color)));
    EndStroke();
    PictureChanged();
    // A mask of the old picture means nothing on a cleared one.
    SetColoringMode(cmNone);
    RepaintNow();
    NotifyLayers();
}

namespace {

// The old pixels stay anchored at the top-left; the area a larger picture
// gains is white on the bottom layer and transparent on the others.
QImage Resized(const QImage &picture, int width, int height, bool bottom)
{
    QImage resized(width, height, picture.format());
    if (resized.isNull())
        throw std::bad_alloc();
    resized.fill(bottom ? Qt::white : Qt::transparent);
    const std::size_t bytes = std::size_t(std::min(width, picture.width())) * sizeof(QRgb);
    for (int y = 0; y < std::min(height, picture.height()); ++y)
        std::memcpy(resized.scanLine(y), picture.constScanLine(y), bytes);
    return resized;
}

} // namespace

// A new picture is one white layer.
void TVelmoraCanvas::SetCanvasSize(int width, int height, bool clearPicture, bool centerMaster)
{
    Modified = true;
    SetColoringMode(cmNone);
    if (clearPicture) {
        // The old pixels would be painted over at once; a picture of the
        // same size keeps its memory.
        QImage background = std::move(Picture);
        if (background.size() != QSize(width, height) || background.format() != QImage::Format_RGB32)
            background = QImage(width, height, QImage::Format_RGB32);
        Stack.Reset(std::move(background));
        StackChanged();
        Clear(clWhite);
    } else {
        std::vector<QImage> resized;
        for (int i = 0; i < Stack.Count(); ++i)
            resized.push_back(Resized(Stack.Pixels(i), width, height, i == 0));
        for (int i = 0; i < Stack.Count(); ++i)
            Stack.Pixels(i) = std::move(resized[std::size_t(i)]);
        StackChanged();
        RepaintNow();
    }
    if (centerMaster) {
        ResetMasterCenter();
        RepaintNow();
    }
    ClearHistory();
}

void TVelmoraCanvas::LoadPicture(const QImage &graphic)
{
    LoadLayers({TImageLayer{BackgroundLayerName, true, 100, graphic}});
}

// The copy shares the pixels until one side writes to them, so handing the
// picture to a file writer costs no copy of its memory.
void TVelmoraCanvas::AssignPictureTo(QImage &graphic) const
{
    graphic = ComposedPicture();
}

void TVelmoraCanvas::CopyToClipboard() const
{
    QGuiApplication::clipboard()->setImage(ComposedPicture());
}

void TVelmoraCanvas::SetMasterCenter(QPoint p)
{
    MasterCenter = p;
    RequestRepaint();
}

void TVelmoraCanvas::ResetMasterCenter()
{
    MasterCenter = PictureMiddle();
}

void TVelmoraCanvas::ResetSecondCenter()
{
    SecondCenter = QPoint(PictureMiddle().x(), 100);
}

void TVelmoraCanvas::SetMasterRefCount(int n)
{
    n = std::max(n, 2);
    if (n == MasterRefCount)
        return;
    MasterRefCount = n;
    RequestRepaint();
}

void TVelmoraCanvas::SetSecondRefCount(int n)
{
    n = std::max(n, 2);
    if (n == SecondRefCount)
        return;
    SecondRefCount = n;
    RequestRepaint();
}

void TVelmoraCanvas::SetTool(TCanvasTool t)
{
    if (t == Tool)
        return;
    Tool = t;
    RequestRepaint();
}

void TVelmoraCanvas::SetReflectionMode(TReflectionMode m)
{
    if (m == ReflectionMode)
        return;
    ReflectionMode = m;
    if (!MasterActive && m != rmSecondary)
        MasterActive = true;
    RequestRepaint();
}

void TVelmoraCanvas::SetPattern(const TPattern &p)
{
    if (p == PatternCell)
        return;
    PatternCell = p;
    RequestRepaint();
}

void TVelmoraCanvas::SetPreciseBrush(bool b)
{
    if (b == PreciseBrush)
        return;
    PreciseBrush = b;
    UpdateCursor();
}

// A stroke in progress goes on as a new one with the new setting.
void TVelmoraCanvas::SetStrokeSwitch(bool &field, bool value)
{
    field = value;
    EndStroke();
}

void TVelmoraCanvas::SetSmoothStrokes(bool b) { SetStrokeSwitch(SmoothStrokes, b); }
void TVelmoraCanvas::SetRainbowCopies(bool b) { SetStrokeSwitch(RainbowCopies, b); }

// Likewise, for a setting kept within lo..hi.
void TVelmoraCanvas::SetBrushSetting(int &field, int value, int lo, int hi)
{
    value = std::clamp(value, lo, hi);
    if (value == field)
        return;
    field = value;
    EndStroke();
}

void TVelmoraCanvas::SetBrushOpacity(int percent) { SetBrushSetting(BrushOpacity, percent, 1, 100); }
void TVelmoraCanvas::SetBrushHardness(int percent) { SetBrushSetting(BrushHardness, percent, 0, 100); }
void TVelmoraCanvas::SetStabilizer(int strength) { SetBrushSetting(Stabilizer, strength, 0, 100); }

void TVelmoraCanvas::SetFillTolerance(int t)
{
    FillTolerance = std::clamp(t, 0, 255);
}

namespace {

// Stores a view switch and repaints when it changed.
void SetViewSwitch(TVelmoraCanvas &canvas, bool &field, bool value)
{
    if (field == value)
        return;
    field = value;
    canvas.RequestRepaint();
}

} // namespace

void TVelmoraCanvas::SetShowCenterPoints(bool b) { SetViewSwitch(*this, ShowCenterPoints, b); }
void TVelmoraCanvas::SetShowDrawingPoints(bool b) { SetViewSwitch(*this, ShowDrawingPoints, b); }
void TVelmoraCanvas::SetShowGrid(bool b) { SetViewSwitch(*this, ShowGrid, b); }
void TVelmoraCanvas::SetShadow(bool b) { SetViewSwitch(*this, Shadow, b); }

void TVelmoraCanvas::SetMasterColor(TColor c)
{
    if (c == MasterColor)
        return;
    MasterColor = c;
    if (AutoMask && ColoringMode != cmNone)
        RebuildMask();
}

void TVelmoraCanvas::SetSecondColor(TColor c)
{
    if (c == SecondColor)
        return;
    SecondColor = c;
    if (ColoringMode != cmNone)
        RebuildMask();
}

ReflectionInput TVelmoraCanvas::Reflection() const
{
    return ReflectionInput{MasterCenter, SecondCenter, MasterRefCount, SecondRefCount, ReflectionMode, PatternCell,
                           QSize(PictureWidth(), PictureHeight())};
}
