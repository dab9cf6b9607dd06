#include "i18n/ml_strings.h"

#include <QHash>

namespace {

QHash<QString, QString> &Registered()
{
    static QHash<QString, QString> strings;
    return strings;
}

} // namespace

void MLRegisterString(const QString &name, const QString &defaultText)
{
    Registered().insert(name, defaultText);
}

QString MLString(const QString &name)
{
    return Registered().value(name);
}
