#include "engine/coloring_mask.h"
#include "engine/flood_fill.h"
#include "canvas/velmora_canvas.h"

#include <algorithm>
#include <vector>

// All seeds come from the click itself: taking the reflected ones from the
// last mouse move would fill a lopsided set of areas after a click that
// arrived without a move to the same place (a tap, or a click right after
// the window was activated).
void TVelmoraCanvas::PaintBucket(QPoint P)
{
    if (!BucketFill)
        BucketFill = std::make_unique<TFloodFill>();
    BucketFill->SetTolerance(FillTolerance);
    const bool tiles = ReflectionMode == rmPattern && TilesPicture(PatternCell, Picture.size());
    BucketFill->SetWrap(tiles, tiles && !IsFrieze(PatternCell.Group));
    const TColoringMask *mask = ActiveMask();
    TFloodFill::RunHook saveRun;
    if (mask) {
        if (!BucketChange)
            BucketChange = std::make_unique<TMaskedChange>();
        BucketChange->Begin(Picture);
        saveRun = [this](int y, int x0, int x1) { BucketChange->Save(Picture, y, x0, x1); };
    }
    // One click is one fill: every seed is matched against the picture as
    // it was before the click. Sampling all layers finds the areas in the
    // composed picture and fills them on the active layer, so that colours
    // go under the lines of a layer above.
    const std::vector<QPoint> seeds = PointCopies(Reflection(), P);
    if (std::any_of(seeds.begin(), seeds.end(), [this](QPoint seed) { return Picture.rect().contains(seed); }))
        Modified = true;
    const QImage &source = FillSampleAll ? Composed() : Picture;
    BucketFill->Fill(source, Picture, seeds, ColorToRgb(MasterColor), saveRun);
    if (mask)
        BucketChange->ApplyThroughMask(Picture, *mask);
    PictureChanged();
    RequestRepaint();
    NotifyLayers();
}
