// The language items of the Language submenu and the commands bar's pop-up
// menu, and their check marks.

#include "i18n/multi_lang_app.h"
#include "i18n/multi_lang_component.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

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
            item->setShortcut(QKeySequence::fromString(shortcut, QKeySequence::PortableText));
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
