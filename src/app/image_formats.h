#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// The image file formats the program reads and writes. Each has a fixed
// number, kept as the main window's CurrentFormat and in recovery copies;
// the file dialogs list the formats in the order of their numbers, and a
// number may stay unused.
struct TImageFormat {
    int Number;
    const char *Description;
    const char *Extensions; // separated by blanks; Save gives a name the first
    QImage (*Load)(const QString &path);
    void (*Save)(const QImage &picture, const QString &path);

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
