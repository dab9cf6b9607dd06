#pragma once

#include "tools/layer_glyphs.h"
#include "tools/tool_window.h"

#include <QIcon>

#include <map>
#include <optional>

class QLabel;
class QListWidgetItem;
class QSlider;
class QToolButton;
class TLayerList;
class TSpinEdit;

// The Layers tool window: the picture's layers top to bottom, each with its
// thumbnail, name and eye; a click makes a layer the active one, a double
// click renames it, a drag moves it; the active layer's opacity; buttons
// for a new layer, delete, raise, lower and merge down. Like the toolbox it
// keeps no state of the picture: the main window calls SyncLayers after
// every change of the layers.
class TfrmLayers : public TToolWindow {
    Q_OBJECT

public:
    TfrmLayers(TVelmoraCanvas *canvas, QWidget *parent);

    void SyncLayers();

    void bNewLayerClick(QObject *Sender = nullptr);
    void bDeleteLayerClick(QObject *Sender = nullptr);
    void bRaiseLayerClick(QObject *Sender = nullptr);
    void bLowerLayerClick(QObject *Sender = nullptr);
    void bMergeDownClick(QObject *Sender = nullptr);
    void lvLayersRowChange(int row);
    void lvLayersItemChange(QListWidgetItem *item);
    void lvLayersRowMoved(int fromRow, int toRow);
    // The opacity is one change of the layer when the user settles on it:
    // the slider released (or moved by its keys), the edit left or Enter.
    void CommitOpacity(int percent);

    // Whether the user wants the window shown; the other tool windows bring
    // it with them only then. Unset until the user chose or the picture got
    // its second layer.
    std::optional<bool> Wanted;

    TLayerList *lvLayers = nullptr;
    QLabel *Label1 = nullptr;
    TSpinEdit *eOpacity = nullptr;
    QSlider *tbOpacity = nullptr;
    QToolButton *bNewLayer = nullptr;
    QToolButton *bDeleteLayer = nullptr;
    QToolButton *bRaiseLayer = nullptr;
    QToolButton *bLowerLayer = nullptr;
    QToolButton *bMergeDown = nullptr;

protected:
    QPoint DefaultFramePosition(const QRect &workArea, int frameWidth) const override;

private:
    void CreateOpacityControls();
    void CreateButtons();
    QToolButton *CreateButton(const char *name, int left, const QString &hint, TLayerGlyph glyph,
                              void (TfrmLayers::*click)(QObject *));
    int LayerAtRow(int row) const;
    void ShowOpacity(int percent);
    void RunOnCanvas(void (TVelmoraCanvas::*command)());
    QIcon Thumbnail(int index);

    // Set while the window shows the canvas's state, so that its own change
    // handlers do not write it back.
    bool Syncing = false;
    struct TThumbnail {
        qint64 Key = 0;
        QIcon Icon;
    };
    // By layer id; a layer's thumbnail is made again only when its pixels
    // changed.
    std::map<int, TThumbnail> Thumbnails;
};
