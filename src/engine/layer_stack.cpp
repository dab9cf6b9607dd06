#include "engine/layer_stack.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

void TLayerStack::Reset(QImage background)
{
    if (Outside)
        *Outside = QImage();
    Layers.clear();
    TLayer layer;
    layer.Name = BackgroundLayerName;
    layer.Pixels = std::move(background);
    layer.Id = NewId();
    Layers.push_back(std::move(layer));
    Active = 0;
    NextNumber = 2;
    CheckOut();
}

void TLayerStack::KeepActiveIn(QImage *pixels)
{
    CheckIn();
    Outside = pixels;
    CheckOut();
}

// While the owner keeps the active layer's pixels, the stack's entry for it
// is empty; these two swap them between the entry and the owner's image.
void TLayerStack::CheckIn()
{
    if (!Outside)
        return;
    if (Layers.empty())
        *Outside = QImage();
    else
        std::swap(*Outside, Layers[std::size_t(Active)].Pixels);
}

void TLayerStack::CheckOut()
{
    if (Outside && !Layers.empty())
        std::swap(*Outside, Layers[std::size_t(Active)].Pixels);
}

const QImage &TLayerStack::Pixels(int i) const
{
    return Outside && i == Active ? *Outside : At(i).Pixels;
}

QImage &TLayerStack::Pixels(int i)
{
    return Outside && i == Active ? *Outside : At(i).Pixels;
}

int TLayerStack::Find(int id) const
{
    const auto it = std::find_if(Layers.begin(), Layers.end(), [id](const TLayer &l) { return l.Id == id; });
    return it == Layers.end() ? -1 : int(it - Layers.begin());
}

void TLayerStack::Insert(int index, TLayer layer)
{
    if (layer.Id == 0)
        layer.Id = NewId();
    NextId = std::max(NextId, layer.Id + 1);
    CheckIn();
    const bool first = Layers.empty();
    Layers.insert(Layers.begin() + index, std::move(layer));
    if (!first && index <= Active)
        ++Active;
    CheckOut();
    KeepUpperLayersAlpha();
}

TLayer TLayerStack::Remove(int index)
{
    CheckIn();
    TLayer layer = std::move(Layers[std::size_t(index)]);
    Layers.erase(Layers.begin() + index);
    if (index < Active || (index == Active && Active > 0))
        --Active;
    CheckOut();
    return layer;
}

void TLayerStack::Move(int from, int to)
{
    if (from == to)
        return;
    const int activeId = Layers[std::size_t(Active)].Id;
    CheckIn();
    TLayer layer = std::move(Layers[std::size_t(from)]);
    Layers.erase(Layers.begin() + from);
    Layers.insert(Layers.begin() + to, std::move(layer));
    Active = Find(activeId);
    CheckOut();
    KeepUpperLayersAlpha();
}

void TLayerStack::SetActive(int index)
{
    CheckIn();
    Active = index;
    CheckOut();
}

TStackShape TLayerStack::Shape() const
{
    TStackShape shape;
    for (const TLayer &l : Layers)
        shape.Layers.push_back(TLayerState{l.Id, l.Name, l.Visible, l.Opacity});
    shape.ActiveId = Layers.empty() ? 0 : Layers[std::size_t(Active)].Id;
    return shape;
}

void TLayerStack::Assign(const TStackShape &shape, std::map<int, QImage> pixels)
{
    bool activeFound = false;
    for (const TLayerState &s : shape.Layers) {
        if (!pixels.count(s.Id) && Find(s.Id) < 0)
            throw std::runtime_error("The history names a layer that no longer exists");
        activeFound |= s.Id == shape.ActiveId;
    }
    if (!activeFound)
        throw std::runtime_error("The history names no active layer");
    CheckIn();
    std::vector<TLayer> layers;
    for (const TLayerState &s : shape.Layers) {
        TLayer l;
        l.Id = s.Id;
        l.Name = s.Name;
        l.Visible = s.Visible;
        l.Opacity = s.Opacity;
        const auto given = pixels.find(s.Id);
        l.Pixels = given != pixels.end() ? std::move(given->second) : std::move(Layers[std::size_t(Find(s.Id))].Pixels);
        NextId = std::max(NextId, s.Id + 1);
        layers.push_back(std::move(l));
    }
    Layers = std::move(layers);
    Active = Find(shape.ActiveId);
    CheckOut();
    KeepUpperLayersAlpha();
}

QString TLayerStack::NewLayerName()
{
    return QStringLiteral("Layer %1").arg(NextNumber++);
}

// Converting in place keeps the memory: the two formats have the same bytes
// for an opaque pixel.
void TLayerStack::KeepUpperLayersAlpha()
{
    for (int i = 1; i < Count(); ++i) {
        QImage &pixels = Pixels(i);
        if (pixels.format() != QImage::Format_RGB32)
            continue;
        pixels.convertTo(QImage::Format_ARGB32);
        if (pixels.isNull())
            throw std::bad_alloc();
    }
}
