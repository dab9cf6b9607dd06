#include "canvas/canvas_resources.h"
#include "canvas/velmora_canvas.h"

#include <QPaintEvent>
#include <QPainter>

// The display: the picture centred on a grey field with its shadow and
// frame, the centre icons with their counts, the grid and the drawing-point
// markers, composed off-screen for the exposed part and copied in one step.
// Every overlay is drawn in control coordinates through a translated
// painter or from absolute pixel positions, so a part of the control is
// composed with exactly the pixels of a whole composition.

namespace {

const QColor DisplayGrey(127, 127, 127);
constexpr int IconOffset = 12;
constexpr int MarkerHalf = 3;
constexpr int ShadowBand = 20;
constexpr int ShadowCorner = 40;

// One stretched piece of the shadow image: source rectangle in the image,
// destination in control coordinates (left, top, right, bottom; exclusive).
void DrawShadowPiece(QPainter &p, const QImage &shadow, QRect src, int l, int t, int r, int b)
{
    if (r <= l || b <= t || src.width() <= 0 || src.height() <= 0)
        return;
    p.drawImage(QRect(l, t, r - l, b - t), shadow, src);
}

void DrawShadowAndFrame(QPainter &p, const QImage &shadow, const TRect &ir)
{
    const int l = ir.Left - 1, t = ir.Top - 1, r = ir.Right + 1, b = ir.Bottom + 1;
    const int w = shadow.width(), h = shadow.height();
    const int c = ShadowCorner, s = ShadowBand;
    DrawShadowPiece(p, shadow, QRect(0, 0, c, c), l - s, t - s, l + s, t + s);
    DrawShadowPiece(p, shadow, QRect(c, 0, w - 2 * c, s), l + s, t - s, r - s, t);
    DrawShadowPiece(p, shadow, QRect(w - c, 0, c, c), r - s, t - s, r + s, t + s);
    DrawShadowPiece(p, shadow, QRect(w - s, c, s, h - 2 * c), r, t + s, r + s, b - s);
    DrawShadowPiece(p, shadow, QRect(0, c, s, h - 2 * c), l - s, t + s, l, b - s);
    DrawShadowPiece(p, shadow, QRect(0, h - c, c, c), l - s, b - s, l + s, b + s);
    DrawShadowPiece(p, shadow, QRect(w - c, h - c, c, c), r - s, b - s, r + s, b + s);
    DrawShadowPiece(p, shadow, QRect(c, h - s, w - 2 * c, s), l + s, b, r - s, b + s);

    p.fillRect(QRect(l, t, r - l, 1), Qt::black);
    p.fillRect(QRect(l, b - 1, r - l, 1), Qt::black);
    p.fillRect(QRect(l, t, 1, b - t), Qt::black);
    p.fillRect(QRect(r - 1, t, 1, b - t), Qt::black);
}

QFont LabelFont()
{
    QFont f(QStringLiteral("Tahoma"));
    f.setPointSize(7);
    f.setStyleHint(QFont::SansSerif);
    // Small labels stay crisp and keep their exact colour.
    f.setStyleStrategy(QFont::NoAntialias);
    return f;
}

void DrawLabel(QPainter &p, QPoint iconTopLeft, const QString &text, bool active)
{
    const QPoint at = iconTopLeft + QPoint(17, -6);
    const QFontMetrics fm(p.font());
    const QRect box(at, QSize(fm.horizontalAdvance(text), fm.height()));
    p.fillRect(box, Qt::white);
    p.setPen(active ? QColor(255, 0, 0) : QColor(0, 0, 0));
    p.drawText(box, Qt::AlignLeft | Qt::AlignTop, text);
}

// A dashed line drawn pixel by pixel; entries that are not set leave the
// pixel alone. The phase runs on across consecutive lines.
class TPatternLines {
public:
    TPatternLines(QImage &buffer, QPoint origin, std::vector<bool> pattern, QRgb color)
        : Buffer(buffer), Origin(origin), Pattern(std::move(pattern)), Color(color)
    {
    }

    void Vertical(int x, int y0, int y1)
    {
        const int bx = x - Origin.x();
        if (bx >= 0 && bx < Buffer.width()) {
            const int from = std::max(y0, Origin.y()), to = std::min(y1, Origin.y() + Buffer.height() - 1);
            for (int y = from; y <= to; ++y)
                if (Pattern[std::size_t((Phase + (y - y0)) % int(Pattern.size()))])
                    reinterpret_cast<QRgb *>(Buffer.scanLine(y - Origin.y()))[bx] = Color;
        }
        Phase = (Phase + (y1 - y0 + 1)) % int(Pattern.size());
    }

