// libFuzzer target: any text as the settings file, through the loading and saving rules.
// Whatever the file holds, the effect count matches the switches, the effect list holds
// exactly the enabled effects in order, the dialog's delay is in range, the folder stays
// inside its buffer, and what is saved reads back as saved.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/settings.h"
#include "tests/fuzz/ini_section.h"

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

void CheckEffects()
{
    int32_t enabled = 0;
    for (int n = 1; n <= kEffectSwitches; ++n) enabled += EffectEnabled(n) ? 1 : 0;
    Check(ShowSettings.effects == enabled);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first lines are the dialog's four edit fields; the rest is the file.
    std::string input(reinterpret_cast<const char*>(data), size);
    std::string fields[4];
    size_t at = 0;
    for (std::string& field : fields) {
        size_t end = input.find('\n', at);
        if (end == std::string::npos) end = input.size();
        field = input.substr(at, end - at);
        at = end < input.size() ? end + 1 : end;
    }
    FakeProfile file = IniSection(input.substr(at), "velmora");

    ShowSettings = Settings();
    LoadSettings(file, LoadManner::Saver);
    CheckEffects();
    Check(std::memchr(ShowSettings.dir, 0, kPathSize) != nullptr);
    for (int i = 0; i < ShowSettings.effects; ++i) {
        Check(EffectEnabled(EffectList[i]));
        Check(i == 0 || EffectList[i] > EffectList[i - 1]);
    }

    LoadSettings(file, LoadManner::Dialog);
    CheckEffects();
    Check(ShowSettings.speed >= 1000 && ShowSettings.speed <= 300000);

    FakeProfile saved;
    Check(SaveSettings(saved, fields[0].c_str(), fields[1].c_str(), fields[2].c_str(), fields[3].c_str()));
    Settings written = ShowSettings;
    Check(std::strlen(written.dir) < kPathSize);
    ShowSettings = Settings();
    LoadSettings(saved, LoadManner::Saver);
    const SettingKey* keys = SettingKeys();
    for (int k = 0; k < kSettingKeyCount; ++k) {
        const SettingKey& key = keys[k];
        // The two size fields are written as typed; every other number as it stood.
        if (key.kind == KeyKind::Text || key.member == &Settings::minsizex ||
            key.member == &Settings::minsizey)
            continue;
        Check(KeyField(ShowSettings, key) == KeyField(written, key));
    }
    return 0;
}
