#pragma once

#include <QDialog>
#include <QRandomGenerator>

#include <memory>

class QLabel;
class TMultiLangForm;
class QPushButton;
class QTimer;
class TVelmoraCanvas;

// The about box: a second, non-interactive canvas across the top draws an
// endless series of random symmetric figures, above the version banner, the
// notice and the product's web address.
class TfrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TfrmAbout(QWidget *parent = nullptr);
    ~TfrmAbout() override;

    void RestartAnimation();
    void PaintTimerTimer();
    void lWebLinkClick();

    TVelmoraCanvas *AnimCanvas = nullptr;
    QLabel *imgVersion = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *lWebLink = nullptr;
    QPushButton *bClose = nullptr;
    QTimer *PaintTimer = nullptr;

    int StepCount = 0;
    double StepLength = 0;
    double Heading = 0;

    // The figures' randomness; seeded from the clock when the box is shown.
    QRandomGenerator Random;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<TMultiLangForm> Translator;
};

// Creates the about box, shows it modally and frees it.
void ShowAboutBox();
