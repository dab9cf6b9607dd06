#include "dialogs/about_form.h"
#include "dialogs/brush_settings_form.h"
#include "dialogs/canvas_size_form.h"
#include "dialogs/fill_tolerance_form.h"
#include "dialogs/layer_properties_form.h"
#include "dialogs/pattern_form.h"
#include "app/commands_form.h"
#include "app/forms.h"
#include "app/main_form.h"
#include "i18n/file_dialog_filter.h"
#include "i18n/multi_lang_form.h"
#include "language_test_util.h"
#include "tools/brush_size_form.h"
#include "tools/layers_form.h"
#include "tools/palette_form.h"
#include "tools/tools_form.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

// A button class of our own: only the fallback's hint applies to it.
class TDerivedButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;
};

// A translator with no texts at all.
class TNoTexts : public TMultiLangComponent {
protected:
    std::vector<TText> Texts(QObject *) const override { return {}; }
};

template <class T, class P>
T *Make(P *parent, const char *name)
{
    auto *object = new T(parent);
    object->setObjectName(name);
    return object;
}

// A small window with one component of every translated kind, a menu, a
// file dialog, and what must not be linked.
struct TTestWindow : QWidget {
    TTestWindow()
    {
        setObjectName("frmTest");
        setWindowTitle("Test");
        Make<QLabel>(this, "lTitle")->setText("Title");
        auto *fixed = Make<QLabel>(this, "lFixed");
        fixed->setText("Fixed");
        fixed->setProperty("Tag", -1);
        Make<QPushButton>(this, "bGo")->setText("Go");
        Make<QToolButton>(this, "bTool")->setToolTip("Tool");
        Make<QSpinBox>(this, "eCount")->setToolTip("Count");
        Make<TDerivedButton>(this, "bDerived")->setToolTip("Derived");
        Make<QCheckBox>(this, "cbFlag")->setText("Flag");
        Make<QRadioButton>(this, "rbOne")->setText("One");
        auto *box = Make<QGroupBox>(this, "gbBox");
        box->setTitle("Box");
        Make<QLabel>(box, "lInside")->setText("Inside");
        List = Make<QComboBox>(this, "cbList");
        List->addItems({"red", "green"});
        List->setCurrentIndex(1);
        auto *view = Make<QTreeWidget>(this, "lvList");
        view->setHeaderLabels({"Name", "Size", "Date"});
        Make<QTimer>(this, "PaintTimer");

        auto *bar = Make<QMenuBar>(this, "MainMenu");
        QMenu *file = bar->addMenu("File");
        file->setObjectName("miFile");
        file->menuAction()->setObjectName("miFile");
        auto *item = Make<QAction>(this, "miNew");
        item->setText("New");
        file->addAction(item);
        file->addSeparator()->setObjectName("N1");

        Dialog = Make<QFileDialog>(this, "SaveDlg");
        Dialog->setOption(QFileDialog::DontUseNativeDialog);
        Dialog->setWindowTitle("Save");
        SetDialogFilter(*Dialog, "PNG images (*.png)|*.png|GIF images (*.gif)|*.gif");
        Dialog->selectNameFilter(Dialog->nameFilters()[1]);
        Make<QColorDialog>(this, "ColorDlg");
        auto *toolWindow = new QWidget(this, Qt::Tool);
        toolWindow->setObjectName("frmOther");
        Make<QLabel>(toolWindow, "lOther")->setText("Other");
    }

    template <class T>
    T *Child(const char *name) const { return findChild<T *>(name); }

    QComboBox *List = nullptr;
    QFileDialog *Dialog = nullptr;
};

QStringList ReportedKeys(const TMultiLangForm &translator)
{
    QStringList keys;
    translator.GetTexts([&](const QString &key, const QString &) { keys << key; });
    return keys;
}

// The characters a tooltip shows.
QString ShownToolTip(const QWidget *widget)
{
    const QString tip = widget->toolTip();
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
}

const char GermanText[] =
    "frmTest.Caption=Probe\n"
    "frmTest.lTitle.Caption=<b>Titel</b>\n"
    "frmTest.lFixed.Caption=Fest\n"
    "frmTest.bGo.Caption=Los\n"
    "frmTest.bGo.Hint=not a button's text\n"
    "frmTest.bTool.Hint=<b>Werkzeug</b>\n"
    "frmTest.eCount.Hint=Anzahl\n"
    "frmTest.bDerived.Caption=not its text\n"
    "frmTest.cbFlag.Caption=\n"
    "frmTest.gbBox.Caption=Gruppe\n"
    "frmTest.lInside.Caption=Innen\n"
    "frmTest.cbList.Items.Text=rot#13#10grün#13#10blau#13#10\n"
    "frmTest.lvList.Columns[2]=Datum\n"
    "frmTest.miFile.Caption=Datei\n"
    "frmTest.miNew.Caption=Neu\n"
    "frmTest.miNew.Hint=Neues Bild\n"
    "frmTest.SaveDlg.Filter=PNG-Bilder|*.png|GIF-Bilder|*.gif\n"
    "frmTest.SaveDlg.Title=Speichern\n"
    "frmTest.lOther.Caption=Fremd\n";

} // namespace

