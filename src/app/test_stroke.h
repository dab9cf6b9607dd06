#pragma once

#ifdef VELMORA_TEST_HOOKS

#include <QString>

class TfrmMainForm;

// Draws one stroke with the current tool from x1,y1 to x2,y2 (picture
// coordinates, as "x1,y1,x2,y2"), as a mouse drag would; anything else draws
// nothing. Lets a test make a running program change its picture.
void DrawTestStroke(TfrmMainForm &form, const QString &numbers);

#endif
