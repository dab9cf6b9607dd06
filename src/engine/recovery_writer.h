#pragma once

#include "codecs/recovery_png.h"
#include "engine/worker_thread.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <memory>
#include <vector>

class QLockFile;

// This instance's recovery copy: one file in the recovery folder, written
// atomically on a worker thread and guarded by a lock file that holds this
// process's id from the first write until the copy is removed. A picture a
// plain PNG holds whole is copied as one; any other as OpenRaster, under the
// same name with ".ora" for ".png".
class TRecoveryWriter {
public:
    explicit TRecoveryWriter(const QString &folder);
    // Removes the copy: a clean exit leaves nothing behind.
    ~TRecoveryWriter();

    // Copies the picture and hands the encoding and writing to the worker;
    // tag names the picture's state. Returns false, taking nothing, while the
    // previous copy is still being written, and when the picture's copy or
    // the worker cannot be had.
    bool Submit(const QImage &picture, const TRecoveryInfo &info, qint64 tag);
    // The same for a picture of layers (bottom to top) and their merged
    // picture, shared with the caller until either side writes to them.
    bool Submit(const std::vector<TImageLayer> &layers, const QImage &merged, const TRecoveryInfo &info, qint64 tag);

    // The tag of the last copy that reached the disk, 0 when none did since
    // the copy was taken over or removed. A failed write leaves it alone.
    qint64 WrittenTag() const { return Written; }

    // Waits for the copy being written, if any.
    void Wait();

    // Waits, then deletes the copy and releases its lock.
    void Remove();

    // Makes an existing copy, locked by the caller, this writer's copy: it
    // stays until it is removed, and later copies replace it.
    void TakeOver(const QString &path, std::unique_ptr<QLockFile> lock);

    QString CopyPath() const { return Path; }

private:
    bool Post(const TRecoveryInfo &info, qint64 tag, const QString &suffix);
    void Write();
    bool HoldLock();
    void SwitchPath(const QString &path);
    void RemoveFormer();

    QString Path;
    // The copy in the other format, removed once this one is written.
    QString FormerPath;
    std::unique_ptr<QLockFile> FormerLock;
    // The picture's copy, reused while the size stays; only the worker reads
    // it while a write runs.
    QImage Buffer;
    // A layered copy's pixels; empty for a PNG copy. The worker lets go of
    // them once written, so painting copies no layer after that.
    std::vector<TImageLayer> Layers;
    TRecoveryInfo Info;
    qint64 Tag = 0;
    std::atomic<qint64> Written = 0;
    std::unique_ptr<QLockFile> Lock;
    // Declared last: its destructor waits for the job that uses the members
    // above.
    TWorkerThread Worker;
};
