#include "engine/layer_composite.h"

#include "engine/layer_compose.h"

#include <cstring>
#include <new>

namespace {

// Beyond this many rectangles a whole recomposition costs less than going
// through them (a stroke with a million copies marks a million).
constexpr std::size_t MaxMarked = 4096;

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
    Marked.clear();
    MarkedAll = true;
    ShownStale = true;
    Update(stack);
}

void TLayerComposite::Mark(const QRect &rect)
{
    if (MarkedAll)
        return;
    if (rect.isEmpty() || Marked.size() >= MaxMarked) {
        MarkedAll = true;
        Marked.clear();
        return;
    }
    Marked.push_back(rect);
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
    if (Keep && ShownStale) {
        if (Shown.size() != Composed.size())
            Shown = QImage(Composed.size(), QImage::Format_RGB32);
        if (Shown.isNull())
            throw std::bad_alloc();
    }
    if (MarkedAll)
        ComposeRect(stack, whole);
    for (const QRect &rect : Marked)
        ComposeRect(stack, rect.intersected(whole));
    Marked.clear();
    MarkedAll = false;
    if (Keep && ShownStale)
        ShowOverCheckerboard(Shown, Composed, whole);
    ShownStale = false;
}

// Below, then the active layer at its opacity, then Above.
void TLayerComposite::ComposeRect(const TLayerStack &stack, const QRect &rect)
{
    if (rect.isEmpty())
        return;
    const std::size_t bytes = std::size_t(rect.width()) * sizeof(QRgb);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        uchar *row = Composed.scanLine(y) + std::size_t(rect.left()) * sizeof(QRgb);
        if (Below.isNull())
            std::memset(row, 0, bytes);
        else
            std::memcpy(row, Below.constScanLine(y) + std::size_t(rect.left()) * sizeof(QRgb), bytes);
    }
    const TLayer &active = stack.At(stack.ActiveIndex());
    if (Shows(active))
        ComposeOver(Composed, stack.Pixels(stack.ActiveIndex()), active.Opacity, rect);
    if (!Above.isNull())
        ComposeOver(Composed, Above, 100, rect);
    if (Keep && !ShownStale)
        ShowOverCheckerboard(Shown, Composed, rect);
}
