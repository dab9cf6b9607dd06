#pragma once

#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

class QPainter;

// Cursor ids of the canvas tools; 0 is the system arrow.
enum : int {
    crDefault = 0,
    crSharp = 1,
    crBrush = 2,
    crEraser = 3,
    crEyedrop = 4,
    crPaintBucket = 5,
    crSetPoint = 6,
};

// Loads the six tool cursors from the resources and registers them under the
// ids above. A cursor whose picture is missing gets a built-in shape.
void LoadCanvasCursors();

// The cursor registered under Id; the arrow for crDefault, unknown ids and
// before LoadCanvasCursors.
QCursor CanvasCursor(int Id);

// Indexes of the centre icons; all are 32 x 32 with the marked point at
// pixel (12, 12).
enum : int {
    ciMaster = 0,
    ciSecondary = 1,
    ciMirrorSecond = 2,
    ciPictureMiddle = 3,
    ciSecondCopy = 4,
    CenterIconCount = 5,
};
constexpr int CenterIconOffset = 12;

// Loads the five centre icons. A missing resource leaves a null image.
void LoadCanvasIcons();

// The loaded icon; a null image for an unknown index or a missing resource.
// Icons 0 to 3 are inversion masks (white shape on black), icon 4 is ARGB.
const QImage &CenterIcon(int Index);

// Draws icon Index with its top-left corner at TopLeft. Icons 0 to 3 invert
// the colour of the pixels under their shape and leave all others as they
// were, so they show on any colour and drawing twice restores the target;
// icon 4 is blended normally. Draws nothing for a null icon.
void DrawCenterIcon(QPainter &p, int Index, QPoint TopLeft);

// The soft drop shadow picture (400 x 300) drawn around the canvas. Loading
// does nothing when it is already loaded; any failure is swallowed, leaves
// it absent and returns false, so a later call tries again.
bool LoadShadowImage();
const QImage *ShadowImage();  // nullptr while absent
void FreeShadowImage();

// Reads the shadow picture from Path instead of the built-in resource; an
// empty Path restores the resource.
void SetShadowResourcePathForTesting(const QString &Path);

// How many times LoadShadowImage has tried to read the resource, so tests
// can see how often a failing one is retried.
int ShadowLoadAttempts();

// Loads cursors and icons once per process; later calls do nothing.
void LoadCanvasModuleResources();
