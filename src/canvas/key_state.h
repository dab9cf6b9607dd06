#pragma once

#include <QString>

// The state of individual keys at the time of the message being handled.
// Qt reports only "Shift"; where the platform's native key codes tell the
// left and right keys apart (X11, Wayland, Windows, macOS), the tracker keeps
// which Shift keys are down from the key events the application sees.
// Elsewhere, and when Shift was pressed before the application saw it, any
// Shift counts as the left one.
namespace KeyState {

enum class ShiftSide { Unknown, Left, Right };

// Which Shift key a native key code names on the given platform.
ShiftSide ShiftSideOf(const QString &platform, unsigned nativeScanCode, unsigned nativeVirtualKey);

// Installs the application-wide key tracker once.
void Install();

// True when the left Shift key is held; shiftHeld is Qt's Shift modifier of
// the message being handled.
bool LeftShiftDown(bool shiftHeld);

// Replaces the platform name used to read native codes (for tests).
void SetPlatformForTesting(const QString &platform);

} // namespace KeyState
