#pragma once

#include "codecs/image_layer.h"

#include <QImage>
#include <QString>

#include <map>
#include <vector>

// A layer of the picture being painted: what files hold, and an id that
// stays with the layer through every change of the stack and its history.
struct TLayer : TImageLayer {
    int Id = 0;
};

// A layer without its pixels.
struct TLayerState {
    int Id = 0;
    QString Name;
    bool Visible = true;
    int Opacity = 100;
    bool operator==(const TLayerState &) const = default;
};

// The stack without pixels: its layers bottom to top and the active one.
struct TStackShape {
    std::vector<TLayerState> Layers;
    int ActiveId = 0;
    bool operator==(const TStackShape &) const = default;
};

// The name of a picture's only layer when it was made or read from a flat
// file.
inline const QString BackgroundLayerName = QStringLiteral("Background");

// The layers of a picture, bottom to top, one of them active. Pure data: no
// history, no display. Every layer has the picture's size. Only the bottom
// layer may be Format_RGB32 (an opaque picture keeps the pixels of a flat
// one); a layer that stops being the bottom becomes Format_ARGB32.
//
// The owner may keep the active layer's pixels in an image of its own (the
// canvas paints on one image whichever layer is active): the stack then
// holds none for it and Pixels() reaches them there, and switching the
// active layer swaps them in and out.
class TLayerStack {
public:
    TLayerStack() = default;
    TLayerStack(TLayerStack &&) = default;
    TLayerStack &operator=(TLayerStack &&) = default;
    TLayerStack(const TLayerStack &) = delete;
    TLayerStack &operator=(const TLayerStack &) = delete;

    // One layer named "Background" with the given pixels; the numbering of
    // new layers starts again.
    void Reset(QImage background);
    // Holds the active layer's pixels in *pixels from now on; the image the
    // pointer names must outlive the stack.
    void KeepActiveIn(QImage *pixels);

    int Count() const { return int(Layers.size()); }
    int ActiveIndex() const { return Active; }
    // The layer at index i; its Pixels are empty while the owner keeps
    // them: Pixels(i) reaches them wherever they are.
    const TLayer &At(int i) const { return Layers[std::size_t(i)]; }
    TLayer &At(int i) { return Layers[std::size_t(i)]; }
    const QImage &Pixels(int i) const;
    QImage &Pixels(int i);
    // The index of the layer with the id, or -1.
    int Find(int id) const;

    // Puts the layer at index (0 = bottom); a layer without an id gets a new
    // one. The active layer stays the same layer.
    void Insert(int index, TLayer layer);
    // Takes the layer out with its pixels. When it was the active one, the
    // layer below it becomes active (the new bottom when there is none).
    TLayer Remove(int index);
    // Moves a layer from one index to another; the active layer stays the
    // same layer.
    void Move(int from, int to);
    void SetActive(int index);

    TStackShape Shape() const;
    // Takes the shape: layers named in pixels take those, the others keep
    // the ones they have now. Throws std::runtime_error, changing nothing,
    // when a layer of the shape has pixels neither here nor there.
    void Assign(const TStackShape &shape, std::map<int, QImage> pixels);

    // A free id, and the name of the next new layer ("Layer 2", "Layer 3"
    // and so on through the picture's life).
    int NewId() { return NextId++; }
    QString NewLayerName();
    // New layers are numbered from n on.
    void NumberLayersFrom(int n) { NextNumber = n; }

private:
    void CheckIn();
    void CheckOut();
    void KeepUpperLayersAlpha();

    std::vector<TLayer> Layers;
    int Active = 0;
    int NextId = 1;
    int NextNumber = 2;
    QImage *Outside = nullptr;
};
