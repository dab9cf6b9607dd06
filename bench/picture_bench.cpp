#include "big_canvas.h"

#include "engine/picture_ops.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>

// Whole-picture work on 3000 x 3000, measured against one memcpy of the
// picture's 36 MB (BM_RebuildMask: at most 2 times that). Undo snapshots are
// left out.

namespace {

void BM_MemcpyPicture(benchmark::State &state)
{
    auto c = BigCanvas();
    QImage copy(c->Picture.size(), QImage::Format_RGB32);
    copy.fill(Qt::black);
    for (auto _ : state) {
        std::memcpy(copy.bits(), c->Picture.constBits(), std::size_t(c->Picture.sizeInBytes()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyPicture)->Unit(benchmark::kMillisecond);

// Each round fills with the other of two colours, so every round fills.
void Fills(benchmark::State &state, TVelmoraCanvas &c, QPoint seed)
{
    int round = 0;
    for (auto _ : state) {
        c.SetMasterColor(round++ % 2 ? MakeColor(255, 0, 0) : MakeColor(0, 0, 255));
        c.PaintBucket(seed);
    }
}

void BM_BucketFillWhole(benchmark::State &state)
{
    auto c = BigCanvas();
    c->SetReflectionMode(rmNone);
    Fills(state, *c, QPoint(10, 10));
}
BENCHMARK(BM_BucketFillWhole)->Unit(benchmark::kMillisecond);

// A click in one cell of a black square lattice under p4m, whose copies
// fill every cell; at most 4 times BM_MemcpyPicture.
void BM_BucketFillPattern(benchmark::State &state)
{
    auto c = BigCanvas();
    const QPoint m = c->MasterCenter;
    for (int y = 0; y < Big; ++y) {
        auto *row = reinterpret_cast<QRgb *>(c->Picture.scanLine(y));
        for (int x = 0; x < Big; ++x)
            if ((x - m.x()) % 64 == 0 || (y - m.y()) % 64 == 0)
                row[x] = qRgb(0, 0, 0);
    }
    c->PictureChanged();
    c->SetReflectionMode(rmPattern);
    c->SetPattern({pgP4m, 64, 64, 90});
    Fills(state, *c, m + QPoint(20, 9));
}
BENCHMARK(BM_BucketFillPattern)->Unit(benchmark::kMillisecond);

// The same fill across a picture with smooth strokes on it, whose soft
// edges the tolerance takes in.
void BM_BucketFillTolerance(benchmark::State &state)
{
    auto c = BigCanvas();
    const QPoint m = c->MasterCenter;
    c->BrushSize = 9;
    c->SetSmoothStrokes(true);
    c->StrokeTo(m + QPoint(100, 0), false);
    c->StrokeTo(m + QPoint(1200, 500), true);
    c->StrokeTo(m + QPoint(900, -700), true);
    c->SetReflectionMode(rmNone);
    c->SetFillTolerance(32);
    Fills(state, *c, QPoint(10, 10));
}
BENCHMARK(BM_BucketFillTolerance)->Unit(benchmark::kMillisecond);

// Thirteen black rays from the master centre cut the picture into sectors;
// the seed lies in the middle of one, so its 13 copies fill one each.
void BM_BucketFillSectors(benchmark::State &state)
{
    auto c = BigCanvas();
    const QPoint m = c->MasterCenter;
    c->BrushSize = 3;
    c->StrokeTo(m, false);
    c->StrokeTo(m + QPoint(2 * Big, 0), true);
    const double a = std::numbers::pi / 13;
    Fills(state, *c, m + QPoint(int(700 * std::cos(a)), int(700 * std::sin(a))));
}
BENCHMARK(BM_BucketFillSectors)->Unit(benchmark::kMillisecond);

void BM_RebuildMask(benchmark::State &state)
{
    auto c = BigCanvas();
    c->BrushSize = 15;
    c->StrokeTo(c->MasterCenter, false);
    c->StrokeTo(c->MasterCenter + QPoint(1000, 300), true);
    c->SetColoringMode(cmPaintOverColor);
    for (auto _ : state)
        c->RebuildMask();
}
BENCHMARK(BM_RebuildMask)->Unit(benchmark::kMillisecond);

void BM_InvertPicture(benchmark::State &state)
{
    auto c = BigCanvas();
    for (auto _ : state)
        InvertPixels(c->Picture);
}
BENCHMARK(BM_InvertPicture)->Unit(benchmark::kMillisecond);

void BM_GrayscalePicture(benchmark::State &state)
{
    auto c = BigCanvas();
    c->Clear(MakeColor(200, 120, 30));
    for (auto _ : state)
        GrayscalePixels(c->Picture);
}
BENCHMARK(BM_GrayscalePicture)->Unit(benchmark::kMillisecond);

} // namespace
