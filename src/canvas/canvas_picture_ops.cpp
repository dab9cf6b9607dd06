#include "engine/picture_ops.h"
#include "canvas/velmora_canvas.h"

void TVelmoraCanvas::InvertPicture()
{
    SaveUndoStep(true, true);
    InvertPixels(Picture);
    EndStroke();
    PictureChanged();
    Modified = true;
    RebuildMask();
    RequestRepaint();
    NotifyLayers();
}

void TVelmoraCanvas::GrayscalePicture()
{
    SaveUndoStep(true, true);
    GrayscalePixels(Picture);
    EndStroke();
    PictureChanged();
    Modified = true;
    RebuildMask();
    RequestRepaint();
    NotifyLayers();
}
