#include "i18n/multi_lang_app.h"

#include "i18n/compressed_resource_lib.h"
#include "i18n/control_translators.h"
#include "i18n/text_decoding.h"

#include <QAction>
#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString IndexResource = QStringLiteral("LANGUAGE_RD");
const QString ApplicationName = QStringLiteral("Velmora 2");

std::unique_ptr<TMultiLangApp> Engine;

} // namespace

TMultiLangApp *MultiLangApp = nullptr;

void TMultiLangString::UpdateText(const TLanguage *current)
{
    if (current)
        Text = current->GetValue(QLatin1Char('$') + Name, Text);
}

TMultiLangApp::TMultiLangApp(const QString &libraryPath)
    : ItemClicks(std::make_unique<QObject>())
{
    LoadLanguages(libraryPath);
    RegisterControlTranslators(*this);
    RegisterString(QStringLiteral("siErrorCaption"), ErrorCaption);
    RegisterString(QStringLiteral("siWarningCaption"), WarningCaption);
    RegisterString(QStringLiteral("siConfirmtaionCaption"), ConfirmationCaption);
    RegisterString(QStringLiteral("siNewFolderName"), NewFolderName);
}

TMultiLangApp::~TMultiLangApp() = default;

// A library that is there but cannot be read, or one of whose resources has
// a broken compressed header, costs every language: the program then runs
// with its built-in texts and tells the user why.
void TMultiLangApp::LoadLanguages(const QString &libraryPath)
{
    if (libraryPath.isEmpty() || !QFileInfo::exists(libraryPath))
        return;
    try {
        const TCompressedResourceLib library(libraryPath);
        QBuffer index;
        index.open(QIODevice::ReadWrite);
        if (!library.GetResource(IndexResource, &index))
            return;
        for (const QString &name : SplitTextLines(DecodeLanguageDocument(index.readAll()))) {
            QBuffer stream;
            stream.open(QIODevice::ReadWrite);
            if (!library.GetResource(name, &stream))
                continue;
            auto language = std::make_unique<TLanguage>();
            language->LoadFromStream(&stream);
            if (IsValidLanguage(language.get()))
                Languages.push_back(std::move(language));
        }
    } catch (const std::exception &e) {
        Languages.clear();
        const auto *libraryError = dynamic_cast<const EResourceLibraryError *>(&e);
        const QString reason = QString::fromStdString(e.what()) +
                               (libraryError ? QStringLiteral(": ") + libraryError->Reason() : QString());
        FLibraryError = QStringLiteral("The language library \"%1\" cannot be used.\n%2\n\n"
                                       "Velmora continues with its built-in English texts.")
                            .arg(QDir::toNativeSeparators(libraryPath), reason);
    }
}

bool TMultiLangApp::IsValidLanguage(const TLanguage *language) const
{
    return language && language->GetAppName().compare(ApplicationName, Qt::CaseInsensitive) == 0;
}

int TMultiLangApp::IndexOfLanguage(const QString &name) const
{
    for (std::size_t i = 0; i < Languages.size(); ++i)
        if (Languages[i]->GetName().compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TMultiLangApp::SelectLanguage(int index)
{
    if (index < 0 || index >= int(Languages.size()))
        return;
    UncheckLanguageItems();
    CurrentLanguage = Languages[std::size_t(index)].get();
    QtTexts.Load(CurrentLanguage->GetLocale());
    ApplyLanguage();
    for (QAction *item : {CurrentLanguage->MenuItem1.data(), CurrentLanguage->MenuItem2.data()})
        if (item)
            item->setChecked(true);
    if (OnLanguageChange)
        OnLanguageChange(this);
}

bool TMultiLangApp::SelectLanguageByName(const QString &name, const QString &fallback)
{
    int index = IndexOfLanguage(name);
    if (index < 0)
        index = IndexOfLanguage(fallback);
    if (index < 0)
        return false;
    SelectLanguage(index);
    return true;
}

void TMultiLangApp::RegisterString(const QString &name, const QString &def)
{
    Strings.push_back({name, def});
}

int TMultiLangApp::IndexOfString(const QString &name) const
{
    for (std::size_t i = 0; i < Strings.size(); ++i)
        if (Strings[i].Name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

QString TMultiLangApp::GetString(const QString &name) const
{
    const int index = IndexOfString(name);
    return index < 0 ? QString() : Strings[std::size_t(index)].Text;
}

void TMultiLangApp::ApplyLanguage()
{
    for (TMultiLangString &s : Strings)
        s.UpdateText(CurrentLanguage);
    ErrorCaption = GetString(QStringLiteral("siErrorCaption"));
    WarningCaption = GetString(QStringLiteral("siWarningCaption"));
    ConfirmationCaption = GetString(QStringLiteral("siConfirmtaionCaption"));
    NewFolderName = GetString(QStringLiteral("siNewFolderName"));
}

QString LanguageLibraryPath()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("lang.dll"));
}

QString CreateMultiLangApp(const QString &libraryPath)
{
    Engine = std::make_unique<TMultiLangApp>(libraryPath);
    MultiLangApp = Engine.get();
    return MultiLangApp->LibraryError();
}

void FreeMultiLangApp()
{
    MultiLangApp = nullptr;
    Engine.reset();
}
