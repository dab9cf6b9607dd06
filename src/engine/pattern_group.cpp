#include "engine/pattern_group.h"

#include "engine/pattern_lattice.h"
#include "engine/stroke_drawing.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {
constexpr const char *Names[pgCount] = {
    "p1", "p2", "pm", "pg", "cm", "pmm", "pmg", "pgg", "cmm", "p4", "p4m", "p4g", "p3", "p3m1", "p31m", "p6", "p6m",
    "frieze p1", "frieze p11g", "frieze p1m1", "frieze p11m", "frieze p2", "frieze p2mg", "frieze p2mm",
};

// The repeat of a rectangular or square lattice along y.
int CellHeight(const TPattern &p)
{
    return UsesHeight(p.Group) ? p.Height : p.Width;
}

// The number of cells nearest to length, at least one.
int WholeCells(int length, int cell)
{
    return std::max(1, (length + cell / 2) / cell);
}

// The multiple of cell nearest to the middle of length, the smaller one
// of two as near, so that a one-cell picture keeps its centre inside.
int MiddleMultiple(int length, int cell)
{
    return (length / 2 + (cell - 1) / 2) / cell * cell;
}

int EvenAtLeast(double v, int least)
{
    return std::max(least, int(std::ceil(v / 2)) * 2);
}

} // namespace

const char *PatternGroupName(TPatternGroup g) { return g < pgCount ? Names[g] : ""; }
bool IsFrieze(TPatternGroup g) { return g >= pgFriezeP1 && g < pgCount; }
bool UsesHeight(TPatternGroup g) { return g <= pgCmm || IsFrieze(g); }
bool UsesAngle(TPatternGroup g) { return g == pgP1 || g == pgP2; }
bool IsPixelExact(const TPattern &p) { return (p.Group < pgP3 || IsFrieze(p.Group)) && (!UsesAngle(p.Group) || p.Angle == 90); }

// Any point has at most this many images in the picture: a lattice row
// holds at most ceil(width / cell width) of one transform's images, and
// ceil(height / row spacing) rows cross the picture.
std::int64_t PatternCopyCount(const TPattern &p, QSize picture)
{
    const TPatternLattice lattice(p);
    const auto across = [](int length, double step) { return std::int64_t(std::ceil(std::max(length, 1) / step)); };
    const std::int64_t rows = lattice.Frieze() ? 1 : across(picture.height(), lattice.Vy);
    return lattice.Count() * across(picture.width(), lattice.Ux) * rows;
}

TPattern SmallestAllowedPattern(const TPattern &p, QSize picture)
{
    TPattern grown = p;
    while (PatternCopyCount(grown, picture) > MaxPatternCopies) {
        grown.Width += 2;
        grown.Height = EvenAtLeast(double(p.Height) * grown.Width / p.Width, MinPatternCell);
    }
    return grown;
}

QSize FittedCanvasSize(const TPattern &p, QSize picture)
{
    if (!CanFitCanvas(p))
        return picture;
    const int w = WholeCells(picture.width(), p.Width) * p.Width;
    if (IsFrieze(p.Group))
        return {w, picture.height()};
    return {w, WholeCells(picture.height(), CellHeight(p)) * CellHeight(p)};
}

QPoint FittedMasterCenter(const TPattern &p, QSize fitted)
{
    const int x = MiddleMultiple(fitted.width(), p.Width);
    if (IsFrieze(p.Group))
        return {x, fitted.height() / 2};
    return {x, MiddleMultiple(fitted.height(), CellHeight(p))};
}

bool CanFitCanvas(const TPattern &p) { return IsPixelExact(p); }

bool TilesPicture(const TPattern &p, QSize picture)
{
    return CanFitCanvas(p) && FittedCanvasSize(p, picture) == picture;
}

// Lines run through the centres of the lattice points' pixels. Cells are
// the parallelograms of the lattice; the centred groups show their
// rectangles, whose centres are lattice points too; a frieze shows its band.
std::vector<QLineF> PatternGridLines(const TPattern &p, QPoint origin, const QRect &area)
{
    std::vector<QLineF> lines;
    if (area.isEmpty())
        return lines;
    const TPatternLattice lattice(p);
    const QPointF o = QPointF(origin) + QPointF(0.5, 0.5);
    const double top = area.top(), bottom = area.bottom() + 1.0, left = area.left(), right = area.right() + 1.0;
    double y0 = top, y1 = bottom;
    if (lattice.Frieze()) {
        y0 = std::max(top, o.y() - p.Height / 2.0);
        y1 = std::min(bottom, o.y() + p.Height / 2.0);
        if (y0 > y1)
            return lines;
        for (const double y : {o.y() - p.Height / 2.0, o.y() + p.Height / 2.0})
            if (y >= top && y <= bottom)
                lines.emplace_back(left, y, right, y);
    } else {
        const int j0 = int(std::ceil((top - o.y()) / lattice.Vy)), j1 = int(std::floor((bottom - o.y()) / lattice.Vy));
        for (int j = j0; j <= j1; ++j)
            lines.emplace_back(left, o.y() + j * lattice.Vy, right, o.y() + j * lattice.Vy);
    }
    // The sides along the second lattice vector, from y0 to y1.
    const double slope = lattice.Frieze() ? 0 : lattice.Vx / lattice.Vy;
    const double shift0 = (y0 - o.y()) * slope, shift1 = (y1 - o.y()) * slope;
    const int i0 = int(std::ceil((left - o.x() - std::max(shift0, shift1)) / lattice.Ux));
    const int i1 = int(std::floor((right - o.x() - std::min(shift0, shift1)) / lattice.Ux));
    for (int i = i0; i <= i1; ++i) {
        const double x = o.x() + i * lattice.Ux;
        lines.emplace_back(x + shift0, y0, x + shift1, y1);
    }
    return lines;
}

// A little flag, pole and pennant, with no symmetry of its own, placed off
// every mirror and centre of rotation, in a cell scaled to show about
// three cells across.
QImage PatternPreview(const TPattern &p, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    if (size.isEmpty())
        return image;
    TPattern shown = p;
    shown.Width = EvenAtLeast(std::min(size.width(), size.height()) / 3.0, 4);
    shown.Height = EvenAtLeast(double(p.Height) * shown.Width / std::max(p.Width, 1), 4);
    const double h = UsesHeight(p.Group) ? shown.Height : shown.Width * (p.Group >= pgP3 ? 0.866 : 1.0);
    const QPoint M(size.width() / 2, size.height() / 2);
    auto at = [&](double fx, double fy) { return M + QPoint(int(fx * shown.Width), int(fy * h)); };
    const QPoint pole0 = at(0.12, 0.40), pole1 = at(0.12, 0.08), tip = at(0.34, 0.14), notch = at(0.12, 0.22);
    const ReflectionInput in{M, M, 1, 1, rmPattern, shown, size};
    TStrokePainter painter;
    const TColor ink = MakeColor(192, 48, 32);
    const std::pair<QPoint, QPoint> lines[] = {{pole0, pole1}, {pole1, tip}, {tip, notch}};
    for (const auto &[a, b] : lines)
        painter.DrawCopies(image, in, a, b, ink, 2);
    return image;
}
