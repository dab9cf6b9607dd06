#include "engine/shape_outline.h"
#include "engine/parallel_strokes.h"
#include "canvas/velmora_canvas.h"

#include <cmath>

namespace {

int RoundedDistance(QPoint a, QPoint b)
{
    const std::int64_t dx = std::int64_t(b.x()) - a.x(), dy = std::int64_t(b.y()) - a.y();
    return int(std::nearbyint(std::sqrt(double(dx * dx + dy * dy))));
}

} // namespace

void TVelmoraCanvas::AddCircle()
{
    if (Tool != ctBrush || Dragging)
        return;
    SaveUndoStep(true, true);
    Modified = true;
    const QPoint q = CursorPoint;
    if (q.x() >= 0 && q.y() >= 0)
        DrawShape([&] { DrawCircles(q); });
    PictureChanged();
    RequestRepaint();
    NotifyLayers();
}

void TVelmoraCanvas::DrawCircles(QPoint q)
{
    if (ReflectionMode == rmPattern) {
        DrawPatternCircles(q);
        return;
    }
    if (ReflectionMode != rmSecondary) {
        Strokes().Whole().DrawCircles(Picture, {MasterCenter}, RoundedDistance(MasterCenter, q), MasterColor, BrushSize);
        return;
    }
    const ReflectionInput in = Reflection();
    std::vector<QPoint> centers;
    for (int i = 0; i < MasterRefCount; ++i)
        centers.push_back(SecondCenterCopy(in, i));
    Strokes().Whole().DrawCircles(Picture, centers, RoundedDistance(SecondCenter, q), MasterColor, BrushSize);
}

// A pattern has no one centre: the circle through the cursor about the
// master centre is drawn about every image of the cursor point instead,
// as far out as a ring can still reach the picture.
void TVelmoraCanvas::DrawPatternCircles(QPoint q)
{
    const int r = RoundedDistance(MasterCenter, q);
    ReflectionInput in = Reflection();
    in.reach = r + BrushSize / 2 + 2;
    Strokes().Whole().DrawCircles(Picture, PointCopies(in, q), r, MasterColor, BrushSize);
}

// A shape is one smooth stroke of its own, ended as soon as it is drawn.
void TVelmoraCanvas::DrawShape(const std::function<void()> &draw)
{
    EndStroke();
    DrawStroke(draw);
    EndStroke();
}

// Primary and Mirror primary join the rotated copies of the mouse position
// (and the mirrored ones) into one figure each; Secondary draws a figure
// around every copy of the second centre.
void TVelmoraCanvas::DrawPolygon(bool Star)
{
    const QPoint q = CursorPoint;
    const TReflectionMode mode = ReflectionMode;
    if (Tool != ctBrush || q.x() < 0 || q.y() < 0 || Dragging || MasterRefCount < 2)
        return;
    if (mode != rmPrimary && mode != rmMirrorPrimary && mode != rmSecondary)
        return;
    SaveUndoStep(true, true);
    Modified = true;
    DrawShape([&] { DrawFigures(q, Star); });
    PictureChanged();
    RequestRepaint();    NotifyLayers();
}

void TVelmoraCanvas::DrawFigures(QPoint q, bool Star)
{
    const TReflectionMode mode = ReflectionMode;
    const ReflectionInput in = Reflection();
    std::vector<QPoint> rotated, mirrored;
    for (int i = 0; i < in.n; ++i) {
        const QPoint qi = RotatePoint(in.M, q, i, in.n, false);
        if (mode == rmSecondary) {
            const TRotation around(SecondCenterCopy(in, i), qi, in.m);
            rotated.clear();
            for (int j = 0; j < in.m; ++j)
                rotated.push_back(around.Copy(j));
            DrawFigure(rotated, Star);
            continue;
        }
        rotated.push_back(qi);
        if (mode == rmMirrorPrimary)
            mirrored.push_back(RotatePoint(in.M, q, i, in.n, true, in.M, in.S));
    }
    if (mode != rmSecondary) {
        DrawFigure(rotated, Star);
        DrawFigure(mirrored, Star);
    }
}

void TVelmoraCanvas::DrawFigure(const std::vector<QPoint> &Vertices, bool Star)
{
    for (const auto &[i, j] : FigureEdges(int(Vertices.size()), Star))
        Strokes().Whole().DrawLine(Picture, Vertices[std::size_t(i)], Vertices[std::size_t(j)], MasterColor, BrushSize);
}
