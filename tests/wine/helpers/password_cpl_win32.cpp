// A stand-in for the platform's password library. It answers as the file named by
// VELMORA_TEST_PASSWORD_ANSWER says ("1" accept, "0" refuse, "0 close": refuse and at
// once ask to close again) and logs each question to VELMORA_TEST_PASSWORD_LOG.
#include <windows.h>

#include <cstdio>
#include <cstring>

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window)
{
    char path[MAX_PATH];
    char answer[32] = "0";
    if (GetEnvironmentVariableA("VELMORA_TEST_PASSWORD_ANSWER", path, sizeof path)) {
        if (FILE* file = std::fopen(path, "r")) {
            if (!std::fgets(answer, sizeof answer, file)) answer[0] = '0';
            std::fclose(file);
        }
    }
    if (GetEnvironmentVariableA("VELMORA_TEST_PASSWORD_LOG", path, sizeof path)) {
        if (FILE* file = std::fopen(path, "a")) {
            std::fprintf(file, "asked %lu\n", GetTickCount());
            std::fclose(file);
        }
    }
    Sleep(50);  // a user typing, briefly
    const bool accept = answer[0] == '1';
    if (!accept && std::strstr(answer, "close")) PostMessageA(window, WM_CLOSE, 0, 0);
    return accept;
}
