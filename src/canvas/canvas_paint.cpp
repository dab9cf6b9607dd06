#include "canvas/canvas_resources.h"
#include "canvas/velmora_canvas.h"

#include <QPaintEvent>
#include <QHash>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

// The display: the picture centred on a grey field with its shadow and
// frame, the centre icons with their counts, the grid and the drawing-point
// markers. Qt already double-buffers the control, so a paint draws the
// exposed part straight onto the control's painter; the screen never shows a
// half-drawn state and the picture is copied only once. Everything is drawn
// in control coordinates and clipped to the exposed part, so a part of the
// control gets exactly the pixels of a whole paint.

namespace {

const QColor DisplayGrey(127, 127, 127);
constexpr int IconOffset = 12;
constexpr int MarkerHalf = 3;
constexpr int ShadowBand = 20;
constexpr int ShadowCorner = 40;

// One stretched piece of the shadow image: source rectangle in the image,
// destination in control coordinates (left, top, right, bottom; exclusive).
// Pieces outside the composed area are skipped.
struct TShadowPainter {
    QPainter &p;
    const QImage &shadow;
    const QRect &area;

    void Piece(QRect src, int l, int t, int r, int b)
    {
        const QRect dest(l, t, r - l, b - t);
        if (r <= l || b <= t || src.width() <= 0 || src.height() <= 0 || !dest.intersects(area))
            return;
        p.drawImage(dest, shadow, src);
    }

    void Frame(QRect line)
    {
        if (line.intersects(area))
            p.fillRect(line, Qt::black);
    }
};

void DrawShadowAndFrame(QPainter &p, const QImage &shadow, const TRect &ir, const QRect &area)
{
    TShadowPainter sp{p, shadow, area};
    const int l = ir.Left - 1, t = ir.Top - 1, r = ir.Right + 1, b = ir.Bottom + 1;
    const int w = shadow.width(), h = shadow.height();
    const int c = ShadowCorner, s = ShadowBand;
    sp.Piece(QRect(0, 0, c, c), l - s, t - s, l + s, t + s);
    sp.Piece(QRect(c, 0, w - 2 * c, s), l + s, t - s, r - s, t);
    sp.Piece(QRect(w - c, 0, c, c), r - s, t - s, r + s, t + s);
    sp.Piece(QRect(w - s, c, s, h - 2 * c), r, t + s, r + s, b - s);
    sp.Piece(QRect(0, c, s, h - 2 * c), l - s, t + s, l, b - s);
    sp.Piece(QRect(0, h - c, c, c), l - s, b - s, l + s, b + s);
    sp.Piece(QRect(w - c, h - c, c, c), r - s, b - s, r + s, b + s);
    sp.Piece(QRect(c, h - s, w - 2 * c, s), l + s, b, r - s, b + s);

    sp.Frame(QRect(l, t, r - l, 1));
    sp.Frame(QRect(l, b - 1, r - l, 1));
    sp.Frame(QRect(l, t, 1, b - t));
    sp.Frame(QRect(r - 1, t, 1, b - t));
}

const QFont &LabelFont()
{
    static const QFont font = [] {
        QFont f(QStringLiteral("Tahoma"));
        f.setPointSize(7);
        f.setStyleHint(QFont::SansSerif);
        // Small labels stay crisp and keep their exact colour.
        f.setStyleStrategy(QFont::NoAntialias);
        return f;
    }();
    return font;
}

// A label as it is shown: its text in the label font, black or red, on an
// opaque white box of the text's size. Rendered once per text and colour;
// the font draws without antialiasing, so the copy has the pixels that
// drawing the text in place would give.
const QImage &LabelImage(const QString &text, bool active)
{
    static QHash<QString, QImage> cache[2];
    QImage &label = cache[active][text];
    if (label.isNull()) {
        const QFontMetrics fm(LabelFont());
        label = QImage(fm.horizontalAdvance(text), fm.height(), QImage::Format_RGB32);
        label.fill(Qt::white);
        QPainter p(&label);
        p.setFont(LabelFont());
        p.setPen(active ? QColor(255, 0, 0) : QColor(0, 0, 0));
        p.drawText(label.rect(), Qt::AlignLeft | Qt::AlignTop, text);
    }
    return label;
}

// Dashed lines: entries of the pattern that are not set leave the pixel
// alone, and the phase runs on across consecutive lines. The shown part of a
// horizontal line is drawn as one row of an image, transparent where the
// pixel is left alone; a vertical one as aliased one-pixel points, since an
// image one pixel wide costs a blend call per row.
class TPatternLines {
public:
    TPatternLines(QPainter &p, const QRect &area, std::vector<bool> pattern, QRgb color)
        : P(p), Area(area), Pattern(std::move(pattern)), Color(color)
    {
    }

