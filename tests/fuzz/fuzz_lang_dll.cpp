// Reading the language library: its resource directory, the index, the
// languages the index lists, each payload inflated and read as a language.
// Seed: the shipped lang.dll.
#include "i18n/compressed_resource_lib.h"
#include "i18n/language.h"
#include "i18n/pe_resources.h"
#include "i18n/text_decoding.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <exception>

namespace {

constexpr int MaxLanguages = 16;

void ReadLanguage(const TPeResourceImage &image, const QString &name, TLanguage &language)
{
    const std::optional<QByteArray> payload = image.Find(TPeResourceImage::RcDataType, name);
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    if (payload && !payload->isEmpty() && ReadCompressedDocument(*payload, name, &stream))
        language.LoadFromStream(&stream);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    try {
        const TPeResourceImage image(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        TLanguage index;
        ReadLanguage(image, QStringLiteral("LANGUAGE_RD"), index);
        for (const QString &name : index.Lines.mid(0, MaxLanguages)) {
            TLanguage language;
            ReadLanguage(image, name, language);
            language.GetName();
        }
    } catch (const std::exception &) {
    }
    return 0;
}
