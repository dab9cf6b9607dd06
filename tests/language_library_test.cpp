#include "i18n/compressed_resource_lib.h"
#include "i18n/pe_resources.h"
#include "i18n/text_decoding.h"
#include "language_test_util.h"

#include <QBuffer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void WriteFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A library built by the mingw tools with the documents and payloads that
// the reader must tell apart.
struct ResourceLibraryTest : ::testing::Test {
    static void SetUpTestSuite()
    {
        Dir = new QTemporaryDir;
        QByteArray broken = Payload("a=b12");
        broken[0] = 0; // no zlib header any more
        Path = new QString(BuildResourceDll(Dir->path(), {
            {"SHORT", Payload("a=b12")},
            {"LONGER", Payload("a=b12", 10)},
            {"TRAILING", Payload("abcdef", 3)},
            {"ZERO", Payload("abc", 0)},
            {"NEGATIVE", Payload("abc", -5)},
            {"CUT", Payload(QByteArray(1000, 'x'), std::nullopt, 0).first(20)},
            {"BROKEN", broken},
            {"TINY", Compress("ab")},
            {"EMPTY", QByteArray()},
            {"HUGE", Payload(QByteArray(65 << 20, ' '))},
        }));
    }
    static void TearDownTestSuite()
    {
        delete Path;
        delete Dir;
    }

    static QTemporaryDir *Dir;
    static QString *Path;
};

QTemporaryDir *ResourceLibraryTest::Dir = nullptr;
QString *ResourceLibraryTest::Path = nullptr;

quint32 Le32(const QByteArray &d, qsizetype at)
{
    return quint32(quint8(d[at])) | quint32(quint8(d[at + 1])) << 8 | quint32(quint8(d[at + 2])) << 16 |
           quint32(quint8(d[at + 3])) << 24;
}

quint16 Le16(const QByteArray &d, qsizetype at)
{
    return quint16(quint8(d[at]) | quint8(d[at + 1]) << 8);
}

void Put32(QByteArray &d, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        d[at + i] = char(v >> (8 * i));
}

// Where the fields of a sound resource DLL lie, found the long way round.
struct TLayout {
    explicit TLayout(const QByteArray &d)
    {
        Pe = Le32(d, 0x3C);
        const qsizetype optional = Pe + 24;
        ResourceRva = optional + (Le16(d, optional) == 0x20B ? 112 : 96) + 16;
        const quint32 rva = Le32(d, ResourceRva);
        const qsizetype table = optional + Le16(d, Pe + 20);
        for (int i = 0; i < Le16(d, Pe + 6); ++i) {
            const qsizetype s = table + 40 * i;
            if (rva >= Le32(d, s + 12) && rva < Le32(d, s + 12) + Le32(d, s + 16))
                Root = Le32(d, s + 20) + rva - Le32(d, s + 12);
        }
        TypeEntry = Root + 16;
        NameEntry = Root + (Le32(d, TypeEntry + 4) & 0x7FFFFFFF) + 16;
        NameString = Root + (Le32(d, NameEntry) & 0x7FFFFFFF);
        const auto nameOf = [&](qsizetype entry) {
            const qsizetype string = Root + (Le32(d, entry) & 0x7FFFFFFF);
            QString name;
            for (int i = 0; i < Le16(d, string); ++i)
                name += QChar(Le16(d, string + 2 + 2 * i));
            return name;
        };
        FirstName = nameOf(NameEntry);
        SecondName = nameOf(NameEntry + 8);
        const qsizetype languageEntry = Root + (Le32(d, NameEntry + 4) & 0x7FFFFFFF) + 16;
        DataEntry = Root + Le32(d, languageEntry + 4);
    }
    qsizetype Pe = 0, ResourceRva = 0, Root = 0, TypeEntry = 0, NameEntry = 0, NameString = 0, DataEntry = 0;
    QString FirstName; // the resource that the entries above lead to
    QString SecondName; // the next entry of the names' directory
};

} // namespace

