#include "app/recent_files.h"

#include "app/settings_store.h"

#include <QDir>
#include <QFileInfo>

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity FileNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity FileNameCase = Qt::CaseSensitive;
#endif

QString SlotName(int slot)
{
    return QStringLiteral("RecentFile%1").arg(slot + 1);
}

QString FullName(const QString &fileName)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(fileName).absoluteFilePath()));
}

} // namespace

void TRecentFiles::Add(const QString &fileName)
{
    const QString name = FullName(fileName);
    Remove(name);
    Files.prepend(name);
    while (Files.size() > MaxCount)
        Files.removeLast();
}

void TRecentFiles::Remove(const QString &fileName)
{
    const QString name = FullName(fileName);
    Files.removeIf([&](const QString &f) { return f.compare(name, FileNameCase) == 0; });
}

void TRecentFiles::Load(const TSettingsStore &store)
{
    Files.clear();
    for (int slot = MaxCount - 1; slot >= 0; --slot) {
        const QString name = store.String(SlotName(slot)).value_or(QString());
        if (!name.isEmpty())
            Add(name);
    }
}

void TRecentFiles::Save(TSettingsStore &store) const
{
    for (int slot = 0; slot < MaxCount; ++slot)
        store.WriteString(SlotName(slot), Files.value(slot));
}
