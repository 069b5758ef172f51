// Writing a file in one step: beside its target under a temporary name, then in its place.
#pragma once
#include <windows.h>

// Replaces target by size bytes of data. The bytes are written, flushed and closed under a
// temporary name in the target's folder before that file takes the target's place; on any
// failure the temporary file is removed, target is left as it was, and the result is false.
bool ReplaceFileWith(const char* target, const void* data, DWORD size);
