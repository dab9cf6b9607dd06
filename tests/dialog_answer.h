#pragma once

#include <QAbstractButton>
#include <QDialog>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers the next modal message box with the given button, and counts how
// many message boxes were answered.
class TDialogAnswer {
public:
    explicit TDialogAnswer(QMessageBox::StandardButton answer)
        : Answer(answer)
    {
        Timer.setInterval(10);
        QObject::connect(&Timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            ++Answered;
            LastTitle = box->windowTitle();
            LastText = box->text();
            box->button(Answer)->click();
        });
        Timer.start();
    }

    int Answered = 0;
    QString LastTitle;
    QString LastText;

private:
    QMessageBox::StandardButton Answer;
    QTimer Timer;
};

// Cancels every modal dialog as soon as it shows, and counts them.
class TDialogCanceller {
public:
    TDialogCanceller()
    {
        Timer.setInterval(10);
        QObject::connect(&Timer, &QTimer::timeout, [this] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            ++Cancelled;
            dialog->reject();
        });
        Timer.start();
    }

    int Cancelled = 0;

private:
    QTimer Timer;
};
