// The text of an item of another process's tree view, asked for through memory of that
// process: a pointer of this one would mean nothing there.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

// Asks another process's tree view; false when it has not answered within `ms`, as a
// program still busy starting may not for a long time (it would hold a plain SendMessage).
inline bool AskTree(HWND tree, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& answer, UINT ms = 5000)
{
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutA(tree, message, wParam, lParam, SMTO_NORMAL, ms, &result) != 0;
    answer = LRESULT(result);
    return answered;
}

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
        LRESULT result = 0;
        if (WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
            AskTree(tree, TVM_GETITEMA, 0, LPARAM(remote), result, 30000) && result)
            ReadProcessMemory(process, remote + sizeof request, text, sizeof text - 1, nullptr);
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    CloseHandle(process);
    return text;
}
