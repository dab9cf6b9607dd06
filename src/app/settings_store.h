#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>

#include <optional>

// The per-user settings store: one group "v2" of the organisation
// "Tarnwick", application "Velmora" (the registry key
// HKCU\Software\Tarnwick\Velmora\v2 on Windows, ~/.config/Tarnwick/Velmora.conf
// on Linux). Reading never creates anything, and every failure of the store
// gives the value's default.
class TSettingsStore {
public:
    TSettingsStore();

    // False until the program has stored its settings once.
    bool Exists() const;

    bool Has(const QString &name) const;
    // The string value; nothing when it is missing or not a string.
    std::optional<QString> String(const QString &name) const;
    // Any whole number: non-zero is true; "true" and "false" as written by
    // other programs read as such; anything else gives the default.
    bool Bool(const QString &name, bool defaultValue) const;
    // A whole number, or the default when the value is missing or not one.
    int Int(const QString &name, int defaultValue) const;

    void WriteString(const QString &name, const QString &value);
    // Booleans are stored as the numbers 0 and 1.
    void WriteBool(const QString &name, bool value);
    void WriteInt(const QString &name, int value);

private:
    QVariant Value(const QString &name) const;

    mutable QSettings Store;
};

// A string value, or the default when the store, the group or the value is
// missing or cannot be read as a string.
QString ReadStoreString(const QString &name, const QString &defaultValue = QString());
// Writes one string value, creating the group when needed; failures are
// ignored.
void WriteStoreString(const QString &name, const QString &value);
