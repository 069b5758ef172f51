// The installation's steps, messages and exit codes over a recording stand-in for Windows.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "installer/install_flow.h"

namespace {

constexpr uint16_t kAmd64 = 0x8664;
constexpr int kAnswerCancel = 2, kAnswerNo = 7;
const std::string kSaver = "C:\\WINDOWS\\Velmora.scr";

using Box = std::pair<std::string, unsigned>;
const Box kQuestion{kInstallQuestion, kBoxOkCancel | kBoxIconQuestion};
const Box kInstalled{kSaverInstalled, kBoxOk};
const Box kAborted{kInstallAborted, kBoxIconExclamation};
const Box kWriteFailed{kWriteError, kBoxIconError};
const Box kNotActive{kSaverNotActive, kBoxIconError};
const Box kOverwrite{"File : \"" + kSaver + "\" already exists   \n\nOverwrite this file ?", kBoxYesNo | kBoxIconExclamation};

class RecordingPlatform : public InstallerPlatform {
public:
    std::deque<int> answers;
    std::string folder = "C:\\WINDOWS";
    bool folderKnown = true;
    InstalledLibrary library;
    std::set<std::string> present;     // paths that open for reading
    std::set<int> failingWrites;       // resource ids
    bool shortForm = true;
    bool nameAccepted = true, activationAccepted = true;

    std::vector<Box> boxes;
    std::vector<std::pair<int, std::string>> writes;
    std::vector<std::string> named;
    int activations = 0;

