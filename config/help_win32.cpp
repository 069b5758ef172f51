#include "config/help_win32.h"

#include <cstdio>
#include <cstring>

void OpenHelp(HWND owner)
{
    char directory[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory) return;
    const char* separator = directory[length - 1] == '\\' ? "" : "\\";
    char path[MAX_PATH];
    const int written = std::snprintf(path, sizeof path, "%s%svelmora.hlp", directory, separator);
    if (written < 0 || written >= int(sizeof path)) return;
    WinHelpA(owner, path, HELP_CONTENTS, 0);
}
