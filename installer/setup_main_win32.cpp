// VelmoraSetup.exe: puts the saver, its picture library and its help into the Windows directory.
#include <windows.h>

#include "installer/setup_platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    Win32InstallerPlatform platform;
    return RunInstallation(platform);
}
