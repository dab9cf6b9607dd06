#pragma once

#include <QApplication>

// The application object. An exception that escapes an event handler would
// end the program and lose the picture; this object catches it at the one
// place every event passes, shows its message and lets the program go on.
class TVelmoraApplication : public QApplication {
    Q_OBJECT

public:
    TVelmoraApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    // Shows the out-of-memory message as a failed handler's message is
    // shown; for failures that were caught where they happened.
    void ReportOutOfMemory();

private:
    void ReportError(const QString &message);
    void ShowError(const QString &message);

    // One message box at a time: errors raised while one is pending or
    // shown (a paint that fails again behind the box) are not stacked up.
    bool ErrorPending = false;
};
