#include "canvas/velmora_canvas.h"

#include "codecs/image_alpha.h"
#include "engine/layer_compose.h"
#include "engine/undo_history.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

// The layer stack as the Layer menu, the Layers window and the files change
// it. Every change but the choice of the active layer is one undo step,
// recorded before anything changes.

namespace {

QImage TransparentImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32);
    if (image.isNull())
        throw std::bad_alloc();
    image.fill(Qt::transparent);
    return image;
}

// A file's picture is opaque (and then kept as a flat picture is) or keeps
// its alpha.
QImage BottomPixels(const QImage &pixels)
{
    return pixels.convertToFormat(!HasTransparency(pixels) ? QImage::Format_RGB32 : QImage::Format_ARGB32);
}

} // namespace

void TVelmoraCanvas::RecordLayersStep(const std::vector<int> &ids)
{
    UndoHistory->SaveLayersStep(Stack, ids);
    NotifyHistory();
}

void TVelmoraCanvas::NotifyLayers()
{
    if (OnLayersChange)
        OnLayersChange(this);
}

// The composite is made anew from the layers as they now stand, and the mask
// and a held smooth stroke follow the active layer.
void TVelmoraCanvas::StackChanged()
{
    LayersStale = true;
    EndStroke();
    PictureChanged();
    RebuildMask();
    NotifyLayers();
}

void TVelmoraCanvas::LayersEdited()
{
    Modified = true;
    StackChanged();
    RequestRepaint();
}

QImage TVelmoraCanvas::NewLayerPixels() const
{
    return TransparentImage(Picture.size());
}

void TVelmoraCanvas::InsertAboveActive(TLayer layer)
{
    Stack.Insert(ActiveLayer() + 1, std::move(layer));
    Stack.SetActive(ActiveLayer() + 1);
    LayersEdited();
}

void TVelmoraCanvas::NewLayer()
{
    TLayer layer;
    layer.Pixels = NewLayerPixels();
    RecordLayersStep({});
    layer.Name = Stack.NewLayerName();
    InsertAboveActive(std::move(layer));
}

// The copy shares the pixels until one of the two is painted on.
void TVelmoraCanvas::DuplicateLayer()
{
    TLayer layer;
    static_cast<TImageLayer &>(layer) = Stack.At(ActiveLayer());
    layer.Pixels = Picture;
    RecordLayersStep({});
    InsertAboveActive(std::move(layer));
}

void TVelmoraCanvas::DeleteLayer()
{
    if (Stack.Count() == 1)
        return;
    RecordLayersStep({Stack.At(ActiveLayer()).Id});
    Stack.Remove(ActiveLayer());
    LayersEdited();
}

// The merged layer is composed in place: once the step holds its pixels, the
// stack is their only holder.
void TVelmoraCanvas::MergeDown()
{
    const int upper = ActiveLayer();
    if (upper == 0)
        return;
    RecordLayersStep({Stack.At(upper).Id, Stack.At(upper - 1).Id});
    ComposeOver(Stack.Pixels(upper - 1), Picture, Stack.At(upper).Opacity, Picture.rect());
    Stack.Remove(upper);
    LayersEdited();
}

void TVelmoraCanvas::RaiseLayer()
{
    MoveLayer(ActiveLayer(), ActiveLayer() + 1);
}

void TVelmoraCanvas::LowerLayer()
{
    MoveLayer(ActiveLayer(), ActiveLayer() - 1);
}

bool TVelmoraCanvas::IsLayerIndex(int index) const
{
    return index >= 0 && index < Stack.Count();
}

void TVelmoraCanvas::MoveLayer(int from, int to)
{
    if (from == to || !IsLayerIndex(from) || !IsLayerIndex(to))
        return;
    // The bottom layer leaving its place takes an alpha channel; the step
    // keeps its pixels as they were, so that undoing gives them back in their
    // own format.
    RecordLayersStep(from == 0 || to == 0 ? std::vector<int>{Stack.At(0).Id} : std::vector<int>{});
    Stack.Move(from, to);
    LayersEdited();
}

void TVelmoraCanvas::SetActiveLayer(int index)
{
    if (index == ActiveLayer() || !IsLayerIndex(index))
        return;
    Stack.SetActive(index);
    StackChanged();
}

