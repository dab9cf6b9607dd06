#pragma once

#include <QString>
#include <QStringList>

// File name rules of the file commands. Folders are written with the
// platform's separators and end with one.

// The name with its last extension replaced by ext (given with or without
// its dot): rose.gif -> rose.png, my.rose.bmp -> my.rose.png,
// rose..gif -> rose.png, rose -> rose.png. A name whose extension is ext
// in any letter case stays as it is: LOGO.GIF with gif. Only the name part
// after the last folder separator is changed.
QString ForceFileExt(const QString &name, const QString &ext);
// The same for a format of several extensions: a name ending in any of them
// stays, another takes the first (photo.JPEG stays, photo.png becomes
// photo.jpg with jpg and jpeg).
QString ForceFileExt(const QString &name, const QStringList &extensions);

// The folder part of a file name, ending with a separator.
QString FolderOf(const QString &fileName);

// The folder of the program's executable, ending with a separator.
QString ProgramFolder();
