#include "app/file_names.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// Where the name part begins: after the last folder separator, or on
// Windows after a drive colon.
qsizetype NameStart(const QString &name)
{
    qsizetype at = name.lastIndexOf(u'/');
#ifdef Q_OS_WIN
    at = std::max({at, name.lastIndexOf(u'\\'), name.lastIndexOf(u':')});
#endif
    return at + 1;
}

QString WithTrailingSeparator(const QString &folder)
{
    QString native = QDir::toNativeSeparators(folder);
    if (!native.endsWith(QDir::separator()))
        native += QDir::separator();
    return native;
}

// An extension without its leading dot.
QString Bare(const QString &ext)
{
    return ext.startsWith(u'.') ? ext.mid(1) : ext;
}

} // namespace

QString ForceFileExt(const QString &name, const QString &ext)
{
    return ForceFileExt(name, QStringList{ext});
}

QString ForceFileExt(const QString &name, const QStringList &extensions)
{
    const qsizetype start = NameStart(name);
    // LOGO.GIF and LOGO.gif are two files here: a name that already ends
    // in the extension is the file the user means, whatever its case.
    const qsizetype dot = name.lastIndexOf(u'.');
    for (const QString &ext : extensions) {
        if (dot >= start && name.mid(dot + 1).compare(Bare(ext), Qt::CaseInsensitive) == 0)
            return name;
    }
    QStringList pieces = name.mid(start).split(u'.', Qt::SkipEmptyParts);
    if (pieces.size() > 1)
        pieces.removeLast();
    return name.left(start) + pieces.join(u'.') + u'.' + Bare(extensions.value(0));
}

QString FolderOf(const QString &fileName)
{
    return WithTrailingSeparator(QFileInfo(fileName).absolutePath());
}

QString ProgramFolder()
{
    return WithTrailingSeparator(QCoreApplication::applicationDirPath());
}
