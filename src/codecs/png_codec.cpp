#include "codecs/png_codec.h"

#include "codecs/image_alpha.h"
#include "codecs/image_file_io.h"
#include "codecs/picture_memory.h"
#include "codecs/rgb_rows.h"

#include <QtEndian>

#include <png.h>

#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

// libpng reports failures by calling an error handler that must not return.
// Ours records the message and longjmps back to the setjmp in the function
// that drove libpng. Those functions (WriteImage, ReadHeader, ReadRows) hold
// only trivially destructible locals, so the jump skips no destructor; the
// png structs are owned by RAII holders one frame up, which free them on
// every path out.

namespace {

// Shared between our callbacks and the code driving libpng; reached through
// libpng's error and I/O pointers.
struct PngJob {
    char message[200] = "unknown error";
    const std::uint8_t *in = nullptr;
    std::size_t inSize = 0;
    std::size_t inPos = 0;
    std::vector<std::uint8_t> *out = nullptr;
    std::size_t allocated = 0; // bytes libpng holds while reading
};

// libpng takes a chunk's memory by the length the chunk declares, before a
// byte of it is read, and only warns when that length is beyond its limits.
// While reading, its blocks come from here: the live total is held to the
// work memory a reader may take, so a damaged length is refused (libpng
// then skips the chunk and finds the data missing) instead of claiming
// gigabytes. Each block keeps its size in front of it.
png_voidp AllocateWithinBudget(png_structp png, png_alloc_size_t size)
{
    auto *job = static_cast<PngJob *>(png_get_mem_ptr(png));
    if (size > kReaderAllowanceBytes - job->allocated)
        return nullptr;
    auto *block = static_cast<std::max_align_t *>(std::malloc(sizeof(std::max_align_t) + size));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    job->allocated += size;
    return block + 1;
}

void FreeWithinBudget(png_structp png, png_voidp memory)
{
    if (!memory)
        return;
    auto *job = static_cast<PngJob *>(png_get_mem_ptr(png));
    auto *block = static_cast<std::max_align_t *>(memory) - 1;
    png_alloc_size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    job->allocated -= size;
    std::free(block);
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp msg)
{
    auto *job = static_cast<PngJob *>(png_get_error_ptr(png));
    if (job)
        std::snprintf(job->message, sizeof job->message, "%s", msg ? msg : "unknown error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void WriteToVector(png_structp png, png_bytep data, std::size_t length)
{
    auto *job = static_cast<PngJob *>(png_get_io_ptr(png));
    bool stored = true;
    try {
        job->out->insert(job->out->end(), data, data + length);
    } catch (const std::exception &) {
        stored = false;
    }
    // Jump only after the exception is finished with.
    if (!stored)
        png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

void ReadFromMemory(png_structp png, png_bytep data, std::size_t length)
{
    auto *job = static_cast<PngJob *>(png_get_io_ptr(png));
    if (length > job->inSize - job->inPos)
        png_error(png, "unexpected end of data");
    std::memcpy(data, job->in + job->inPos, length);
    job->inPos += length;
}

class WriteStruct {
public:
    explicit WriteStruct(PngJob &job)
    {
        png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning);
        if (png)
            info = png_create_info_struct(png);
        if (!info) {
            png_destroy_write_struct(&png, nullptr);
            throw std::runtime_error("PNG encoder: out of memory");
        }
        png_set_write_fn(png, &job, WriteToVector, FlushNothing);
    }
    ~WriteStruct() { png_destroy_write_struct(&png, &info); }
    WriteStruct(const WriteStruct &) = delete;
    WriteStruct &operator=(const WriteStruct &) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

class ReadStruct {
public:
    explicit ReadStruct(PngJob &job)
    {
        png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &job, OnPngError, OnPngWarning, &job,
                                       AllocateWithinBudget, FreeWithinBudget);
        if (png)
            info = png_create_info_struct(png);
        if (!info) {
            png_destroy_read_struct(&png, nullptr, nullptr);
            throw std::runtime_error("PNG decoder: out of memory");
        }
        png_set_read_fn(png, &job, ReadFromMemory);
        // Every chunk's CRC-32 is still checked, so damaged data is found;
        // the second checksum over the whole stream only costs a fifth of
        // the decoding time.
        png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
    }
    ~ReadStruct() { png_destroy_read_struct(&png, &info, nullptr); }
    ReadStruct(const ReadStruct &) = delete;
    ReadStruct &operator=(const ReadStruct &) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;
};

// Asks libpng for the in-memory layout of a Format_RGB32 pixel (0xffRRGGBB
// as a native 32-bit word; 0xAARRGGBB with alpha) so decoded rows land
// straight in the QImage.
void SetNativeRgb32Layout(png_structp png, bool alpha)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    png_set_bgr(png);
    if (!alpha)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
#else
    if (alpha)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
#endif
}

void ApplySettings(png_structp png, const PngSettings &s)
{
    if (s.filters != PngSettings::kPngLibraryDefault)
        png_set_filter(png, PNG_FILTER_TYPE_BASE, s.filters);
    if (s.zlibLevel != PngSettings::kPngLibraryDefault)
        png_set_compression_level(png, s.zlibLevel);
    if (s.strategy != PngSettings::kPngLibraryDefault)
        png_set_compression_strategy(png, s.strategy);
    if (s.memLevel != PngSettings::kPngLibraryDefault)
        png_set_compression_mem_level(png, s.memLevel);
    if (s.windowBits != PngSettings::kPngLibraryDefault)
        png_set_compression_window_bits(png, s.windowBits);
}

bool WriteImage(png_structp png, png_infop info, const QImage &img, const PngSettings &s, png_bytep rowBuffer,
                const PngText *text, bool alpha)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_IHDR(png, info, png_uint_32(img.width()), png_uint_32(img.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    ApplySettings(png, s);
    if (text) {
        png_text chunk{};
        chunk.compression = PNG_ITXT_COMPRESSION_NONE;
        chunk.key = const_cast<char *>(text->Keyword.constData());
        chunk.text = const_cast<char *>(text->Utf8.constData());
        chunk.itxt_length = std::size_t(text->Utf8.size());
        png_set_text(png, info, &chunk, 1);
    }
    png_write_info(png, info);
    const auto pack = alpha ? PackRgbaRow : PackRgbRow;
    for (int y = 0; y < img.height(); ++y) {
        pack(reinterpret_cast<const std::uint32_t *>(img.constScanLine(y)), rowBuffer, img.width());
        png_write_row(png, rowBuffer);
    }
    png_write_end(png, nullptr);
    return true;
}

struct DecodedHeader {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    bool alpha = false;
    std::size_t rowBytes = 0;
    std::uint64_t storedBytes = 0; // the pixels as the file packs them
};

// Reads the header and sets up the transformations that turn every colour
// type and bit depth into 8-bit RGB with or without alpha, 4 bytes a pixel.
bool ReadHeader(png_structp png, png_infop info, DecodedHeader &h)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const std::uint64_t bitsPerRow =
        std::uint64_t(png_get_image_width(png, info)) * png_get_channels(png, info) * std::uint64_t(bitDepth);
    h.storedBytes = (bitsPerRow + 7) / 8 * png_get_image_height(png, info);
    if (bitDepth == 16) {
#ifdef PNG_READ_SCALE_16_TO_8_SUPPORTED
        png_set_scale_16(png);
#else
        png_set_strip_16(png);
#endif
    }
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    h.alpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
    SetNativeRgb32Layout(png, h.alpha);
    png_read_update_info(png, info);
    h.width = png_get_image_width(png, info);
    h.height = png_get_image_height(png, info);
    h.rowBytes = png_get_rowbytes(png, info);
    return true;
}

bool ReadRows(png_structp png, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    return true;
}

PngDataError DecodeError(const std::string &what)
{
    return PngDataError("Invalid PNG data: " + what);
}

bool IsPng(const std::uint8_t *data, std::size_t size)
{
    constexpr std::size_t kSignatureSize = 8;
    return data && size >= kSignatureSize && png_sig_cmp(data, 0, kSignatureSize) == 0;
}

// Reads the chunks up to the pixels.
bool ReadInfo(png_structp png, png_infop info)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    return true;
}

std::vector<std::uint8_t> Encode(const QImage &img, const PngSettings &s, const PngText *text)
{
    if (img.isNull() || img.width() <= 0 || img.height() <= 0)
        throw std::runtime_error("PNG encoder: the image is empty");
    // The RGB rows leave the fourth byte out, so an opaque ARGB32 picture is
    // written without a copy.
    const bool alpha = HasTransparency(img);
    const bool direct = img.format() == QImage::Format_ARGB32 || (!alpha && img.format() == QImage::Format_RGB32);
    const QImage pixels = direct ? img : img.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (pixels.isNull())
        throw std::runtime_error("PNG encoder: out of memory");

    std::vector<std::uint8_t> out;
    std::vector<png_byte> rowBuffer(std::size_t(pixels.width()) * 4);
    PngJob job;
    job.out = &out;
    WriteStruct w(job);
    if (!WriteImage(w.png, w.info, pixels, s, rowBuffer.data(), text, alpha))
        throw std::runtime_error(std::string("PNG encoder: ") + job.message);
    // Steps are counted by size against the history budget; keep the real
    // memory use close to that count.
    out.shrink_to_fit();
    return out;
}

} // namespace

