// The settings record, the table of its keys, and the rules for loading, counting and saving
// them.
// The file itself is reached through ProfileFile, so the rules run anywhere.
#pragma once
#include <cstdint>
#include <iterator>

constexpr int kEffectSwitches = 40;  // effects 1..40 can be switched on and off
constexpr int kPathSize = 260;       // every path buffer, terminator included
constexpr int32_t kDefaultSpeed = 5000;

struct Settings {
    int32_t speed;
    int32_t reduce;
    int32_t enlarge;
    int32_t clearscreen;
    int32_t effects;  // always the number of `enable` entries equal to 1
    int32_t random;
    int32_t recurse;
    int32_t bmp;
    int32_t jpg;
    int32_t minsize;
    int32_t minsizex;
    int32_t minsizey;
    char dir[kPathSize];
    int32_t enable[kEffectSwitches + 1];  // indexed by effect number; entry 0 unused
    int32_t monitors;  // 1: every monitor shows pictures; otherwise the others stay black
};

// The process's settings. Flags keep the value read, so an odd value is written back as is.
extern Settings ShowSettings;
// The enabled effect numbers in ascending order; ShowSettings.effects of them are valid.
extern int32_t EffectList[kEffectSwitches];

// What counts as "on" for a key.
enum class OnRule {
    NotZero,     // any value other than 0
    ExactlyOne,  // only 1
    NotAFlag,    // numbers and text
};

enum class KeyKind { Number, Text };

// One key of the settings file. Effect switches have `effect` 1..40 and no member.
struct SettingKey {
    char name[12];
    KeyKind kind;
    int32_t Settings::*member;
    int effect;
    int32_t defaultValue;
    OnRule on;
};

// The file's keys, in the order they are written: these, then the effect switches
// enable1..enable40, then the keys added since (an older file without them reads their
// defaults). A new key is one line here and its field.
inline constexpr SettingKey kKeysBeforeEffects[] = {
    {"minsizex", KeyKind::Number, &Settings::minsizex, 0, 100, OnRule::NotAFlag},
    {"minsizey", KeyKind::Number, &Settings::minsizey, 0, 100, OnRule::NotAFlag},
    {"minsize", KeyKind::Number, &Settings::minsize, 0, 0, OnRule::ExactlyOne},
    {"bmp", KeyKind::Number, &Settings::bmp, 0, 1, OnRule::ExactlyOne},
    {"jpg", KeyKind::Number, &Settings::jpg, 0, 1, OnRule::ExactlyOne},
    {"recurse", KeyKind::Number, &Settings::recurse, 0, 1, OnRule::ExactlyOne},
    {"speed", KeyKind::Number, &Settings::speed, 0, kDefaultSpeed, OnRule::NotAFlag},
    {"reduce", KeyKind::Number, &Settings::reduce, 0, 1, OnRule::NotZero},
    {"random", KeyKind::Number, &Settings::random, 0, 1, OnRule::NotZero},
    {"enlarge", KeyKind::Number, &Settings::enlarge, 0, 1, OnRule::NotZero},
    {"clearscreen", KeyKind::Number, &Settings::clearscreen, 0, 0, OnRule::ExactlyOne},
    {"effects", KeyKind::Number, &Settings::effects, 0, 1, OnRule::NotAFlag},
    {"dir", KeyKind::Text, nullptr, 0, 0, OnRule::NotAFlag},
};
inline constexpr SettingKey kKeysAfterEffects[] = {
    {"monitors", KeyKind::Number, &Settings::monitors, 0, 0, OnRule::ExactlyOne},
};
// The switch of effect N is key kFirstEffectKey + N - 1.
constexpr int kFirstEffectKey = int(std::size(kKeysBeforeEffects));
constexpr int kSettingKeyCount = kFirstEffectKey + kEffectSwitches + int(std::size(kKeysAfterEffects));
// Every key, in the order they are written.
const SettingKey* SettingKeys();

// The numeric field a key stands for (not for the text key).
int32_t& KeyField(Settings& settings, const SettingKey& key);

// Whether a field (or effect switch) is on under its key's rule.
bool SettingOn(int32_t Settings::*member, const Settings& settings = ShowSettings);
bool EffectEnabled(int effect, const Settings& settings = ShowSettings);

// The settings file, seen as one section of keys.
class ProfileFile {
public:
    virtual ~ProfileFile() = default;
    // Decimal, as GetPrivateProfileIntA reads it: `fallback` when the key is missing or its
    // value is empty.
    virtual int32_t ReadInt(const char* key, int32_t fallback) = 0;
    // At most size - 1 characters, always terminated; `fallback` when missing.
    virtual void ReadString(const char* key, const char* fallback, char* buffer, int size) = 0;
    // False when the value could not be written.
    virtual bool WriteString(const char* key, const char* value) = 0;
};

enum class LoadManner {
    Saver,   // values as read, then EffectList is built
    Dialog,  // a delay outside 1..300 seconds becomes 5 seconds; no EffectList
};

void LoadSettings(ProfileFile& file, LoadManner manner);
void CountEnabledEffects();
void BuildEffectList();

// Writes every key. The four texts are the dialog's X, Y, delay and folder edit fields.
// False when any write failed (the other keys are still written).
bool SaveSettings(ProfileFile& file, const char* xText, const char* yText,
                  const char* delayText, const char* dirText);

// Delay text (first 3 characters, decimal digits) to milliseconds in 1000..300000.
int32_t DelayTextToSpeed(const char* delayText);
// Consecutive decimal digits at the start of text; none give 0. Wraps rather than overflows.
int32_t LeadingDecimal(const char* text, int maxChars);
