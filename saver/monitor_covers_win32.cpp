#include "saver/monitor_covers_win32.h"


namespace {

constexpr char kCoverClass[] = "VelmoraMonitorCover";

// DPI_AWARENESS_CONTEXT values, which older headers lack: per-monitor version 2 (Windows 10
// 1703) and version 1 (Windows 10 1607).
const HANDLE kPerMonitorAwareV2 = reinterpret_cast<HANDLE>(-4);
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(-3);
using SetThreadDpiContext = HANDLE(WINAPI*)(HANDLE);

SetThreadDpiContext ThreadDpiFunction()
{
    // Looked up at run time, so the saver still starts where user32 lacks it.
    return reinterpret_cast<SetThreadDpiContext>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT area, LPARAM list)
{
    reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(
        {area->left, area->top, area->right, area->bottom});
    return TRUE;
}

LRESULT WINAPI CoverProc(HWND cover, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // The saver window decides, as it does for input on itself (the mouse threshold
        // works on screen positions, so it holds across monitors).
        return SendMessageA(GetWindow(cover, GW_OWNER), message, wParam, lParam);
    }
    return DefWindowProcA(cover, message, wParam, lParam);
}

}  // namespace

std::vector<ScreenRect> MonitorRects()
{
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

HWND CreateMonitorWindow(HWND saverWindow, HINSTANCE instance, const ScreenRect& area)
{
    WNDCLASSA coverClass = {};
    if (!GetClassInfoA(instance, kCoverClass, &coverClass)) {
        coverClass.lpfnWndProc = CoverProc;
        coverClass.hInstance = instance;
        coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        coverClass.lpszClassName = kCoverClass;
        RegisterClassA(&coverClass);
    }
    return CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, "",
                           WS_POPUP | WS_VISIBLE, area.left, area.top, area.right - area.left,
                           area.bottom - area.top, saverWindow, nullptr, instance, nullptr);
}

void CoverOtherMonitors(HWND saverWindow, HINSTANCE instance)
{
    const ScreenRect primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    for (const ScreenRect& r : CoverRects(primary, MonitorRects())) CreateMonitorWindow(saverWindow, instance, r);
}

ScreenRect PrimaryMonitorRect()
{
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info))
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

PerMonitorDpi::PerMonitorDpi()
{
    if (SetThreadDpiContext set = ThreadDpiFunction()) {
        previous_ = set(kPerMonitorAwareV2);
        if (!previous_) previous_ = set(kPerMonitorAware);
    }
}

PerMonitorDpi::~PerMonitorDpi()
{
    if (previous_) ThreadDpiFunction()(previous_);
}
