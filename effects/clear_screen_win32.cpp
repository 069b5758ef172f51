// Wiping the previous picture to black with a clearing effect before the next transition.
#include "base/handles_win32.h"
#include "effects/effects.h"
#include "effects/framework.h"
#include "effects/framework_win32.h"
#include "effects/window_canvas_win32.h"

void ClearScreen(HWND window)
{
    // No look at QuitPending here: a clearing effect always paints its first frame.
    WindowDc dc(window);
    const int effect = ChooseEffectNumber();
    WindowCanvas canvas(dc.Get(), nullptr);
    RunEffectCompletely(effect, EffectMode::Clear, ShowArea.width, ShowArea.height, canvas);
}
