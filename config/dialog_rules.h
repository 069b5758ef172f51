// The decisions of the settings and effects dialogs, apart from the controls that show
// them: arrow steps and their limits, the effect number typed, the check boxes and what
// each one sets off, and the texts of the effect counts.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/settings.h"

enum class Arrow { Up, Down, Other };

// The delay the dialog keeps, in milliseconds.
constexpr int32_t kShortestDelay = 1000;
constexpr int32_t kLongestDelay = 300000;

// The delay in milliseconds after one arrow press: a second more or less, held within
// 1..300 seconds.
int32_t StepDelay(int32_t speed, Arrow arrow);
// The effect number after one arrow press, held within 1..40.
int32_t StepEffectNumber(int32_t number, Arrow arrow);
// The effect number field as "Show effect" reads it: its first three characters as
// decimal digits (none give 0), held within 1..40.
int32_t EffectNumberFromText(const char* text);

// Button states as the platform numbers them.
constexpr int kUnticked = 0;
constexpr int kTicked = 1;
constexpr int kGrey = 2;
// A plain check box's state after a click: an unticked box becomes ticked, a ticked or
// grey one unticked.
int FlippedCheck(int state);

// What a settings check box sets off once its field holds the new state.
enum class AfterCheck {
    Nothing,
    Rescan,
    SizeFieldsAndRescan,  // the X and Y fields follow the box, then a rescan
    KindAndRescan,        // at least one picture kind stays accepted, then a rescan
};

struct CheckBoxRule {
    int id;
    int32_t Settings::*member;
    AfterCheck after;
};

struct CheckBoxTable {
    const CheckBoxRule* first;
    int count;
    const CheckBoxRule* begin() const { return first; }
    const CheckBoxRule* end() const { return first + count; }
};
// The settings dialog's check boxes, in the order they are ticked when it opens.
CheckBoxTable CheckBoxRules();
const CheckBoxRule* FindCheckBox(int id);

// After a click on the JPG or BMP box: the other kind's field when neither kind is
// accepted any longer (it is then to be set to 1 and its box ticked), else nullptr.
int32_t Settings::*KindToAccept(int32_t Settings::*changed, const Settings& settings);

// "%d of %d effects enabled" (settings dialog) and "%d of %d" (effects dialog).
void FormatEffectsLine(char* text, size_t size, int32_t enabled);
void FormatEnabledCount(char* text, size_t size, int32_t enabled);
