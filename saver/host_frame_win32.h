// The saver program's contract with the platform's screen-saver machinery: the mode
// switch, the saver window and its message loop, ending on input, and the password.
#pragma once
#include <windows.h>

#include "base/saver_window_win32.h"

// Runs the program for its argument text; returns the exit code.
int RunScreenSaverProgram(HINSTANCE instance, const char* commandLine);

// The default handling that ScreenSaverProc gives every message it does not handle.
LRESULT WINAPI HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Whether the saver may close now (asking for the password where one is set).
BOOL ConfirmClose(HWND window);
// Lets the settings dialog open.
BOOL PrepareSettingsDialog(HINSTANCE instance);

// Supplied by the engine; exported under this name.
extern "C" __declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND window, UINT message,
                                                               WPARAM wParam, LPARAM lParam);
