#pragma once

#include <QString>

// Named message strings: each is registered once with its English text, and
// shown through MLString, which gives the current language's text or that
// default.
void MLRegisterString(const QString &name, const QString &defaultText);
QString MLString(const QString &name);
