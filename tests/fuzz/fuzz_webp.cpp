// Opening a WebP file: the bytes go through the same decoder as Open.
#include "codecs/webp_codec.h"
#include "fuzz_limits.h"

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        DecodeWebp(data, size, kFuzzMaxPixels);
    } catch (const std::exception &) {
    }
    return 0;
}
