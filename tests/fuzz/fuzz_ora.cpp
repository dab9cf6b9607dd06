// Opening an OpenRaster file: the bytes go through the same reader as Open,
// libzip's archive reading included.
#include "codecs/ora_codec.h"
#include "fuzz_limits.h"

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        DecodeOra(data, size, kFuzzMaxPixels);
    } catch (const std::exception &) {
    }
    return 0;
}
