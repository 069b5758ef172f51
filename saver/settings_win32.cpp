#include "saver/settings_win32.h"

#include <windows.h>

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

    void WriteString(const char* key, const char* value) override
    {
        WritePrivateProfileStringA(section_, key, value, file_);
    }

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

void SaveSettings(const char* xText, const char* yText, const char* delayText, const char* dirText)
{
    PrivateProfile file;
    SaveSettings(file, xText, yText, delayText, dirText);
}
