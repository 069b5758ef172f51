// The picture-show engine: the saver window's own message handling.
#include "saver/engine_win32.h"

#include <ctime>
#include <vector>

#include "base/handles_win32.h"
#include "base/message_pump_win32.h"
#include "base/random.h"
#include "base/settings_win32.h"
#include "effects/framework.h"
#include "effects/framework_win32.h"
#include "picdll/picdll.h"
#include "pictures/catalogue.h"
#include "pictures/catalogue_win32.h"
#include "pictures/loading_win32.h"
#include "pictures/order.h"
#include "saver/animation.h"
#include "saver/host_frame_win32.h"
#include "saver/monitor_covers_win32.h"

namespace {

constexpr UINT_PTR kPictureTimer = 1;
constexpr UINT_PTR kAnimationTimer = 2;
constexpr UINT kFirstPictureDelayMs = 10;
// Between the monitors of one round: the next one changes at once, as the first one does.
constexpr UINT kNextMonitorDelayMs = kFirstPictureDelayMs;
constexpr UINT kAnimationTickMs = 100;
constexpr int kAnimationSlots = kBannerSlot + 1;

enum class Mode { Preview, Pictures, NoPictures };

// One monitor's show: a picture change runs with its window, size and back buffer, exactly
// as the single screen's does.
struct MonitorShow {
    HWND window = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    BackBuffer backBuffer;
    bool pictureShown = false;
};

struct Engine {
    HWND window = nullptr;
    Mode mode = Mode::Pictures;
    OwnedBitmap animationFrames[kAnimationSlots];
    AnimationState animation;
    // The saver window's show first; with the monitors setting on, one for every other
    // monitor after it. Made once at creation, so a running tick's show stays in place.
    std::vector<MonitorShow> shows;
    size_t nextShow = 0;
    // A picture tick dispatches messages, so the window can be destroyed inside one; what
    // the tick still uses is then released when it unwinds.
    int ticksRunning = 0;
    bool releaseWhenTickEnds = false;
};
Engine g_engine;

void LoadAnimationFrames(int slots)
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    for (int slot = 0; slot < slots; ++slot)
        g_engine.animationFrames[slot].Reset(LoadResourceBitmap(instance, slot + 1));
    g_engine.animation = AnimationState();
    SetTimer(g_engine.window, kAnimationTimer, kAnimationTickMs, nullptr);
}

void MeasureColourDepth()
{
    WindowDc screen(nullptr);
    ColourDepth = GetDeviceCaps(screen.Get(), PLANES) * GetDeviceCaps(screen.Get(), BITSPIXEL);
}

void SeedAndCheckDate()
{
    const std::time_t now = std::time(nullptr);
    SeedRandom(static_cast<uint32_t>(now));
    if (const std::tm* local = std::localtime(&now))
        if (IsBirthday(local->tm_mon, local->tm_mday)) BirthdayFlag = 1;
}

// Makes `show` the one the loading, the effects and the back buffer work on.
void UseShow(MonitorShow& show)
{
    SetShowArea(show.width, show.height);
    UseBackBuffer(&show.backBuffer);
}

void AddShow(HWND window, int32_t width, int32_t height)
{
    MonitorShow& show = g_engine.shows.emplace_back();
    show.window = window;
    show.width = width;
    show.height = height;
}

// A window for every monitor but the primary one, at that monitor's own pixels.
void AddOtherMonitorShows()
{
    PerMonitorDpi perMonitor;
    const std::vector<ScreenRect> rects = ShowRects(PrimaryMonitorRect(), MonitorRects());
    for (size_t i = 1; i < rects.size(); ++i) {
        const ScreenRect& r = rects[i];
        if (HWND window = CreateMonitorWindow(g_engine.window, GetModuleHandleA(nullptr), r))
            AddShow(window, r.right - r.left, r.bottom - r.top);
    }
}

