// Where the picture sizes are kept between runs: one file per user, in
// %LOCALAPPDATA%\Velmora. Every failure to read or write it is silent and costs only speed.
#pragma once
#include "pictures/size_cache.h"

// Fills `sizes` from the user's cache file when it holds a whole, unchanged cache.
void ReadSizeCache(SizeCache& sizes);
// Writes the cache beside its final name, then puts it in place in one step, so a reader
// (another saver, the settings dialog) finds the old file or the new one, never a part.
void WriteSizeCache(const SizeCache& sizes);
// The folder of the cache file instead of the user's (tests); null: the user's again.
void SetSizeCacheFolder(const wchar_t* folder);
