#include "app/main_form.h"

#include "app/application.h"
#include "app/commands_form.h"
#include "app/forms.h"
#include "app/messages.h"
#include "app/recovery_autosave.h"
#include "app/test_stroke.h"
#include "app/velmora_application.h"
#include "app/zoom_view.h"
#include "canvas/velmora_canvas.h"
#include "i18n/ml_strings.h"
#include "i18n/multi_lang_form.h"
#include "tools/brush_size_form.h"
#include "tools/layers_form.h"
#include "tools/palette_form.h"
#include "tools/tools_form.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScrollArea>
#include <QStatusBar>
#include <QToolButton>

namespace {

constexpr int CanvasMargin = 50;
const QColor ScrollBoxGrey(127, 127, 127);

} // namespace

TfrmMainForm::TfrmMainForm(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMainForm"));
    setWindowTitle(QStringLiteral("Velmora 2.1"));
    // The tool windows and dialogs, all children of this window, show it too.
    setWindowIcon(ApplicationIcon());
    resize(854, 581);
    CreateStatusBar();
    CreateScrollBox();
    CreateMainMenu();
    CreateFileDialogs();

    canvas = new TVelmoraCanvas(ScrollBox);
    canvas->OnToolChange = [this](TVelmoraCanvas *s) { CanvasToolChanged(s); };
    canvas->OnColorPick = [this](TVelmoraCanvas *s) { CanvasColorPicked(s); };
    canvas->OnHistoryChange = [this](TVelmoraCanvas *s, bool u, bool r) { CanvasHistoryChanged(s, u, r); };
    canvas->OnLayersChange = [this](TVelmoraCanvas *s) { CanvasLayersChanged(s); };
    canvas->OnOutOfMemory = [](TVelmoraCanvas *) {
        if (auto *app = qobject_cast<TVelmoraApplication *>(qApp))
            app->ReportOutOfMemory();
    };
    canvas->Modified = false;
    MarkFileState();
    ScrollBox->setWidget(canvas);
    canvas->move(0, 0);
    ZoomView = new TZoomView(ScrollBox, canvas, [this] { FitCanvas(); }, [this] { UpdateStatusBar(); }, this);
    FitCanvas();
    CurrentFormat = 1;
    UpdateStatusBar();
    CanvasHistoryChanged(canvas, canvas->CanUndo(), canvas->CanRedo());
    UpdateLayerItems();
    UpdatePatternItems();
    setAcceptDrops(true);
    Autosave = new TRecoveryAutosave(this);
    // Translated by LanguageChanged only, once a language is selected.
    Translator = std::make_unique<TMultiLangForm>(this);
    MLSetLanguageMenu(miLanguage->menu(), [this](TMultiLangApp *) { LanguageChanged(); });
}

TfrmMainForm::~TfrmMainForm()
{
    if (frmMainForm == this)
        frmMainForm = nullptr;
}

void TfrmMainForm::LanguageChanged()
{
    Translator->Translate();
    for (TToolWindow *w : std::initializer_list<TToolWindow *>{frmTools, frmPalette, frmCommands}) {
        if (w)
            w->Translate();
    }
    if (frmCommands)
        frmCommands->bLang->setText(MLAppValue(QStringLiteral("Abr")));
    if (frmBrushSize)
        frmBrushSize->Translate();
    if (frmLayers)
        frmLayers->Translate();
    ReloadMessageCaptions();
    UpdateStatusBar();
}

void TfrmMainForm::CreateStatusBar()
{
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    const int widths[4] = {150, 400, 70, 100};
    for (int i = 0; i < 4; ++i) {
        StatusPanels[i] = new QLabel(bar);
        StatusPanels[i]->setFixedWidth(widths[i]);
        StatusPanels[i]->setFrameShape(QFrame::Panel);
        StatusPanels[i]->setFrameShadow(QFrame::Sunken);
        bar->addWidget(StatusPanels[i]);
    }
    StatusPanels[0]->setAlignment(Qt::AlignCenter);
    StatusPanels[2]->setAlignment(Qt::AlignCenter);
    StatusPanels[3]->setAlignment(Qt::AlignCenter);
    setStatusBar(bar);
}

void TfrmMainForm::CreateScrollBox()
{
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QPalette pal = ScrollBox->palette();
    pal.setColor(QPalette::Window, ScrollBoxGrey);
    ScrollBox->setPalette(pal);
    ScrollBox->setBackgroundRole(QPalette::Window);
    ScrollBox->viewport()->installEventFilter(this);
    setCentralWidget(ScrollBox);
}

