#include "engine/coloring_mask.h"
#include "canvas/velmora_canvas.h"

void TVelmoraCanvas::SetAutoMask(bool b)
{
    if (b == AutoMask)
        return;
    AutoMask = b;
    if (b && ColoringMode != cmNone)
        RebuildMask();
}

// The mask is not shown on the canvas, so no repaint is needed.
void TVelmoraCanvas::SetColoringMode(TColoringMode m)
{
    if (m == ColoringMode)
        return;
    ColoringMode = m;
    RebuildMask();
}

void TVelmoraCanvas::RebuildMask()
{
    if (ColoringMode == cmNone) {
        Mask.reset();
        return;
    }
    if (!Mask)
        Mask = std::make_unique<TColoringMask>();
    Mask->Rebuild(Picture, SecondColor, ColoringMode);
}

void TVelmoraCanvas::AssignMaskTo(QImage &bitmap) const
{
    if (Mask)
        bitmap = Mask->ToImage();
}

// Every change of the picture's size drops or rebuilds the mask, so a mask
// of another size can only mean a caller broke that rule; painting then
// ignores it rather than reading past its rows.
const TColoringMask *TVelmoraCanvas::ActiveMask() const
{
    if (ColoringMode == cmNone || !Mask || Mask->Width() != PictureWidth() || Mask->Height() != PictureHeight())
        return nullptr;
    return Mask.get();
}
