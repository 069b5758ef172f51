// The installation from the first question to the last message, over what the platform does.
#include "installer/install_flow.h"

namespace {

int WriteError(InstallerPlatform& platform)
{
    platform.Show(kWriteError, kBoxIconError | kBoxOk);
    return 1;
}

}  // namespace

int RunInstallation(InstallerPlatform& platform)
{
    if (platform.Show(kInstallQuestion, kBoxOkCancel | kBoxIconQuestion) != kAnswerOk) return 1;

    // Every path is made before anything is written, so a folder too long for them leaves
    // nothing behind.
    char folder[kPathSize];
    InstallPaths paths;
    if (!platform.WindowsDirectory(folder) || !BuildInstallPaths(folder, paths)) return WriteError(platform);

    // A library of the other machine is the one the saver in place loads: replacing it before
    // the user declines to replace that saver would leave a saver that cannot start.
    const InstalledLibrary installed = platform.ReadInstalledLibrary(paths.library);
    const uint16_t machine = platform.CarriedLibraryMachine();
    const bool libraryWithSaver = LibraryOfOtherMachine(installed, machine);
    if (!libraryWithSaver && LibraryNeedsWriting(installed, machine) &&
        !platform.WriteCarriedFile(kCarriedLibrary, paths.library))
        return WriteError(platform);
    if (!platform.WriteCarriedFile(kCarriedWinHelp, paths.winHelp) ||
        !platform.WriteCarriedFile(kCarriedHtmlHelp, paths.htmlHelp))
        return WriteError(platform);

    if (platform.OpensForReading(paths.saver)) {
        char question[kPathSize + 64];
        FormatOverwriteQuestion(question, sizeof question, paths.saver);
        if (platform.Show(question, kBoxYesNo | kBoxIconExclamation) != kAnswerYes) {
            platform.Show(kInstallAborted, kBoxIconExclamation | kBoxOk);
            return 0;
        }
    }
    // The saver first: when it cannot be replaced (it runs, for one), the pair in place stays.
    if (!platform.WriteCarriedFile(kCarriedSaver, paths.saver)) return WriteError(platform);
    if (libraryWithSaver && !platform.WriteCarriedFile(kCarriedLibrary, paths.library))
        return WriteError(platform);

    // Without a short form the long path still names the saver.
    char shortPath[kPathSize];
    const char* name = platform.ShortPath(paths.saver, shortPath) ? shortPath : paths.saver;
    if (!platform.NameScreenSaver(name) || !platform.SwitchScreenSavingOn()) {
        platform.Show(kSaverNotActive, kBoxIconError | kBoxOk);
        return 1;
    }
    platform.Show(kSaverInstalled, kBoxOk);
    return 0;
}
