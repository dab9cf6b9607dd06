#pragma once

#include "engine/canvas_types.h"

#include <QImage>

#include <array>
#include <cstdint>
#include <vector>

// What every band of one fill reads, unchanged while the bands fill.
struct TFloodScene {
    // The picture the areas are found in; the target itself when Paints.
    const uchar *Source = nullptr;
    qsizetype SourceStride = 0;
    uchar *Target = nullptr;
    qsizetype TargetStride = 0;
    int Width = 0;
    int Height = 0;
    // Rows in each band; the last may have fewer.
    int BandRows = 1;
    QRgb New = 0;
    int Tolerance = 0;
    bool WrapX = false;
    bool WrapY = false;
    bool Alpha = false;
    // Exact areas found in the target are painted as they are found: a
    // painted pixel no longer matches. Otherwise the areas are marked in
    // Marks, one byte a pixel, and painted after every band has found its
    // part.
    bool Paints = false;
    std::uint8_t *Marks = nullptr;
};

// What a pixel is matched on: red, green and blue, and alpha in a picture
// with an alpha channel, where all fully transparent pixels are alike.
QRgb FloodKey(QRgb pixel, bool alpha);

// A place where an area goes on: a seed at (X0, Y) when Dir is 0, otherwise
// row Y beside the run X0..X1 of row Y - Dir, in an area of colour Old (as
// matched) that was found there.
struct TFloodEntry {
    int Y = 0;
    int X0 = 0;
    int X1 = 0;
    int Dir = 0;
    QRgb Old = 0;
};

// One thread's share of a fill: the rows [Top, Bottom). It fills from the
// entries In, scan line by scan line with an explicit stack, touching
// nothing outside its rows; where an area goes on into another band's rows
// it leaves an entry in Out for that band's next round.
class TFloodBand {
public:
    void Begin(int top, int bottom);
    bool Owns(int y) const { return y >= Top && y < Bottom; }
    void Fill(const TFloodScene &scene);
    // The runs found as the maximal runs of marked pixels, row by row: the
    // same runs whatever order the areas were found in.
    void SortRuns();
    // Paints the runs found and clears their marks.
    void PaintRuns(const TFloodScene &scene);
    void EraseMarks(const TFloodScene &scene) { SetMarks(scene, 0); }

    std::vector<TFloodEntry> In;
    std::vector<TFloodEntry> Out;
    // The marked runs, each pixel in one, which also lets the marks be
    // cleared without a pass over the whole picture.
    std::vector<TSpan> Runs;
    std::int64_t Filled = 0;

private:
    // A run [X0, X1] of row Y - Dir that was filled; row Y is to be scanned.
    struct TStep {
        int Y;
        int X0;
        int X1;
        int Dir;
    };

    template <bool Alpha>
    void FillExact(const TFloodEntry &e);
    template <bool Alpha>
    void FillNear(const TFloodEntry &e);
    std::uint8_t ColorNumber(QRgb old);
    void SetMarks(const TFloodScene &scene, std::uint8_t value);
    template <typename Match>
    void Run(Match &match, const TFloodEntry &e);
    template <typename Match>
    int RunStart(const Match &match, int y, int x) const;
    void Push(int y, int x0, int x1, int dir);
    template <typename Match>
    void ScanRow(Match &match, const TStep &e);
    template <typename Match>
    void Take(Match &match, int y, int x0, int x1);
    template <typename Match>
    void TakeAcrossEdge(Match &match, int y, int x);
    void PaintRun(int y, int x0, int x1);

    const TFloodScene *Scene = nullptr;
    int Top = 0;
    int Bottom = 0;
    std::vector<TStep> Stack;
    // The colour of the area being filled, passed on with entries to other
    // bands.
    QRgb Old = 0;
    // A pixel's mark is the number of the colour whose area reached it last
    // in this band, 255 standing for any colour once the numbers have run
    // out. Areas of one colour are one area wherever their seeds lie, so an
    // area stops where one of its colour passed before.
    std::array<QRgb, 256> Colors{};
    int ColorCount = 0;
    std::vector<TSpan> Sorted;
    std::vector<int> RowEnds;
};
