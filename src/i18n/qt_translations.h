#pragma once

#include <QString>

#include <memory>

class QTranslator;

// Qt's own texts (the buttons of message boxes, the colour and file
// dialogs) in the chosen language, from the qtbase catalogue of Qt's
// translations. Without a catalogue for the locale they stay in English.
class TQtTranslations {
public:
    TQtTranslations();
    ~TQtTranslations();
    TQtTranslations(const TQtTranslations &) = delete;
    TQtTranslations &operator=(const TQtTranslations &) = delete;

    // Replaces the catalogue in use by the one of locale ("de", "pt_BR");
    // English or an empty locale needs none. True when one is in use.
    bool Load(const QString &locale);

private:
    std::unique_ptr<QTranslator> Translator;
};
