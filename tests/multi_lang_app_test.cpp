#include "app/application.h"
#include "app/messages.h"
#include "dialog_answer.h"
#include "i18n/multi_lang_app.h"
#include "language_test_util.h"

#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Names(const TMultiLangApp &engine)
{
    QStringList names;
    for (const auto &language : engine.Languages)
        names << language->GetName();
    return names.join(',');
}

QString Captions(const QMenu &menu)
{
    QStringList captions;
    for (const QAction *item : menu.actions())
        captions << item->text() + (item->isChecked() ? "*" : "");
    return captions.join(',');
}

struct MultiLangAppTest : ::testing::Test {
    void Add(const QString &name, const QString &lines) { engine->Languages.push_back(MakeLanguage(name, lines)); }
    TScopedEngine engine;
};

} // namespace

TEST(MultiLangAppLoading, KeepsTheListedLanguagesMadeForVelmoraInIndexOrder)
{
    QTemporaryDir dir;
    const QString path = BuildResourceDll(dir.path(), {
        {"LANGUAGE_RD", Payload("ONE\r\nMISSING\r\nOLD\r\nNOAPP\r\nTWO\r\nUPPER")},
        {"UPPER", Payload("@App=VELMORA 2\n@Language=Upper")},
        {"ONE", Payload("@App=Velmora 2\n@Language=One\n@Abr=PT\n@Locale=pt_BR")},
        {"OLD", Payload("@App=Velmora 1\n@Language=Old")},
        {"NOAPP", Payload("@Language=NoApp")},
        {"TWO", Payload("@App=Velmora 2")},
        {"UNLISTED", Payload("@App=Velmora 2\n@Language=Unlisted")},
    });
    const TMultiLangApp engine(path);
    EXPECT_EQ(Names(engine), "One,Unknown,Upper");
    EXPECT_EQ(engine.Languages[0]->GetLocale(), "pt_BR");
    EXPECT_TRUE(engine.LibraryError().isEmpty());
    EXPECT_EQ(engine.CurrentLanguage, nullptr);

    const QString noIndex = BuildResourceDll(dir.path(), {{"ONE", Payload("@App=Velmora 2")}}, "noindex.dll");
    for (const QString &p : {noIndex, dir.filePath("absent.dll"), QString()}) {
        const TMultiLangApp empty(p);
        EXPECT_TRUE(empty.Languages.empty());
        EXPECT_TRUE(empty.LibraryError().isEmpty());
    }
}

TEST(MultiLangAppLoading, UnusableLibraryCostsEveryLanguageAndSaysWhy)
{
    QTemporaryDir dir;
    QByteArray broken = Payload("@App=Velmora 2");
    broken[1] = 0;
    const QString brokenHeader = BuildResourceDll(dir.path(), {
        {"LANGUAGE_RD", Payload("ONE\nBROKEN")},
        {"ONE", Payload("@App=Velmora 2\n@Language=One\n@Abr=PT\n@Locale=pt_BR")},
        {"BROKEN", broken},
    });
    const QString garbage = dir.filePath("garbage.dll");
    QFile f(garbage);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'M'));
    f.close();

    for (const auto &[path, reason] : {std::pair{brokenHeader, QString("BROKEN")},
                                       std::pair{garbage, QString("Cannot load resource library: ")}}) {
        const TMultiLangApp engine(path);
        EXPECT_TRUE(engine.Languages.empty());
        EXPECT_TRUE(engine.LibraryError().contains(QDir::toNativeSeparators(path))) << engine.LibraryError().toStdString();
        EXPECT_TRUE(engine.LibraryError().contains(reason)) << engine.LibraryError().toStdString();
        EXPECT_EQ(engine.GetString("siErrorCaption"), "Error");
        EXPECT_GE(engine.IndexOfClass(&QWidget::staticMetaObject), 0);
    }
}

