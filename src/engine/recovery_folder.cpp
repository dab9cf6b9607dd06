#include "engine/recovery_folder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

namespace {

// Only a lock whose process is gone is stale, however old it is.
std::unique_ptr<QLockFile> TryLockCopy(const QString &copyPath)
{
    auto lock = std::make_unique<QLockFile>(RecoveryLockPath(copyPath));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return nullptr;
    return lock;
}

} // namespace

QString RecoveryFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
}

QString RecoveryLockPath(const QString &copyPath)
{
    return copyPath + QStringLiteral(".lock");
}

QString NewRecoveryCopyPath(const QString &folder)
{
    return QStringLiteral("%1/%2-%3.png")
        .arg(folder)
        .arg(QCoreApplication::applicationPid())
        .arg(QDateTime::currentMSecsSinceEpoch());
}

QStringList AbandonedRecoveryCopies(const QString &folder)
{
    QStringList copies;
    const QFileInfoList files =
        QDir(folder).entryInfoList({QStringLiteral("*.png"), QStringLiteral("*.ora")}, QDir::Files, QDir::Time);
    for (const QFileInfo &file : files) {
        if (TryLockCopy(file.filePath()))
            copies.append(file.filePath());
    }
    return copies;
}

std::unique_ptr<QLockFile> ClaimRecoveryCopy(const QString &copyPath)
{
    auto lock = TryLockCopy(copyPath);
    if (!lock || !QFileInfo::exists(copyPath))
        return nullptr;
    return lock;
}

QString MoveRecoveryCopyAside(const QString &copyPath)
{
    QString target = copyPath + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = QStringLiteral("%1.%2.bad").arg(copyPath).arg(n);
    return QFile::rename(copyPath, target) ? target : QString();
}
