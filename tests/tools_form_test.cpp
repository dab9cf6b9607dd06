#include "app_fixture.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "app/messages.h"
#include "canvas/velmora_canvas.h"
#include "tools/spin_edit.h"
#include "tools/tools_form.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct ToolsFormTest : TAppFixture {
    void SetUp() override
    {
        TAppFixture::SetUp();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        tools = frmTools;
    }

    void FocusSpinEdit(TSpinEdit *edit)
    {
        tools->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(tools));
        edit->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([edit] { return edit->hasFocus(); }));
        edit->selectAll();
    }

    bool CanvasGetsFocus()
    {
        return QTest::qWaitFor([this] { return QApplication::focusWidget() == canvas; });
    }

    TfrmTools *tools = nullptr;
};

} // namespace

TEST_F(ToolsFormTest, IsAnAlwaysOnTopToolWindowPlacedAtTheRightOfTheScreen)
{
    EXPECT_EQ(tools->objectName(), "frmTools");
    EXPECT_EQ(tools->windowTitle(), "Toolbox");
    EXPECT_EQ(tools->parentWidget(), form.get());
    const Qt::WindowFlags flags = tools->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(tools->width(), 100);
    EXPECT_TRUE(tools->isVisible());
    for (QToolButton *b : tools->findChildren<QToolButton *>())
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
    for (TSpinEdit *e : tools->findChildren<TSpinEdit *>())
        EXPECT_FALSE(e->focusPolicy() & Qt::TabFocus) << e->objectName().toStdString();

    const QRect wa = QGuiApplication::primaryScreen()->availableGeometry();
    tools->move(0, 0);
    tools->SetDefaultPosition();
    EXPECT_EQ(tools->frameGeometry().left(), wa.left() + wa.width() - tools->frameGeometry().width() - 25);
    EXPECT_EQ(tools->frameGeometry().top(), wa.top() + 70);
}

TEST_F(ToolsFormTest, StartsWithTheCanvasValues)
{
    EXPECT_EQ(tools->eMasterRef->Value(), canvas->MasterRefCount);
    EXPECT_EQ(tools->eSecondRef->Value(), canvas->SecondRefCount);
    EXPECT_EQ(tools->eBrush->Value(), canvas->BrushSize);
    EXPECT_EQ(tools->eEraser->Value(), canvas->EraserSize);
    EXPECT_TRUE(tools->bBrush->isChecked());
    EXPECT_TRUE(tools->bPrimaryRef->isChecked());
    EXPECT_EQ(tools->bAutoMask->isChecked(), canvas->AutoMask);
    EXPECT_FALSE(tools->bColoringProtectColor->isChecked());
}

TEST_F(ToolsFormTest, ToolAndReflectionGroupsKeepOneButtonDown)
{
    tools->bEraser->click();
    EXPECT_EQ(canvas->Tool, ctEraser);
    EXPECT_FALSE(tools->bBrush->isChecked());
    EXPECT_TRUE(CanvasGetsFocus());

    tools->bEraser->click();
    EXPECT_TRUE(tools->bEraser->isChecked());
    EXPECT_EQ(canvas->Tool, ctEraser);

    tools->bVertRef->click();
    EXPECT_EQ(canvas->ReflectionMode, rmVertical);
    EXPECT_FALSE(tools->bPrimaryRef->isChecked());
    tools->bVertRef->click();
    EXPECT_TRUE(tools->bVertRef->isChecked());

    tools->bNoRefClick(tools->bMove);
    EXPECT_EQ(canvas->ReflectionMode, rmVertical);
}

TEST_F(ToolsFormTest, ColoringButtonsAllowAllUpAndAutoMaskToggles)
{
    tools->bColoringProtectColor->click();
    EXPECT_EQ(canvas->ColoringMode, cmProtectColor);

    tools->bColoringPaintOverColor->click();
    EXPECT_EQ(canvas->ColoringMode, cmPaintOverColor);
    EXPECT_FALSE(tools->bColoringProtectColor->isChecked());

    tools->bColoringPaintOverColor->click();
    EXPECT_EQ(canvas->ColoringMode, cmNone);
    EXPECT_FALSE(tools->bColoringPaintOverColor->isChecked());
    EXPECT_FALSE(tools->bColoringProtectColor->isChecked());
    EXPECT_TRUE(CanvasGetsFocus());

    const bool autoMask = canvas->AutoMask;
    tools->bAutoMask->click();
    EXPECT_EQ(canvas->AutoMask, !autoMask);
    tools->bAutoMask->click();
    EXPECT_EQ(canvas->AutoMask, autoMask);
}

