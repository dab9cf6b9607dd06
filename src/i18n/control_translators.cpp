#include "i18n/control_translators.h"

#include "i18n/file_dialog_filter.h"
#include "i18n/multi_lang_app.h"
#include "i18n/multi_lang_component.h"
#include "i18n/text_decoding.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTextDocument>
#include <QToolButton>
#include <QTreeWidget>

namespace {

constexpr char CaptionSuffix[] = ".Caption";
constexpr char HintSuffix[] = ".Hint";

class TMultiLangMenuItem : public TMultiLangComponent {
protected:
    std::vector<TText> Texts(QObject *component) const override
    {
        auto *item = qobject_cast<QAction *>(component);
        if (!item || item->isSeparator())
            return {};
        return {{QLatin1String(CaptionSuffix), item->text(), [item](const QString &t) { item->setText(t); }},
                {QLatin1String(HintSuffix), item->statusTip(), [item](const QString &t) { item->setStatusTip(t); }}};
    }
};

// One text of a class, read and written by the class's own accessors.
template <class T, const char *Suffix, QString (T::*Get)() const, void (T::*Set)(const QString &)>
class TMultiLangText : public TMultiLangComponent {
protected:
    std::vector<TText> Texts(QObject *component) const override
    {
        auto *control = qobject_cast<T *>(component);
        if (!control)
            return {};
        return {{QLatin1String(Suffix), (control->*Get)(), [control](const QString &t) { (control->*Set)(t); }}};
    }
};

// Push buttons, check boxes and radio buttons.
using TMultiLangButton =
    TMultiLangText<QAbstractButton, CaptionSuffix, &QAbstractButton::text, &QAbstractButton::setText>;
using TMultiLangGroupBox = TMultiLangText<QGroupBox, CaptionSuffix, &QGroupBox::title, &QGroupBox::setTitle>;
// Speed buttons and, as the fallback, every other widget. A hint is plain
// text: one that Qt would take for markup is shown escaped, and the text as
// written is kept to be read back.
class TMultiLangControl : public TMultiLangComponent {
protected:
    std::vector<TText> Texts(QObject *component) const override
    {
        auto *control = qobject_cast<QWidget *>(component);
        if (!control)
            return {};
        const QVariant plain = control->property(PlainHintProperty);
        return {{QLatin1String(HintSuffix), plain.isValid() ? plain.toString() : control->toolTip(),
                 [control](const QString &t) { SetPlainToolTip(*control, t); }}};
    }

private:
    static constexpr char PlainHintProperty[] = "PlainHint";

    static void SetPlainToolTip(QWidget &control, const QString &text)
    {
        const bool markup = Qt::mightBeRichText(text);
        control.setProperty(PlainHintProperty, markup ? QVariant(text) : QVariant());
        control.setToolTip(markup ? Qt::convertFromPlainText(text) : text);
    }
};

class TMultiLangLabel : public TMultiLangComponent {
protected:
    std::vector<TText> Texts(QObject *component) const override
    {
        auto *label = qobject_cast<QLabel *>(component);
        if (!label || label->property(TagPropertyName).toInt() < 0)
            return {};
        return {{QLatin1String(CaptionSuffix), label->text(), [label](const QString &t) {
                     label->setTextFormat(Qt::PlainText);
                     label->setText(t);
                     // A label placed by hand grows with its text.
                     if (!label->parentWidget() || !label->parentWidget()->layout())
                         label->adjustSize();
                 }}};
    }
};

class TMultiLangComboBox : public TMultiLangComponent {
protected:
    std::vector<TText> Texts(QObject *component) const override
    {
        auto *combo = qobject_cast<QComboBox *>(component);
        if (!combo)
            return {};
        QString items;
        for (int i = 0; i < combo->count(); ++i)
            items += combo->itemText(i) + QStringLiteral("\r\n");
        return {{QStringLiteral(".Items.Text"), items, [combo](const QString &t) { ReplaceItems(*combo, t); }}};
    }

private:
    // The selection stays where it was, and the change handlers do not run:
    // new names for the same entries are no choice of the user's.
    static void ReplaceItems(QComboBox &combo, const QString &text)
    {
        const QSignalBlocker blocker(&combo);
        const int selected = combo.currentIndex();
        combo.clear();
        combo.addItems(SplitTextLines(text));
        combo.setCurrentIndex(selected < combo.count() ? selected : -1);
    }
};

class TMultiLangListView : public TMultiLangComponent {
protected:
    std::vector<TText> Texts(QObject *component) const override
    {
        auto *view = qobject_cast<QTreeWidget *>(component);
        if (!view)
            return {};
        std::vector<TText> texts;
        QTreeWidgetItem *header = view->headerItem();
        for (int i = 0; i < view->columnCount(); ++i)
            texts.push_back({QStringLiteral(".Columns[%1]").arg(i), header->text(i),
                             [header, i](const QString &t) { header->setText(i, t); }});
        return texts;
    }
};

class TMultiLangOpenDialog : public TMultiLangComponent {
protected:
    std::vector<TText> Texts(QObject *component) const override
    {
        auto *dialog = qobject_cast<QFileDialog *>(component);
        if (!dialog)
            return {};
        return {{QStringLiteral(".Filter"), DialogFilter(*dialog),
                 [dialog](const QString &t) { SetDialogFilter(*dialog, t); }},
                {QStringLiteral(".Title"), dialog->windowTitle(),
                 [dialog](const QString &t) { dialog->setWindowTitle(t); }}};
    }
};

} // namespace

void RegisterControlTranslators(TMultiLangApp &engine)
{
    engine.RegisterTranslator(&QAction::staticMetaObject, TranslatorClassOf<TMultiLangMenuItem>);
    engine.RegisterTranslator(&QPushButton::staticMetaObject, TranslatorClassOf<TMultiLangButton>);
    engine.RegisterTranslator(&QToolButton::staticMetaObject, TranslatorClassOf<TMultiLangControl>);
    engine.RegisterTranslator(&QLabel::staticMetaObject, TranslatorClassOf<TMultiLangLabel>);
    engine.RegisterTranslator(&QCheckBox::staticMetaObject, TranslatorClassOf<TMultiLangButton>);
    engine.RegisterTranslator(&QRadioButton::staticMetaObject, TranslatorClassOf<TMultiLangButton>);
    engine.RegisterTranslator(&QGroupBox::staticMetaObject, TranslatorClassOf<TMultiLangGroupBox>);
    engine.RegisterTranslator(&QComboBox::staticMetaObject, TranslatorClassOf<TMultiLangComboBox>);
    engine.RegisterTranslator(&QTreeWidget::staticMetaObject, TranslatorClassOf<TMultiLangListView>);
    engine.RegisterTranslator(&QFileDialog::staticMetaObject, TranslatorClassOf<TMultiLangOpenDialog>);
    engine.RegisterTranslator(&QWidget::staticMetaObject, TranslatorClassOf<TMultiLangControl>);
}
