// Restoring an undo step: the bytes go through the snapshot chunk reader and
// decoder that Undo and Redo use.
#include "codecs/snapshot_codec.h"
#include "fuzz_limits.h"

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        DecodeSnapshot(data, size, kFuzzMaxPixels);
    } catch (const std::exception &) {
    }
    return 0;
}
