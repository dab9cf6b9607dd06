// Opening a JPEG file: the bytes go through the same decoder as Open.
#include "codecs/jpeg_decode.h"
#include "fuzz_limits.h"

#include <cstddef>
#include <cstdint>
#include <exception>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        DecodeJpeg(data, size, kFuzzMaxPixels);
    } catch (const std::exception &) {
    }
    return 0;
}
