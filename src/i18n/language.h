#pragma once

#include <QAction>
#include <QPointer>
#include <QString>
#include <QStringList>

class QIODevice;

// One language: its text as key=value lines, and the menu items that offer
// it (the Language submenu's and the commands bar's), which the windows own.
class TLanguage {
public:
    // Replaces the lines by the document in the stream, decoded once here.
    void LoadFromStream(QIODevice *stream);

    // With decode, turns "#169", "#13" and "#10" (in this order) into the
    // characters ©, CR and LF; without, the reverse.
    static QString ConvertEscapes(const QString &text, bool decode);

    // The value of the first line whose key equals key (letter case
    // ignored), escapes decoded; def when it is empty or missing.
    QString GetValue(const QString &key, const QString &def) const;
    QString GetName() const;     // "@Language", or "Unknown"
    QString GetShortcut() const; // "@Shortcut", or empty
    QString GetAppName() const;  // "@App", or empty
    // The locale of Qt's own texts: "@Locale" ("pt_BR"), else "@Abr" in
    // lower case ("de"), else empty.
    QString GetLocale() const;

    QStringList Lines;
    QPointer<QAction> MenuItem1;
    QPointer<QAction> MenuItem2;
};
