// A language text as the library hands it over: decoding by its code page,
// line and key rules and escapes. Seeds: a UTF-8 language file and one in
// code page 1251.
#include "i18n/language.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QBuffer stream;
    stream.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    stream.open(QIODevice::ReadOnly);
    TLanguage language;
    language.LoadFromStream(&stream);
    language.GetName();
    language.GetAppName();
    const QString caption = language.GetValue(QStringLiteral("frmAbout.Label1.Caption"), QString());
    TLanguage::ConvertEscapes(caption, false);
    return 0;
}
