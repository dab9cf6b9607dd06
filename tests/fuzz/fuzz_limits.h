#pragma once

#include <cstdint>

// Pictures the fuzz targets let a reader allocate: 64 MiB of pixels, so
// that a run within its memory limit tells a reader that takes more than a
// file could fill from one that is merely given a large valid picture. The
// program itself keeps kMaxPicturePixels.
constexpr std::uint64_t kFuzzMaxPixels = std::uint64_t(1) << 24;
