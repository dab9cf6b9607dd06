#include "app/messages.h"
#include "app/velmora_application.h"
#include "dialog_answer.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// A window whose event handlers fail, as a file command or a snapshot would
// when the disk is full or memory runs out.
class TFailingWidget : public QWidget {
protected:
    void mousePressEvent(QMouseEvent *) override { throw std::runtime_error("Disk full while writing rose.png"); }
    void keyPressEvent(QKeyEvent *) override { throw 42; }
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
}
