// What every effect shares: the drawing area, the effect in use and the stop flag.
#pragma once
#include <cstdint>

struct DrawingArea {
    int32_t width;
    int32_t height;
    float aspect;  // width / height, for picture fitting
};

extern DrawingArea ShowArea;
// The effect number in use; the effects dialog sets it directly.
extern int32_t CurrentEffect;
// 1: ChooseEffectNumber keeps CurrentEffect instead of drawing at random.
extern int32_t ForcedEffect;
// Set, never cleared, once the quit message waits; nothing more is drawn.
extern int32_t QuitPending;
// Colour planes times bits per pixel of the screen; 8 or less: a palette display.
// 0 in a process that never measured it (the settings dialog's).
extern int32_t ColourDepth;
// Set on 29 June: the greeting follows every transition.
extern int32_t BirthdayFlag;

constexpr int32_t kInitialEffect = 15;

// Sets the drawing area and its aspect ratio.
void SetShowArea(int32_t width, int32_t height);
bool PaletteDisplay();

// The effect for the next transition or clearing, left in CurrentEffect: the forced one,
// 0 when no effect is enabled, else an enabled one drawn at random.
int32_t ChooseEffectNumber();

// True on 29 June (tm_mon 5, tm_mday 29).
bool IsBirthday(int monthIndex, int dayOfMonth);
