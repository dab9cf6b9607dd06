#pragma once

#include <QString>

// Asks the desktop to open a document or web address with its default
// handler; the outcome is not reported.
void OpenWithShell(const QString &target);