    void Vertical(int x, int y0, int y1) { Line(QRect(x, y0, 1, y1 - y0 + 1)); }
    void Horizontal(int y, int x0, int x1) { Line(QRect(x0, y, x1 - x0 + 1, 1)); }

private:
    void Line(const QRect &line)
    {
        const QRect shown = line.intersected(Area);
        if (!shown.isEmpty()) {
            if (line.width() == 1)
                DrawVertical(line, shown);
            else
                DrawHorizontal(line, shown);
        }
        Phase = (Phase + line.width() + line.height() - 1) % int(Pattern.size());
    }

    // Calls set(i) for every pixel i of the line in [from, to) that the
    // pattern sets.
    template <typename Set>
    void ForEachSet(int from, int to, Set &&set) const
    {
        const int period = int(Pattern.size());
        for (int entry = 0; entry < period; ++entry) {
            if (!Pattern[std::size_t(entry)])
                continue;
            // The first pixel at or after from on which this entry falls.
            const int first = from + ((entry - (Phase + from) % period) % period + period) % period;
            for (int i = first; i < to; i += period)
                set(i);
        }
    }

    void DrawVertical(const QRect &line, const QRect &shown)
    {
        Points.clear();
        const int from = shown.top() - line.top();
        ForEachSet(from, from + shown.height(), [&](int i) { Points.push_back(QPoint(line.left(), line.top() + i)); });
        P.setPen(QPen(QColor::fromRgb(Color), 0));
        P.drawPoints(Points.data(), int(Points.size()));
    }

    void DrawHorizontal(const QRect &line, const QRect &shown)
    {
        QImage dashes(shown.size(), QImage::Format_ARGB32_Premultiplied);
        dashes.fill(Qt::transparent);
        auto *row = reinterpret_cast<QRgb *>(dashes.scanLine(0));
        const int from = shown.left() - line.left();
        ForEachSet(from, from + shown.width(), [&](int i) { row[i - from] = Color; });
        P.drawImage(shown.topLeft(), dashes);
    }

    QPainter &P;
    QRect Area;
    std::vector<bool> Pattern;
    QRgb Color;
    int Phase = 0;
    std::vector<QPoint> Points;
};

// The lines run through the shown positions of the picture's middle and
// quarter columns and rows, across the shown picture.
void DrawGrid(QPainter &p, const QRect &area, const TRect &ir, QSize picture, TZoom z)
{
    const int w = picture.width(), h = picture.height();
    const int hw = w / 2, hh = h / 2;
    const int qw = hw / 2, qh = hh / 2;
    auto x = [&](int px) { return ir.Left + PictureToShown(px, z); };
    auto y = [&](int py) { return ir.Top + PictureToShown(py, z); };
    TPatternLines solid(p, area, {true, false}, qRgb(0, 0, 0));
    solid.Vertical(x(hw), ir.Top, ir.Bottom);
    solid.Horizontal(y(hh), ir.Left, ir.Right);
    TPatternLines dotted(p, area, {true, false, false, false}, qRgb(127, 127, 127));
    dotted.Vertical(x(qw), ir.Top, ir.Bottom);
    dotted.Vertical(x(w - qw), ir.Top, ir.Bottom);
    dotted.Horizontal(y(qh), ir.Left, ir.Right);
    dotted.Horizontal(y(h - qh), ir.Left, ir.Right);
}

// Every other pixel of the line from a to b, a's first, that lies in the
// area. The pixels come from the whole line, so a part of the control gets
// those of a whole paint.
void AddDottedLine(std::vector<QPoint> &points, QPoint a, QPoint b, const QRect &area)
{
    const int dx = b.x() - a.x(), dy = b.y() - a.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    for (int i = 0; i <= steps; i += 2) {
        const double t = double(i) / steps;
        const QPoint q(a.x() + int(std::lround(dx * t)), a.y() + int(std::lround(dy * t)));
        if (area.contains(q))
            points.push_back(q);
    }
}

// Pattern mode's grid outlines the lattice cells in the look of the usual
// grid's middle lines, black on every other pixel. Lines along the axes take
// those lines' dashes; slanted ones (hexagonal and oblique cells) are dotted
// the same way pixel by pixel.
void DrawLatticeGrid(QPainter &p, const QRect &area, const TRect &ir, TZoom z, const std::vector<QLineF> &lines)
{
    const double scale = double(z.Num) / z.Den;
    // Enlarged, a picture pixel shows at the middle of its block.
    const double middle = z.Num > 1 ? z.Num / 2 : 0;
    auto shown = [&](QPointF pic) {
        return QPoint(ir.Left + int(std::floor(pic.x() * scale + middle)),
                      ir.Top + int(std::floor(pic.y() * scale + middle)));
    };
    TPatternLines dashes(p, area, {true, false}, qRgb(0, 0, 0));
    std::vector<QPoint> dots;
    for (const QLineF &line : lines) {
        const QPoint a = shown(line.p1()), b = shown(line.p2());
        if (a.x() == b.x())
            dashes.Vertical(a.x(), std::min(a.y(), b.y()), std::max(a.y(), b.y()));
        else if (a.y() == b.y())
            dashes.Horizontal(a.y(), std::min(a.x(), b.x()), std::max(a.x(), b.x()));
        else if (QRect(a, b).normalized().intersects(area))
            AddDottedLine(dots, a, b, area);
    }
    p.setPen(QPen(QColor(0, 0, 0), 0));
    p.drawPoints(dots.data(), int(dots.size()));
}

// The border is the aliased one-pixel outline of the square, which covers
// its outermost pixels.
void DrawMarker(QPainter &p, QPoint at, const QColor &border)
{
    const QRect square(at.x() - MarkerHalf, at.y() - MarkerHalf, 2 * MarkerHalf + 1, 2 * MarkerHalf + 1);
    p.fillRect(square, QColor(255, 255, 255, 160));
    p.setPen(QPen(border, 0));
    p.drawRect(square.adjusted(0, 0, -1, -1));
}

} // namespace

