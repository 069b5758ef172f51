// Drives the saver's dialogs from outside for the end-to-end tests: reads and sets their
// controls, presses buttons and arrows, and counts the saver's GDI objects. One command a
// line on standard input, fields separated by tabs, one answer line each:
//   find T | text T ID | label T ID | wlabel T ID | set T ID TEXT | checked T ID |
//   enabled T ID | click T ID | arrow T ID up|down | close T | rect T ID | gdi T | focus T |
//   treepath T ID NAME... (expands a tree from its root through the items whose texts hold
//   the names in turn, and selects the last)
// T is a window title; ID 0 is the window itself. "text" asks the window's thread and so
// waits while it is busy; "label" reads the text the system keeps and never waits, and
// "wlabel" the same as the wide text, answered in UTF-8. Line
// breaks in an answer come as the character 0x1F, so that each answer is one line.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tree_item_win32.h"

namespace {

constexpr UINT kWaitMs = 30000;

HWND Control(HWND window, const std::string& id)
{
    const int number = std::atoi(id.c_str());
    return number == 0 ? window : GetDlgItem(window, number);
}

// Wine keeps each process's GDI handle table where the PEB's GdiSharedHandleTable points
// (24-byte entries, type at byte 14, 0 when free); GetGuiResources there is a stub.
long GdiObjects(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return -1;
    long count = long(GetGuiResources(process, GR_GDIOBJECTS));
    using Query = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    ULONG_PTR basic[6] = {};  // PROCESS_BASIC_INFORMATION; [1] is the PEB's address
    ULONG_PTR table = 0;
    if (count == 0 && query && query(process, 0, basic, sizeof basic, nullptr) == 0 &&
        ReadProcessMemory(process, reinterpret_cast<char*>(basic[1]) + 0xF8, &table, sizeof table, nullptr)) {
        std::vector<unsigned char> entries(0x10000 * 24);
        if (ReadProcessMemory(process, reinterpret_cast<void*>(table), entries.data(), entries.size(), nullptr))
            for (size_t i = 0; i < entries.size(); i += 24) count += entries[i + 14] != 0;
    }
    CloseHandle(process);
    return count;
}

std::string SelectTreePath(HWND tree, const std::vector<std::string>& names)
{
    auto send = [&](UINT message, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        return AskTree(tree, message, wParam, lParam, result, kWaitMs) ? result : 0;
    };
    auto item = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_ROOT, 0));
    for (const std::string& name : names) {
        // The children of a folder are made when it is first expanded.
        send(TVM_EXPAND, TVE_EXPAND, LPARAM(item));
        auto child = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(item)));
        while (child && TreeItemText(tree, child).find(name) == std::string::npos)
            child = reinterpret_cast<HTREEITEM>(send(TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(child)));
        if (!child) return "missing " + name;
        item = child;
    }
    return item && send(TVM_SELECTITEM, TVGN_CARET, LPARAM(item)) ? "ok" : "none";
}

std::string Answer(const std::vector<std::string>& f)
{
    HWND window = f.size() > 1 ? FindWindowA(nullptr, f[1].c_str()) : nullptr;
    if (f[0] == "find") return std::to_string(reinterpret_cast<UINT_PTR>(window));
    if (!window) return "none";
    if (f[0] == "close") return PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0) ? "ok" : "failed";
    if (f[0] == "gdi") return std::to_string(GdiObjects(window));
    if (f[0] == "focus") {  // the id of the control that has the keyboard focus
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
        return std::to_string(info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    }
    if (f.size() < 3) return "bad";
    HWND control = Control(window, f[2]);
    if (!control) return "none";
    DWORD_PTR result = 0;
    if (f[0] == "text" || f[0] == "label") {
        char text[1024] = "";
        if (f[0] == "label")
            GetWindowTextA(control, text, sizeof text);
        else
            SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, LPARAM(text), SMTO_NORMAL, kWaitMs, &result);
        for (char& c : text)
            if (c == '\n') c = '\x1f';
        return text;
    }
    if (f[0] == "wlabel") {
        wchar_t wide[1024] = L"";
        GetWindowTextW(control, wide, 1024);
        char text[4096] = "";
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        return text;
    }
    if (f[0] == "set" && f.size() > 3)
        return SendMessageTimeoutA(control, WM_SETTEXT, 0, LPARAM(f[3].c_str()), SMTO_NORMAL, kWaitMs, &result)
                   ? "ok" : "busy";
    if (f[0] == "checked") {
        SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kWaitMs, &result);
        return std::to_string(result);
    }
    if (f[0] == "enabled") return IsWindowEnabled(control) ? "1" : "0";
    if (f[0] == "click")
        return PostMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), BN_CLICKED), LPARAM(control))
                   ? "ok" : "failed";
    if (f[0] == "arrow" && f.size() > 3) {
        PostMessageA(window, WM_VSCROLL, f[3] == "up" ? SB_LINEUP : SB_LINEDOWN, LPARAM(control));
        return PostMessageA(window, WM_VSCROLL, SB_ENDSCROLL, LPARAM(control)) ? "ok" : "failed";
    }
    if (f[0] == "treepath") return SelectTreePath(control, std::vector<std::string>(f.begin() + 3, f.end()));
    if (f[0] == "rect") {
        RECT r = {};
        GetWindowRect(control, &r);
        char text[64];
        std::snprintf(text, sizeof text, "%ld %ld %ld %ld", r.left, r.top, r.right, r.bottom);
        return text;
    }
    return "bad";
}

}  // namespace

int main()
{
    char line[4096];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        std::vector<std::string> fields;
        for (char* field = line;; ++field) {
            char* end = std::strchr(field, '\t');
            fields.emplace_back(field, end ? size_t(end - field) : std::strlen(field));
            if (!end) break;
            field = end;
        }
        std::printf("%s\n", fields[0].empty() ? "bad" : Answer(fields).c_str());
        std::fflush(stdout);
    }
    return 0;
}
