// The settings dialog that configure mode opens (template 2003).
#pragma once
#include <windows.h>

// Its dialog procedure, exported under this name. It returns a pointer-sized value, as
// every dialog procedure must on 64-bit Windows.
extern "C" __declspec(dllexport) INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message,
                                                                       WPARAM wParam, LPARAM lParam);
