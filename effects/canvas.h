// The one seam through which every transition and clearing effect draws.
#pragma once

// What an effect may do between its first and last frame. The Win32 canvas maps these
// to BitBlt, PatBlt(BLACKNESS), YieldToInput and Sleep; tests record them as a trace.
struct EffectCanvas {
    virtual ~EffectCanvas() = default;
    // Back buffer -> window, same place.
    virtual void Copy(int x, int y, int w, int h) = 0;
    // Back buffer (sx, sy) -> window (dx, dy).
    virtual void CopyFrom(int sx, int sy, int dx, int dy, int w, int h) = 0;
    // Paint black on the window.
    virtual void Black(int x, int y, int w, int h) = 0;
    // Let one waiting message through; true: stop now.
    virtual bool Pump() = 0;
    virtual void Pause(int ms) = 0;
};
