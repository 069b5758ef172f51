// Answers the installer's message boxes and reads what Windows made of an installation and
// what the help viewers show, for the end-to-end tests of the installer and the help.
//   hold                                 keeps the prefix's server running until stdin closes
//   box CAPTION ok|cancel|yes|no|close|ID   waits for the dialog and presses the button
//   screensaver PATH                     SCRNSAVE.EXE as Windows reads it|PATH's short form|active
//   shown CLASS                          1 when a top-level window of CLASS is visible now
//   title CLASS                          the caption of the visible top-level window of CLASS
//   helptext                             the text of the WinHelp viewer's topic
//   helpfind TEXT                        the screen point of TEXT in the WinHelp topic
//   helptree [N]                         HTML Help contents: items, selected item and its text
//                                        (N selected first)
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tree_item_win32.h"

namespace {

struct Search {
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK Match(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    char className[64] = "", title[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && !_stricmp(className, search->className) &&
        (!search->title || !std::strcmp(title, search->title))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A visible window of the class (and title): top-level, or a child of parent. Looks once,
// then every tenth of a second for the given time.
HWND Find(const char* className, const char* title = nullptr, int seconds = 20, HWND parent = nullptr)
{
    for (int tries = 0;; ++tries) {
        Search search = {className, title, nullptr};
        if (parent) EnumChildWindows(parent, Match, reinterpret_cast<LPARAM>(&search));
        else EnumWindows(Match, reinterpret_cast<LPARAM>(&search));
        if (search.found || tries >= seconds * 10) return search.found;
        Sleep(100);
    }
}

int Box(const char* caption, const char* answer)
{
    HWND box = Find("#32770", caption, 30);
    const struct {
        int id;
        const char* name;
    } buttons[] = {{IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDYES, "yes"}, {IDNO, "no"}};
    if (!box) return 1;
    if (!std::strcmp(answer, "close")) return PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
    int id = std::atoi(answer);  // a dialog's button may be given by its number
    for (const auto& b : buttons)
        if (!std::strcmp(answer, b.name)) id = b.id;
    HWND button = GetDlgItem(box, id);
    if (!button || !IsWindowVisible(button)) return 1;
    return PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(button)) ? 0 : 1;
}

// The WinHelp topic's control and its text, asked for by message: GetWindowText gives only
// the captions of other programs' windows.
HWND WinHelpTopic(std::string& text)
{
    HWND viewer = Find("MS_WINHELP");
    HWND topic = viewer ? Find("RichEdit20A", nullptr, 0, viewer) : nullptr;
    if (!topic) return nullptr;
    text.assign(size_t(SendMessageA(topic, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    SendMessageA(topic, WM_GETTEXT, text.size(), LPARAM(&text[0]));
    text.resize(std::strlen(text.c_str()));
    return topic;
}

int HelpFind(const char* wanted)
{
    std::string text;
    HWND topic = WinHelpTopic(text);
    const size_t found = topic ? text.find(wanted) : std::string::npos;
    if (found == std::string::npos) return 1;
    // The control counts a line break as one character where its text has two.
    size_t index = found;
    for (size_t at = text.find("\r\n"); at < found; at = text.find("\r\n", at + 2)) --index;
    // Rich edit 2.0 and later answer with the position when given a character index.
    const LRESULT at = SendMessageA(topic, EM_POSFROMCHAR, index, 0);
    POINT point = {short(LOWORD(at)) + 3, short(HIWORD(at)) + 5};
    ClientToScreen(topic, &point);
    std::printf("%ld %ld\n", point.x, point.y);
    return 0;
}

// The contents are one level deep: the items are the root's siblings. Fails at once when
// the viewer does not answer, so that the caller asks again rather than waits on it.
int HelpTree(int select)
{
    HWND tree = Find("SysTreeView32", nullptr, 0, Find("HH Parent"));
    if (!tree) return 1;
    int count = 0, selected = -1;
    HTREEITEM selectedItem = nullptr;
    LRESULT item = 0, current = 0, done = 0;
    if (!AskTree(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0, item)) return 1;
    for (; item; ++count) {
        if (count == select && !AskTree(tree, TVM_SELECTITEM, TVGN_CARET, item, done)) return 1;
        if (!AskTree(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, current)) return 1;
        if (item == current) selected = count, selectedItem = HTREEITEM(item);
        if (!AskTree(tree, TVM_GETNEXTITEM, TVGN_NEXT, item, item)) return 1;
    }
    std::printf("%d %d %s\n", count, selected, selectedItem ? TreeItemText(tree, selectedItem).c_str() : "");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "hold") {
        std::printf("holding\n");
        std::fflush(stdout);
        while (std::fgetc(stdin) != EOF) {
        }
        return 0;
    }
    if (command == "box" && argc > 3) return Box(argv[2], argv[3]);
    if (command == "screensaver" && argc > 2) {
        char named[MAX_PATH] = "", shortPath[MAX_PATH] = "";
        GetPrivateProfileStringA("boot", "SCRNSAVE.EXE", "", named, sizeof named, "system.ini");
        GetShortPathNameA(argv[2], shortPath, MAX_PATH);
        BOOL active = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
        std::printf("%s|%s|%d\n", named, shortPath, active ? 1 : 0);
        return 0;
    }
    if (command == "shown" && argc > 2) {
        std::printf("%d\n", Find(argv[2], nullptr, 0) ? 1 : 0);
        return 0;
    }
    if (command == "title" && argc > 2) {
        HWND window = Find(argv[2], nullptr, 0);
        char title[256] = "";
        if (!window) return 1;
        GetWindowTextA(window, title, sizeof title);
        std::printf("%s\n", title);
        return 0;
    }
    if (command == "helptext") {
        std::string text;
        if (!WinHelpTopic(text)) return 1;
        std::printf("%s\n", text.c_str());
        return 0;
    }
    if (command == "helpfind" && argc > 2) return HelpFind(argv[2]);
    if (command == "helptree") return HelpTree(argc > 2 ? std::atoi(argv[2]) : -1);
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
