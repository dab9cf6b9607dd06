#include "big_canvas.h"
#include "engine/coverage_stroke.h"
#include "engine/reflection.h"
#include "engine/stroke_drawing.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <vector>

namespace {

QImage WhiteBigPicture()
{
    QImage picture(Big, Big, QImage::Format_RGB32);
    picture.fill(Qt::white);
    return picture;
}

// The drawing of Add circle in Secondary mode with 13 copies of the second
// centre (300 pixels above the master centre), r = 1400 and a pen of width
// 9; the undo step the command records first is left out. The second count
// does not change what Add circle draws.
struct TCircles {
    TCircles()
        : Picture(WhiteBigPicture())
    {
        const QPoint m(Big / 2, Big / 2);
        const ReflectionInput in{m, m - QPoint(0, 300), 13, 2, rmSecondary};
        for (int i = 0; i < in.n; ++i)
            Centers.push_back(SecondCenterCopy(in, i));
        Smooth.SetSmooth(true);
    }
    void Draw(TStrokePainter &painter) { painter.DrawCircles(Picture, Centers, 1400, clBlack, 9); }

    QImage Picture;
    std::vector<QPoint> Centers;
    TStrokePainter Smooth, Aliased;
};

void BM_SmoothCircle(benchmark::State &state)
{
    TCircles circles;
    for (auto _ : state)
        circles.Draw(circles.Smooth);
}
BENCHMARK(BM_SmoothCircle)->Unit(benchmark::kMillisecond);

void BM_AliasedCircle(benchmark::State &state)
{
    TCircles circles;
    for (auto _ : state)
        circles.Draw(circles.Aliased);
}
BENCHMARK(BM_AliasedCircle)->Unit(benchmark::kMillisecond);

// The two above in turns, each timed on its own in the thread's processor
// time, so that their ratio holds on a shared, busy machine.
void BM_SmoothOverAliasedCircle(benchmark::State &state)
{
    TCircles circles;
    auto now = [] {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    };
    double smooth = 0, aliased = 0;
    for (auto _ : state) {
        const double start = now();
        circles.Draw(circles.Smooth);
        const double middle = now();
        circles.Draw(circles.Aliased);
        smooth += middle - start;
        aliased += now() - middle;
    }
    state.counters["ratio"] = smooth / aliased;
}
BENCHMARK(BM_SmoothOverAliasedCircle)->Unit(benchmark::kMillisecond);

// A straight smooth stroke of 2,000 pixels and width 21 in Primary mode (13
// copies, chords 500 pixels from the master centre), drawn in 10-pixel moves
// as the mouse would. The counter "bytes" is the most the stroke's coverage
// held, which is what it holds at its end.
void BM_SmoothStrokeCoverage(benchmark::State &state)
{
    QImage picture = WhiteBigPicture();
    const QPoint m(Big / 2, Big / 2);
    const ReflectionInput in{m, m - QPoint(0, 300), 13, 3, rmPrimary};
    TCoverageStroke stroke;
    std::size_t peak = 0;
    for (auto _ : state) {
        for (int x = m.x() - 1000; x < m.x() + 1000; x += 10)
            ForEachSegmentCopy(in, QPoint(x, m.y() - 500), QPoint(x + 10, m.y() - 500),
                               [&](QPoint a, QPoint b) { stroke.AddCapsule(picture, a, b, 21, clBlack, nullptr); });
        peak = std::max(peak, stroke.Bytes());
        stroke.End();
    }
    state.counters["bytes"] = double(peak);
}
BENCHMARK(BM_SmoothStrokeCoverage)->Unit(benchmark::kMillisecond);

} // namespace
