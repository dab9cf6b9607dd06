#include "engine/recovery_writer.h"

#include "codecs/image_file_io.h"
#include "engine/recovery_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QLockFile>

#include <cstring>

TRecoveryWriter::TRecoveryWriter(const QString &folder)
    : Path(NewRecoveryCopyPath(folder))
{
}

TRecoveryWriter::~TRecoveryWriter()
{
    Remove();
}

bool TRecoveryWriter::Submit(const QImage &picture, const TRecoveryInfo &info)
{
    if (picture.isNull() || Worker.Busy())
        return false;
    if (Buffer.size() != picture.size() || Buffer.format() != picture.format())
        Buffer = QImage(picture.size(), picture.format());
    std::memcpy(Buffer.bits(), picture.constBits(), std::size_t(picture.sizeInBytes()));
    Info = info;
    Worker.Post([this] { Write(); });
    return true;
}

void TRecoveryWriter::Wait()
{
    Worker.Wait();
}

void TRecoveryWriter::Remove()
{
    Worker.Wait();
    if (!Lock)
        return;
    QFile::remove(Path);
    Lock.reset();
}

// Runs on the worker. A copy that cannot be written is no reason to disturb
// the user: the next one tries again.
void TRecoveryWriter::Write()
{
    try {
        if (!Lock) {
            QDir().mkpath(QFileInfo(Path).path());
            auto lock = std::make_unique<QLockFile>(RecoveryLockPath(Path));
            if (!lock->tryLock(0))
                return;
            Lock = std::move(lock);
        }
        WriteFileBytes(Path, EncodeRecoveryPng(Buffer, Info));
    } catch (...) {
    }
}
