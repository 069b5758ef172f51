// The installation from the first question to the last message, over what the platform does.
#pragma once
#include <cstdint>

#include "installer/install_rules.h"

// Message box styles and answers, numbered as the platform numbers them.
constexpr unsigned kBoxOk = 0x00, kBoxOkCancel = 0x01, kBoxYesNo = 0x04;
constexpr unsigned kBoxIconError = 0x10, kBoxIconQuestion = 0x20, kBoxIconExclamation = 0x30;
constexpr int kAnswerOk = 1, kAnswerYes = 6;

// The texts the user sees, every one under the caption "Install".
constexpr char kInstallCaption[] = "Install";
constexpr char kInstallQuestion[] = "Install Velmora Screensaver ?    ";
constexpr char kWriteError[] = "Write error";
constexpr char kInstallAborted[] = "Install aborted   ";
constexpr char kSaverInstalled[] = "      Saver installed       ";
constexpr char kSaverNotActive[] = "Files installed, but the saver could not be made active   ";

// The carried files, by resource id.
enum CarriedFile { kCarriedLibrary = 10, kCarriedSaver = 11, kCarriedWinHelp = 12, kCarriedHtmlHelp = 13 };

class InstallerPlatform {
public:
    virtual ~InstallerPlatform() = default;
    // A message box without owner, captioned "Install"; returns the answer.
    virtual int Show(const char* text, unsigned style) = 0;
    // False when the Windows directory cannot be had or does not fit.
    virtual bool WindowsDirectory(char (&folder)[kPathSize]) = 0;
    virtual InstalledLibrary ReadInstalledLibrary(const char* path) = 0;
    virtual uint16_t CarriedLibraryMachine() = 0;
    // Replaces path by the carried file as a whole; on failure path is left as it was.
    virtual bool WriteCarriedFile(CarriedFile file, const char* path) = 0;
    virtual bool OpensForReading(const char* path) = 0;
    // False when there is no short form or it does not fit.
    virtual bool ShortPath(const char* path, char (&shortPath)[kPathSize]) = 0;
    virtual bool NameScreenSaver(const char* path) = 0;   // system.ini [boot] SCRNSAVE.EXE
    virtual bool SwitchScreenSavingOn() = 0;
};

// Runs the installation once; returns the exit code.
int RunInstallation(InstallerPlatform& platform);
