#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <functional>

// Hands every modal window of type T to the handler as soon as it shows,
// while it lives.
template <typename T>
class TModalWatcher {
public:
    explicit TModalWatcher(std::function<void(T *)> handler)
    {
        Timer.setInterval(10);
        QObject::connect(&Timer, &QTimer::timeout, [handler = std::move(handler)] {
            if (auto *window = qobject_cast<T *>(QApplication::activeModalWidget()))
                handler(window);
        });
        Timer.start();
    }

private:
    QTimer Timer;
};

// Answers the next modal message box with the given button, and counts how
// many message boxes were answered.
class TDialogAnswer {
public:
    explicit TDialogAnswer(QMessageBox::StandardButton answer)
        : Watcher([this, answer](QMessageBox *box) {
            ++Answered;
            LastTitle = box->windowTitle();
            LastText = box->text();
            box->button(answer)->click();
        })
    {
    }

    int Answered = 0;
    QString LastTitle;
    QString LastText;

private:
    TModalWatcher<QMessageBox> Watcher;
};

// Cancels every modal dialog as soon as it shows, and counts them.
class TDialogCanceller {
public:
    TDialogCanceller()
        : Watcher([this](QDialog *dialog) {
            ++Cancelled;
            dialog->reject();
        })
    {
    }

    int Cancelled = 0;

private:
    TModalWatcher<QDialog> Watcher;
};
