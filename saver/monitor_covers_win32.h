// Black windows over the monitors other than the primary one, so that none of them goes
// on showing the desktop while the full-screen saver runs.
#pragma once
#include <windows.h>

// Owned by the saver window, so they go when it goes. Input on them ends the saver as
// input on the saver window does.
void CoverOtherMonitors(HWND saverWindow, HINSTANCE instance);
