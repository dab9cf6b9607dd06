#include "canvas/velmora_canvas.h"

#include "codecs/image_alpha.h"
#include "engine/layer_compose.h"
#include "engine/layer_composite.h"

#include <QBrush>
#include <QPainter>

// The picture as its visible layers compose: what the display shows and
// what files and the clipboard take. A one-layer picture, visible at full
// opacity, is its own composite and costs nothing; an opaque one is shown
// exactly as the pixels are.

bool TVelmoraCanvas::ActiveIsComposite() const
{
    const TLayer &only = Stack.At(0);
    return Stack.Count() == 1 && only.Visible && only.Opacity == 100;
}

bool TVelmoraCanvas::IsFlatPicture() const
{
    return ActiveIsComposite() && Stack.At(0).Name == BackgroundLayerName;
}

bool TVelmoraCanvas::ShowsPictureAsIs() const
{
    return ActiveIsComposite() && !Picture.hasAlphaChannel();
}

const QImage &TVelmoraCanvas::Composed() const
{
    if (ActiveIsComposite())
        return Picture;
    SyncComposite();
    return Composite->Composite();
}

QImage TVelmoraCanvas::ComposedPicture() const
{
    return Composed();
}

bool TVelmoraCanvas::ComposedIsOpaque() const
{
    return !HasTransparency(Composed());
}

// Brings the composite up to date with the layers and returns whether it was
// composed anew as a whole. Changes of the active layer arrive as marked
// rectangles; one that was not announced (Picture's cache key moved with
// nothing marked) has the whole picture composed again.
bool TVelmoraCanvas::SyncComposite() const
{
    if (ShowsPictureAsIs()) {
        Composite.reset();
        return false;
    }
    if (!Composite) {
        Composite = std::make_unique<TLayerComposite>();
        LayersStale = true;
    }
    Composite->KeepDisplay(ZoomFactor == TZoom{1, 1});
    bool anew = LayersStale || Composite->Composite().size() != Picture.size();
    if (anew) {
        Composite->Rebuild(Stack);
    } else {
        if (Picture.cacheKey() != ComposedKey && !Composite->HasMarks()) {
            Composite->Mark(QRect());
            anew = true;
        }
        Composite->Update(Stack);
    }
    LayersStale = false;
    ComposedKey = Picture.cacheKey();
    return anew;
}

// Under the transparent parts of the shown picture, in cells of 8 x 8
// control pixels from the picture's top-left corner.
void TVelmoraCanvas::DrawCheckerboard(QPainter &p, const QRect &pictureArea, const QRect &shown) const
{
    static const QImage cells = [] {
        QImage image(16, 16, QImage::Format_RGB32);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                image.setPixel(x, y, CheckerboardAt(x, y));
        return image;
    }();
    p.save();
    p.setBrushOrigin(pictureArea.topLeft());
    p.fillRect(shown, QBrush(cells));
    p.restore();
}
