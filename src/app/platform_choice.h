#pragma once

// On a Wayland session a program can neither place its windows nor keep a
// tool window above the main one; the tool windows need both. True when the
// session is Wayland, an X server is reachable and the user named no Qt
// platform, so the program should start on xcb. Empty values count as unset.
bool PreferX11Platform(const char *waylandDisplay, const char *display, const char *qpaPlatform);

// Applies PreferX11Platform to this process's environment before the
// application object exists; returns whether it chose the platform.
bool ChoosePlatformForSession();

// Drops the platform chosen above once the application runs, so programs
// started from Velmora choose their own.
void ForgetChosenPlatform();
