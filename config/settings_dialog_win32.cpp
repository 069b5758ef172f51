// The settings dialog (template 2003): folder, picture filters, delay and the effects line,
// with the picture count kept up to date by scanning again after each change that matters.
#include "config/settings_dialog_win32.h"

#include <objbase.h>
#include <shlobj.h>

#include <cstdio>

#include "base/settings_win32.h"
#include "config/dialog_controls_win32.h"
#include "config/effects_dialog_win32.h"
#include "config/help_win32.h"
#include "effects/framework.h"
#include "effects/framework_win32.h"
#include "picdll/picdll.h"
#include "pictures/catalogue.h"
#include "pictures/catalogue_win32.h"
#include "pictures/loading_win32.h"
#include "pictures/order.h"
#include "resources/resource_ids.h"

namespace {

constexpr UINT_PTR kScanTimer = 5;
constexpr UINT kFirstScanMs = 10;
constexpr UINT kTypingPauseMs = 1500;
constexpr int kSizeTextChars = 5;
constexpr char kFoundLabel[] = "Image files found :";
constexpr char kSearching[] = "Searching...";

struct SettingsDialog {
    // 1: the next change notification of the folder, X or Y field starts no rescan.
    int32_t suppressNextChange = 0;
    // ScanTimer is set and has not fired yet.
    bool scanPending = false;
    bool comStarted = false;
};
SettingsDialog g_settings;

// Shown at once: a scan that follows does not let the dialog paint until it ends.
void SetLabel(HWND dialog, int id, const char* text)
{
    SetDlgItemTextA(dialog, id, text);
    UpdateWindow(GetDlgItem(dialog, id));
}

void StartScanTimer(HWND dialog, UINT milliseconds)
{
    SetTimer(dialog, kScanTimer, milliseconds, nullptr);
    g_settings.scanPending = true;
}

void StopScanTimer(HWND dialog)
{
    KillTimer(dialog, kScanTimer);
    g_settings.scanPending = false;
}

int32_t ReadSizeField(HWND dialog, int id)
{
    char text[kSizeTextChars + 1];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return LeadingDecimal(text, kSizeTextChars);
}

// The folder field, wide so that a folder of any letters reaches the settings.
void ReadFolderField(HWND dialog, char (&dir)[kPathSize])
{
    wchar_t folder[kPathSize];
    GetDlgItemTextW(dialog, IDC_FOLDER, folder, kPathSize);
    SettingOfFolder(folder, dir);
}

void ShowFolderField(HWND dialog) { SetDlgItemTextW(dialog, IDC_FOLDER, FolderOfSetting(ShowSettings.dir).c_str()); }

// Scans with the settings as they stand; with `readFields`, the folder and size fields
// reach the settings first.
void Rescan(HWND dialog, bool readFields)
{
    SetLabel(dialog, IDC_FOUND_LABEL, kSearching);
    SetLabel(dialog, IDC_FOUND_COUNT, "");
    if (readFields) {
        ReadFolderField(dialog, ShowSettings.dir);
        ShowSettings.minsizex = ReadSizeField(dialog, IDC_MIN_X);
        ShowSettings.minsizey = ReadSizeField(dialog, IDC_MIN_Y);
    }
    SetNumber(dialog, IDC_FOUND_COUNT, ScanPictures());
    SetDlgItemTextA(dialog, IDC_FOUND_LABEL, kFoundLabel);
}

void RescanPictures(HWND dialog) { Rescan(dialog, false); }

void DelayedRescan(HWND dialog)
{
    StopScanTimer(dialog);
    Rescan(dialog, true);
}

void ShowEffectsLine(HWND dialog) { ShowEnabledEffects(dialog, IDC_EFFECTS_LINE, FormatEffectsLine); }

void EnableSizeFields(HWND dialog, bool enable)
{
    EnableWindow(GetDlgItem(dialog, IDC_MIN_X), enable);
    EnableWindow(GetDlgItem(dialog, IDC_MIN_Y), enable);
}

void OnInit(HWND dialog)
{
    PicDLLInitDLL(PICDLL_INTERFACE_VERSION);
    PicDLLSetJPGErrorMsgBox(0);
    g_settings = SettingsDialog();
    // The folder browser is a shell object and needs COM on this thread.
    g_settings.comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    ForcedEffect = 1;
    g_settings.suppressNextChange = 1;
    FreePictures();
    LoadSettings(LoadManner::Dialog);
    SetScrollRange(GetDlgItem(dialog, IDC_DELAY_ARROWS), SB_CTL, kShortestDelay, kLongestDelay, FALSE);
    // A box shows whether the show will do what it says, so an odd value in the file
    // shows as the scan and the saver read it.
    for (const CheckBoxRule& rule : CheckBoxRules())
        CheckDlgButton(dialog, rule.id, SettingOn(rule.member) ? BST_CHECKED : BST_UNCHECKED);
    SetNumber(dialog, IDC_MIN_X, ShowSettings.minsizex);
    SetNumber(dialog, IDC_MIN_Y, ShowSettings.minsizey);
    EnableSizeFields(dialog, SettingOn(&Settings::minsize));
    ShowEffectsLine(dialog);
    SetNumber(dialog, IDC_DELAY, ShowSettings.speed / 1000);
    ShowFolderField(dialog);
    // Replaces the timer the field changes above may have started.
    StartScanTimer(dialog, kFirstScanMs);
}

void OnFieldChange(HWND dialog)
{
    StopScanTimer(dialog);
    if (!g_settings.suppressNextChange) {
        SetDlgItemTextA(dialog, IDC_FOUND_COUNT, "");
        SetDlgItemTextA(dialog, IDC_FOUND_LABEL, "");
        StartScanTimer(dialog, kTypingPauseMs);
    }
    g_settings.suppressNextChange = 0;
}

void OnCheckBox(HWND dialog, const CheckBoxRule& rule)
{
    const int state = FlippedCheck(int(IsDlgButtonChecked(dialog, rule.id)));
    CheckDlgButton(dialog, rule.id, UINT(state));
    ShowSettings.*rule.member = state;
    switch (rule.after) {
    case AfterCheck::Nothing:
        return;
    case AfterCheck::SizeFieldsAndRescan:
        EnableSizeFields(dialog, state == kTicked);
        break;
    case AfterCheck::KindAndRescan:
        if (int32_t Settings::*other = KindToAccept(rule.member, ShowSettings)) {
            ShowSettings.*other = 1;
            CheckDlgButton(dialog, other == &Settings::jpg ? IDC_JPG : IDC_BMP, BST_CHECKED);
        }
        break;
    case AfterCheck::Rescan:
        break;
    }
    RescanPictures(dialog);
}

void OnDelayArrow(HWND dialog, int code)
{
    ShowSettings.speed = StepDelay(ShowSettings.speed, ArrowOf(code));
    SetNumber(dialog, IDC_DELAY, ShowSettings.speed / 1000);
}

void OnBrowse(HWND dialog)
{
    g_settings.suppressNextChange = 1;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator)) && allocator) {
        if (wchar_t* displayName = static_cast<wchar_t*>(allocator->Alloc(kPathSize * sizeof(wchar_t)))) {
            BROWSEINFOW browse = {};
            browse.hwndOwner = dialog;
            browse.pszDisplayName = displayName;
            browse.lpszTitle = L"Choose a Folder :";
            if (LPITEMIDLIST item = SHBrowseForFolderW(&browse)) {
                wchar_t path[MAX_PATH] = L"";
                // An item without a file-system path (a printer) leaves the folder as it was.
                if (SHGetPathFromIDListW(item, path) && path[0]) SettingOfFolder(path, ShowSettings.dir);
                allocator->Free(item);
            }
            allocator->Free(displayName);
        }
        allocator->Release();
    }
    ShowFolderField(dialog);
    RescanPictures(dialog);
}

