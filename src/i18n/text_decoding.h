#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Turns the bytes of a language document into text, once, when it is
// loaded: by the Windows code page that its "@CodePage" line names (1250,
// 1251, 1252, ...), else as UTF-8 when the bytes are valid UTF-8, else as
// Windows-1252. A NUL byte ends the document.
QString DecodeLanguageDocument(QByteArray document);

// Splits text into lines at CR, LF or CR LF. A last line without a line end
// counts; empty text has no lines.
QStringList SplitTextLines(QStringView text);

// The value of the first line of the form key=value whose key (everything
// before the first "=") equals key, letter case ignored; nullopt when no
// line has it. Neither key nor value is trimmed.
std::optional<QString> FirstLineValue(const QStringList &lines, QStringView key);
