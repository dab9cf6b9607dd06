// Writes one resource payload of the language library: a zlib stream of the
// document's length (32-bit little-endian) followed by the document.
//
//   lang_payload <document> <payload>

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <document> <payload>\n", argv[0]);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "lang_payload: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::vector<unsigned char> document{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (document.empty() || document.size() > std::size_t(std::numeric_limits<std::int32_t>::max())) {
        std::fprintf(stderr, "lang_payload: %s is empty or too large\n", argv[1]);
        return 1;
    }

    std::vector<unsigned char> plain(4);
    const auto n = std::uint32_t(document.size());
    for (int i = 0; i < 4; ++i)
        plain[std::size_t(i)] = static_cast<unsigned char>(n >> (8 * i));
    plain.insert(plain.end(), document.begin(), document.end());

    uLongf packedSize = compressBound(uLong(plain.size()));
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, plain.data(), uLong(plain.size()), Z_BEST_COMPRESSION) != Z_OK) {
        std::fprintf(stderr, "lang_payload: cannot compress %s\n", argv[1]);
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(packed.data()), std::streamsize(packedSize));
    if (!out.flush()) {
        std::fprintf(stderr, "lang_payload: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
