#include "app_fixture.h"
#include "dialogs/about_form.h"
#include "dialogs/canvas_size_form.h"
#include "app/commands_form.h"
#include "dialogs/image_view_form.h"
#include "dialogs/pattern_form.h"
#include "dialogs/pattern_texts.h"
#include "dialog_answer.h"
#include "tools/brush_size_form.h"
#include "tools/palette_form.h"
#include "tools/spin_edit.h"
#include "tools/tools_form.h"

#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

namespace {

struct CommandsBarTest : TAppFixture {
    void SetUp() override
    {
        TAppFixture::SetUp();
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        bar = frmCommands;
    }

    void ClickButton(QToolButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(5, 5)); }

    TfrmCommands *bar = nullptr;
};

// Records the addresses handed to the desktop.
class TUrlCatcher : public QObject {
    Q_OBJECT

public:
    TUrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open"); }
    ~TUrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }

    QList<QUrl> Opened;

public slots:
    void Open(const QUrl &url) { Opened << url; }
};

} // namespace

TEST_F(CommandsBarTest, IsAToolWindowWithSevenButtonsInOneRow)
{
    EXPECT_EQ(bar->objectName(), "frmCommands");
    EXPECT_EQ(bar->windowTitle(), "Commands");
    EXPECT_EQ(bar->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(bar->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(bar->size(), QSize(191, 30));
    const struct {
        QToolButton *Button;
        int Left;
        const char *Hint;
    } rows[] = {{bar->bNew, 4, "New image"}, {bar->bOpen, 32, "Open image"},
                {bar->bSave, 56, "Save image"}, {bar->bCopy, 84, "Copy image to clipboard"},
                {bar->bUndo, 112, "Undo"},     {bar->bRedo, 136, "Redo"},
                {bar->bLang, 164, "Language"}};
    for (const auto &row : rows) {
        SCOPED_TRACE(row.Hint);
        EXPECT_EQ(row.Button->geometry(), QRect(row.Left, 4, 23, 22));
        EXPECT_EQ(row.Button->toolTip(), row.Hint);
        EXPECT_TRUE(row.Button->autoRaise());
        if (row.Button != bar->bLang) {
            EXPECT_FALSE(row.Button->icon().isNull());
        }
    }
    EXPECT_EQ(bar->bLang->text(), "EN");
    EXPECT_TRUE(bar->bLang->font().bold());
    EXPECT_FALSE(bar->bUndo->isEnabled());
    EXPECT_FALSE(bar->bRedo->isEnabled());
    EXPECT_FALSE(bar->close());

    const QRect wa = QGuiApplication::primaryScreen()->availableGeometry();
    bar->move(300, 300);
    bar->SetDefaultPosition();
    EXPECT_EQ(bar->frameGeometry().topLeft(), wa.topLeft() + QPoint(10, 70));
}

TEST_F(CommandsBarTest, ButtonsReachTheMainWindowsCommands)
{
    int fileDialogs = 0;
    form->ExecuteFileDialog = [&](QFileDialog &) {
        ++fileDialogs;
        return false;
    };
    {
        TDialogCanceller cancel;
        ClickButton(bar->bNew);
        EXPECT_EQ(cancel.Cancelled, 1);
    }
    ClickButton(bar->bOpen);
    ClickButton(bar->bSave);
    EXPECT_EQ(fileDialogs, 2);

    canvas->Picture.setPixel(3, 3, qRgb(4, 5, 6));
    ClickButton(bar->bCopy);
    EXPECT_EQ(QGuiApplication::clipboard()->image().pixel(3, 3), qRgb(4, 5, 6));

    // Undo and Redo follow the history.
    canvas->SaveUndoStep(true, true);
    EXPECT_TRUE(bar->bUndo->isEnabled());
    canvas->Picture.setPixel(3, 3, qRgb(7, 7, 7));
    ClickButton(bar->bUndo);
    EXPECT_EQ(canvas->Picture.pixel(3, 3), qRgb(4, 5, 6));
    EXPECT_FALSE(bar->bUndo->isEnabled());
    EXPECT_TRUE(bar->bRedo->isEnabled());
    ClickButton(bar->bRedo);
    EXPECT_EQ(canvas->Picture.pixel(3, 3), qRgb(7, 7, 7));
    EXPECT_TRUE(QTest::qWaitFor([this] { return canvas->hasFocus(); }));
}

TEST_F(CommandsBarTest, LanguageButtonOpensItsMenuBelowItsLeftEdge)
{
    bar->PopupMenuLang->addAction(QStringLiteral("English"));
    ClickButton(bar->bLang);
    ASSERT_TRUE(QTest::qWaitFor([this] { return bar->PopupMenuLang->isVisible(); }));
    EXPECT_EQ(bar->PopupMenuLang->pos(), bar->bLang->mapToGlobal(QPoint(0, bar->bLang->height() + 1)));
    bar->PopupMenuLang->close();
}

TEST_F(CommandsBarTest, VisibilityHidesAndShowsAllFourToolWindows)
{
    frmTools->hide();
    form->miVisibilityClick(form->miVisibility);
    for (QWidget *w : std::initializer_list<QWidget *>{frmTools, frmPalette, frmCommands, frmBrushSize})
        EXPECT_TRUE(w->isVisible());
    form->miVisibilityClick(form->miVisibility);
    for (QWidget *w : std::initializer_list<QWidget *>{frmTools, frmPalette, frmCommands, frmBrushSize})
        EXPECT_FALSE(w->isVisible());
}

TEST_F(CommandsBarTest, ViewMaskShowsTheMaskOnlyWhileAModeIsSet)
{
    TDialogCanceller cancel;
    form->miViewmask->trigger();
    QTest::qWait(30);
    EXPECT_EQ(cancel.Cancelled, 0);

    canvas->SetCanvasSize(120, 100, true, true);
    canvas->Picture.setPixel(5, 5, qRgb(255, 0, 0));
    canvas->SetColoringMode(cmProtectColor);
    QImage shown;
    QTimer::singleShot(0, [&] {
        auto *view = qobject_cast<TfrmImageView *>(QApplication::activeModalWidget());
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->size(), QSize(120, 100));
        shown = view->Image->pixmap().toImage();
        QTest::keyClick(view, Qt::Key_Escape);
    });
    form->miViewmask->trigger();
    ASSERT_EQ(shown.size(), QSize(120, 100));
    EXPECT_EQ(shown.pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu); // white: protected
    EXPECT_EQ(shown.pixel(5, 5) & 0xFFFFFF, 0u);
}

TEST(CanvasSizeDialog, ListFillsTheEditsAndEditingClearsTheChoice)
{
    TfrmCanvasSize dialog;
    EXPECT_EQ(dialog.size(), QSize(230, 194));
    EXPECT_EQ(dialog.eStandard->count(), 11);
    EXPECT_EQ(dialog.eStandard->currentIndex(), -1);
    EXPECT_EQ(dialog.eWidth->geometry(), QRect(20, 96, 89, 21));
    EXPECT_EQ(dialog.eHeight->geometry(), QRect(120, 96, 89, 21));
    EXPECT_EQ(dialog.eStandard->geometry(), QRect(20, 36, 189, 21));
    EXPECT_TRUE(dialog.bOk->isDefault());

    dialog.eStandard->setCurrentIndex(dialog.eStandard->findText("1024x768"));
    EXPECT_EQ(dialog.eWidth->Value(), 1024);
    EXPECT_EQ(dialog.eHeight->Value(), 768);
    EXPECT_EQ(dialog.eStandard->currentText(), "1024x768");
    dialog.eWidth->SetValue(1000);
    EXPECT_EQ(dialog.eStandard->currentIndex(), -1);
    // Typing a listed size does not select it.
    dialog.eWidth->SetValue(800);
    dialog.eHeight->SetValue(600);
    EXPECT_EQ(dialog.eStandard->currentIndex(), -1);
}

TEST(CanvasSizeDialog, SizesComeBackWithinRangeAlsoWhenConfirmedWhileEditing)
{
    TfrmCanvasSize dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    dialog.eWidth->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.eWidth->hasFocus(); }));
    dialog.eWidth->selectAll();
    QTest::keyClicks(dialog.eWidth, "50");
    dialog.eHeight->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.eHeight->hasFocus(); }));
    EXPECT_EQ(dialog.eWidth->Value(), 100);
    dialog.eHeight->selectAll();
    QTest::keyClicks(dialog.eHeight, "5000");
    QTest::keyClick(dialog.eHeight, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.eHeight->Value(), 3000);

    int w = 40, h = 9000;
    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<TfrmCanvasSize *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->windowTitle(), "Caption");
        EXPECT_EQ(d->eWidth->Value(), 100);
        EXPECT_EQ(d->eHeight->Value(), 3000);
        d->reject();
    });
    EXPECT_FALSE(ExecuteCanvasSizeDialog("Caption", w, h));
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 9000);
}

