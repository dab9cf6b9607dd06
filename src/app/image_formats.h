#pragma once

#include "codecs/image_layer.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// A picture as a file gives it: its layers, bottom to top, of one size (a
// flat file gives one), and whether the file asked for blending other than
// normal, which is read as normal.
struct TPictureFile {
    std::vector<TImageLayer> Layers;
    bool OtherBlending = false;
};

// A picture as Save hands it to a format: its layers, for a format that
// keeps them, and what they compose to.
struct TPictureToSave {
    std::vector<TImageLayer> Layers;
    QImage Composed;
};

// The image file formats the program reads and writes. Each has a fixed
// number, kept as the main window's CurrentFormat and in recovery copies;
// the file dialogs list the formats in the order of their numbers, and a
// number may stay unused.
struct TImageFormat {
    int Number;
    const char *Description;
    const char *Extensions; // separated by blanks; Save gives a name the first
    TPictureFile (*Load)(const QString &path);
    void (*Save)(const TPictureToSave &picture, const QString &path);
    // Whether the file keeps the layers; the others take the composed
    // picture only.
    bool KeepsLayers;

    QStringList ExtensionList() const;
};

// The formats in the order of their numbers.
const std::vector<TImageFormat> &ImageFormats();

// The format of that number, or nullptr.
const TImageFormat *ImageFormatNumbered(int number);
// The place of the format of that number in ImageFormats(), or -1.
qsizetype ImageFormatPlace(int number);

// The format a file name's extension names, in any letter case, or nullptr.
const TImageFormat *ImageFormatOfFile(const QString &fileName);

// The file dialogs' filter, "PNG images (*.png)|*.png|...", one entry a
// format in the order of ImageFormats().
QString ImageFileFilter();