void TVelmoraCanvas::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    PaintArea(p, event->rect());
}

void TVelmoraCanvas::PaintArea(QPainter &p, const QRect &area)
{
    PrepareDisplay();
    UpdateCursor();
    DrawDisplay(p, area);
}

const QImage &TVelmoraCanvas::ComposeDisplay(const QRect &area)
{
    PrepareDisplay();
    if (DisplayBuffer.size() != area.size())
        DisplayBuffer = QImage(area.size(), QImage::Format_RGB32);
    QPainter p(&DisplayBuffer);
    p.translate(-area.topLeft());
    DrawDisplay(p, area);
    return DisplayBuffer;
}

// Lays out the picture and works out the overlays once per paint.
void TVelmoraCanvas::PrepareDisplay()
{
    DeferredRepaints = 0;
    LayoutImageRect();
    SyncReducedCopy(SyncComposite());
    OverlayItems.clear();
    if (ShowCenterPoints || Tool == ctMovePoints)
        PrepareCenterIcons();
    MarkerPoints.clear();
    if (MarkersVisible())
        ForEachPointCopy(Reflection(), CursorPoint, [this](QPoint q) { MarkerPoints.push_back(q); });
}

// Draws the given part of the control (control coordinates) and nothing
// outside it; the painter's state is left as it was.
void TVelmoraCanvas::DrawDisplay(QPainter &p, const QRect &area)
{
    p.save();
    p.setClipRect(area, Qt::IntersectClip);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, false);

    // A picture larger than the control is drawn at a zero or negative
    // offset, truncated toward zero.
    const int sw = ShownWidth(), sh = ShownHeight();
    const int px = sw < width() ? ImageRect.Left : (width() - sw) / 2;
    const int py = sh < height() ? ImageRect.Top : (height() - sh) / 2;
    const QRect pictureArea(px, py, sw, sh);
    // The grey field is filled only where the picture does not cover it.
    for (const QRect &r : QRegion(area).subtracted(QRegion(pictureArea)))
        p.fillRect(r, DisplayGrey);

    // Tried once per paint: a resource that fails to load is not read again
    // for every part drawn.
    if (Shadow && LoadShadowImage())
        DrawShadowAndFrame(p, *ShadowImage(), ImageRect, area);

    // Picture pixels, icons and labels stay hard-edged however the screen
    // scales them, also at fractional pixel ratios.
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    DrawPicture(p, pictureArea, area);

    DrawOverlayItems(p, area);
    if (ShowGrid && ReflectionMode == rmPattern)
        DrawLatticeGrid(p, area, ImageRect, ZoomFactor, LatticeLines());
    else if (ShowGrid)
        DrawGrid(p, area, ImageRect, ImagePictureSize(), ZoomFactor);
    DrawMarkers(p, area);
    if (StringVisible())
        DrawBrushString(p);
    p.restore();
}

