#include "tools/tool_windows.h"

#include "app/forms.h"
#include "tools/brush_size_form.h"
#include "tools/palette_form.h"
#include "tools/tools_form.h"

void SetUpToolWindow(QWidget &window, const QString &name, const QString &caption, const QString &fontFamily,
                     int fontPixels)
{
    window.setObjectName(name);
    window.setWindowTitle(caption);
    QFont f(fontFamily);
    f.setPixelSize(fontPixels);
    window.setFont(f);
}

void CreateToolWindows(TfrmMainForm *main)
{
    frmTools = new TfrmTools(main);
    frmTools->show();
    frmPalette = new TfrmPalette(main);
    frmPalette->show();
    frmBrushSize = new TfrmBrushSize(main);
    frmBrushSize->show();
}
