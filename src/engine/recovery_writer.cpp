#include "engine/recovery_writer.h"

#include "codecs/image_file_io.h"
#include "engine/picture_copy.h"
#include "engine/recovery_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

#include <utility>

namespace {
const QString PngSuffix = QStringLiteral(".png");
const QString OraSuffix = QStringLiteral(".ora");
} // namespace

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
    return Post(info, tag, PngSuffix);
}

bool TRecoveryWriter::Submit(const std::vector<TImageLayer> &layers, const QImage &merged, const TRecoveryInfo &info,
                             qint64 tag)
{
    if (layers.empty() || merged.isNull() || Worker.Busy())
        return false;
    Layers = layers;
    Buffer = merged;
    if (Post(info, tag, OraSuffix))
        return true;
    Layers.clear();
    Buffer = QImage();
    return false;
}

// Runs while the worker is idle, so the paths may change here.
bool TRecoveryWriter::Post(const TRecoveryInfo &info, qint64 tag, const QString &suffix)
{
    Info = info;
    Tag = tag;
    if (!Path.endsWith(suffix))
        SwitchPath(Path.chopped(suffix.size()) + suffix);
    return Worker.Post([this] { Write(); });
}

void TRecoveryWriter::Wait()
{
    Worker.Wait();
}

void TRecoveryWriter::Remove()
{
    Worker.Wait();
    RemoveFormer();
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

// The copy in the other format stays until the new one is written; when the
// format turns back before that, the copy on disk is this one again.
void TRecoveryWriter::SwitchPath(const QString &path)
{
    if (FormerLock && FormerPath == path) {
        std::swap(Path, FormerPath);
        std::swap(Lock, FormerLock);
        return;
    }
    RemoveFormer();
    FormerPath = std::exchange(Path, path);
    FormerLock = std::move(Lock);
}

// Runs on the worker. A copy that cannot be written is no reason to disturb
// the user: the next one tries again.
void TRecoveryWriter::Write()
{
    try {
        if (HoldLock()) {
            WriteFileBytes(Path, Layers.empty() ? EncodeRecoveryPng(Buffer, Info) : EncodeRecoveryOra(Layers, Buffer, Info));
            Written = Tag;
            RemoveFormer();
        }
    } catch (...) {
    }
    if (Layers.empty())
        return;
    Layers.clear();
    Buffer = QImage();
}

void TRecoveryWriter::RemoveFormer()
{
    if (!FormerLock)
        return;
    QFile::remove(FormerPath);
    FormerLock.reset();
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
