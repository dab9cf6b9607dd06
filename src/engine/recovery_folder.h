#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QLockFile;

// The folder of the recovery copies, and the copies left by instances that
// ended without removing theirs.

// <application data folder>/recovery.
QString RecoveryFolder();

// The lock file beside a copy.
QString RecoveryLockPath(const QString &copyPath);

// A new instance's copy name in the folder: the process id and the time
// keep it apart from every other instance's, even one with a reused id.
QString NewRecoveryCopyPath(const QString &folder);

// The copies whose lock is stale or missing, newest first. A copy whose lock
// a running process holds is left out.
QStringList AbandonedRecoveryCopies(const QString &folder);

// Locks an abandoned copy for this instance: null when another running
// instance holds it, or when it is gone by the time the lock is taken.
// Whoever holds the lock alone may offer, restore or delete the copy.
std::unique_ptr<QLockFile> ClaimRecoveryCopy(const QString &copyPath);

// Renames the copy with ".bad" added (and a number when that name is taken).
// Returns the new path, or an empty string when the rename failed.
QString MoveRecoveryCopyAside(const QString &copyPath);
