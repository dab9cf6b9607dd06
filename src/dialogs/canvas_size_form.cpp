#include "dialogs/canvas_size_form.h"

#include "dialogs/center_on_desktop.h"
#include "dialogs/dialog_parts.h"
#include "i18n/multi_lang_form.h"
#include "tools/spin_edit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int MinSize = 100;
constexpr int MaxSize = 3000;

const char *const StandardSizes[] = {"320x200", "320x240", "500x500",   "640x480",   "600x600",  "800x600",
                                     "800x800", "1024x768", "1280x1024", "1600x1200", "1900x1200"};

TSpinEdit *MakeSizeEdit(QWidget *parent, const char *name, QPoint pos)
{
    auto *edit = new TSpinEdit(MinSize, MaxSize, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(QRect(pos, QSize(89, 21)));
    edit->setFocusPolicy(Qt::StrongFocus);
    return edit;
}

} // namespace

TfrmCanvasSize::TfrmCanvasSize(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmCanvasSize"));
    setWindowTitle(QStringLiteral("Canvas size"));
    UseDialogFont(*this);

    // Created in tab order.
    eWidth = MakeSizeEdit(this, "eWidth", QPoint(20, 96));
    eHeight = MakeSizeEdit(this, "eHeight", QPoint(120, 96));
    eStandard = new QComboBox(this);
    eStandard->setObjectName(QStringLiteral("eStandard"));
    eStandard->setGeometry(20, 36, 189, 21);
    for (const char *size : StandardSizes)
        eStandard->addItem(QLatin1String(size));
    eStandard->setCurrentIndex(-1);
    bOk = MakeDialogButton(this, "bOk", QStringLiteral("Ok"), QPoint(48, 144));
    bOk->setDefault(true);
    bCancel = MakeDialogButton(this, "bCancel", QStringLiteral("Cancel"), QPoint(132, 144));
    Label1 = MakeDialogLabel(this, "Label1", QStringLiteral("Standard size"), QPoint(20, 20));
    Label2 = MakeDialogLabel(this, "Label2", QStringLiteral("Width"), QPoint(20, 80));
    Label3 = MakeDialogLabel(this, "Label3", QStringLiteral("Height"), QPoint(120, 80));
    setTabOrder(eWidth, eHeight);
    setTabOrder(eHeight, eStandard);
    setTabOrder(eStandard, bOk);
    setTabOrder(bOk, bCancel);

    connect(eWidth, &TSpinEdit::Changed, this, &TfrmCanvasSize::eWidthChange);
    connect(eHeight, &TSpinEdit::Changed, this, &TfrmCanvasSize::eWidthChange);
    connect(eStandard, &QComboBox::currentIndexChanged, this, &TfrmCanvasSize::eStandardChange);
    connect(bOk, &QPushButton::clicked, this, &TfrmCanvasSize::accept);
    connect(bCancel, &QPushButton::clicked, this, &TfrmCanvasSize::reject);

    setFixedSize(230, 194);
    CenterOnDesktop(*this);
    Translator = std::make_unique<TMultiLangForm>(this);
    Translator->Translate();
}

TfrmCanvasSize::~TfrmCanvasSize() = default;

void TfrmCanvasSize::eWidthChange()
{
    if (!Updating)
        eStandard->setCurrentIndex(-1);
}

void TfrmCanvasSize::eStandardChange()
{
    const QString text = eStandard->currentText();
    const qsizetype x = text.indexOf(u'x');
    if (text.isEmpty() || x < 0)
        return;
    Updating = true;
    bool okWidth = false, okHeight = false;
    const int width = text.left(x).toInt(&okWidth);
    const int height = text.mid(x + 1).toInt(&okHeight);
    if (okWidth)
        eWidth->SetValue(width);
    if (okWidth && okHeight)
        eHeight->SetValue(height);
    Updating = false;
}

void TfrmCanvasSize::accept()
{
    eWidth->SetValue(eWidth->Value());
    eHeight->SetValue(eHeight->Value());
    QDialog::accept();
}

bool ExecuteCanvasSizeDialog(const QString &caption, int &width, int &height)
{
    TfrmCanvasSize dialog(QApplication::activeWindow());
    dialog.setWindowTitle(caption);
    dialog.eWidth->SetValue(width);
    dialog.eHeight->SetValue(height);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    width = dialog.eWidth->Value();
    height = dialog.eHeight->Value();
    return true;
}
