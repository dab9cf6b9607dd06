#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class TMultiLangForm;
class TSpinEdit;

// The bucket's tolerance: one edit kept within 0..255.
class TfrmFillTolerance : public QDialog {
    Q_OBJECT

public:
    explicit TfrmFillTolerance(QWidget *parent = nullptr);
    ~TfrmFillTolerance() override;

    // Confirming brings the edit into its range first.
    void accept() override;

    QLabel *Label1 = nullptr;
    TSpinEdit *eTolerance = nullptr;
    QPushButton *bOk = nullptr;
    QPushButton *bCancel = nullptr;

private:
    std::unique_ptr<TMultiLangForm> Translator;
};

// Shows the dialog modally with the given tolerance; on Ok gives back the
// chosen one and returns true, otherwise leaves it as it was.
bool ExecuteFillToleranceDialog(int &tolerance);