void StartPictureShow()
{
    LoadSettings(LoadManner::Saver);
    const int32_t count = ScanPictures();
    // Without memory for the order the pictures cannot be shown: the saver shows its
    // animation, as for an empty folder.
    if (count <= 0 || !MakePendingPictures(count)) g_engine.mode = Mode::NoPictures;
    CurrentPath[0] = '\0';
    AddShow(g_engine.window, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    if (g_engine.mode == Mode::Pictures && SettingOn(&Settings::monitors)) AddOtherMonitorShows();
    SetPicturesStillShown(int32_t(g_engine.shows.size()) - 1);
    {
        // Each back buffer as large as its monitor, and only one of each.
        WindowDc screen(nullptr);
        for (MonitorShow& show : g_engine.shows) {
            UseShow(show);
            CreateBackBuffer(screen.Get());
        }
    }
    g_engine.nextShow = 0;
    UseShow(g_engine.shows.front());
    if (g_engine.mode == Mode::Pictures)
        SetTimer(g_engine.window, kPictureTimer, kFirstPictureDelayMs, nullptr);
}

void OnCreate(HWND window)
{
    g_engine.window = window;
    PicDLLInitDLL(PICDLL_INTERFACE_VERSION);
    PicDLLSetJPGErrorMsgBox(0);
    MeasureColourDepth();
    SeedAndCheckDate();
    PicDLLSetCallback(DecodeProgressCallback);
    ForcedEffect = 0;
    if (PreviewMode) {
        g_engine.mode = Mode::Preview;
        LoadAnimationFrames(kAnimationFrames);
        return;
    }
    g_engine.mode = Mode::Pictures;
    StartPictureShow();
    if (g_engine.mode == Mode::NoPictures) LoadAnimationFrames(kAnimationSlots);
}

// Everything the engine made at creation.
void ReleaseEngine()
{
    for (OwnedBitmap& frame : g_engine.animationFrames) frame.Reset();
    for (MonitorShow& show : g_engine.shows) {
        UseBackBuffer(&show.backBuffer);
        ReleaseBackBuffer();
    }
    UseBackBuffer(nullptr);
    g_engine.shows.clear();
    FreePictures();
    FreePendingPictures();
    DeletePicturePalette();
    g_engine.releaseWhenTickEnds = false;
}

// One monitor's picture change; the monitors take turns, the saver window's first.
void ShowNextPicture()
{
    KillTimer(g_engine.window, kPictureTimer);
    ++g_engine.ticksRunning;
    MonitorShow& show = g_engine.shows[g_engine.nextShow];
    UseShow(show);
    if (SettingOn(&Settings::random))
        NextRandomPicture();
    else
        NextSequentialPicture();
    if (HBITMAP picture = LoadAndFitPicture(show.window)) {
        if (!g_engine.releaseWhenTickEnds) {
            if (show.pictureShown && SettingOn(&Settings::clearscreen)) ClearScreen(show.window);
            show.pictureShown = true;
            RunTransition(picture, show.window);
        }
        DeleteObject(picture);
    }
    --g_engine.ticksRunning;
    if (g_engine.releaseWhenTickEnds) {
        if (g_engine.ticksRunning == 0) ReleaseEngine();
        return;
    }
    // A round changes every monitor once; then the delay runs, from the end of the last
    // transition, with the value as read.
    g_engine.nextShow = (g_engine.nextShow + 1) % g_engine.shows.size();
    SetTimer(g_engine.window, kPictureTimer,
             g_engine.nextShow == 0 ? UINT(ShowSettings.speed) : kNextMonitorDelayMs, nullptr);
}

void AnimateLogo()
{
    // The logo turns on the saver window alone; the other monitors stay covered in black.
    const int slot = AnimationTick(g_engine.animation);
    if (slot < 0) return;
    const int width = ShowArea.width, height = ShowArea.height;
    if (g_engine.mode == Mode::NoPictures) {
        const ScreenPoint banner = BannerPosition(width, height);
        DrawBitmapAt(g_engine.animationFrames[kBannerSlot].Get(), banner.x, banner.y);
    }
    const ScreenPoint at = g_engine.mode == Mode::Preview ? kPreviewFramePosition
                                                          : CentredFramePosition(width, height);
    DrawBitmapAt(g_engine.animationFrames[slot].Get(), at.x, at.y);
}

void OnDestroy()
{
    KillTimer(g_engine.window, kPictureTimer);
    KillTimer(g_engine.window, kAnimationTimer);
    if (g_engine.ticksRunning > 0)
        g_engine.releaseWhenTickEnds = true;
    else
        ReleaseEngine();
    PostQuitMessage(0);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT WINAPI ScreenSaverProc(HWND window, UINT message,
                                                               WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_TIMER:
        // The mode decides what a tick does, not the timer's id.
        if (g_engine.mode == Mode::Pictures)
            ShowNextPicture();
        else
            AnimateLogo();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_DISPLAYCHANGE:
        // The monitors' shows were laid out for the monitors there were; the saver ends
        // rather than draw on monitors that moved or went (a cover simply stays).
        if (ShowsOnEveryMonitor()) PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    }
    return HostDefaultProc(window, message, wParam, lParam);
}

bool ShowsOnEveryMonitor() { return g_engine.shows.size() > 1; }

void DrawBitmapAt(HBITMAP bitmap, int x, int y)
{
    WindowDc windowDc(g_engine.window);
    OwnedMemoryDc memory(CreateCompatibleDC(windowDc.Get()));
    Selection selected(memory.Get(), bitmap);
    BITMAP size = {};
    GetObjectA(bitmap, sizeof size, &size);
    BitBlt(windowDc.Get(), x, y, size.bmWidth, size.bmHeight, memory.Get(), 0, 0, SRCCOPY);
}

HBITMAP LoadResourceBitmap(HINSTANCE instance, int id)
{
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    if (!found) return nullptr;
    HGLOBAL resource = LoadResource(instance, found);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(resource));
    const DWORD size = SizeofResource(instance, found);
    if (!header || size < sizeof(BITMAPINFOHEADER) || header->biSize < sizeof(BITMAPINFOHEADER))
        return nullptr;

    const DWORD colours = header->biBitCount <= 8 ? 1u << header->biBitCount : 0;
    const DWORD pixelsAt = header->biSize + 4 * colours;
    const DWORD stride = ((DWORD(header->biWidth) * header->biBitCount + 31) / 32) * 4;
    const DWORD rows = DWORD(header->biHeight < 0 ? -header->biHeight : header->biHeight);
    if (pixelsAt > size || (size - pixelsAt) / (stride ? stride : 1) < rows) return nullptr;

    WindowDc screen(nullptr);
    OwnedPalette palette;
    HPALETTE previous = nullptr;
    if (colours > 0) {
        const auto* table = reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const BYTE*>(header) + header->biSize);
        palette.Reset(CreatePaletteFromColourTable(table, int(colours)));
        previous = SelectPalette(screen.Get(), palette.Get(), FALSE);
        RealizePalette(screen.Get());
    }
    HBITMAP bitmap = CreateDIBitmap(screen.Get(), header, CBM_INIT,
                                    reinterpret_cast<const BYTE*>(header) + pixelsAt,
                                    reinterpret_cast<const BITMAPINFO*>(header), DIB_RGB_COLORS);
    if (previous) SelectPalette(screen.Get(), previous, FALSE);
    return bitmap;
}
