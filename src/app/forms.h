#pragma once

#include <QPointer>

#include <array>

class TfrmMainForm;
class TToolWindow;
class TfrmTools;
class TfrmPalette;
class TfrmBrushSize;
class TfrmCommands;

// The long-lived windows, reachable by their names from everywhere. The main
// window is owned by the start-up code; the tool windows are Qt children of
// the main window, so they live exactly as long as it does, and their
// pointers clear themselves when they go.
extern TfrmMainForm *frmMainForm;
extern QPointer<TfrmTools> frmTools;
extern QPointer<TfrmPalette> frmPalette;
extern QPointer<TfrmCommands> frmCommands;
extern QPointer<TfrmBrushSize> frmBrushSize;

// Creates the toolbox, the palette, the commands bar and the brush size
// window as tool windows of the main window, in this order, shows them and
// connects what they tell the rest of the program. The main window's canvas
// must exist.
void CreateToolWindows(TfrmMainForm *main);

// The four tool windows in their order of creation (null where one is gone).
std::array<TToolWindow *, 4> ToolWindows();
