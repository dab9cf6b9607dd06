#pragma once

class TfrmMainForm;
class TfrmTools;
class TfrmPalette;
class TfrmBrushSize;

// The long-lived windows, reachable by their names from everywhere. The main
// window is owned by the start-up code; the tool windows are Qt children of
// the main window, so they live exactly as long as it does.
extern TfrmMainForm *frmMainForm;
extern TfrmTools *frmTools;
extern TfrmPalette *frmPalette;
extern TfrmBrushSize *frmBrushSize;
