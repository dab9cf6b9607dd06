#pragma once

class QWidget;

// Places a dialog in the middle of the primary screen's work area.
void CenterOnDesktop(QWidget &window);
