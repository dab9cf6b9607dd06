#include "tools/tool_windows.h"

#include "app/forms.h"
#include "tools/brush_size_form.h"
#include "tools/palette_form.h"

void CreatePaletteAndBrushSizeWindows(TfrmMainForm *main)
{
    frmPalette = new TfrmPalette(main);
    frmPalette->show();
    frmBrushSize = new TfrmBrushSize(main);
    frmBrushSize->show();
}
