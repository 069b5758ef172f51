// A file's path in a folder such as the Windows directory, built within a fixed buffer.
#pragma once
#include <cstddef>
#include <cstring>

// Writes folder, a backslash unless folder already ends in one, and name into out (size
// bytes, terminated). Returns false, leaving out empty, when folder is empty (its files
// would land in the current folder or the drive's root) or the path does not fit.
inline bool JoinFolderAndName(char* out, std::size_t size, const char* folder, const char* name)
{
    if (size == 0) return false;
    out[0] = '\0';
    const std::size_t folderLength = std::strlen(folder);
    if (folderLength == 0) return false;
    const bool separator = folder[folderLength - 1] != '\\';
    const std::size_t nameLength = std::strlen(name);
    if (folderLength + (separator ? 1 : 0) + nameLength >= size) return false;
    std::memcpy(out, folder, folderLength);
    std::size_t at = folderLength;
    if (separator) out[at++] = '\\';
    std::memcpy(out + at, name, nameLength + 1);
    return true;
}
