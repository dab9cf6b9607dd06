#include "big_canvas.h"
#include "engine/thread_pool.h"

#include <QCoreApplication>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>

namespace {

// One mouse move of a running stroke: a 10-pixel segment, turning around the
// master centre so that consecutive moves differ. afterMove runs with each.
void StrokeMoves(benchmark::State &state, TVelmoraCanvas &c, const std::function<void()> &afterMove = {})
{
    const QPoint m = c.MasterCenter + QPoint(25, 25);
    c.MouseDown(mbLeft, ssLeft, m.x() + 300, m.y());
    int step = 0;
    for (auto _ : state) {
        const double a = step++ * 10.0 / 300.0;
        c.MouseMove(ssLeft, m.x() + int(300 * std::cos(a)), m.y() + int(300 * std::sin(a)));
        if (afterMove)
            afterMove();
    }
    c.MouseUp(mbLeft, 0, m.x(), m.y());
}

// Runs a benchmark with the strokes kept on the calling thread; registered
// under the benchmark's name with "OneThread" added.
template <void (*Benchmark)(benchmark::State &)>
void OnOneThread(benchmark::State &state)
{
    TThreadPool &pool = TThreadPool::Shared();
    const int threads = pool.Threads();
    pool.SetThreads(1);
    Benchmark(state);
    pool.SetThreads(threads);
}

// Ten visible layers of the big picture: the white background and nine
// above it, each opaque in a band of half the picture's rows and transparent
// elsewhere. The top one is active.
std::unique_ptr<TVelmoraCanvas> LayeredCanvas()
{
    auto c = BigCanvas();
    for (int i = 1; i < 10; ++i) {
        c->NewLayer();
        const int top = i * Big / 20;
        for (int y = top; y < top + Big / 2; ++y) {
            auto *row = reinterpret_cast<QRgb *>(c->Picture.scanLine(y));
            std::fill(row, row + Big, qRgb(25 * i, 255 - 25 * i, 100));
        }
        c->PictureChanged();
    }
    c->ClearHistory();
    return c;
}

void BM_StrokeMovePrimaryWide(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 21;
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMovePrimaryWide)->Unit(benchmark::kMicrosecond);

BENCHMARK(OnOneThread<BM_StrokeMovePrimaryWide>)
    ->Name("BM_StrokeMovePrimaryWideOneThread")
    ->Unit(benchmark::kMicrosecond);

// The same moves on the top one of ten layers, with the composite brought
// up to date after each (the display copy over the checkerboard follows it
// at the next paint, once for all the moves since the last one).
void BM_StrokeMoveLayers(benchmark::State &state)
{
    auto c = LayeredCanvas();
    c->BrushSize = 21;
    c->ComposedPicture();
    StrokeMoves(state, *c, [&c] { benchmark::DoNotOptimize(c->ComposedPicture()); });
}
BENCHMARK(BM_StrokeMoveLayers)->Unit(benchmark::kMicrosecond);

// The same, in a colour that changes every quarter turn: the moves above
// soon come round over their own paint, where no pixel changes, while these
// cover another colour as a fresh stroke does.
void BM_StrokeMoveLayersRecolored(benchmark::State &state)
{
    auto c = LayeredCanvas();
    c->BrushSize = 21;
    c->ComposedPicture();
    int moves = 0;
    StrokeMoves(state, *c, [&c, &moves] {
        if (++moves % 47 == 0)
            c->SetMasterColor(MakeColor(moves % 251, 80, 160));
        benchmark::DoNotOptimize(c->ComposedPicture());
    });
}
BENCHMARK(BM_StrokeMoveLayersRecolored)->Unit(benchmark::kMicrosecond);

void BM_StrokeMoveSmooth(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 21;
    c->SetSmoothStrokes(true);
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMoveSmooth)->Unit(benchmark::kMicrosecond);

// A soft, translucent brush of the same width; at most 3.5 times the
// aliased one.
void BM_StrokeMoveSoft(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 21;
    c->SetBrushHardness(50);
    c->SetBrushOpacity(60);
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMoveSoft)->Unit(benchmark::kMicrosecond);

// The moves of BM_StrokeMovePrimaryWide on a string of 20 pixels; at most
// 1.05 times it.
void BM_StrokeMoveStabilized(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 21;
    c->SetStabilizer(50);
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMoveStabilized)->Unit(benchmark::kMicrosecond);

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

BENCHMARK(OnOneThread<BM_StrokeMoveSecondaryMaximum>)
    ->Name("BM_StrokeMoveSecondaryMaximumOneThread")
    ->Unit(benchmark::kMillisecond);

// About 31,000 copies of each move: per copy at most 1.5 times
// BM_StrokeMovePrimaryWide's 13, that is at most 3,600 times its time.
void BM_StrokeMovePattern(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 21;
    c->SetReflectionMode(rmPattern);
    c->SetPattern({pgP6m, 64, 64, 90});
    StrokeMoves(state, *c);
}
BENCHMARK(BM_StrokeMovePattern)->Unit(benchmark::kMillisecond);

// The paint of a screenful: a 1920 x 1080 region inside the 3000 x 3000
// picture, or the whole control around an 800 x 600 one.
QRect PaintRegion(int size)
{
    return size == Big ? QRect(500, 700, 1920, 1080) : QRect(0, 0, 850, 650);
}

std::unique_ptr<TVelmoraCanvas> PaintCanvas(int size)
{
    if (size == Big)
        return BigCanvas();
    LoadCanvasModuleResources();
    auto c = std::make_unique<TVelmoraCanvas>();
    c->resize(850, 650);
    c->SetCanvasSize(800, 600, true, true);
    c->LayoutImageRect();
    return c;
}

// With shadow, centre icons and labels, grid and the 26 markers of
// Mirror primary.
std::unique_ptr<TVelmoraCanvas> Overlaid(std::unique_ptr<TVelmoraCanvas> c)
{
    c->SetShadow(true);
    c->SetShowCenterPoints(true);
    c->SetShowGrid(true);
    c->SetShowDrawingPoints(true);
    c->SetReflectionMode(rmMirrorPrimary);
    c->MouseMove(0, c->MasterCenter.x() + 25 - 200, c->MasterCenter.y() + 25 - 100);
    return c;
}

std::unique_ptr<TVelmoraCanvas> OverlaidCanvas(int size)
{
    return Overlaid(PaintCanvas(size));
}

void Paint(TVelmoraCanvas &c, QImage &screen, const QRect &region)
{
    QPainter p(&screen);
    p.translate(-region.topLeft());
    c.PaintArea(p, region);
}

// The reference of the paint: one drawImage of the picture's pixels that
// the region shows. The picture lies 25 pixels into the control, and the
// copy takes them from there: where a row starts in memory changes the speed
// of the copy by up to a tenth.
void BareCopy(const TVelmoraCanvas &c, QImage &screen, const QRect &region)
{
    const QPoint origin(c.ImageRect.Left, c.ImageRect.Top);
    const QRect shown = region.intersected(QRect(origin, c.Picture.size()));
    QPainter p(&screen);
    p.drawImage(shown.topLeft() - region.topLeft(), c.Picture, shown.translated(-origin));
}

void BM_PaintVisibleRegion(benchmark::State &state)
{
    auto c = OverlaidCanvas(int(state.range(0)));
    const QRect region = PaintRegion(int(state.range(0)));
    QImage screen(region.size(), QImage::Format_RGB32);
    for (auto _ : state)
        Paint(*c, screen, region);
}
BENCHMARK(BM_PaintVisibleRegion)->Arg(800)->Arg(Big)->Unit(benchmark::kMicrosecond);

// The same paint of the ten-layer picture, which shows over the
// checkerboard; the first paint composes it.
void BM_PaintLayers(benchmark::State &state)
{
    auto c = Overlaid(LayeredCanvas());
    const QRect region = PaintRegion(Big);
    QImage screen(region.size(), QImage::Format_RGB32);
    Paint(*c, screen, region);
    for (auto _ : state)
        Paint(*c, screen, region);
}
BENCHMARK(BM_PaintLayers)->Unit(benchmark::kMicrosecond);

void BM_BareCopyOfVisibleRegion(benchmark::State &state)
{
    auto c = PaintCanvas(int(state.range(0)));
    const QRect region = PaintRegion(int(state.range(0)));
    QImage screen(region.size(), QImage::Format_RGB32);
    for (auto _ : state)
        BareCopy(*c, screen, region);
}
BENCHMARK(BM_BareCopyOfVisibleRegion)->Arg(800)->Arg(Big)->Unit(benchmark::kMicrosecond);

// The two above in turns, each timed on its own: the ratio of the paint to
// the bare copy is then measured under the same conditions, which the
// memory bandwidth of a shared machine does not keep from one benchmark to
// the next.
void BM_PaintOverBareCopy(benchmark::State &state)
{
    auto c = OverlaidCanvas(int(state.range(0)));
    const QRect region = PaintRegion(int(state.range(0)));
    QImage screen(region.size(), QImage::Format_RGB32);
    using Clock = std::chrono::steady_clock;
    Clock::duration paint{}, bare{};
    for (auto _ : state) {
        const auto start = Clock::now();
        Paint(*c, screen, region);
        const auto middle = Clock::now();
        BareCopy(*c, screen, region);
        paint += middle - start;
        bare += Clock::now() - middle;
    }
    state.counters["ratio"] = double(paint.count()) / double(bare.count());
}
BENCHMARK(BM_PaintOverBareCopy)->Arg(800)->Arg(Big)->Unit(benchmark::kMicrosecond);

// A press on the picture until the first dab is in it: the undo step's copy
// and the first segment. The history's worker is idle at each start; the
// screen follows later, on the repaint timer. Compare with BM_MemcpyPicture.
void BM_PressLatency(benchmark::State &state)
{
    auto c = BigCanvas();
    const QPoint m = c->MasterCenter + QPoint(25, 25);
    for (auto _ : state) {
        c->MouseDown(mbLeft, ssLeft, m.x() + 300, m.y());
        c->MouseMove(ssLeft, m.x() + 302, m.y() + 2);
        state.PauseTiming();
        c->MouseUp(mbLeft, 0, m.x() + 302, m.y() + 2);
        c->History();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_PressLatency)->Arg(Big)->Unit(benchmark::kMillisecond);

} // namespace

