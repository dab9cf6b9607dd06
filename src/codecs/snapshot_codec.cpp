#include "codecs/snapshot_codec.h"

#include "codecs/image_file_io.h"
#include "codecs/png_codec.h"
#include "codecs/rgb_rows.h"

#include <libdeflate.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <utility>

namespace {

constexpr std::uint8_t Signature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::uint32_t MaxChunkLength = 0x7FFFFFFF;
constexpr std::size_t HeaderLength = 13;
constexpr int MaxLevel = 12;

std::runtime_error SnapshotError(const std::string &what)
{
    return std::runtime_error("Invalid undo snapshot: " + what);
}

std::uint32_t GetBE32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void PutBE32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

void PutChunk(std::vector<std::uint8_t> &out, const char *type, const std::uint8_t *data, std::size_t length)
{
    PutBE32(out, std::uint32_t(length));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data, data + length);
    PutBE32(out, libdeflate_crc32(0, out.data() + start, 4 + length));
}

// Walks the chunks of a snapshot. Every read is checked against the end of
// the data before it happens, and every chunk's CRC is verified.
class TChunkReader {
public:
    TChunkReader(const std::uint8_t *data, std::size_t size) : Data(data), Size(size)
    {
        if (!data || size < sizeof Signature || std::memcmp(data, Signature, sizeof Signature) != 0)
            throw SnapshotError("not a PNG image");
        Pos = sizeof Signature;
    }

    // The data of the next chunk, which must be of the given type.
    std::span<const std::uint8_t> Next(const char *type)
    {
        if (Size - Pos < 12)
            throw SnapshotError("truncated data");
        const std::uint32_t length = GetBE32(Data + Pos);
        if (length > MaxChunkLength || length > Size - Pos - 12)
            throw SnapshotError("truncated data");
        const std::uint8_t *typeAndData = Data + Pos + 4;
        if (std::memcmp(typeAndData, type, 4) != 0)
            throw SnapshotError(std::string("expected chunk ") + type);
        if (libdeflate_crc32(0, typeAndData, 4 + std::size_t(length)) != GetBE32(typeAndData + 4 + length))
            throw SnapshotError(std::string("CRC error in chunk ") + type);
        Pos += 12 + std::size_t(length);
        return {typeAndData + 4, length};
    }

    bool AtEnd() const { return Pos == Size; }

private:
    const std::uint8_t *Data;
    std::size_t Size;
    std::size_t Pos = 0;
};

// The predictor of a PNG filter type from the bytes to the left (a), above
// (b) and above left (c).
template <int Type>
int Predict(int a, int b, int c)
{
    if constexpr (Type == pfSub)
        return a;
    else if constexpr (Type == pfUp)
        return b;
    else if constexpr (Type == pfAverage)
        return (a + b) >> 1;
    else if constexpr (Type == pfPaeth) {
        const int p = a + b - c;
        const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
        return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
    } else
        return 0;
}

// Filters the n packed samples of a row, Bpp bytes a pixel, against the row
// above it.
template <int Type, std::size_t Bpp>
void FilterRow(const std::uint8_t *cur, const std::uint8_t *prev, std::uint8_t *out, std::size_t n)
{
    for (std::size_t i = 0; i < Bpp; ++i)
        out[i] = std::uint8_t(cur[i] - Predict<Type>(0, prev[i], 0));
    for (std::size_t i = Bpp; i < n; ++i)
        out[i] = std::uint8_t(cur[i] - Predict<Type>(cur[i - Bpp], prev[i], prev[i - Bpp]));
}

// The inverse of FilterRow, in place.
template <int Type, std::size_t Bpp>
void UnfilterRow(std::uint8_t *row, const std::uint8_t *prev, std::size_t n)
{
    for (std::size_t i = 0; i < Bpp; ++i)
        row[i] = std::uint8_t(row[i] + Predict<Type>(0, prev[i], 0));
    for (std::size_t i = Bpp; i < n; ++i)
        row[i] = std::uint8_t(row[i] + Predict<Type>(row[i - Bpp], prev[i], prev[i - Bpp]));
}

// Every filter type but pfNone, whose rows need no second buffer.
template <std::size_t Bpp>
void Filter(int type, const std::uint8_t *cur, const std::uint8_t *prev, std::uint8_t *out, std::size_t n)
{
    switch (type) {
    case pfSub: return FilterRow<pfSub, Bpp>(cur, prev, out, n);
    case pfUp: return FilterRow<pfUp, Bpp>(cur, prev, out, n);
    case pfAverage: return FilterRow<pfAverage, Bpp>(cur, prev, out, n);
    case pfPaeth: return FilterRow<pfPaeth, Bpp>(cur, prev, out, n);
    }
}

