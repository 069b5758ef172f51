#include "saver/mode_switch.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanks(const char* p)
{
    while (IsBlank(*p)) ++p;
    return p;
}

uintptr_t ReadDecimal(const char* p)
{
    uintptr_t value = 0;
    for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + uintptr_t(*p - '0');
    return value;
}

}  // namespace

const char* SkipProgramName(const char* commandLine)
{
    const char* p = commandLine ? commandLine : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p == '"') ++p;
    } else {
        while (*p && !IsBlank(*p)) ++p;
    }
    return SkipBlanks(p);
}

ModeSwitch ParseModeSwitch(const char* arguments)
{
    const char* p = arguments ? arguments : "";
    while (IsBlank(*p) || *p == '-' || *p == '/') ++p;

    ModeSwitch result;
    switch (*p) {
    case '\0': result.mode = SaverMode::SettingsWithoutOwner; break;
    case 'c': case 'C': result.mode = SaverMode::SettingsOwnedByForeground; break;
    case 's': case 'S': result.mode = SaverMode::FullScreen; break;
    case 'p': case 'P': case 'l': case 'L':
        result.mode = SaverMode::Preview;
        result.window = ReadDecimal(SkipBlanks(p + 1));
        break;
    case 'a': case 'A':
        result.mode = SaverMode::ChangePassword;
        result.window = ReadDecimal(SkipBlanks(p + 1));
        break;
    default: result.mode = SaverMode::Unrecognised; break;
    }
    return result;
}
