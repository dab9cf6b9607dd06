#include "app_fixture.h"
#include "app/commands_form.h"
#include "codecs/png_codec.h"
#include "dialog_answer.h"
#include "language_test_util.h"
#include "tools/brush_size_form.h"
#include "tools/layers_form.h"
#include "tools/palette_form.h"
#include "tools/spin_edit.h"
#include "tools/tools_form.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

// The main window and its tool windows with their own settings store and
// language engine, so that nothing here reaches the user's settings or the
// other tests' language.
struct SettingsTest : TAppFixture {
    SettingsTest() { QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, Folder.path()); }

    QSettings Store() const { return QSettings(QStringLiteral("Tarnwick"), QStringLiteral("Velmora")); }

    void Stored(std::initializer_list<std::pair<const char *, QVariant>> values)
    {
        QSettings store = Store();
        for (const auto &[name, value] : values)
            store.setValue(QStringLiteral("v2/") + QLatin1String(name), value);
    }

    QString StoredText(const char *name) { return Store().value(QStringLiteral("v2/") + QLatin1String(name)).toString(); }

    QTemporaryDir Folder;
    TScopedEngine Engine{QStringLiteral(VELMORA_LANG_DLL)};
};

QPoint DefaultToolboxPlace()
{
    const QRect wa = QGuiApplication::primaryScreen()->availableGeometry();
    return QPoint(wa.left() + wa.width() - frmTools->frameGeometry().width() - 25, wa.top() + 70);
}

} // namespace

TEST_F(SettingsTest, FirstStartReadsNothingAndClosingStoresEverythingButTheFolder)
{
    form->LoadSettings();
    EXPECT_FALSE(canvas->ShowDrawingPoints);
    EXPECT_EQ(canvas->MasterRefCount, 13);
    EXPECT_EQ(canvas->EraserSize, 10);
    EXPECT_TRUE(MLLanguageName().isEmpty());

    form->SaveSettings();
    const QStringList keys = Store().allKeys();
    for (const char *name : {"Language", "ShowCenterPoints", "ShowDrawingPoints", "Shadow", "MasterRefCount",
                             "SecondRefCount", "BrushSize", "EraserSize", "SmoothStrokes", "RainbowCopies", "FillTolerance",
                             "FillSampleAll", "LayersWindowVisible", "BrushOpacity", "BrushHardness",
                             "Stabilizer", "PatternGroup", "PatternWidth", "PatternHeight", "PatternAngle"})
        EXPECT_TRUE(keys.contains(QStringLiteral("v2/") + QLatin1String(name))) << name;
    EXPECT_FALSE(keys.contains("v2/Folder"));
    EXPECT_EQ(StoredText("Shadow"), "1");
    EXPECT_EQ(StoredText("ShowDrawingPoints"), "0");
    EXPECT_EQ(StoredText("MasterRefCount"), "13");
    EXPECT_EQ(StoredText("SmoothStrokes"), "0");
    EXPECT_EQ(StoredText("RainbowCopies"), "0");
    EXPECT_EQ(StoredText("FillTolerance"), "0");
    EXPECT_EQ(StoredText("FillSampleAll"), "0");
    EXPECT_EQ(StoredText("LayersWindowVisible"), "0");
    EXPECT_EQ(StoredText("BrushOpacity"), "100");
    EXPECT_EQ(StoredText("Stabilizer"), "0");
    EXPECT_EQ(StoredText("PatternGroup"), "10"); // p4m
    EXPECT_EQ(StoredText("PatternWidth"), "64");
    EXPECT_EQ(StoredText("PatternAngle"), "90");

    form->CurrentFileName = Folder.filePath("pics/rose.png");
    form->SaveSettings();
    EXPECT_EQ(StoredText("Folder"), QDir::toNativeSeparators(Folder.filePath("pics")) + QDir::separator());
    form->CurrentFileName.clear();
    EXPECT_EQ(form->GetInitialFolder(), StoredText("Folder"));
}

