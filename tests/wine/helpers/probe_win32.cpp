// A small Windows program that tells the end-to-end tests what only the platform knows,
// and does what only a Windows program can (a parent window for the preview mode).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND g_parent = nullptr;

LRESULT WINAPI ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_HELP:
    case WM_CONTEXTMENU:
        std::printf("%s wparam=%llu self=%llu\n", message == WM_HELP ? "help" : "contextmenu",
                    (unsigned long long)wParam, (unsigned long long)(UINT_PTR)window);
        std::fflush(stdout);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Closes the parent window when the test closes our standard input.
DWORD WINAPI WatchInput(void*)
{
    while (std::fgetc(stdin) != EOF) {
    }
    PostMessageA(g_parent, WM_CLOSE, 0, 0);
    return 0;
}

int Parent(int width, int height)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ParentProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = "VelmoraTestParent";
    RegisterClassA(&windowClass);
    RECT frame = {0, 0, width, height};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    g_parent = CreateWindowA("VelmoraTestParent", "Preview parent", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                             100, 100, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
    POINT origin = {0, 0};
    ClientToScreen(g_parent, &origin);
    std::printf("hwnd %llu %ld %ld\n", (unsigned long long)(UINT_PTR)g_parent, origin.x, origin.y);
    std::fflush(stdout);
    CreateThread(nullptr, 0, WatchInput, nullptr, 0, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}

void PrintWindow(HWND window)
{
    char className[128] = "", title[128] = "";
    if (window) {
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, title, sizeof title);
    }
    std::printf("%llu|%s|%s\n", (unsigned long long)(UINT_PTR)window, className, title);
}

BOOL CALLBACK PrintMonitor(HMONITOR, HDC, LPRECT area, LPARAM)
{
    std::printf("%ld %ld %ld %ld\n", area->left, area->top, area->right, area->bottom);
    return TRUE;
}

HWND Find(const char* className, const char* title)
{
    return FindWindowA(className, *title ? title : nullptr);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 4 && !std::strcmp(argv[1], "parent")) return Parent(std::atoi(argv[2]), std::atoi(argv[3]));
    if (argc >= 4 && !std::strcmp(argv[1], "find")) {
        PrintWindow(Find(argv[2], argv[3]));
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "cursor")) {
        // Through Wine, so that its server learns the place as well as X does; without a
        // place, only where the server has it.
        POINT at = {};
        if (argc >= 4) SetCursorPos(std::atoi(argv[2]), std::atoi(argv[3]));
        GetCursorPos(&at);
        std::printf("%ld %ld\n", at.x, at.y);
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "monitors")) {
        EnumDisplayMonitors(nullptr, nullptr, PrintMonitor, 0);
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "foreground")) {
        PrintWindow(GetForegroundWindow());
        return 0;
    }
    if (argc >= 5 && !std::strcmp(argv[1], "syscommand")) {
        HWND window = Find(argv[2], argv[3]);
        if (!window) return 2;
        LRESULT result = SendMessageA(window, WM_SYSCOMMAND, std::strtoul(argv[4], nullptr, 0), 0);
        std::printf("%lld\n", (long long)result);
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "displaychange")) {
        // What Windows sends every top-level window when a monitor comes, goes or changes.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(HWND_BROADCAST, WM_DISPLAYCHANGE, 32,
                            MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)),
                            SMTO_ABORTIFHUNG, 5000, &ignored);
        return 0;
    }
    if (argc >= 6 && !std::strcmp(argv[1], "hook")) {
        // Loads the library's message hook into the thread of the window (and so into its
        // process) until standard input closes.
        HWND window = Find(argv[4], argv[5]);
        HMODULE library = LoadLibraryA(argv[2]);
        auto procedure = library ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(library, argv[3]))) : nullptr;
        HHOOK hook = window && procedure
                         ? SetWindowsHookExA(WH_GETMESSAGE, procedure, library, GetWindowThreadProcessId(window, nullptr))
                         : nullptr;
        std::printf("%s\n", hook ? "hooked" : "failed");
        std::fflush(stdout);
        while (hook && std::fgetc(stdin) != EOF) {
        }
        return hook ? 0 : 2;
    }
    if (argc >= 3 && !std::strcmp(argv[1], "lock")) {
        // Holds the file open without sharing until standard input closes.
        HANDLE file = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        std::printf("%s\n", file == INVALID_HANDLE_VALUE ? "failed" : "locked");
        std::fflush(stdout);
        while (std::fgetc(stdin) != EOF) {
        }
        return 0;
    }
    std::fprintf(stderr, "usage: probe parent W H | find CLASS TITLE | foreground | "
                         "syscommand CLASS TITLE WPARAM | displaychange | lock FILE | hook DLL FUNCTION CLASS TITLE\n");
    return 2;
}