void TVelmoraCanvas::SetLayerVisible(int index, bool visible)
{
    if (!IsLayerIndex(index) || Stack.At(index).Visible == visible)
        return;
    RecordLayersStep({});
    Stack.At(index).Visible = visible;
    LayersEdited();
}

// A name changes nothing that is shown on the canvas.
void TVelmoraCanvas::SetLayerName(int index, const QString &name)
{
    if (!IsLayerIndex(index) || Stack.At(index).Name == name)
        return;
    RecordLayersStep({});
    Stack.At(index).Name = name;
    Modified = true;
    NotifyLayers();
}

void TVelmoraCanvas::SetLayerOpacity(int index, int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (!IsLayerIndex(index) || Stack.At(index).Opacity == percent)
        return;
    RecordLayersStep({});
    Stack.At(index).Opacity = percent;
    LayersEdited();
}

// An opaque result is kept as a flat picture is, so that it is saved as one.
void TVelmoraCanvas::Flatten()
{
    if (ActiveIsComposite())
        return;
    QImage flat = BottomPixels(Composed());
    std::vector<int> ids;
    for (int i = 0; i < Stack.Count(); ++i)
        ids.push_back(Stack.At(i).Id);
    RecordLayersStep(ids);
    const TLayer &bottom = Stack.At(0);
    TStackShape shape;
    shape.Layers.push_back(TLayerState{bottom.Id, bottom.Name, true, 100});
    shape.ActiveId = bottom.Id;
    Stack.Assign(shape, {{bottom.Id, std::move(flat)}});
    LayersEdited();
}

void TVelmoraCanvas::PasteAsLayer(const QImage &image, QPoint at)
{
    if (image.isNull())
        return;
    TLayer layer;
    layer.Pixels = NewLayerPixels();
    const QImage pasted = image.convertToFormat(QImage::Format_ARGB32);
    const QRect area = QRect(at, pasted.size()).intersected(Picture.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::memcpy(layer.Pixels.scanLine(y) + std::size_t(area.left()) * sizeof(QRgb),
                    pasted.constScanLine(y - at.y()) + std::size_t(area.left() - at.x()) * sizeof(QRgb),
                    std::size_t(area.width()) * sizeof(QRgb));
    layer.Name = QStringLiteral("Pasted");
    RecordLayersStep({});
    InsertAboveActive(std::move(layer));
}

void TVelmoraCanvas::LoadLayers(std::vector<TImageLayer> layers)
{
    if (layers.empty())
        throw std::runtime_error("The picture has no layers");
    const QSize size = layers.front().Pixels.size();
    if (std::any_of(layers.begin(), layers.end(), [size](const TImageLayer &l) { return l.Pixels.size() != size; }))
        throw std::runtime_error("The layers differ in size");
    Modified = true;
    Stack.Reset(BottomPixels(layers.front().Pixels));
    Stack.At(0).Name = layers.front().Name;
    Stack.At(0).Visible = layers.front().Visible;
    Stack.At(0).Opacity = layers.front().Opacity;
    for (std::size_t i = 1; i < layers.size(); ++i) {
        TLayer layer;
        static_cast<TImageLayer &>(layer) = std::move(layers[i]);
        Stack.Insert(int(i), std::move(layer));
    }
    Stack.SetActive(Stack.Count() - 1);
    Stack.NumberLayersFrom(Stack.Count() + 1);
    StackChanged();
    RequestRepaint();
    ClearHistory();
}

std::vector<TImageLayer> TVelmoraCanvas::LayersForSaving() const
{
    std::vector<TImageLayer> layers;
    for (int i = 0; i < Stack.Count(); ++i) {
        const TLayer &l = Stack.At(i);
        layers.push_back(TImageLayer{l.Name, l.Visible, l.Opacity, Stack.Pixels(i)});
    }
    return layers;
}

std::vector<qint64> TVelmoraCanvas::InactiveLayerKeys() const
{
    std::vector<qint64> keys;
    for (int i = 0; i < Stack.Count(); ++i)
        if (i != ActiveLayer())
            keys.push_back(Stack.Pixels(i).cacheKey());
    return keys;
}
