#pragma once

#include <QString>

#include <functional>

class QMenu;
class TMultiLangApp;

// Called by the engine after every language selection.
using TLanguageChangeEvent = std::function<void(TMultiLangApp *sender)>;

// Captions of the message boxes and the name of a new folder, in the
// current language.
extern QString ErrorCaption;        // "Error"
extern QString WarningCaption;      // "Warning"
extern QString InfoCaption;         // "Information"
extern QString ConfirmationCaption; // "Confirmation"
extern QString NewFolderName;       // "New folder"

// The application's entry points into the language engine MultiLangApp.
// Each does nothing, or gives the empty string, while there is no engine.

// Sets the engine's language change handler and fills the menu with one
// item per language.
void MLSetLanguageMenu(QMenu *parent, TLanguageChangeEvent handler);
// Fills one more menu with the same languages.
void MLAddLanguageMenu(QMenu *parent);
// The current language's name; empty while none is current.
QString MLLanguageName();
// The current language's "@" + name value, e.g. MLAppValue("Abr").
QString MLAppValue(const QString &name);
// Selects the language of that name, else the fallback's, else none.
void MLSelectLanguage(const QString &name, const QString &fallback);

// Named message strings: each is registered once with its English text and
// shown through MLString, the current language's text or that default.
void MLRegisterString(const QString &name, const QString &defaultText);
QString MLString(const QString &name);
