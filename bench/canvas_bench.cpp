#include "big_canvas.h"

#include <QPainter>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// One mouse move of a running stroke: a 10-pixel segment, turning around the
// master centre so that consecutive moves differ.
void StrokeMoves(benchmark::State &state, TVelmoraCanvas &c)
{
    const QPoint m = c.MasterCenter + QPoint(25, 25);
    c.MouseDown(mbLeft, ssLeft, m.x() + 300, m.y());
    int step = 0;
    for (auto _ : state) {
        const double a = step++ * 10.0 / 300.0;
        c.MouseMove(ssLeft, m.x() + int(300 * std::cos(a)), m.y() + int(300 * std::sin(a)));
    }
    c.MouseUp(mbLeft, 0, m.x(), m.y());
}

void BM_StrokeMovePrimaryWide(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 21;
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMovePrimaryWide)->Unit(benchmark::kMicrosecond);

void BM_StrokeMovePrimaryWideEven(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 20;
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMovePrimaryWideEven)->Unit(benchmark::kMicrosecond);

// The same moves through a paint-over mask that leaves the white picture
// paintable.
void BM_StrokeMoveMasked(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 21;
    c->SetColoringMode(cmPaintOverColor);
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMoveMasked)->Unit(benchmark::kMicrosecond);

void BM_StrokeMoveSecondaryMaximum(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 1;
    c->SetReflectionMode(rmSecondary);
    c->SetMasterRefCount(999);
    c->SetSecondRefCount(999);
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMoveSecondaryMaximum)->Unit(benchmark::kMillisecond);

const QRect Visible(500, 700, 1920, 1080);

void BM_PaintVisibleRegion(benchmark::State &state)
{
    auto c = BigCanvas();
    c->SetShadow(true);
    c->SetShowCenterPoints(true);
    c->SetShowGrid(true);
    c->SetShowDrawingPoints(true);
    c->SetReflectionMode(rmMirrorPrimary);
    c->MouseMove(0, c->MasterCenter.x() + 25 - 200, c->MasterCenter.y() + 25 - 100);
    QImage screen(Visible.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&screen);
        p.translate(-Visible.topLeft());
        c->PaintArea(p, Visible);
    }
}
BENCHMARK(BM_PaintVisibleRegion)->Unit(benchmark::kMicrosecond);

void BM_BareCopyOfVisibleRegion(benchmark::State &state)
{
    auto c = BigCanvas();
    QImage screen(Visible.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter p(&screen);
        p.drawImage(QPoint(0, 0), c->Picture, Visible);
    }
}
BENCHMARK(BM_BareCopyOfVisibleRegion)->Unit(benchmark::kMicrosecond);

} // namespace
