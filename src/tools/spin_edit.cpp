#include "tools/spin_edit.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

TSpinEdit::TSpinEdit(int minValue, int maxValue, QWidget *parent)
    : QSpinBox(parent)
    // One digit more than the maximum has: room to type past the range,
    // but not numbers so large that they make no sense as a size or count.
    , MaxTextLength(int(QString::number(maxValue).size()) + 1)
{
    setRange(minValue, maxValue);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setKeyboardTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    ReportedText = lineEdit()->text();
    connect(lineEdit(), &QLineEdit::textChanged, this, &TSpinEdit::ReportChange);
}

// QSpinBox rewrites its text with the editor's signals blocked when it sets
// or steps its value, so every path that may change the text ends here.
void TSpinEdit::ReportChange()
{
    const QString text = lineEdit()->text();
    if (text == ReportedText)
        return;
    ReportedText = text;
    emit Changed();
}

int TSpinEdit::Value() const
{
    bool ok = false;
    const int value = lineEdit()->text().toInt(&ok);
    return ok ? value : minimum();
}

void TSpinEdit::SetValue(int value)
{
    value = std::clamp(value, minimum(), maximum());
    setValue(value);
    const QString text = QString::number(value);
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
    ReportChange();
}

// Steps from the value brought into the range, so that 150 in a 1..99 edit
// steps down to 98 and up to 99.
void TSpinEdit::stepBy(int steps)
{
    SetValue(std::clamp(Value(), minimum(), maximum()) + steps * singleStep());
}

// Judged by the text as typed: QSpinBox's own value lags behind it while the
// user types.
QAbstractSpinBox::StepEnabled TSpinEdit::stepEnabled() const
{
    const int value = Value();
    StepEnabled enabled = StepNone;
    if (value != maximum())
        enabled |= StepUpEnabled;
    if (value != minimum())
        enabled |= StepDownEnabled;
    return enabled;
}

// Digits only; any count of them up to the length limit is acceptable, in
// range or not, and so is the empty text.
QValidator::State TSpinEdit::validate(QString &input, int &) const
{
    if (input.size() > MaxTextLength)
        return QValidator::Invalid;
    const bool digits = std::all_of(input.cbegin(), input.cend(), [](QChar c) { return c.isDigit(); });
    return digits ? QValidator::Acceptable : QValidator::Invalid;
}

int TSpinEdit::valueFromText(const QString &text) const
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : minimum();
}

void TSpinEdit::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(event->key());
    QSpinBox::keyPressEvent(event);
    ReportChange();
}

void TSpinEdit::focusOutEvent(QFocusEvent *event)
{
    SetValue(Value());
    QSpinBox::focusOutEvent(event);
    ReportChange();
}
