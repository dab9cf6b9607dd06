#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QObject;
struct QMetaObject;

using TMultiLangReportProc = std::function<void(const QString &key, const QString &text)>;
using TMultiLangTranslateProc = std::function<QString(const QString &key, const QString &current)>;

// A translator: a stateless object that knows which texts the components of
// one control class have and how to read and write them. A text's key is the
// component's object name followed by a property suffix, e.g. bMove.Hint.
class TMultiLangComponent {
public:
    virtual ~TMultiLangComponent() = default;

    // Reports each translatable text of the component, in a fixed order.
    void GetTexts(QObject *component, const TMultiLangReportProc &report) const;
    // Asks translate for each text, in the same order, and assigns the answer.
    void SetTexts(QObject *component, const TMultiLangTranslateProc &translate) const;

protected:
    struct TText {
        QString Suffix;
        QString Value;
        std::function<void(const QString &)> Assign;
    };
    // The component's texts; none for a component that is skipped.
    virtual std::vector<TText> Texts(QObject *component) const = 0;
};

// Makes a translator; stands for the translator's class in a registration.
using TTranslatorClass = std::unique_ptr<TMultiLangComponent> (*)();

template <class T>
std::unique_ptr<TMultiLangComponent> TranslatorClassOf()
{
    return std::make_unique<T>();
}

// One registration of the engine: the control class served (matched
// exactly) and its translator, made on first use and shared by every
// component of that class in every window.
struct TMultiLangComponentContainer {
    const QMetaObject *ControlClass = nullptr;
    TTranslatorClass TranslatorClass = nullptr;
    std::unique_ptr<TMultiLangComponent> ComponentTranslator;

    TMultiLangComponent *GetTranslator();
};

// The dynamic property that holds a component's tag.
inline constexpr char TagPropertyName[] = "Tag";
