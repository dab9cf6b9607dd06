// The engine's registry of control translators.

#include "i18n/multi_lang_app.h"
#include "i18n/multi_lang_component.h"

#include <QObject>
#include <QWidget>

#include <stdexcept>

void TMultiLangComponent::GetTexts(QObject *component, const TMultiLangReportProc &report) const
{
    for (const TText &text : Texts(component))
        report(component->objectName() + text.Suffix, text.Value);
}

void TMultiLangComponent::SetTexts(QObject *component, const TMultiLangTranslateProc &translate) const
{
    for (const TText &text : Texts(component)) {
        const QString translated = translate(component->objectName() + text.Suffix, text.Value);
        if (translated != text.Value)
            text.Assign(translated);
    }
}

TMultiLangComponent *TMultiLangComponentContainer::GetTranslator()
{
    if (!ComponentTranslator)
        ComponentTranslator = TranslatorClass();
    return ComponentTranslator.get();
}

int TMultiLangApp::IndexOfClass(const QMetaObject *controlClass) const
{
    for (std::size_t i = 0; i < Translators.size(); ++i)
        if (Translators[i]->ControlClass == controlClass)
            return int(i);
    return -1;
}

void TMultiLangApp::RegisterTranslator(const QMetaObject *controlClass, TTranslatorClass translatorClass)
{
    if (!controlClass || !translatorClass)
        return;
    if (IndexOfClass(controlClass) >= 0)
        throw std::runtime_error(
            QStringLiteral("Duplicate registration for class %1 in multi-language support engine")
                .arg(QLatin1String(controlClass->className()))
                .toStdString());
    auto container = std::make_unique<TMultiLangComponentContainer>();
    container->ControlClass = controlClass;
    container->TranslatorClass = translatorClass;
    Translators.push_back(std::move(container));
}

// Exact classes only: a class derived from a registered one gets no more
// than the fallback's hint, like every other widget.
TMultiLangComponent *TMultiLangApp::FindTranslator(const QMetaObject *controlClass)
{
    if (!controlClass)
        return nullptr;
    int index = IndexOfClass(controlClass);
    if (index < 0 && controlClass->inherits(&QWidget::staticMetaObject))
        index = IndexOfClass(&QWidget::staticMetaObject);
    return index < 0 ? nullptr : Translators[std::size_t(index)]->GetTranslator();
}
