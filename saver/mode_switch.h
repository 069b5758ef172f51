// Reading the screen-saver mode switch from the command line.
#pragma once
#include <cstdint>

enum class SaverMode {
    SettingsWithoutOwner,     // no switch at all
    SettingsOwnedByForeground,  // c
    FullScreen,               // s
    Preview,                  // p or l, with the parent window
    ChangePassword,           // a, with the owner window
    Unrecognised,
};

struct ModeSwitch {
    SaverMode mode = SaverMode::Unrecognised;
    uintptr_t window = 0;  // the decimal handle after p, l or a; 0 when none was given
};

// The text after the program's own name (quoted or not) and the blanks that follow it.
const char* SkipProgramName(const char* commandLine);

// Only the first significant character counts: blanks, '-' and '/' are skipped.
ModeSwitch ParseModeSwitch(const char* arguments);
