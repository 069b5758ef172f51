// The settings file "ss_velmo.ini" in the Windows directory, through the private-profile
// functions. File and section names come from the program's string table.
#pragma once
#include <string>

#include "base/settings.h"

void LoadSettings(LoadManner manner);
// False when the file could not be written.
bool SaveSettings(const char* xText, const char* yText, const char* delayText, const char* dirText);
// The full path of the settings file, for telling the user which file it is; false when it
// does not fit `size`.
bool SettingsFilePath(char* path, int size);

// The picture folder of the settings as the wide file functions take it. The file keeps a
// folder the ANSI code page can spell as its ANSI text, as it always has; any other folder
// as "?" and its UTF-8 (no folder's path begins with "?", and no double-byte character
// holds one, so neither reading is ambiguous).
std::wstring FolderOfSetting(const char* dir);
// The settings' text for a folder: at most kPathSize - 1 bytes, cut between characters.
void SettingOfFolder(const wchar_t* folder, char (&dir)[kPathSize]);
