#include "i18n/ml_strings.h"

#include "i18n/multi_lang_app.h"

QString ErrorCaption = QStringLiteral("Error");
QString WarningCaption = QStringLiteral("Warning");
QString InfoCaption = QStringLiteral("Information");
QString ConfirmationCaption = QStringLiteral("Confirmation");
QString NewFolderName = QStringLiteral("New folder");

void MLSetLanguageMenu(QMenu *parent, TLanguageChangeEvent handler)
{
    if (!MultiLangApp)
        return;
    MultiLangApp->OnLanguageChange = std::move(handler);
    MultiLangApp->FillLanguageMenu(parent);
}

void MLAddLanguageMenu(QMenu *parent)
{
    if (MultiLangApp)
        MultiLangApp->FillLanguageMenu(parent);
}

QString MLLanguageName()
{
    if (!MultiLangApp || !MultiLangApp->CurrentLanguage)
        return QString();
    return MultiLangApp->CurrentLanguage->GetName();
}

QString MLAppValue(const QString &name)
{
    if (!MultiLangApp || !MultiLangApp->CurrentLanguage)
        return QString();
    return MultiLangApp->CurrentLanguage->GetValue(QLatin1Char('@') + name, QString());
}

void MLSelectLanguage(const QString &name, const QString &fallback)
{
    if (MultiLangApp)
        MultiLangApp->SelectLanguageByName(name, fallback);
}

void MLRegisterString(const QString &name, const QString &defaultText)
{
    if (MultiLangApp)
        MultiLangApp->RegisterString(name, defaultText);
}

QString MLString(const QString &name)
{
    return MultiLangApp ? MultiLangApp->GetString(name) : QString();
}
