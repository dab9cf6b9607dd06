#include "engine/pattern_group.h"

// Placeholder bodies until the lattice code lands; names and flags are final.

namespace {
constexpr const char *Names[pgCount] = {
    "p1", "p2", "pm", "pg", "cm", "pmm", "pmg", "pgg", "cmm", "p4", "p4m", "p4g", "p3", "p3m1", "p31m", "p6", "p6m",
    "frieze p1", "frieze p11g", "frieze p1m1", "frieze p11m", "frieze p2", "frieze p2mg", "frieze p2mm",
};
}

const char *PatternGroupName(TPatternGroup g) { return g < pgCount ? Names[g] : ""; }
bool IsFrieze(TPatternGroup g) { return g >= pgFriezeP1 && g < pgCount; }
bool UsesHeight(TPatternGroup g) { return g <= pgCmm || IsFrieze(g); }
bool UsesAngle(TPatternGroup g) { return g == pgP1 || g == pgP2; }
bool IsPixelExact(const TPattern &p) { return (p.Group < pgP3 || IsFrieze(p.Group)) && (!UsesAngle(p.Group) || p.Angle == 90); }
std::int64_t PatternCopyCount(const TPattern &, QSize) { return 1; }
TPattern SmallestAllowedPattern(const TPattern &p, QSize) { return p; }
QSize FittedCanvasSize(const TPattern &, QSize picture) { return picture; }
QPoint FittedMasterCenter(const TPattern &, QSize fitted) { return {fitted.width() / 2, fitted.height() / 2}; }
bool CanFitCanvas(const TPattern &p) { return IsPixelExact(p); }
std::vector<QLineF> PatternGridLines(const TPattern &, QPoint, const QRect &) { return {}; }
QImage PatternPreview(const TPattern &, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}
