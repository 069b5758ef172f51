// The catalogue scan on the Windows file system, under the wait cursor.
#pragma once
#include <cstdint>
#include <string>

int32_t ScanPictures();

// A catalogue path as the wide file functions take it, whatever its length.
std::wstring PlatformPathOf(const char* path);
// A catalogue path as the user reads it.
std::wstring TextOf(const char* path);

// `wide` as the ANSI file functions take it on code page `codePage`, into out (size bytes);
// false when a character has no exact equivalent there (the text would name another file,
// or none) or the result does not fit.
bool NarrowFileName(const wchar_t* wide, unsigned codePage, char* out, int size);
