#include "i18n/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

TQtTranslations::TQtTranslations() = default;

// A translator removes itself from the application when it goes.
TQtTranslations::~TQtTranslations() = default;

bool TQtTranslations::Load(const QString &locale)
{
    Translator.reset();
    if (locale.isEmpty() || QLocale(locale).language() == QLocale::English || !QCoreApplication::instance())
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    Translator = std::move(translator);
    return true;
}
