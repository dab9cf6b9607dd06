#include "app/main_form.h"
#include "app/messages.h"
#include "canvas/velmora_canvas.h"
#include "engine/coverage_stroke.h"
#include "i18n/ml_strings.h"
#include "dialog_answer.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct MainFormTest : ::testing::Test {
    void SetUp() override
    {
        RegisterMessageStrings();
        form = std::make_unique<TfrmMainForm>();
        form->resize(700, 500);
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }
    std::unique_ptr<TfrmMainForm> form;
};

} // namespace

TEST_F(MainFormTest, StartsWithWhitePictureSizeAndNoName)
{
    EXPECT_EQ(form->windowTitle(), "Velmora 2.1");
    EXPECT_EQ(form->StatusText(0), "800x600");
    EXPECT_EQ(form->StatusText(1), "");
    EXPECT_EQ(form->CurrentFormat, 1);
    EXPECT_FALSE(form->Canvas()->Modified);
}

TEST_F(MainFormTest, CanvasCoversViewportAndPictureWithMargin)
{
    auto *box = form->findChild<QScrollArea *>("ScrollBox");
    ASSERT_TRUE(box);
    TVelmoraCanvas *c = form->Canvas();
    EXPECT_EQ(c->pos(), QPoint(0, 0));
    EXPECT_GE(c->width(), 850);
    EXPECT_GE(c->height(), 650);

    form->resize(1600, 1200);
    QTest::qWait(20);
    EXPECT_GE(c->width(), box->viewport()->width());
    EXPECT_GE(c->height(), box->viewport()->height());
    EXPECT_GE(c->width(), 850);

    c->SetCanvasSize(100, 100, true, true);
    form->FitCanvas();
    EXPECT_EQ(c->width(), box->viewport()->width());
    EXPECT_EQ(c->height(), box->viewport()->height());
}

TEST_F(MainFormTest, ClosesWithoutAskingWhenUnmodified)
{
    TDialogAnswer answer(QMessageBox::No);
    EXPECT_TRUE(form->close());
    QTest::qWait(30);
    EXPECT_EQ(answer.Answered, 0);
}

TEST_F(MainFormTest, AsksBeforeClosingModifiedPicture)
{
    form->Canvas()->Modified = true;
    {
        TDialogAnswer answer(QMessageBox::No);
        EXPECT_FALSE(form->close());
        EXPECT_EQ(answer.Answered, 1);
        EXPECT_EQ(answer.LastText, "Close program without saving changes?");
        EXPECT_TRUE(form->isVisible());
    }
    TDialogAnswer answer(QMessageBox::Yes);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(answer.Answered, 1);
}

TEST_F(MainFormTest, KeysOnTheFocusedCanvasDoNotScrollThePicture)
{
    auto *box = form->findChild<QScrollArea *>("ScrollBox");
    ASSERT_TRUE(box);
    TVelmoraCanvas *c = form->Canvas();
    c->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([c] { return c->hasFocus(); }));
    ASSERT_GT(box->verticalScrollBar()->maximum(), 0);
    ASSERT_GT(box->horizontalScrollBar()->maximum(), 0);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_End})
        QTest::keyClick(c, key);
    EXPECT_EQ(box->verticalScrollBar()->value(), 0);
    EXPECT_EQ(box->horizontalScrollBar()->value(), 0);
}

// The smooth pen's state cannot be allocated: the message shows, the stroke
// ends and the picture is untouched.
TEST_F(MainFormTest, ASmoothStrokeOutOfMemoryEndsWithTheMessage)
{
    TVelmoraCanvas *c = form->Canvas();
    c->SetSmoothStrokes(true);
    c->BrushSize = 9;
    const QImage before = c->Picture.copy();
    TDialogAnswer answer(QMessageBox::Ok);
    LimitCoverageTilesForTesting(0);
    c->MouseDown(mbLeft, ssLeft, 125, 125);
    c->MouseMove(ssLeft, 225, 125);
    LimitCoverageTilesForTesting(SIZE_MAX);
    EXPECT_FALSE(c->Dragging);
    c->MouseMove(ssLeft, 325, 125);
    EXPECT_EQ(c->Picture, before);
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.Answered == 1; }));
    EXPECT_EQ(answer.LastText, MLString(siOutOfMemory));
}
