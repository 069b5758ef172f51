// What every effect shares: the effect in use, how it is chosen, and the greeting's day.
// The drawing area and the stop flag are the whole show's (base/show_state.h).
#pragma once
#include <cstdint>

#include "base/show_state.h"

// The effect number in use; the effects dialog sets it directly.
extern int32_t CurrentEffect;
// 1: ChooseEffectNumber keeps CurrentEffect instead of drawing at random.
extern int32_t ForcedEffect;
// Set on 29 June: the greeting follows every transition.
extern int32_t BirthdayFlag;

constexpr int32_t kInitialEffect = 15;

// The effect for the next transition or clearing, left in CurrentEffect: the forced one,
// 0 when no effect is enabled, else an enabled one drawn at random.
int32_t ChooseEffectNumber();

// True on 29 June (tm_mon 5, tm_mday 29).
bool IsBirthday(int monthIndex, int dayOfMonth);
