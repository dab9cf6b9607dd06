#include "app/application.h"

#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "canvas/canvas_resources.h"
#include "tools/tool_windows.h"

#include <QApplication>

#include <memory>

int RunApplication(int argc, char **argv)
{
    QApplication app(argc, argv);
    RegisterMessageStrings();
    LoadCanvasModuleResources();

    auto mainForm = std::make_unique<TfrmMainForm>();
    frmMainForm = mainForm.get();
    CreateToolWindows(mainForm.get());
    mainForm->showMaximized();
    const int result = app.exec();
    FreeShadowImage();
    return result;
}
