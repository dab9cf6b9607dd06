#include "tools/palette_form.h"

#include "canvas/canvas_resources.h"
#include "canvas/key_state.h"
#include "canvas/velmora_canvas.h"
#include "tools/color_adjust.h"
#include "tools/sh_panel.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace {

const QSize DesignedPictureSize(198, 40);
const QSize ButtonPictureSize(12, 12);

QColor ToQColor(TColor c) { return QColor::fromRgb(ColorToRgb(c)); }

// The pixel under the mouse; positions may be fractional on scaled screens.
QPoint PixelOf(const QMouseEvent *event)
{
    const QPointF p = event->position();
    return QPoint(int(std::floor(p.x())), int(std::floor(p.y())));
}

QFrame *MakeBevel(QWidget *parent, const char *name, QRect geometry, QFrame::Shape shape)
{
    auto *bevel = new QFrame(parent);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameStyle(shape | QFrame::Sunken);
    bevel->setGeometry(geometry);
    bevel->setAttribute(Qt::WA_TransparentForMouseEvents);
    return bevel;
}

TPictureControl *MakePicture(QWidget *parent, const char *name, const QString &resource, QPoint pos,
                             const QString &hint)
{
    auto *control = new TPictureControl(parent);
    control->setObjectName(QLatin1String(name));
    control->SetPicture(QImage(resource));
    if (control->Picture().isNull())
        control->resize(ButtonPictureSize);
    control->move(pos);
    control->setToolTip(hint);
    return control;
}

TPaletteShape *MakeShape(QWidget *parent, const QString &name, QRect geometry, const QString &hint)
{
    auto *shape = new TPaletteShape(parent);
    shape->setObjectName(name);
    shape->setGeometry(geometry);
    shape->setToolTip(hint);
    return shape;
}

} // namespace

TPaletteShape::TPaletteShape(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPaletteShape::SetFill(TColor c)
{
    if (c == FFill)
        return;
    FFill = c;
    update();
}

void TPaletteShape::SetOutline(std::optional<TColor> c)
{
    FOutline = c;
    update();
}

void TPaletteShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), ToQColor(FFill));
    if (!FOutline)
        return;
    p.setPen(ToQColor(*FOutline));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TPaletteShape::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(this, event);
}

void TPaletteShape::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(this, event);
}

TPictureControl::TPictureControl(QWidget *parent)
    : QWidget(parent)
{
}

void TPictureControl::SetPicture(const QImage &picture)
{
    FPicture = picture;
    resize(picture.isNull() ? QSize(0, 0) : picture.size());
    update();
}

void TPictureControl::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, FPicture);
}

void TPictureControl::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(event);
}

void TPictureControl::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(event);
}

void TPictureControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (OnMouseUp)
        OnMouseUp(event);
}

TfrmPalette::TfrmPalette(TVelmoraCanvas *canvas, QWidget *parent)
    : TToolWindow(canvas, parent, QStringLiteral("frmPalette"), QStringLiteral("Palette"), QStringLiteral("MS Sans Serif"),
                  11)
{
    ExecuteColorDialog = [this](TColor initial) { return RunColorDialog(initial); };
    CreateControls();

    PreviewPanel = new TShPanel(pColorViewFrame);
    PreviewPanel->setObjectName(QStringLiteral("PreviewPanel"));
    auto *layout = new QVBoxLayout(pColorViewFrame);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(PreviewPanel);
    setFixedSize(pColorViewFrame->x() + pColorViewFrame->width(), Shades[0]->y() + Shades[0]->height());
    SetDefaultPosition();

    const QCursor eyedrop = CanvasCursor(crEyedrop);
    Image->setCursor(eyedrop);
    for (TPaletteShape *shade : Shades)
        shade->setCursor(eyedrop);
    if (Canvas())
        UpdateShades(Canvas()->MasterColor);
    SelectBlackAndWhite();
    CreateTranslator();
    if (Canvas())
        Canvas()->OnColorHover = [this](TVelmoraCanvas *, TColor c) { ShowPreviewColor(c); };
}

TfrmPalette::~TfrmPalette()
{
    // The canvas may outlive this window; its hover event must not reach it.
    if (Canvas())
        Canvas()->OnColorHover = nullptr;
}