// Tab goes group, width, height, angle, Ok, Cancel; the height and the angle
// follow the group. Ok refuses a cell that needs more than 2^20 copies,
// names the smallest allowed and stays open.
TEST(PatternDialog, TabOrderFieldsOfTheGroupAndRefusalOfTooManyCopies)
{
    RegisterPatternStrings();
    const QSize picture(6000, 4000);
    TfrmPattern dialog(picture);
    dialog.SetPattern({pgP1, 64, 48, 90});
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    dialog.cbGroup->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.cbGroup->hasFocus(); }));
    for (QWidget *next : std::initializer_list<QWidget *>{dialog.eWidth, dialog.eHeight, dialog.eAngle, dialog.bOk,
                                                          dialog.bCancel}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }

    dialog.cbGroup->setCurrentIndex(pgP6m);
    EXPECT_FALSE(dialog.eHeight->isEnabled());
    EXPECT_FALSE(dialog.eAngle->isEnabled());
    EXPECT_EQ(dialog.lDescription->text(), "hexagonal cells, mirrors and sixth turns");
    dialog.eWidth->SetValue(17);
    TDialogAnswer answer(QMessageBox::Ok);
    dialog.bOk->click();
    const TPattern refused{pgP6m, 16, 48, 90};
    EXPECT_GT(PatternCopyCount(refused, picture), MaxPatternCopies);
    EXPECT_EQ(answer.Answered, 1);
    EXPECT_TRUE(answer.LastText.endsWith(
        "The smallest cell allowed is " + PatternCellText(SmallestAllowedPattern(refused, picture)) + "."))
        << answer.LastText.toStdString();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.ChosenPattern(), refused);
}

