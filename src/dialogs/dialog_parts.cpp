#include "dialogs/dialog_parts.h"

#include <QLabel>
#include <QPushButton>

void UseDialogFont(QWidget &dialog)
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSize(8);
    dialog.setFont(f);
}

QPushButton *MakeDialogButton(QWidget *parent, const char *name, const QString &caption, QPoint pos)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(QRect(pos, QSize(75, 25)));
    return button;
}

QLabel *MakeDialogLabel(QWidget *parent, const char *name, const QString &caption, QPoint pos)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->move(pos);
    label->adjustSize();
    return label;
}