TEST_F(MultiLangAppTest, SelectsByNameTheFirstOfThatNameElseTheFallback)
{
    Add("English", "@Abr=EN");
    Add("Deutsch", "@Abr=DE");
    Add("Deutsch", "@Abr=D2");
    int changes = 0;
    engine->OnLanguageChange = [&](TMultiLangApp *sender) {
        EXPECT_EQ(sender, &*engine);
        ++changes;
    };
    EXPECT_TRUE(engine->SelectLanguageByName("deutsch", "English"));
    EXPECT_EQ(MLAppValue("Abr"), "DE");
    EXPECT_TRUE(engine->SelectLanguageByName("Klingon", "English"));
    EXPECT_EQ(MLLanguageName(), "English");
    engine->SelectLanguage(0); // the current one again still tells the windows
    engine->SelectLanguage(3); // no such language: an item of a stale menu
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(MLLanguageName(), "English");

    TScopedEngine german;
    german->Languages.push_back(MakeLanguage("Deutsch", ""));
    MLSelectLanguage("Klingon", "English");
    EXPECT_EQ(german->CurrentLanguage, nullptr);
    EXPECT_EQ(MLLanguageName(), "");
    EXPECT_EQ(MLAppValue("Abr"), "");
}

TEST_F(MultiLangAppTest, StringsKeepTheirLastTextAndFeedTheCaptions)
{
    MLRegisterString("siNewImage", "New image");
    MLRegisterString("siErrorCaption", "Error");
    MLRegisterString("siNewImage", "Second registration");
    Add("Deutsch", "$siNewImage=Neues Bild\n$siErrorCaption=Fehler\n$siConfirmtaionCaption=Bestätigung\n"
                   "$siNewFolderName=Neuer Ordner\n$siInfoCaption=Hinweis");
    Add("Français", "$siErrorCaption=Erreur");
    EXPECT_EQ(MLString("siNewImage"), "New image");

    engine->SelectLanguage(0);
    EXPECT_EQ(MLString("SINEWIMAGE"), "Neues Bild");
    EXPECT_EQ(ErrorCaption, "Fehler");
    EXPECT_EQ(ConfirmationCaption, QString::fromUtf8("Bestätigung"));
    EXPECT_EQ(NewFolderName, "Neuer Ordner");
    EXPECT_EQ(InfoCaption, "Information"); // the application's own to set

    engine->SelectLanguage(1);
    EXPECT_EQ(MLString("siNewImage"), "Neues Bild");
    EXPECT_EQ(ErrorCaption, "Erreur");
    EXPECT_EQ(MLString("siNothing"), "");
}

TEST_F(MultiLangAppTest, LanguageMenusCarryNamesShortcutsAndOneCheckMark)
{
    Add("English", "@Shortcut=Ctrl+Alt+E");
    Add("Deutsch", "");
    QMenu main, popup, third;
    int changes = 0;
    MLSetLanguageMenu(&main, [&](TMultiLangApp *) { ++changes; });
    MLAddLanguageMenu(&popup);
    MLAddLanguageMenu(&third);
    EXPECT_EQ(Captions(main), "English,Deutsch");
    EXPECT_EQ(main.actions()[0]->shortcut(), QKeySequence("Ctrl+Alt+E"));
    EXPECT_EQ(popup.actions()[0]->shortcut(), QKeySequence("Ctrl+Alt+E"));
    EXPECT_TRUE(main.actions()[1]->shortcut().isEmpty());

    popup.actions()[1]->trigger();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Captions(main) + "|" + Captions(popup) + "|" + Captions(third), "English,Deutsch*|English,Deutsch*|English,Deutsch");
    popup.actions()[1]->trigger(); // the checked item does nothing
    main.actions()[1]->trigger();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(Captions(popup), "English,Deutsch*");
    main.actions()[0]->trigger();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(Captions(main) + "|" + Captions(popup), "English*,Deutsch|English*,Deutsch");

    TScopedEngine none;
    QMenu options;
    QMenu *language = options.addMenu("Language");
    MLAddLanguageMenu(language);
    EXPECT_FALSE(language->menuAction()->isVisible());
}

