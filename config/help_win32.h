// The settings dialog's Help: the saver's help file from the Windows directory.
#pragma once
#include <windows.h>

// Opens velmora.hlp with WinHelp before Windows 10, velmora.chm with HTML Help on
// Windows 10 and later or when the .hlp is missing. Does nothing when a path cannot be made.
void OpenHelp(HWND owner);
