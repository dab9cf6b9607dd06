#include "app/picture_state.h"

#include "canvas/velmora_canvas.h"

#include <QHashFunctions>

qint64 PictureStateKey(const TVelmoraCanvas &canvas)
{
    const TLayerStack &stack = canvas.Layers();
    std::size_t key = qHash(stack.Count());
    for (int i = 0; i < stack.Count(); ++i) {
        const TLayer &layer = stack.At(i);
        key = qHashMulti(key, layer.Id, layer.Name, layer.Visible, layer.Opacity, stack.Pixels(i).cacheKey());
    }
    return qint64(key);
}
