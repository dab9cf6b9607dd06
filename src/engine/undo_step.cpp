#include "engine/undo_step.h"

#include "codecs/snapshot_codec.h"

#include <algorithm>

TUndoStep::TUndoStep(const TLayerStack &picture, const std::vector<int> &ids) : StackShape(picture.Shape())
{
    for (int id : ids)
        Snapshots.push_back(TSnapshot{id, EncodeSnapshot(picture.Pixels(picture.Find(id)))});
}

TUndoStep::TUndoStep(TStackShape shape, int id) : StackShape(std::move(shape))
{
    Snapshots.push_back(TSnapshot{id, {}});
}

bool TUndoStep::HasPixelsOf(int id) const
{
    return std::any_of(Snapshots.begin(), Snapshots.end(), [id](const TSnapshot &s) { return s.Id == id; });
}

std::map<int, QImage> TUndoStep::Decode(QImage &spare) const
{
    std::map<int, QImage> pixels;
    for (const TSnapshot &s : Snapshots) {
        QImage image = pixels.empty() ? std::move(spare) : QImage();
        DecodeSnapshotInto(s.Stream.data(), s.Stream.size(), image);
        pixels[s.Id] = std::move(image);
    }
    return pixels;
}

void TUndoStep::RestoreTo(TLayerStack &picture) const
{
    QImage spare;
    picture.Assign(StackShape, Decode(spare));
}

// A layer's settings count as a few bytes besides its name.
std::int64_t TUndoStep::Size() const
{
    std::int64_t size = 0;
    for (const TSnapshot &s : Snapshots)
        size += std::int64_t(s.Stream.size());
    for (const TLayerState &l : StackShape.Layers)
        size += 16 + std::int64_t(l.Name.size()) * std::int64_t(sizeof(QChar));
    return size;
}
