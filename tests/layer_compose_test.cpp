#include "engine/layer_compose.h"
#include "canvas_test_util.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

#include <cmath>

namespace {

// Normal blending in real numbers: the source at alpha sa over the
// destination. The source's alpha at its opacity is taken to a whole alpha
// step first, as an alpha is stored; what is left is the rounding of the
// result, so each channel may be off by one.
QRgb ReferenceOver(QRgb dst, QRgb src, int opacity)
{
    const double sa = std::round(qAlpha(src) * std::round(opacity * 255 / 100.0) / 255) / 255;
    const double da = qAlpha(dst) / 255.0, a = sa + da * (1 - sa);
    if (a == 0)
        return 0;
    const auto mix = [&](int s, int d) { return int(std::lround((s * sa + d * da * (1 - sa)) / a)); };
    return qRgba(mix(qRed(src), qRed(dst)), mix(qGreen(src), qGreen(dst)), mix(qBlue(src), qBlue(dst)),
                 int(std::lround(a * 255)));
}

// Alpha within one; the colour too where there is enough alpha for it to
// be carried in 8 bits.
void ExpectNear(QRgb got, QRgb want, int tolerance, const char *where)
{
    ASSERT_LE(std::abs(qAlpha(got) - qAlpha(want)), tolerance) << where << std::hex << " " << got << " " << want;
    if (qAlpha(want) < 8)
        return;
    for (int shift : {0, 8, 16})
        ASSERT_LE(std::abs(int((got >> shift) & 0xFF) - int((want >> shift) & 0xFF)), tolerance)
            << where << std::hex << " " << got << " " << want;
}

QRgb RandomPixel(QRandomGenerator &rng)
{
    // Opaque and fully transparent pixels often, as paintings have them.
    const quint32 p = rng.generate();
    switch (p % 4) {
    case 0: return p | 0xFF000000u;
    case 1: return p & 0x00FFFFFFu;
    default: return p;
    }
}

} // namespace

TEST(LayerCompose, MatchesNormalBlendingOnRandomPixelsAndOpacities)
{
    QRandomGenerator rng(24);
    QImage target(64, 64, QImage::Format_ARGB32), layer(64, 64, QImage::Format_ARGB32);
    for (int round = 0; round < 20; ++round) {
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                target.setPixel(x, y, RandomPixel(rng));
                layer.setPixel(x, y, RandomPixel(rng));
            }
        const QImage before = target.copy();
        const int opacity = round % 4 == 0 ? 100 : rng.bounded(101);
        ComposeOver(target, layer, opacity, QRect(0, 0, 64, 64));
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x)
                ExpectNear(target.pixel(x, y), ReferenceOver(before.pixel(x, y), layer.pixel(x, y), opacity), 1,
                           "pixel");
    }
}

// The canvas keeps the layers under and over the active one composed; what
// it shows and saves is still every visible layer blended in order, also
// after strokes changed the active one, the second crossing the first. Each
// blend rounds once. Layers of only opaque and transparent pixels at full
// opacity are composed by choosing pixels, which must come out the same.
TEST(LayerCompose, TheComposedPictureIsTheLayersBlendedInOrder)
{
    for (const bool hard : {false, true}) {
        QRandomGenerator rng(7);
        TVelmoraCanvas c;
        LayOut(c);
        c.SetCanvasSize(48, 32, true, false);
        c.SetReflectionMode(rmNone);
        for (int i = 0; i < 4; ++i) {
            if (i > 0)
                c.NewLayer();
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 48; ++x) {
                    const QRgb p = RandomPixel(rng);
                    c.Picture.setPixel(x, y, !hard ? p : p & 1 ? p | 0xFF000000u : 0u);
                }
            c.PictureChanged();
            c.SetLayerOpacity(i, hard ? 100 : 30 + 20 * i);
        }
        c.SetLayerVisible(2, false);
        c.SetActiveLayer(1);
        const QPoint strokes[][2] = {{{5, 5}, {40, 25}}, {{40, 5}, {8, 28}}};
        for (int pass = 0; pass < 3; ++pass) {
            const QImage composed = c.ComposedPicture();
            for (int y = 0; y < 32; ++y)
                for (int x = 0; x < 48; ++x) {
                    QRgb want = 0;
                    for (int i = 0; i < 4; ++i)
                        if (c.Layers().At(i).Visible)
                            want = ReferenceOver(want, c.Layers().Pixels(i).pixel(x, y), c.Layers().At(i).Opacity);
                    ExpectNear(composed.pixel(x, y), want, 2, pass ? "after a stroke" : "layers");
                }
            if (pass == 2)
                break;
            c.BrushSize = 5;
            const QPoint from = c.PictureToClient(strokes[pass][0]), to = c.PictureToClient(strokes[pass][1]);
            c.MouseDown(mbLeft, ssLeft, from.x(), from.y());
            c.MouseMove(ssLeft, to.x(), to.y());
            c.MouseUp(mbLeft, 0, to.x(), to.y());
        }
    }
}
