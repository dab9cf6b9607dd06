#include "engine/picture_ops.h"
#include "canvas/velmora_canvas.h"

void TVelmoraCanvas::InvertPicture()
{
    SaveUndoStep(true, true);
    InvertPixels(Picture);
    Modified = true;
    RebuildMask();
    RequestRepaint();
}

void TVelmoraCanvas::GrayscalePicture()
{
    SaveUndoStep(true, true);
    GrayscalePixels(Picture);
    Modified = true;
    RebuildMask();
    RequestRepaint();
}
