// The forty-one effect sequences (0..40), each usable as a transition or as a clearing effect.
#pragma once
#include "base/settings.h"
#include "effects/canvas.h"

enum class EffectMode { Transition, Clear };

// Every effect but the plain copy has its switch in the settings; the effect table below
// is checked against this number.
constexpr int kLastEffect = kEffectSwitches;

// Runs effect `number` on a width x height area through `canvas`. Returns true when the
// effect ran to its end, false when a pump answered "stop". A number outside 0..40 draws
// nothing and returns true.
bool RunEffect(int number, EffectMode mode, int width, int height, EffectCanvas& canvas);

// RunEffect, then, when effect 1..40 ran to its end, one more stroke over the whole area
// (a copy, or black). Several effects leave lines of the previous picture at common sizes;
// this is what the saver runs.
bool RunEffectCompletely(int number, EffectMode mode, int width, int height, EffectCanvas& canvas);

// The effect's name as the effect list gives it; nullptr outside 0..40.
const char* EffectName(int number);
