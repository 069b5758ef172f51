// What a picture library already in place is: its product version and machine type.
#pragma once
#include "installer/install_rules.h"

// Where the US English, Windows Latin 1 string table (040904E4) has no ProductVersion,
// the string tables of the translations the file lists are tried in their order, then the
// fixed product version of its version information. Without any, no version is found and
// the library is written.
InstalledLibrary ReadInstalledLibrary(const char* path);
