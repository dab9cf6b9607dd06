#include "app/forms.h"

#include "app/commands_form.h"
#include "app/main_form.h"
#include "tools/brush_size_form.h"
#include "tools/layers_form.h"
#include "tools/palette_form.h"
#include "tools/tools_form.h"

TfrmMainForm *frmMainForm = nullptr;
QPointer<TfrmTools> frmTools;
QPointer<TfrmPalette> frmPalette;
QPointer<TfrmCommands> frmCommands;
QPointer<TfrmBrushSize> frmBrushSize;
QPointer<TfrmLayers> frmLayers;

void CreateToolWindows(TfrmMainForm *main)
{
    frmTools = new TfrmTools(main->Canvas(), main);
    frmTools->show();
    QObject::connect(frmTools, &TfrmTools::ReflectionModeChosen, main, &TfrmMainForm::UpdatePatternItems);
    frmPalette = new TfrmPalette(main->Canvas(), main);
    frmPalette->show();
    frmCommands = new TfrmCommands(main);
    frmCommands->show();
    frmBrushSize = new TfrmBrushSize(main->Canvas(), main);
    frmBrushSize->show();
    QObject::connect(frmBrushSize, &TfrmBrushSize::BrushSizeChosen, frmTools, &TfrmTools::SyncBrushSize);
    frmLayers = new TfrmLayers(main->Canvas(), main);
}

std::array<TToolWindow *, 5> ToolWindows()
{
    return {frmTools, frmPalette, frmCommands, frmBrushSize, frmLayers};
}
