#include "i18n/multi_lang_form.h"

#include "i18n/multi_lang_app.h"

#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

#include <stdexcept>

namespace {

const QString CaptionKey = QStringLiteral("Caption");

bool IsMenu(const QObject *object)
{
    return qobject_cast<const QMenu *>(object) || qobject_cast<const QMenuBar *>(object);
}

// Parts that Qt makes inside its own widgets carry such names.
bool IsQtInternal(const QString &name)
{
    return name.startsWith(QLatin1String("qt_")) || name.startsWith(QLatin1String("_q_"));
}

} // namespace

TMultiLangForm::TMultiLangForm(QWidget *form)
    : Form(form)
{
    if (!form)
        throw std::runtime_error("Cannot create multi-language support for unassigned form");
    if (MultiLangApp)
        BuildLinks(form);
}

// The window's object tree in creation order, each parent before its
// children. A menu is no component itself, but its items are.
void TMultiLangForm::BuildLinks(QObject *parent)
{
    for (QObject *child : parent->children()) {
        const auto *widget = qobject_cast<QWidget *>(child);
        if (widget && widget->isWindow() && !IsMenu(child)) {
            if (qobject_cast<QFileDialog *>(child))
                Link(child);
            continue;
        }
        if (!IsMenu(child))
            Link(child);
        BuildLinks(child);
    }
}

void TMultiLangForm::Link(QObject *component)
{
    const QString name = component->objectName();
    if (name.isEmpty() || IsQtInternal(name))
        return;
    if (TMultiLangComponent *translator = MultiLangApp->FindTranslator(component->metaObject()))
        Links.push_back({component, translator});
}

QString TMultiLangForm::TranslateText(const QString &key, const QString &current) const
{
    if (!Form || !MultiLangApp || !MultiLangApp->CurrentLanguage)
        return current;
    return MultiLangApp->CurrentLanguage->GetValue(Form->objectName() + QLatin1Char('.') + key, current);
}

void TMultiLangForm::Translate()
{
    if (!Form || !MultiLangApp || !MultiLangApp->CurrentLanguage)
        return;
    Form->setWindowTitle(TranslateText(CaptionKey, Form->windowTitle()));
    const auto translate = [this](const QString &key, const QString &current) { return TranslateText(key, current); };
    for (const TMultiLangLink &link : Links)
        if (link.Component)
            link.ComponentTranslator->SetTexts(link.Component, translate);
}

void TMultiLangForm::GetTexts(const TMultiLangReportProc &report) const
{
    if (!Form)
        return;
    const QString prefix = Form->objectName() + QLatin1Char('.');
    report(prefix + CaptionKey, Form->windowTitle());
    for (const TMultiLangLink &link : Links)
        if (link.Component)
            link.ComponentTranslator->GetTexts(link.Component, [&](const QString &key, const QString &text) {
                report(prefix + key, text);
            });
}
