// What both dialogs do with their controls alike.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "config/dialog_rules.h"

// Writes `value` with "%d" into a control.
void SetNumber(HWND dialog, int id, int32_t value);
// Counts the enabled effects and writes the count into a control in the given form.
void ShowEnabledEffects(HWND dialog, int id, void (*format)(char* text, size_t size, int32_t enabled));
// The scroll bar code of an arrow press.
Arrow ArrowOf(int scrollCode);