    int Show(const char* text, unsigned style) override
    {
        boxes.emplace_back(text, style);
        if (answers.empty()) return kAnswerOk;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool WindowsDirectory(char (&out)[kPathSize]) override
    {
        if (!folderKnown || folder.size() >= kPathSize) return false;
        std::strcpy(out, folder.c_str());
        return true;
    }
    InstalledLibrary ReadInstalledLibrary(const char*) override { return library; }
    uint16_t CarriedLibraryMachine() override { return kAmd64; }
    bool WriteCarriedFile(CarriedFile file, const char* path) override
    {
        writes.emplace_back(file, path);
        return !failingWrites.count(file);
    }
    bool OpensForReading(const char* path) override { return present.count(path) > 0; }
    bool ShortPath(const char* path, char (&out)[kPathSize]) override
    {
        if (!shortForm) return false;
        std::strcpy(out, "C:\\WINDOWS\\VELMOR~1.SCR");
        return std::strlen(path) > 0;
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

    std::vector<int> Written() const
    {
        std::vector<int> ids;
        for (const auto& w : writes) ids.push_back(w.first);
        return ids;
    }
};

TEST(Installation, FreshInstallWritesEverythingAndMakesTheSaverActive)
{
    RecordingPlatform p;
    EXPECT_EQ(RunInstallation(p), 0);
    EXPECT_EQ(p.boxes, (std::vector<Box>{kQuestion, kInstalled}));
    const std::vector<std::pair<int, std::string>> writes = {{kCarriedLibrary, "C:\\WINDOWS\\picdll.dll"},
                                                             {kCarriedWinHelp, "C:\\WINDOWS\\velmora.hlp"},
                                                             {kCarriedHtmlHelp, "C:\\WINDOWS\\velmora.chm"},
                                                             {kCarriedSaver, kSaver}};
    EXPECT_EQ(p.writes, writes);
    EXPECT_EQ(p.named, std::vector<std::string>{"C:\\WINDOWS\\VELMOR~1.SCR"});
    EXPECT_EQ(p.activations, 1);
}

TEST(Installation, AnyAnswerButOkToTheQuestionEndsWithOneAndTouchesNothing)
{
    for (int answer : {kAnswerCancel, 0, kAnswerYes}) {
        RecordingPlatform p;
        p.answers = {answer};
        EXPECT_EQ(RunInstallation(p), 1) << answer;
        EXPECT_EQ(p.boxes, std::vector<Box>{kQuestion});
        EXPECT_TRUE(p.writes.empty());
        EXPECT_TRUE(p.named.empty());
    }
}

TEST(Installation, ANewerLibraryOfTheSameMachineStays)
{
    RecordingPlatform p;
    p.library = {true, "3, 2, 0, 0", kAmd64};
    EXPECT_EQ(RunInstallation(p), 0);
    EXPECT_EQ(p.Written(), (std::vector<int>{kCarriedWinHelp, kCarriedHtmlHelp, kCarriedSaver}));
}

TEST(Installation, AnInstalledSaverIsReplacedOnlyAfterYes)
{
    for (int answer : {kAnswerNo, kAnswerCancel, kAnswerYes}) {
        RecordingPlatform p;
        p.library = {true, "3.1.3", kAmd64};
        p.present = {kSaver};
        p.answers = {kAnswerOk, answer};
        const bool yes = answer == kAnswerYes;
        EXPECT_EQ(RunInstallation(p), 0);
        EXPECT_EQ(p.boxes, (std::vector<Box>{kQuestion, kOverwrite, yes ? kInstalled : kAborted})) << answer;
        std::vector<int> written = {kCarriedWinHelp, kCarriedHtmlHelp};
        if (yes) written.push_back(kCarriedSaver);
        EXPECT_EQ(p.Written(), written);
        EXPECT_EQ(p.named.size(), yes ? 1u : 0u);
        EXPECT_EQ(p.activations, yes ? 1 : 0);
    }
}

TEST(Installation, AFailedWriteIsReportedAndEndsTheInstallation)
{
    const std::vector<int> order = {kCarriedLibrary, kCarriedWinHelp, kCarriedHtmlHelp, kCarriedSaver};
    for (std::size_t failing = 0; failing < order.size(); ++failing) {
        RecordingPlatform p;
        p.failingWrites = {order[failing]};
        EXPECT_EQ(RunInstallation(p), 1) << order[failing];
        EXPECT_EQ(p.boxes, (std::vector<Box>{kQuestion, kWriteFailed}));
        EXPECT_EQ(p.Written(), std::vector<int>(order.begin(), order.begin() + long(failing) + 1));
        EXPECT_TRUE(p.named.empty());
        EXPECT_EQ(p.activations, 0);
    }
}

TEST(Installation, AWindowsDirectoryThatCannotBeHadOrIsTooLongIsAWriteErrorBeforeAnyWrite)
{
    RecordingPlatform unknown;
    unknown.folderKnown = false;
    RecordingPlatform tooLong;
    tooLong.folder = std::string(248, 'x');
    for (RecordingPlatform* p : {&unknown, &tooLong}) {
        EXPECT_EQ(RunInstallation(*p), 1);
        EXPECT_EQ(p->boxes, (std::vector<Box>{kQuestion, kWriteFailed}));
        EXPECT_TRUE(p->writes.empty());
    }
}

TEST(Installation, WithoutAShortFormTheLongPathNamesTheSaver)
{
    RecordingPlatform p;
    p.shortForm = false;
    EXPECT_EQ(RunInstallation(p), 0);
    EXPECT_EQ(p.named, std::vector<std::string>{kSaver});
}

TEST(Installation, ASaverThatCannotBeMadeActiveIsReportedWithOne)
{
    RecordingPlatform unnamed;
    unnamed.nameAccepted = false;
    RecordingPlatform inactive;
    inactive.activationAccepted = false;
    for (RecordingPlatform* p : {&unnamed, &inactive}) {
        EXPECT_EQ(RunInstallation(*p), 1);
        EXPECT_EQ(p->boxes, (std::vector<Box>{kQuestion, kNotActive}));
        EXPECT_EQ(p->Written().size(), 4u);
    }
    EXPECT_EQ(unnamed.activations, 0);  // another saver is not switched on in its place
}

}  // namespace
