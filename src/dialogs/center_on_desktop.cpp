#include "dialogs/center_on_desktop.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void CenterOnDesktop(QWidget &window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(screen->availableGeometry().center() - window.rect().center());
}
