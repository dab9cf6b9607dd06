#pragma once

#include <QObject>
#include <QTimer>

#include <memory>

class QLockFile;
class TfrmMainForm;
class TRecoveryWriter;

// Seconds between recovery copies as VELMORA_AUTOSAVE_SECONDS gives them:
// a whole number, clamped into 1..3600; anything else, or nothing, is 30.
int AutosaveSeconds(const QByteArray &value);

// Keeps a recovery copy of the main window's picture while it has unsaved
// changes: on every tick of the interval, when the copy on disk is not of
// the picture as it stands (a write that failed is tried again). A tick
// during a stroke copies at the release instead, so no copy holds half a
// stroke. The copy is written on a worker thread.
class TRecoveryAutosave : public QObject {
public:
    explicit TRecoveryAutosave(TfrmMainForm *form);
    ~TRecoveryAutosave() override;

    // Removes the copy; the picture as it stands needs none.
    void Discard();

    // Makes a restored copy, locked by the caller, this instance's copy: it
    // stays until a copy of this instance replaces it at the next tick.
    void TakeOver(const QString &copyPath, std::unique_ptr<QLockFile> lock);

    // Copies now unless a stroke is in progress; for the timer and tests.
    void Tick();

    // Waits for the copy being written.
    void Wait();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Copy();

    TfrmMainForm *Form;
    QTimer Timer;
    bool CopyAtRelease = false;
    // The picture's state key when it last needed no copy: it changes with
    // every change of the layers.
    qint64 CleanKey = 0;
    std::unique_ptr<TRecoveryWriter> Writer;
};
