#pragma once

class QLabel;
class QPoint;
class QPushButton;
class QString;
class QWidget;

// What the program's small fixed-size dialogs share: their font, their
// 75 x 25 push buttons and their labels sized to their text.
void UseDialogFont(QWidget &dialog);
QPushButton *MakeDialogButton(QWidget *parent, const char *name, const QString &caption, QPoint pos);
QLabel *MakeDialogLabel(QWidget *parent, const char *name, const QString &caption, QPoint pos);
