#include "base/settings_win32.h"

#include <windows.h>

#include <cstdio>

#include "resources/resource_ids.h"

namespace {

class PrivateProfile : public ProfileFile {
public:
    PrivateProfile()
    {
        // Loaded afresh each time, as the names could differ between builds' resources.
        HINSTANCE instance = GetModuleHandleA(nullptr);
        LoadStringA(instance, IDS_SETTINGS_SECTION, section_, sizeof section_);
        LoadStringA(instance, IDS_SETTINGS_FILE, file_, sizeof file_);
    }

    int32_t ReadInt(const char* key, int32_t fallback) override
    {
        return static_cast<int32_t>(GetPrivateProfileIntA(section_, key, fallback, file_));
    }

    void ReadString(const char* key, const char* fallback, char* buffer, int size) override
    {
        GetPrivateProfileStringA(section_, key, fallback, buffer, DWORD(size), file_);
    }

    bool WriteString(const char* key, const char* value) override
    {
        return WritePrivateProfileStringA(section_, key, value, file_) != FALSE;
    }

    const char* FileName() const { return file_; }

private:
    char section_[40] = {};
    char file_[13] = {};
};

}  // namespace

void LoadSettings(LoadManner manner)
{
    PrivateProfile file;
    LoadSettings(file, manner);
}

bool SaveSettings(const char* xText, const char* yText, const char* delayText, const char* dirText)
{
    PrivateProfile file;
    return SaveSettings(file, xText, yText, delayText, dirText);
}

bool SettingsFilePath(char* path, int size)
{
    // A name without a folder lives in the Windows directory, where the profile functions
    // look for it.
    char directory[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory) return false;
    const char* separator = directory[length - 1] == '\\' ? "" : "\\";
    const int written = std::snprintf(path, size_t(size), "%s%s%s", directory, separator,
                                      PrivateProfile().FileName());
    return written > 0 && written < size;
}
