#pragma once

#include <QDialog>

#include <memory>

class QComboBox;
class TMultiLangForm;
class QLabel;
class QPushButton;
class TSpinEdit;

// The size dialog of New and Canvas size: a list of standard sizes that
// fills the two edits, and the edits themselves, each kept within
// 100..3000.
class TfrmCanvasSize : public QDialog {
    Q_OBJECT

public:
    explicit TfrmCanvasSize(QWidget *parent = nullptr);
    ~TfrmCanvasSize() override;

    void eWidthChange();
    void eStandardChange();

    // Confirming brings both edits into their range first, also when one is
    // still being edited: the callers rely on sizes within it.
    void accept() override;

    QLabel *Label1 = nullptr;
    QComboBox *eStandard = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    TSpinEdit *eWidth = nullptr;
    TSpinEdit *eHeight = nullptr;
    QPushButton *bOk = nullptr;
    QPushButton *bCancel = nullptr;

    // True while the list writes into the edits.
    bool Updating = false;

private:
    std::unique_ptr<TMultiLangForm> Translator;
};

// Shows the dialog modally with the caption and the proposed size; on Ok
// gives back the chosen size and returns true, otherwise leaves width and
// height as they were.
bool ExecuteCanvasSizeDialog(const QString &caption, int &width, int &height);
