// The host frame: the mode switch, the saver window and its message loop, ending on
// input, the password check, and opening the settings dialog.
#include "saver/host_frame_win32.h"

#include "config/settings_dialog_win32.h"
#include "resources/resource_ids.h"
#include "saver/engine_win32.h"
#include "saver/host_rules.h"
#include "saver/mode_switch.h"
#include "saver/monitor_covers_win32.h"

namespace {

constexpr char kClassName[] = "WindowsScreenSaverClass";
constexpr char kFullScreenTitle[] = "Screen Saver";
constexpr UINT kPasswordQuery = 0x8000;  // WM_APP
constexpr UINT kScreenSaverRunning = 97;  // SPI_SCREENSAVERRUNNING

using VerifyPasswordFunction = BOOL(WINAPI*)(HWND);
using AssociateContextFunction = HIMC(WINAPI*)(HWND, HIMC);
using ChangePasswordFunction = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);

struct HostState {
    HINSTANCE instance = nullptr;
    POINT savedCursor = {};
    bool closeAllowed = false;
    bool inCheck = false;
    bool hadCheck = false;
    DWORD lastCheck = 0;
    VerifyPasswordFunction verifyPassword = nullptr;
    HMODULE passwordLibrary = nullptr;
    AssociateContextFunction associateContext = nullptr;
    HIMC previousContext = nullptr;
};
HostState g_host;

// GetProcAddress gives a generic entry point; each caller knows the real signature.
template <typename Function>
Function LookUp(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void TellPlatformSaverRuns(BOOL running)
{
    BOOL previous = FALSE;
    SystemParametersInfoA(kScreenSaverRunning, running, &previous, 0);
}

void HideCursor() { SetCursor(nullptr); }

void TearDownPasswordCheck()
{
    if (g_host.passwordLibrary) {
        FreeLibrary(g_host.passwordLibrary);
        g_host.passwordLibrary = nullptr;
    }
    if (g_host.verifyPassword) {
        g_host.verifyPassword = nullptr;
        TellPlatformSaverRuns(FALSE);
    }
}

void SetUpPasswordCheck()
{
    TearDownPasswordCheck();
    HKEY key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, "Control Panel\\Desktop", &key) != ERROR_SUCCESS) return;
    DWORD usePassword = 0;
    DWORD size = sizeof usePassword;
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr,
                         reinterpret_cast<BYTE*>(&usePassword), &size) == ERROR_SUCCESS &&
        usePassword != 0) {
        g_host.passwordLibrary = LoadLibraryA("PASSWORD.CPL");
        if (g_host.passwordLibrary)
            g_host.verifyPassword = LookUp<VerifyPasswordFunction>(g_host.passwordLibrary, "VerifyScreenSavePwd");
        if (g_host.verifyPassword) {
            TellPlatformSaverRuns(TRUE);
        } else if (g_host.passwordLibrary) {
            FreeLibrary(g_host.passwordLibrary);
            g_host.passwordLibrary = nullptr;
        }
    }
    RegCloseKey(key);
}

LONG WINAPI ReportUnhandledException(EXCEPTION_POINTERS*)
{
    TellPlatformSaverRuns(FALSE);
    return EXCEPTION_CONTINUE_SEARCH;
}

void ChangePassword(HWND owner)
{
    HMODULE library = LoadLibraryA("MPR.DLL");
    if (!library) return;
    if (auto change = LookUp<ChangePasswordFunction>(library, "PwdChangePasswordA"))
        change("SCRSAVE", owner, 0, nullptr);
    FreeLibrary(library);
}

INT_PTR RunSettingsDialog(HWND owner)
{
    if (!PrepareSettingsDialog(g_host.instance)) return 0;
    // A Unicode window, so the folder field takes a folder of any letters as typed.
    return DialogBoxParamW(g_host.instance, MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                           ScreenSaverConfigureDialog, 0);
}

bool IsInputMessage(UINT message)
{
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    }
    return false;
}

LRESULT WINAPI HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // Only detach the input method where one is already loaded; never load it.
        if (HMODULE imm = GetModuleHandleA("IMM32.DLL")) {
            g_host.associateContext = LookUp<AssociateContextFunction>(imm, "ImmAssociateContext");
            if (g_host.associateContext) g_host.previousContext = g_host.associateContext(window, nullptr);
        }
        GetCursorPos(&g_host.savedCursor);
        if (!PreviewMode) HideCursor();
        break;
    case WM_DESTROY:
        if (g_host.associateContext && g_host.previousContext)
            g_host.associateContext(window, g_host.previousContext);
        PostQuitMessage(0);
        break;
    case WM_SETTEXT:
        return 0;
    case WM_PAINT:
        if (g_host.closeAllowed) return DefWindowProcA(window, message, wParam, lParam);
        if (!PreviewMode) HideCursor();
        break;
    case WM_HELP:
    case WM_CONTEXTMENU:
        if (PreviewMode) {
            HWND parent = GetParent(window);
            if (IsWindow(parent)) PostMessageA(parent, message, WPARAM(parent), lParam);
            return 1;
        }
        break;
    case WM_SYSCOMMAND:
        if (!PreviewMode && (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
            return 0;
        break;
    case WM_TIMER:
        if (g_host.closeAllowed) return 0;
        Sleep(0);
        break;
    default:
        if (IsInputMessage(message) && g_host.closeAllowed)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    }
    return ScreenSaverProc(window, message, wParam, lParam);
}

