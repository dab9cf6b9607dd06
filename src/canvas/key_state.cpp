#include "canvas/key_state.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>

namespace KeyState {
namespace {

// xcb and Wayland report evdev key codes plus 8; Windows reports set-1 scan
// codes; macOS reports its own virtual key codes.
constexpr unsigned XkbLeftShift = 50;
constexpr unsigned XkbRightShift = 62;
constexpr unsigned WinLeftShift = 0x2A;
constexpr unsigned WinRightShift = 0x36;
constexpr unsigned MacLeftShift = 56;
constexpr unsigned MacRightShift = 60;

struct Tracker : QObject {
    QString platform;
    bool leftDown = false;
    bool rightDown = false;
    bool sidesKnown = false;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto type = event->type();
        if (IsDeactivation(event)) {
            // Keys released in another program never reach us.
            leftDown = rightDown = false;
            return QObject::eventFilter(watched, event);
        }
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
            return QObject::eventFilter(watched, event);
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Shift)
            Record(ShiftSideOf(platform, key->nativeScanCode(), key->nativeVirtualKey()), type == QEvent::KeyPress);
        return QObject::eventFilter(watched, event);
    }

    static bool IsDeactivation(const QEvent *event)
    {
        if (event->type() == QEvent::ApplicationDeactivate)
            return true;
        return event->type() == QEvent::ApplicationStateChange &&
               static_cast<const QApplicationStateChangeEvent *>(event)->applicationState() != Qt::ApplicationActive;
    }

    void Record(ShiftSide side, bool down)
    {
        if (side == ShiftSide::Unknown)
            return;
        sidesKnown = true;
        (side == ShiftSide::Left ? leftDown : rightDown) = down;
    }
};

// Owned by the application object; cleared when that goes.
QPointer<Tracker> TheTracker;

ShiftSide Pick(unsigned code, unsigned left, unsigned right)
{
    if (code == left)
        return ShiftSide::Left;
    if (code == right)
        return ShiftSide::Right;
    return ShiftSide::Unknown;
}

} // namespace

ShiftSide ShiftSideOf(const QString &platform, unsigned nativeScanCode, unsigned nativeVirtualKey)
{
    if (platform == u"xcb" || platform.startsWith(u"wayland"))
        return Pick(nativeScanCode, XkbLeftShift, XkbRightShift);
    if (platform == u"windows")
        return Pick(nativeScanCode, WinLeftShift, WinRightShift);
    if (platform == u"cocoa")
        return Pick(nativeVirtualKey, MacLeftShift, MacRightShift);
    return ShiftSide::Unknown;
}

void Install()
{
    if (TheTracker || !QCoreApplication::instance())
        return;
    TheTracker = new Tracker;
    TheTracker->setParent(QCoreApplication::instance());
    TheTracker->platform = QGuiApplication::platformName();
    QCoreApplication::instance()->installEventFilter(TheTracker);
}

bool LeftShiftDown(bool shiftHeld)
{
    if (!shiftHeld)
        return false;
    if (!TheTracker || !TheTracker->sidesKnown)
        return true;
    // Shift pressed before the application saw it: the side is not known.
    if (!TheTracker->leftDown && !TheTracker->rightDown)
        return true;
    return TheTracker->leftDown;
}

void SetPlatformForTesting(const QString &platform)
{
    Install();
    if (!TheTracker)
        return;
    TheTracker->platform = platform;
    TheTracker->leftDown = TheTracker->rightDown = TheTracker->sidesKnown = false;
}

} // namespace KeyState
