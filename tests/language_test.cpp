#include "i18n/language.h"
#include "i18n/text_decoding.h"
#include "language_test_util.h"

#include <gtest/gtest.h>

TEST(Language, SplitsLinesAndFindsTheFirstKeyWhateverItsCase)
{
    const auto language =
        MakeLanguage(QByteArray("a=1\r\nA=2\rfrmTools.Caption=\nb = spaced \nno key\n\nlast=x=y") + '\0' + "hidden=y");
    EXPECT_EQ(language->Lines, QStringList({"a=1", "A=2", "frmTools.Caption=", "b = spaced ", "no key", "", "last=x=y"}));
    EXPECT_EQ(language->GetValue("a", "-"), "1");
    EXPECT_EQ(language->GetValue("LAST", "-"), "x=y"); // the key ends at the first "="
    EXPECT_EQ(language->GetValue("last=x", "-"), "-");
    EXPECT_EQ(language->GetValue("FRMTOOLS.CAPTION", "Toolbox"), "Toolbox"); // empty counts as missing
    EXPECT_EQ(language->GetValue("b ", "-"), " spaced ");                   // nothing is trimmed
    EXPECT_EQ(language->GetValue("no key", "-"), "-");
    EXPECT_EQ(language->GetValue("hidden", "-"), "-"); // a NUL ends the document
    EXPECT_TRUE(MakeLanguage(QByteArray())->Lines.isEmpty());
}

TEST(Language, DecodesEscapesAndNamesItsHeaderKeys)
{
    const auto language = MakeLanguage(QByteArray("x=one#13#10two\ny=#1692026\n"));
    EXPECT_EQ(language->GetValue("x", ""), "one\r\ntwo");
    EXPECT_EQ(language->GetValue("y", ""), QString(QChar(169)) + "2026");
    EXPECT_EQ(TLanguage::ConvertEscapes(QString(QChar(169)) + "a\r\nb", false), "#169a#13#10b");
    EXPECT_EQ(language->GetName(), "Unknown");
    EXPECT_EQ(language->GetShortcut(), "");
    EXPECT_EQ(language->GetAppName(), "");
}

TEST(Language, DecodesByCodePageElseUtf8ElseWindows1252)
{
    // "Русский" in code page 1251, and the same bytes read as UTF-8 or 1252.
    const QByteArray cyrillic("\xD0\xF3\xF1\xF1\xEA\xE8\xE9");
    EXPECT_EQ(MakeLanguage("@CodePage=1251\n@Language=" + cyrillic)->GetName(), QString::fromUtf8("Русский"));
    EXPECT_EQ(MakeLanguage("@Language=" + QString::fromUtf8("Русский").toUtf8())->GetName(),
              QString::fromUtf8("Русский"));
    EXPECT_EQ(MakeLanguage("@Language=Fran\xE7" "ais \x80")->GetName(), QString::fromUtf8("Français €"));
    EXPECT_EQ(MakeLanguage("@codepage=65001\n@Language=Fran\xC3\xA7" "ais")->GetName(), QString::fromUtf8("Français"));
    EXPECT_EQ(MakeLanguage("@CodePage=99999\n@Language=Fran\xE7" "ais")->GetName(), QString::fromUtf8("Français"));
}

// Every shipped language offers every text that English has.
TEST(Language, ShippedLanguagesHaveEveryEnglishKey)
{
    const TMultiLangApp engine(QStringLiteral(VELMORA_LANG_DLL));
    ASSERT_TRUE(engine.LibraryError().isEmpty());
    QStringList names;
    for (const auto &language : engine.Languages)
        names << language->GetName();
    ASSERT_EQ(names, QStringList({"English", "Deutsch", QString::fromUtf8("Français"), QString::fromUtf8("Español"),
                                  QString::fromUtf8("Русский")}));
    const TLanguage &english = *engine.Languages[0];
    for (const auto &language : engine.Languages) {
        EXPECT_FALSE(language->GetValue("@Abr", "").isEmpty());
        EXPECT_FALSE(language->GetShortcut().isEmpty());
        for (const QString &line : english.Lines) {
            const QString key = line.section('=', 0, 0);
            if (line.contains('=') && !english.GetValue(key, "").isEmpty()) {
                EXPECT_FALSE(language->GetValue(key, "").isEmpty())
                    << language->GetName().toStdString() << " lacks " << key.toStdString();
            }
        }
    }
    EXPECT_EQ(english.GetValue("$siToolBarLocRestoredMsg", ""), "Default toolbars location has been restored");
    EXPECT_EQ(english.GetValue("frmMainForm.miBlackWhite.Caption", ""), "Black && white");
    EXPECT_EQ(english.GetValue("frmAbout.Label1.Caption", ""),
              QString::fromUtf8("Velmora 2.1\r\n© 2024-2026 Tarnwick. All rights reserved."));
}
