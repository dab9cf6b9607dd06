#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <list>
#include <vector>

struct zip;
struct zip_source;

// Zip archives held in memory, through libzip. Both classes throw
// std::runtime_error for every failure, memory included.

// Builds an archive entry by entry, in the order they are added.
class TZipWriter {
public:
    TZipWriter();
    ~TZipWriter();
    TZipWriter(const TZipWriter &) = delete;
    TZipWriter &operator=(const TZipWriter &) = delete;

    // A stored entry is written as it is, with no extra field; the others
    // are deflated. The bytes are kept until Finish.
    void Add(const QByteArray &name, std::vector<std::uint8_t> bytes, bool stored);

    // The whole archive; the writer is finished with.
    std::vector<std::uint8_t> Finish();

private:
    zip_source *Buffer = nullptr;
    zip *Archive = nullptr;
    std::list<std::vector<std::uint8_t>> Entries;
};

// Reads entries of an archive whose bytes outlive the reader. Every read is
// bounded by the archive: an entry may declare no more bytes than its data
// could give, so a small archive cannot make us allocate a large one.
// libzip's own memory grows with the entries of the central directory,
// whose count it checks against the directory's size, so it too stays
// within a multiple of the archive's size.
class TZipReader {
public:
    // Refuses data that is not a zip archive, and archives with a name that
    // climbs out of their folder (a ".." part, or a leading "/").
    TZipReader(const std::uint8_t *data, std::size_t size);
    ~TZipReader();
    TZipReader(const TZipReader &) = delete;
    TZipReader &operator=(const TZipReader &) = delete;

    // The entry's bytes. Refuses a missing or encrypted entry, compression
    // other than stored or deflated, and data that is cut short, damaged or
    // longer than the entry declares.
    std::vector<std::uint8_t> Read(const QByteArray &name) const;

private:
    zip *Archive = nullptr;
    std::size_t Size = 0;
};
