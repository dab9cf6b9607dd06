#include "engine/layer_composite.h"

#include "engine/layer_compose.h"

#include <algorithm>
#include <new>
#include <type_traits>
#include <utility>

namespace {

// Beyond this many rectangles a whole recomposition costs less than going
// through them (a stroke with a million copies marks a million).
constexpr std::size_t MaxMarked = 4096;
constexpr std::size_t MaxMarkedRows = std::size_t(1) << 16;

// buffer takes the pixels as Format_ARGB32, in its own memory when it has
// the size already; a Format_RGB32 image's pixels are opaque.
void CopyAsAlpha(const QImage &pixels, QImage &buffer)
{
    if (buffer.size() != pixels.size() || buffer.format() != QImage::Format_ARGB32)
        buffer = QImage(pixels.size(), QImage::Format_ARGB32);
    if (buffer.isNull())
        throw std::bad_alloc();
    const QRgb alpha = pixels.hasAlphaChannel() ? 0 : 0xFF000000u;
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *src = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        auto *dst = reinterpret_cast<QRgb *>(buffer.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            dst[x] = src[x] | alpha;
    }
}

void Transparent(QSize size, QImage &buffer)
{
    if (buffer.size() != size || buffer.format() != QImage::Format_ARGB32)
        buffer = QImage(size, QImage::Format_ARGB32);
    if (buffer.isNull())
        throw std::bad_alloc();
    buffer.fill(0);
}

bool Shows(const TLayer &layer)
{
    return layer.Visible && OpacityAlpha(layer.Opacity) > 0;
}

// The visible layers from..to-1 composed over transparency into buffer, or
// a null buffer when none of them shows.
void ComposeRange(const TLayerStack &stack, int from, int to, QImage &buffer)
{
    bool any = false;
    for (int i = from; i < to; ++i) {
        if (!Shows(stack.At(i)))
            continue;
        const QImage &pixels = stack.Pixels(i);
        if (!any && stack.At(i).Opacity == 100) {
            CopyAsAlpha(pixels, buffer);
        } else {
            if (!any)
                Transparent(pixels.size(), buffer);
            ComposeOver(buffer, pixels, stack.At(i).Opacity, pixels.rect());
        }
        any = true;
    }
    if (!any)
        buffer = QImage();
}

} // namespace

void TLayerComposite::Rebuild(const TLayerStack &stack)
{
    const int active = stack.ActiveIndex();
    ComposeRange(stack, 0, active, Below);
    ComposeRange(stack, active + 1, stack.Count(), Above);
    const QImage &pixels = stack.Pixels(active);
    if (Composed.size() != pixels.size())
        Composed = QImage(pixels.size(), QImage::Format_ARGB32);
    if (Composed.isNull())
        throw std::bad_alloc();
    MarkAll();
    ShownStale = true;
    Update(stack);
}

void TLayerComposite::Mark(const QRect &rect)
{
    Heard = true;
    if (MarkedAll)
        return;
    if (rect.isEmpty() || Marked.size() >= MaxMarked) {
        MarkAll();
        return;
    }
    Marked.push_back(rect);
}

void TLayerComposite::MarkRows(const std::vector<TSpan> &rows)
{
    Heard = true;
    if (MarkedAll || rows.empty())
        return;
    if (MarkedRows.size() + rows.size() > MaxMarkedRows) {
        MarkAll();
        return;
    }
    int left = rows.front().X0, right = rows.front().X1, top = rows.front().Y, bottom = top;
    for (const TSpan &r : rows) {
        left = std::min(left, r.X0);
        right = std::max(right, r.X1);
        top = std::min(top, r.Y);
        bottom = std::max(bottom, r.Y);
    }
    MarkedRows.insert(MarkedRows.end(), rows.begin(), rows.end());
    RowBounds.push_back(QRect(QPoint(left, top), QPoint(right, bottom)));
}

void TLayerComposite::MarkAll()
{
    Heard = true;
    MarkedAll = true;
    Marked.clear();
    MarkedRows.clear();
    RowBounds.clear();
}

void TLayerComposite::KeepDisplay(bool keep)
{
    if (keep == Keep)
        return;
    Keep = keep;
    ShownStale = true;
    if (!keep)
        Shown = QImage();
}

void TLayerComposite::Update(const TLayerStack &stack)
{
    const QRect whole = Composed.rect();
    if (MarkedAll)
        ComposeRect(stack, whole);
    for (const QRect &rect : Marked)
        ComposeRect(stack, rect.intersected(whole));
    // Rows are told by the painter of the picture the composite has the
    // size of; any other would be a fault, and is left out.
    std::erase_if(MarkedRows, [&whole](const TSpan &r) {
        return r.Y < 0 || r.Y > whole.bottom() || r.X0 < 0 || r.X1 > whole.right() || r.X0 > r.X1;
    });
    ComposeSpans(stack, int(MarkedRows.size()), [this](int i) { return MarkedRows[std::size_t(i)]; });
    for (const QRect &rect : RowBounds)
        MarkShown(rect);
    Marked.clear();
    MarkedRows.clear();
    RowBounds.clear();
    MarkedAll = false;
    Heard = false;
}

void TLayerComposite::MarkShown(const QRect &rect)
{
    if (ShownStale || rect.isEmpty())
        return;
    if (ShownMarked.size() >= MaxMarked) {
        ShownStale = true;
        ShownMarked.clear();
        return;
    }
    ShownMarked.push_back(rect);
}

