#include "base/settings.h"

#include <array>
#include <cstdio>
#include <cstring>

Settings ShowSettings;
int32_t EffectList[kEffectSwitches];

namespace {

constexpr int32_t kSlowestSpeed = 300000;
constexpr int32_t kFastestSpeed = 1000;

constexpr int kSizeTextChars = 5;
constexpr int kDelayTextChars = 3;

std::array<SettingKey, kSettingKeyCount> MakeKeyTable()
{
    std::array<SettingKey, kSettingKeyCount> keys = {};
    int next = 0;
    for (const SettingKey& key : kKeysBeforeEffects) keys[next++] = key;
    for (int n = 1; n <= kEffectSwitches; ++n) {
        SettingKey& key = keys[next++];
        std::snprintf(key.name, sizeof key.name, "enable%d", n);
        key.kind = KeyKind::Number;
        key.member = nullptr;
        key.effect = n;
        key.defaultValue = 1;
        key.on = OnRule::ExactlyOne;
    }
    for (const SettingKey& key : kKeysAfterEffects) keys[next++] = key;
    return keys;
}

const std::array<SettingKey, kSettingKeyCount> g_keys = MakeKeyTable();

const SettingKey* FindKey(int32_t Settings::*member)
{
    for (const SettingKey& key : g_keys)
        if (key.member == member) return &key;
    return nullptr;
}

bool IsOn(OnRule rule, int32_t value)
{
    switch (rule) {
    case OnRule::NotZero: return value != 0;
    case OnRule::ExactlyOne: return value == 1;
    case OnRule::NotAFlag: break;
    }
    return false;
}

// Copies at most maxChars characters of text, as a dialog's text read into a buffer of
// maxChars + 1 characters would.
void CopyTruncated(char* out, const char* text, int maxChars)
{
    int n = 0;
    if (text)
        for (; n < maxChars && text[n]; ++n) out[n] = text[n];
    out[n] = '\0';
}

bool WriteNumber(ProfileFile& file, const char* key, int32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%ld", static_cast<long>(value));
    return file.WriteString(key, text);
}

}  // namespace

const SettingKey* SettingKeys() { return g_keys.data(); }

int32_t& KeyField(Settings& settings, const SettingKey& key)
{
    return key.effect ? settings.enable[key.effect] : settings.*key.member;
}

bool SettingOn(int32_t Settings::*member, const Settings& settings)
{
    const SettingKey* key = FindKey(member);
    return key && IsOn(key->on, settings.*member);
}

bool EffectEnabled(int effect, const Settings& settings)
{
    if (effect < 1 || effect > kEffectSwitches) return false;
    return IsOn(g_keys[kFirstEffectKey + effect - 1].on, settings.enable[effect]);
}

int32_t LeadingDecimal(const char* text, int maxChars)
{
    uint32_t value = 0;
    for (int i = 0; text && i < maxChars && text[i] >= '0' && text[i] <= '9'; ++i)
        value = value * 10u + uint32_t(text[i] - '0');
    return static_cast<int32_t>(value);
}

int32_t DelayTextToSpeed(const char* delayText)
{
    // Three digits at most, so the product cannot overflow.
    int32_t speed = LeadingDecimal(delayText, kDelayTextChars) * 1000;
    if (speed < kFastestSpeed) speed = kFastestSpeed;
    if (speed > kSlowestSpeed) speed = kSlowestSpeed;
    return speed;
}

namespace {

// The platform gives the default for a key with an empty value, which is text without
// digits like any other and so reads as 0 (an emptied size field).
int32_t ReadNumber(ProfileFile& file, const char* key, int32_t fallback)
{
    const int32_t value = file.ReadInt(key, fallback);
    if (value != fallback) return value;
    char text[2];
    file.ReadString(key, "-", text, sizeof text);
    return text[0] == '\0' ? 0 : value;
}

}  // namespace

void LoadSettings(ProfileFile& file, LoadManner manner)
{
    for (const SettingKey& key : g_keys) {
        if (key.kind == KeyKind::Text)
            file.ReadString(key.name, "", ShowSettings.dir, kPathSize);
        else
            KeyField(ShowSettings, key) = ReadNumber(file, key.name, key.defaultValue);
    }
    CountEnabledEffects();
    if (manner == LoadManner::Saver) {
        BuildEffectList();
    } else if (ShowSettings.speed > kSlowestSpeed || ShowSettings.speed < kFastestSpeed) {
        ShowSettings.speed = kDefaultSpeed;
    }
}

void CountEnabledEffects()
{
    int32_t count = 0;
    for (int n = 1; n <= kEffectSwitches; ++n)
        if (EffectEnabled(n)) ++count;
    ShowSettings.effects = count;
}

void BuildEffectList()
{
    if (ShowSettings.effects == 0) return;
    int length = 0;
    for (int n = 1; n <= kEffectSwitches; ++n)
        if (EffectEnabled(n)) EffectList[length++] = n;
}

bool SaveSettings(ProfileFile& file, const char* xText, const char* yText,
                  const char* delayText, const char* dirText)
{
    char text[kPathSize];
    bool written = true;
    for (const SettingKey& key : g_keys) {
        if (key.member == &Settings::minsizex || key.member == &Settings::minsizey) {
            // The edit text as typed, so an empty field stays empty in the file.
            CopyTruncated(text, key.member == &Settings::minsizex ? xText : yText,
                          kSizeTextChars);
            written &= file.WriteString(key.name, text);
        } else if (key.member == &Settings::speed) {
            ShowSettings.speed = DelayTextToSpeed(delayText);
            written &= WriteNumber(file, key.name, ShowSettings.speed);
        } else if (key.kind == KeyKind::Text) {
            CopyTruncated(ShowSettings.dir, dirText, kPathSize - 1);
            written &= file.WriteString(key.name, ShowSettings.dir);
        } else {
            written &= WriteNumber(file, key.name, KeyField(ShowSettings, key));
        }
    }
    return written;
}
