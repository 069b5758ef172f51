// effect-trace end to end: the built binary, its output and its argument checks.
#include <gtest/gtest.h>

#ifdef VELMORA_EFFECT_TRACE
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

const std::string kTool = VELMORA_EFFECT_TRACE;

struct Result {
    int exitCode;
    std::string out;
};

// `streams` is a shell redirection choosing what is captured.
Result RunTool(const std::string& arguments, const std::string& streams = "2>/dev/null")
{
    FILE* pipe = popen(("'" + kTool + "' " + arguments + " " + streams).c_str(), "r");
    if (!pipe) return {-1, ""};
    std::string out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    const int status = pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

class EffectTraceTool : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(kTool)) << kTool << " is not built";
    }
};

TEST_F(EffectTraceTool, PrintsOneOperationALine)
{
    const std::pair<const char*, const char*> cases[] = {
        {"--mode transition --effect 1 --size 20x10",
         "copy 0 0 10 10\npump\npause 1\ncopy 10 0 10 10\npump\npause 1\ncopy 20 0 10 10\npump\npause 1\n"},
        {"--size 20x10 --effect 0 --mode clear", "black 0 0 20 10\n"},
        // A move onto its own place prints as a copy.
        {"--mode transition --effect 37 --size 80x60 --stop-after 2",
         "move 0 10 0 0 40 20\npump\npause 1\ncopy 0 0 40 30\npump\n"
         "move 40 30 40 40 40 20\npump\nmove 40 0 60 0 20 30\npump\nmove 20 30 0 30 20 30\npump\n"},
        {"--mode clear --effect 37 --size 80x60 --stop-after 1",
         "black 0 0 40 20\npump\nblack 40 40 40 20\npump\nblack 60 0 20 30\npump\nblack 0 30 20 30\npump\n"},
        // The second pump answers stop; effect 9 follows a stop with the whole area.
        {"--mode clear --effect 3 --size 30x20 --stop-after 2",
         "black 0 0 30 10\npump\npause 1\nblack 0 10 30 10\npump\n"},
        {"--mode transition --effect 9 --size 640x480 --stop-after 1",
         "copy 328 360 8 8\npump\ncopy 0 0 640 480\n"},
        {"--mode clear --effect 9 --size 480x360 --seed 1 --stop-after 1",
         "black 328 168 8 8\npump\nblack 0 0 480 360\n"},
        {"--mode clear --effect 9 --size 480x360 --seed 7 --stop-after 1",
         "black 0 272 8 8\npump\nblack 0 0 480 360\n"},
        {"--mode transition --effect 41 --size 640x480", ""},
        {"--mode transition --effect -1 --size 640x480", ""},
    };
    for (const auto& [arguments, expected] : cases) {
        const Result r = RunTool(arguments);
        EXPECT_EQ(r.exitCode, 0) << arguments;
        EXPECT_EQ(r.out, expected) << arguments;
    }
}

TEST_F(EffectTraceTool, BadArgumentsPrintUsageAndExitWith2)
{
    const char* bad[] = {
        "",
        "--mode transition --effect 1",                           // no size
        "--mode fade --effect 1 --size 640x480",
        "--mode clear --effect one --size 640x480",
        "--mode clear --effect 1 --size -640x480",
        "--mode clear --effect 1 --size 640x480 --stop-after 0",
        "--mode clear --effect 1 --size 640x480 --seed",          // no value
        "--mode clear --effect 1 --size 640x480 --speed 3",
    };
    for (const char* arguments : bad) {
        const Result r = RunTool(arguments);
        EXPECT_EQ(r.exitCode, 2) << arguments;
        EXPECT_EQ(r.out, "") << arguments;
        EXPECT_EQ(RunTool(arguments, "2>&1 >/dev/null").out.rfind("usage: effect-trace", 0), 0u) << arguments;
    }
}

}  // namespace
#endif
