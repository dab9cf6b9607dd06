#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class QSlider;
class TMultiLangForm;
class TSpinEdit;

// The brush's opacity, hardness and stabilizer. Each is a spin edit with a
// slider beside it that follows it; the sliders are left out of the Tab
// order, the edits are what the keyboard works.
class TfrmBrushSettings : public QDialog {
    Q_OBJECT

public:
    explicit TfrmBrushSettings(QWidget *parent = nullptr);
    ~TfrmBrushSettings() override;

    // Confirming brings the edits into their ranges first.
    void accept() override;

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    TSpinEdit *eOpacity = nullptr;
    TSpinEdit *eHardness = nullptr;
    TSpinEdit *eStabilizer = nullptr;
    QSlider *sOpacity = nullptr;
    QSlider *sHardness = nullptr;
    QSlider *sStabilizer = nullptr;
    QPushButton *bOk = nullptr;
    QPushButton *bCancel = nullptr;

private:
    TSpinEdit *AddSetting(const char *edit, const char *slider, int lo, int hi, int top, QSlider *&follower);

    std::unique_ptr<TMultiLangForm> Translator;
};

// The settings the dialog edits.
struct TBrushSettings {
    int Opacity = 100;
    int Hardness = 100;
    int Stabilizer = 0;
};

// Shows the dialog modally with the given settings; on Ok gives back the
// chosen ones and returns true, otherwise leaves them as they were.
bool ExecuteBrushSettingsDialog(TBrushSettings &settings);
