#pragma once

#include <QString>
#include <QStringList>

class TSettingsStore;

// The files last opened or saved, newest first, at most MaxCount, each once.
// Stored as RecentFile1 ... RecentFile8.
class TRecentFiles {
public:
    static constexpr int MaxCount = 8;

    const QStringList &Names() const { return Files; }
    // Puts the file first; an entry of the same file moves there.
    void Add(const QString &fileName);
    void Remove(const QString &fileName);
    void Clear() { Files.clear(); }

    void Load(const TSettingsStore &store);
    // Writes every slot, the unused ones empty, so that a shorter list
    // replaces a longer one.
    void Save(TSettingsStore &store) const;

private:
    QStringList Files;
};
