#pragma once

#include <QPointer>

#include <array>

class TfrmMainForm;
class TToolWindow;
class TfrmTools;
class TfrmPalette;
class TfrmBrushSize;
class TfrmCommands;
class TfrmLayers;

// The long-lived windows, reachable by their names from everywhere. The main
// window is owned by the start-up code; the tool windows are Qt children of
// the main window, so they live exactly as long as it does, and their
// pointers clear themselves when they go.
extern TfrmMainForm *frmMainForm;
extern QPointer<TfrmTools> frmTools;
extern QPointer<TfrmPalette> frmPalette;
extern QPointer<TfrmCommands> frmCommands;
extern QPointer<TfrmBrushSize> frmBrushSize;
extern QPointer<TfrmLayers> frmLayers;

// Creates the toolbox, the palette, the commands bar, the brush size window
// and the Layers window as tool windows of the main window, in this order,
// shows the first four (the Layers window waits for a second layer or the
// user) and connects what they tell the rest of the program. The main
// window's canvas must exist.
void CreateToolWindows(TfrmMainForm *main);

// The tool windows in their order of creation (null where one is gone).
std::array<TToolWindow *, 5> ToolWindows();
