// The installation's steps done by Windows: message boxes, files, the screen-saver settings.
#include "installer/setup_platform_win32.h"

#include <windows.h>

#include "installer/library_info_win32.h"
#include "installer/replace_file_win32.h"

static_assert(kBoxOk == MB_OK && kBoxOkCancel == MB_OKCANCEL && kBoxYesNo == MB_YESNO);
static_assert(kBoxIconError == MB_ICONERROR && kBoxIconQuestion == MB_ICONQUESTION &&
              kBoxIconExclamation == MB_ICONEXCLAMATION);
static_assert(kAnswerOk == IDOK && kAnswerYes == IDYES);
static_assert(kPathSize == MAX_PATH);

namespace {

// A carried file: the bytes of resource "DATA" id in this program.
struct Carried {
    HGLOBAL loaded = nullptr;
    const void* data = nullptr;
    DWORD size = 0;

    explicit Carried(CarriedFile file)
    {
        HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(file), "DATA");
        if (!found) return;
        loaded = LoadResource(nullptr, found);
        data = loaded ? LockResource(loaded) : nullptr;
        size = data ? SizeofResource(nullptr, found) : 0;
    }
    ~Carried()
    {
        if (loaded) FreeResource(loaded);
    }
    Carried(const Carried&) = delete;
    Carried& operator=(const Carried&) = delete;
};

}  // namespace

int Win32InstallerPlatform::Show(const char* text, unsigned style)
{
    return MessageBoxA(nullptr, text, kInstallCaption, style);
}

bool Win32InstallerPlatform::WindowsDirectory(char (&folder)[kPathSize])
{
    const UINT length = GetWindowsDirectoryA(folder, kPathSize);
    return length > 0 && length < kPathSize;
}

InstalledLibrary Win32InstallerPlatform::ReadInstalledLibrary(const char* path)
{
    return ::ReadInstalledLibrary(path);
}

uint16_t Win32InstallerPlatform::CarriedLibraryMachine()
{
    Carried library(kCarriedLibrary);
    return library.data ? PeMachine(static_cast<const unsigned char*>(library.data), library.size) : 0;
}

bool Win32InstallerPlatform::WriteCarriedFile(CarriedFile file, const char* path)
{
    Carried carried(file);
    return carried.data && ReplaceFileWith(path, carried.data, carried.size);
}

bool Win32InstallerPlatform::OpensForReading(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

bool Win32InstallerPlatform::ShortPath(const char* path, char (&shortPath)[kPathSize])
{
    const DWORD length = GetShortPathNameA(path, shortPath, kPathSize);
    return length > 0 && length < kPathSize;
}

bool Win32InstallerPlatform::NameScreenSaver(const char* path)
{
    return WritePrivateProfileStringA("boot", "SCRNSAVE.EXE", path, "system.ini");
}

bool Win32InstallerPlatform::SwitchScreenSavingOn()
{
    return SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE);
}
