#pragma once

class TfrmMainForm;

// Creates the palette and the brush size window as tool windows of the main
// window, shows them and makes them reachable as frmPalette and frmBrushSize.
// The main window's canvas must exist.
void CreatePaletteAndBrushSizeWindows(TfrmMainForm *main);