template <std::size_t Bpp>
void Unfilter(int type, std::uint8_t *row, const std::uint8_t *prev, std::size_t n)
{
    switch (type) {
    case pfNone: return;
    case pfSub: return UnfilterRow<pfSub, Bpp>(row, prev, n);
    case pfUp: return UnfilterRow<pfUp, Bpp>(row, prev, n);
    case pfAverage: return UnfilterRow<pfAverage, Bpp>(row, prev, n);
    case pfPaeth: return UnfilterRow<pfPaeth, Bpp>(row, prev, n);
    default: throw SnapshotError("unknown row filter " + std::to_string(type));
    }
}

// The inverse of PackRgbaRow: R, G, B, A samples to Format_ARGB32 pixels.
void ExpandRgbaRow(const std::uint8_t *in, std::uint32_t *out, int width)
{
    for (int x = 0; x < width; ++x, in += 4) {
        const std::uint32_t rgba = qFromBigEndian<std::uint32_t>(in);
        out[x] = rgba >> 8 | rgba << 24;
    }
}

// Expands 3-byte R, G, B samples to opaque Format_RGB32 pixels, reading one
// byte beyond the 3 * width it converts.
void ExpandRgbRow(const std::uint8_t *in, std::uint32_t *out, int width)
{
    for (int x = 0; x < width; ++x, in += 3) {
        std::uint32_t word;
        std::memcpy(&word, in, sizeof word);
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        out[x] = 0xFF000000u | (qbswap(word) >> 8);
#else
        out[x] = 0xFF000000u | (word >> 8);
#endif
    }
}

// The two kinds of snapshot: opaque pictures as RGB, the others as RGBA.
struct TRgbSamples {
    static constexpr std::size_t Bpp = 3;
    static constexpr std::uint8_t ColorType = 2;
    static constexpr QImage::Format Format = QImage::Format_RGB32;
    static void Pack(const std::uint32_t *in, std::uint8_t *out, int width) { PackRgbRow(in, out, width); }
    static void Expand(const std::uint8_t *in, std::uint32_t *out, int width) { ExpandRgbRow(in, out, width); }
};

struct TRgbaSamples {
    static constexpr std::size_t Bpp = 4;
    static constexpr std::uint8_t ColorType = 6;
    static constexpr QImage::Format Format = QImage::Format_ARGB32;
    static void Pack(const std::uint32_t *in, std::uint8_t *out, int width) { PackRgbaRow(in, out, width); }
    static void Expand(const std::uint8_t *in, std::uint32_t *out, int width) { ExpandRgbaRow(in, out, width); }
};

// Writes the filtered rows, each a filter type byte and the samples. The
// buffer has one spare byte at its end for packing RGB rows.
template <typename Samples>
void FilterRows(const QImage &picture, int filter, std::uint8_t *raw)
{
    const int w = picture.width();
    const std::size_t n = std::size_t(w) * Samples::Bpp;
    const auto scanLine = [&](int y) { return reinterpret_cast<const std::uint32_t *>(picture.constScanLine(y)); };
    if (filter == pfNone) {
        // The spare byte of each row is the type byte of the next, written
        // after it.
        for (int y = 0; y < picture.height(); ++y, raw += n + 1) {
            raw[0] = pfNone;
            Samples::Pack(scanLine(y), raw + 1, w);
        }
        return;
    }
    std::vector<std::uint8_t> rows(2 * (n + 1), 0);
    std::uint8_t *prev = rows.data(), *cur = prev + n + 1;
    for (int y = 0; y < picture.height(); ++y, raw += n + 1) {
        Samples::Pack(scanLine(y), cur, w);
        raw[0] = std::uint8_t(filter);
        Filter<Samples::Bpp>(filter, cur, prev, raw + 1, n);
        std::swap(prev, cur);
    }
}

// Reconstructs the rows and converts them into the image. RGB rows lie in
// the image's own memory, packed against its end: each row is copied out
// before the pixels of its image row are written, and those pixels end
// before the next packed row begins.
template <typename Samples>
void UnfilterRows(const std::uint8_t *raw, QImage &image)
{
    const int w = image.width();
    const std::size_t n = std::size_t(w) * Samples::Bpp;
    // Previous and current row, each with a spare byte for ExpandRgbRow.
    std::vector<std::uint8_t> rows(2 * (n + 1), 0);
    std::uint8_t *prev = rows.data(), *cur = prev + n + 1;
    for (int y = 0; y < image.height(); ++y, raw += n + 1) {
        const int type = raw[0];
        std::memcpy(cur, raw + 1, n);
        Unfilter<Samples::Bpp>(type, cur, prev, n);
        Samples::Expand(cur, reinterpret_cast<std::uint32_t *>(image.scanLine(y)), w);
        std::swap(prev, cur);
    }
}

