#include "engine/coloring_mask.h"
#include "engine/flood_fill.h"
#include "engine/parallel_strokes.h"
#include "engine/thread_pool.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <stdexcept>
#include <vector>

// Every part runs once, on any of the threads; a part's exception reaches
// the caller after the others ended, and the pool takes the next job.
TEST(ThreadPool, RunsEveryPartOnceAndPassesOnAFailure)
{
    TThreadPool pool(4);
    EXPECT_EQ(pool.Threads(), 4);
    std::vector<std::atomic<int>> runs(1000);
    pool.Run(1000, [&](int i) { ++runs[std::size_t(i)]; });
    for (const auto &count : runs)
        EXPECT_EQ(count, 1);
    std::atomic<int> done = 0;
    EXPECT_THROW(pool.Run(50, [&](int i) {
        ++done;
        if (i == 7)
            throw std::bad_alloc();
    }), std::bad_alloc);
    EXPECT_EQ(done, 50);
    pool.SetThreads(1);
    int alone = 0;
    pool.Run(10, [&](int) { ++alone; });
    EXPECT_EQ(alone, 10);
}

// Strokes drawn in bands on several threads are the strokes one painter
// draws, pixel for pixel, across the bands' edges, in every mode, with every
// kind of pen, rainbow copies too, with and without a mask.
TEST(Strokes, BandsOnEveryCoreDrawWhatOnePainterDraws)
{
    QRandomGenerator rng(23);
    TThreadPool pool(3);
    QImage start(500, 300, QImage::Format_RGB32);
    start.fill(Qt::white);
    for (int i = 0; i < 400; ++i)
        start.setPixel(rng.bounded(500), rng.bounded(300), qRgb(0, 0, 0));
    TColoringMask mask;
    mask.Rebuild(start, clBlack, cmProtectColor);
    struct TPenCase {
        int w;
        bool smooth;
        int hardness, opacity;
        bool rainbow = false;
    };
    const TPenCase pens[] = {{1, false, 100, 100}, {9, false, 100, 100}, {6, true, 100, 100},
                             {7, false, 100, 50},  {12, false, 40, 60},  {5, false, 100, 100, true},
                             {8, true, 100, 70, true}, {11, false, 30, 100, true}};
    for (TReflectionMode mode :
         {rmNone, rmPrimary, rmMirrorPrimary, rmSecondary, rmVertical, rmHorizontal, rmPattern}) {
        ReflectionInput in{QPoint(250, 150), QPoint(260, 90), 7, 3, mode};
        in.pattern = {pgP4g, 48, 48, 90};
        in.area = start.size();
        for (const auto &[w, smooth, hardness, opacity, rainbow] : pens) {
            for (const TColoringMask *m : {static_cast<const TColoringMask *>(nullptr), static_cast<const TColoringMask *>(&mask)}) {
                TStrokePainter one;
                TParallelStrokes bands(pool, 0);
                one.SetSmooth(smooth);
                bands.SetSmooth(smooth);
                TPenStyle style;
                style.Hardness = hardness;
                style.Opacity = opacity;
                style.Hues = rainbow ? CopyHues(in) : 0;
                QImage expected = start.copy(), actual = start.copy();
                QPoint p(rng.bounded(500), rng.bounded(300));
                for (int i = 0; i < 5; ++i) {
                    const QPoint next = p + QPoint(rng.bounded(-90, 91), rng.bounded(-90, 91));
                    one.DrawCopies(expected, in, p, next, MakeColor(200, 30, 90), w, m, {}, style);
                    bands.DrawCopies(actual, in, p, next, MakeColor(200, 30, 90), w, m, {}, style);
                    p = next;
                }
                ASSERT_EQ(actual, expected) << "mode " << int(mode) << " width " << w << (m ? " masked" : "");
            }
        }
    }
    // Enough copies for each thread to take several parts of them in turn.
    const ReflectionInput many{QPoint(250, 150), QPoint(250, 100), 300, 300, rmSecondary};
    QImage expected = start.copy(), actual = start.copy();
    TStrokePainter().DrawCopies(expected, many, QPoint(260, 160), QPoint(275, 150), clBlack, 1);
    TParallelStrokes(pool, 0).DrawCopies(actual, many, QPoint(260, 160), QPoint(275, 150), clBlack, 1, nullptr, {}, {});
    EXPECT_EQ(actual, expected);
}


// A fill shared out in bands fills, counts and hands on for saving what one
// thread does, from many seeds, with areas that wind from band to band and,
// in a tiling picture, on across the picture's edges.
TEST(FloodFill, BandsOnEveryCoreFillWhatOneThreadFills)
{
    QRandomGenerator rng(25);
    TThreadPool one(1), four(4);
    QImage start(301, 203, QImage::Format_RGB32);
    start.fill(Qt::white);
    for (int y = 120; y < 203; ++y)
        for (int x = 0; x < 301; ++x)
            start.setPixel(x, y, rng.bounded(170, 256) * 0x010101u);
    // Walls open at alternate ends, then short random ones.
    for (int x = 30; x < 301; x += 30)
        for (int y = 0; y < 190; ++y)
            start.setPixel(x, (x / 30) % 2 ? y + 13 : y, 0);
    for (int i = 0; i < 200; ++i) {
        const QPoint p(rng.bounded(301), rng.bounded(203)), d = i % 2 ? QPoint(1, 0) : QPoint(0, 1);
        for (int k = rng.bounded(5, 60); k > 0 && start.rect().contains(p + k * d); --k)
            start.setPixel(p + k * d, 0);
    }
    std::vector<QPoint> seeds(150);
    for (QPoint &seed : seeds)
        seed = QPoint(rng.bounded(-5, 306), rng.bounded(-5, 208));
    for (int tolerance : {0, 40}) {
        for (bool wrap : {false, true}) {
            QImage want;
            std::int64_t wantCount = 0;
            std::vector<std::array<int, 3>> wantSaved;
            for (TThreadPool *pool : {&one, &four}) {
                for (bool save : {false, true}) {
                    TFloodFill fill(*pool, 0);
                    fill.SetTolerance(tolerance);
                    fill.SetWrap(wrap, wrap);
                    QImage picture = start.copy();
                    std::vector<std::array<int, 3>> saved;
                    const auto keep = [&](int y, int x0, int x1) { saved.push_back({y, x0, x1}); };
                    const std::int64_t count =
                        fill.Fill(picture, seeds, qRgb(200, 30, 90), save ? TFloodFill::RunHook(keep) : nullptr);
                    if (want.isNull()) {
                        want = picture;
                        wantCount = count;
                    }
                    ASSERT_EQ(picture, want) << tolerance << wrap << pool->Threads() << save;
                    EXPECT_EQ(count, wantCount);
                    if (save && wantSaved.empty())
                        wantSaved = saved;
                    EXPECT_EQ(saved, save ? wantSaved : decltype(saved)());
                }
            }
            EXPECT_GT(wantCount, 10000);
        }
    }
}
