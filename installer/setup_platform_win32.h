// The installation's steps done by Windows: message boxes, files, the screen-saver settings.
#pragma once
#include "installer/install_flow.h"

class Win32InstallerPlatform : public InstallerPlatform {
public:
    int Show(const char* text, unsigned style) override;
    bool WindowsDirectory(char (&folder)[kPathSize]) override;
    InstalledLibrary ReadInstalledLibrary(const char* path) override;
    uint16_t CarriedLibraryMachine() override;
    bool WriteCarriedFile(CarriedFile file, const char* path) override;
    bool OpensForReading(const char* path) override;
    bool ShortPath(const char* path, char (&shortPath)[kPathSize]) override;
    bool NameScreenSaver(const char* path) override;
    bool SwitchScreenSavingOn() override;
};
