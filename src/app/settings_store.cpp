#include "app/settings_store.h"

namespace {

const char Group[] = "v2";

} // namespace

TSettingsStore::TSettingsStore()
    : Store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tarnwick"), QStringLiteral("Velmora"))
{
}

bool TSettingsStore::Exists() const
{
    return Store.status() == QSettings::NoError && Store.childGroups().contains(QLatin1String(Group));
}

QVariant TSettingsStore::Value(const QString &name) const
{
    if (Store.status() != QSettings::NoError)
        return {};
    return Store.value(QStringLiteral("%1/%2").arg(QLatin1String(Group), name));
}

bool TSettingsStore::Has(const QString &name) const
{
    return Value(name).isValid();
}

std::optional<QString> TSettingsStore::String(const QString &name) const
{
    const QVariant value = Value(name);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

int TSettingsStore::Int(const QString &name, int defaultValue) const
{
    bool ok = false;
    const int value = Value(name).toString().trimmed().toInt(&ok);
    return ok ? value : defaultValue;
}

bool TSettingsStore::Bool(const QString &name, bool defaultValue) const
{
    const QString text = Value(name).toString().trimmed();
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (ok)
        return number != 0;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return defaultValue;
}

void TSettingsStore::WriteString(const QString &name, const QString &value)
{
    Store.setValue(QStringLiteral("%1/%2").arg(QLatin1String(Group), name), value);
}

void TSettingsStore::WriteBool(const QString &name, bool value)
{
    WriteInt(name, value ? 1 : 0);
}

void TSettingsStore::WriteInt(const QString &name, int value)
{
    Store.setValue(QStringLiteral("%1/%2").arg(QLatin1String(Group), name), value);
}

QString ReadStoreString(const QString &name, const QString &defaultValue)
{
    return TSettingsStore().String(name).value_or(defaultValue);
}

void WriteStoreString(const QString &name, const QString &value)
{
    TSettingsStore().WriteString(name, value);
}
