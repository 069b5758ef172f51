// The one message pump that long work runs between its steps: effects between frames and
// the image library while it decodes. It is how input stops a running picture change.
#pragma once
#include <windows.h>

// Dispatches at most one waiting message; 1 when the quit message waits (QuitPending is
// then set and the message left in the queue), else 0.
int YieldToInput();

// Given to the image library: dispatches one waiting message per call; 0 (stop decoding)
// once the quit message waits.
int WINAPI DecodeProgressCallback(int, int);
