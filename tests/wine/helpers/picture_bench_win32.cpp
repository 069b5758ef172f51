// One picture change as the saver makes it: load, decode, fit and make the screen bitmap,
// timed, with the peak of the process's resident memory above what it held before.
// Each run measures one picture, since a process's peak only ever grows.
//   picture_bench FILE WIDTHxHEIGHT
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstring>

#include "effects/framework.h"
#include "picdll/picdll.h"
#include "pictures/catalogue.h"
#include "pictures/fit.h"
#include "pictures/loading_win32.h"

namespace {

PROCESS_MEMORY_COUNTERS Memory()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters;
}

double Milliseconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return double(now.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    int width = 0, height = 0;
    if (argc < 3 || std::sscanf(argv[2], "%dx%d", &width, &height) != 2) {
        std::fprintf(stderr, "usage: picture_bench FILE WIDTHxHEIGHT\n");
        return 2;
    }
    PicDLLInitDLL(PICDLL_INTERFACE_VERSION);
    PicDLLSetJPGErrorMsgBox(0);
    SetShowArea(width, height);
    ColourDepth = 32;
    ShowSettings.reduce = ShowSettings.enlarge = 1;
    lstrcpynA(CurrentPath, argv[1], kPathSize);
    int pictureWidth = 0, pictureHeight = 0;
    PicDLLGetJPGDimensions(CurrentPath, &pictureWidth, &pictureHeight);
    if (!pictureWidth) PicDLLGetBMPDimensions(CurrentPath, &pictureWidth, &pictureHeight);

    // Every block the change makes is written in full, so it shows in the resident peak.
    const SIZE_T before = Memory().WorkingSetSize;
    const double start = Milliseconds();
    HBITMAP bitmap = LoadAndFitPicture(GetDesktopWindow());
    const double elapsed = Milliseconds() - start;
    const SIZE_T peak = Memory().PeakWorkingSetSize - before;
    BITMAP fitted = {};
    GetObjectA(bitmap, sizeof fitted, &fitted);
    // The decoded block is the picture reduced as loading reduces it.
    const int reduction = FitReduction(FitToArea(pictureWidth, pictureHeight, width, height, ShowArea.aspect, true, true),
                                       pictureWidth, pictureHeight);
    const double decoded = double(pictureWidth / reduction) * double(pictureHeight / reduction);
    const double blocks = 3.0 * (decoded + double(fitted.bmWidth) * fitted.bmHeight);
    std::printf("%-28s %5dx%-5d 1/%d -> %4ldx%-4ld %8.1f ms  peak +%7.1f MiB  (two blocks %7.1f MiB)\n",
                std::strrchr(argv[1], '\\') ? std::strrchr(argv[1], '\\') + 1 : argv[1], pictureWidth,
                pictureHeight, reduction, fitted.bmWidth, fitted.bmHeight, elapsed, peak / 1048576.0,
                blocks / 1048576.0);
    if (bitmap) DeleteObject(bitmap);
    return bitmap ? 0 : 1;
}
