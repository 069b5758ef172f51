#include "saver/monitor_covers_win32.h"

#include "saver/monitors.h"

namespace {

constexpr char kCoverClass[] = "VelmoraMonitorCover";

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

void CoverOtherMonitors(HWND saverWindow, HINSTANCE instance)
{
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&monitors));
    const ScreenRect primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    const std::vector<ScreenRect> covers = CoverRects(primary, monitors);
    if (covers.empty()) return;

    WNDCLASSA coverClass = {};
    coverClass.lpfnWndProc = CoverProc;
    coverClass.hInstance = instance;
    coverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    coverClass.lpszClassName = kCoverClass;
    RegisterClassA(&coverClass);
    for (const ScreenRect& r : covers) {
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kCoverClass, "",
                        WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top,
                        saverWindow, nullptr, instance, nullptr);
    }
}
