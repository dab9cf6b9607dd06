#include "codecs/zip_archive.h"

#include <QList>
#include <QString>

#include <zip.h>

#include <stdexcept>

namespace {

// Deflate gives at most 1032 bytes for each byte of its stream.
constexpr std::uint64_t kDeflateMaxExpansion = 1032;

std::runtime_error ZipError(const char *what, zip_error_t *error)
{
    const QString reason = QString::fromUtf8(zip_error_strerror(error));
    return std::runtime_error(QStringLiteral("%1: %2").arg(QLatin1String(what), reason).toStdString());
}

std::runtime_error ArchiveError(const char *what, zip_t *archive)
{
    return ZipError(what, zip_get_error(archive));
}

// "<start> "<name>" <end>", the form of every error about one entry.
std::runtime_error EntryError(const char *start, const QByteArray &name, const char *end)
{
    return std::runtime_error(QStringLiteral("%1 \"%2\" %3")
                                  .arg(QLatin1String(start), QString::fromUtf8(name), QLatin1String(end))
                                  .trimmed()
                                  .toStdString());
}

bool ClimbsOut(const QByteArray &name)
{
    if (name.startsWith('/') || name.startsWith('\\'))
        return true;
    QByteArray parts = name;
    parts.replace('\\', '/');
    return parts.split('/').contains("..");
}

// An archive on the bytes, or on an empty buffer to write into. The archive
// frees its buffer with itself; asked for the buffer, the caller gets a
// reference of its own, to read what the archive wrote.
zip_t *OpenOnBuffer(const std::uint8_t *data, std::size_t size, int flags, const char *failure,
                    zip_source_t **buffer = nullptr)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(data, size, 0, &error);
    zip_t *archive = source ? zip_open_from_source(source, flags, &error) : nullptr;
    if (!archive) {
        const std::runtime_error reason = ZipError(failure, &error);
        zip_error_fini(&error);
        if (source)
            zip_source_free(source);
        throw reason;
    }
    zip_error_fini(&error);
    if (buffer) {
        zip_source_keep(source);
        *buffer = source;
    }
    return archive;
}

} // namespace

TZipWriter::TZipWriter()
{
    Archive = OpenOnBuffer(nullptr, 0, ZIP_TRUNCATE, "Cannot make the archive", &Buffer);
}

TZipWriter::~TZipWriter()
{
    if (Archive)
        zip_discard(Archive);
    zip_source_free(Buffer);
}

void TZipWriter::Add(const QByteArray &name, std::vector<std::uint8_t> bytes, bool stored)
{
    const std::vector<std::uint8_t> &kept = Entries.emplace_back(std::move(bytes));
    zip_source_t *source = zip_source_buffer(Archive, kept.data(), kept.size(), 0);
    if (!source)
        throw ArchiveError("Cannot add to the archive", Archive);
    const zip_int64_t index = zip_file_add(Archive, name.constData(), source, ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(source);
        throw ArchiveError("Cannot add to the archive", Archive);
    }
    if (zip_set_file_compression(Archive, zip_uint64_t(index), stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) < 0)
        throw ArchiveError("Cannot add to the archive", Archive);
}

std::vector<std::uint8_t> TZipWriter::Finish()
{
    if (zip_close(Archive) < 0)
        throw ArchiveError("Cannot write the archive", Archive);
    Archive = nullptr;
    Entries.clear();
    zip_stat_t stat;
    if (zip_source_stat(Buffer, &stat) < 0 || !(stat.valid & ZIP_STAT_SIZE) || zip_source_open(Buffer) < 0)
        throw ZipError("Cannot read the archive", zip_source_error(Buffer));
    std::vector<std::uint8_t> out(stat.size);
    const zip_int64_t read = zip_source_read(Buffer, out.data(), out.size());
    zip_source_close(Buffer);
    if (read != zip_int64_t(out.size()))
        throw ZipError("Cannot read the archive", zip_source_error(Buffer));
    return out;
}

TZipReader::TZipReader(const std::uint8_t *data, std::size_t size)
    : Archive(OpenOnBuffer(data, size, ZIP_RDONLY, "The data is not a zip archive")), Size(size)
{
    const zip_int64_t count = zip_get_num_entries(Archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *name = zip_get_name(Archive, zip_uint64_t(i), ZIP_FL_ENC_RAW);
        if (!name || ClimbsOut(QByteArray(name))) {
            zip_discard(Archive);
            throw std::runtime_error("The archive names a file outside its folder");
        }
    }
}

TZipReader::~TZipReader()
{
    zip_discard(Archive);
}

std::vector<std::uint8_t> TZipReader::Read(const QByteArray &name) const
{
    const zip_int64_t index = zip_name_locate(Archive, name.constData(), ZIP_FL_ENC_RAW);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(Archive, zip_uint64_t(index), 0, &stat) < 0)
        throw EntryError("The archive has no", name, "");
    constexpr zip_uint64_t needed = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD;
    if ((stat.valid & needed) != needed || ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) &&
                                            stat.encryption_method != ZIP_EM_NONE))
        throw EntryError("The archive's", name, "cannot be read");
    if (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE)
        throw EntryError("The archive's", name, "is compressed in a way we cannot read");
    // Checked before the memory is taken: the entry's data must be in the
    // archive and able to give the bytes it declares.
    const std::uint64_t ratio = stat.comp_method == ZIP_CM_STORE ? 1 : kDeflateMaxExpansion;
    if (stat.comp_size > Size || stat.size > stat.comp_size * ratio)
        throw EntryError("The archive's", name, "declares more than its data holds");

    std::vector<std::uint8_t> bytes(stat.size);
    zip_file_t *file = zip_fopen_index(Archive, zip_uint64_t(index), 0);
    if (!file)
        throw ArchiveError("Cannot read the archive", Archive);
    // One more byte is asked for: a whole entry is checked against its
    // checksum only when its end is read.
    std::uint8_t beyond = 0;
    const zip_int64_t read = bytes.empty() ? 0 : zip_fread(file, bytes.data(), bytes.size());
    const zip_int64_t more = read == zip_int64_t(bytes.size()) ? zip_fread(file, &beyond, 1) : -1;
    zip_fclose(file);
    if (read != zip_int64_t(bytes.size()) || more != 0)
        throw EntryError("The archive's", name, "is damaged");
    return bytes;
}
