#include "base/settings_win32.h"

#include <windows.h>

#include <cstdio>
#include <cwchar>

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

std::wstring FolderOfSetting(const char* dir)
{
    const bool utf8 = dir[0] == '?';
    const UINT codePage = utf8 ? CP_UTF8 : CP_ACP;
    const char* text = utf8 ? dir + 1 : dir;
    wchar_t wide[kPathSize * 2];
    const int length = MultiByteToWideChar(codePage, 0, text, -1, wide, kPathSize * 2);
    return length > 0 ? std::wstring(wide) : std::wstring();
}

void SettingOfFolder(const wchar_t* folder, char (&dir)[kPathSize])
{
    // ANSI when the code page spells every character: converted back, it is the same text.
    char ansi[kPathSize * 2];
    wchar_t back[kPathSize * 2];
    const int chars = int(std::wcslen(folder));
    if (WideCharToMultiByte(CP_ACP, 0, folder, -1, ansi, sizeof ansi, nullptr, nullptr) > 0 &&
        MultiByteToWideChar(CP_ACP, 0, ansi, -1, back, kPathSize * 2) > 0 && std::wcscmp(back, folder) == 0 &&
        ansi[0] != '?') {
        // Cut between characters, which double-byte pages spell in two bytes.
        int kept = chars, length = 0;
        while ((length = WideCharToMultiByte(CP_ACP, 0, folder, kept, dir, kPathSize - 1, nullptr, nullptr)) == 0 &&
               kept > 0)
            --kept;
        dir[length] = '\0';
        return;
    }
    std::string text = "?";
    for (const wchar_t* at = folder; *at; ++at) {
        // A surrogate pair goes in whole or not at all.
        const int units = (at[0] >= 0xD800 && at[0] < 0xDC00 && at[1] >= 0xDC00 && at[1] < 0xE000) ? 2 : 1;
        char bytes[8];
        const int length = WideCharToMultiByte(CP_UTF8, 0, at, units, bytes, sizeof bytes, nullptr, nullptr);
        if (length <= 0 || text.size() + size_t(length) >= size_t(kPathSize)) break;
        text.append(bytes, size_t(length));
        at += units - 1;
    }
    lstrcpynA(dir, text.c_str(), kPathSize);
}
