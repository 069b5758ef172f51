// Opening the saver's help file from the settings dialog's Help button.
#pragma once
#include <windows.h>

// Opens the help file in the Windows directory on its contents, owned by `owner`; nothing
// when its path cannot be built.
void OpenHelp(HWND owner);
