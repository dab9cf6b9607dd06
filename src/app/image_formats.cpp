#include "app/image_formats.h"

#include "codecs/bmp_codec.h"
#include "codecs/gif_codec.h"
#include "codecs/jpeg_codec.h"
#include "codecs/png_codec.h"
#include "codecs/webp_codec.h"

#include <QFileInfo>

QStringList TImageFormat::ExtensionList() const
{
    return QString::fromLatin1(Extensions).split(u' ');
}

const std::vector<TImageFormat> &ImageFormats()
{
    static const std::vector<TImageFormat> formats{
        {1, "PNG images", "png", LoadPngFile, SavePngFile},
        {2, "GIF images", "gif", LoadGifFile, SaveGifFile},
        {3, "BMP images", "bmp", LoadBmpFile, SaveBmpFile},
        {5, "JPEG images", "jpg jpeg", LoadJpegFile, SaveJpegFile},
        {6, "WebP images", "webp", LoadWebpFile, SaveWebpFile},
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
