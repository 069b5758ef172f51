#include "effects/framework.h"

#include "effects/random.h"
#include "saver/settings.h"

DrawingArea ShowArea = {0, 0, 0.0f};
int32_t CurrentEffect = kInitialEffect;
int32_t ForcedEffect = 0;
int32_t QuitPending = 0;
int32_t ColourDepth = 0;
int32_t BirthdayFlag = 0;

void SetShowArea(int32_t width, int32_t height)
{
    ShowArea.width = width;
    ShowArea.height = height;
    ShowArea.aspect = height != 0 ? static_cast<float>(width) / static_cast<float>(height) : 0.0f;
}

bool PaletteDisplay() { return ColourDepth <= 8; }

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
