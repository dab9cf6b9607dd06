#pragma once

#include <QString>
#include <QWidget>

class TfrmMainForm;

// The always-on-top tool windows: no close, minimise or maximise box.
constexpr Qt::WindowFlags ToolWindowFlags =
    Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

// Names a tool window, sets its caption and its font.
void SetUpToolWindow(QWidget &window, const QString &name, const QString &caption, const QString &fontFamily,
                     int fontPixels);

// Creates the toolbox, the palette and the brush size window as tool windows
// of the main window, in this order, shows them and makes them reachable as
// frmTools, frmPalette and frmBrushSize. The main window's canvas must exist.
void CreateToolWindows(TfrmMainForm *main);
