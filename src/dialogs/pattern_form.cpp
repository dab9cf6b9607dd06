#include "dialogs/pattern_form.h"

#include "dialogs/center_on_desktop.h"
#include "dialogs/dialog_parts.h"
#include "dialogs/pattern_texts.h"
#include "i18n/ml_strings.h"
#include "i18n/multi_lang_component.h"
#include "i18n/multi_lang_form.h"
#include "tools/spin_edit.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

namespace {

const QSize PreviewSize(96, 96);

// The largest even side that fits the picture's side, never below the
// smallest cell.
int LargestSide(int pictureSide)
{
    return std::max(MinPatternCell, pictureSide & ~1);
}

TSpinEdit *MakeEdit(QWidget *parent, const char *name, int lo, int hi, int step, QRect geometry)
{
    auto *edit = new TSpinEdit(lo, hi, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(geometry);
    edit->setSingleStep(step);
    edit->setFocusPolicy(Qt::StrongFocus);
    return edit;
}

int EvenValue(const TSpinEdit *edit)
{
    return std::clamp(edit->Value(), edit->minimum(), edit->maximum()) & ~1;
}

} // namespace

TfrmPattern::TfrmPattern(QSize picture, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), Picture(picture)
{
    setObjectName(QStringLiteral("frmPattern"));
    setWindowTitle(QStringLiteral("Pattern"));
    UseDialogFont(*this);

    // Created in tab order.
    cbGroup = new QComboBox(this);
    cbGroup->setObjectName(QStringLiteral("cbGroup"));
    cbGroup->setGeometry(20, 36, 120, 21);
    for (int g = 0; g < pgCount; ++g)
        cbGroup->addItem(QLatin1String(PatternGroupName(TPatternGroup(g))));
    eWidth = MakeEdit(this, "eWidth", MinPatternCell, LargestSide(picture.width()), 2, QRect(20, 130, 89, 21));
    eHeight = MakeEdit(this, "eHeight", MinPatternCell, LargestSide(picture.height()), 2, QRect(130, 130, 89, 21));
    eAngle = MakeEdit(this, "eAngle", MinPatternAngle, MaxPatternAngle, 1, QRect(240, 130, 60, 21));
    bOk = MakeDialogButton(this, "bOk", QStringLiteral("Ok"), QPoint(130, 170));
    bOk->setDefault(true);
    bCancel = MakeDialogButton(this, "bCancel", QStringLiteral("Cancel"), QPoint(214, 170));
    Label1 = MakeDialogLabel(this, "Label1", QStringLiteral("Group"), QPoint(20, 20));
    Label2 = MakeDialogLabel(this, "Label2", QStringLiteral("Cell width"), QPoint(20, 114));
    Label3 = MakeDialogLabel(this, "Label3", QStringLiteral("Cell height"), QPoint(130, 114));
    Label4 = MakeDialogLabel(this, "Label4", QStringLiteral("Angle (degrees)"), QPoint(240, 114));
    // The description follows the group and the preview is a picture:
    // neither is a text of the dialog's own to translate.
    lDescription = new QLabel(this);
    lDescription->setObjectName(QStringLiteral("lDescription"));
    lDescription->setProperty(TagPropertyName, -1);
    lDescription->setGeometry(150, 36, 148, 74);
    lDescription->setWordWrap(true);
    lDescription->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    imgPreview = new QLabel(this);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setProperty(TagPropertyName, -1);
    imgPreview->setGeometry(QRect(QPoint(304, 20), PreviewSize));
    setTabOrder(cbGroup, eWidth);
    setTabOrder(eWidth, eHeight);
    setTabOrder(eHeight, eAngle);
    setTabOrder(eAngle, bOk);
    setTabOrder(bOk, bCancel);

    SetPattern(TPattern());
    connect(cbGroup, &QComboBox::currentIndexChanged, this, &TfrmPattern::ControlsChanged);
    for (TSpinEdit *edit : {eWidth, eHeight, eAngle})
        connect(edit, &TSpinEdit::Changed, this, &TfrmPattern::ControlsChanged);
    connect(bOk, &QPushButton::clicked, this, &TfrmPattern::accept);
    connect(bCancel, &QPushButton::clicked, this, &TfrmPattern::reject);

    setFixedSize(420, 215);
    CenterOnDesktop(*this);
    Translator = std::make_unique<TMultiLangForm>(this);
    Translator->Translate();
}

TfrmPattern::~TfrmPattern() = default;

void TfrmPattern::SetPattern(const TPattern &p)
{
    cbGroup->setCurrentIndex(p.Group < pgCount ? int(p.Group) : int(TPattern().Group));
    eWidth->SetValue(p.Width);
    eHeight->SetValue(p.Height);
    eAngle->SetValue(p.Angle);
    ControlsChanged();
}

TPattern TfrmPattern::ChosenPattern() const
{
    const int group = std::clamp(cbGroup->currentIndex(), 0, int(pgCount) - 1);
    return TPattern{TPatternGroup(group), EvenValue(eWidth), EvenValue(eHeight),
                    std::clamp(eAngle->Value(), MinPatternAngle, MaxPatternAngle)};
}

void TfrmPattern::ControlsChanged()
{
    const TPattern p = ChosenPattern();
    eHeight->setEnabled(UsesHeight(p.Group));
    eAngle->setEnabled(UsesAngle(p.Group));
    lDescription->setText(PatternDescription(p.Group));
    imgPreview->setPixmap(QPixmap::fromImage(PatternPreview(p, PreviewSize)));
}

void TfrmPattern::accept()
{
    const TPattern p = ChosenPattern();
    eWidth->SetValue(p.Width);
    eHeight->SetValue(p.Height);
    eAngle->SetValue(p.Angle);
    if (PatternCopyCount(p, Picture) <= MaxPatternCopies) {
        QDialog::accept();
        return;
    }
    const QString smallest = PatternCellText(SmallestAllowedPattern(p, Picture));
    QMessageBox box(QMessageBox::Warning, WarningCaption,
                    MLString(siPatternTooManyCopies).replace(QLatin1String("%s"), smallest), QMessageBox::Ok, this);
    box.exec();
}

bool ExecutePatternDialog(TPattern &pattern, QSize picture)
{
    TfrmPattern dialog(picture, QApplication::activeWindow());
    dialog.SetPattern(pattern);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    pattern = dialog.ChosenPattern();
    return true;
}
