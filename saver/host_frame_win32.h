// The saver program's contract with the platform's screen-saver machinery: the mode
// switch, the saver window and its message loop, ending on input, and the password.
#pragma once
#include <windows.h>

// The saver window; none until its creation has returned.
extern HWND SaverWindow;
// 1: the saver runs as a child of the display settings' preview window.
extern int PreviewMode;

// Runs the program for its argument text; returns the exit code.
int RunScreenSaverProgram(HINSTANCE instance, const char* commandLine);

// The default handling that ScreenSaverProc gives every message it does not handle.
LRESULT WINAPI HostDefaultProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Whether the saver may close now (asking for the password where one is set).
BOOL ConfirmClose(HWND window);
// Lets the settings dialog open.
BOOL PrepareSettingsDialog(HINSTANCE instance);

// Supplied by the engine and the settings dialog; exported under these names. The dialog
// procedure returns a pointer-sized value, as every dialog procedure must on 64-bit Windows.
extern "C" __declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND window, UINT message,
                                                               WPARAM wParam, LPARAM lParam);
extern "C" __declspec(dllexport) INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message,
                                                                       WPARAM wParam, LPARAM lParam);
