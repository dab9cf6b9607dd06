#include "codecs/recovery_png.h"

#include <QFileInfo>

namespace {

const QByteArray Keyword(RecoveryKeyword);

// The first line holds the format number and, since copies record the
// file's stamp, its time and size; the rest is the file name.
QByteArray InfoText(const TRecoveryInfo &info)
{
    QByteArray head = QByteArray::number(info.Format);
    if (info.File)
        head += ' ' + QByteArray::number(info.File->Time) + ' ' + QByteArray::number(info.File->Size);
    return head + '\n' + info.FileName.toUtf8();
}

// Copies of earlier versions have the format number alone in the first line.
bool ParseInfo(const QByteArray &text, TRecoveryInfo &info)
{
    const qsizetype newline = text.indexOf('\n');
    if (newline < 0)
        return false;
    const QList<QByteArray> head = text.left(newline).split(' ');
    bool ok[3] = {false, true, true};
    info.Format = head[0].toInt(&ok[0]);
    info.FileName = QString::fromUtf8(text.mid(newline + 1));
    info.File.reset();
    if (head.size() == 3)
        info.File = TFileStamp{head[1].toLongLong(&ok[1]), head[2].toLongLong(&ok[2])};
    return (head.size() == 1 || head.size() == 3) && ok[0] && ok[1] && ok[2];
}

PngSettings FastPng()
{
    PngSettings fast;
    fast.zlibLevel = 1;
    return fast;
}

void ReadInfo(const std::uint8_t *png, std::size_t size, TRecoveryInfo &info)
{
    QByteArray text;
    if (!ReadPngText(png, size, Keyword, text) || !ParseInfo(text, info))
        throw PngDataError("The recovery copy has no valid file information");
}

} // namespace

TFileStamp FileStampOf(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return {};
    return {file.lastModified().toMSecsSinceEpoch(), file.size()};
}

bool FileUnchanged(const QString &path, const TFileStamp &stamp)
{
    return stamp.Size >= 0 && FileStampOf(path) == stamp;
}

std::vector<std::uint8_t> EncodeRecoveryPng(const QImage &picture, const TRecoveryInfo &info)
{
    return EncodePngWithText(picture, FastPng(), {Keyword, InfoText(info)});
}

QImage DecodeRecoveryPng(const std::uint8_t *data, std::size_t size, TRecoveryInfo &info)
{
    QImage picture = DecodePng(data, size);
    ReadInfo(data, size, info);
    return picture;
}

std::vector<std::uint8_t> EncodeRecoveryOra(const std::vector<TImageLayer> &layers, const QImage &merged,
                                            const TRecoveryInfo &info)
{
    return EncodeOra(layers, merged, FastPng(), {Keyword, InfoText(info)});
}

TOraImage DecodeRecoveryOra(const std::uint8_t *data, std::size_t size, TRecoveryInfo &info)
{
    try {
        const std::vector<std::uint8_t> merged = ReadOraMergedPng(data, size);
        ReadInfo(merged.data(), merged.size(), info);
        return DecodeOra(data, size);
    } catch (const std::bad_alloc &) {
        throw;
    } catch (const std::exception &error) {
        throw PngDataError(error.what());
    }
}
