#include "engine/undo_step.h"

#include "codecs/snapshot_codec.h"

TUndoStep::TUndoStep(const QImage &picture)
{
    Store(picture);
}

void TUndoStep::Store(const QImage &picture)
{
    Stream = EncodeSnapshot(picture);
}

void TUndoStep::RestoreTo(QImage &picture) const
{
    picture = DecodeSnapshot(Stream.data(), Stream.size());
}

void TUndoStep::DecodeInto(QImage &buffer) const
{
    DecodeSnapshotInto(Stream.data(), Stream.size(), buffer);
}
