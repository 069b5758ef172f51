// A library that counts, inside the saver's process, its GDI objects, its windows and menus
// and its kernel handles, every few picture changes. Wine answers 0 to GetGuiResources and
// GetProcessHandleCount, so the handle values are walked and asked one by one. The probe's
// "hook" command loads it into the saver through a message hook on the saver's thread.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

int g_timerTicks = 0;
int g_censuses = 0;

// Wine takes a GDI handle without its generation in the upper half, so every live object
// answers at one of the values below 0x10000.
int CountGdiObjects()
{
    int count = 0;
    for (UINT_PTR value = 0x20; value <= 0xFFFF; ++value)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(value))) ++count;
    return count;
}

// USER handles are even values from 0x20 on (again without the generation); windows of
// other processes share the table, so only this process's count.
int CountUserObjects()
{
    const DWORD self = GetCurrentProcessId();
    int count = 0;
    for (UINT_PTR value = 0x20; value <= 0xFFFE; value += 2) {
        HWND window = reinterpret_cast<HWND>(value);
        DWORD owner = 0;
        if (IsWindow(window) && GetWindowThreadProcessId(window, &owner) && owner == self)
            ++count;
        else if (IsMenu(reinterpret_cast<HMENU>(value)))
            ++count;
    }
    return count;
}

int CountKernelHandles()
{
    int count = 0;
    for (UINT_PTR value = 4; value <= 0xFFFC; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

DWORD FileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path, GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

// Appends the census as the `number`th line of the file VELMORA_CENSUS names, then holds
// the saver (ten seconds at most) until the test has read the process's memory and open
// files from Linux and said so with a line of its own in the file of the same name ending
// in "-read". (Wine's server opens files, so /proc/self here would be the server's.)
void WriteCensus(int changes, int number)
{
    char path[MAX_PATH], read[MAX_PATH + 8];
    if (!GetEnvironmentVariableA("VELMORA_CENSUS", path, sizeof path)) return;
    const DWORD started = GetTickCount();
    const int gdi = CountGdiObjects(), user = CountUserObjects(), handles = CountKernelHandles();
    char line[160];
    const int length = std::snprintf(line, sizeof line, "changes=%d gdi=%d user=%d handles=%d ms=%lu\n",
                                     changes, gdi, user, handles, GetTickCount() - started);
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written;
    WriteFile(file, line, DWORD(length), &written, nullptr);
    CloseHandle(file);
    std::snprintf(read, sizeof read, "%s-read", path);
    for (DWORD waited = 0; FileSize(read) < DWORD(2 * number) && waited < 10000; waited += 10) Sleep(10);
}

int Every()
{
    char text[16];
    if (!GetEnvironmentVariableA("VELMORA_CENSUS_EVERY", text, sizeof text)) return 50;
    const int every = std::atoi(text);
    return every > 0 ? every : 50;
}

}  // namespace

// A message hook (WH_GETMESSAGE). The saver's picture timer (id 1) is taken from the queue
// only between picture changes, when nothing of a change is held, so the count is taken
// there: before the first change and after every `VELMORA_CENSUS_EVERY` (50).
extern "C" __declspec(dllexport) LRESULT CALLBACK CensusHook(int code, WPARAM removal, LPARAM data)
{
    const MSG* message = reinterpret_cast<const MSG*>(data);
    if (code == HC_ACTION && removal == PM_REMOVE && message->message == WM_TIMER && message->wParam == 1) {
        const int changes = g_timerTicks++;
        if (changes % Every() == 0) WriteCensus(changes, ++g_censuses);
    }
    return CallNextHookEx(nullptr, code, removal, data);
}