TEST_F(MultiLangAppTest, LanguageShortcutsAlsoTakeTheToolkitsKeyNames)
{
    const std::vector<std::pair<QString, QKeySequence>> shortcuts{
        {"Ctrl+PgDn", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {"Alt+bksp", QKeySequence(Qt::ALT | Qt::Key_Backspace)},
        {"Shift+Enter", QKeySequence(Qt::SHIFT | Qt::Key_Return)},
        {"Ctrl+PgDown", QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
        {"Ctrl++", QKeySequence(Qt::CTRL | Qt::Key_Plus)},
    };
    for (const auto &[text, key] : shortcuts)
        Add(text, "@Shortcut=" + text);
    QMenu menu;
    MLAddLanguageMenu(&menu);
    for (std::size_t i = 0; i < shortcuts.size(); ++i)
        EXPECT_EQ(menu.actions()[int(i)]->shortcut(), shortcuts[i].second) << shortcuts[i].first.toStdString();
}

// Fails where Qt's own translations (qt6-translations-l10n) are missing.
TEST_F(MultiLangAppTest, QtsOwnTextsFollowTheLanguagesLocale)
{
    Add("English", "@Abr=EN");
    Add("Deutsch", "@Abr=DE");
    Add("Brasileiro", "@Abr=BR\n@Locale=pt_BR");
    const auto buttons = [] {
        QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
        return QString(box.button(QMessageBox::Yes)->text() + ',' + box.button(QMessageBox::No)->text()).remove('&');
    };
    engine->SelectLanguage(1);
    EXPECT_EQ(buttons(), "Ja,Nein");
    engine->SelectLanguage(2);
    EXPECT_EQ(buttons(), QString::fromUtf8("Sim,Não"));
    engine->SelectLanguage(0);
    EXPECT_EQ(buttons(), "Yes,No");
}

TEST(MultiLangFunctions, DoNothingWithoutAnEngine)
{
    TMultiLangApp *const engine = MultiLangApp;
    MultiLangApp = nullptr;
    QMenu menu;
    MLSetLanguageMenu(&menu, [](TMultiLangApp *) {});
    MLAddLanguageMenu(&menu);
    MLRegisterString("siNewImage", "New image");
    MLSelectLanguage("English", "English");
    EXPECT_EQ(MLString("siNewImage") + MLLanguageName() + MLAppValue("Abr"), "");
    EXPECT_TRUE(menu.actions().isEmpty());
    MultiLangApp = engine;
}

TEST(LanguageStartUp, CorruptLibraryIsReportedOnceAndTheProgramRunsInEnglish)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lang.dll");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("MZ but nothing else");
    f.close();
    {
        TDialogAnswer answer(QMessageBox::Ok);
        StartLanguageEngine(path);
        EXPECT_EQ(answer.Answered, 1);
        EXPECT_TRUE(answer.LastText.contains(QDir::toNativeSeparators(path))) << answer.LastText.toStdString();
    }
    EXPECT_TRUE(MultiLangApp->Languages.empty());
    EXPECT_EQ(MLString(siNewImage), "New image");
    EXPECT_EQ(ErrorCaption, "Error");

    // The suite goes on with the shipped library.
    CreateMultiLangApp(QStringLiteral(VELMORA_LANG_DLL));
    RegisterMessageStrings();
}

TEST(LanguageStartUp, ShippedEnglishHasEveryMessageTextAsRegistered)
{
    TScopedEngine engine(QStringLiteral(VELMORA_LANG_DLL));
    RegisterMessageStrings();
    const TLanguage &english = *engine->Languages[0];
    for (const TMultiLangString &s : engine->Strings)
        EXPECT_EQ(english.GetValue("$" + s.Name, ""), s.Text) << s.Name.toStdString();
}
