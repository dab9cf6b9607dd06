#include "codecs/bmp_codec.h"
#include "codecs/gif_codec.h"
#include "codecs/jpeg_codec.h"
#include "codecs/jpeg_decode.h"
#include "codecs/ora_codec.h"
#include "codecs/png_codec.h"
#include "codecs/snapshot_codec.h"
#include "codecs/webp_codec.h"
#include "image_test_util.h"

#include <QByteArray>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VELMORA_ALLOCATION_HOOKS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORA_ALLOCATION_HOOKS 1
#endif
#endif

#ifdef VELMORA_ALLOCATION_HOOKS
// The sanitizer runtime's allocation interface; GCC ships no header for it.
extern "C" {
std::size_t __sanitizer_get_allocated_size(const volatile void *block);
int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void *, std::size_t),
                                              void (*onFree)(const volatile void *));
}
#endif

namespace {

using Bytes = std::vector<std::uint8_t>;

#ifdef VELMORA_ALLOCATION_HOOKS
// The highest number of bytes allocated at once beyond what was allocated
// when counting began, seen through the address sanitizer's hooks.
std::atomic<bool> counting{false};
std::atomic<std::int64_t> live{0};
std::atomic<std::int64_t> peak{0};

void OnMalloc(const volatile void *, std::size_t size)
{
    if (!counting)
        return;
    const std::int64_t now = live += std::int64_t(size);
    std::int64_t seen = peak;
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}

void OnFree(const volatile void *block)
{
    if (counting)
        live -= std::int64_t(__sanitizer_get_allocated_size(block));
}

std::int64_t PeakAllocation(const std::function<void()> &run)
{
    static const int installed = __sanitizer_install_malloc_and_free_hooks(OnMalloc, OnFree);
    (void)installed;
    live = 0;
    peak = 0;
    counting = true;
    run();
    counting = false;
    return peak;
}
#endif

Bytes Le(std::uint32_t v, int bytes)
{
    Bytes out;
    for (int i = 0; i < bytes; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
    return out;
}

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes &p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// 211 bytes: a grey picture and a damaged chunk that declares 1.77 GB.
Bytes DamagedTextChunkPng()
{
    const QByteArray png = QByteArray::fromBase64(
        "iVBORw0KGgoAAAANSUhEUgAAAJYAAABnCAAAAADHpOSCAAAACXBIWXMAAABOMTBfX2N4eGFiaXYARnRFWHRSYXcgcHJvZmlsZSB0eXBlIE"
        "FQUDk5AAAAAEZ0RVh4UmF3IHByb2ZpbGUgdHlwZSBBAABhsAALCHRQMTIKICAgICAgMTUKpznqHAAAAAl2cEFnAAAAlgAAAGcA9FG1OHIAAAA"
        "EZ0FNQQABhqAx6JZfAAAAJUlEQVRAClZw////////////////AACxSyHJFf7BRwAAAA==");
    return Bytes(png.begin(), png.end());
}

// A GIF whose screen and frame have the given sizes, cut off after a few
// bytes of picture data.
Bytes TruncatedGif(int screen, int frame)
{
    return Join({{'G', 'I', 'F', '8', '9', 'a'}, Le(screen, 2), Le(screen, 2), {0x80, 0, 0}, {0, 0, 0, 255, 255, 255},
                 {0x2C}, Le(0, 4), Le(frame, 2), Le(frame, 2), {0, 2, 4, 0x84, 0x1D, 0x81, 0x7A}});
}

// An 8-bit run-length encoded BMP of the given size, cut off after one run.
Bytes TruncatedRleBmp(int size)
{
    const Bytes info = Join({Le(40, 4), Le(size, 4), Le(size, 4), Le(1, 2), Le(8, 2), Le(1, 4), Le(0, 4), Le(0, 4), Le(0, 4),
                             Le(2, 4), Le(0, 4), Le(0, 4), Le(0x00FFFFFF, 4)});
    return Join({{'B', 'M'}, Le(0, 4), Le(0, 4), Le(14 + 40 + 8, 4), info, {2, 1}});
}

// A JPEG of 8 x 8 pixels whose frame header claims the given size.
Bytes JpegClaiming(int size)
{
    QImage block(8, 8, QImage::Format_RGB32);
    block.fill(Qt::red);
    Bytes jpeg = EncodeJpeg(block);
    // The frame header: marker, length, precision, height, width.
    const Bytes frame{0xFF, 0xC0};
    const auto at = std::search(jpeg.begin(), jpeg.end(), frame.begin(), frame.end());
    at[5] = at[7] = std::uint8_t(size >> 8);
    at[6] = at[8] = std::uint8_t(size);
    return jpeg;
}

// The header of an animated WebP whose canvas has the given size.
Bytes WebpCanvasOf(int size)
{
    return Join({{'R', 'I', 'F', 'F'}, Le(22, 4), {'W', 'E', 'B', 'P', 'V', 'P', '8', 'X'}, Le(10, 4), {0x02, 0, 0, 0},
                 Le(std::uint32_t(size - 1), 3), Le(std::uint32_t(size - 1), 3)});
}

// An undo snapshot of one pixel whose header claims the given size.
Bytes SnapshotClaiming(std::uint32_t size)
{
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(Qt::red);
    Bytes png = EncodeSnapshot(pixel);
    for (const int at : {16, 20})
        for (int i = 0; i < 4; ++i)
            png[std::size_t(at + i)] = std::uint8_t(size >> (24 - 8 * i));
    const uLong crc = crc32(0, &png[12], 17);
    for (int i = 0; i < 4; ++i)
        png[std::size_t(29 + i)] = std::uint8_t(crc >> (24 - 8 * i));
    return png;
}

} // namespace

// Short or damaged files that announce big pictures or chunks must fail
// without the memory they announce: a small file must never be able to take
// the memory the open pictures of the session need.
TEST(ReaderMemory, SmallDamagedFilesFailWithoutTakingWhatTheyAnnounce)
{
#ifndef VELMORA_ALLOCATION_HOOKS
    GTEST_SKIP() << "allocations are counted through the address sanitizer";
#else
    struct Case {
        const char *what;
        Bytes data;
        std::function<QImage(const Bytes &)> decode;
    };
    const auto png = [](const Bytes &b) { return DecodePng(b.data(), b.size()); };
    const auto gif = [](const Bytes &b) { return DecodeGif(b.data(), b.size()); };
    const auto bmp = [](const Bytes &b) { return DecodeBmp(b.data(), b.size()); };
    const auto snapshot = [](const Bytes &b) { return DecodeSnapshot(b.data(), b.size()); };
    const auto jpeg = [](const Bytes &b) { return DecodeJpeg(b.data(), b.size()); };
    const auto webp = [](const Bytes &b) { return DecodeWebp(b.data(), b.size()); };
    const auto ora = [](const Bytes &b) { return DecodeOra(b.data(), b.size()).Layers.front().Pixels; };
    Bytes inflatingOra = OraArchive(OraStack(1, 1, 1));
    DeclareEntrySize(inflatingOra, "stack.xml", 100, 1u << 30);
    const Case cases[] = {
        {"PNG chunk claiming 1.77 GB", DamagedTextChunkPng(), png},
        {"GIF frame of 8192 x 8192", TruncatedGif(8192, 8192), gif},
        {"GIF screen of 8192 x 8192", TruncatedGif(8192, 1), gif},
        {"RLE BMP of 8192 x 8192", TruncatedRleBmp(8192), bmp},
        {"snapshot of 8192 x 8192", SnapshotClaiming(8192), snapshot},
        {"JPEG of 8192 x 8192", JpegClaiming(8192), jpeg},
        {"JPEG of 32768 x 32768", JpegClaiming(32768), jpeg},
        {"WebP canvas of 32768 x 32768", WebpCanvasOf(32768), webp},
        {"ORA of 256 layers of 4096 x 4096", OraArchive(OraStack(4096, 4096, 256)), ora},
        {"ORA layer list of 1 GiB", inflatingOra, ora},
    };
    constexpr std::int64_t kSmall = std::int64_t(8) << 20;
    for (const Case &c : cases) {
        const std::int64_t used = PeakAllocation([&] { EXPECT_THROW(c.decode(c.data), std::runtime_error) << c.what; });
        EXPECT_LT(used, kSmall) << c.what;
    }
#endif
}
