#pragma once

#include "codecs/image_file_io.h"
#include "codecs/image_layer.h"
#include "codecs/png_codec.h"

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

// OpenRaster files: a zip archive whose first entry is the stored
// "mimetype", then "stack.xml" describing the layers, one PNG per layer
// under "data/", a thumbnail and the merged picture.

// The most layers a file may bring.
constexpr int kMaxOraLayers = 256;

// All layers together may hold this many times the pixels one picture may
// have: 4 GiB of layers at the program's limit.
constexpr std::uint64_t kOraLayerPixelsPerPicture = 4;

struct TOraImage {
    int Width = 0;
    int Height = 0;
    std::vector<TImageLayer> Layers; // bottom to top, each Width x Height
    bool OtherBlending = false;      // a layer or stack asked for blending other than normal
};

// The layers (bottom to top, each of the merged picture's size) and the
// merged picture the caller composed from them. A layer with transparent
// pixels is written as an RGBA PNG, an opaque one as RGB. Throws
// std::runtime_error.
std::vector<std::uint8_t> EncodeOra(const std::vector<TImageLayer> &layers, const QImage &merged);
// As above, every PNG written with the given settings and the merged
// picture's with the text chunk (none when its keyword is empty).
std::vector<std::uint8_t> EncodeOra(const std::vector<TImageLayer> &layers, const QImage &merged,
                                    const PngSettings &png, const PngText &mergedText);
// The merged picture's PNG as the archive holds it.
std::vector<std::uint8_t> ReadOraMergedPng(const std::uint8_t *data, std::size_t size);

// Reads the layers as other programs write them: a layer smaller or larger
// than the picture, or moved by its x and y, is placed into a transparent
// layer of the picture's size and clipped; the layers of nested stacks take
// their place in the order, with the stack's opacity multiplied into theirs
// and hidden with it; a missing opacity or visibility is 1.0 or visible, a
// missing name empty; unknown elements and attributes are ignored, and
// other blending is read as normal with OtherBlending set. The merged
// picture and the thumbnail are not read. Throws std::runtime_error for
// data that is not such an archive or is damaged, for a picture of more
// than maxPixels pixels, a layer PNG of more, more than kMaxOraLayers
// layers, or layers of more than kOraLayerPixelsPerPicture * maxPixels
// pixels together.
TOraImage DecodeOra(const std::uint8_t *data, std::size_t size, std::uint64_t maxPixels = kMaxPicturePixels);

TOraImage LoadOraFile(const QString &path);
void SaveOraFile(const std::vector<TImageLayer> &layers, const QImage &merged, const QString &path);
