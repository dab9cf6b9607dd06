#pragma once

#include "engine/layer_stack.h"

#include <QImage>

#include <cstdint>
#include <map>
#include <vector>

// One entry of the history: the stack's shape as it was (its layers with
// their names, visibility and opacity, their order and the active one) and
// PNG-compressed snapshots (snapshot_codec.h) of the pixels of the layers
// the change touched. Restoring it gives the stack that shape; layers
// without a snapshot keep the pixels they have.
class TUndoStep {
public:
    // Snapshots the shape and the pixels of the layers with the given ids.
    TUndoStep(const TLayerStack &picture, const std::vector<int> &ids);
    // The shape now and one snapshot, of the layer with the id, whose bytes
    // come later through Adopt.
    TUndoStep(TStackShape shape, int id);

    void Adopt(std::vector<std::uint8_t> &&stream) { Snapshots.front().Stream = std::move(stream); }

    const TStackShape &Shape() const { return StackShape; }
    // Whether the step holds the pixels of the layer with the id.
    bool HasPixelsOf(int id) const;

    // Decodes the snapshots, the first into spare, whose memory is reused
    // when it has the stored size and format. Throws when one is damaged.
    std::map<int, QImage> Decode(QImage &spare) const;
    // Gives the picture the stored shape and pixels. The picture is left
    // untouched when decoding fails.
    void RestoreTo(TLayerStack &picture) const;

    // Bytes held: the snapshots and the shape's names and settings.
    std::int64_t Size() const;
    // The bytes of the first snapshot: for a one-layer picture, the picture.
    const std::vector<std::uint8_t> &Data() const { return Snapshots.front().Stream; }

private:
    struct TSnapshot {
        int Id = 0;
        std::vector<std::uint8_t> Stream;
    };

    TStackShape StackShape;
    std::vector<TSnapshot> Snapshots;
};
