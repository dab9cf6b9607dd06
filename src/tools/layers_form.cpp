#include "tools/layers_form.h"

#include "canvas/velmora_canvas.h"
#include "tools/layer_list.h"
#include "tools/layer_thumbnail.h"
#include "tools/spin_edit.h"

#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>

#include <algorithm>
#include <set>

namespace {

const QSize ButtonSize(23, 22);
const QSize GlyphSize(16, 16);
const QSize ThumbnailSize(40, 30);
constexpr int ClientWidth = 180;
constexpr int ButtonTop = 208;
constexpr int RightScreenMargin = 142;
constexpr int TopScreenMargin = 140;

} // namespace

TfrmLayers::TfrmLayers(TVelmoraCanvas *canvas, QWidget *parent)
    : TToolWindow(canvas, parent, QStringLiteral("frmLayers"), QStringLiteral("Layers"), QStringLiteral("Tahoma"), 11)
{
    lvLayers = new TLayerList(this);
    lvLayers->setObjectName(QStringLiteral("lvLayers"));
    lvLayers->setGeometry(4, 4, ClientWidth - 8, 150);
    lvLayers->setIconSize(ThumbnailSize);
    connect(lvLayers, &QListWidget::currentRowChanged, this, &TfrmLayers::lvLayersRowChange);
    connect(lvLayers, &QListWidget::itemChanged, this, &TfrmLayers::lvLayersItemChange);
    connect(lvLayers, &TLayerList::RowMoved, this, &TfrmLayers::lvLayersRowMoved);
    CreateOpacityControls();
    CreateButtons();

    setFixedSize(ClientWidth, ButtonTop + ButtonSize.height() + 4);
    SetDefaultPosition();
    SyncLayers();
    CreateTranslator();
}