TEST_F(SettingsTest, StoredValuesReachTheCanvasAndTheToolboxWithinLimits)
{
    Stored({{"Language", "RUSSIAN"},
            {"ShowCenterPoints", "true"},
            {"Shadow", 0},
            {"MasterRefCount", 2147483647},
            {"SecondRefCount", "abc"},
            {"BrushSize", 500},
            {"EraserSize", -3},
            {"SmoothStrokes", 1},
            {"RainbowCopies", 1},
            {"FillTolerance", 300},
            {"FillSampleAll", 1},
            {"LayersWindowVisible", 1},
            {"BrushOpacity", 0},
            {"BrushHardness", 30},
            {"Stabilizer", 500},
            {"PatternGroup", 5},
            {"PatternWidth", 33},
            {"PatternHeight", 100000},
            {"PatternAngle", 10}});
    form->LoadSettings();
    EXPECT_EQ(MLLanguageName(), "Русский");
    EXPECT_EQ(frmTools->windowTitle(), Engine->Languages[size_t(Engine->IndexOfLanguage("Русский"))]->GetValue(
                                           "frmTools.Caption", "?"));
    EXPECT_TRUE(canvas->ShowCenterPoints);
    EXPECT_TRUE(canvas->ShowDrawingPoints); // missing: on
    EXPECT_FALSE(canvas->Shadow);
    EXPECT_EQ(canvas->MasterRefCount, 999);
    EXPECT_EQ(canvas->SecondRefCount, 3);
    // The toolbox shows the sizes within its own range and hands them back.
    EXPECT_EQ(canvas->BrushSize, 99);
    EXPECT_EQ(canvas->EraserSize, 1);
    EXPECT_TRUE(canvas->SmoothStrokes);
    EXPECT_TRUE(canvas->RainbowCopies);
    EXPECT_EQ(canvas->FillTolerance, 255);
    EXPECT_TRUE(canvas->FillSampleAll);
    EXPECT_TRUE(frmLayers->isVisible());
    EXPECT_EQ(canvas->BrushOpacity, 1);
    EXPECT_EQ(canvas->BrushHardness, 30);
    EXPECT_EQ(canvas->Stabilizer, 100);
    EXPECT_EQ(frmTools->eMasterRef->Value(), 999);
    form->SaveSettings();
    EXPECT_EQ(StoredText("FillSampleAll"), "1");
    EXPECT_EQ(StoredText("RainbowCopies"), "1");
    EXPECT_EQ(StoredText("LayersWindowVisible"), "1");
    // Even sides within bounds, the angle within 30..150.
    const TPattern read{pgPmm, 32, 1 << 15, 30};
    EXPECT_EQ(canvas->Pattern(), read);
    EXPECT_EQ(StoredText("PatternHeight"), "32768");

    Stored({{"Language", "Klingon"}, {"ShowCenterPoints", 7}, {"PatternGroup", 24}});
    form->LoadSettings();
    EXPECT_EQ(MLLanguageName(), "English");
    EXPECT_TRUE(canvas->ShowCenterPoints);
    EXPECT_EQ(canvas->Pattern().Group, pgP4m);
}

TEST_F(SettingsTest, ALanguageThatIsNoTextEndsTheReading)
{
    Stored({{"Language", QStringList{"a", "b"}}, {"ShowCenterPoints", 1}});
    form->LoadSettings();
    EXPECT_TRUE(MLLanguageName().isEmpty());
    EXPECT_FALSE(canvas->ShowCenterPoints);
}

TEST_F(SettingsTest, ToolWindowPlacesAreStoredRestoredAndReset)
{
    Stored({{"ToolBarsLoc", "tools=abc,5|palette=10,20|brush=30,40,|"}});
    const QPoint toolbox = frmTools->pos();
    form->RestoreToolbarsLocations();
    EXPECT_EQ(frmTools->pos(), toolbox);
    EXPECT_EQ(frmPalette->pos(), QPoint(10, 20));

    frmCommands->move(50, 60);
    {
        TDialogAnswer box(QMessageBox::Ok);
        form->miSaveToolbarsLocationsClick(form->miSaveToolbarsLocations);
        EXPECT_EQ(box.Answered, 1);
        EXPECT_EQ(box.LastTitle, "Information");
        EXPECT_EQ(box.LastText, "Current toolbars location has been stored successfully");
    }
    EXPECT_EQ(StoredText("ToolBarsLoc"),
              QStringLiteral("tools=%1,%2|palette=10,20|commands=50,60|brush=%3,%4|layers=%5,%6|")
                  .arg(toolbox.x())
                  .arg(toolbox.y())
                  .arg(frmBrushSize->x())
                  .arg(frmBrushSize->y())
                  .arg(frmLayers->x())
                  .arg(frmLayers->y()));

    frmTools->move(5, 5);
    {
        TDialogAnswer box(QMessageBox::Ok);
        form->miRestoreDefaultToolbarsLocationsClick(form->miRestoreDefaultToolbarsLocations);
        EXPECT_EQ(box.LastText, "Default toolbars location has been restored");
    }
    EXPECT_TRUE(Store().contains("v2/ToolBarsLoc"));
    EXPECT_EQ(StoredText("ToolBarsLoc"), "");
    EXPECT_EQ(frmTools->pos(), DefaultToolboxPlace());
}

