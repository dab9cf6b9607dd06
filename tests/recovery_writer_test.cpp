#include "codecs/png_codec.h"
#include "codecs/recovery_png.h"
#include "engine/recovery_folder.h"
#include "engine/recovery_writer.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

QImage Sample()
{
    QImage img(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, qRgb(x * 6, y * 8, (x ^ y) * 4));
    return img;
}

QStringList Entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

} // namespace

// The copy opens in any PNG reader, and comes back with its name, format and
// file stamp; a copy cut short or without its info is damaged.
TEST(RecoveryPng, KeepsPixelsNameFormatAndStampAndRefusesDamage)
{
    const TRecoveryInfo info{QStringLiteral("/home/ana/Bilder/Stern – groß.gif"), 2, TFileStamp{1700000000123, 4567}};
    const std::vector<std::uint8_t> bytes = EncodeRecoveryPng(Sample(), info);
    EXPECT_EQ(DecodePng(bytes.data(), bytes.size()), Sample());
    TRecoveryInfo back;
    EXPECT_EQ(DecodeRecoveryPng(bytes.data(), bytes.size(), back), Sample());
    EXPECT_EQ(back.FileName, info.FileName);
    EXPECT_EQ(back.Format, 2);
    EXPECT_EQ(back.File, info.File);

    EXPECT_THROW(DecodeRecoveryPng(bytes.data(), bytes.size() / 2, back), PngDataError);
    const std::vector<std::uint8_t> plain = EncodePng(Sample());
    EXPECT_THROW(DecodeRecoveryPng(plain.data(), plain.size(), back), PngDataError);
}

// A layered copy is an OpenRaster file with every layer and the same info;
// a copy cut short is damaged.
TEST(RecoveryOra, KeepsLayersAndInfoAndRefusesDamage)
{
    QImage lines(Sample().size(), QImage::Format_ARGB32);
    lines.fill(0);
    lines.setPixel(3, 4, qRgba(10, 20, 30, 128));
    const std::vector<TImageLayer> layers{{QStringLiteral("Background"), false, 100, Sample()},
                                          {QStringLiteral("Lines"), true, 40, lines}};
    const TRecoveryInfo info{QStringLiteral("/tmp/a.ora"), 4, TFileStamp{17, 3}};
    const std::vector<std::uint8_t> bytes = EncodeRecoveryOra(layers, lines, info);
    TRecoveryInfo back;
    const TOraImage image = DecodeRecoveryOra(bytes.data(), bytes.size(), back);
    ASSERT_EQ(image.Layers.size(), 2u);
    EXPECT_EQ(image.Layers[0].Pixels.convertToFormat(QImage::Format_RGB32), Sample());
    EXPECT_FALSE(image.Layers[0].Visible);
    EXPECT_EQ(image.Layers[1].Name, QStringLiteral("Lines"));
    EXPECT_EQ(image.Layers[1].Opacity, 40);
    EXPECT_EQ(image.Layers[1].Pixels, lines);
    EXPECT_EQ(back.FileName, info.FileName);
    EXPECT_EQ(back.File, info.File);
    EXPECT_THROW(DecodeRecoveryOra(bytes.data(), bytes.size() - 100, back), PngDataError);
    const std::vector<std::uint8_t> plain = EncodeOra(layers, lines);
    EXPECT_THROW(DecodeRecoveryOra(plain.data(), plain.size(), back), PngDataError);
}

// The copy is written on the worker under a lock that keeps other instances
// off it; removing it, or ending the writer, leaves the folder empty.
TEST(RecoveryWriter, WritesUnderALockAndLeavesNothingBehind)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("recovery"));
    {
        TRecoveryWriter writer(folder);
        ASSERT_TRUE(writer.Submit(Sample(), {QStringLiteral("a.png"), 1, {}}, 7));
        writer.Wait();
        EXPECT_EQ(writer.WrittenTag(), 7);
        EXPECT_EQ(Entries(folder).size(), 2u);
        EXPECT_TRUE(AbandonedRecoveryCopies(folder).isEmpty());
        TRecoveryInfo info;
        const std::vector<std::uint8_t> bytes = [&] {
            QFile f(writer.CopyPath());
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            const QByteArray b = f.readAll();
            return std::vector<std::uint8_t>(b.cbegin(), b.cend());
        }();
        EXPECT_EQ(DecodeRecoveryPng(bytes.data(), bytes.size(), info), Sample());

        writer.Remove();
        EXPECT_TRUE(Entries(folder).isEmpty());
        EXPECT_EQ(writer.WrittenTag(), 0);
        ASSERT_TRUE(writer.Submit(Sample(), {}, 8));
    }
    EXPECT_TRUE(Entries(folder).isEmpty());
}

// Copies without a live lock are offered newest first; a copy that cannot be
// read is renamed, never overwritten.
TEST(RecoveryWriter, AbandonedCopiesNewestFirstAndMovedAsideUnderFreeNames)
{
    QTemporaryDir dir;
    const QString older = dir.filePath(QStringLiteral("1-1.png")), newer = dir.filePath(QStringLiteral("2-2.png"));
    const QString held = dir.filePath(QStringLiteral("3-3.png"));
    for (const QString &path : {older, newer, held}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x");
        f.flush();
        f.setFileTime(QDateTime::currentDateTime().addSecs(path == older ? -60 : 0), QFileDevice::FileModificationTime);
    }
    QLockFile lock(RecoveryLockPath(held));
    ASSERT_TRUE(lock.tryLock(0));
    EXPECT_EQ(AbandonedRecoveryCopies(dir.path()), QStringList({newer, older}));
    EXPECT_FALSE(ClaimRecoveryCopy(held));
    QFile::remove(older);
    EXPECT_FALSE(ClaimRecoveryCopy(older)); // gone since it was listed

    EXPECT_EQ(MoveRecoveryCopyAside(newer), newer + QStringLiteral(".bad"));
    QFile(newer + QStringLiteral(".bad")).copy(newer);
    EXPECT_EQ(MoveRecoveryCopyAside(newer), newer + QStringLiteral(".2.bad"));
}