const QImage &TLayerComposite::Display()
{
    if (!Keep)
        return Shown;
    if (ShownStale) {
        if (Shown.size() != Composed.size())
            Shown = QImage(Composed.size(), QImage::Format_RGB32);
        if (Shown.isNull())
            throw std::bad_alloc();
        ShowOverCheckerboard(Shown, Composed, Composed.rect());
    } else {
        for (const QRect &rect : ShownMarked)
            ShowOverCheckerboard(Shown, Composed, rect);
    }
    ShownMarked.clear();
    ShownStale = false;
    return Shown;
}

namespace {

// Rows of an image, found once for all the spans of a change: a stroke's
// spans are short, and finding each row through the image would cost as
// much as composing it.
template <typename Pixel>
struct TRows {
    using Byte = std::conditional_t<std::is_const_v<Pixel>, const uchar, uchar>;
    Pixel *operator()(const TSpan &s) const { return reinterpret_cast<Pixel *>(Bits + s.Y * Stride) + s.X0; }
    Byte *Bits;
    qsizetype Stride;
};

TRows<const QRgb> RowsOf(const QImage &image)
{
    return {image.constBits(), image.bytesPerLine()};
}

TRows<QRgb> RowsOf(QImage &image)
{
    return {image.bits(), image.bytesPerLine()};
}

// Most pixels of a layer are opaque or transparent, and where those of the
// active layer and of Above all are, the composite takes the pixel of the
// topmost one that is opaque: a choice without branches, which vectorises.
// The row is written on that assumption; false means a pixel was neither,
// and the row must be composed in full. (a + 1) & 0xFE is 0 only for an
// alpha of 0 or 255.
template <bool HasUnder, bool HasOver>
bool SelectHardPixels(const QRgb *__restrict under, const QRgb *__restrict layer, const QRgb *__restrict over,
                      QRgb *__restrict out, int n, QRgb opaque)
{
    QRgb soft = 0;
    for (int i = 0; i < n; ++i) {
        const QRgb source = layer[i] | opaque;
        const QRgb keep = 0u - (source >> 31);
        QRgb c = (source & keep) | ((HasUnder ? under[i] : 0u) & ~keep);
        soft |= ((source >> 24) + 1) & 0xFEu;
        if (HasOver) {
            const QRgb top = 0u - (over[i] >> 31);
            c = (over[i] & top) | (c & ~top);
            soft |= ((over[i] >> 24) + 1) & 0xFEu;
        }
        out[i] = c;
    }
    return soft == 0;
}

bool SelectHardPixels(const QRgb *under, const QRgb *layer, const QRgb *over, QRgb *out, int n, QRgb opaque)
{
    if (under)
        return over ? SelectHardPixels<true, true>(under, layer, over, out, n, opaque)
                    : SelectHardPixels<true, false>(under, layer, over, out, n, opaque);
    return over ? SelectHardPixels<false, true>(under, layer, over, out, n, opaque)
                : SelectHardPixels<false, false>(under, layer, over, out, n, opaque);
}

} // namespace

void TLayerComposite::ComposeRect(const TLayerStack &stack, const QRect &rect)
{
    if (rect.isEmpty())
        return;
    ComposeSpans(stack, rect.height(), [&rect](int i) { return TSpan{rect.top() + i, rect.left(), rect.right()}; });
    MarkShown(rect);
}

// Below, then the active layer at its opacity, then Above, in one pass over
// each pixel of the spans at(0) .. at(count - 1), which lie inside the
// picture.
template <typename SpanAt>
void TLayerComposite::ComposeSpans(const TLayerStack &stack, int count, SpanAt at)
{
    const TLayer &active = stack.At(stack.ActiveIndex());
    const QImage &pixels = stack.Pixels(stack.ActiveIndex());
    const unsigned opacity = Shows(active) ? OpacityAlpha(active.Opacity) : 0;
    const QRgb layerOpaque = pixels.hasAlphaChannel() ? 0 : 0xFF000000u;
    const bool below = !Below.isNull(), above = !Above.isNull();
    const auto belowRows = RowsOf(std::as_const(Below)), aboveRows = RowsOf(std::as_const(Above)),
               layerRows = RowsOf(pixels);
    const auto outRows = RowsOf(Composed);
    // The rows of a change lie far apart in memory, where the processor
    // does not fetch ahead on its own: asking for a few spans ahead lets
    // their loads overlap.
    const auto prefetch = [&](const TSpan &s) {
        for (int i = 0; i <= s.X1 - s.X0; i += 16) {
            if (below)
                __builtin_prefetch(belowRows(s) + i);
            if (above)
                __builtin_prefetch(aboveRows(s) + i);
            __builtin_prefetch(layerRows(s) + i);
            __builtin_prefetch(outRows(s) + i, 1);
        }
    };
    constexpr int Ahead = 4;
    for (int k = 0; k < std::min(Ahead, count); ++k)
        prefetch(at(k));
    for (int k = 0; k < count; ++k) {
        if (k + Ahead < count)
            prefetch(at(k + Ahead));
        const TSpan s = at(k);
        const int n = s.X1 - s.X0 + 1;
        const QRgb *__restrict under = below ? belowRows(s) : nullptr;
        const QRgb *__restrict over = above ? aboveRows(s) : nullptr;
        const QRgb *__restrict layer = layerRows(s);
        QRgb *__restrict out = outRows(s);
        if (opacity == 255 && SelectHardPixels(under, layer, over, out, n, layerOpaque))
            continue;
        for (int i = 0; i < n; ++i) {
            const QRgb source = layer[i] | layerOpaque;
            const unsigned sa = opacity == 255 ? source >> 24 : ((source >> 24) * opacity + 127) / 255;
            QRgb c = Over(under ? under[i] : 0u, source, sa);
            if (over)
                c = Over(c, over[i], over[i] >> 24);
            out[i] = c;
        }
    }
}