void OnEffectsButton(HWND dialog)
{
    // A rescan still waiting would replace the catalogue under the effects dialog, whose
    // previews pump messages; it runs now instead, so the count tested is the folder's.
    const bool pending = g_settings.scanPending;
    StopScanTimer(dialog);
    if (pending) DelayedRescan(dialog);
    if (PictureCount < 2) {
        MessageBoxA(dialog, "First set the path to a folder containing at least 2 image files   ", "Velmora",
                    MB_OK | MB_ICONWARNING);
        return;
    }
    SequencePosition = 0;
    // A Unicode window, so its path line can show a name of any letters.
    DialogBoxParamW(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE)),
                    MAKEINTRESOURCEW(IDD_EFFECTS), dialog, EffectsDialogProc, 0);
    ShowEffectsLine(dialog);
}

void EndSettingsDialog(HWND dialog, BOOL saved)
{
    ReleaseBackBuffer();
    StopScanTimer(dialog);
    FreePictures();
    DeletePicturePalette();
    if (g_settings.comStarted) CoUninitialize();
    g_settings.comStarted = false;
    EndDialog(dialog, saved);
}

// The settings file could not be written: the user is told which file, and the dialog
// stays open to try again or cancel.
void ReportSaveFailure(HWND dialog)
{
    char path[MAX_PATH + 16];
    if (!SettingsFilePath(path, sizeof path)) lstrcpynA(path, "ss_velmo.ini", sizeof path);
    char text[sizeof path + 256];
    std::snprintf(text, sizeof text,
                  "The settings could not be saved, because this file could not be written:\n\n%s\n\n"
                  "Check that the file is not read-only, that you may write to its folder and that "
                  "the disk is not full, then press OK again; or press Cancel to leave the settings "
                  "as they were.",
                  path);
    MessageBoxA(dialog, text, "Velmora", MB_OK | MB_ICONERROR);
}

