#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <string>
#include <vector>

// What the image codecs share: whole-file reading, writing that replaces the
// file only once every byte is on disk, the size limit of an opened picture
// and the wording of their errors.

// The largest picture an image file may bring: 1 GiB as a 32-bit picture.
// Checked against the header before any pixel is allocated, so a hostile or
// corrupt file cannot make us allocate absurd amounts of memory.
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t(1) << 28;

// Work memory a reader may take for a file beyond what the file's own bytes
// could expand to: pictures of this many bytes need no proof from the data.
constexpr std::uint64_t kReaderAllowanceBytes = std::uint64_t(64) << 20;

// Throws std::runtime_error when a picture of this size may not be opened.
void CheckPictureSize(std::int64_t width, std::int64_t height, std::uint64_t maxPixels = kMaxPicturePixels);

// Throws std::runtime_error unless `left` bytes of compressed data, each
// expanding to at most `ratio` units, could give the `needed` units a
// picture is made of. Called before the picture's memory is taken, so a
// short or damaged file cannot make a reader allocate far more than its
// data could ever fill.
void CheckDataCanFill(std::uint64_t needed, std::uint64_t left, std::uint64_t ratio);

// "<what> "<path>": <reason>", the form of every file error.
std::string FileMessage(const char *what, const QString &path, const QString &reason);

// Reads the whole file; throws std::runtime_error naming the file.
std::vector<std::uint8_t> ReadFileBytes(const QString &path);

// Writes the bytes through a temporary file in the same folder that replaces
// the target only after everything was written, so a failed write leaves an
// existing file as it was. Throws std::runtime_error naming the file.
void WriteFileBytes(const QString &path, const std::vector<std::uint8_t> &bytes);

// Runs a decoder on the file's bytes; a decoder failure is reported with the
// file's name.
template <typename Decoder>
auto LoadImageFile(const QString &path, Decoder decode)
{
    const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
    try {
        return decode(bytes.data(), bytes.size());
    } catch (const std::exception &e) {
        throw std::runtime_error(FileMessage("Cannot load", path, QString::fromUtf8(e.what())));
    }
}
