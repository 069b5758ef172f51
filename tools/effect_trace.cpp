// effect-trace: prints what an effect draws, one operation a line, exactly as the effect's
// own frames go (no finishing stroke).
//
//   effect-trace --mode transition|clear --effect N --size WxH [--seed S] [--stop-after K]
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/random.h"
#include "effects/effects.h"
#include "effects/trace_canvas.h"

namespace {

const char kUsage[] =
    "usage: effect-trace --mode transition|clear --effect N --size WxH [--seed S] [--stop-after K]\n";

// Far beyond any screen, and small enough that no effect's bounds (W + 40 and the like)
// can overflow.
constexpr long kMaxSide = 1000000;

class PrintingCanvas final : public TraceCanvas {
public:
    using TraceCanvas::TraceCanvas;

private:
    void Record(const TraceOp& op) override
    {
        std::fputs(FormatTraceOp(op).c_str(), stdout);
        std::fputc('\n', stdout);
    }
};

struct Options {
    EffectMode mode = EffectMode::Transition;
    int effect = 0;
    int width = 0, height = 0;
    uint32_t seed = 1;
    int stopAfter = 0;
};

// The whole of `text` as a decimal integer within [low, high].
bool ParseInteger(const char* text, long long low, long long high, long long& value)
{
    if (*text == '\0' || std::strchr(" \t\n+", *text)) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text, &end, 10);
    return errno == 0 && *end == '\0' && value >= low && value <= high;
}

bool ParseSize(const char* text, int& width, int& height)
{
    const char* x = std::strchr(text, 'x');
    if (!x) return false;
    char wText[32];
    const size_t wLength = static_cast<size_t>(x - text);
    if (wLength >= sizeof wText) return false;
    std::memcpy(wText, text, wLength);
    wText[wLength] = '\0';
    long long w, h;
    if (!ParseInteger(wText, 0, kMaxSide, w) || !ParseInteger(x + 1, 0, kMaxSide, h)) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

bool ParseArguments(int argc, char** argv, Options& options)
{
    bool haveMode = false, haveEffect = false, haveSize = false;
    for (int i = 1; i < argc; i += 2) {
        const char* name = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[i + 1];
        long long number;
        if (std::strcmp(name, "--mode") == 0) {
            if (std::strcmp(value, "transition") == 0)
                options.mode = EffectMode::Transition;
            else if (std::strcmp(value, "clear") == 0)
                options.mode = EffectMode::Clear;
            else
                return false;
            haveMode = true;
        } else if (std::strcmp(name, "--effect") == 0) {
            if (!ParseInteger(value, INT32_MIN, INT32_MAX, number)) return false;
            options.effect = static_cast<int>(number);
            haveEffect = true;
        } else if (std::strcmp(name, "--size") == 0) {
            if (!ParseSize(value, options.width, options.height)) return false;
            haveSize = true;
        } else if (std::strcmp(name, "--seed") == 0) {
            if (!ParseInteger(value, 0, UINT32_MAX, number)) return false;
            options.seed = static_cast<uint32_t>(number);
        } else if (std::strcmp(name, "--stop-after") == 0) {
            if (!ParseInteger(value, 1, INT32_MAX, number)) return false;
            options.stopAfter = static_cast<int>(number);
        } else {
            return false;
        }
    }
    return haveMode && haveEffect && haveSize;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    SeedRandom(options.seed);
    PrintingCanvas canvas(options.stopAfter);
    RunEffect(options.effect, options.mode, options.width, options.height, canvas);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
