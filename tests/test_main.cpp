#include "app/velmora_application.h"
#include "canvas/canvas_resources.h"
#include "i18n/multi_lang_app.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    // The widget tests run without a display unless the caller chose a platform.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // The tests' settings store and data folder are their own, never the user's.
    QTemporaryDir settings;
    setenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit().constData(), 1);
    QTemporaryDir data;
    setenv("XDG_DATA_HOME", data.path().toLocal8Bit().constData(), 1);
    TVelmoraApplication app(argc, argv);
    LoadCanvasModuleResources();
    // The shipped language library, as the program finds it beside itself.
    CreateMultiLangApp(QStringLiteral(VELMORA_LANG_DLL));
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    FreeMultiLangApp();
    return result;
}
