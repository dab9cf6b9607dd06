#include "engine/layer_compose.h"

namespace {

const QRgb *RowOf(const QImage &image, int y, int x)
{
    return reinterpret_cast<const QRgb *>(image.constScanLine(y)) + x;
}

QRgb *RowOf(QImage &image, int y, int x)
{
    return reinterpret_cast<QRgb *>(image.scanLine(y)) + x;
}

// One row, with what the layer's and the target's formats decide known at
// compile time: most layers are composed at full opacity.
template <bool LayerAlpha, bool FullOpacity, bool TargetAlpha>
void ComposeRow(QRgb *dst, const QRgb *src, int n, unsigned opacity)
{
    for (int i = 0; i < n; ++i) {
        const unsigned la = LayerAlpha ? src[i] >> 24 : 255u;
        const unsigned sa = FullOpacity ? la : (la * opacity + 127) / 255;
        dst[i] = Over(TargetAlpha ? dst[i] : dst[i] | 0xFF000000u, src[i], sa);
    }
}

template <bool LayerAlpha, bool FullOpacity>
void ComposeRows(QImage &target, const QImage &layer, unsigned opacity, const QRect &rect)
{
    const bool targetAlpha = target.hasAlphaChannel();
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        QRgb *dst = RowOf(target, y, rect.left());
        const QRgb *src = RowOf(layer, y, rect.left());
        if (targetAlpha)
            ComposeRow<LayerAlpha, FullOpacity, true>(dst, src, rect.width(), opacity);
        else
            ComposeRow<LayerAlpha, FullOpacity, false>(dst, src, rect.width(), opacity);
    }
}

} // namespace

void ComposeOver(QImage &target, const QImage &layer, int opacity, const QRect &rect)
{
    const unsigned alpha = OpacityAlpha(opacity);
    if (alpha == 0 || rect.isEmpty())
        return;
    const bool layerAlpha = layer.hasAlphaChannel();
    if (layerAlpha && alpha == 255)
        ComposeRows<true, true>(target, layer, alpha, rect);
    else if (layerAlpha)
        ComposeRows<true, false>(target, layer, alpha, rect);
    else if (alpha == 255)
        ComposeRows<false, true>(target, layer, alpha, rect);
    else
        ComposeRows<false, false>(target, layer, alpha, rect);
}

void ShowOverCheckerboard(QImage &display, const QImage &composite, const QRect &rect)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        QRgb *dst = RowOf(display, y, 0);
        const QRgb *src = RowOf(composite, y, 0);
        for (int x = rect.left(); x <= rect.right(); ++x)
            dst[x] = OverCheckerboard(src[x], x, y);
    }
}
