// The host frame's decisions about input, kept apart from the window code.
#pragma once
#include <cstdint>

// A mouse movement ends the saver once the horizontal plus the vertical distance from the
// saved position exceeds this many pixels.
constexpr int kMouseThreshold = 4;
// After a refused password, further close requests are ignored for this long.
constexpr uint32_t kPasswordRecheckPauseMs = 200;

bool MouseMovedFarEnough(int savedX, int savedY, int x, int y);

// Whether a close request comes too soon after the last password dialog ended. Ticks are
// 32-bit milliseconds and wrap around.
bool TooSoonAfterPasswordCheck(bool hadCheck, uint32_t lastCheckTick, uint32_t nowTick);
