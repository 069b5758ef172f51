// The text of an item of another process's tree view, asked for through memory of that
// process: a pointer of this one would mean nothing there.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

inline std::string TreeItemText(HWND tree, HTREEITEM item)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(tree, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return "";
    char text[256] = "";
    if (char* remote = static_cast<char*>(VirtualAllocEx(process, nullptr, 4096, MEM_COMMIT, PAGE_READWRITE))) {
        TVITEMA request = {};
        request.mask = TVIF_TEXT;
        request.hItem = item;
        request.pszText = remote + sizeof request;
        request.cchTextMax = sizeof text;
        DWORD_PTR result = 0;
        if (WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
            SendMessageTimeoutA(tree, TVM_GETITEMA, 0, LPARAM(remote), SMTO_NORMAL, 30000, &result) && result)
            ReadProcessMemory(process, remote + sizeof request, text, sizeof text - 1, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}
