// The Layer menu's commands, and how the main window follows the layers:
// the menu's items, the Layers window and the status bar.

#include "app/forms.h"
#include "app/main_form.h"
#include "canvas/velmora_canvas.h"
#include "dialogs/layer_properties_form.h"
#include "tools/layers_form.h"
#include "tools/tools_form.h"

#include <QAction>
#include <QScrollArea>

#include <algorithm>

void TfrmMainForm::CanvasLayersChanged(TVelmoraCanvas *)
{
    UpdateLayerItems();
    UpdateStatusBar();
    if (!frmLayers)
        return;
    frmLayers->SyncLayers();
    if (frmLayers->Wanted || canvas->Layers().Count() < 2)
        return;
    frmLayers->Wanted = true;
    frmLayers->setVisible(frmTools && frmTools->isVisible());
}

// Items that would do nothing are disabled, which also keeps their keys
// from acting.
void TfrmMainForm::UpdateLayerItems()
{
    const int count = canvas->Layers().Count();
    const int active = canvas->ActiveLayer();
    miDeleteLayer->setEnabled(count > 1);
    miRaiseLayer->setEnabled(active < count - 1);
    miLowerLayer->setEnabled(active > 0);
    miLayerAbove->setEnabled(active < count - 1);
    miLayerBelow->setEnabled(active > 0);
    miMergeDown->setEnabled(active > 0);
}

// The top-left picture point shown in the scroll box; where the picture
// lies inside the visible area, its own top-left.
QPoint TfrmMainForm::VisiblePictureTopLeft() const
{
    const QPoint shown = canvas->ClientToPicture(canvas->mapFrom(ScrollBox->viewport(), QPoint(0, 0)));
    return QPoint(std::max(shown.x(), 0), std::max(shown.y(), 0));
}

void TfrmMainForm::miNewLayerClick(QObject *)
{
    canvas->NewLayer();
}

void TfrmMainForm::miDuplicateLayerClick(QObject *)
{
    canvas->DuplicateLayer();
}

void TfrmMainForm::miDeleteLayerClick(QObject *)
{
    canvas->DeleteLayer();
}

void TfrmMainForm::miRaiseLayerClick(QObject *)
{
    canvas->RaiseLayer();
}

void TfrmMainForm::miLowerLayerClick(QObject *)
{
    canvas->LowerLayer();
}

void TfrmMainForm::miLayerAboveClick(QObject *)
{
    canvas->SetActiveLayer(canvas->ActiveLayer() + 1);
}

void TfrmMainForm::miLayerBelowClick(QObject *)
{
    canvas->SetActiveLayer(canvas->ActiveLayer() - 1);
}

void TfrmMainForm::miToggleLayerClick(QObject *)
{
    const int active = canvas->ActiveLayer();
    canvas->SetLayerVisible(active, !canvas->Layers().At(active).Visible);
}

void TfrmMainForm::miLayerPropertiesClick(QObject *)
{
    const int active = canvas->ActiveLayer();
    QString name = canvas->Layers().At(active).Name;
    int opacity = canvas->Layers().At(active).Opacity;
    if (!ExecuteLayerPropertiesDialog(name, opacity))
        return;
    canvas->SetLayerName(active, name);
    canvas->SetLayerOpacity(active, opacity);
}

void TfrmMainForm::miMergeDownClick(QObject *)
{
    canvas->MergeDown();
}

void TfrmMainForm::miFlattenClick(QObject *)
{
    canvas->Flatten();
}