    void Horizontal(int y, int x0, int x1)
    {
        const int by = y - Origin.y();
        if (by >= 0 && by < Buffer.height()) {
            auto *row = reinterpret_cast<QRgb *>(Buffer.scanLine(by));
            const int from = std::max(x0, Origin.x()), to = std::min(x1, Origin.x() + Buffer.width() - 1);
            for (int x = from; x <= to; ++x)
                if (Pattern[std::size_t((Phase + (x - x0)) % int(Pattern.size()))])
                    row[x - Origin.x()] = Color;
        }
        Phase = (Phase + (x1 - x0 + 1)) % int(Pattern.size());
    }

private:
    QImage &Buffer;
    QPoint Origin;
    std::vector<bool> Pattern;
    QRgb Color;
    int Phase = 0;
};

void DrawGrid(QImage &buffer, QPoint origin, const TRect &ir)
{
    const int hw = (ir.Right - ir.Left) / 2, hh = (ir.Bottom - ir.Top) / 2;
    const int qw = hw / 2, qh = hh / 2;
    TPatternLines solid(buffer, origin, {true, false}, qRgb(0, 0, 0));
    solid.Vertical(ir.Left + hw, ir.Top, ir.Bottom);
    solid.Horizontal(ir.Top + hh, ir.Left, ir.Right);
    TPatternLines dotted(buffer, origin, {true, false, false, false}, qRgb(127, 127, 127));
    dotted.Vertical(ir.Left + qw, ir.Top, ir.Bottom);
    dotted.Vertical(ir.Right - qw, ir.Top, ir.Bottom);
    dotted.Horizontal(ir.Top + qh, ir.Left, ir.Right);
    dotted.Horizontal(ir.Bottom - qh, ir.Left, ir.Right);
}

void DrawMarker(QPainter &p, QPoint at, const QColor &border)
{
    const QRect square(at.x() - MarkerHalf, at.y() - MarkerHalf, 2 * MarkerHalf + 1, 2 * MarkerHalf + 1);
    p.fillRect(square, QColor(255, 255, 255, 160));
    p.fillRect(QRect(square.left(), square.top(), square.width(), 1), border);
    p.fillRect(QRect(square.left(), square.bottom(), square.width(), 1), border);
    p.fillRect(QRect(square.left(), square.top(), 1, square.height()), border);
    p.fillRect(QRect(square.right(), square.top(), 1, square.height()), border);
}

} // namespace

void TVelmoraCanvas::paintEvent(QPaintEvent *event)
{
    const QRect area = event->rect();
    const QImage &display = ComposeDisplay(area);
    UpdateCursor();
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.drawImage(area.topLeft(), display);
}

const QImage &TVelmoraCanvas::ComposeDisplay(const QRect &area)
{
    DeferredRepaints = 0;
    LayoutImageRect();
    if (DisplayBuffer.size() != area.size())
        DisplayBuffer = QImage(area.size(), QImage::Format_RGB32);
    QPainter p(&DisplayBuffer);
    p.translate(-area.topLeft());
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);

    // A picture larger than the control is drawn at a zero or negative
    // offset, truncated toward zero.
    const int px = PictureWidth() < width() ? ImageRect.Left : (width() - PictureWidth()) / 2;
    const int py = PictureHeight() < height() ? ImageRect.Top : (height() - PictureHeight()) / 2;
    const QRect pictureArea(px, py, PictureWidth(), PictureHeight());
    // The grey field is filled only where the picture does not cover it.
    for (const QRect &r : QRegion(area).subtracted(QRegion(pictureArea)))
        p.fillRect(r, DisplayGrey);

    if (Shadow && LoadShadowImage())
        DrawShadowAndFrame(p, *ShadowImage(), ImageRect);

    p.setCompositionMode(QPainter::CompositionMode_Source);
    const QRect visible = pictureArea.intersected(area);
    if (!visible.isEmpty())
        p.drawImage(visible.topLeft(), Picture, visible.translated(-pictureArea.topLeft()));
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    if (ShowCenterPoints || Tool == ctMovePoints)
        DrawCenterIcons(p);
    p.end();

    if (ShowGrid)
        DrawGrid(DisplayBuffer, area.topLeft(), ImageRect);
    if (MarkersVisible()) {
        QPainter mp(&DisplayBuffer);
        mp.translate(-area.topLeft());
        DrawMarkers(mp);
    }
    return DisplayBuffer;
}

void TVelmoraCanvas::DrawCenterIcons(QPainter &p)
{
    const QPoint origin(ImageRect.Left, ImageRect.Top);
    auto iconAt = [&](QPoint pic) { return pic + origin - QPoint(IconOffset, IconOffset); };
    p.setFont(LabelFont());
    const bool moving = Tool == ctMovePoints;
    if (ReflectionMode != rmNone) {
        DrawCenterIcon(p, 0, iconAt(MasterCenter));
        DrawLabel(p, iconAt(MasterCenter), QString::number(MasterRefCount), moving && MasterActive);
        if (ReflectionMode == rmSecondary) {
            DrawCenterIcon(p, 1, iconAt(SecondCenter));
            const ReflectionInput in = Reflection();
            for (int e = 1; e < MasterRefCount; ++e)
                DrawCenterIcon(p, 4, iconAt(SecondCenterCopy(in, e)));
            DrawLabel(p, iconAt(SecondCenter), QString::number(SecondRefCount), moving && !MasterActive);
        } else if (ReflectionMode == rmMirrorPrimary) {
            DrawCenterIcon(p, 2, iconAt(SecondCenter));
            DrawLabel(p, iconAt(SecondCenter), QString(QChar(0x25B2)), moving && !MasterActive);
        }
    }
    const QPoint middle((ImageRect.Right - ImageRect.Left) / 2, (ImageRect.Bottom - ImageRect.Top) / 2);
    if (ReflectionMode == rmNone || MasterCenter != middle)
        DrawCenterIcon(p, 3, iconAt(middle));
}

bool TVelmoraCanvas::MarkersVisible() const
{
    return (Tool == ctBrush || Tool == ctPaintBucket) && CursorPoint.x() >= 0 && CursorPoint.y() >= 0 && !Dragging &&
           ShowDrawingPoints;
}

void TVelmoraCanvas::DrawMarkers(QPainter &p)
{
    bool first = true;
    ForEachPointCopy(Reflection(), CursorPoint, [&](QPoint q) {
        const QPoint at(q.x() + ImageRect.Left, q.y() + ImageRect.Top);
        const bool inside =
            at.x() >= ImageRect.Left && at.x() <= ImageRect.Right && at.y() >= ImageRect.Top && at.y() <= ImageRect.Bottom;
        if (inside)
            DrawMarker(p, at, first ? QColor(255, 0, 0) : DisplayGrey);
        first = false;
    });
}
