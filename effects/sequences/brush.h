// What an effect's rectangles become, and the pacing calls between its frames.
#pragma once
#include "effects/canvas.h"
#include "effects/effects.h"

// A transition paints the new picture from the back buffer; a clearing effect paints the
// same rectangles black. The effects are written once against this and never ask which.
class Brush {
public:
    Brush(EffectMode mode, EffectCanvas& canvas) : mode_(mode), canvas_(canvas) {}

    // The rectangle at its own place: the new picture, or black.
    void Paint(int x, int y, int w, int h)
    {
        if (mode_ == EffectMode::Transition)
            canvas_.Copy(x, y, w, h);
        else
            canvas_.Black(x, y, w, h);
    }

    // The push effects: a transition moves the picture's pixels from (sx, sy) to (dx, dy);
    // clearing has no picture to move and blackens where the pixels would land.
    void PaintPushed(int sx, int sy, int dx, int dy, int w, int h)
    {
        if (mode_ == EffectMode::Transition)
            canvas_.CopyFrom(sx, sy, dx, dy, w, h);
        else
            canvas_.Black(dx, dy, w, h);
    }

    // True: stop. Remembered, because some effects draw on after a stop and the caller
    // still has to learn that the run was cut short.
    bool Pump()
    {
        if (!canvas_.Pump()) return false;
        stopped_ = true;
        return true;
    }

    void Pause(int ms) { canvas_.Pause(ms); }

    // The usual end of a frame: pump, then pause unless told to stop. False: stop.
    bool EndFrame(int pauseMs)
    {
        if (Pump()) return false;
        Pause(pauseMs);
        return true;
    }

    bool Stopped() const { return stopped_; }

private:
    EffectMode mode_;
    EffectCanvas& canvas_;
    bool stopped_ = false;
};
