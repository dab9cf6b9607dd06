#pragma once

#include <QtGlobal>

class TVelmoraCanvas;

// A key of the picture as it stands: it changes with the pixels of any
// layer and with the layers' order, names, visibility and opacity, so that
// two equal keys mean nothing was done in between.
qint64 PictureStateKey(const TVelmoraCanvas &canvas);
