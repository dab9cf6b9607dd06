#pragma once

#include "codecs/recovery_png.h"
#include "engine/worker_thread.h"

#include <QImage>
#include <QString>

#include <memory>

class QLockFile;

// This instance's recovery copy: one PNG file in the recovery folder, written
// atomically on a worker thread and guarded by a lock file that holds this
// process's id from the first write until the copy is removed.
class TRecoveryWriter {
public:
    explicit TRecoveryWriter(const QString &folder);
    // Removes the copy: a clean exit leaves nothing behind.
    ~TRecoveryWriter();

    // Copies the picture and hands the encoding and writing to the worker.
    // Returns false, taking nothing, while the previous copy is still being
    // written. A failed write is retried by the next copy.
    bool Submit(const QImage &picture, const TRecoveryInfo &info);

    // Waits for the copy being written, if any.
    void Wait();

    // Waits, then deletes the copy and releases its lock.
    void Remove();

    QString CopyPath() const { return Path; }

private:
    void Write();

    QString Path;
    // The picture's copy, reused while the size stays; only the worker reads
    // it while a write runs.
    QImage Buffer;
    TRecoveryInfo Info;
    std::unique_ptr<QLockFile> Lock;
    // Declared last: its destructor waits for the job that uses the members
    // above.
    TWorkerThread Worker;
};
