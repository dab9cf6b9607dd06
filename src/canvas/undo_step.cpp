#include "canvas/undo_step.h"

#include "canvas/png_codec.h"

TUndoStep::TUndoStep(const QImage &picture)
{
    Store(picture);
}

void TUndoStep::Store(const QImage &picture)
{
    Stream = EncodePng(picture, SnapshotPngSettings());
}

void TUndoStep::RestoreTo(QImage &picture) const
{
    picture = DecodePng(Stream.data(), Stream.size());
}
