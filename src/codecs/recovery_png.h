#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// Recovery copies: ordinary PNG images that any viewer opens, with the
// picture's file name and format in an iTXt chunk under RecoveryKeyword.

inline constexpr char RecoveryKeyword[] = "Velmora recovery";

struct TRecoveryInfo {
    QString FileName; // empty for a picture never saved
    int Format = 1;   // the main window's format number
};

// Encodes the picture with fast compression and the info chunk after IHDR.
// Throws std::runtime_error as EncodePng does.
std::vector<std::uint8_t> EncodeRecoveryPng(const QImage &picture, const TRecoveryInfo &info);

// Decodes the pixels with the image file PNG reader and the info from the
// chunk. Throws std::runtime_error for a damaged image or a missing or
// damaged info chunk.
QImage DecodeRecoveryPng(const std::uint8_t *data, std::size_t size, TRecoveryInfo &info);
