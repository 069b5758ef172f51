#include "base/saver_window_win32.h"

HWND SaverWindow = nullptr;
int PreviewMode = 0;