struct FreeCompressor {
    void operator()(libdeflate_compressor *c) const { libdeflate_free_compressor(c); }
};
struct FreeDecompressor {
    void operator()(libdeflate_decompressor *d) const { libdeflate_free_decompressor(d); }
};

// Compressors keep sizeable tables; one per level and thread is made once.
libdeflate_compressor *Compressor(int level)
{
    thread_local std::array<std::unique_ptr<libdeflate_compressor, FreeCompressor>, MaxLevel + 1> compressors;
    auto &c = compressors[std::size_t(level)];
    if (!c)
        c.reset(libdeflate_alloc_compressor(level));
    if (!c)
        throw std::runtime_error("Snapshot encoder: out of memory");
    return c.get();
}

libdeflate_decompressor *Decompressor()
{
    thread_local std::unique_ptr<libdeflate_decompressor, FreeDecompressor> decompressor;
    if (!decompressor)
        decompressor.reset(libdeflate_alloc_decompressor());
    if (!decompressor)
        throw std::runtime_error("Snapshot decoder: out of memory");
    return decompressor.get();
}

std::size_t RawSize(std::size_t width, std::size_t height, std::size_t bpp)
{
    return height * (1 + width * bpp);
}

// The filtered rows and the compressed stream of the snapshot being made.
// Kept between snapshots: faulting in fresh pages of the picture's size
// costs about a third of the compression itself. It is made anew when the
// picture outgrows it or shrinks to less than half of it.
std::uint8_t *EncoderScratch(std::size_t size)
{
    thread_local std::unique_ptr<std::uint8_t[]> buffer;
    thread_local std::size_t capacity = 0;
    if (size > capacity || size < capacity / 2) {
        buffer.reset();
        capacity = 0;
        buffer = std::make_unique_for_overwrite<std::uint8_t[]>(size);
        capacity = size;
    }
    return buffer.get();
}

} // namespace

// Measured on painting-like pictures of 800 x 600 and 3000 x 3000 pixels
// (BM_SnapshotCandidate in bench/history_bench.cpp): level 1 without a row
// filter encodes in 0.13 to 0.14 of the time of libpng's defaults, into 0.89
// to 0.91 of the size that the zlib level 2 snapshots had. Any row filter
// costs half as much time again (0.21 or more) for at most 8 % less size, and
// level 2 or higher costs as much or more.
SnapshotSettings DefaultSnapshotSettings()
{
    return {1, pfNone};
}