TEST_F(SettingsTest, ClosingWritesTheSettingsOnlyWhenTheCloseGoesAhead)
{
    canvas->Modified = true;
    {
        TDialogAnswer no(QMessageBox::No);
        EXPECT_FALSE(form->close());
    }
    EXPECT_TRUE(Store().allKeys().isEmpty());
    for (QWidget *w : std::initializer_list<QWidget *>{frmTools, frmPalette, frmCommands, frmBrushSize})
        EXPECT_TRUE(w->isVisible());
    {
        TDialogAnswer yes(QMessageBox::Yes);
        EXPECT_TRUE(form->close());
    }
    EXPECT_EQ(StoredText("EraserSize"), "10");
    // Left visible, the tool windows would keep the program running.
    for (QWidget *w : std::initializer_list<QWidget *>{frmTools, frmPalette, frmCommands, frmBrushSize})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

// Open recent lists the last eight files opened or saved, newest first, and
// keeps them from one run to the next.
TEST_F(SettingsTest, RecentFilesListTheLastEightNewestFirstAcrossARestart)
{
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const auto path = [&](int i) {
        return QDir::toNativeSeparators(Folder.filePath(QStringLiteral("p%1.png").arg(i)));
    };
    for (int i = 0; i < 10; ++i) {
        SavePngFile(picture, path(i));
        form->OpenImage(path(i));
    }
    form->OpenImage(path(5));
    const auto items = [&] {
        QStringList texts;
        for (QAction *a : form->miRecentFiles->menu()->actions())
            texts << a->text();
        return texts;
    };
    const QStringList expected{"&1 p5.png", "&2 p9.png", "&3 p8.png", "&4 p7.png", "&5 p6.png",
                               "&6 p4.png", "&7 p3.png", "&8 p2.png", "", "Clear list"};
    EXPECT_EQ(items(), expected);
    EXPECT_EQ(form->miRecentFiles->menu()->actions()[1]->toolTip(), path(9));

    form->SaveSettings();
    TearDown();
    TAppFixture::SetUp();
    form->LoadSettings();
    EXPECT_EQ(items(), expected);

    // A file that went is dropped with a message, and nothing opens.
    QFile::remove(path(9));
    {
        TDialogAnswer box(QMessageBox::Ok);
        form->miRecentFiles->menu()->actions()[1]->trigger();
        EXPECT_EQ(box.LastText, path(9) + " no longer exists. It was removed from the list of recent files.");
    }
    EXPECT_EQ(items().size(), expected.size() - 1);
    EXPECT_TRUE(form->CurrentFileName.isEmpty());
    form->miRecentFiles->menu()->actions()[1]->trigger();
    EXPECT_EQ(form->CurrentFileName, path(8));
    EXPECT_EQ(items()[0], "&1 p8.png");

    form->miClearRecentFiles->trigger();
    EXPECT_FALSE(form->miRecentFiles->isEnabled());
}

TEST_F(SettingsTest, ChoosingALanguageTranslatesEveryWindowAndEnglishRestoresThem)
{
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QMenu *languages = form->miLanguage->menu();
    ASSERT_EQ(languages->actions().size(), 5);
    ASSERT_EQ(frmCommands->PopupMenuLang->actions().size(), 5);
    auto item = [](QMenu *menu, const QString &name) {
        for (QAction *a : menu->actions())
            if (a->text() == name)
                return a;
        return static_cast<QAction *>(nullptr);
    };

    item(frmCommands->PopupMenuLang, "Deutsch")->trigger();
    EXPECT_EQ(form->miFile->text(), "Datei");
    EXPECT_EQ(frmTools->bMove->toolTip(), "Verschieben");
    EXPECT_EQ(frmCommands->bLang->text(), "DE");
    EXPECT_NE(frmBrushSize->windowTitle(), "Brush size");
    EXPECT_NE(frmPalette->csMaster->toolTip(), "Select brush color");
    EXPECT_NE(frmCommands->bNew->toolTip(), "New image");
    EXPECT_TRUE(item(languages, "Deutsch")->isChecked());
    EXPECT_TRUE(item(frmCommands->PopupMenuLang, "Deutsch")->isChecked());
    EXPECT_NE(ErrorCaption, "Error");

    item(languages, "English")->trigger();
    EXPECT_EQ(form->miFile->text(), "File");
    EXPECT_EQ(form->miBlackWhite->text(), "Black && white");
    EXPECT_EQ(frmTools->bMove->toolTip(), "Move");
    EXPECT_EQ(frmTools->windowTitle(), "Toolbox");
    EXPECT_EQ(frmBrushSize->windowTitle(), "Brush size");
    EXPECT_EQ(frmCommands->bLang->text(), "EN");
    EXPECT_EQ(ErrorCaption, "Error");
    EXPECT_FALSE(item(languages, "Deutsch")->isChecked());
}
