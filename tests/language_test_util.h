#pragma once

#include "i18n/language.h"
#include "i18n/ml_strings.h"
#include "i18n/multi_lang_app.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

inline QByteArray Compress(const QByteArray &plain, int level = 9)
{
    uLongf size = compressBound(uLong(plain.size()));
    QByteArray packed(qsizetype(size), '\0');
    compress2(reinterpret_cast<Bytef *>(packed.data()), &size, reinterpret_cast<const Bytef *>(plain.constData()),
              uLong(plain.size()), level);
    packed.resize(qsizetype(size));
    return packed;
}

// A resource payload: the zlib stream of a 32-bit little-endian length (the
// document's own unless given) followed by the document.
inline QByteArray Payload(const QByteArray &document, std::optional<qint32> length = std::nullopt, int level = 9)
{
    const auto n = quint32(length.value_or(qint32(document.size())));
    QByteArray plain;
    for (int i = 0; i < 4; ++i)
        plain.append(char(n >> (8 * i)));
    return Compress(plain + document, level);
}

inline bool RunTool(const QString &program, const QStringList &args, const QString &dir)
{
    QProcess p;
    p.setWorkingDirectory(dir);
    p.start(program, args);
    const bool ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    if (!ok)
        ADD_FAILURE() << program.toStdString() << ": " << p.readAllStandardError().toStdString();
    return ok;
}

// Makes a resource DLL in dir with the same mingw tools as the shipped
// lang.dll: one RCDATA resource per (name, payload). Returns its path.
inline QString BuildResourceDll(const QString &dir, const std::vector<std::pair<QString, QByteArray>> &resources,
                                const QString &fileName = QStringLiteral("lang.dll"))
{
    QByteArray script;
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const QString payload = QStringLiteral("r%1.bin").arg(i);
        QFile f(QDir(dir).filePath(payload));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(resources[i].second);
        script += resources[i].first.toLatin1() + " RCDATA \"" + payload.toLatin1() + "\"\n";
    }
    QFile rc(QDir(dir).filePath(QStringLiteral("lib.rc")));
    EXPECT_TRUE(rc.open(QIODevice::WriteOnly));
    rc.write(script);
    rc.close();
    RunTool(QStringLiteral(VELMORA_WINDRES),
            {"--preprocessor=cat", "-J", "rc", "-O", "coff", "-i", "lib.rc", "-o", "lib.o"}, dir);
    RunTool(QStringLiteral(VELMORA_MINGW_LD), {"--dll", "-e", "0", "-o", fileName, "lib.o"}, dir);
    return QDir(dir).filePath(fileName);
}

inline std::unique_ptr<TLanguage> MakeLanguage(const QByteArray &document)
{
    auto language = std::make_unique<TLanguage>();
    QBuffer stream;
    stream.setData(document);
    stream.open(QIODevice::ReadOnly);
    language->LoadFromStream(&stream);
    return language;
}

// A language for this program with the given extra lines.
inline std::unique_ptr<TLanguage> MakeLanguage(const QString &name, const QString &lines)
{
    return MakeLanguage(QStringLiteral("@App=Velmora 2\n@Language=%1\n%2").arg(name, lines).toUtf8());
}

// Makes its own engine the program's MultiLangApp while it lives; the
// engine before it and the caption globals come back afterwards.
class TScopedEngine {
public:
    explicit TScopedEngine(const QString &libraryPath = QString())
        : Previous(MultiLangApp)
        , Captions{ErrorCaption, WarningCaption, InfoCaption, ConfirmationCaption, NewFolderName}
        , Engine(std::make_unique<TMultiLangApp>(libraryPath))
    {
        MultiLangApp = Engine.get();
    }
    ~TScopedEngine()
    {
        MultiLangApp = Previous;
        ErrorCaption = Captions[0];
        WarningCaption = Captions[1];
        InfoCaption = Captions[2];
        ConfirmationCaption = Captions[3];
        NewFolderName = Captions[4];
    }
    TMultiLangApp *operator->() const { return Engine.get(); }
    TMultiLangApp &operator*() const { return *Engine; }

private:
    TMultiLangApp *Previous;
    QString Captions[5];
    std::unique_ptr<TMultiLangApp> Engine;
};