const std::vector<QLineF> &TVelmoraCanvas::LatticeLines()
{
    const QSize picture(PictureWidth(), PictureHeight());
    TLatticeGrid &grid = LatticeGrid;
    if (grid.Pattern == PatternCell && grid.Origin == MasterCenter && grid.Picture == picture)
        return grid.Lines;
    grid = TLatticeGrid{PatternCell, MasterCenter, picture,
                        PatternGridLines(PatternCell, MasterCenter, QRect(QPoint(0, 0), picture))};
    return grid.Lines;
}

// The centre icons and their labels in drawing order: a label comes after
// its icon, the second centre's after the grey copies too.
void TVelmoraCanvas::PrepareCenterIcons()
{
    auto iconAt = [&](QPoint pic) { return PictureToClient(pic) - QPoint(IconOffset, IconOffset); };
    auto icon = [&](int index, QPoint pic) { OverlayItems.push_back({index, QRect(iconAt(pic), QSize(32, 32)), {}, false}); };
    auto label = [&](QPoint pic, const QString &text, bool active) {
        const QRect box(iconAt(pic) + QPoint(17, -6), LabelImage(text, active).size());
        OverlayItems.push_back({-1, box, text, active});
    };
    const bool moving = Tool == ctMovePoints;
    if (ReflectionMode != rmNone) {
        icon(0, MasterCenter);
        label(MasterCenter, QString::number(MasterRefCount), moving && MasterActive);
        if (ReflectionMode == rmSecondary) {
            icon(1, SecondCenter);
            const ReflectionInput in = Reflection();
            for (int e = 1; e < MasterRefCount; ++e)
                icon(4, SecondCenterCopy(in, e));
            label(SecondCenter, QString::number(SecondRefCount), moving && !MasterActive);
        } else if (ReflectionMode == rmMirrorPrimary) {
            icon(2, SecondCenter);
            label(SecondCenter, QString(QChar(0x25B2)), moving && !MasterActive);
        }
    }
    const QPoint middle = PictureMiddle();
    if (ReflectionMode == rmNone || MasterCenter != middle)
        icon(3, middle);
}

// Labels are opaque on white.
void TVelmoraCanvas::DrawOverlayItems(QPainter &p, const QRect &area) const
{
    for (const TOverlayItem &item : OverlayItems) {
        if (!item.Box.intersects(area))
            continue;
        if (item.Icon >= 0) {
            DrawCenterIcon(p, item.Icon, item.Box.topLeft());
            continue;
        }
        p.drawImage(item.Box.topLeft(), LabelImage(item.Label, item.Active));
    }
}

bool TVelmoraCanvas::MarkersVisible() const
{
    return (Tool == ctBrush || Tool == ctPaintBucket) && CursorPoint.x() >= 0 && CursorPoint.y() >= 0 && !Dragging &&
           ShowDrawingPoints;
}

// The first marker, at the mouse itself, is red; its copies are grey.
void TVelmoraCanvas::DrawMarkers(QPainter &p, const QRect &area) const
{
    p.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < MarkerPoints.size(); ++i) {
        const QPoint at = PictureToClient(MarkerPoints[i]);
        const bool inside =
            at.x() >= ImageRect.Left && at.x() <= ImageRect.Right && at.y() >= ImageRect.Top && at.y() <= ImageRect.Bottom;
        if (!inside || !QRect(at - QPoint(MarkerHalf, MarkerHalf), QSize(7, 7)).intersects(area))
            continue;
        DrawMarker(p, at, i == 0 ? QColor(255, 0, 0) : DisplayGrey);
    }
}

bool TVelmoraCanvas::StringVisible() const
{
    return Dragging && (Tool == ctBrush || Tool == ctEraser || PenEraser) && Stabilizer > 0 && ShowDrawingPoints;
}

// The stabilizer's string, from the brush point to the pointer, red like the
// marker at the pointer.
void TVelmoraCanvas::DrawBrushString(QPainter &p) const
{
    p.setPen(QColor(255, 0, 0));
    p.drawLine(PictureToClient(BrushString.Pixel()), PictureToClient(CursorPoint));
}
