// The settings file "ss_velmo.ini" in the Windows directory, through the private-profile
// functions. File and section names come from the program's string table.
#pragma once
#include "base/settings.h"

void LoadSettings(LoadManner manner);
// False when the file could not be written.
bool SaveSettings(const char* xText, const char* yText, const char* delayText, const char* dirText);
// The full path of the settings file, for telling the user which file it is; false when it
// does not fit `size`.
bool SettingsFilePath(char* path, int size);
