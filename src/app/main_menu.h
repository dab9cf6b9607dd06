#pragma once

#include <QString>

// The online help address used when the current language names none.
inline constexpr char BuiltInHelpAddress[] = "https://velmora.example.org/help";

// The address the Help command opens: the current language's help link, or
// the built-in address when it has none.
QString HelpAddress();
