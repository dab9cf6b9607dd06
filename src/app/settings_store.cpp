#include "app/settings_store.h"

#include <QSettings>

namespace {

const char Organization[] = "Tarnwick";
const char Application[] = "Velmora";
const char Group[] = "v2";

} // namespace

QString ReadStoreString(const QString &name, const QString &defaultValue)
{
    QSettings store(QSettings::NativeFormat, QSettings::UserScope, QLatin1String(Organization),
                    QLatin1String(Application));
    store.beginGroup(QLatin1String(Group));
    const QVariant value = store.value(name);
    if (store.status() != QSettings::NoError || !value.isValid() || value.userType() != QMetaType::QString)
        return defaultValue;
    return value.toString();
}
