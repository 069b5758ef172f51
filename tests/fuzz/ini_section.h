// One section of INI text read the way the platform's private-profile functions read a
// file: lines trimmed, only the first section and key of a name count (letter case
// ignored), surrounding quotes dropped, a key with nothing after its '=' read as missing.
#pragma once
#include <algorithm>
#include <iterator>
#include <string>

#include "tests/unit/fake_profile.h"

inline FakeProfile IniSection(const std::string& text, const std::string& section)
{
    auto trim = [](const std::string& s) {
        const size_t b = s.find_first_not_of(" \t\r\n\v\f"), e = s.find_last_not_of(" \t\r\n\v\f");
        return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
    };
    auto lower = [](std::string s) {
        for (char& c : s) c = c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
        return s;
    };
    FakeProfile profile;
    bool inSection = false, sectionSeen = false;
    for (size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        const std::string line = trim(text.substr(start, end - start));
        const size_t close = line.rfind(']'), equals = line.find('=');
        if (!line.empty() && line[0] == '[' && close != std::string::npos) {
            inSection = !sectionSeen && lower(trim(line.substr(1, close - 1))) == section;
            sectionSeen |= inSection;
        } else if (inSection && equals != std::string::npos) {
            std::string value = trim(line.substr(equals + 1));
            if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
                value = value.substr(1, value.size() - 2);
            profile.values.emplace(lower(trim(line.substr(0, equals))), value);
        }
    }
    for (auto it = profile.values.begin(); it != profile.values.end();)
        it = it->second.empty() ? profile.values.erase(it) : std::next(it);
    return profile;
}
