#include "app/image_formats.h"

#include "codecs/bmp_codec.h"
#include "codecs/gif_codec.h"
#include "codecs/image_alpha.h"
#include "codecs/jpeg_codec.h"
#include "codecs/ora_codec.h"
#include "codecs/png_codec.h"
#include "codecs/webp_codec.h"

#include <QFileInfo>

namespace {

template <QImage (*LoadImage)(const QString &)>
TPictureFile LoadFlat(const QString &path)
{
    TPictureFile file;
    file.Layers.push_back(TImageLayer{QString(), true, 100, LoadImage(path)});
    return file;
}

template <void (*SaveImage)(const QImage &, const QString &)>
void SaveComposed(const TPictureToSave &picture, const QString &path)
{
    SaveImage(picture.Composed, path);
}

// JPEG has no transparency; the picture goes over white, as in BMP files.
void SaveJpegOverWhite(const QImage &picture, const QString &path)
{
    SaveJpegFile(OverWhite(picture), path);
}

TPictureFile LoadOra(const QString &path)
{
    TOraImage ora = LoadOraFile(path);
    return {std::move(ora.Layers), ora.OtherBlending};
}

void SaveOra(const TPictureToSave &picture, const QString &path)
{
    SaveOraFile(picture.Layers, picture.Composed, path);
}

} // namespace

QStringList TImageFormat::ExtensionList() const
{
    return QString::fromLatin1(Extensions).split(u' ');
}

const std::vector<TImageFormat> &ImageFormats()
{
    static const std::vector<TImageFormat> formats{
        {1, "PNG images", "png", LoadFlat<LoadPngFile>, SaveComposed<SavePngFile>, false},
        {2, "GIF images", "gif", LoadFlat<LoadGifFile>, SaveComposed<SaveGifFile>, false},
        {3, "BMP images", "bmp", LoadFlat<LoadBmpFile>, SaveComposed<SaveBmpFile>, false},
        {4, "OpenRaster", "ora", LoadOra, SaveOra, true},
        {5, "JPEG images", "jpg jpeg", LoadFlat<LoadJpegFile>, SaveComposed<SaveJpegOverWhite>, false},
        {6, "WebP images", "webp", LoadFlat<LoadWebpFile>, SaveComposed<SaveWebpFile>, false},
    };
    return formats;
}

const TImageFormat *ImageFormatNumbered(int number)
{
    const qsizetype place = ImageFormatPlace(number);
    return place < 0 ? nullptr : &ImageFormats()[std::size_t(place)];
}

qsizetype ImageFormatPlace(int number)
{
    const std::vector<TImageFormat> &formats = ImageFormats();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        if (formats[i].Number == number)
            return qsizetype(i);
    }
    return -1;
}

const TImageFormat *ImageFormatOfFile(const QString &fileName)
{
    const QString ext = QFileInfo(fileName).suffix().toLower();
    for (const TImageFormat &format : ImageFormats()) {
        if (format.ExtensionList().contains(ext))
            return &format;
    }
    return nullptr;
}

QString ImageFileFilter()
{
    QStringList entries;
    for (const TImageFormat &format : ImageFormats()) {
        QStringList patterns;
        for (const QString &ext : format.ExtensionList())
            patterns << QStringLiteral("*.") + ext;
        entries << QStringLiteral("%1 (%2)").arg(QLatin1String(format.Description), patterns.join(u' '))
                << patterns.join(u';');
    }
    return entries.join(u'|');
}
