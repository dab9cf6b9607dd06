#pragma once

#include "i18n/multi_lang_component.h"

#include <QPointer>
#include <QString>

#include <vector>

class QObject;
class QWidget;

// One linked component of a window and the engine's translator for it.
struct TMultiLangLink {
    QPointer<QObject> Component;
    TMultiLangComponent *ComponentTranslator = nullptr;
};

// A window's translator, owned by the window and created once all its
// designed components exist. It links every named component the window
// owns: its child widgets, its menus' items and its file dialogs, but not
// other windows parented to it (tool windows, colour dialogs and other
// dialogs). Components created later are never linked. The keys are the
// window's object name, ".", and the component's key, e.g.
// frmTools.bMove.Hint; the window's own caption is frmTools.Caption.
//
// The translators belong to the engine MultiLangApp, which must outlive
// every window's translator.
class TMultiLangForm {
public:
    // Throws when form is null.
    explicit TMultiLangForm(QWidget *form);

    // Gives the window's caption and every linked text the current
    // language's text for its key; a text the language lacks stays as it
    // is. Does nothing while no language is current.
    void Translate();
    QString TranslateText(const QString &key, const QString &current) const;
    // Reports the caption and every linked text under its full key.
    void GetTexts(const TMultiLangReportProc &report) const;

    const QPointer<QWidget> Form;
    std::vector<TMultiLangLink> Links;

private:
    void BuildLinks(QObject *parent);
    void Link(QObject *component);
};
