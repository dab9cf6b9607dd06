#include "dialogs/fill_tolerance_form.h"

#include "dialogs/center_on_desktop.h"
#include "dialogs/dialog_parts.h"
#include "i18n/multi_lang_form.h"
#include "tools/spin_edit.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

TfrmFillTolerance::TfrmFillTolerance(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmFillTolerance"));
    setWindowTitle(QStringLiteral("Fill tolerance"));
    UseDialogFont(*this);

    // Created in tab order.
    eTolerance = new TSpinEdit(0, 255, this);
    eTolerance->setObjectName(QStringLiteral("eTolerance"));
    eTolerance->setGeometry(20, 36, 89, 21);
    eTolerance->setFocusPolicy(Qt::StrongFocus);
    bOk = MakeDialogButton(this, "bOk", QStringLiteral("Ok"), QPoint(48, 80));
    bOk->setDefault(true);
    bCancel = MakeDialogButton(this, "bCancel", QStringLiteral("Cancel"), QPoint(132, 80));
    Label1 = MakeDialogLabel(this, "Label1", QStringLiteral("Tolerance"), QPoint(20, 20));

    connect(bOk, &QPushButton::clicked, this, &TfrmFillTolerance::accept);
    connect(bCancel, &QPushButton::clicked, this, &TfrmFillTolerance::reject);

    setFixedSize(230, 130);
    CenterOnDesktop(*this);
    Translator = std::make_unique<TMultiLangForm>(this);
    Translator->Translate();
}

TfrmFillTolerance::~TfrmFillTolerance() = default;

void TfrmFillTolerance::accept()
{
    eTolerance->SetValue(eTolerance->Value());
    QDialog::accept();
}

bool ExecuteFillToleranceDialog(int &tolerance)
{
    TfrmFillTolerance dialog(QApplication::activeWindow());
    dialog.eTolerance->SetValue(tolerance);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    tolerance = dialog.eTolerance->Value();
    return true;
}
