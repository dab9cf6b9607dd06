#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// A Windows PE image (DLL or EXE) held in memory and read only for its
// resources: the DOS and PE headers, the section table and the resource
// directory tree (type, name, language). Nothing of the image is mapped or
// executed, and every offset, size and count read from the file is checked
// against the file before it is used, so a damaged or hostile file can make
// a lookup fail but never read outside the data.
class TPeResourceImage {
public:
    // Resource type of raw data (RCDATA).
    static constexpr std::uint16_t RcDataType = 10;

    // Checks the headers and the section table, and that the root of the
    // resource directory, when the image has one, lies in the file. Throws
    // std::runtime_error with the reason when the image is not usable.
    explicit TPeResourceImage(QByteArray image);

    // The data of the first language of the resource with the numeric type
    // and the string name (compared without regard to letter case, as the
    // Windows loader does). Empty when the resource has no bytes; nullopt
    // when there is no such resource or the directory leading to it, or its
    // data, lies outside the file or loops back on itself.
    std::optional<QByteArray> Find(std::uint16_t type, const QString &name) const;

private:
    struct TSection {
        std::uint32_t VirtualAddress;
        std::uint32_t FileBackedSize; // bytes of the section present in the file
        std::uint32_t FileOffset;
    };

    void ReadHeaders();
    void ReadSectionTable(std::uint64_t tableOffset, std::uint32_t count);
    // The file offset of the rva range, or nullopt when no section holds all
    // of it in the file.
    std::optional<std::uint64_t> FileOffsetOf(std::uint64_t rva, std::uint64_t size) const;

    QByteArray Image;
    std::vector<TSection> Sections;
    std::uint32_t ResourceRoot = 0; // rva of the resource directory; 0: none
};