int RunSaver(HWND parent)
{
    int width, height;
    const char* title;
    DWORD style, extendedStyle;
    if (!parent) {
        if (HWND running = FindWindowA(kClassName, kFullScreenTitle)) {
            SetForegroundWindow(running);
            return 0;
        }
        SetUpPasswordCheck();
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        title = kFullScreenTitle;
        style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        extendedStyle = WS_EX_TOPMOST;
    } else {
        PreviewMode = 1;
        RECT client = {};
        GetClientRect(parent, &client);
        width = client.right - client.left;
        height = client.bottom - client.top;
        title = "Preview";
        style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
        extendedStyle = 0;
    }

    WNDCLASSA windowClass = {};
    windowClass.style = CS_OWNDC | CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = g_host.instance;
    windowClass.hIcon = LoadIconA(g_host.instance, MAKEINTRESOURCEA(100));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;

    int exitCode = 0;
    if (RegisterClassA(&windowClass)) {
        SaverWindow = CreateWindowExA(extendedStyle, kClassName, title, style, 0, 0, width, height,
                                      parent, nullptr, g_host.instance, nullptr);
    }
    if (SaverWindow) {
        if (!parent) {
            if (!ShowsOnEveryMonitor()) CoverOtherMonitors(SaverWindow, g_host.instance);
            SetForegroundWindow(SaverWindow);
        }
        MSG message = {};
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        exitCode = int(message.wParam);
    }
    TearDownPasswordCheck();
    return exitCode;
}

}  // namespace

int RunScreenSaverProgram(HINSTANCE instance, const char* commandLine)
{
    g_host.instance = instance;
    SetUnhandledExceptionFilter(ReportUnhandledException);

    const ModeSwitch mode = ParseModeSwitch(SkipProgramName(commandLine));
    HWND window = reinterpret_cast<HWND>(mode.window);
    switch (mode.mode) {
    case SaverMode::SettingsWithoutOwner:
        return int(RunSettingsDialog(nullptr));
    case SaverMode::SettingsOwnedByForeground:
        return int(RunSettingsDialog(GetForegroundWindow()));
    case SaverMode::FullScreen:
        return RunSaver(nullptr);
    case SaverMode::Preview:
        if (!window || !IsWindow(window)) return -1;
        return RunSaver(window);
    case SaverMode::ChangePassword:
        ChangePassword(window && IsWindow(window) ? window : GetForegroundWindow());
        return 0;
    case SaverMode::Unrecognised:
        break;
    }
    return -1;
}

LRESULT WINAPI HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (PreviewMode || g_host.closeAllowed) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_CLOSE:
        if (!ConfirmClose(window)) {
            GetCursorPos(&g_host.savedCursor);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    case kPasswordQuery:
        return g_host.verifyPassword ? g_host.verifyPassword(window) : 1;
    }
    if (g_host.inCheck) return DefWindowProcA(window, message, wParam, lParam);

    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam) HideCursor();
        break;
    case WM_SETCURSOR:
        HideCursor();
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_MOUSEMOVE: {
        POINT cursor;
        GetCursorPos(&cursor);
        if (MouseMovedFarEnough(g_host.savedCursor.x, g_host.savedCursor.y, cursor.x, cursor.y)) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            g_host.savedCursor = cursor;
        }
        break;
    }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL ConfirmClose(HWND window)
{
    if (g_host.inCheck) return FALSE;
    if (!g_host.verifyPassword) {
        g_host.closeAllowed = true;
        return TRUE;
    }
    if (TooSoonAfterPasswordCheck(g_host.hadCheck, g_host.lastCheck, GetTickCount())) return FALSE;

    g_host.inCheck = true;
    // So that the show does not go on behind the password dialog.
    MSG timer;
    PeekMessageA(&timer, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&timer, window, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    g_host.closeAllowed = SendMessageA(window, kPasswordQuery, 0, 0) != 0;
    g_host.inCheck = false;
    if (!g_host.closeAllowed) HideCursor();
    g_host.lastCheck = GetTickCount();
    g_host.hadCheck = true;
    return g_host.closeAllowed;
}

BOOL PrepareSettingsDialog(HINSTANCE) { return TRUE; }