TEST(AboutBox, AnimatesWithinTwoSecondsAndRestartsWithANewFigure)
{
    TfrmAbout box;
    EXPECT_EQ(box.size(), QSize(600, 317));
    EXPECT_EQ(box.AnimCanvas->geometry(), QRect(-1, -1, 602, 140));
    EXPECT_EQ(box.AnimCanvas->PictureWidth(), 600);
    EXPECT_EQ(box.AnimCanvas->PictureHeight(), 138);
    EXPECT_EQ(box.AnimCanvas->MasterCenter, QPoint(200, 69));
    EXPECT_FALSE(box.AnimCanvas->Interactive);
    EXPECT_FALSE(box.AnimCanvas->Shadow);
    EXPECT_EQ(box.imgVersion->size(), QSize(389, 68));
    EXPECT_TRUE(box.bClose->isDefault());

    box.Random.seed(7);
    box.RestartAnimation();
    EXPECT_TRUE(box.PaintTimer->isActive());
    EXPECT_EQ(box.PaintTimer->interval(), 20);
    EXPECT_EQ(box.AnimCanvas->ReflectionMode, rmMirrorPrimary);
    EXPECT_GE(box.AnimCanvas->MasterRefCount, 3);
    EXPECT_LE(box.AnimCanvas->MasterRefCount, 9);
    const TColor colour = box.AnimCanvas->MasterColor;
    // 100 ticks of 20 ms: two seconds of drawing.
    for (int i = 0; i < 100; ++i)
        box.PaintTimerTimer();
    EXPECT_EQ(box.StepCount, 100);
    const QImage &picture = box.AnimCanvas->Picture;
    int drawn = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            drawn += (picture.pixel(x, y) & 0xFFFFFF) == (ColorToRgb(colour) & 0xFFFFFF);
    EXPECT_GT(drawn, 100);

    box.PaintTimerTimer();
    EXPECT_EQ(box.StepCount, 0);
    EXPECT_EQ(box.AnimCanvas->Picture.pixel(200, 69), qRgb(255, 255, 255));
    EXPECT_EQ(box.AnimCanvas->LastPoint, box.AnimCanvas->MasterCenter);
}

TEST(AboutBox, EscClosesAndTheLinkOpensTheWebPage)
{
    TUrlCatcher catcher;
    TfrmAbout box;
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    EXPECT_TRUE(box.PaintTimer->isActive());
    QTest::mouseClick(box.lWebLink, Qt::LeftButton);
    ASSERT_EQ(catcher.Opened.size(), 1);
    EXPECT_EQ(catcher.Opened[0], QUrl(box.lWebLink->text()));
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    QWidget *focus = QApplication::focusWidget();
    EXPECT_TRUE(focus == box.bClose || !focus);
    QTest::keyClick(focus ? focus : &box, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
}

TEST(ImageView, ShowsTheBitmapAtItsSizeAndClosesWithEsc)
{
    QImage mask(100, 100, QImage::Format_Mono);
    mask.fill(1);
    QSize client;
    QString title;
    QTimer::singleShot(0, [&] {
        auto *view = qobject_cast<TfrmImageView *>(QApplication::activeModalWidget());
        ASSERT_NE(view, nullptr);
        client = view->size();
        title = view->windowTitle();
        QTest::keyClick(view, Qt::Key_Escape);
    });
    ShowImageView(mask);
    EXPECT_EQ(client, QSize(100, 100));
    EXPECT_EQ(title, "Image");
}

#include "secondary_windows_test.moc"
