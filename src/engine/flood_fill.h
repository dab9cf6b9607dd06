#pragma once

#include "engine/canvas_types.h"

#include <QImage>
#include <QPoint>

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

// Scan-line flood fill with an explicit stack: no recursion, so areas of
// many millions of pixels cannot exhaust the call stack, and each pixel is
// read a bounded number of times. The stack is kept between fills.
class TFloodFill {
public:
    // Called with each run (row y, x0..x1) just before it is filled.
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
    // filled, and handed to beforeRun, at most once.
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
    // A run [X0, X1] of row Y - Dir that was filled; row Y is to be scanned
    // below it.
    struct TEntry {
        int Y;
        int X0;
        int X1;
        int Dir;
    };

    template <bool Alpha>
    void FillExact(QImage &image, QPoint seed);
    template <bool Alpha>
    void FillNear(const QImage &source, std::span<const QPoint> seeds);
    template <typename Match>
    void Run(Match &match, QPoint seed);
    template <typename Match>
    int RunStart(const Match &match, int y, int x) const;
    void Push(int y, int x0, int x1, int dir);
    template <typename Match>
    void ScanRow(Match &match, const TEntry &e);
    template <typename Match>
    void Take(Match &match, int y, int x0, int x1);
    template <typename Match>
    void TakeAcrossEdge(Match &match, int y, int x);
    void PaintRun(int y, int x0, int x1);
    void SetAllMarks(std::uint8_t value);

    std::vector<TEntry> Stack;
    // The fill in progress.
    QImage *Image = nullptr;
    int Width = 0;
    int Height = 0;
    QRgb New = 0;
    int Tolerance = 0;
    bool WrapX = false;
    bool WrapY = false;
    const RunHook *Hook = nullptr;
    std::int64_t Filled = 0;
    // A tolerance fill finds every area before it paints: a filled pixel
    // would no longer show the colour another seed's area is matched on.
    // Marks holds one byte a pixel, the number of the seed that reached it
    // last, and is all zero between fills; Runs, the runs no earlier seed
    // took, covers every mark, so clearing them clears the map without a
    // pass over the whole picture.
    std::vector<std::uint8_t> Marks;
    std::vector<TSpan> Runs;
    std::array<QRgb, 256> SeedColor{};
};
