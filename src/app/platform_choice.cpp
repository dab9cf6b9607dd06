#include "app/platform_choice.h"

#include <QByteArray>
#include <QtGlobal>

#include <cstdlib>

namespace {

bool IsSet(const char *value)
{
    return value && *value;
}

} // namespace

bool PreferX11Platform(const char *waylandDisplay, const char *display, const char *qpaPlatform)
{
    return IsSet(waylandDisplay) && IsSet(display) && !IsSet(qpaPlatform);
}

bool ChoosePlatformForSession()
{
    if (!PreferX11Platform(std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY"), std::getenv("QT_QPA_PLATFORM")))
        return false;
    // Wayland stays the fallback when the X server turns out unusable.
    qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("xcb;wayland"));
    return true;
}

void ForgetChosenPlatform()
{
    qunsetenv("QT_QPA_PLATFORM");
}
