// The installation's failures that Wine cannot stage, over a recording stand-in for Windows:
// a failed write of each file, a Windows directory that cannot be had or is too long, no
// short path, and a saver that cannot be made active.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "installer/install_flow.h"

namespace {

using Box = std::pair<std::string, unsigned>;
const Box kQuestion{kInstallQuestion, kBoxOkCancel | kBoxIconQuestion};
const Box kWriteFailed{kWriteError, kBoxIconError};
constexpr int kAnswerNo = 7;

class RecordingPlatform : public InstallerPlatform {
public:
    std::string folder = "C:\\WINDOWS";
    std::set<int> failingWrites;
    bool shortForm = true, nameAccepted = true, activationAccepted = true;
    InstalledLibrary installed;
    bool saverPresent = false;
    int overwriteAnswer = kAnswerYes;

    std::vector<Box> boxes;
    std::vector<int> written;
    std::vector<std::string> named;
    int activations = 0;

    int Show(const char* text, unsigned style) override
    {
        boxes.emplace_back(text, style);
        return style & kBoxYesNo ? overwriteAnswer : kAnswerOk;
    }
    bool WindowsDirectory(char (&out)[kPathSize]) override
    {
        if (folder.size() >= kPathSize) return false;
        std::strcpy(out, folder.c_str());
        return true;
    }
    InstalledLibrary ReadInstalledLibrary(const char*) override { return installed; }
    uint16_t CarriedLibraryMachine() override { return 0x8664; }
    bool WriteCarriedFile(CarriedFile file, const char*) override
    {
        written.push_back(file);
        return !failingWrites.count(file);
    }
    bool OpensForReading(const char*) override { return saverPresent; }
    bool ShortPath(const char*, char (&out)[kPathSize]) override
    {
        std::strcpy(out, "C:\\WINDOWS\\VELMOR~1.SCR");
        return shortForm;
    }
    bool NameScreenSaver(const char* path) override
    {
        named.emplace_back(path);
        return nameAccepted;
    }
    bool SwitchScreenSavingOn() override
    {
        ++activations;
        return activationAccepted;
    }
};

TEST(Installation, WriteErrorEndsItWithOneAndNothingAfterTheFailure)
{
    const std::vector<int> order = {kCarriedLibrary, kCarriedWinHelp, kCarriedHtmlHelp, kCarriedSaver};
    struct Case {
        int failing;          // resource whose write fails, or 0
        std::string folder;   // the Windows directory
        std::size_t written;  // writes tried
    } cases[] = {{kCarriedLibrary, "C:\\WINDOWS", 1}, {kCarriedWinHelp, "C:\\WINDOWS", 2},
                 {kCarriedHtmlHelp, "C:\\WINDOWS", 3}, {kCarriedSaver, "C:\\WINDOWS", 4},
                 {0, std::string(kPathSize, 'x'), 0},  // cannot be had
                 {0, std::string(248, 'x'), 0},        // leaves no room for "\velmora.hlp"
                 {0, "", 0}};
    for (const Case& c : cases) {
        RecordingPlatform p;
        p.failingWrites = {c.failing};
        p.folder = c.folder;
        EXPECT_EQ(RunInstallation(p), 1) << c.failing << " " << c.folder.size();
        EXPECT_EQ(p.boxes, (std::vector<Box>{kQuestion, kWriteFailed}));
        EXPECT_EQ(p.written, std::vector<int>(order.begin(), order.begin() + long(c.written)));
        EXPECT_TRUE(p.named.empty());
    }
}

TEST(Installation, TheSaverIsNamedByItsShortPathOrItsLongOneAndAFailureToActivateIsReported)
{
    RecordingPlatform withShort, withoutShort, unnamed, inactive;
    withoutShort.shortForm = false;
    unnamed.nameAccepted = false;
    inactive.activationAccepted = false;
    EXPECT_EQ(RunInstallation(withShort), 0);
    EXPECT_EQ(withShort.named, std::vector<std::string>{"C:\\WINDOWS\\VELMOR~1.SCR"});
    EXPECT_EQ(RunInstallation(withoutShort), 0);
    EXPECT_EQ(withoutShort.named, std::vector<std::string>{"C:\\WINDOWS\\Velmora.scr"});
    for (RecordingPlatform* p : {&unnamed, &inactive}) {
        EXPECT_EQ(RunInstallation(*p), 1);
        EXPECT_EQ(p->boxes, (std::vector<Box>{kQuestion, Box{kSaverNotActive, kBoxIconError}}));
    }
    EXPECT_EQ(unnamed.activations, 0);  // no other saver is switched on in its place
}

TEST(Installation, ALibraryOfTheOtherMachineIsReplacedOnlyWithTheSaverBesideIt)
{
    const InstalledLibrary i386Library{true, "3.1.3", 0x14C}, olderLibrary{true, "2.5", 0x8664},
        sameLibrary{true, "3.1.3", 0x8664};
    struct Case {
        InstalledLibrary installed;
        bool saverPresent;
        int answer;
        std::vector<int> written;
    } cases[] = {
        {i386Library, true, kAnswerNo, {kCarriedWinHelp, kCarriedHtmlHelp}},  // declined: the pair stays
        {i386Library, true, kAnswerYes, {kCarriedWinHelp, kCarriedHtmlHelp, kCarriedSaver, kCarriedLibrary}},
        {i386Library, false, kAnswerNo, {kCarriedWinHelp, kCarriedHtmlHelp, kCarriedSaver, kCarriedLibrary}},
        {olderLibrary, true, kAnswerNo, {kCarriedLibrary, kCarriedWinHelp, kCarriedHtmlHelp}},
        {sameLibrary, true, kAnswerNo, {kCarriedWinHelp, kCarriedHtmlHelp}},
    };
    for (const Case& c : cases) {
        RecordingPlatform p;
        p.installed = c.installed;
        p.saverPresent = c.saverPresent;
        p.overwriteAnswer = c.answer;
        EXPECT_EQ(RunInstallation(p), 0);
        EXPECT_EQ(p.written, c.written) << c.installed.version << " " << c.saverPresent << " " << c.answer;
    }
    // A saver that cannot be replaced (a running one) keeps the library it loads.
    RecordingPlatform running;
    running.installed = i386Library;
    running.saverPresent = true;
    running.failingWrites = {kCarriedSaver};
    EXPECT_EQ(RunInstallation(running), 1);
    EXPECT_EQ(running.written, (std::vector<int>{kCarriedWinHelp, kCarriedHtmlHelp, kCarriedSaver}));
}

}  // namespace
