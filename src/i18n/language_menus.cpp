// The language items of the Language submenu and the commands bar's pop-up
// menu, and their check marks.

#include "i18n/multi_lang_app.h"
#include "i18n/multi_lang_component.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include <array>
#include <utility>

namespace {

// Qt's key names, and those of the toolkit the language files were first
// written for where Qt reads them differently or not at all: "Enter" there
// is the main Return key, here the keypad's.
QKeySequence LanguageShortcut(const QString &text)
{
    static const std::array<std::pair<QLatin1String, QLatin1String>, 3> toolkitNames{{
        {QLatin1String("PgDn"), QLatin1String("PgDown")},
        {QLatin1String("BkSp"), QLatin1String("Backspace")},
        {QLatin1String("Enter"), QLatin1String("Return")},
    }};
    QStringList parts = text.split(u'+');
    for (const auto &[toolkit, qt] : toolkitNames)
        if (parts.last().compare(toolkit, Qt::CaseInsensitive) == 0)
            parts.last() = qt;
    return QKeySequence::fromString(parts.join(u'+'), QKeySequence::PortableText);
}

} // namespace

void TMultiLangApp::FillLanguageMenu(QMenu *parent)
{
    if (!parent)
        return;
    for (std::size_t i = 0; i < Languages.size(); ++i) {
        TLanguage &language = *Languages[i];
        auto *item = new QAction(language.GetName(), parent);
        item->setCheckable(true);
        item->setProperty(TagPropertyName, int(i));
        const QString shortcut = language.GetShortcut();
        if (!shortcut.isEmpty())
            item->setShortcut(LanguageShortcut(shortcut));
        // Qt toggles a checkable item before it reports the click; the click
        // handler decides on the state the user saw.
        QObject::connect(item, &QAction::triggered, ItemClicks.get(), [this, item](bool checked) {
            item->setChecked(!checked);
            LanguageItemClick(item);
        });
        QPointer<QAction> &slot = !language.MenuItem1 ? language.MenuItem1 : language.MenuItem2;
        if (!slot) {
            slot = item;
            item->setChecked(&language == CurrentLanguage);
        }
        parent->addAction(item);
    }
    if (parent->actions().isEmpty())
        parent->menuAction()->setVisible(false);
}

void TMultiLangApp::UncheckLanguageItems()
{
    for (const auto &language : Languages)
        for (QAction *item : {language->MenuItem1.data(), language->MenuItem2.data()})
            if (item)
                item->setChecked(false);
}

void TMultiLangApp::LanguageItemClick(QAction *sender)
{
    if (!sender || sender->isChecked())
        return;
    SelectLanguage(sender->property(TagPropertyName).toInt());
}
