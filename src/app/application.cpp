#include "app/application.h"

#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/velmora_application.h"
#include "canvas/canvas_resources.h"

#include <QScreen>

#include <memory>

int RunApplication(int argc, char **argv)
{
    TVelmoraApplication app(argc, argv);
    RegisterMessageStrings();
    LoadCanvasModuleResources();

    auto mainForm = std::make_unique<TfrmMainForm>();
    frmMainForm = mainForm.get();
    CreateToolWindows(mainForm.get());
    // Without a window manager a maximize request is ignored; the window
    // then still covers the work area.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        mainForm->setGeometry(screen->availableGeometry());
    mainForm->showMaximized();
    const int result = app.exec();
    FreeShadowImage();
    return result;
}
