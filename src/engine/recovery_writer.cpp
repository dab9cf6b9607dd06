#include "engine/recovery_writer.h"

#include "codecs/image_file_io.h"
#include "engine/picture_copy.h"
#include "engine/recovery_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

TRecoveryWriter::TRecoveryWriter(const QString &folder)
    : Path(NewRecoveryCopyPath(folder))
{
}

TRecoveryWriter::~TRecoveryWriter()
{
    Remove();
}

bool TRecoveryWriter::Submit(const QImage &picture, const TRecoveryInfo &info, qint64 tag)
{
    if (picture.isNull() || Worker.Busy() || !CopyPicture(picture, Buffer))
        return false;
    Info = info;
    Tag = tag;
    return Worker.Post([this] { Write(); });
}

void TRecoveryWriter::Wait()
{
    Worker.Wait();
}

void TRecoveryWriter::Remove()
{
    Worker.Wait();
    Written = 0;
    if (!Lock)
        return;
    QFile::remove(Path);
    Lock.reset();
}

void TRecoveryWriter::TakeOver(const QString &path, std::unique_ptr<QLockFile> lock)
{
    Remove();
    Path = path;
    Lock = std::move(lock);
}

// Runs on the worker. A copy that cannot be written is no reason to disturb
// the user: the next one tries again.
void TRecoveryWriter::Write()
{
    try {
        if (!HoldLock())
            return;
        WriteFileBytes(Path, EncodeRecoveryPng(Buffer, Info));
        Written = Tag;
    } catch (...) {
    }
}

// A lock whose file went with its folder guards nothing: it is taken again
// before the copy is written there.
bool TRecoveryWriter::HoldLock()
{
    if (Lock && QFileInfo::exists(RecoveryLockPath(Path)))
        return true;
    Lock.reset();
    QDir().mkpath(QFileInfo(Path).path());
    auto lock = std::make_unique<QLockFile>(RecoveryLockPath(Path));
    if (!lock->tryLock(0))
        return false;
    Lock = std::move(lock);
    return true;
}
