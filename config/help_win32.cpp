// The settings dialog's Help: the saver's help file from the Windows directory.
#include "config/help_win32.h"

#include "base/windows_path.h"
#include "config/help_choice.h"

namespace {

constexpr UINT kHtmlHelpDisplayTopic = 0x0000;  // HH_DISPLAY_TOPIC
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

// hhctrl.ocx, loaded from the system folder once and kept: the HTML Help window lives in
// this process and runs its code for as long as it is open.
HMODULE g_htmlHelpModule = nullptr;

unsigned long WindowsMajorVersion()
{
    // The saver's manifest lists the systems it knows, so this is not held at 6.2.
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version)) return 0;
#pragma GCC diagnostic pop
    return version.dwMajorVersion;
}

bool FileExists(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

HtmlHelpFunction HtmlHelpEntry()
{
    if (!g_htmlHelpModule) {
        char system[MAX_PATH], path[MAX_PATH];
        const UINT length = GetSystemDirectoryA(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !JoinFolderAndName(path, MAX_PATH, system, "hhctrl.ocx"))
            return nullptr;
        g_htmlHelpModule = LoadLibraryA(path);
        if (!g_htmlHelpModule) return nullptr;
    }
    return reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(g_htmlHelpModule, "HtmlHelpA")));
}

}  // namespace

void OpenHelp(HWND owner)
{
    char windows[MAX_PATH], winHelpFile[MAX_PATH], htmlHelpFile[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    if (!JoinFolderAndName(winHelpFile, MAX_PATH, windows, "velmora.hlp") ||
        !JoinFolderAndName(htmlHelpFile, MAX_PATH, windows, "velmora.chm"))
        return;
    if (ChooseHelpViewer(WindowsMajorVersion(), FileExists(winHelpFile)) == HelpViewer::WinHelp) {
        WinHelpA(owner, winHelpFile, HELP_CONTENTS, 0);
        return;
    }
    if (HtmlHelpFunction htmlHelp = HtmlHelpEntry()) htmlHelp(owner, htmlHelpFile, kHtmlHelpDisplayTopic, 0);
}