void TfrmLayers::CreateOpacityControls()
{
    const QString hint = QStringLiteral("Opacity of the active layer");
    Label1 = new QLabel(QStringLiteral("Opacity"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(4, 163);
    Label1->adjustSize();
    eOpacity = new TSpinEdit(0, 100, this);
    eOpacity->setObjectName(QStringLiteral("eOpacity"));
    eOpacity->setGeometry(ClientWidth - 4 - 50, 159, 50, 21);
    eOpacity->setToolTip(hint);
    tbOpacity = new QSlider(Qt::Horizontal, this);
    tbOpacity->setObjectName(QStringLiteral("tbOpacity"));
    tbOpacity->setGeometry(4, 184, ClientWidth - 8, 20);
    tbOpacity->setRange(0, 100);
    tbOpacity->setToolTip(hint);

    connect(eOpacity, &TSpinEdit::Changed, this, [this] {
        if (Syncing)
            return;
        const QSignalBlocker blocker(tbOpacity);
        tbOpacity->setValue(eOpacity->Value());
    });
    connect(eOpacity, &QSpinBox::editingFinished, this, [this] { CommitOpacity(eOpacity->Value()); });
    connect(eOpacity, &TSpinEdit::KeyDown, this, [this](int key) {
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            FocusCanvas();
    });
    connect(tbOpacity, &QSlider::valueChanged, this, [this](int value) {
        if (Syncing)
            return;
        Syncing = true;
        eOpacity->SetValue(value);
        Syncing = false;
        if (!tbOpacity->isSliderDown())
            CommitOpacity(value);
    });
    connect(tbOpacity, &QSlider::sliderReleased, this, [this] { CommitOpacity(tbOpacity->value()); });
}

void TfrmLayers::CreateButtons()
{
    bNewLayer = CreateButton("bNewLayer", 4, QStringLiteral("New layer"), lgNew, &TfrmLayers::bNewLayerClick);
    bDeleteLayer =
        CreateButton("bDeleteLayer", 28, QStringLiteral("Delete layer"), lgDelete, &TfrmLayers::bDeleteLayerClick);
    bRaiseLayer =
        CreateButton("bRaiseLayer", 60, QStringLiteral("Raise layer"), lgRaise, &TfrmLayers::bRaiseLayerClick);
    bLowerLayer =
        CreateButton("bLowerLayer", 84, QStringLiteral("Lower layer"), lgLower, &TfrmLayers::bLowerLayerClick);
    bMergeDown =
        CreateButton("bMergeDown", 116, QStringLiteral("Merge down"), lgMergeDown, &TfrmLayers::bMergeDownClick);
}

QToolButton *TfrmLayers::CreateButton(const char *name, int left, const QString &hint, TLayerGlyph glyph,
                                      void (TfrmLayers::*click)(QObject *))
{
    QToolButton *button = CreateFlatButton(name, QRect(QPoint(left, ButtonTop), ButtonSize), hint);
    button->setIconSize(GlyphSize);
    button->setIcon(LayerGlyph(glyph));
    connect(button, &QToolButton::clicked, this, [this, button, click] { (this->*click)(button); });
    return button;
}

QPoint TfrmLayers::DefaultFramePosition(const QRect &workArea, int frameWidth) const
{
    return QPoint(workArea.left() + workArea.width() - frameWidth - RightScreenMargin,
                  workArea.top() + TopScreenMargin);
}

// The list shows the top layer first.
int TfrmLayers::LayerAtRow(int row) const
{
    return Canvas() ? Canvas()->Layers().Count() - 1 - row : -1;
}

void TfrmLayers::SyncLayers()
{
    const TVelmoraCanvas *canvas = Canvas();
    if (!canvas)
        return;
    const TLayerStack &stack = canvas->Layers();
    Syncing = true;
    {
        const QSignalBlocker blocker(lvLayers);
        while (lvLayers->count() > stack.Count())
            delete lvLayers->takeItem(0);
        while (lvLayers->count() < stack.Count()) {
            auto *item = new QListWidgetItem(lvLayers);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsEditable |
                           Qt::ItemIsDragEnabled);
        }
        std::set<int> ids;
        for (int row = 0; row < stack.Count(); ++row) {
            const int index = LayerAtRow(row);
            const TLayer &layer = stack.At(index);
            QListWidgetItem *item = lvLayers->item(row);
            item->setText(layer.Name);
            item->setCheckState(layer.Visible ? Qt::Checked : Qt::Unchecked);
            item->setIcon(Thumbnail(index));
            ids.insert(layer.Id);
        }
        std::erase_if(Thumbnails, [&ids](const auto &entry) { return !ids.contains(entry.first); });
        lvLayers->setCurrentRow(stack.Count() - 1 - canvas->ActiveLayer());
    }
    const int active = canvas->ActiveLayer();
    ShowOpacity(stack.At(active).Opacity);
    bDeleteLayer->setEnabled(stack.Count() > 1);
    bRaiseLayer->setEnabled(active < stack.Count() - 1);
    bLowerLayer->setEnabled(active > 0);
    bMergeDown->setEnabled(active > 0);
    Syncing = false;
}

QIcon TfrmLayers::Thumbnail(int index)
{
    const TLayerStack &stack = Canvas()->Layers();
    const QImage &pixels = stack.Pixels(index);
    TThumbnail &thumbnail = Thumbnails[stack.At(index).Id];
    if (thumbnail.Icon.isNull() || thumbnail.Key != pixels.cacheKey()) {
        thumbnail.Key = pixels.cacheKey();
        thumbnail.Icon = QIcon(QPixmap::fromImage(LayerThumbnail(pixels, ThumbnailSize)));
    }
    return thumbnail.Icon;
}

void TfrmLayers::ShowOpacity(int percent)
{
    eOpacity->SetValue(percent);
    const QSignalBlocker blocker(tbOpacity);
    tbOpacity->setValue(percent);
}

void TfrmLayers::CommitOpacity(int percent)
{
    if (!Syncing && Canvas())
        Canvas()->SetLayerOpacity(Canvas()->ActiveLayer(), std::clamp(percent, 0, 100));
}

void TfrmLayers::RunOnCanvas(void (TVelmoraCanvas::*command)())
{
    if (Canvas())
        (Canvas()->*command)();
    FocusCanvas();
}

void TfrmLayers::bNewLayerClick(QObject *)
{
    RunOnCanvas(&TVelmoraCanvas::NewLayer);
}

void TfrmLayers::bDeleteLayerClick(QObject *)
{
    RunOnCanvas(&TVelmoraCanvas::DeleteLayer);
}

void TfrmLayers::bRaiseLayerClick(QObject *)
{
    RunOnCanvas(&TVelmoraCanvas::RaiseLayer);
}

void TfrmLayers::bLowerLayerClick(QObject *)
{
    RunOnCanvas(&TVelmoraCanvas::LowerLayer);
}

void TfrmLayers::bMergeDownClick(QObject *)
{
    RunOnCanvas(&TVelmoraCanvas::MergeDown);
}

void TfrmLayers::lvLayersRowChange(int row)
{
    if (!Syncing && Canvas() && row >= 0)
        Canvas()->SetActiveLayer(LayerAtRow(row));
}

// The row's eye or its name changed. An empty name is not taken: the row
// shows the layer's name again.
void TfrmLayers::lvLayersItemChange(QListWidgetItem *item)
{
    TVelmoraCanvas *canvas = Canvas();
    if (Syncing || !canvas)
        return;
    const int index = LayerAtRow(lvLayers->row(item));
    const TLayer &layer = canvas->Layers().At(index);
    const bool visible = item->checkState() == Qt::Checked;
    const QString name = item->text().trimmed();
    if (visible != layer.Visible)
        canvas->SetLayerVisible(index, visible);
    else if (!name.isEmpty() && name != layer.Name)
        canvas->SetLayerName(index, name);
    else
        SyncLayers();
}

void TfrmLayers::lvLayersRowMoved(int fromRow, int toRow)
{
    if (Canvas())
        Canvas()->MoveLayer(LayerAtRow(fromRow), LayerAtRow(toRow));
}
