// The installer's decisions: which library stays, the paths it writes, the overwrite question.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

constexpr std::size_t kPathSize = 260;

// The product version of the picture library the installer carries.
constexpr char kCarriedLibraryVersion[] = "3.1.3";

// Compares two product versions: below 0, 0 or above 0 as a sorts before, with or after b.
// Dots, commas and blanks separate the components ("3, 2, 0, 0" is a common way to write
// one); a missing component counts as 0. If a component of either is not a number, the
// texts are compared byte by byte instead, the letters A to Z in either case being equal.
int CompareProductVersions(std::string_view a, std::string_view b);

// What the installer found out about a library already in place.
struct InstalledLibrary {
    bool versionFound = false;  // a product version could be read
    std::string version;
    uint16_t machine = 0;       // PE machine type; 0 when the file holds no readable PE header
};

// The library is written unless the one in place has a product version at least that of
// the carried one and is built for the same machine: a library of the other architecture
// could not be loaded by the saver beside it.
bool LibraryNeedsWriting(const InstalledLibrary& installed, uint16_t carriedMachine);

// True when the library in place is built for another machine than the carried one: it is
// then the library of the saver beside it, and is replaced only together with that saver.
bool LibraryOfOtherMachine(const InstalledLibrary& installed, uint16_t carriedMachine);

// The machine type of a PE file from its first bytes, or 0 when they hold no PE header.
uint16_t PeMachine(const unsigned char* data, std::size_t size);

// The files the installer writes, each in the Windows directory.
struct InstallPaths {
    char library[kPathSize];
    char winHelp[kPathSize];
    char htmlHelp[kPathSize];
    char saver[kPathSize];
};

// False when the folder is empty or a path does not fit.
bool BuildInstallPaths(const char* windowsFolder, InstallPaths& paths);

// "File : "<path>" already exists   \n\nOverwrite this file ?" within size bytes; false
// (and an empty text) when it does not fit.
bool FormatOverwriteQuestion(char* out, std::size_t size, const char* path);

// The version-information query of ProductVersion in the string table of one translation.
std::string ProductVersionQuery(uint16_t language, uint16_t codePage);

// A fixed product version (two 32-bit halves) written "a.b.c.d".
std::string FixedVersionText(uint32_t mostSignificant, uint32_t leastSignificant);
