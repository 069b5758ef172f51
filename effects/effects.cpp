#include "effects/effects.h"

bool RunEffect(int number, EffectMode, int width, int height, EffectCanvas& canvas)
{
    if (number == 0) canvas.Copy(0, 0, width, height);
    return true;
}

bool RunEffectCompletely(int number, EffectMode mode, int width, int height, EffectCanvas& canvas)
{
    return RunEffect(number, mode, width, height, canvas);
}
