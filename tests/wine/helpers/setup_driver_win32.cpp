// Answers the installer's message boxes and reads what the platform made of an installation
// and of the help viewers, for the end-to-end tests of the installer and the help.
//   hold                                 keeps the prefix's server running until stdin closes
//   box CAPTION ok|cancel|yes|no|close   waits for the box, prints it, answers it
//   profile SECTION KEY FILE             a private-profile value, read as Windows reads it
//   saveractive                          whether screen saving is on
//   shortpath PATH                       the platform's short form of a path
//   shown CLASS                          whether a top-level window of CLASS is visible now
//   helptext                             the text of the WinHelp viewer's topic
//   helpbutton TEXT                      presses the WinHelp viewer's button TEXT
//   helpfind TEXT                        screen point of TEXT in the WinHelp topic
//   helptree                             items and selected item of the HTML Help contents
//   helpselect N                         selects item N of the HTML Help contents
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Search {
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    char className[64] = "", title[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (IsWindowVisible(window) && !std::strcmp(className, search->className) &&
        (!search->title || !std::strcmp(title, search->title))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Looks at least once, then every tenth of a second for the given time.
HWND WaitForWindow(const char* className, const char* title, int seconds)
{
    for (int tries = 0;; ++tries) {
        Search search = {className, title, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found || tries >= seconds * 10) return search.found;
        Sleep(100);
    }
}

BOOL CALLBACK MatchChild(HWND window, LPARAM context)
{
    Search* search = reinterpret_cast<Search*>(context);
    char className[64] = "";
    GetClassNameA(window, className, sizeof className);
    if (!_stricmp(className, search->className)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Child(HWND parent, const char* className)
{
    Search search = {className, nullptr, nullptr};
    if (parent) EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string Escaped(const char* text)
{
    std::string out;
    for (; *text; ++text) {
        if (*text == '\n') out += "\\n";
        else if (*text == '\r') out += "\\r";
        else out += *text;
    }
    return out;
}

// The message text: the one static control with text.
std::string BoxText(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[32] = "", text[1024] = "";
        GetClassNameA(child, className, sizeof className);
        GetWindowTextA(child, text, sizeof text);
        if (!_stricmp(className, "Static") && text[0]) return Escaped(text);
    }
    return "";
}

int Box(const char* caption, const char* answer, int seconds)
{
    HWND box = WaitForWindow("#32770", caption, seconds);
    if (!box) {
        std::printf("no box\n");
        return 1;
    }
    struct Button {
        int id;
        const char* name;
    } buttons[] = {{IDOK, "ok"}, {IDCANCEL, "cancel"}, {IDYES, "yes"}, {IDNO, "no"}};
    std::string shown;
    int chosen = 0;
    for (const Button& b : buttons) {
        HWND button = GetDlgItem(box, b.id);
        if (!button || !IsWindowVisible(button)) continue;
        shown += shown.empty() ? b.name : std::string(",") + b.name;
        if (!std::strcmp(answer, b.name)) chosen = b.id;
    }
    std::printf("text=%s|buttons=%s\n", BoxText(box).c_str(), shown.c_str());
    std::fflush(stdout);
    if (!std::strcmp(answer, "close")) {
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (chosen) {
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(chosen, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, chosen)));
    } else {
        return 1;
    }
    return 0;
}

// The WinHelp viewer's topic control and its text, asked for by message: GetWindowText
// gives only the captions of other programs' windows.
HWND WinHelpTopic(std::string& content)
{
    HWND viewer = WaitForWindow("MS_WINHELP", nullptr, 20);
    HWND text = Child(viewer, "RichEdit20W");
    if (!text) text = Child(viewer, "RichEdit20A");
    if (!text) return nullptr;
    content.assign(size_t(SendMessageA(text, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    SendMessageA(text, WM_GETTEXT, content.size(), reinterpret_cast<LPARAM>(&content[0]));
    content.resize(std::strlen(content.c_str()));
    return text;
}

HWND HelpTree()
{
    return Child(WaitForWindow("HH Parent", nullptr, 20), "SysTreeView32");
}

// The tree's items in display order (top-level only: the contents are one level deep).
int TreeItems(HWND tree, HTREEITEM* items, int most)
{
    int count = 0;
    for (HTREEITEM item = TreeView_GetRoot(tree); item && count < most; item = TreeView_GetNextSibling(tree, item))
        items[count++] = item;
    return count;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && !std::strcmp(argv[1], "hold")) {
        std::printf("holding\n");
        std::fflush(stdout);
        while (std::fgetc(stdin) != EOF) {
        }
        return 0;
    }
    if (argc >= 4 && !std::strcmp(argv[1], "box")) return Box(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 30);
    if (argc >= 5 && !std::strcmp(argv[1], "profile")) {
        char value[MAX_PATH] = "";
        GetPrivateProfileStringA(argv[2], argv[3], "", value, sizeof value, argv[4]);
        std::printf("%s\n", value);
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "saveractive")) {
        BOOL active = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
        std::printf("%d\n", active ? 1 : 0);
        return 0;
    }
    if (argc >= 3 && !std::strcmp(argv[1], "shortpath")) {
        char path[MAX_PATH] = "";
        GetShortPathNameA(argv[2], path, MAX_PATH);
        std::printf("%s\n", path);
        return 0;
    }
    if (argc >= 3 && !std::strcmp(argv[1], "shown")) {
        std::printf("%d\n", WaitForWindow(argv[2], nullptr, 0) ? 1 : 0);
        return 0;
    }
    if (argc >= 3 && !std::strcmp(argv[1], "helpbutton")) {
        HWND box = Child(WaitForWindow("MS_WINHELP", nullptr, 20), "WHButtonBox");
        HWND button = box ? FindWindowExA(box, nullptr, "Button", argv[2]) : nullptr;
        if (!button) return 1;
        PostMessageA(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "helptext")) {
        std::string content;
        if (!WinHelpTopic(content)) return 1;
        std::printf("%s\n", Escaped(content.c_str()).c_str());
        return 0;
    }
    if (argc >= 3 && !std::strcmp(argv[1], "helpfind")) {
        std::string content;
        HWND text = WinHelpTopic(content);
        const std::size_t found = text ? content.find(argv[2]) : std::string::npos;
        if (found == std::string::npos) return 1;
        // The control counts a line break as one character where its text has two.
        std::size_t index = found;
        for (std::size_t at = content.find("\r\n"); at < found; at = content.find("\r\n", at + 2)) --index;
        // Rich edit 2.0 and later answer with the position when given a character index.
        const LRESULT at = SendMessageA(text, EM_POSFROMCHAR, index, 0);
        POINT point = {short(LOWORD(at)) + 3, short(HIWORD(at)) + 5};
        ClientToScreen(text, &point);
        std::printf("%ld %ld\n", point.x, point.y);
        return 0;
    }
    if (argc >= 2 && !std::strcmp(argv[1], "helptree")) {
        HWND tree = HelpTree();
        if (!tree) return 1;
        HTREEITEM items[64];
        const int count = TreeItems(tree, items, 64);
        HTREEITEM selected = TreeView_GetSelection(tree);
        int index = -1;
        for (int i = 0; i < count; ++i)
            if (items[i] == selected) index = i;
        std::printf("%d %d\n", count, index);
        return 0;
    }
    if (argc >= 3 && !std::strcmp(argv[1], "helpselect")) {
        HWND tree = HelpTree();
        HTREEITEM items[64];
        const int wanted = std::atoi(argv[2]);
        if (!tree || wanted < 0 || wanted >= TreeItems(tree, items, 64)) return 1;
        return TreeView_SelectItem(tree, items[wanted]) ? 0 : 1;
    }
    std::fprintf(stderr, "unknown command\n");
    return 2;
}
