#include "engine/coloring_mask.h"
#include "engine/parallel_strokes.h"
#include "engine/thread_pool.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

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

