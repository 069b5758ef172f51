// The settings file "ss_velmo.ini" in the Windows directory, through the private-profile
// functions. File and section names come from the program's string table.
#pragma once
#include "base/settings.h"

void LoadSettings(LoadManner manner);
void SaveSettings(const char* xText, const char* yText, const char* delayText, const char* dirText);
