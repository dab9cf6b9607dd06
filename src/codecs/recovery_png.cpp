#include "codecs/recovery_png.h"

#include "codecs/png_codec.h"

#include <zlib.h>

#include <cstring>
#include <stdexcept>
#include <string_view>

namespace {

constexpr std::size_t SignatureSize = 8;
constexpr std::size_t ChunkOverhead = 12; // length, type, CRC
constexpr char ChunkType[] = "iTXt";

void PutBig32(std::vector<std::uint8_t> &out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(v >> shift));
}

std::uint32_t Big32(const std::uint8_t *p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

// Keyword, no compression, no language tag, no translated keyword, then the
// format number, a line feed and the file name in UTF-8.
std::vector<std::uint8_t> InfoChunk(const TRecoveryInfo &info)
{
    const QByteArray text = QByteArray::number(info.Format) + '\n' + info.FileName.toUtf8();
    std::vector<std::uint8_t> body(ChunkType, ChunkType + 4);
    body.insert(body.end(), RecoveryKeyword, RecoveryKeyword + sizeof RecoveryKeyword);
    body.insert(body.end(), {0, 0, 0, 0});
    body.insert(body.end(), text.cbegin(), text.cend());
    std::vector<std::uint8_t> chunk;
    PutBig32(chunk, std::uint32_t(body.size() - 4));
    chunk.insert(chunk.end(), body.begin(), body.end());
    PutBig32(chunk, std::uint32_t(crc32(0, body.data(), uInt(body.size()))));
    return chunk;
}

bool ParseInfo(std::string_view data, TRecoveryInfo &info)
{
    const std::string_view prefix(RecoveryKeyword, sizeof RecoveryKeyword);
    if (data.substr(0, prefix.size()) != prefix || data.size() < prefix.size() + 4)
        return false;
    if (data.substr(prefix.size(), 4) != std::string_view("\0\0\0\0", 4))
        return false;
    const std::string_view text = data.substr(prefix.size() + 4);
    const std::size_t newline = text.find('\n');
    if (newline == std::string_view::npos)
        return false;
    bool ok = false;
    info.Format = QByteArray(text.data(), qsizetype(newline)).toInt(&ok);
    info.FileName = QString::fromUtf8(text.data() + newline + 1, qsizetype(text.size() - newline - 1));
    return ok;
}

// Walks the chunks for the info chunk, checking its CRC.
bool FindInfo(const std::uint8_t *data, std::size_t size, TRecoveryInfo &info)
{
    std::size_t pos = SignatureSize;
    while (pos + ChunkOverhead <= size) {
        const std::size_t length = Big32(data + pos);
        if (length > size - pos - ChunkOverhead)
            return false;
        const std::uint8_t *type = data + pos + 4;
        if (std::memcmp(type, ChunkType, 4) == 0 &&
            crc32(0, type, uInt(length + 4)) == Big32(type + 4 + length) &&
            ParseInfo(std::string_view(reinterpret_cast<const char *>(type + 4), length), info))
            return true;
        pos += length + ChunkOverhead;
    }
    return false;
}

} // namespace

std::vector<std::uint8_t> EncodeRecoveryPng(const QImage &picture, const TRecoveryInfo &info)
{
    PngSettings fast;
    fast.zlibLevel = 1;
    std::vector<std::uint8_t> png = EncodePng(picture, fast);
    const std::vector<std::uint8_t> chunk = InfoChunk(info);
    const auto afterHeader = png.begin() + std::ptrdiff_t(SignatureSize + ChunkOverhead + 13);
    png.insert(afterHeader, chunk.begin(), chunk.end());
    return png;
}

QImage DecodeRecoveryPng(const std::uint8_t *data, std::size_t size, TRecoveryInfo &info)
{
    QImage picture = DecodePng(data, size);
    if (!FindInfo(data, size, info))
        throw std::runtime_error("The recovery copy has no valid file information");
    return picture;
}
