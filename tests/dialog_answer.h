#pragma once

#include <QAbstractButton>
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
