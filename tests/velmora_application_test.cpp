#include "app/application.h"
#include "app/command_line.h"
#include "app/commands_form.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/platform_choice.h"
#include "app/messages.h"
#include "app/velmora_application.h"
#include "tools/brush_size_form.h"
#include "tools/palette_form.h"
#include "tools/tools_form.h"
#include "dialog_answer.h"
#include "i18n/ml_strings.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <new>
#include <stdexcept>

namespace {

// A window whose event handlers fail, as a file command or a snapshot would
// when the disk is full or memory runs out.
class TFailingWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent *) override { throw std::runtime_error("Disk full while writing rose.png"); }
    void keyPressEvent(QKeyEvent *) override { throw 42; }
    void mouseReleaseEvent(QMouseEvent *) override { throw std::bad_alloc(); }
};

} // namespace

TEST(VelmoraApplication, AnExceptionFromAHandlerIsShownAndTheProgramGoesOn)
{
    ASSERT_NE(qobject_cast<TVelmoraApplication *>(qApp), nullptr);
    RegisterMessageStrings();
    TFailingWidget w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));

    TDialogAnswer answer(QMessageBox::Ok);
    QTest::mouseClick(&w, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.Answered == 1; }));
    EXPECT_EQ(answer.LastTitle, "Error");
    EXPECT_EQ(answer.LastText, "Disk full while writing rose.png");

    // Something that is not a standard exception is reported too, and two
    // failures in a row while a box is pending give one box.
    QTest::keyClick(&w, Qt::Key_A);
    QTest::keyClick(&w, Qt::Key_B);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.Answered == 2; }));
    EXPECT_EQ(answer.LastText, "Unknown error");
    QTest::qWait(100);
    EXPECT_EQ(answer.Answered, 2);
    EXPECT_TRUE(w.isVisible());

    // Memory that ran out is told as such.
    QTest::mouseRelease(&w, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.Answered == 3; }));
    EXPECT_EQ(answer.LastText, MLString(siOutOfMemory));
}

TEST(CommandLine, HelpAndVersionAreAnsweredEverythingElseIsLeftToTheFileRule)
{
    std::ostringstream out;
    const char *help[] = {"velmora", "picture.png", "--help"};
    EXPECT_EQ(AnswerInfoArguments(3, help, out), 0);
    const std::string usage = out.str();
    EXPECT_EQ(usage.rfind("Usage: velmora [FILE...]\n", 0), 0u);
    for (const char *topic : {"--version", "relative to the program's folder", "VELMORA_AUTOSAVE_SECONDS",
                              "WAYLAND_DISPLAY", "Tarnwick/Velmora.conf", "Tarnwick/Velmora/recovery", "lang.dll"})
        EXPECT_NE(usage.find(topic), std::string::npos) << topic;

    out.str({});
    const char *version[] = {"velmora", "--version"};
    EXPECT_EQ(AnswerInfoArguments(2, version, out), 0);
    EXPECT_EQ(out.str(), "Velmora 2.1\n");

    out.str({});
    const char *files[] = {"velmora", "-v", "rose.png"};
    EXPECT_EQ(AnswerInfoArguments(3, files, out), std::nullopt);
    EXPECT_TRUE(out.str().empty());
}

TEST(PlatformChoice, X11OnlyOnAWaylandSessionWithAnXServerAndNoPlatformNamed)
{
    struct Case {
        const char *wayland, *display, *platform;
        bool x11;
    } cases[] = {
        {"wayland-0", ":0", nullptr, true},
        {"wayland-0", ":0", "", true},
        {"wayland-0", ":0", "wayland", false},
        {"wayland-0", nullptr, nullptr, false},
        {"wayland-0", "", nullptr, false},
        {nullptr, ":0", nullptr, false},
        {"", ":0", nullptr, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PreferX11Platform(c.wayland, c.display, c.platform), c.x11)
            << (c.wayland ? c.wayland : "-") << ' ' << (c.display ? c.display : "-") << ' '
            << (c.platform ? c.platform : "-");
}

TEST(ApplicationIcon, TheMainWindowAndItsToolWindowsShowIt)
{
    RegisterMessageStrings();
    TfrmMainForm form;
    CreateToolWindows(&form);
    const QIcon icon = ApplicationIcon();
    EXPECT_EQ(icon.availableSizes().size(), 6);
    for (QWidget *w : std::initializer_list<QWidget *>{&form, frmTools, frmPalette, frmCommands, frmBrushSize})
        EXPECT_EQ(w->windowIcon().cacheKey(), form.windowIcon().cacheKey()) << w->objectName().toStdString();
    EXPECT_FALSE(form.windowIcon().pixmap(256, 256).isNull());
}
