#include "pictures/size_cache_win32.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>

namespace {

std::wstring g_folderOverride;

// The cache's folder, made when missing; empty when there is none to be had.
std::wstring CacheFolder()
{
    if (!g_folderOverride.empty()) return g_folderOverride;
    wchar_t base[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, base))) return {};
    std::wstring folder = std::wstring(base) + L"\\Velmora";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    return folder;
}

constexpr wchar_t kCacheName[] = L"\\picture-sizes.cache";

}  // namespace

void SetSizeCacheFolder(const wchar_t* folder) { g_folderOverride = folder ? folder : L""; }

void ReadSizeCache(SizeCache& sizes)
{
    const std::wstring folder = CacheFolder();
    if (folder.empty()) return;
    // Shared for deletion too, so a writer can put its new file in place meanwhile.
    HANDLE file = CreateFileW((folder + kCacheName).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size;
    std::vector<uint8_t> bytes;
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && uint64_t(size.QuadPart) <= SizeCache::kMaxBytes) {
        try {
            bytes.resize(size_t(size.QuadPart));
        } catch (...) {
            bytes.clear();
        }
        size_t done = 0;
        while (done < bytes.size()) {
            DWORD read = 0;
            if (!ReadFile(file, bytes.data() + done, DWORD(bytes.size() - done), &read, nullptr) || read == 0) break;
            done += read;
        }
        if (done != bytes.size()) bytes.clear();
    }
    CloseHandle(file);
    if (!bytes.empty()) sizes.Load(std::move(bytes));
}

void WriteSizeCache(const SizeCache& sizes)
{
    const std::wstring folder = CacheFolder();
    if (folder.empty()) return;
    std::vector<uint8_t> bytes;
    try {
        bytes = sizes.Serialise();
    } catch (...) {
        return;
    }
    // Each process writes a name of its own, so two writers never share a half file.
    const std::wstring finalName = folder + kCacheName;
    const std::wstring partName = finalName + L"." + std::to_wstring(GetCurrentProcessId()) + L".part";
    HANDLE file = CreateFileW(partName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD ask = DWORD(std::min<size_t>(bytes.size() - done, 1u << 24));
        if (!WriteFile(file, bytes.data() + done, ask, &written, nullptr) || written == 0) break;
        done += written;
    }
    CloseHandle(file);
    if (done != bytes.size() || !MoveFileExW(partName.c_str(), finalName.c_str(), MOVEFILE_REPLACE_EXISTING))
        DeleteFileW(partName.c_str());
}
