// An in-memory settings section that reads numbers as GetPrivateProfileIntA does, the
// default for an empty value included.
#pragma once
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/settings.h"

class FakeProfile : public ProfileFile {
public:
    std::map<std::string, std::string> values;
    std::vector<std::string> writeOrder;

    int32_t ReadInt(const char* key, int32_t fallback) override
    {
        auto it = values.find(key);
        if (it == values.end() || it->second.empty()) return fallback;
        return static_cast<int32_t>(std::strtol(it->second.c_str(), nullptr, 10));
    }

    void ReadString(const char* key, const char* fallback, char* buffer, int size) override
    {
        auto it = values.find(key);
        std::string text = it == values.end() ? fallback : it->second;
        text = text.substr(0, size_t(size - 1));
        std::memcpy(buffer, text.c_str(), text.size() + 1);
    }

    // Keys whose write fails, as on a read-only file.
    std::vector<std::string> failingKeys;

    bool WriteString(const char* key, const char* value) override
    {
        for (const std::string& failing : failingKeys)
            if (failing == key) return false;
        values[key] = value;
        writeOrder.push_back(key);
        return true;
    }
};
