#pragma once

#include <QImage>
#include <QLineF>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <cstdint>
#include <vector>

// The repeating patterns of Pattern mode: the 17 wallpaper groups, then the
// 7 frieze groups, in the order the Pattern dialog lists them (the stored
// PatternGroup value is this index).
enum TPatternGroup : std::uint8_t {
    pgP1, pgP2, pgPm, pgPg, pgCm, pgPmm, pgPmg, pgPgg, pgCmm,
    pgP4, pgP4m, pgP4g, pgP3, pgP3m1, pgP31m, pgP6, pgP6m,
    pgFriezeP1, pgFriezeP11g, pgFriezeP1m1, pgFriezeP11m, pgFriezeP2, pgFriezeP2mg, pgFriezeP2mm,
    pgCount
};

// A group and its cell. Width and height are even; the square and
// hexagonal groups use the width only, the angle (degrees between the
// cell's sides, 30-150) matters to p1 and p2 only. The cell's first side
// runs along x.
struct TPattern {
    TPatternGroup Group = pgP4m;
    int Width = 64;
    int Height = 64;
    int Angle = 90;
    bool operator==(const TPattern &) const = default;
};

constexpr int MinPatternCell = 16;
// More copies per segment than this are refused.
constexpr std::int64_t MaxPatternCopies = std::int64_t(1) << 20;

// The group's name as the list shows it: "p4m", "frieze p2mg".
const char *PatternGroupName(TPatternGroup g);
bool IsFrieze(TPatternGroup g);
bool UsesHeight(TPatternGroup g);
bool UsesAngle(TPatternGroup g);
// Whether every copy is an exact pixel transform: a rectangular or square
// lattice (friezes; p1 and p2 at 90 degrees; pm ... p4g) with even sides.
bool IsPixelExact(const TPattern &p);

// Copies per segment on a picture of the given size.
std::int64_t PatternCopyCount(const TPattern &p, QSize picture);
// The pattern with its cell grown, in the same proportions, to the
// smallest even size whose copy count is at most MaxPatternCopies; the
// pattern itself when it already is within it.
TPattern SmallestAllowedPattern(const TPattern &p, QSize picture);

// Fit canvas to pattern: the picture size of the nearest whole number of
// cells (at least one) in each direction the lattice repeats, and the new
// master centre for that size.
QSize FittedCanvasSize(const TPattern &p, QSize picture);
QPoint FittedMasterCenter(const TPattern &p, QSize fitted);
// Whether Fit canvas to pattern applies (rectangular or square lattices).
bool CanFitCanvas(const TPattern &p);
// Whether a picture of this size is a whole number of cells in every
// direction the lattice repeats, so that it tiles the plane and painting
// wraps around its edges.
bool TilesPicture(const TPattern &p, QSize picture);

// The cell outlines the grid shows, for a lattice through origin, within
// area (picture coordinates).
std::vector<QLineF> PatternGridLines(const TPattern &p, QPoint origin, const QRect &area);

// A small picture of a fixed asymmetric motif repeated by the group, for
// the Pattern dialog.
QImage PatternPreview(const TPattern &p, QSize size);
