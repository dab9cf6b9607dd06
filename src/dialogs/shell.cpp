#include "dialogs/shell.h"

#include <QDesktopServices>
#include <QUrl>

void OpenWithShell(const QString &target)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}