TEST(ShippedLanguageLibrary, HoldsEveryLanguageOfItsIndex)
{
    const TCompressedResourceLib library(QStringLiteral(VELMORA_LANG_DLL));
    QBuffer index;
    index.open(QIODevice::ReadWrite);
    ASSERT_TRUE(library.GetResource("LANGUAGE_RD", &index));
    const QStringList names = SplitTextLines(DecodeLanguageDocument(index.readAll()));
    EXPECT_EQ(names, QStringList({"ENGLISH", "GERMAN", "FRENCH", "SPANISH", "RUSSIAN"}));
    for (const QString &name : names) {
        QBuffer text;
        text.open(QIODevice::ReadWrite);
        ASSERT_TRUE(library.GetResource(name, &text)) << name.toStdString();
        EXPECT_TRUE(text.data().contains("\n@App=Velmora 2\n")) << name.toStdString();
    }
}

TEST_F(ResourceLibraryTest, GivesTheDocumentOfItsLengthAtTheStreamsPosition)
{
    const TCompressedResourceLib library(*Path);
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    ASSERT_TRUE(library.GetResource("SHORT", &stream));
    EXPECT_EQ(stream.data(), "a=b12");
    EXPECT_EQ(stream.pos(), 0);

    // Names are found whatever their case; bytes after the document are
    // ignored; the document goes where the stream stands.
    QBuffer filled;
    filled.open(QIODevice::ReadWrite);
    filled.write("xyz");
    ASSERT_TRUE(library.GetResource("trailing", &filled));
    EXPECT_EQ(filled.data(), "xyzabc");
    EXPECT_EQ(filled.pos(), 0);
}

TEST_F(ResourceLibraryTest, MissingShortOrEmptyDocumentsGiveFalse)
{
    const TCompressedResourceLib library(*Path);
    for (const char *name : {"NOSUCH", "EMPTY"}) {
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        stream.write("keep");
        EXPECT_FALSE(library.GetResource(name, &stream)) << name;
        EXPECT_EQ(stream.data(), "keep") << name;
    }
    // HUGE: a document beyond any language text, as a small file could
    // claim gigabytes.
    for (const char *name : {"LONGER", "ZERO", "NEGATIVE", "CUT", "HUGE"}) {
        QBuffer stream;
        stream.open(QIODevice::ReadWrite);
        EXPECT_FALSE(library.GetResource(name, &stream)) << name;
    }
    QBuffer partial;
    partial.open(QIODevice::ReadWrite);
    library.GetResource("LONGER", &partial);
    EXPECT_EQ(partial.data(), "a=b12"); // what was read before the data ended stays
}

TEST_F(ResourceLibraryTest, UnreadableLengthAndMisuseAreRaised)
{
    TCompressedResourceLib library(*Path);
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    EXPECT_THROW(library.GetResource("BROKEN", &stream), std::runtime_error);
    EXPECT_THROW(library.GetResource("TINY", &stream), std::runtime_error);
    try {
        library.GetResource("SHORT", nullptr);
        ADD_FAILURE();
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "Invalid output stream");
    }
    library.Unload();
    EXPECT_EQ(library.Handle(), nullptr);
    try {
        library.GetResource("SHORT", &stream);
        ADD_FAILURE();
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "Resource library not loaded");
    }
    library.Load();
    EXPECT_TRUE(library.GetResource("SHORT", &stream));
}

TEST_F(ResourceLibraryTest, FilesThatAreNoLibraryCannotBeLoaded)
{
    const QString text = Dir->filePath("notes.dll");
    WriteFile(text, "just some text, long enough to look at ............................................");
    const QString truncated = Dir->filePath("truncated.dll");
    WriteFile(truncated, ReadFile(*Path).first(700));
    for (const QString &path : {text, truncated, Dir->filePath("missing.dll")}) {
        try {
            TCompressedResourceLib library(path);
            ADD_FAILURE() << path.toStdString();
        } catch (const EResourceLibraryError &e) {
            EXPECT_STREQ(e.what(), "Cannot load resource library");
            EXPECT_FALSE(e.Reason().isEmpty());
        }
    }
}

