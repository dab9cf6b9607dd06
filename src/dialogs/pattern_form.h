#pragma once

#include "engine/pattern_group.h"

#include <QDialog>
#include <QSize>

#include <memory>

// The angle between the cell's sides, in degrees.
constexpr int MinPatternAngle = 30;
constexpr int MaxPatternAngle = 150;

class QComboBox;
class QLabel;
class QPushButton;
class TMultiLangForm;
class TSpinEdit;

// The repeating pattern of Pattern mode: the group, the cell's width and
// height and the angle between its sides, with a plain description of the
// group and a live preview of a motif it repeats. Width and height are even
// numbers from the smallest cell up to the picture's size; the height and the
// angle are enabled only for the groups that use them.
class TfrmPattern : public QDialog {
    Q_OBJECT

public:
    explicit TfrmPattern(QSize picture, QWidget *parent = nullptr);
    ~TfrmPattern() override;

    void SetPattern(const TPattern &p);
    // The pattern the controls show, each value brought into its range and
    // the sides down to even numbers.
    TPattern ChosenPattern() const;

    // Confirming brings the edits into their ranges first. A pattern that
    // would need more copies than the program draws is refused with a
    // message naming the smallest cell allowed, and the dialog stays open.
    void accept() override;

    QLabel *Label1 = nullptr;
    QComboBox *cbGroup = nullptr;
    QLabel *lDescription = nullptr;
    QLabel *imgPreview = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    TSpinEdit *eWidth = nullptr;
    TSpinEdit *eHeight = nullptr;
    TSpinEdit *eAngle = nullptr;
    QPushButton *bOk = nullptr;
    QPushButton *bCancel = nullptr;

private:
    void ControlsChanged();

    QSize Picture;
    std::unique_ptr<TMultiLangForm> Translator;
};

// Shows the dialog modally for a picture of the given size; on Ok gives back
// the chosen pattern and returns true, otherwise leaves it as it was.
bool ExecutePatternDialog(TPattern &pattern, QSize picture);
