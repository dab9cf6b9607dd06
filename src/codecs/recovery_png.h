#pragma once

#include "codecs/ora_codec.h"
#include "codecs/png_codec.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// Recovery copies: ordinary PNG images that any viewer opens, with the
// picture's file name and format in an iTXt chunk under RecoveryKeyword. A
// picture of more than one layer is copied as an OpenRaster file, the chunk
// in its merged picture.

inline constexpr char RecoveryKeyword[] = "Velmora recovery";

// A file as it was seen: its modification time (milliseconds since the
// epoch) and size. A negative size is no file, and matches none.
struct TFileStamp {
    qint64 Time = 0;
    qint64 Size = -1;
    bool operator==(const TFileStamp &) const = default;
};

// The file as it is now.
TFileStamp FileStampOf(const QString &path);

// True when the file is still as the stamp saw it.
bool FileUnchanged(const QString &path, const TFileStamp &stamp);

struct TRecoveryInfo {
    QString FileName; // empty for a picture never saved
    int Format = 1;   // the main window's format number
    // The named file as the instance last read or wrote it; copies of
    // earlier versions carry none.
    std::optional<TFileStamp> File;
};

// Encodes the picture with fast compression and the info chunk after IHDR.
// Throws std::runtime_error as EncodePng does.
std::vector<std::uint8_t> EncodeRecoveryPng(const QImage &picture, const TRecoveryInfo &info);

// Decodes the pixels with the image file PNG reader and the info from the
// chunk. Throws PngDataError for a damaged image or a missing or damaged
// info chunk, and std::runtime_error when memory runs out.
QImage DecodeRecoveryPng(const std::uint8_t *data, std::size_t size, TRecoveryInfo &info);

// The layers (bottom to top) and their merged picture as an OpenRaster
// copy, with fast compression. Throws std::runtime_error as EncodeOra does.
std::vector<std::uint8_t> EncodeRecoveryOra(const std::vector<TImageLayer> &layers, const QImage &merged,
                                            const TRecoveryInfo &info);

// Reads such a copy's layers and info. Throws std::bad_alloc when memory
// runs out and PngDataError for anything else: the copy is then kept aside
// rather than read again at every start.
TOraImage DecodeRecoveryOra(const std::uint8_t *data, std::size_t size, TRecoveryInfo &info);
