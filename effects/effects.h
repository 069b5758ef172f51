// The forty-one effect sequences (0..40), each usable as a transition or as a clearing effect.
#pragma once
#include "effects/canvas.h"

enum class EffectMode { Transition, Clear };

constexpr int kLastEffect = 40;

// Runs effect `number` on a width x height area through `canvas`. Returns true when the
// effect ran to its end, false when a pump answered "stop". A number outside 0..40 draws
// nothing and returns true.
bool RunEffect(int number, EffectMode mode, int width, int height, EffectCanvas& canvas);

// RunEffect, then, for an effect 1..40 that ran to its end, one full copy or black fill of
// the area, so that nothing of the previous picture is left where the frames leave gaps.
bool RunEffectCompletely(int number, EffectMode mode, int width, int height, EffectCanvas& canvas);
