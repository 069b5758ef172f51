// Writing a file in one step: beside its target under a temporary name, then in its place.
#include "installer/replace_file_win32.h"

#include <cstring>

namespace {

// The folder part of path, with its final backslash; false when there is none or it does
// not leave room for the temporary name (the platform takes at most MAX_PATH - 14).
bool FolderOf(const char* path, char (&folder)[MAX_PATH])
{
    const char* slash = std::strrchr(path, '\\');
    if (!slash) return false;
    const std::size_t length = std::size_t(slash - path) + 1;
    if (length > MAX_PATH - 14) return false;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    return true;
}

// Only a write, flush and close that all succeed put the last bytes on the disk.
bool WriteWhole(const char* path, const void* data, DWORD size)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const char* at = static_cast<const char*>(data);
    DWORD left = size;
    bool written = true;
    while (written && left > 0) {
        DWORD done = 0;
        written = WriteFile(file, at, left, &done, nullptr) && done > 0;
        at += done;
        left -= done;
    }
    written = written && FlushFileBuffers(file);
    return CloseHandle(file) && written;
}

}  // namespace

bool ReplaceFileWith(const char* target, const void* data, DWORD size)
{
    // The platform refuses to open a read-only file or a folder for writing, while a rename
    // over them may go through (Wine run as root lets it): refuse them alike.
    const DWORD attributes = GetFileAttributesA(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    char folder[MAX_PATH];
    char temporary[MAX_PATH];
    if (!FolderOf(target, folder) || !GetTempFileNameA(folder, "vel", 0, temporary)) return false;
    const bool replaced = WriteWhole(temporary, data, size) &&
                          MoveFileExA(temporary, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!replaced) DeleteFileA(temporary);
    return replaced;
}
