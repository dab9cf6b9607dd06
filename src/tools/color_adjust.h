#pragma once

#include "engine/canvas_types.h"

// Per-channel lightening and darkening of a colour, saturating at white and
// black. The top byte of the colour is carried over unchanged.
TColor LightenColor(TColor c, int amount);
TColor DarkenColor(TColor c, int amount);
