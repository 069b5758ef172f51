// The choice of the effect number for each transition and clearing, and the greeting's day.
#include "effects/framework.h"

#include "base/random.h"
#include "base/settings.h"

int32_t CurrentEffect = kInitialEffect;
int32_t ForcedEffect = 0;
int32_t BirthdayFlag = 0;

int32_t ChooseEffectNumber()
{
    if (ForcedEffect != 0) return CurrentEffect;
    if (ShowSettings.effects == 0)
        CurrentEffect = 0;
    else
        CurrentEffect = EffectList[RandomValue() % ShowSettings.effects];
    return CurrentEffect;
}

bool IsBirthday(int monthIndex, int dayOfMonth) { return monthIndex == 5 && dayOfMonth == 29; }
