// The effects dialog (template 1012): the forty switches and a preview of any effect on
// the pictures of the chosen folder. Opened modally by the settings dialog.
#pragma once
#include <windows.h>

INT_PTR WINAPI EffectsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Brings the next catalogue picture into `preview` with CurrentEffect; its path goes to
// `pathLine`.
void ShowEffectPreview(HWND preview, HWND pathLine);