TEST(MultiLangForm, LinksTheWindowsOwnComponentsByExactClass)
{
    TScopedEngine engine;
    TTestWindow window;
    const TMultiLangForm translator(&window);
    EXPECT_EQ(ReportedKeys(translator).join(' '),
              "frmTest.Caption frmTest.lTitle.Caption frmTest.bGo.Caption frmTest.bTool.Hint frmTest.eCount.Hint "
              "frmTest.bDerived.Hint frmTest.cbFlag.Caption frmTest.rbOne.Caption frmTest.gbBox.Caption "
              "frmTest.lInside.Caption frmTest.cbList.Items.Text frmTest.lvList.Columns[0] "
              "frmTest.lvList.Columns[1] frmTest.lvList.Columns[2] frmTest.miFile.Caption frmTest.miFile.Hint "
              "frmTest.miNew.Caption frmTest.miNew.Hint frmTest.SaveDlg.Filter frmTest.SaveDlg.Title");
    EXPECT_EQ(translator.Links.front().Component, window.Child<QLabel>("lTitle"));
    try {
        TMultiLangForm none(nullptr);
        ADD_FAILURE();
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "Cannot create multi-language support for unassigned form");
    }
}

TEST(MultiLangForm, TranslatesWhatTheLanguageHasAndKeepsTheRest)
{
    TScopedEngine engine;
    engine->Languages.push_back(MakeLanguage("Deutsch", QString::fromUtf8(GermanText)));
    engine->Languages.push_back(MakeLanguage("Leer", ""));
    TTestWindow window;
    TMultiLangForm translator(&window);
    translator.Translate(); // no language yet: nothing changes
    EXPECT_EQ(window.windowTitle(), "Test");

    auto *late = Make<QLabel>(&window, "lLate");
    late->setText("Late");
    QSignalSpy listChanges(window.List, &QComboBox::currentIndexChanged);
    engine->SelectLanguage(0);
    translator.Translate();
    EXPECT_EQ(window.windowTitle(), "Probe");
    // Texts of the language are plain text, also where they look like markup.
    EXPECT_EQ(window.Child<QLabel>("lTitle")->text(), "<b>Titel</b>");
    EXPECT_EQ(window.Child<QLabel>("lTitle")->textFormat(), Qt::PlainText);
    EXPECT_EQ(ShownToolTip(window.Child<QToolButton>("bTool")), "<b>Werkzeug</b>");
    EXPECT_EQ(window.Child<QLabel>("lFixed")->text(), "Fixed");
    EXPECT_EQ(window.Child<QLabel>("lLate")->text(), "Late");
    EXPECT_EQ(window.Child<QPushButton>("bGo")->text(), "Los");
    EXPECT_EQ(window.Child<QPushButton>("bGo")->toolTip(), "");
    EXPECT_EQ(window.Child<QSpinBox>("eCount")->toolTip(), "Anzahl");
    EXPECT_EQ(window.Child<QPushButton>("bDerived")->text(), "");
    EXPECT_EQ(window.Child<QCheckBox>("cbFlag")->text(), "Flag");
    EXPECT_EQ(window.Child<QGroupBox>("gbBox")->title(), "Gruppe");
    EXPECT_EQ(window.Child<QLabel>("lInside")->text(), "Innen");
    EXPECT_EQ(window.Child<QLabel>("lOther")->text(), "Other");
    EXPECT_EQ(window.List->itemText(2), "blau");
    EXPECT_EQ(window.List->count(), 3);
    EXPECT_EQ(window.List->currentIndex(), 1);
    EXPECT_EQ(listChanges.count(), 0);
    EXPECT_EQ(window.Child<QTreeWidget>("lvList")->headerItem()->text(2), "Datum");
    EXPECT_EQ(window.Child<QTreeWidget>("lvList")->headerItem()->text(0), "Name");
    EXPECT_EQ(window.Child<QAction>("miFile")->text(), "Datei");
    EXPECT_EQ(window.Child<QAction>("miNew")->statusTip(), "Neues Bild");
    EXPECT_EQ(window.Dialog->nameFilters(), QStringList({"PNG-Bilder (*.png)", "GIF-Bilder (*.gif)"}));
    EXPECT_EQ(window.Dialog->selectedNameFilter(), "GIF-Bilder (*.gif)");
    EXPECT_EQ(window.Dialog->windowTitle(), "Speichern");

    // A language without the texts leaves the previous language's.
    engine->SelectLanguage(1);
    translator.Translate();
    EXPECT_EQ(window.windowTitle(), "Probe");
    EXPECT_EQ(window.Child<QAction>("miNew")->text(), "Neu");
    EXPECT_EQ(ShownToolTip(window.Child<QToolButton>("bTool")), "<b>Werkzeug</b>");
}

