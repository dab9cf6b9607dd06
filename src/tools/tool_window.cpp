#include "tools/tool_window.h"

#include "canvas/velmora_canvas.h"
#include "i18n/multi_lang_form.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>

TToolWindow::TToolWindow(TVelmoraCanvas *canvas, QWidget *parent, const QString &name, const QString &caption,
                         const QString &fontFamily, int fontPixels)
    : QWidget(parent, WindowFlags)
    , FCanvas(canvas)
{
    setObjectName(name);
    setWindowTitle(caption);
    QFont f(fontFamily);
    f.setPixelSize(fontPixels);
    setFont(f);
}

TToolWindow::~TToolWindow() = default;

void TToolWindow::CreateTranslator()
{
    Translator = std::make_unique<TMultiLangForm>(this);
    Translator->Translate();
}

void TToolWindow::Translate()
{
    if (Translator)
        Translator->Translate();
}

TVelmoraCanvas *TToolWindow::Canvas() const
{
    return FCanvas;
}

void TToolWindow::SetDefaultPosition()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect frame = frameGeometry();
    PlacedAt = DefaultFramePosition(screen->availableGeometry(), frame.width());
    move(PlacedAt);
    PlacedWithoutFrame = frame.size() == size();
}

bool TToolWindow::event(QEvent *event)
{
    const bool result = QWidget::event(event);
    const QEvent::Type type = event->type();
    if (!PlacedWithoutFrame || (type != QEvent::Move && type != QEvent::Resize && type != QEvent::Show))
        return result;
    if (frameGeometry().size() == size())
        return result;
    PlacedWithoutFrame = false;
    if (frameGeometry().topLeft() == PlacedAt)
        SetDefaultPosition();
    return result;
}

void TToolWindow::FocusCanvas()
{
    if (!FCanvas)
        return;
    // The canvas lives in the main window; focusing it from here means
    // activating that window too.
    FCanvas->window()->activateWindow();
    FCanvas->setFocus(Qt::OtherFocusReason);
}

QToolButton *TToolWindow::CreateFlatButton(const char *name, const QRect &geometry, const QString &hint)
{
    auto *button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(hint);
    return button;
}

void TToolWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
}
