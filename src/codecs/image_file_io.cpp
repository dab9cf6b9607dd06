#include "codecs/image_file_io.h"

#include <QFile>
#include <QSaveFile>

#include <stdexcept>

void CheckPictureSize(std::int64_t width, std::int64_t height, std::uint64_t maxPixels)
{
    if (width <= 0 || height <= 0)
        throw std::runtime_error("The image has no pixels");
    if (std::uint64_t(width) * std::uint64_t(height) > maxPixels)
        throw std::runtime_error(QStringLiteral("The image is too large (%1 x %2 pixels)")
                                     .arg(width)
                                     .arg(height)
                                     .toStdString());
}

void CheckDataCanFill(std::uint64_t needed, std::uint64_t left, std::uint64_t ratio)
{
    // left and ratio come from a file of at most a few GiB and a small
    // constant, so the product cannot overflow.
    if (needed > left * ratio)
        throw std::runtime_error("The file is too short for the size of its picture");
}

std::string FileMessage(const char *what, const QString &path, const QString &reason)
{
    return QStringLiteral("%1 \"%2\": %3").arg(QLatin1String(what), path, reason).toStdString();
}

std::vector<std::uint8_t> ReadFileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(FileMessage("Cannot open", path, file.errorString()));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(FileMessage("Cannot read", path, file.errorString()));
    return std::vector<std::uint8_t>(bytes.cbegin(), bytes.cend());
}

void WriteFileBytes(const QString &path, const std::vector<std::uint8_t> &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error(FileMessage("Cannot create", path, file.errorString()));
    const auto size = qint64(bytes.size());
    if (file.write(reinterpret_cast<const char *>(bytes.data()), size) != size || !file.commit())
        throw std::runtime_error(FileMessage("Cannot write", path, file.errorString()));
}
