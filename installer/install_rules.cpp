// The installer's decisions: which library stays, the paths it writes, the overwrite question.
#include "installer/install_rules.h"

#include <cstdio>
#include <vector>

#include "base/windows_path.h"

namespace {

bool IsSeparator(char c) { return c == '.' || c == ',' || c == ' '; }

bool IsDigits(std::string_view s)
{
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return !s.empty();
}

std::vector<std::string_view> Components(std::string_view version)
{
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at < version.size()) {
        while (at < version.size() && IsSeparator(version[at])) ++at;
        std::size_t end = at;
        while (end < version.size() && !IsSeparator(version[end])) ++end;
        if (end > at) parts.push_back(version.substr(at, end - at));
        at = end;
    }
    return parts;
}

// Decimal numbers of any length, without converting them.
int CompareNumbers(std::string_view a, std::string_view b)
{
    while (a.size() > 1 && a[0] == '0') a.remove_prefix(1);
    while (b.size() > 1 && b[0] == '0') b.remove_prefix(1);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

unsigned char Folded(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u;
}

int CompareTextIgnoringCase(std::string_view a, std::string_view b)
{
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (Folded(a[i]) != Folded(b[i])) return Folded(a[i]) < Folded(b[i]) ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace

int CompareProductVersions(std::string_view a, std::string_view b)
{
    const std::vector<std::string_view> left = Components(a), right = Components(b);
    for (std::string_view part : left)
        if (!IsDigits(part)) return CompareTextIgnoringCase(a, b);
    for (std::string_view part : right)
        if (!IsDigits(part)) return CompareTextIgnoringCase(a, b);
    for (std::size_t i = 0; i < left.size() || i < right.size(); ++i) {
        const int order = CompareNumbers(i < left.size() ? left[i] : "0", i < right.size() ? right[i] : "0");
        if (order != 0) return order;
    }
    return 0;
}

bool LibraryNeedsWriting(const InstalledLibrary& installed, uint16_t carriedMachine)
{
    if (!installed.versionFound) return true;
    if (installed.machine != carriedMachine) return true;
    return CompareProductVersions(installed.version, kCarriedLibraryVersion) < 0;
}

bool LibraryOfOtherMachine(const InstalledLibrary& installed, uint16_t carriedMachine)
{
    return installed.machine != 0 && installed.machine != carriedMachine;
}

uint16_t PeMachine(const unsigned char* data, std::size_t size)
{
    auto read32 = [data](std::size_t at) {
        return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 |
               uint32_t(data[at + 3]) << 24;
    };
    if (size < 0x40 || data[0] != 'M' || data[1] != 'Z') return 0;
    const uint32_t header = read32(0x3C);
    if (header > size || size - header < 6) return 0;
    if (read32(header) != 0x00004550) return 0;  // "PE\0\0"
    return uint16_t(data[header + 4] | data[header + 5] << 8);
}

bool BuildInstallPaths(const char* windowsFolder, InstallPaths& paths)
{
    return JoinFolderAndName(paths.library, kPathSize, windowsFolder, "picdll.dll") &&
           JoinFolderAndName(paths.winHelp, kPathSize, windowsFolder, "velmora.hlp") &&
           JoinFolderAndName(paths.htmlHelp, kPathSize, windowsFolder, "velmora.chm") &&
           JoinFolderAndName(paths.saver, kPathSize, windowsFolder, "Velmora.scr");
}

bool FormatOverwriteQuestion(char* out, std::size_t size, const char* path)
{
    if (size == 0) return false;
    const int length = std::snprintf(out, size, "File : \"%s\" already exists   \n\nOverwrite this file ?", path);
    if (length < 0 || std::size_t(length) >= size) {
        out[0] = '\0';
        return false;
    }
    return true;
}

std::string ProductVersionQuery(uint16_t language, uint16_t codePage)
{
    char query[64];
    std::snprintf(query, sizeof query, "\\StringFileInfo\\%04X%04X\\ProductVersion", unsigned(language),
                  unsigned(codePage));
    return query;
}

std::string FixedVersionText(uint32_t mostSignificant, uint32_t leastSignificant)
{
    char text[48];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", unsigned(mostSignificant >> 16), unsigned(mostSignificant & 0xFFFF),
                  unsigned(leastSignificant >> 16), unsigned(leastSignificant & 0xFFFF));
    return text;
}
