#include "i18n/text_decoding.h"

#include <QStringDecoder>

#include <array>
#include <optional>

#if __has_include(<iconv.h>)
#include <iconv.h>
#define VELMORA_HAVE_ICONV 1
#endif

namespace {

constexpr int Utf8CodePage = 65001;
constexpr int Windows1252CodePage = 1252;

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; its five unassigned
// bytes map to the C1 controls, as Windows itself maps them.
constexpr std::array<char16_t, 32> Windows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString DecodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b >= 0x80 && b < 0xA0 ? Windows1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

std::optional<QString> DecodeValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

#ifdef VELMORA_HAVE_ICONV
// Bytes that the code page does not define become U+FFFD.
std::optional<QString> DecodeWithIconv(const QByteArray &bytes, int codePage)
{
    iconv_t cd = iconv_t(-1);
    for (const char *form : {"CP%1", "WINDOWS-%1"}) {
        cd = iconv_open("UTF-8", QString::fromLatin1(form).arg(codePage).toLatin1().constData());
        if (cd != iconv_t(-1))
            break;
    }
    if (cd == iconv_t(-1))
        return std::nullopt;
    QByteArray input = bytes;
    QByteArray output(input.size() * 4 + 16, Qt::Uninitialized);
    char *in = input.data();
    std::size_t inLeft = std::size_t(input.size());
    char *out = output.data();
    std::size_t outLeft = std::size_t(output.size());
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &out, &outLeft) == std::size_t(-1)) {
        if (outLeft < 3)
            break;
        // An undefined or cut-off sequence: skip one byte.
        const char replacement[] = "\xEF\xBF\xBD";
        std::copy(replacement, replacement + 3, out);
        out += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    return QString::fromUtf8(output.constData(), out - output.constData());
}
#endif

std::optional<QString> DecodeCodePage(const QByteArray &bytes, int codePage)
{
    if (codePage == Utf8CodePage)
        return QString::fromUtf8(bytes);
    if (codePage == Windows1252CodePage)
        return DecodeWindows1252(bytes);
#ifdef VELMORA_HAVE_ICONV
    return DecodeWithIconv(bytes, codePage);
#else
    return std::nullopt;
#endif
}

// The number of the first "@CodePage" line, or 0. Read as Latin-1, which
// keeps every byte, the key and its number look the same in any code page.
int DeclaredCodePage(const QByteArray &document)
{
    const std::optional<QString> value =
        FirstLineValue(SplitTextLines(QString::fromLatin1(document)), u"@CodePage");
    return value ? value->trimmed().toInt() : 0;
}

} // namespace

QString DecodeLanguageDocument(QByteArray document)
{
    const qsizetype nul = document.indexOf('\0');
    if (nul >= 0)
        document.truncate(nul);
    if (const int codePage = DeclaredCodePage(document))
        if (std::optional<QString> text = DecodeCodePage(document, codePage))
            return *text;
    if (std::optional<QString> text = DecodeValidUtf8(document))
        return *text;
    return DecodeWindows1252(document);
}

std::optional<QString> FirstLineValue(const QStringList &lines, QStringView key)
{
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq >= 0 && QStringView(line).first(eq).compare(key, Qt::CaseInsensitive) == 0)
            return line.sliced(eq + 1);
    }
    return std::nullopt;
}

QStringList SplitTextLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != u'\r' && text[end] != u'\n')
            ++end;
        lines.append(text.mid(start, end - start).toString());
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n')
            ++end;
        start = end + 1;
    }
    return lines;
}
