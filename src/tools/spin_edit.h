#pragma once

#include <QSpinBox>

// A spin edit for whole numbers that lets the user type beyond its range:
// while the text is being edited, Value() is the number typed (the minimum
// when the text is not a number), and only when the edit loses the focus is
// the value brought back into the range. A step starts from the typed value
// brought into the range. Every change of the text is reported through
// Changed, whether typed or set from code.
class TSpinEdit : public QSpinBox {
    Q_OBJECT

public:
    TSpinEdit(int minValue, int maxValue, QWidget *parent = nullptr);

    int Value() const;
    // Sets the value, brought into the range.
    void SetValue(int value);

    void stepBy(int steps) override;

signals:
    void Changed();
    void KeyDown(int key);

protected:
    StepEnabled stepEnabled() const override;
    QValidator::State validate(QString &input, int &pos) const override;
    int valueFromText(const QString &text) const override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void ReportChange();

    int MaxTextLength = 0;
    QString ReportedText;
};
