#include "i18n/pe_resources.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr std::uint32_t MaxSections = 96; // the Windows loader refuses more
constexpr std::uint64_t DosHeaderSize = 64;
constexpr std::uint64_t PeHeaderPointer = 0x3C;
constexpr std::uint64_t CoffHeaderSize = 20;
constexpr std::uint64_t SectionHeaderSize = 40;
constexpr std::uint64_t DataDirectorySize = 8;
constexpr std::uint64_t ResourceDataDirectory = 2;
constexpr std::uint64_t DirectoryHeaderSize = 16;
constexpr std::uint64_t DirectoryEntrySize = 8;
constexpr std::uint64_t DataEntrySize = 16;
constexpr std::uint32_t HighBit = 0x80000000u;
constexpr std::uint16_t Pe32Magic = 0x10B;
constexpr std::uint16_t Pe32PlusMagic = 0x20B;

// Thrown inside a lookup when the resource tree points outside the file or
// back onto a directory already visited.
struct TBadResourceTree {};

std::uint16_t Le16(const QByteArray &d, std::uint64_t at)
{
    const auto *p = reinterpret_cast<const unsigned char *>(d.constData()) + at;
    return std::uint16_t(p[0] | p[1] << 8);
}

std::uint32_t Le32(const QByteArray &d, std::uint64_t at)
{
    return std::uint32_t(Le16(d, at)) | std::uint32_t(Le16(d, at + 2)) << 16;
}

bool Fits(const QByteArray &d, std::uint64_t at, std::uint64_t size)
{
    const auto total = std::uint64_t(d.size());
    return at <= total && size <= total - at;
}

[[noreturn]] void Refuse(const QString &reason)
{
    throw std::runtime_error(reason.toStdString());
}

} // namespace

TPeResourceImage::TPeResourceImage(QByteArray image)
    : Image(std::move(image))
{
    ReadHeaders();
}

void TPeResourceImage::ReadHeaders()
{
    if (!Fits(Image, 0, DosHeaderSize) || Image[0] != 'M' || Image[1] != 'Z')
        Refuse(QStringLiteral("the file is not a Windows library (no DOS header)"));
    const std::uint64_t pe = Le32(Image, PeHeaderPointer);
    if (!Fits(Image, pe, 4 + CoffHeaderSize))
        Refuse(QStringLiteral("the PE header lies outside the file"));
    if (std::memcmp(Image.constData() + pe, "PE\0\0", 4) != 0)
        Refuse(QStringLiteral("the file is not a Windows library (no PE signature)"));

    const std::uint64_t coff = pe + 4;
    const std::uint32_t sectionCount = Le16(Image, coff + 2);
    const std::uint64_t optionalSize = Le16(Image, coff + 16);
    const std::uint64_t optional = coff + CoffHeaderSize;
    if (optionalSize < 2 || !Fits(Image, optional, optionalSize))
        Refuse(QStringLiteral("the optional header is missing or lies outside the file"));

    std::uint64_t countField = 0;
    std::uint64_t directories = 0;
    switch (Le16(Image, optional)) {
    case Pe32Magic: countField = 92; directories = 96; break;
    case Pe32PlusMagic: countField = 108; directories = 112; break;
    default: Refuse(QStringLiteral("the optional header has an unknown format"));
    }
    if (optionalSize < directories)
        Refuse(QStringLiteral("the optional header is too short"));
    const std::uint64_t directoryCount =
        std::min<std::uint64_t>(Le32(Image, optional + countField), (optionalSize - directories) / DataDirectorySize);

    ReadSectionTable(optional + optionalSize, sectionCount);

    if (directoryCount <= ResourceDataDirectory)
        return;
    const std::uint64_t resource = optional + directories + ResourceDataDirectory * DataDirectorySize;
    const std::uint32_t rva = Le32(Image, resource);
    if (rva == 0 || Le32(Image, resource + 4) == 0)
        return;
    if (!FileOffsetOf(rva, DirectoryHeaderSize))
        Refuse(QStringLiteral("the resource directory lies outside the file"));
    ResourceRoot = rva;
}

