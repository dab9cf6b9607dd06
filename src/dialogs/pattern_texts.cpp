#include "dialogs/pattern_texts.h"

#include "i18n/ml_strings.h"

namespace {

struct TDescription {
    const char *Name;
    const char *English;
};

// In the order of the groups.
constexpr TDescription Descriptions[pgCount] = {
    {"siPatternP1", "parallelogram cells, translations only"},
    {"siPatternP2", "parallelogram cells, half turns"},
    {"siPatternPm", "rectangular cells, parallel mirrors"},
    {"siPatternPg", "rectangular cells, parallel glide reflections"},
    {"siPatternCm", "centred cells, parallel mirrors and glides"},
    {"siPatternPmm", "rectangular cells, mirrors both ways"},
    {"siPatternPmg", "rectangular cells, mirrors one way, glides the other, half turns"},
    {"siPatternPgg", "rectangular cells, glides both ways and half turns"},
    {"siPatternCmm", "centred cells, mirrors both ways and half turns"},
    {"siPatternP4", "square cells, quarter turns"},
    {"siPatternP4m", "square cells, mirrors and quarter turns"},
    {"siPatternP4g", "square cells, quarter turns off the mirrors"},
    {"siPatternP3", "hexagonal cells, third turns"},
    {"siPatternP3m1", "hexagonal cells, third turns, all on mirrors"},
    {"siPatternP31m", "hexagonal cells, third turns, some off the mirrors"},
    {"siPatternP6", "hexagonal cells, sixth turns"},
    {"siPatternP6m", "hexagonal cells, mirrors and sixth turns"},
    {"siPatternFriezeP1", "a border: translations only"},
    {"siPatternFriezeP11g", "a border: a glide along its middle"},
    {"siPatternFriezeP1m1", "a border: mirrors across it"},
    {"siPatternFriezeP11m", "a border: a mirror along its middle"},
    {"siPatternFriezeP2", "a border: half turns"},
    {"siPatternFriezeP2mg", "a border: mirrors across it, half turns between them"},
    {"siPatternFriezeP2mm", "a border: mirrors along and across it"},
};

} // namespace

void RegisterPatternStrings()
{
    MLRegisterString(siPatternTooManyCopies,
                     QStringLiteral("This cell needs too many copies on this picture. The smallest cell allowed "
                                    "is %s."));
    for (const TDescription &d : Descriptions)
        MLRegisterString(QLatin1String(d.Name), QLatin1String(d.English));
}

QString PatternDescription(TPatternGroup g)
{
    return g < pgCount ? MLString(QLatin1String(Descriptions[g].Name)) : QString();
}

QString PatternCellText(const TPattern &p)
{
    if (!UsesHeight(p.Group))
        return QString::number(p.Width);
    return QStringLiteral("%1x%2").arg(p.Width).arg(p.Height);
}
