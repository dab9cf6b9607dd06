#include "dialogs/layer_properties_form.h"

#include "dialogs/center_on_desktop.h"
#include "dialogs/dialog_parts.h"
#include "i18n/multi_lang_form.h"
#include "tools/spin_edit.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmLayerProperties::TfrmLayerProperties(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmLayerProperties"));
    setWindowTitle(QStringLiteral("Layer properties"));
    UseDialogFont(*this);

    // Created in tab order.
    eName = new QLineEdit(this);
    eName->setObjectName(QStringLiteral("eName"));
    eName->setGeometry(20, 36, 189, 21);
    eOpacity = new TSpinEdit(0, 100, this);
    eOpacity->setObjectName(QStringLiteral("eOpacity"));
    eOpacity->setGeometry(20, 96, 89, 21);
    eOpacity->setFocusPolicy(Qt::StrongFocus);
    bOk = MakeDialogButton(this, "bOk", QStringLiteral("Ok"), QPoint(48, 144));
    bOk->setDefault(true);
    bCancel = MakeDialogButton(this, "bCancel", QStringLiteral("Cancel"), QPoint(132, 144));
    Label1 = MakeDialogLabel(this, "Label1", QStringLiteral("Name"), QPoint(20, 20));
    Label2 = MakeDialogLabel(this, "Label2", QStringLiteral("Opacity (%)"), QPoint(20, 80));

    connect(bOk, &QPushButton::clicked, this, &TfrmLayerProperties::accept);
    connect(bCancel, &QPushButton::clicked, this, &TfrmLayerProperties::reject);

    setFixedSize(230, 194);
    CenterOnDesktop(*this);
    Translator = std::make_unique<TMultiLangForm>(this);
    Translator->Translate();
}

TfrmLayerProperties::~TfrmLayerProperties() = default;

void TfrmLayerProperties::accept()
{
    eOpacity->SetValue(eOpacity->Value());
    QDialog::accept();
}

bool ExecuteLayerPropertiesDialog(QString &name, int &opacity)
{
    TfrmLayerProperties dialog(QApplication::activeWindow());
    dialog.eName->setText(name);
    dialog.eOpacity->SetValue(opacity);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString chosen = dialog.eName->text().trimmed();
    if (!chosen.isEmpty())
        name = chosen;
    opacity = dialog.eOpacity->Value();
    return true;
}