namespace {

template <typename Samples>
std::vector<std::uint8_t> Encode(const QImage &picture, const SnapshotSettings &s)
{
    const std::size_t rawSize = RawSize(std::size_t(picture.width()), std::size_t(picture.height()), Samples::Bpp);
    libdeflate_compressor *compressor = Compressor(s.level);
    const std::size_t bound = libdeflate_zlib_compress_bound(compressor, rawSize);
    // The rows with their spare byte, then room for the stream.
    std::uint8_t *raw = EncoderScratch(rawSize + 1 + bound);
    std::uint8_t *stream = raw + rawSize + 1;
    FilterRows<Samples>(picture, s.filter, raw);
    const std::size_t length = libdeflate_zlib_compress(compressor, raw, rawSize, stream, bound);
    if (length == 0 || length > MaxChunkLength)
        throw std::runtime_error("Snapshot encoder: the picture is too large");

    std::uint8_t header[HeaderLength] = {};
    for (int i = 0; i < 4; ++i) {
        header[i] = std::uint8_t(std::uint32_t(picture.width()) >> (24 - 8 * i));
        header[4 + i] = std::uint8_t(std::uint32_t(picture.height()) >> (24 - 8 * i));
    }
    header[8] = 8; // bits per sample
    header[9] = Samples::ColorType; // compression, filter method and interlace 0

    std::vector<std::uint8_t> png;
    png.reserve(sizeof Signature + 3 * 12 + HeaderLength + length);
    png.insert(png.end(), std::begin(Signature), std::end(Signature));
    PutChunk(png, "IHDR", header, HeaderLength);
    PutChunk(png, "IDAT", stream, length);
    PutChunk(png, "IEND", nullptr, 0);
    return png;
}

// Inflates the rows into raw, which holds exactly rawSize bytes.
void Inflate(std::span<const std::uint8_t> stream, std::uint8_t *raw, std::size_t rawSize)
{
    std::size_t used = 0;
    // Without an actual output size libdeflate refuses a stream that
    // inflates to fewer bytes than the rows need.
    const libdeflate_result result =
        libdeflate_zlib_decompress_ex(Decompressor(), stream.data(), stream.size(), raw, rawSize, &used, nullptr);
    if (result != LIBDEFLATE_SUCCESS || used != stream.size())
        throw SnapshotError("damaged picture data");
}

template <typename Samples>
void Decode(std::span<const std::uint8_t> stream, QSize size, QImage &target)
{
    // Deflate gives at most 1032 bytes for each byte of its stream.
    constexpr std::uint64_t DeflateMaxExpansion = 1032;
    const std::size_t rawSize = RawSize(std::size_t(size.width()), std::size_t(size.height()), Samples::Bpp);
    if (rawSize > stream.size() * DeflateMaxExpansion)
        throw SnapshotError("the picture data is too short for the picture");
    if (target.size() != size || target.format() != Samples::Format || !target.isDetached()) {
        target = QImage(size, Samples::Format);
        if (target.isNull())
            throw std::runtime_error("Snapshot decoder: out of memory");
    }
    if constexpr (Samples::Bpp == 3) {
        // The rows inflate straight into the end of the image's memory (3
        // bytes a pixel and a type byte a row fit into 4 bytes a pixel),
        // which saves a buffer of the picture's size.
        std::uint8_t *raw = target.bits() + std::size_t(target.sizeInBytes()) - rawSize;
        Inflate(stream, raw, rawSize);
        UnfilterRows<Samples>(raw, target);
    } else {
        auto raw = std::make_unique_for_overwrite<std::uint8_t[]>(rawSize);
        Inflate(stream, raw.get(), rawSize);
        UnfilterRows<Samples>(raw.get(), target);
    }
}

} // namespace

std::vector<std::uint8_t> EncodeSnapshot(const QImage &picture, const SnapshotSettings &s)
{
    if (picture.isNull() || picture.width() <= 0 || picture.height() <= 0)
        throw std::runtime_error("Snapshot encoder: the picture is empty");
    if (std::uint64_t(picture.width()) * std::uint64_t(picture.height()) > kMaxPicturePixels)
        throw std::runtime_error("Snapshot encoder: the picture is too large");
    if (s.level < 0 || s.level > MaxLevel || s.filter < pfNone || s.filter > pfPaeth)
        throw std::runtime_error("Snapshot encoder: invalid settings");
    const QImage::Format format = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage pixels = picture.format() == format ? picture : picture.convertToFormat(format);
    if (pixels.isNull())
        throw std::runtime_error("Snapshot encoder: out of memory");
    return format == QImage::Format_RGB32 ? Encode<TRgbSamples>(pixels, s) : Encode<TRgbaSamples>(pixels, s);
}

QImage DecodeSnapshot(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels)
{
    QImage image;
    DecodeSnapshotInto(data, size, image, maxPixels);
    return image;
}

void DecodeSnapshotInto(const std::uint8_t *data, std::size_t size, QImage &target, std::uint64_t maxPixels)
{
    TChunkReader chunks(data, size);
    const std::span<const std::uint8_t> header = chunks.Next("IHDR");
    if (header.size() != HeaderLength)
        throw SnapshotError("bad header length");
    const std::uint32_t width = GetBE32(header.data()), height = GetBE32(header.data() + 4);
    if (width == 0 || height == 0 || width > MaxChunkLength || height > MaxChunkLength)
        throw SnapshotError("bad picture size");
    if (std::uint64_t(width) * height > maxPixels)
        throw SnapshotError("picture of " + std::to_string(width) + " x " + std::to_string(height) +
                            " pixels is too large");
    const std::uint8_t colorType = header[9];
    static constexpr std::uint8_t rest[3] = {0, 0, 0};
    if (header[8] != 8 || (colorType != TRgbSamples::ColorType && colorType != TRgbaSamples::ColorType) ||
        std::memcmp(header.data() + 10, rest, sizeof rest) != 0)
        throw SnapshotError("not an 8-bit RGB or RGBA picture");
    const std::span<const std::uint8_t> stream = chunks.Next("IDAT");
    chunks.Next("IEND");
    if (!chunks.AtEnd())
        throw SnapshotError("data after the end");
    const QSize pictureSize{int(width), int(height)};
    if (colorType == TRgbSamples::ColorType)
        Decode<TRgbSamples>(stream, pictureSize, target);
    else
        Decode<TRgbaSamples>(stream, pictureSize, target);
}
