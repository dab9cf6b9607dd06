#include "codecs/recovery_png.h"

#include "codecs/png_codec.h"

#include <stdexcept>

namespace {

const QByteArray Keyword(RecoveryKeyword);

// The format number, a line feed and the file name.
bool ParseInfo(const QByteArray &text, TRecoveryInfo &info)
{
    const qsizetype newline = text.indexOf('\n');
    if (newline < 0)
        return false;
    bool ok = false;
    info.Format = text.left(newline).toInt(&ok);
    info.FileName = QString::fromUtf8(text.mid(newline + 1));
    return ok;
}

} // namespace

std::vector<std::uint8_t> EncodeRecoveryPng(const QImage &picture, const TRecoveryInfo &info)
{
    PngSettings fast;
    fast.zlibLevel = 1;
    return EncodePngWithText(picture, fast, {Keyword, QByteArray::number(info.Format) + '\n' + info.FileName.toUtf8()});
}

QImage DecodeRecoveryPng(const std::uint8_t *data, std::size_t size, TRecoveryInfo &info)
{
    QImage picture = DecodePng(data, size);
    QByteArray text;
    if (!ReadPngText(data, size, Keyword, text) || !ParseInfo(text, info))
        throw std::runtime_error("The recovery copy has no valid file information");
    return picture;
}
