#pragma once

#include <QIcon>

// The small pictures of the Layers window, drawn rather than read from
// files, so that they follow the screen's pixel ratio.
enum TLayerGlyph { lgNew, lgDelete, lgRaise, lgLower, lgMergeDown, lgEyeOpen, lgEyeShut };

QIcon LayerGlyph(TLayerGlyph glyph);
