// One preview as the effects dialog runs it, timed to its first frame, with the peak of
// the process's memory above what it held before.
//   preview_bench FOLDER EFFECT   (previews the folder's first picture in sorted order)
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "base/handles_win32.h"
#include "config/effects_dialog_win32.h"
#include "effects/framework.h"
#include "effects/framework_win32.h"
#include "picdll/picdll.h"
#include "pictures/catalogue.h"
#include "pictures/catalogue_win32.h"

namespace {

constexpr UINT kFirstFrame = WM_APP + 1;
LARGE_INTEGER g_firstFrame = {};

// The message posted before the preview is dispatched by the effect's first pump, which
// follows its first frame.
LRESULT WINAPI BenchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kFirstFrame && !g_firstFrame.QuadPart) QueryPerformanceCounter(&g_firstFrame);
    return DefWindowProcA(window, message, wParam, lParam);
}

double Since(const LARGE_INTEGER& start, const LARGE_INTEGER& end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: preview_bench FOLDER EFFECT\n");
        return 2;
    }
    PicDLLInitDLL(PICDLL_INTERFACE_VERSION);
    PicDLLSetJPGErrorMsgBox(0);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BenchProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelmoraPreviewBench";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("VelmoraPreviewBench", "Preview bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                600, 480, nullptr, nullptr, windowClass.hInstance, nullptr);
    HWND preview = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 10, 480, 360, window,
                                 nullptr, windowClass.hInstance, nullptr);
    HWND pathLine = CreateWindowA("STATIC", "", WS_CHILD | WS_VISIBLE, 10, 380, 480, 16, window, nullptr,
                                  windowClass.hInstance, nullptr);
    ShowSettings.jpg = ShowSettings.bmp = ShowSettings.reduce = ShowSettings.enlarge = 1;
    lstrcpynA(ShowSettings.dir, argv[1], kPathSize);
    if (ScanPictures() < 1) return 1;
    SetShowArea(480, 360);
    {
        WindowDc dc(preview);
        CreateBackBuffer(dc.Get());
    }
    ForcedEffect = 1;
    CurrentEffect = std::atoi(argv[2]);

    const SIZE_T before = Memory().WorkingSetSize;
    LARGE_INTEGER start, end;
    PostMessageA(window, kFirstFrame, 0, 0);
    QueryPerformanceCounter(&start);
    ShowEffectPreview(preview, pathLine);
    QueryPerformanceCounter(&end);
    const PROCESS_MEMORY_COUNTERS after = Memory();
    std::printf("preview of %s with effect %d: first frame %7.1f ms, whole %7.1f ms, resident peak +%6.1f MiB\n",
                PictureList[0]->path, CurrentEffect, Since(start, g_firstFrame), Since(start, end),
                double(after.PeakWorkingSetSize - before) / 1048576.0);
    ReleaseBackBuffer();
    FreePictures();
    DestroyWindow(window);
    return g_firstFrame.QuadPart ? 0 : 1;
}
