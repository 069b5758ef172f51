// A settings section read from INI text the way the platform's private-profile functions
// read a file: lines trimmed, the first section and key of a name (letter case ignored),
// surrounding quotes dropped, numbers read as decimal with a sign.
#pragma once
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/settings.h"

class PrivateProfile : public ProfileFile {
public:
    PrivateProfile(const std::string& text, const std::string& section)
    {
        bool inSection = false, sectionSeen = false;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = Trim(text.substr(start, end - start));
            start = end + 1;
            if (line.empty()) continue;
            size_t close = line.rfind(']');
            if (line[0] == '[' && close != std::string::npos) {
                // Only the first section of the name counts.
                inSection = !sectionSeen && Same(line.substr(1, close - 1), section);
                sectionSeen |= inSection;
                continue;
            }
            if (!inSection) continue;
            size_t equals = line.find('=');
            if (equals == std::string::npos) continue;  // a key without a value reads as missing
            std::string key = Lower(Trim(line.substr(0, equals)));
            if (!keys_.count(key)) keys_[key] = Trim(line.substr(equals + 1));
        }
    }

    int32_t ReadInt(const char* key, int32_t fallback) override
    {
        char text[30];
        ReadString(key, "", text, sizeof text);
        if (!text[0]) return fallback;
        return int32_t(ParseInteger(text));
    }

    void ReadString(const char* key, const char* fallback, char* buffer, int size) override
    {
        auto found = keys_.find(Lower(key));
        std::string value = found == keys_.end() ? fallback : found->second;
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        value = value.substr(0, size_t(size - 1));
        std::memcpy(buffer, value.c_str(), value.size() + 1);
    }

    bool WriteString(const char* key, const char* value) override
    {
        // Writing drops leading blanks, as the platform does.
        while (*value == ' ' || *value == '\t') ++value;
        keys_[Lower(key)] = value;
        return true;
    }

private:
    static bool Space(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }
    static std::string Trim(const std::string& s)
    {
        size_t b = 0, e = s.size();
        while (b < e && Space(s[b])) ++b;
        while (e > b && Space(s[e - 1])) --e;
        return s.substr(b, e - b);
    }
    static std::string Lower(std::string s)
    {
        for (char& c : s)
            if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        return s;
    }
    static bool Same(const std::string& a, const std::string& b) { return Lower(Trim(a)) == Lower(b); }

    // Leading blanks, a sign, decimal digits; wraps on overflow.
    static uint32_t ParseInteger(const char* p)
    {
        while (*p && static_cast<unsigned char>(*p) <= ' ') ++p;
        bool negative = false;
        if (*p == '+' || *p == '-') negative = *p++ == '-';
        uint32_t value = 0;
        for (; *p >= '0' && *p <= '9'; ++p) value = value * 10 + uint32_t(*p - '0');
        return negative ? 0u - value : value;
    }

    std::map<std::string, std::string> keys_;
};
