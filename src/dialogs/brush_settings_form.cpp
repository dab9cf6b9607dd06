#include "dialogs/brush_settings_form.h"

#include "dialogs/center_on_desktop.h"
#include "dialogs/dialog_parts.h"
#include "i18n/multi_lang_form.h"
#include "tools/spin_edit.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

#include <algorithm>

TfrmBrushSettings::TfrmBrushSettings(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmBrushSettings"));
    setWindowTitle(QStringLiteral("Brush settings"));
    UseDialogFont(*this);

    // Created in tab order.
    eOpacity = AddSetting("eOpacity", "sOpacity", 1, 100, 36, sOpacity);
    eHardness = AddSetting("eHardness", "sHardness", 0, 100, 86, sHardness);
    eStabilizer = AddSetting("eStabilizer", "sStabilizer", 0, 100, 136, sStabilizer);
    bOk = MakeDialogButton(this, "bOk", QStringLiteral("Ok"), QPoint(78, 180));
    bOk->setDefault(true);
    bCancel = MakeDialogButton(this, "bCancel", QStringLiteral("Cancel"), QPoint(162, 180));
    Label1 = MakeDialogLabel(this, "Label1", QStringLiteral("Opacity (%)"), QPoint(20, 20));
    Label2 = MakeDialogLabel(this, "Label2", QStringLiteral("Hardness (%)"), QPoint(20, 70));
    Label3 = MakeDialogLabel(this, "Label3", QStringLiteral("Stabilizer"), QPoint(20, 120));

    connect(bOk, &QPushButton::clicked, this, &TfrmBrushSettings::accept);
    connect(bCancel, &QPushButton::clicked, this, &TfrmBrushSettings::reject);

    setFixedSize(260, 226);
    CenterOnDesktop(*this);
    Translator = std::make_unique<TMultiLangForm>(this);
    Translator->Translate();
}

TfrmBrushSettings::~TfrmBrushSettings() = default;

// The slider shows the edit's value within the range while it is typed, and
// a drag of the slider writes the edit.
TSpinEdit *TfrmBrushSettings::AddSetting(const char *edit, const char *slider, int lo, int hi, int top,
                                         QSlider *&follower)
{
    auto *spin = new TSpinEdit(lo, hi, this);
    spin->setObjectName(QLatin1String(edit));
    spin->setGeometry(20, top, 89, 21);
    spin->setFocusPolicy(Qt::StrongFocus);
    follower = new QSlider(Qt::Horizontal, this);
    follower->setObjectName(QLatin1String(slider));
    follower->setGeometry(120, top, 120, 21);
    follower->setRange(lo, hi);
    follower->setFocusPolicy(Qt::NoFocus);
    QSlider *s = follower;
    connect(spin, &TSpinEdit::Changed, s, [spin, s, lo, hi] { s->setValue(std::clamp(spin->Value(), lo, hi)); });
    connect(s, &QSlider::valueChanged, spin, [spin, s] {
        if (std::clamp(spin->Value(), s->minimum(), s->maximum()) != s->value())
            spin->SetValue(s->value());
    });
    return spin;
}

void TfrmBrushSettings::accept()
{
    for (TSpinEdit *edit : {eOpacity, eHardness, eStabilizer})
        edit->SetValue(edit->Value());
    QDialog::accept();
}

bool ExecuteBrushSettingsDialog(TBrushSettings &settings)
{
    TfrmBrushSettings dialog(QApplication::activeWindow());
    dialog.eOpacity->SetValue(settings.Opacity);
    dialog.eHardness->SetValue(settings.Hardness);
    dialog.eStabilizer->SetValue(settings.Stabilizer);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings = {dialog.eOpacity->Value(), dialog.eHardness->Value(), dialog.eStabilizer->Value()};
    return true;
}