TEST_F(ToolsFormTest, TypedSizeOutOfRangeReachesTheCanvasUntilFocusLeaves)
{
    FocusSpinEdit(tools->eBrush);
    QTest::keyClicks(tools->eBrush, "150");
    EXPECT_EQ(canvas->BrushSize, 150);
    EXPECT_EQ(tools->eBrush->text(), "150");

    tools->eEraser->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return tools->eEraser->hasFocus(); }));
    EXPECT_EQ(tools->eBrush->text(), "99");
    EXPECT_EQ(canvas->BrushSize, 99);
}

TEST_F(ToolsFormTest, StepsStartFromTheTypedValueBroughtIntoRange)
{
    FocusSpinEdit(tools->eBrush);
    QTest::keyClicks(tools->eBrush, "150");
    QTest::keyClick(tools->eBrush, Qt::Key_Down);
    EXPECT_EQ(tools->eBrush->text(), "98");
    EXPECT_EQ(canvas->BrushSize, 98);

    FocusSpinEdit(tools->eBrush);
    QTest::keyClicks(tools->eBrush, "150");
    QTest::keyClick(tools->eBrush, Qt::Key_Up);
    EXPECT_EQ(tools->eBrush->text(), "99");
    EXPECT_EQ(canvas->BrushSize, 99);
    QTest::keyClick(tools->eBrush, Qt::Key_Up);
    EXPECT_EQ(tools->eBrush->text(), "99");

    FocusSpinEdit(tools->eEraser);
    QTest::keyClick(tools->eEraser, Qt::Key_Delete);
    QTest::keyClick(tools->eEraser, Qt::Key_Up);
    EXPECT_EQ(tools->eEraser->text(), "2");
    EXPECT_EQ(canvas->EraserSize, 2);
}

TEST_F(ToolsFormTest, EmptyOrNonNumericTextCountsAsTheMinimum)
{
    FocusSpinEdit(tools->eMasterRef);
    QTest::keyClick(tools->eMasterRef, Qt::Key_Delete);
    EXPECT_EQ(tools->eMasterRef->text(), "");
    EXPECT_EQ(tools->eMasterRef->Value(), 2);
    EXPECT_EQ(canvas->MasterRefCount, 2);

    // Letters cannot be typed at all.
    QTest::keyClicks(tools->eMasterRef, "a-");
    EXPECT_EQ(tools->eMasterRef->text(), "");

    FocusSpinEdit(tools->eBrush);
    QTest::keyClick(tools->eBrush, Qt::Key_Backspace);
    EXPECT_EQ(canvas->BrushSize, 1);
    tools->eEraser->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return tools->eEraser->hasFocus(); }));
    EXPECT_EQ(tools->eBrush->text(), "1");
}

TEST_F(ToolsFormTest, EnterGivesTheCanvasTheFocusOtherKeysStay)
{
    FocusSpinEdit(tools->eMasterRef);
    const int count = canvas->MasterRefCount;
    QTest::keyClick(tools->eMasterRef, Qt::Key_Up);
    EXPECT_EQ(canvas->MasterRefCount, count + 1);
    EXPECT_TRUE(tools->eMasterRef->hasFocus());

    QTest::keyClicks(tools->eMasterRef, "5000");
    QTest::keyClick(tools->eMasterRef, Qt::Key_Return);
    EXPECT_TRUE(CanvasGetsFocus());
    EXPECT_EQ(tools->eMasterRef->Value(), 999);
    EXPECT_EQ(canvas->MasterRefCount, 999);
}

TEST_F(ToolsFormTest, SyncOperationsShowTheCanvasValues)
{
    canvas->MasterRefCount = 7;
    canvas->SecondRefCount = 5;
    canvas->BrushSize = 21;
    canvas->EraserSize = 40;
    tools->SyncSpinEdits();
    EXPECT_EQ(tools->eMasterRef->Value(), 7);
    EXPECT_EQ(tools->eSecondRef->Value(), 5);
    EXPECT_EQ(tools->eBrush->Value(), 21);
    EXPECT_EQ(tools->eEraser->Value(), 40);

    canvas->BrushSize = 13;
    tools->SyncBrushSize();
    EXPECT_EQ(tools->eBrush->Value(), 13);

    canvas->SetReflectionMode(rmHorizontal);
    tools->SyncReflectionButtons();
    EXPECT_TRUE(tools->bHorizRef->isChecked());

    canvas->SetColoringMode(cmPaintOverColor);
    canvas->SetAutoMask(!canvas->AutoMask);
    tools->SyncColoringButtons();
    EXPECT_TRUE(tools->bColoringPaintOverColor->isChecked());
    EXPECT_FALSE(tools->bColoringProtectColor->isChecked());
    EXPECT_EQ(tools->bAutoMask->isChecked(), canvas->AutoMask);
}

TEST_F(ToolsFormTest, RefusesToClose)
{
    EXPECT_FALSE(tools->close());
    EXPECT_TRUE(tools->isVisible());
}
