#pragma once

#include <QString>

// The per-user settings store: one group "v2" of the organisation
// "Tarnwick", application "Velmora" (the registry key
// HKCU\Software\Tarnwick\Velmora\v2 on Windows, ~/.config/Tarnwick/Velmora.conf
// on Linux). Reading never creates anything; a failure gives the default.

// A string value, or the default when the store, the group or the value is
// missing or cannot be read as a string.
QString ReadStoreString(const QString &name, const QString &defaultValue = QString());
