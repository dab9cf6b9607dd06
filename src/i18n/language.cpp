#include "i18n/language.h"

#include "i18n/text_decoding.h"

#include <QIODevice>

#include <array>
#include <utility>

void TLanguage::LoadFromStream(QIODevice *stream)
{
    Lines.clear();
    if (stream)
        Lines = SplitTextLines(DecodeLanguageDocument(stream->readAll()));
}

QString TLanguage::ConvertEscapes(const QString &text, bool decode)
{
    static const std::array<std::pair<QString, QString>, 3> escapes{{
        {QStringLiteral("#169"), QString(QChar(169))},
        {QStringLiteral("#13"), QStringLiteral("\r")},
        {QStringLiteral("#10"), QStringLiteral("\n")},
    }};
    QString result = text;
    for (const auto &[escape, character] : escapes) {
        if (decode)
            result.replace(escape, character);
        else
            result.replace(character, escape);
    }
    return result;
}

QString TLanguage::GetValue(const QString &key, const QString &def) const
{
    const std::optional<QString> value = FirstLineValue(Lines, key);
    if (!value || value->isEmpty())
        return def;
    return ConvertEscapes(*value, true);
}

QString TLanguage::GetName() const
{
    return GetValue(QStringLiteral("@Language"), QStringLiteral("Unknown"));
}

QString TLanguage::GetShortcut() const
{
    return GetValue(QStringLiteral("@Shortcut"), QString());
}

QString TLanguage::GetAppName() const
{
    return GetValue(QStringLiteral("@App"), QString());
}

QString TLanguage::GetLocale() const
{
    return GetValue(QStringLiteral("@Locale"), GetValue(QStringLiteral("@Abr"), QString()).toLower());
}
