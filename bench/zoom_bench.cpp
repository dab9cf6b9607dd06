#include "big_canvas.h"

#include <QPainter>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

const QSize View(1920, 1080);

TZoom ZoomOfPercent(int percent)
{
    return percent >= 100 ? TZoom{percent / 100, 1} : TZoom{1, 100 / percent};
}

// The 3000 x 3000 picture at the zoom, in a canvas sized as the main window
// sizes it for a 1920 x 1080 view, with shadow, centre icons and labels,
// grid and the 26 markers of Mirror primary.
std::unique_ptr<TVelmoraCanvas> ZoomedCanvas(int percent)
{
    auto c = BigCanvas();
    c->SetZoom(ZoomOfPercent(percent));
    c->resize(std::max(c->ShownWidth() + 50, View.width()), std::max(c->ShownHeight() + 50, View.height()));
    c->LayoutImageRect();
    c->SetShadow(true);
    c->SetShowCenterPoints(true);
    c->SetShowGrid(true);
    c->SetShowDrawingPoints(true);
    c->SetReflectionMode(rmMirrorPrimary);
    const QPoint mouse = c->PictureToClient(c->MasterCenter - QPoint(200, 100));
    c->MouseMove(0, mouse.x(), mouse.y());
    return c;
}

// The view, centred on the canvas.
QRect ViewRegion(const TVelmoraCanvas &c)
{
    return QRect(QPoint((c.width() - View.width()) / 2, (c.height() - View.height()) / 2), View);
}

void BM_PaintZoomed(benchmark::State &state)
{
    auto c = ZoomedCanvas(int(state.range(0)));
    const QRect region = ViewRegion(*c);
    QImage screen(View, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&screen);
        p.translate(-region.topLeft());
        c->PaintArea(p, region);
    }
}
BENCHMARK(BM_PaintZoomed)->Arg(25)->Arg(50)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);

// What a program without a reduced copy would do: the grey field, then one
// scaled drawImage of the part of the picture the view shows, smoothed
// below 100% and not above.
void BM_BareScaledCopy(benchmark::State &state)
{
    const int percent = int(state.range(0));
    auto c = ZoomedCanvas(percent);
    const QRect region = ViewRegion(*c);
    const double z = percent / 100.0;
    const QRectF shown = QRectF(QPointF(c->ImageRect.Left, c->ImageRect.Top), QSizeF(Big * z, Big * z))
                             .intersected(QRectF(region));
    const QRectF source((shown.left() - c->ImageRect.Left) / z, (shown.top() - c->ImageRect.Top) / z,
                        shown.width() / z, shown.height() / z);
    QImage screen(View, QImage::Format_RGB32);
    for (auto _ : state) {
        screen.fill(QColor(127, 127, 127));
        QPainter p(&screen);
        p.setRenderHint(QPainter::SmoothPixmapTransform, percent < 100);
        p.drawImage(shown.translated(-region.topLeft()), c->Picture, source);
    }
}
BENCHMARK(BM_BareScaledCopy)->Arg(25)->Arg(50)->Arg(200)->Arg(800)->Unit(benchmark::kMicrosecond);

// The moves of BM_StrokeMovePrimaryWide at 1/4, through the mouse mapping.
// Every repaint the canvas carries out brings the reduced copy up to date,
// as its paint would; a steady stream of moves on a large picture repaints
// on every eleventh, since the repaint timer keeps being restarted. Items
// are the copies drawn, so the rate compares modes per copy.
void ZoomedOutStrokeMoves(benchmark::State &state, TReflectionMode mode, int secondCount)
{
    auto c = ZoomedCanvas(25);
    c->SetShowCenterPoints(false);
    c->SetShowGrid(false);
    c->SetShowDrawingPoints(false);
    c->SetReflectionMode(mode);
    c->SetSecondRefCount(secondCount);
    c->BrushSize = 21;
    const QPoint m = c->MasterCenter;
    // Near enough for every copy to land on the picture.
    c->SecondCenter = m - QPoint(0, 400);
    const QRect probe(0, 0, 1, 1);
    c->ComposeDisplay(probe);
    auto at = [&](QPoint pic) { return c->PictureToClient(pic); };
    const QPoint start = at(m + QPoint(300, 0));
    c->MouseDown(mbLeft, ssLeft, start.x(), start.y());
    int step = 0;
    int repaints = c->RepaintCount;
    for (auto _ : state) {
        const double a = step++ * 10.0 / 300.0;
        const QPoint p = at(m + QPoint(int(300 * std::cos(a)), int(300 * std::sin(a))));
        c->MouseMove(ssLeft, p.x(), p.y());
        if (c->RepaintCount != repaints) {
            repaints = c->RepaintCount;
            c->ComposeDisplay(probe);
        }
    }
    c->MouseUp(mbLeft, 0, start.x(), start.y());
    const int copies = mode == rmSecondary ? c->MasterRefCount * secondCount : c->MasterRefCount;
    state.SetItemsProcessed(state.iterations() * copies);
}

void BM_StrokeMoveZoomedOut(benchmark::State &state)
{
    ZoomedOutStrokeMoves(state, rmPrimary, 2);
}
BENCHMARK(BM_StrokeMoveZoomedOut)->Unit(benchmark::kMicrosecond);

// 13 x 4 copies spread over the picture: their parts of the reduced copy
// are marked block by block, however many there are.
void BM_StrokeMoveZoomedOutSecondary(benchmark::State &state)
{
    ZoomedOutStrokeMoves(state, rmSecondary, 4);
}
BENCHMARK(BM_StrokeMoveZoomedOutSecondary)->Unit(benchmark::kMicrosecond);

} // namespace
