// File > Open recent: the files last opened or saved, newest first, above
// the Clear list item.

#include "app/main_form.h"
#include "app/messages.h"
#include "i18n/ml_strings.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

void TfrmMainForm::RememberRecentFile(const QString &fileName)
{
    RecentFiles.Add(fileName);
    UpdateRecentFilesMenu();
}

// The file items are the submenu's only unnamed ones; each is numbered for
// the keyboard and shows its full name as tooltip.
void TfrmMainForm::UpdateRecentFilesMenu()
{
    QMenu *menu = miRecentFiles->menu();
    QAction *firstFixed = nullptr;
    for (QAction *item : menu->actions()) {
        if (!item->objectName().isEmpty()) {
            firstFixed = firstFixed ? firstFixed : item;
            continue;
        }
        menu->removeAction(item);
        // The item may be the one whose choice is running.
        item->deleteLater();
    }
    const QStringList &files = RecentFiles.Names();
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString name = QFileInfo(files[i]).fileName().replace(u'&', QLatin1String("&&"));
        auto *item = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(name), menu);
        item->setToolTip(files[i]);
        connect(item, &QAction::triggered, this, [this, file = files[i]] { OpenRecentFile(file); });
        menu->insertAction(firstFixed, item);
    }
    miRecentFiles->setEnabled(!files.isEmpty());
}

// A file that went is dropped from the list before anything else is asked.
void TfrmMainForm::OpenRecentFile(const QString &fileName)
{
    if (QFileInfo(fileName).isFile()) {
        OpenImage(fileName);
        return;
    }
    RecentFiles.Remove(fileName);
    UpdateRecentFilesMenu();
    ShowInfoMessage(MLString(siRecentFileMissing).replace(QLatin1String("%s"), QDir::toNativeSeparators(fileName)),
                    this);
}

void TfrmMainForm::miClearRecentFilesClick(QObject *)
{
    RecentFiles.Clear();
    UpdateRecentFilesMenu();
}