// The controls are created in stacking order, each on top of the ones before.
void TfrmPalette::CreateControls()
{
    Bevel1 = MakeBevel(this, "Bevel1", QRect(0, 0, 50, 51), QFrame::Box);
    CreateColorArea();
    BvBack = MakeBevel(this, "BvBack", QRect(17, 17, 27, 27), QFrame::Panel);
    BvFore = MakeBevel(this, "BvFore", QRect(5, 5, 27, 27), QFrame::Panel);
    CreateSwatches();

    pColorViewFrame = new QFrame(this);
    pColorViewFrame->setObjectName(QStringLiteral("pColorViewFrame"));
    pColorViewFrame->setFrameShape(QFrame::NoFrame);
    pColorViewFrame->setGeometry(248, 0, 50, 50);

    ColorDlg = new QColorDialog(this);
    ColorDlg->setObjectName(QStringLiteral("ColorDlg"));
    // Qt's own dialog always shows the custom colour part; a native one may not.
    ColorDlg->setOption(QColorDialog::DontUseNativeDialog);
}

// The palette picture and the row of shades under it.
void TfrmPalette::CreateColorArea()
{
    Image = new TPictureControl(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->SetPicture(QImage(QStringLiteral(":/images/palette.png")).convertToFormat(QImage::Format_RGB32));
    if (Image->Picture().isNull())
        Image->resize(DesignedPictureSize);
    Image->move(50, 1);
    Image->setMouseTracking(true);
    Image->OnMouseDown = [this](QMouseEvent *e) { ImageMouseDown(e); };
    Image->OnMouseMove = [this](QMouseEvent *e) { ImageMouseMove(e); };
    Image->OnMouseUp = [this](QMouseEvent *e) { ImageMouseUp(e); };

    const QRect shapes[6] = {{50, 41, 35, 10},  {84, 41, 34, 10},  {117, 41, 34, 10},
                             {150, 41, 34, 10}, {182, 41, 34, 10}, {214, 41, 35, 10}};
    for (int i = 0; i < 6; ++i) {
        const QString hint = ShadeSteps[i] < 0 ? QStringLiteral("Lighten color") : QStringLiteral("Darken color");
        TPaletteShape *shade = MakeShape(this, QStringLiteral("Shape%1").arg(i + 1), shapes[i], hint);
        shade->setMouseTracking(true);
        shade->OnMouseDown = [this](TPaletteShape *s, QMouseEvent *e) { Shape1MouseDown(s, e); };
        shade->OnMouseMove = [this](TPaletteShape *s, QMouseEvent *e) { Shape1MouseMove(s, e); };
        Shades[i] = shade;
    }
}

// The two buttons and the two colour swatches, the brush swatch on top.
void TfrmPalette::CreateSwatches()
{
    BBlackAndWhite = MakePicture(this, "BBlackAndWhite", QStringLiteral(":/glyphs/palette/black_and_white.png"),
                                 QPoint(5, 32), QStringLiteral("Select black and white colors"));
    BBlackAndWhite->OnMouseDown = [this](QMouseEvent *e) { BBlackAndWhiteMouseDown(e); };
    BExchange = MakePicture(this, "BExchange", QStringLiteral(":/glyphs/palette/exchange.png"), QPoint(32, 5),
                            QStringLiteral("Swap colors"));
    BExchange->OnMouseDown = [this](QMouseEvent *e) { BExchangeMouseDown(e); };

    csSecond = MakeShape(this, QStringLiteral("csSecond"), QRect(18, 18, 25, 25), QStringLiteral("Select eraser color"));
    csSecond->SetOutline(clBlack);
    csSecond->OnMouseDown = [this](TPaletteShape *s, QMouseEvent *e) { csSecondMouseDown(s, e); };
    csMaster = MakeShape(this, QStringLiteral("csMaster"), QRect(6, 6, 25, 25), QStringLiteral("Select brush color"));
    csMaster->SetFill(clBlack);
    csMaster->SetOutline(clWhite);
    csMaster->OnMouseDown = [this](TPaletteShape *s, QMouseEvent *e) { csMasterMouseDown(s, e); };
}

TColor TfrmPalette::BrushColor() const { return csMaster->Fill(); }
TColor TfrmPalette::EraserColor() const { return csSecond->Fill(); }

void TfrmPalette::SetBrushColor(TColor c)
{
    csMaster->SetFill(c);
    if (Canvas())
        Canvas()->SetMasterColor(c);
    UpdateShades(c);
}

void TfrmPalette::SetEraserColor(TColor c)
{
    csSecond->SetFill(c);
    if (Canvas())
        Canvas()->SetSecondColor(c);
}

void TfrmPalette::SelectBlackAndWhite()
{
    SetBrushColor(clBlack);
    SetEraserColor(clWhite);
}

void TfrmPalette::SwapColors()
{
    const TColor brush = BrushColor();
    SetBrushColor(EraserColor());
    SetEraserColor(brush);
}

void TfrmPalette::ChooseBrushColor()
{
    if (const auto c = ExecuteColorDialog(BrushColor()))
        SetBrushColor(*c);
}

void TfrmPalette::ChooseEraserColor()
{
    if (const auto c = ExecuteColorDialog(EraserColor()))
        SetEraserColor(*c);
}

std::optional<TColor> TfrmPalette::RunColorDialog(TColor initial)
{
    ColorDlg->setCurrentColor(ToQColor(initial));
    if (ColorDlg->exec() != QDialog::Accepted)
        return std::nullopt;
    return RgbToColor(ColorDlg->selectedColor().rgb());
}

void TfrmPalette::UpdateShades(TColor base)
{
    for (std::size_t i = 0; i < Shades.size(); ++i) {
        const int step = ShadeSteps[i];
        Shades[i]->SetFill(step < 0 ? LightenColor(base, -step) : DarkenColor(base, step));
    }
}

TColor TfrmPalette::ColorAt(QPoint p) const
{
    const QImage &picture = Image->Picture();
    if (!picture.rect().contains(p))
        return clWhite;
    const auto *row = reinterpret_cast<const QRgb *>(picture.constScanLine(p.y()));
    return RgbToColor(row[p.x()]);
}

void TfrmPalette::PickColorAt(QPoint p, Qt::KeyboardModifiers modifiers)
{
    const TColor c = ColorAt(p);
    if (KeyState::LeftShiftDown(modifiers.testFlag(Qt::ShiftModifier)))
        SetEraserColor(c);
    else
        SetBrushColor(c);
}

void TfrmPalette::ShowPreviewColor(TColor c) { PreviewPanel->SetColor(c); }

QPoint TfrmPalette::DefaultFramePosition(const QRect &workArea, int frameWidth) const
{
    return QPoint(workArea.left() + workArea.width() - frameWidth - 142, workArea.top() + 70);
}

void TfrmPalette::ImageMouseDown(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    PickColorAt(PixelOf(event), event->modifiers());
    Picking = true;
}

// While the left button is held the picture keeps receiving moves, also
// outside its area, so a drag sweeps the colour across the picture.
void TfrmPalette::ImageMouseMove(QMouseEvent *event)
{
    // A release that never reached the picture must not leave it picking.
    if (!event->buttons().testFlag(Qt::LeftButton))
        Picking = false;
    const QPoint p = PixelOf(event);
    if (Picking)
        PickColorAt(p, event->modifiers());
    ShowPreviewColor(ColorAt(p));
}

void TfrmPalette::ImageMouseUp(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Picking = false;
    FocusCanvas();
}

void TfrmPalette::Shape1MouseDown(TPaletteShape *sender, QMouseEvent *)
{
    SetBrushColor(sender->Fill());
    FocusCanvas();
}

void TfrmPalette::Shape1MouseMove(TPaletteShape *sender, QMouseEvent *) { ShowPreviewColor(sender->Fill()); }

void TfrmPalette::BBlackAndWhiteMouseDown(QMouseEvent *)
{
    SelectBlackAndWhite();
    FocusCanvas();
}

void TfrmPalette::BExchangeMouseDown(QMouseEvent *)
{
    SwapColors();
    FocusCanvas();
}

void TfrmPalette::csMasterMouseDown(TPaletteShape *, QMouseEvent *)
{
    ChooseBrushColor();
    FocusCanvas();
}

void TfrmPalette::csSecondMouseDown(TPaletteShape *, QMouseEvent *)
{
    ChooseEraserColor();
    FocusCanvas();
}
