#include "engine/parallel_strokes.h"

#include "engine/coloring_mask.h"
#include "engine/coverage_stroke.h"

#include <algorithm>
#include <cstdlib>

namespace {

std::int64_t CopyCount(const ReflectionInput &in)
{
    switch (in.mode) {
    case rmVertical:
    case rmHorizontal: return 2;
    case rmPattern: return PatternCopyCount(in.pattern, in.area);
    case rmNone: return 1;
    default: break;
    }
    const std::int64_t n = std::max(in.n, 1);
    if (in.mode == rmMirrorPrimary)
        return 2 * n;
    return in.mode == rmSecondary ? n * std::max(in.m, 1) : n;
}

// The copies are found in parts that the threads take in turn as they come
// free: the cost of a copy varies with its angle, and a thread may be held
// up by other programs, so one part per thread would leave the others
// waiting for the slowest. A part is kept large enough that taking it costs
// nothing beside finding its copies.
int PartsOfCopies(const ReflectionInput &in, int threads)
{
    const std::int64_t perThread = CopyCount(in) / (std::int64_t(threads) * 8192);
    return threads * int(std::clamp<std::int64_t>(perThread, 1, 16));
}

} // namespace

TParallelStrokes::TParallelStrokes(TThreadPool &pool, std::int64_t splitWork)
    : Pool(pool)
    , SplitWork(splitWork)
{
}

void TParallelStrokes::SetSmooth(bool smooth)
{
    Smooth = smooth;
    WholePainter.SetSmooth(smooth);
    for (auto &band : Bands)
        band->Painter.SetSmooth(smooth);
}

void TParallelStrokes::EndStroke()
{
    WholePainter.EndStroke();
    for (auto &band : Bands)
        band->Painter.EndStroke();
    StrokeLayout = TLayout::Open;
}

void TParallelStrokes::DrawCopies(QImage &target, const ReflectionInput &reflection, QPoint from, QPoint to, TInk ink,
                                  int width, const TColoringMask *mask, const TStrokePainter::TCopyDrawn &copyDrawn,
                                  const TPenStyle &style)
{
    const bool keepsState = Smooth || style.Soft() || !style.Opaque() || style.Rainbow();
    if (!SplitsSegment(reflection, from, to, width, keepsState)) {
        WholePainter.DrawCopies(target, reflection, from, to, ink, width, mask, copyDrawn, style);
        return;
    }
    const int count = Pool.Threads();
    while (int(Bands.size()) < count) {
        Bands.push_back(std::make_unique<TBand>());
        Bands.back()->Painter.SetSmooth(Smooth);
    }
    const int parts = PartsOfCopies(reflection, count);
    Parts.resize(std::size_t(parts));
    const ReflectionInput copySet = WithPenReach(reflection, width);
    Pool.Run(parts, [&](int i) {
        // Filled on the thread's own stack: the parts' vectors share cache
        // lines, which every copy added would otherwise pass between the
        // cores.
        std::vector<TSegmentCopy> copies = std::move(Parts[std::size_t(i)]);
        copies.clear();
        ForEachSegmentCopy(
            copySet, from, to, [&](QPoint a, QPoint b, int hue) { copies.push_back({a, b, hue}); }, i, parts);
        Parts[std::size_t(i)] = std::move(copies);
    });
    const int side = TCoverageStroke::TileSide;
    const int rows = (target.height() + count * side - 1) / (count * side) * side;
    uchar *bits = target.bits();
    Pool.Run(count, [&](int i) {
        const int first = i * rows;
        const int height = std::min(rows, target.height() - first);
        if (height <= 0)
            return;
        QImage band(bits + qsizetype(first) * target.bytesPerLine(), target.width(), height, target.bytesPerLine(),
                    target.format());
        const TColoringMask bandMask = mask ? mask->Rows(first, height) : TColoringMask();
        TBand &own = *Bands[std::size_t(i)];
        own.Rows.clear();
        own.Painter.DrawBand(band, first, reflection, from, to, Parts, ink, width, mask ? &bandMask : nullptr, style,
                             copyDrawn ? &own.Rows : nullptr);
    });
    if (copyDrawn)
        TellCopies(copyDrawn, count);
}

// The bands' rows are merged into those of the first copy; the others come
// with none, as copies whose pixels were changed already.
void TParallelStrokes::TellCopies(const TStrokePainter::TCopyDrawn &copyDrawn, int bands)
{
    Merged.clear();
    for (int i = 0; i < bands; ++i)
        Merged.insert(Merged.end(), Bands[std::size_t(i)]->Rows.begin(), Bands[std::size_t(i)]->Rows.end());
    const std::vector<TSpan> none;
    const std::vector<TSpan> *rows = &Merged;
    for (const std::vector<TSegmentCopy> &part : Parts) {
        for (const TSegmentCopy &copy : part) {
            copyDrawn(copy.a, copy.b, *rows);
            rows = &none;
        }
    }
}

// The pen's pixels over all copies, roughly; a stroke with state keeps the
// choice its first segment made, judged as if the segment were long enough
// to be worth it, since the rest of the stroke is.
bool TParallelStrokes::SplitsSegment(const ReflectionInput &reflection, QPoint from, QPoint to, int width,
                                     bool keepsState)
{
    if (keepsState && StrokeLayout != TLayout::Open)
        return StrokeLayout == TLayout::Bands;
    int length = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    if (keepsState)
        length = std::max(length, 16);
    const std::int64_t work = CopyCount(reflection) * (width + 1) * (width + 1 + length);
    const bool split = Pool.Threads() > 1 && work >= SplitWork;
    if (keepsState)
        StrokeLayout = split ? TLayout::Bands : TLayout::Whole;
    return split;
}
