#pragma once

#include <QPoint>
#include <QString>

#include <optional>
#include <utility>
#include <vector>

// The stored places of the tool windows: a list of name=left,top entries,
// each followed by "|" (the line breaks of a name=value list, folded into
// one line), such as "tools=1170,70|palette=1030,70|".

// Builds the stored form of the entries, in their order.
QString FormatToolBarsLoc(const std::vector<std::pair<QString, QPoint>> &entries);

// The place stored for the name (letter case ignored, the first entry of
// that name counts), or nothing when the entry is missing, empty, has no
// "," or holds something other than two integer numbers.
std::optional<QPoint> ToolBarLocation(const QString &stored, const QString &name);
