#include "config/dialog_rules.h"

#include <cstdio>
#include <iterator>

#include "resources/resource_ids.h"

namespace {

constexpr int32_t kDelayStep = 1000;
constexpr int kEffectNumberChars = 3;

int32_t Held(int64_t value, int32_t low, int32_t high)
{
    return value < low ? low : value > high ? high : int32_t(value);
}

int32_t Step(Arrow arrow)
{
    return arrow == Arrow::Up ? 1 : arrow == Arrow::Down ? -1 : 0;
}

const CheckBoxRule g_checkBoxes[] = {
    {IDC_ENLARGE, &Settings::enlarge, AfterCheck::Nothing},
    {IDC_REDUCE, &Settings::reduce, AfterCheck::Nothing},
    {IDC_CLEAR_SCREEN, &Settings::clearscreen, AfterCheck::Nothing},
    {IDC_RECURSIVE, &Settings::recurse, AfterCheck::Rescan},
    {IDC_BMP, &Settings::bmp, AfterCheck::KindAndRescan},
    {IDC_JPG, &Settings::jpg, AfterCheck::KindAndRescan},
    {IDC_MIN_SIZE, &Settings::minsize, AfterCheck::SizeFieldsAndRescan},
    {IDC_RANDOM, &Settings::random, AfterCheck::Nothing},
    {IDC_EVERY_MONITOR, &Settings::monitors, AfterCheck::Nothing},
};

}  // namespace

int32_t StepDelay(int32_t speed, Arrow arrow)
{
    return Held(int64_t(speed) + Step(arrow) * kDelayStep, kShortestDelay, kLongestDelay);
}

int32_t StepEffectNumber(int32_t number, Arrow arrow)
{
    return Held(int64_t(number) + Step(arrow), 1, kEffectSwitches);
}

int32_t EffectNumberFromText(const char* text)
{
    return Held(LeadingDecimal(text, kEffectNumberChars), 1, kEffectSwitches);
}

int FlippedCheck(int state) { return state == kUnticked ? kTicked : kUnticked; }

CheckBoxTable CheckBoxRules() { return {g_checkBoxes, int(std::size(g_checkBoxes))}; }

const CheckBoxRule* FindCheckBox(int id)
{
    for (const CheckBoxRule& rule : g_checkBoxes)
        if (rule.id == id) return &rule;
    return nullptr;
}

int32_t Settings::*KindToAccept(int32_t Settings::*changed, const Settings& settings)
{
    int32_t Settings::*other = changed == &Settings::jpg ? &Settings::bmp : &Settings::jpg;
    // "Accepted" as the scan reads the fields, so a box never claims a kind the scan skips.
    if (SettingOn(&Settings::jpg, settings) || SettingOn(&Settings::bmp, settings)) return nullptr;
    return other;
}

void FormatEffectsLine(char* text, size_t size, int32_t enabled)
{
    std::snprintf(text, size, "%d of %d effects enabled", int(enabled), kEffectSwitches);
}

void FormatEnabledCount(char* text, size_t size, int32_t enabled)
{
    std::snprintf(text, size, "%d of %d", int(enabled), kEffectSwitches);
}
