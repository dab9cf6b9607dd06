#include "i18n/compressed_resource_lib.h"

#include "i18n/pe_resources.h"

#include <QFile>
#include <QIODevice>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <vector>

namespace {

constexpr qint64 MaxLibrarySize = qint64(256) << 20;
// Far beyond any language text; a few kilobytes of zlib data could
// otherwise claim gigabytes.
constexpr std::int64_t MaxDocumentSize = std::int64_t(64) << 20;
constexpr std::size_t CopyChunk = 64 * 1024;

// Inflates one zlib stream held in memory, a piece at a time.
class TInflater {
public:
    explicit TInflater(const QByteArray &input)
    {
        Z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(input.constData()));
        Z.avail_in = uInt(input.size());
        if (inflateInit(&Z) != Z_OK)
            throw std::bad_alloc();
    }
    ~TInflater() { inflateEnd(&Z); }
    TInflater(const TInflater &) = delete;
    TInflater &operator=(const TInflater &) = delete;

    // Fills up to size bytes; fewer when the stream ends early or is corrupt.
    std::size_t Read(char *out, std::size_t size)
    {
        std::size_t done = 0;
        while (done < size && Status == Z_OK) {
            Z.next_out = reinterpret_cast<Bytef *>(out + done);
            Z.avail_out = uInt(size - done);
            Status = inflate(&Z, Z_NO_FLUSH);
            done = size - Z.avail_out;
        }
        return done;
    }

    // Why the stream stopped short: zlib's complaint about corrupt data, or
    // empty when the data merely ended.
    QString Fault() const
    {
        if (Status == Z_OK || Status == Z_STREAM_END || Status == Z_BUF_ERROR)
            return QString();
        return QString::fromLatin1(Z.msg ? Z.msg : "corrupt data");
    }

private:
    z_stream Z{};
    int Status = Z_OK;
};

} // namespace

EResourceLibraryError::EResourceLibraryError(const QString &reason)
    : std::runtime_error("Cannot load resource library")
    , FReason(reason)
{
}

TCompressedResourceLib::TCompressedResourceLib(const QString &fileName)
    : FileName(fileName)
{
    Load();
}

TCompressedResourceLib::~TCompressedResourceLib() = default;

void TCompressedResourceLib::Load()
{
    if (Image)
        return;
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EResourceLibraryError(file.errorString());
    if (file.size() > MaxLibrarySize)
        throw EResourceLibraryError(QStringLiteral("the file is larger than 256 MiB"));
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EResourceLibraryError(file.errorString());
    try {
        Image = std::make_unique<TPeResourceImage>(std::move(bytes));
    } catch (const std::runtime_error &e) {
        throw EResourceLibraryError(QString::fromStdString(e.what()));
    }
}

void TCompressedResourceLib::Unload()
{
    Image.reset();
}

bool TCompressedResourceLib::GetResource(const QString &name, QIODevice *stream) const
{
    if (!stream || !stream->isWritable())
        throw std::runtime_error("Invalid output stream");
    if (!Image)
        throw std::runtime_error("Resource library not loaded");
    const std::optional<QByteArray> data = Image->Find(TPeResourceImage::RcDataType, name);
    if (!data || data->isEmpty())
        return false;
    return ReadCompressedDocument(*data, name, stream);
}

bool ReadCompressedDocument(const QByteArray &payload, const QString &name, QIODevice *stream)
{
    TInflater inflater(payload);
    unsigned char length[4];
    if (inflater.Read(reinterpret_cast<char *>(length), 4) < 4) {
        const QString fault = inflater.Fault();
        throw std::runtime_error(
            (fault.isEmpty() ? QStringLiteral("Resource \"%1\" is too short to hold its length").arg(name)
                             : QStringLiteral("Cannot decompress resource \"%1\": %2").arg(name, fault))
                .toStdString());
    }
    const auto n = std::int32_t(std::uint32_t(length[0]) | std::uint32_t(length[1]) << 8 |
                                std::uint32_t(length[2]) << 16 | std::uint32_t(length[3]) << 24);
    if (n <= 0 || n > MaxDocumentSize)
        return false;

    std::vector<char> buffer(std::min<std::size_t>(std::size_t(n), CopyChunk));
    for (std::size_t remaining = std::size_t(n); remaining > 0;) {
        const std::size_t wanted = std::min(remaining, buffer.size());
        const std::size_t got = inflater.Read(buffer.data(), wanted);
        if (got > 0 && stream->write(buffer.data(), qint64(got)) != qint64(got))
            return false;
        if (got < wanted)
            return false;
        remaining -= got;
    }
    stream->seek(0);
    return true;
}
