// What a picture library already in place is: its product version and machine type.
#include "installer/library_info_win32.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "base/windows_path.h"

namespace {

using SizeFunction = DWORD(WINAPI*)(LPCSTR, LPDWORD);
using InfoFunction = BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID);
using QueryFunction = BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT);

// The version functions, taken from the system folder's version.dll at run time: an
// installer started from a downloads folder must not load a version.dll lying beside it.
class VersionFunctions {
public:
    VersionFunctions()
    {
        char system[MAX_PATH], path[MAX_PATH];
        const UINT length = GetSystemDirectoryA(system, MAX_PATH);
        if (length == 0 || length >= MAX_PATH || !JoinFolderAndName(path, MAX_PATH, system, "version.dll")) return;
        module_ = LoadLibraryA(path);
        if (!module_) return;
        size = reinterpret_cast<SizeFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "GetFileVersionInfoSizeA")));
        info = reinterpret_cast<InfoFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "GetFileVersionInfoA")));
        query = reinterpret_cast<QueryFunction>(reinterpret_cast<void*>(GetProcAddress(module_, "VerQueryValueA")));
    }
    ~VersionFunctions()
    {
        if (module_) FreeLibrary(module_);
    }
    VersionFunctions(const VersionFunctions&) = delete;
    VersionFunctions& operator=(const VersionFunctions&) = delete;

    bool Usable() const { return size && info && query; }

    SizeFunction size = nullptr;
    InfoFunction info = nullptr;
    QueryFunction query = nullptr;

private:
    HMODULE module_ = nullptr;
};

// A string value, read only within the length the platform gives for it.
bool StringValue(const VersionFunctions& api, const std::vector<char>& block, const std::string& name,
                 std::string& value)
{
    void* text = nullptr;
    UINT length = 0;
    if (!api.query(block.data(), name.c_str(), &text, &length) || !text || length == 0) return false;
    const char* characters = static_cast<const char*>(text);
    value.assign(characters, strnlen(characters, length));
    return true;
}

bool ProductVersion(const VersionFunctions& api, const std::vector<char>& block, std::string& version)
{
    if (StringValue(api, block, ProductVersionQuery(0x0409, 1252), version)) return true;
    void* translations = nullptr;
    UINT bytes = 0;
    if (api.query(block.data(), "\\VarFileInfo\\Translation", &translations, &bytes) && translations) {
        const WORD* pairs = static_cast<const WORD*>(translations);
        for (UINT i = 0; i + 1 < bytes / sizeof(WORD); i += 2) {
            if (StringValue(api, block, ProductVersionQuery(pairs[i], pairs[i + 1]), version)) return true;
        }
    }
    void* fixed = nullptr;
    UINT size = 0;
    if (api.query(block.data(), "\\", &fixed, &size) && fixed && size >= sizeof(VS_FIXEDFILEINFO)) {
        const VS_FIXEDFILEINFO* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
        if (info->dwSignature == 0xFEEF04BD) {
            version = FixedVersionText(info->dwProductVersionMS, info->dwProductVersionLS);
            return true;
        }
    }
    return false;
}

uint16_t FileMachine(const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    unsigned char head[4096];
    DWORD read = 0;
    const BOOL ok = ReadFile(file, head, sizeof head, &read, nullptr);
    CloseHandle(file);
    return ok ? PeMachine(head, read) : 0;
}

}  // namespace

InstalledLibrary ReadInstalledLibrary(const char* path)
{
    InstalledLibrary library;
    library.machine = FileMachine(path);
    VersionFunctions api;
    if (!api.Usable()) return library;
    DWORD ignored = 0;
    const DWORD size = api.size(path, &ignored);
    if (size == 0) return library;
    std::vector<char> block(size);
    if (!api.info(path, 0, size, block.data())) return library;
    library.versionFound = ProductVersion(api, block, library.version);
    return library;
}