void OnOk(HWND dialog)
{
    char x[kPathSize], y[kPathSize], delay[kPathSize], folder[kPathSize];
    GetDlgItemTextA(dialog, IDC_MIN_X, x, sizeof x);
    GetDlgItemTextA(dialog, IDC_MIN_Y, y, sizeof y);
    GetDlgItemTextA(dialog, IDC_DELAY, delay, sizeof delay);
    ReadFolderField(dialog, folder);
    if (SaveSettings(x, y, delay, folder))
        EndSettingsDialog(dialog, TRUE);
    else
        ReportSaveFailure(dialog);
}

INT_PTR OnCommand(HWND dialog, int id, int code)
{
    switch (id) {
    case IDOK:
        OnOk(dialog);
        return TRUE;
    case IDCANCEL:
        EndSettingsDialog(dialog, FALSE);
        return TRUE;
    case IDC_FOLDER:
    case IDC_MIN_X:
    case IDC_MIN_Y:
        if (code == EN_CHANGE) OnFieldChange(dialog);
        return FALSE;
    case IDC_BROWSE:
        OnBrowse(dialog);
        return FALSE;
    case IDC_EFFECTS_BUTTON:
        OnEffectsButton(dialog);
        return FALSE;
    case IDC_HELP_BUTTON:
        OpenHelp(dialog);
        return FALSE;
    }
    if (const CheckBoxRule* rule = FindCheckBox(id))
        if (code == BN_CLICKED) OnCheckBox(dialog, *rule);
    return FALSE;
}

}  // namespace

extern "C" __declspec(dllexport) INT_PTR WINAPI ScreenSaverConfigureDialog(HWND dialog, UINT message,
                                                                       WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_TIMER:
        if (wParam == kScanTimer) DelayedRescan(dialog);
        return FALSE;
    case WM_VSCROLL:
        if (LOWORD(wParam) == SB_ENDSCROLL) return TRUE;
        OnDelayArrow(dialog, LOWORD(wParam));
        return FALSE;
    }
    return FALSE;
}
