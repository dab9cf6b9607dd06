#pragma once

#include <QIcon>
#include <QString>

// The program's icon in all its sizes, for every window.
QIcon ApplicationIcon();

// Starts the program: creates the language engine, registers the message
// texts and the canvas resources, creates the long-lived windows in their
// order and runs the message loop.
int RunApplication(int argc, char **argv);

// Creates the language engine from the library, then registers the message
// texts. A library that is there but cannot be used is reported in one
// message box; the program then runs with its built-in English texts.
void StartLanguageEngine(const QString &libraryPath);
