#include "canvas/canvas_resources.h"
#include "canvas/velmora_canvas.h"

#include <QPaintEvent>
#include <QPainter>

#include <cstring>

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
constexpr int PaintBandRows = 32;

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

// Copies the source rectangle of the picture, which lies at origin in
// control coordinates, into the buffer that shows the given area. Row by row:
// this is the one full-size copy of every paint.
void CopyPicture(QImage &buffer, const QRect &area, const QImage &picture, const QRect &source, QPoint origin)
{
    if (source.isEmpty())
        return;
    const QPoint to = source.topLeft() + origin - area.topLeft();
    const std::size_t bytes = std::size_t(source.width()) * sizeof(QRgb);
    for (int y = 0; y < source.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(picture.constScanLine(source.top() + y)) + source.left();
        auto *row = reinterpret_cast<QRgb *>(buffer.scanLine(to.y() + y)) + to.x();
        std::memcpy(row, from, bytes);
    }
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

// The exposed area is composed and copied in bands of rows: a band's buffer
// stays in the processor cache between its composition and its copy, so a
// paint costs little more than the copy of the picture itself.
void TVelmoraCanvas::paintEvent(QPaintEvent *event)
{
    QPainter p(this);
    PaintArea(p, event->rect());
}

void TVelmoraCanvas::PaintArea(QPainter &p, const QRect &area)
{
    PrepareDisplay();
    UpdateCursor();
    p.setCompositionMode(QPainter::CompositionMode_Source);
    for (int top = area.top(); top <= area.bottom(); top += PaintBandRows) {
        const QRect band(area.left(), top, area.width(), std::min(PaintBandRows, area.bottom() + 1 - top));
        p.drawImage(band.topLeft(), ComposeArea(band));
    }
}

const QImage &TVelmoraCanvas::ComposeDisplay(const QRect &area)
{
    PrepareDisplay();
    return ComposeArea(area);
}

// Lays out the picture and works out the overlays once per paint.
void TVelmoraCanvas::PrepareDisplay()
{
    DeferredRepaints = 0;
    LayoutImageRect();
    OverlayItems.clear();
    if (ShowCenterPoints || Tool == ctMovePoints)
        PrepareCenterIcons();
    MarkerPoints.clear();
    if (MarkersVisible())
        ForEachPointCopy(Reflection(), CursorPoint, [this](QPoint q) { MarkerPoints.push_back(q); });
}

const QImage &TVelmoraCanvas::ComposeArea(const QRect &area)
{
    if (DisplayBuffer.size() != area.size())
        DisplayBuffer = QImage(area.size(), QImage::Format_RGB32);
    QPainter p(&DisplayBuffer);
    p.translate(-area.topLeft());

    // A picture larger than the control is drawn at a zero or negative
    // offset, truncated toward zero.
    const int px = PictureWidth() < width() ? ImageRect.Left : (width() - PictureWidth()) / 2;
    const int py = PictureHeight() < height() ? ImageRect.Top : (height() - PictureHeight()) / 2;
    const QRect pictureArea(px, py, PictureWidth(), PictureHeight());
    // The grey field is filled only where the picture does not cover it.
    for (const QRect &r : QRegion(area).subtracted(QRegion(pictureArea)))
        p.fillRect(r, DisplayGrey);

    if (Shadow && LoadShadowImage())
        DrawShadowAndFrame(p, *ShadowImage(), ImageRect, area);
    p.end();

    CopyPicture(DisplayBuffer, area, Picture, pictureArea.intersected(area).translated(-pictureArea.topLeft()),
                pictureArea.topLeft());

    DrawOverlayItems(area);
    if (ShowGrid)
        DrawGrid(DisplayBuffer, area.topLeft(), ImageRect);
    DrawMarkers(area);
    return DisplayBuffer;
}

// The centre icons and their labels in drawing order: a label comes after
// its icon, the second centre's after the grey copies too.
void TVelmoraCanvas::PrepareCenterIcons()
{
    const QPoint origin(ImageRect.Left, ImageRect.Top);
    auto iconAt = [&](QPoint pic) { return pic + origin - QPoint(IconOffset, IconOffset); };
    const QFontMetrics fm(LabelFont());
    auto icon = [&](int index, QPoint pic) { OverlayItems.push_back({index, QRect(iconAt(pic), QSize(32, 32)), {}, false}); };
    auto label = [&](QPoint pic, const QString &text, bool active) {
        const QRect box(iconAt(pic) + QPoint(17, -6), QSize(fm.horizontalAdvance(text), fm.height()));
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
    const QPoint middle((ImageRect.Right - ImageRect.Left) / 2, (ImageRect.Bottom - ImageRect.Top) / 2);
    if (ReflectionMode == rmNone || MasterCenter != middle)
        icon(3, middle);
}

// Labels are opaque on white.
void TVelmoraCanvas::DrawOverlayItems(const QRect &area)
{
    QPainter p;
    for (const TOverlayItem &item : OverlayItems) {
        if (!item.Box.intersects(area))
            continue;
        if (!p.isActive()) {
            p.begin(&DisplayBuffer);
            p.translate(-area.topLeft());
            p.setFont(LabelFont());
        }
        if (item.Icon >= 0) {
            DrawCenterIcon(p, item.Icon, item.Box.topLeft());
            continue;
        }
        p.fillRect(item.Box, Qt::white);
        p.setPen(item.Active ? QColor(255, 0, 0) : QColor(0, 0, 0));
        p.drawText(item.Box, Qt::AlignLeft | Qt::AlignTop, item.Label);
    }
}

bool TVelmoraCanvas::MarkersVisible() const
{
    return (Tool == ctBrush || Tool == ctPaintBucket) && CursorPoint.x() >= 0 && CursorPoint.y() >= 0 && !Dragging &&
           ShowDrawingPoints;
}

// The first marker, at the mouse itself, is red; its copies are grey.
void TVelmoraCanvas::DrawMarkers(const QRect &area)
{
    QPainter p;
    for (std::size_t i = 0; i < MarkerPoints.size(); ++i) {
        const QPoint at = MarkerPoints[i] + QPoint(ImageRect.Left, ImageRect.Top);
        const bool inside =
            at.x() >= ImageRect.Left && at.x() <= ImageRect.Right && at.y() >= ImageRect.Top && at.y() <= ImageRect.Bottom;
        if (!inside || !QRect(at - QPoint(MarkerHalf, MarkerHalf), QSize(7, 7)).intersects(area))
            continue;
        if (!p.isActive()) {
            p.begin(&DisplayBuffer);
            p.translate(-area.topLeft());
        }
        DrawMarker(p, at, i == 0 ? QColor(255, 0, 0) : DisplayGrey);
    }
}
