#include "canvas/canvas_resources.h"

#include "codecs/jpeg_decode.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>

#include <array>
#include <memory>

// The resources live in velmora_lib, a static library: without a reference
// to its registration function the linker drops them. Block-scope extern
// declarations must sit at namespace scope, hence outside the anonymous one.
static void RegisterResources()
{
    static bool registered = false;
    if (registered)
        return;
    Q_INIT_RESOURCE(resources);
    registered = true;
}

namespace {

struct CursorEntry {
    const char *path;
    QPoint hotSpot;
    Qt::CursorShape fallback;
};

// In id order 1..6. The hot spots are where each picture acts: the cross
// centres, the brush and eyedropper tips, the eraser centre and the tip of
// the paint drop under the bucket (scripts/gen_resources.py draws them).
constexpr std::array<CursorEntry, 6> kCursors{{
    {":/cursors/sharp.png", {15, 15}, Qt::CrossCursor},
    {":/cursors/brush.png", {3, 28}, Qt::CrossCursor},
    {":/cursors/eraser.png", {15, 15}, Qt::CrossCursor},
    {":/cursors/eyedrop.png", {3, 28}, Qt::CrossCursor},
    {":/cursors/paint_bucket.png", {6, 27}, Qt::PointingHandCursor},
    {":/cursors/set_point.png", {15, 15}, Qt::SizeAllCursor},
}};

// Icons 1 and 2 share one picture: both mark the second centre.
constexpr std::array<const char *, CenterIconCount> kIconPaths{
    ":/icons/center_1.png", ":/icons/center_2.png", ":/icons/center_2.png",
    ":/icons/center_scr.png", ":/icons/center2_shadow.png",
};
constexpr int kFirstOpaqueIcon = ciSecondCopy;

const char *const kShadowResource = ":/images/img_sblur.jpg";

struct ModuleState {
    std::array<QCursor, kCursors.size()> cursors;
    std::array<QImage, CenterIconCount> icons;
    std::unique_ptr<QImage> shadow;
    QString shadowPath = QString::fromLatin1(kShadowResource);
    int shadowLoadAttempts = 0;
    bool moduleLoaded = false;
};

// Cursors and pixmaps must die before the application object, so the state
// is freed from the application's destructor; a static would outlive it.
std::unique_ptr<ModuleState> g_state;

void FreeState()
{
    g_state.reset();
}

ModuleState &State()
{
    if (!g_state) {
        g_state = std::make_unique<ModuleState>();
        qAddPostRoutine(FreeState);
    }
    return *g_state;
}

// On a high-density screen the cursor is enlarged to the screen's pixels
// without smoothing, so it keeps its size and its hard outline; the hot spot
// stays in logical pixels.
QCursor LoadCursor(const CursorEntry &entry)
{
    QPixmap pixmap(QString::fromLatin1(entry.path));
    if (pixmap.isNull())
        return QCursor(entry.fallback);
    const qreal ratio = qApp->devicePixelRatio();
    if (ratio != 1) {
        pixmap = pixmap.scaled((QSizeF(pixmap.size()) * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
        pixmap.setDevicePixelRatio(ratio);
    }
    return QCursor(pixmap, entry.hotSpot.x(), entry.hotSpot.y());
}

// Turns the icon picture into an exact XOR source: 0xFFFFFF on the shape
// (inverts) and 0 elsewhere (leaves the target alone), whatever greys the
// file may hold.
QImage InversionMask(const QImage &picture)
{
    QImage mask = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < mask.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(mask.scanLine(y));
        for (int x = 0; x < mask.width(); ++x)
            row[x] = qGray(row[x]) >= 128 ? 0xFFFFFFFFu : 0xFF000000u;
    }
    return mask;
}

QImage LoadIcon(int index)
{
    const QImage picture(QString::fromLatin1(kIconPaths[std::size_t(index)]));
    if (picture.isNull())
        return {};
    if (index >= kFirstOpaqueIcon)
        return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return InversionMask(picture);
}

} // namespace

void LoadCanvasCursors()
{
    RegisterResources();
    ModuleState &s = State();
    for (std::size_t i = 0; i < kCursors.size(); ++i)
        s.cursors[i] = LoadCursor(kCursors[i]);
}

QCursor CanvasCursor(int Id)
{
    if (!g_state || Id < crSharp || Id > crSetPoint)
        return QCursor(Qt::ArrowCursor);
    return g_state->cursors[std::size_t(Id - crSharp)];
}

void LoadCanvasIcons()
{
    RegisterResources();
    ModuleState &s = State();
    for (int i = 0; i < CenterIconCount; ++i)
        s.icons[std::size_t(i)] = LoadIcon(i);
}

const QImage &CenterIcon(int Index)
{
    static const QImage none;
    if (!g_state || Index < 0 || Index >= CenterIconCount)
        return none;
    return g_state->icons[std::size_t(Index)];
}

void DrawCenterIcon(QPainter &p, int Index, QPoint TopLeft)
{
    const QImage &icon = CenterIcon(Index);
    if (icon.isNull())
        return;
    if (Index >= kFirstOpaqueIcon) {
        p.drawImage(TopLeft, icon);
        return;
    }
    // XOR with white inverts, XOR with black keeps. Engines without raster
    // operations get the same result from the difference blend.
    const bool rasterOps = p.paintEngine() && p.paintEngine()->hasFeature(QPaintEngine::RasterOpModes);
    const QPainter::CompositionMode old = p.compositionMode();
    p.setCompositionMode(rasterOps ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_Difference);
    p.drawImage(TopLeft, icon);
    p.setCompositionMode(old);
}

bool LoadShadowImage()
{
    ModuleState &s = State();
    if (s.shadow)
        return true;
    RegisterResources();
    ++s.shadowLoadAttempts;
    // The shadow is decoration: whatever goes wrong, the canvas is drawn
    // without it and the next paint tries again.
    try {
        QFile file(s.shadowPath);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        s.shadow = std::make_unique<QImage>(DecodeJpeg(file.readAll()));
        return true;
    } catch (...) {
        s.shadow.reset();
        return false;
    }
}

const QImage *ShadowImage()
{
    return g_state ? g_state->shadow.get() : nullptr;
}

void FreeShadowImage()
{
    if (g_state)
        g_state->shadow.reset();
}

void SetShadowResourcePathForTesting(const QString &Path)
{
    State().shadowPath = Path.isEmpty() ? QString::fromLatin1(kShadowResource) : Path;
}

int ShadowLoadAttempts()
{
    return State().shadowLoadAttempts;
}

void LoadCanvasModuleResources()
{
    ModuleState &s = State();
    if (s.moduleLoaded)
        return;
    LoadCanvasCursors();
    LoadCanvasIcons();
    s.moduleLoaded = true;
}
