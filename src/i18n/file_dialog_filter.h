#pragma once

#include <QString>
#include <QStringList>

class QFileDialog;

// File dialog filters written as one string of description|mask pairs, as
// the language files hold them:
// "PNG images (*.png)|*.png|GIF images (*.gif)|*.gif". A mask lists its
// patterns separated by ";".

// Qt's name filters for such a string: each description followed by its
// patterns in parentheses (a description that already ends with them is
// taken as it is).
QStringList NameFiltersOf(const QString &filter);
// The string for Qt's name filters: each filter whole as the description,
// the patterns in its last parentheses as the mask.
QString FilterOf(const QStringList &nameFilters);

QString DialogFilter(const QFileDialog &dialog);
// Sets the dialog's filters; the entry selected before stays selected by
// its position.
void SetDialogFilter(QFileDialog &dialog, const QString &filter);