PngSettings DefaultPngSettings()
{
    return PngSettings{};
}

std::vector<std::uint8_t> EncodePng(const QImage &img, const PngSettings &s)
{
    return Encode(img, s, nullptr);
}

std::vector<std::uint8_t> EncodePngWithText(const QImage &img, const PngSettings &s, const PngText &text)
{
    return Encode(img, s, &text);
}

bool ReadPngText(const std::uint8_t *data, std::size_t size, const QByteArray &keyword, QByteArray &text)
{
    if (!IsPng(data, size))
        return false;
    PngJob job;
    job.in = data;
    job.inSize = size;
    ReadStruct r(job);
    if (!ReadInfo(r.png, r.info))
        return false;
    png_textp chunks = nullptr;
    const int count = png_get_text(r.png, r.info, &chunks, nullptr);
    for (int i = 0; i < count; ++i) {
        if (keyword != chunks[i].key)
            continue;
        const std::size_t length = chunks[i].compression >= PNG_ITXT_COMPRESSION_NONE ? chunks[i].itxt_length
                                                                                       : chunks[i].text_length;
        text = QByteArray(chunks[i].text, qsizetype(length));
        return true;
    }
    return false;
}

QImage DecodePng(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels)
{
    if (!IsPng(data, size))
        throw DecodeError("not a PNG image");

    PngJob job;
    job.in = data;
    job.inSize = size;
    ReadStruct r(job);
    DecodedHeader h;
    if (!ReadHeader(r.png, r.info, h))
        throw DecodeError(job.message);
    if (std::uint64_t(h.width) * h.height > maxPixels)
        throw DecodeError("image of " + std::to_string(h.width) + " x " + std::to_string(h.height) +
                          " pixels is too large");
    if (h.rowBytes != std::size_t(h.width) * 4)
        throw DecodeError("unsupported pixel layout");
    // Deflate gives at most 1032 bytes for each byte of its stream.
    constexpr std::uint64_t kDeflateMaxExpansion = 1032;
    try {
        CheckDataCanFill(h.storedBytes, job.inSize - job.inPos, kDeflateMaxExpansion);
    } catch (const std::runtime_error &e) {
        throw DecodeError(e.what());
    }

    QImage image = NewPicture(int(h.width), int(h.height));
    if (image.isNull())
        throw std::runtime_error("PNG decoder: out of memory");
    std::vector<png_bytep> rows(h.height);
    for (png_uint_32 y = 0; y < h.height; ++y)
        rows[y] = image.scanLine(int(y));
    if (!ReadRows(r.png, rows.data()))
        throw DecodeError(job.message);
    // The rows hold 0xAARRGGBB words; a file whose alpha is 255 everywhere
    // gives an opaque picture like any other.
    if (h.alpha) {
        image.reinterpretAsFormat(QImage::Format_ARGB32);
        if (!HasTransparency(image))
            image.reinterpretAsFormat(QImage::Format_RGB32);
    }
    return image;
}

void SavePngFile(const QImage &img, const QString &path)
{
    WriteFileBytes(path, EncodePng(img, DefaultPngSettings()));
}

QImage LoadPngFile(const QString &path)
{
    return LoadImageFile(path, [](const std::uint8_t *data, std::size_t size) { return DecodePng(data, size); });
}
