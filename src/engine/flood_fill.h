#pragma once

#include <QImage>
#include <QPoint>

#include <cstdint>
#include <functional>
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
    // green and blue. Returns the number of pixels filled.
    std::int64_t Fill(QImage &image, QPoint seed, QRgb color, const RunHook &beforeRun = {});
    // With a tolerance t > 0 a fill takes the pixels whose red, green and
    // blue each differ from the seed's by at most t instead; 0 is the exact
    // rule above.
    void SetTolerance(int tolerance);

private:
    // A run [X0, X1] of row Y - Dir that was filled; row Y is to be scanned
    // below it.
    struct TEntry {
        int Y;
        int X0;
        int X1;
        int Dir;
    };

    template <typename Match>
    void Run(Match &match, QPoint seed);
    template <typename Match>
    int RunStart(const Match &match, int y, int x) const;
    void Push(int y, int x0, int x1, int dir);
    template <typename Match>
    void ScanRow(Match &match, const TEntry &e);
    template <typename Match>
    void FillRun(Match &match, int y, int x0, int x1);

    std::vector<TEntry> Stack;
    // The fill in progress.
    QImage *Image = nullptr;
    int Width = 0;
    int Height = 0;
    QRgb New = 0;
    int Tolerance = 0;
    // The pixels a tolerance fill has filled, when its colour would match.
    std::vector<std::uint8_t> Seen;
    const RunHook *Hook = nullptr;
    std::int64_t Filled = 0;
};
