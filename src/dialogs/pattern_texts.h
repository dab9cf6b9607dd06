#pragma once

#include "engine/pattern_group.h"

#include <QString>

// The Pattern dialog's translatable texts beyond its controls' own: the
// refusal of a cell that needs too many copies, and one plain description
// per group.
inline const QString siPatternTooManyCopies = QStringLiteral("siPatternTooManyCopies");

// Registers the identifiers with their English texts.
void RegisterPatternStrings();

// What the group repeats and how, in the current language.
QString PatternDescription(TPatternGroup g);
// The cell as the messages name it: "64x48", or "64" for the groups whose
// cell has no height of its own.
QString PatternCellText(const TPattern &p);
