#include "engine/pen_raster.h"

#include <cmath>

std::int64_t PenRaster::ISqrt(unsigned __int128 v)
{
    using Wide = unsigned __int128;
    // The extended-precision root is off by at most one either way.
    auto r = std::uint64_t(std::sqrt(static_cast<long double>(v)));
    while (r > 0 && Wide(r) * r > v)
        --r;
    while (Wide(r + 1) * (r + 1) <= v)
        ++r;
    return std::int64_t(r);
}