void TPeResourceImage::ReadSectionTable(std::uint64_t tableOffset, std::uint32_t count)
{
    if (count > MaxSections)
        Refuse(QStringLiteral("the file claims %1 sections").arg(count));
    if (!Fits(Image, tableOffset, count * SectionHeaderSize))
        Refuse(QStringLiteral("the section table lies outside the file"));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t at = tableOffset + i * SectionHeaderSize;
        const std::uint32_t virtualSize = Le32(Image, at + 8);
        const std::uint32_t rawSize = Le32(Image, at + 16);
        const std::uint32_t rawOffset = Le32(Image, at + 20);
        if (rawSize != 0 && !Fits(Image, rawOffset, rawSize))
            Refuse(QStringLiteral("the file is truncated (section %1 is cut off)").arg(i + 1));
        // Beyond its raw data a section is zero-filled memory, which holds
        // nothing we read.
        const std::uint32_t backed = virtualSize != 0 ? std::min(virtualSize, rawSize) : rawSize;
        Sections.push_back({Le32(Image, at + 12), backed, rawOffset});
    }
}

std::optional<std::uint64_t> TPeResourceImage::FileOffsetOf(std::uint64_t rva, std::uint64_t size) const
{
    for (const TSection &s : Sections) {
        if (rva < s.VirtualAddress)
            continue;
        const std::uint64_t into = rva - s.VirtualAddress;
        if (into <= s.FileBackedSize && size <= s.FileBackedSize - into)
            return s.FileOffset + into;
    }
    return std::nullopt;
}

std::optional<QByteArray> TPeResourceImage::Find(std::uint16_t type, const QString &name) const
{
    if (!ResourceRoot)
        return std::nullopt;

    // The file offset of size bytes at an offset from the directory root.
    auto tree = [this](std::uint64_t offset, std::uint64_t size) {
        const auto at = FileOffsetOf(std::uint64_t(ResourceRoot) + offset, size);
        if (!at)
            throw TBadResourceTree{};
        return *at;
    };
    std::vector<std::uint32_t> visited;
    // The target of the first entry of the directory whose name field
    // matches, or nullopt.
    auto entry = [&](std::uint32_t directory, auto &&matches) -> std::optional<std::uint32_t> {
        if (std::find(visited.begin(), visited.end(), directory) != visited.end())
            throw TBadResourceTree{};
        visited.push_back(directory);
        const std::uint64_t header = tree(directory, DirectoryHeaderSize);
        const std::uint64_t count = std::uint64_t(Le16(Image, header + 12)) + Le16(Image, header + 14);
        const std::uint64_t entries = tree(directory + DirectoryHeaderSize, count * DirectoryEntrySize);
        for (std::uint64_t i = 0; i < count; ++i) {
            const std::uint64_t e = entries + i * DirectoryEntrySize;
            if (matches(Le32(Image, e)))
                return Le32(Image, e + 4);
        }
        return std::nullopt;
    };
    auto subdirectory = [](std::uint32_t target) {
        if (!(target & HighBit))
            throw TBadResourceTree{};
        return target & ~HighBit;
    };
    auto isType = [type](std::uint32_t field) { return field == type; };
    auto isName = [&](std::uint32_t field) {
        if (!(field & HighBit))
            return false;
        const std::uint32_t offset = field & ~HighBit;
        const std::uint64_t length = Le16(Image, tree(offset, 2));
        const std::uint64_t chars = tree(offset + 2, 2 * length);
        QString stored(qsizetype(length), Qt::Uninitialized);
        for (std::uint64_t i = 0; i < length; ++i)
            stored[qsizetype(i)] = QChar(Le16(Image, chars + 2 * i));
        return stored.compare(name, Qt::CaseInsensitive) == 0;
    };
    auto anyLanguage = [](std::uint32_t) { return true; };

    try {
        const auto types = entry(0, isType);
        if (!types)
            return std::nullopt;
        const auto names = entry(subdirectory(*types), isName);
        if (!names)
            return std::nullopt;
        const auto language = entry(subdirectory(*names), anyLanguage);
        if (!language || (*language & HighBit))
            return std::nullopt;
        const std::uint64_t data = tree(*language, DataEntrySize);
        const std::uint32_t size = Le32(Image, data + 4);
        if (size == 0)
            return QByteArray();
        const auto at = FileOffsetOf(Le32(Image, data), size);
        if (!at)
            return std::nullopt;
        return Image.sliced(qsizetype(*at), qsizetype(size));
    } catch (const TBadResourceTree &) {
        return std::nullopt;
    }
}
