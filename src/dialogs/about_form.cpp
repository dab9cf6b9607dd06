#include "dialogs/about_form.h"

#include "canvas/velmora_canvas.h"
#include "dialogs/center_on_desktop.h"
#include "dialogs/shell.h"
#include "i18n/multi_lang_form.h"

#include <QApplication>
#include <QDateTime>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <numbers>

namespace {

constexpr int ClientWidth = 600;
constexpr int ClientHeight = 317;
constexpr int AnimationHeight = 138;
constexpr int StepsPerTick = 5;
constexpr int TicksPerFigure = 100;

const char WebAddress[] = "https://velmora.example.org";

// Nearest integer, halves to the even neighbour.
int RoundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

} // namespace

TfrmAbout::TfrmAbout(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setFixedSize(ClientWidth, ClientHeight);

    // The canvas's one-pixel border lies outside the window.
    AnimCanvas = new TVelmoraCanvas(this);
    AnimCanvas->setObjectName(QStringLiteral("AnimCanvas"));
    AnimCanvas->setGeometry(-1, -1, ClientWidth + 2, 140);
    AnimCanvas->SetCanvasSize(ClientWidth, AnimationHeight, true, true);
    AnimCanvas->SetMasterCenter(QPoint(200, AnimCanvas->PictureHeight() / 2));
    AnimCanvas->SetReflectionMode(rmMirrorPrimary);
    AnimCanvas->SetMasterColor(MakeColor(0, 0, 128));
    AnimCanvas->Interactive = false;
    AnimCanvas->setFocusPolicy(Qt::NoFocus);
    AnimCanvas->SetShadow(false);
    AnimCanvas->UpdateCursor();

    imgVersion = new QLabel(this);
    imgVersion->setObjectName(QStringLiteral("imgVersion"));
    imgVersion->setPixmap(QPixmap(QStringLiteral(":/images/version.gif")));
    imgVersion->move(9, 159);
    imgVersion->adjustSize();

    Label1 = new QLabel(QStringLiteral("Velmora 2.1\n© 2024-2026 Tarnwick. All rights reserved."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(24, 224);
    Label1->adjustSize();

    lWebLink = new QLabel(QLatin1String(WebAddress), this);
    lWebLink->setObjectName(QStringLiteral("lWebLink"));
    // An address, not a text: no language replaces it.
    lWebLink->setProperty("Tag", -1);
    lWebLink->move(24, 264);
    QFont link = lWebLink->font();
    link.setUnderline(true);
    lWebLink->setFont(link);
    QPalette linkPalette = lWebLink->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    lWebLink->setPalette(linkPalette);
    lWebLink->setCursor(Qt::PointingHandCursor);
    lWebLink->adjustSize();
    lWebLink->installEventFilter(this);

    bClose = new QPushButton(QStringLiteral("Close"), this);
    bClose->setObjectName(QStringLiteral("bClose"));
    bClose->setGeometry(512, 272, 75, 25);
    bClose->setDefault(true);
    connect(bClose, &QPushButton::clicked, this, &QDialog::accept);

    PaintTimer = new QTimer(this);
    PaintTimer->setObjectName(QStringLiteral("PaintTimer"));
    PaintTimer->setInterval(20);
    connect(PaintTimer, &QTimer::timeout, this, &TfrmAbout::PaintTimerTimer);

    CenterOnDesktop(*this);
    Translator = std::make_unique<TMultiLangForm>(this);
    Translator->Translate();
}

TfrmAbout::~TfrmAbout() = default;

void TfrmAbout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    Random.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
    RestartAnimation();
}

void TfrmAbout::RestartAnimation()
{
    PaintTimer->stop();
    AnimCanvas->Clear(clWhite);
    // The low three bytes of the random value make the colour.
    AnimCanvas->SetMasterColor(TColor(Random.bounded(0x7FFFFFFF)) & 0xFFFFFF);
    AnimCanvas->BrushSize = 1;
    AnimCanvas->SetReflectionMode(rmMirrorPrimary);
    AnimCanvas->SetMasterRefCount(3 + int(Random.bounded(7)));
    AnimCanvas->StrokeTo(AnimCanvas->MasterCenter, false);
    StepCount = 0;
    StepLength = 0;
    Heading = 0;
    PaintTimer->start();
}

// A random walk of short segments, each turning at most a quarter circle
// either way, drawn with all its mirrored copies.
void TfrmAbout::PaintTimerTimer()
{
    ++StepCount;
    for (int i = 0; i < StepsPerTick; ++i) {
        StepLength = 1 + int(Random.bounded(5));
        Heading += (Random.generateDouble() - 0.5) * std::numbers::pi;
        const QPoint pen = AnimCanvas->LastPoint;
        const QPoint target(RoundHalfEven(std::cos(Heading) * StepLength + pen.x()),
                            RoundHalfEven(std::sin(Heading) * StepLength + pen.y()));
        AnimCanvas->StrokeTo(target, true);
    }
    if (StepCount > TicksPerFigure)
        RestartAnimation();
}

void TfrmAbout::lWebLinkClick()
{
    OpenWithShell(lWebLink->text());
}

bool TfrmAbout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lWebLink && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
        lWebLinkClick();
    return QDialog::eventFilter(watched, event);
}

void ShowAboutBox()
{
    TfrmAbout box(QApplication::activeWindow());
    box.exec();
}
