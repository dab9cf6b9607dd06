#pragma once

#include "i18n/language.h"
#include "i18n/ml_strings.h"
#include "i18n/multi_lang_component.h"
#include "i18n/qt_translations.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QObject;

// One translatable message string. Text starts as the registered default
// and takes each selected language's text for "$" + Name; a language
// without one leaves the text it had.
struct TMultiLangString {
    QString Name;
    QString Text;

    void UpdateText(const TLanguage *current);
};

// The multi-language engine: the languages read from the language library,
// the current one, the registered message strings and the registry of
// control translators that translate windows. Languages are read once, at
// creation; the library file is not held open afterwards.
class TMultiLangApp {
public:
    // Reads every language from the library at libraryPath (none when the
    // file does not exist), then registers the control translators and the
    // engine's own strings. A library that exists but cannot be used, or
    // holds a resource with a broken compressed header, leaves the engine
    // without languages, and LibraryError() tells the user why.
    explicit TMultiLangApp(const QString &libraryPath);
    ~TMultiLangApp();
    TMultiLangApp(const TMultiLangApp &) = delete;
    TMultiLangApp &operator=(const TMultiLangApp &) = delete;

    // Empty when the library was read or did not exist; otherwise a message
    // naming the file and the reason.
    const QString &LibraryError() const { return FLibraryError; }

    // True when the language is made for this program ("@App").
    bool IsValidLanguage(const TLanguage *language) const;
    // The first language of that name, letter case ignored; -1 when none.
    int IndexOfLanguage(const QString &name) const;
    // Makes the language current, gives Qt's own texts its locale,
    // translates the strings, moves the check marks and fires
    // OnLanguageChange, also when it was current already.
    void SelectLanguage(int index);
    // Selects name, else fallback; false, changing nothing, when neither
    // exists.
    bool SelectLanguageByName(const QString &name, const QString &fallback);

    // Adds one item per language to parent: caption the language's name,
    // its "@Shortcut", checked while current. A language remembers the items
    // of the first two menus filled. A parent left without items is hidden.
    void FillLanguageMenu(QMenu *parent);
    void UncheckLanguageItems();
    // The language items' click handler: the checked item does nothing.
    void LanguageItemClick(QAction *sender);

    // Duplicate names are accepted; lookups find the first.
    void RegisterString(const QString &name, const QString &def);
    int IndexOfString(const QString &name) const;
    QString GetString(const QString &name) const;
    // Gives every string the current language's text, then the caption
    // globals (InfoCaption is the application's).
    void ApplyLanguage();

    // The registry of control translators; see multi_lang_form.h.
    int IndexOfClass(const QMetaObject *controlClass) const;
    // Ignored when either is null; throws when the class has one already.
    void RegisterTranslator(const QMetaObject *controlClass, TTranslatorClass translatorClass);
    // The translator of exactly that class, else the QWidget one for any
    // other widget class, else null.
    TMultiLangComponent *FindTranslator(const QMetaObject *controlClass);

    std::vector<std::unique_ptr<TMultiLangComponentContainer>> Translators;
    TLanguage *CurrentLanguage = nullptr;
    std::vector<std::unique_ptr<TLanguage>> Languages;
    TLanguageChangeEvent OnLanguageChange;
    std::vector<TMultiLangString> Strings;

private:
    void LoadLanguages(const QString &libraryPath);

    QString FLibraryError;
    TQtTranslations QtTexts;
    // Receiver of the language items' clicks: the connections end with the
    // engine, whichever of it and the menus goes first.
    std::unique_ptr<QObject> ItemClicks;
};

// The one engine, created at start-up before any window and freed after
// the last one.
extern TMultiLangApp *MultiLangApp;

// lang.dll in the executable's folder.
QString LanguageLibraryPath();

// Creates MultiLangApp from the library; returns its LibraryError().
QString CreateMultiLangApp(const QString &libraryPath = LanguageLibraryPath());
void FreeMultiLangApp();
