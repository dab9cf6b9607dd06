#pragma once

#include "engine/flood_band.h"
#include "engine/thread_pool.h"

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

// Scan-line flood fill with an explicit stack: no recursion, so areas of
// many millions of pixels cannot exhaust the call stack, and each pixel is
// read a bounded number of times. The stacks are kept between fills.
//
// A fill whose seeds lie in more than one band of rows of a large picture is
// shared among the pool's threads, one band each: each fills from the seeds
// in its rows, and where an area goes on into another band's rows, that
// band carries it on in the next round, until no band has any left. The
// pixels filled, their number and the runs handed to beforeRun do not
// depend on the number of threads.
class TFloodFill {
public:
    // Fills of fewer than splitPixels pixels' pictures stay on the calling
    // thread.
    explicit TFloodFill(TThreadPool &pool = TThreadPool::Shared(), std::int64_t splitPixels = 1 << 17);

    // Called with each run (row y, x0..x1) before it is filled.
    using RunHook = std::function<void(int y, int x0, int x1)>;

    // Gives color to every pixel of the 32-bit image that has exactly the
    // seed's red, green and blue and is connected to the seed through such
    // pixels between horizontal and vertical neighbours. Nothing happens
    // when the seed lies outside the image or already has color's red,
    // green and blue. Returns the number of pixels filled. In an image with
    // an alpha channel, alpha is matched as a fourth channel, and all fully
    // transparent pixels match each other whatever their colour bytes.
    std::int64_t Fill(QImage &image, QPoint seed, QRgb color, const RunHook &beforeRun = {});
    // One fill from several seeds, such as the reflected copies of one
    // click: the union of the seeds' areas, each found in the image as it
    // was before the call, whatever the order of the seeds. Every pixel is
    // filled, and handed to beforeRun, at most once. beforeRun is called on
    // the calling thread, row by row, with the longest runs of filled
    // pixels, all before the first pixel changes.
    std::int64_t Fill(QImage &image, std::span<const QPoint> seeds, QRgb color, const RunHook &beforeRun = {});
    // The same with the areas found in source and filled in target, an
    // image of the same size (a layer under the composed picture).
    std::int64_t Fill(const QImage &source, QImage &target, std::span<const QPoint> seeds, QRgb color,
                      const RunHook &beforeRun = {});
    // With a tolerance t > 0 a fill takes the pixels whose channels each
    // differ from the seed's by at most t instead; 0 is the exact rule
    // above.
    void SetTolerance(int tolerance);
    // A picture that tiles the plane is filled as the tile it is: areas go
    // on across the right edge at the left one (WrapX) and across the
    // bottom at the top (WrapY).
    void SetWrap(bool wrapX, bool wrapY)
    {
        WrapX = wrapX;
        WrapY = wrapY;
    }

private:
    int BandCount(std::span<const QPoint> seeds, int width, int height) const;
    void SetUp(const QImage &source, QImage &target, std::span<const QPoint> seeds, QRgb color, bool paints);
    void FindAreas(std::span<const QPoint> seeds);
    void RunRounds();
    void PaintAreas(const RunHook &beforeRun);
    void PassOnEntries();
    void ForEachBand(const std::function<void(TFloodBand &)> &work);
    std::int64_t Filled() const;

    TThreadPool &Pool;
    std::int64_t SplitPixels;
    int Tolerance = 0;
    bool WrapX = false;
    bool WrapY = false;
    TFloodScene Scene;
    std::vector<std::unique_ptr<TFloodBand>> Bands;
    // The seeds in the picture, with their colours as matched.
    std::vector<TFloodEntry> Seeds;
    int Count = 0;
    // One byte a pixel for the fills that find their areas before they
    // paint; all zero between fills. Taken at the first such fill and kept.
    std::vector<std::uint8_t> Marks;
};
