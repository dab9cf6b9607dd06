#pragma once

#include <QIcon>

// The program's icon in all its sizes, for every window.
QIcon ApplicationIcon();

// Starts the program: registers the message texts and the canvas resources,
// creates the long-lived windows in their order and runs the message loop.
int RunApplication(int argc, char **argv);
