// Windows over the monitors other than the primary one while the full-screen saver runs:
// black covers, so that none of them goes on showing the desktop, or the windows of their
// own shows.
#pragma once
#include <windows.h>

#include <vector>

#include "saver/monitors.h"

// Owned by the saver window, so they go when it goes. Input on them ends the saver as
// input on the saver window does.
void CoverOtherMonitors(HWND saverWindow, HINSTANCE instance);

// Every monitor's rectangle in virtual-screen coordinates, as this thread's DPI awareness
// sees them.
std::vector<ScreenRect> MonitorRects();
ScreenRect PrimaryMonitorRect();
// A black window over `area` that is owned by `saverWindow` and hands it its input, as a
// cover does; the show on that monitor draws into it.
HWND CreateMonitorWindow(HWND saverWindow, HINSTANCE instance, const ScreenRect& area);

// While it lives, windows this thread creates are per-monitor DPI aware and monitor
// rectangles come in each monitor's own pixels (Windows 10 and later; elsewhere it does
// nothing, and the process keeps the system DPI awareness of its manifest).
class PerMonitorDpi {
public:
    PerMonitorDpi();
    ~PerMonitorDpi();
    PerMonitorDpi(const PerMonitorDpi&) = delete;
    PerMonitorDpi& operator=(const PerMonitorDpi&) = delete;

private:
    HANDLE previous_ = nullptr;
};