TEST(MultiLangForm, RegistryMatchesExactClassesWithTheWidgetFallback)
{
    TScopedEngine engine;
    const auto size = engine->Translators.size();
    try {
        engine->RegisterTranslator(&QLabel::staticMetaObject, TranslatorClassOf<TNoTexts>);
        ADD_FAILURE();
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "Duplicate registration for class QLabel in multi-language support engine");
    }
    engine->RegisterTranslator(nullptr, nullptr);
    EXPECT_EQ(engine->Translators.size(), size);
    TMultiLangComponent *fallback = engine->FindTranslator(&QWidget::staticMetaObject);
    EXPECT_EQ(engine->FindTranslator(&TDerivedButton::staticMetaObject), fallback);
    EXPECT_NE(engine->FindTranslator(&QPushButton::staticMetaObject), fallback);
    EXPECT_EQ(engine->FindTranslator(&QPushButton::staticMetaObject),
              engine->FindTranslator(&QPushButton::staticMetaObject));
    EXPECT_EQ(engine->FindTranslator(&QTimer::staticMetaObject), nullptr);
}

TEST(FileDialogFilter, ConvertsBetweenPipeFormAndQtNameFilters)
{
    EXPECT_EQ(NameFiltersOf("PNG images (*.png)|*.png|Pictures|*.gif;*.bmp|All (*.gif;*.png)|*.gif;*.png"),
              QStringList({"PNG images (*.png)", "Pictures (*.gif *.bmp)", "All (*.gif *.png)"}));
    EXPECT_EQ(FilterOf({"PNG images (*.png)", "Pictures (*.gif *.bmp)", "*.txt"}),
              "PNG images (*.png)|*.png|Pictures (*.gif *.bmp)|*.gif;*.bmp|*.txt|*.txt");
    const QString filter = "PNG images (*.png)|*.png|GIF images (*.gif)|*.gif|BMP images (*.bmp)|*.bmp";
    EXPECT_EQ(FilterOf(NameFiltersOf(filter)), filter);
}

// The shipped English names every text of the program's windows, and a
// switch to German and back changes and restores them.
TEST(ShippedLanguages, TranslateTheWindowsAndBack)
{
    TScopedEngine engine(QStringLiteral(VELMORA_LANG_DLL));
    TfrmMainForm main;
    frmMainForm = &main;
    CreateToolWindows(&main);
    TfrmCanvasSize canvasSize;
    TfrmFillTolerance fillTolerance;
    TfrmLayerProperties layerProperties;
    TfrmBrushSettings brushSettings;
    TfrmPattern pattern(QSize(800, 600));
    TfrmAbout about;
    std::vector<std::unique_ptr<TMultiLangForm>> translators;
    for (QWidget *window : std::initializer_list<QWidget *>{&main, frmTools, frmPalette, frmCommands, frmBrushSize,
                                                            frmLayers, &canvasSize, &fillTolerance, &layerProperties,
                                                            &brushSettings, &pattern, &about})
        translators.push_back(std::make_unique<TMultiLangForm>(window));

    const TLanguage &english = *engine->Languages[0];
    for (const auto &translator : translators)
        translator->GetTexts([&](const QString &key, const QString &text) {
            // The about box's link is an address, not a text; its notice
            // breaks the line with LF, the language with CR LF.
            if (!text.isEmpty() && key != "frmAbout.lWebLink.Caption") {
                EXPECT_EQ(english.GetValue(key, "").replace("\r\n", "\n"), QString(text).replace("\r\n", "\n"))
                    << key.toStdString();
            }
        });

    MLSelectLanguage("Deutsch", "English");
    for (const auto &translator : translators)
        translator->Translate();
    EXPECT_EQ(main.miFile->text(), "Datei");
    EXPECT_EQ(main.OpenDlg->nameFilters()[1], "GIF-Bilder (*.gif)");
    EXPECT_EQ(main.SaveDlg->nameFilters()[3], "OpenRaster (*.ora)");
    EXPECT_EQ(main.miLayer->text(), "Ebene");
    EXPECT_EQ(frmLayers->bMergeDown->toolTip(), "Nach unten zusammenfügen");
    EXPECT_EQ(frmTools->bMove->toolTip(), "Verschieben");
    EXPECT_EQ(frmTools->windowTitle(), "Werkzeuge");
    EXPECT_EQ(canvasSize.bCancel->text(), "Abbrechen");

    MLSelectLanguage("English", "");
    for (const auto &translator : translators)
        translator->Translate();
    EXPECT_EQ(main.miFile->text(), "File");
    EXPECT_EQ(main.miBlackWhite->text(), "Black && white");
    EXPECT_EQ(main.OpenDlg->nameFilters()[1], "GIF images (*.gif)");
    EXPECT_EQ(frmTools->bMove->toolTip(), "Move");
    EXPECT_EQ(frmTools->windowTitle(), "Toolbox");
    EXPECT_EQ(canvasSize.bCancel->text(), "Cancel");
    frmMainForm = nullptr;
}

#include "multi_lang_form_test.moc"