bool TfrmMainForm::eventFilter(QObject *watched, QEvent *event)
{
    if (ScrollBox && watched == ScrollBox->viewport() && event->type() == QEvent::Resize)
        FitCanvas();
    return QMainWindow::eventFilter(watched, event);
}

// The canvas fills the visible area and is 50 pixels larger than the picture
// as shown in each direction where the picture does not fit.
void TfrmMainForm::FitCanvas()
{
    if (!canvas)
        return;
    const QSize client = ScrollBox->viewport()->size();
    const int w = std::max(canvas->ShownWidth() + CanvasMargin, client.width());
    const int h = std::max(canvas->ShownHeight() + CanvasMargin, client.height());
    if (canvas->width() != w || canvas->height() != h)
        canvas->resize(w, h);
}

void TfrmMainForm::UpdateStatusBar()
{
    StatusPanels[0]->setText(QStringLiteral("%1x%2").arg(canvas->PictureWidth()).arg(canvas->PictureHeight()));
    StatusPanels[1]->setText(CurrentFileName);
    StatusPanels[2]->setText(ZoomPercentText(canvas->Zoom()));
    // Painting on a hidden layer changes nothing that shows.
    const bool hidden = !canvas->Layers().At(canvas->ActiveLayer()).Visible;
    StatusPanels[3]->setText(hidden ? MLString(siLayerHidden) : QString());
}

QString TfrmMainForm::StatusText(int panel) const
{
    return StatusPanels[panel]->text();
}

// A right click on the canvas swaps brush and eraser; the toolbox follows.
void TfrmMainForm::CanvasToolChanged(TVelmoraCanvas *)
{
    if (!frmTools)
        return;
    switch (canvas->Tool) {
    case ctMovePoints: frmTools->bMove->setChecked(true); break;
    case ctBrush: frmTools->bBrush->setChecked(true); break;
    case ctEraser: frmTools->bEraser->setChecked(true); break;
    default: break;
    }
}

// The palette takes over both canvas colours after the pickup tool set one.
void TfrmMainForm::CanvasColorPicked(TVelmoraCanvas *sender)
{
    if (!frmPalette)
        return;
    const TColor brush = sender->MasterColor;
    const TColor eraser = sender->SecondColor;
    frmPalette->SetBrushColor(brush);
    frmPalette->SetEraserColor(eraser);
}

void TfrmMainForm::CanvasHistoryChanged(TVelmoraCanvas *, bool canUndo, bool canRedo)
{
    miUndo->setEnabled(canUndo);
    miRedo->setEnabled(canRedo);
    if (!frmCommands)
        return;
    frmCommands->bUndo->setEnabled(canUndo);
    frmCommands->bRedo->setEnabled(canRedo);
}

// The settings, the tool window places and the file named on the command
// line are taken when the window is first shown, once all windows exist.
void TfrmMainForm::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (Shown)
        return;
    Shown = true;
    FormShow(QCoreApplication::arguments().mid(1));
}

void TfrmMainForm::FormShow(const QStringList &arguments)
{
    if (frmCommands)
        MLAddLanguageMenu(frmCommands->PopupMenuLang);
    LoadSettings();
    RestoreToolbarsLocations();
    if (!RestoreRecoveryCopy())
        OpenFromCommandLine(arguments);
#ifdef VELMORA_TEST_HOOKS
    DrawTestStroke(*this, qEnvironmentVariable("VELMORA_TEST_STROKE"));
#endif
}

bool TfrmMainForm::FormCloseQuery()
{
    if (!canvas->Modified)
        return true;
    QMessageBox box(QMessageBox::Question, ConfirmationCaption, MLString(siCloseProgramConfirm),
                    QMessageBox::Yes | QMessageBox::No, this);
    if (box.exec() != QMessageBox::Yes)
        return false;
    Autosave->Discard();
    return true;
}

void TfrmMainForm::closeEvent(QCloseEvent *event)
{
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    SaveSettings();
    event->accept();
    // The tool windows go with the main window; left on screen they would
    // keep the program running without it.
    for (TToolWindow *w : ToolWindows()) {
        if (w)
            w->hide();
    }
}

void TfrmMainForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_CapsLock) {
        canvas->RepaintNow();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

