#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class TMultiLangForm;
class TSpinEdit;

// The active layer's name and opacity (0..100 percent).
class TfrmLayerProperties : public QDialog {
    Q_OBJECT

public:
    explicit TfrmLayerProperties(QWidget *parent = nullptr);
    ~TfrmLayerProperties() override;

    // Confirming brings the opacity into its range first.
    void accept() override;

    QLabel *Label1 = nullptr;
    QLineEdit *eName = nullptr;
    QLabel *Label2 = nullptr;
    TSpinEdit *eOpacity = nullptr;
    QPushButton *bOk = nullptr;
    QPushButton *bCancel = nullptr;

private:
    std::unique_ptr<TMultiLangForm> Translator;
};

// Shows the dialog modally with the layer's name and opacity; on Ok gives
// back the chosen ones (an empty name keeps the old one) and returns true,
// otherwise leaves them as they were.
bool ExecuteLayerPropertiesDialog(QString &name, int &opacity);
