#pragma once

class QPoint;
class QPushButton;
class QString;
class QWidget;

// What the program's small fixed-size dialogs share: their font and their
// 75 x 25 push buttons.
void UseDialogFont(QWidget &dialog);
QPushButton *MakeDialogButton(QWidget *parent, const char *name, const QString &caption, QPoint pos);
