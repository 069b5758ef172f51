// The saver program's entry point: everything happens in the host frame.
#include <windows.h>

#include "saver/host_frame_win32.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    return RunScreenSaverProgram(instance, GetCommandLineA());
}
