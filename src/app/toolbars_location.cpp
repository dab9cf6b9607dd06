#include "app/toolbars_location.h"

#include <QStringList>

QString FormatToolBarsLoc(const std::vector<std::pair<QString, QPoint>> &entries)
{
    QString stored;
    for (const auto &[name, place] : entries)
        stored += QStringLiteral("%1=%2,%3|").arg(name).arg(place.x()).arg(place.y());
    return stored;
}

std::optional<QPoint> ToolBarLocation(const QString &stored, const QString &name)
{
    const QStringList lines = stored.split(u'|');
    for (const QString &line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || line.left(eq).compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const QString value = line.mid(eq + 1);
        const qsizetype comma = value.indexOf(u',');
        if (comma < 0)
            return std::nullopt;
        bool okLeft = false, okTop = false;
        const int left = value.left(comma).toInt(&okLeft, 10);
        const int top = value.mid(comma + 1).toInt(&okTop, 10);
        if (!okLeft || !okTop)
            return std::nullopt;
        return QPoint(left, top);
    }
    return std::nullopt;
}
