#include "app/application.h"

#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "app/platform_choice.h"
#include "app/velmora_application.h"
#include "canvas/canvas_resources.h"
#include "i18n/multi_lang_app.h"

#include <QIcon>
#include <QMessageBox>
#include <QScreen>

#include <memory>

QIcon ApplicationIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/app/velmora_%1.png").arg(size), QSize(size, size));
    return icon;
}

void StartLanguageEngine(const QString &libraryPath)
{
    const QString error = CreateMultiLangApp(libraryPath);
    RegisterMessageStrings();
    if (!error.isEmpty())
        QMessageBox::critical(nullptr, ErrorCaption, error);
}

int RunApplication(int argc, char **argv)
{
    const bool choseX11 = ChoosePlatformForSession();
    TVelmoraApplication app(argc, argv);
    if (choseX11)
        ForgetChosenPlatform();
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.velmora"));
    QApplication::setWindowIcon(ApplicationIcon());
    StartLanguageEngine(LanguageLibraryPath());
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
    mainForm.reset();
    FreeMultiLangApp();
    return result;
}
