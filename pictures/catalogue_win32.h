// The catalogue scan on the Windows file system, under the wait cursor.
#pragma once
#include <cstdint>

int32_t ScanPictures();

// `wide` as the ANSI file functions take it on code page `codePage`, into out (size bytes);
// false when a character has no exact equivalent there (the text would name another file,
// or none) or the result does not fit.
bool NarrowFileName(const wchar_t* wide, unsigned codePage, char* out, int size);