TEST_F(ResourceLibraryTest, DamagedHeadersAreRefused)
{
    const QByteArray sound = ReadFile(*Path);
    const TLayout at(sound);
    const std::vector<std::pair<qsizetype, quint32>> damages = {
        {0, 0u},                          // no MZ
        {0x3C, 0x7FFFFFF0u},              // PE header far outside the file
        {at.Pe, 0x00004551u},             // no PE signature
        {at.Pe + 4, 0xFFFF8664u},         // 65535 sections
        {at.Pe + 20, 0x2022FFFFu},        // optional header larger than the file
        {at.ResourceRva, 0x7FFF0000u},    // resource directory in no section
    };
    for (const auto &[offset, value] : damages) {
        QByteArray d = sound;
        Put32(d, offset, value);
        EXPECT_THROW(TPeResourceImage{d}, std::runtime_error) << "offset " << offset;
    }

    // Section tables that fit in the file, the added sections without raw
    // data: 96 are read, 97 are more than the Windows loader takes.
    const auto withSections = [&](quint32 count) {
        QByteArray d = sound;
        const qsizetype table = at.Pe + 24 + Le16(sound, at.Pe + 20);
        const qsizetype added = table + 40 * Le16(sound, at.Pe + 6);
        d.replace(added, table + 40 * count - added, QByteArray(table + 40 * count - added, '\0'));
        Put32(d, at.Pe + 4, count << 16 | Le16(sound, at.Pe + 4));
        return d;
    };
    EXPECT_NO_THROW(TPeResourceImage{withSections(96)});
    EXPECT_THROW(TPeResourceImage{withSections(97)}, std::runtime_error);
}

TEST_F(ResourceLibraryTest, DamagedResourceTreeFindsNothing)
{
    const QByteArray sound = ReadFile(*Path);
    const TLayout at(sound);
    ASSERT_TRUE(TPeResourceImage(sound).Find(TPeResourceImage::RcDataType, at.FirstName));
    const std::vector<std::pair<qsizetype, quint32>> damages = {
        {at.DataEntry, 0x7FFFFFF0u},      // data far outside the file
        {at.DataEntry + 4, 0xFFFFFFFFu},  // data larger than the file
        {at.TypeEntry + 4, 0x80000000u},  // the names' directory is the root again
        {at.Root + 12, 0xFFFFFFFFu},      // 131070 entries in the root
        {at.NameEntry + 4, 0x7FFFFFF0u},  // languages' directory outside the file
        {at.NameString, 0xFFFFu},         // a name longer than the file
    };
    for (const auto &[offset, value] : damages) {
        QByteArray d = sound;
        Put32(d, offset, value);
        const TPeResourceImage image(d);
        EXPECT_FALSE(image.Find(TPeResourceImage::RcDataType, at.FirstName)) << "offset " << offset;
    }

    // A loop that passes every other check: the second name's languages are
    // the names' directory again, whose first entry now leads to data.
    ASSERT_TRUE(TPeResourceImage(sound).Find(TPeResourceImage::RcDataType, at.SecondName));
    QByteArray loop = sound;
    Put32(loop, at.NameEntry + 4, quint32(at.DataEntry - at.Root));
    Put32(loop, at.NameEntry + 12, quint32(at.NameEntry - 16 - at.Root) | 0x80000000u);
    EXPECT_FALSE(TPeResourceImage(loop).Find(TPeResourceImage::RcDataType, at.SecondName));
}

// Random damage and truncation must end in an error or a failed lookup,
// never in a crash or a read outside the data (the sanitizers watch).
TEST_F(ResourceLibraryTest, RandomDamageNeverCrashes)
{
    const QByteArray sound = ReadFile(*Path);
    QRandomGenerator random(20240611);
    for (int round = 0; round < 3000; ++round) {
        QByteArray d = sound;
        if (round % 5 == 0)
            d.truncate(random.bounded(int(d.size())));
        for (int flips = 1 + random.bounded(8); flips > 0 && !d.isEmpty(); --flips)
            d[random.bounded(int(std::min<qsizetype>(d.size(), 2048)))] = char(random.bounded(256));
        try {
            const TPeResourceImage image(d);
            for (const char *name : {"SHORT", "LONGER", "EMPTY", "NOSUCH"})
                image.Find(TPeResourceImage::RcDataType, name);
        } catch (const std::runtime_error &) {
        }
    }
}
