// Times every effect on a real window: wall time against the sum of its pauses (the floor
// its pacing sets), so the drawing and pumping overhead shows. Prints figures only.
//   effect_bench [WIDTH HEIGHT]   (default: the screen size)
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "effects/effects.h"
#include "effects/framework.h"
#include "effects/window_canvas_win32.h"

namespace {

// Counts what an effect does while the real canvas does it.
class CountingCanvas : public EffectCanvas {
public:
    explicit CountingCanvas(EffectCanvas& inner) : inner_(inner) {}
    void Copy(int x, int y, int w, int h) override { ++rectangles; inner_.Copy(x, y, w, h); }
    void CopyFrom(int sx, int sy, int dx, int dy, int w, int h) override
    {
        ++rectangles;
        inner_.CopyFrom(sx, sy, dx, dy, w, h);
    }
    void Black(int x, int y, int w, int h) override { ++rectangles; inner_.Black(x, y, w, h); }
    bool Pump() override
    {
        ++pumps;
        return inner_.Pump();
    }
    void Pause(int ms) override
    {
        pauseMs += ms;
        inner_.Pause(ms);
    }
    long rectangles = 0, pumps = 0, pauseMs = 0;

private:
    EffectCanvas& inner_;
};

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    const int width = argc > 2 ? std::atoi(argv[1]) : GetSystemMetrics(SM_CXSCREEN);
    const int height = argc > 2 ? std::atoi(argv[2]) : GetSystemMetrics(SM_CYSCREEN);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmoraEffectBench";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, "VelmoraEffectBench", "bench", WS_POPUP | WS_VISIBLE,
                                  0, 0, width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    HDC screen = GetDC(window);
    HDC back = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    SelectObject(back, bitmap);
    PatBlt(back, 0, 0, width, height, WHITENESS);
    ColourDepth = 32;

    std::printf("effect-bench %dx%d (milliseconds)\n", width, height);
    std::printf("%-6s %-10s %10s %10s %10s %10s %8s\n", "effect", "mode", "wall", "pauses", "overhead",
                "rects", "pumps");
    for (int mode = 0; mode < 2; ++mode) {
        for (int effect = 0; effect <= kLastEffect; ++effect) {
            WindowCanvas real(screen, back);
            CountingCanvas canvas(real);
            const double start = Now();
            RunEffect(effect, mode ? EffectMode::Clear : EffectMode::Transition, width, height, canvas);
            GdiFlush();
            const double wall = Now() - start;
            std::printf("%-6d %-10s %10.1f %10ld %10.1f %10ld %8ld\n", effect, mode ? "clear" : "transition",
                        wall, canvas.pauseMs, wall - canvas.pauseMs, canvas.rectangles, canvas.pumps);
            std::fflush(stdout);
        }
    }
    DeleteDC(back);
    DeleteObject(bitmap);
    ReleaseDC(window, screen);
    DestroyWindow(window);
    return 0;
}
