#include "i18n/file_dialog_filter.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace {

// A text ending in a group of patterns in parentheses.
const QRegularExpression TrailingPatterns(QStringLiteral(R"(^(.*?)\s*\(([^()]*)\)\s*$)"));
const QRegularExpression PatternSeparators(QStringLiteral("[ ;]+"));

QStringList Patterns(const QString &list)
{
    return list.split(PatternSeparators, Qt::SkipEmptyParts);
}

QString NameFilterOf(const QString &description, const QString &mask)
{
    QStringList patterns = Patterns(mask);
    if (patterns.isEmpty())
        patterns.append(QStringLiteral("*"));
    // Qt reads the patterns from the last parentheses, separated by blanks.
    const QString group = QLatin1Char('(') + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    const QRegularExpressionMatch m = TrailingPatterns.match(description);
    const QString base = m.hasMatch() && Patterns(m.captured(2)) == patterns ? m.captured(1) : description;
    return base.isEmpty() ? group : base + QLatin1Char(' ') + group;
}

} // namespace

QStringList NameFiltersOf(const QString &filter)
{
    QStringList nameFilters;
    if (filter.isEmpty())
        return nameFilters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < parts.size(); i += 2)
        nameFilters.append(NameFilterOf(parts[i], i + 1 < parts.size() ? parts[i + 1] : QString()));
    return nameFilters;
}

QString FilterOf(const QStringList &nameFilters)
{
    QStringList parts;
    for (const QString &nameFilter : nameFilters) {
        const QRegularExpressionMatch m = TrailingPatterns.match(nameFilter);
        parts << nameFilter << Patterns(m.hasMatch() ? m.captured(2) : nameFilter).join(QLatin1Char(';'));
    }
    return parts.join(QLatin1Char('|'));
}

QString DialogFilter(const QFileDialog &dialog)
{
    return FilterOf(dialog.nameFilters());
}

void SetDialogFilter(QFileDialog &dialog, const QString &filter)
{
    const qsizetype selected = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
    const QStringList nameFilters = NameFiltersOf(filter);
    dialog.setNameFilters(nameFilters);
    if (selected >= 0 && selected < nameFilters.size())
        dialog.selectNameFilter(nameFilters[selected]);
}
