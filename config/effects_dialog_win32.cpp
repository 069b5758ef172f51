// The effects dialog: switches, arrows and the live preview. A preview pumps messages
// between its frames, so this dialog's own commands can arrive in the middle of one; the
// preview gate decides which of them wait for its end.
#include "config/effects_dialog_win32.h"

#include "base/handles_win32.h"
#include "base/settings.h"
#include "base/settings_win32.h"
#include "config/dialog_controls_win32.h"
#include "config/preview_rules.h"
#include "effects/framework.h"
#include "effects/framework_win32.h"
#include "pictures/catalogue.h"
#include "pictures/catalogue_win32.h"
#include "pictures/loading_win32.h"
#include "pictures/order.h"
#include "resources/resource_ids.h"

namespace {

constexpr int kPreviewWidth = 480;
constexpr int kPreviewHeight = 360;
constexpr int kFrameMargin = 2;

struct EffectsDialog {
    int32_t previewNumber = 1;  // the effect the dialog is showing
    PreviewGate gate;
};
EffectsDialog g_effects;

void Resize(HWND control, int width, int height)
{
    SetWindowPos(control, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TakePreviewSize(HWND preview)
{
    RECT area = {};
    GetWindowRect(preview, &area);
    SetShowArea(area.right - area.left, area.bottom - area.top);
}

// The "Enabled" box shows the switch of the effect the dialog is showing.
void ShowSwitch(HWND dialog)
{
    CheckDlgButton(dialog, IDC_EFFECT_ENABLED, EffectEnabled(g_effects.previewNumber) ? BST_CHECKED : BST_UNCHECKED);
}

void ShowEnabledCount(HWND dialog) { ShowEnabledEffects(dialog, IDC_ENABLED_COUNT, FormatEnabledCount); }

void SetAllSwitches(HWND dialog, int32_t value)
{
    for (int n = 1; n <= kEffectSwitches; ++n) ShowSettings.enable[n] = value;
    ShowSwitch(dialog);
    ShowEnabledCount(dialog);
}

void OnInit(HWND dialog)
{
    g_effects = EffectsDialog();
    HWND preview = GetDlgItem(dialog, IDC_PREVIEW);
    Resize(preview, kPreviewWidth, kPreviewHeight);
    Resize(GetDlgItem(dialog, IDC_PREVIEW_FRAME), kPreviewWidth + 2 * kFrameMargin,
           kPreviewHeight + 2 * kFrameMargin);
    TakePreviewSize(preview);
    {
        WindowDc dc(preview);
        CreateBackBuffer(dc.Get());
    }
    // The colour depth stays unmeasured (0) here, so previews take the palette path.
    SetNumber(dialog, IDC_EFFECT_NUMBER, g_effects.previewNumber);
    ShowSwitch(dialog);
    ShowEnabledCount(dialog);
}

void Close(HWND dialog)
{
    ReleaseBackBuffer();
    EndDialog(dialog, 0);
}

// Runs previews until none is asked for any longer; closes the dialog when "Done" came
// during one.
void OnShowEffect(HWND dialog)
{
    if (!g_effects.gate.Admit(PreviewInput::ShowEffect)) return;
    AfterPreview next;
    do {
        char text[4];  // the first three characters
        GetDlgItemTextA(dialog, IDC_EFFECT_NUMBER, text, sizeof text);
        g_effects.previewNumber = EffectNumberFromText(text);
        CurrentEffect = g_effects.previewNumber;
        // The field and the box then name the effect shown, which the box switches.
        SetNumber(dialog, IDC_EFFECT_NUMBER, g_effects.previewNumber);
        ShowSwitch(dialog);
        g_effects.gate.Begin();
        ShowEffectPreview(GetDlgItem(dialog, IDC_PREVIEW), GetDlgItem(dialog, IDC_PREVIEW_PATH));
        next = g_effects.gate.End();
    } while (next == AfterPreview::Preview);
    if (next == AfterPreview::Close) Close(dialog);
}

void OnArrow(HWND dialog, int code)
{
    g_effects.previewNumber = StepEffectNumber(g_effects.previewNumber, ArrowOf(code));
    SetNumber(dialog, IDC_EFFECT_NUMBER, g_effects.previewNumber);
    ShowSwitch(dialog);
}

}  // namespace

void ShowEffectPreview(HWND preview, HWND pathLine)
{
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, IDC_WAIT));
    TakePreviewSize(preview);
    SetCurrentDirectoryW(FolderOfSetting(ShowSettings.dir).c_str());
    const PreviewStep step = NextPreviewPicture(SequencePosition, PictureCount);
    SequencePosition = step.next;
    if (step.index < 0) {
        SetWindowTextA(pathLine, "");
    } else {
        lstrcpynA(CurrentPath, PictureList[step.index]->path, kLongPathSize);
        SetWindowTextW(pathLine, TextOf(CurrentPath).c_str());
        if (HBITMAP picture = LoadAndFitPicture(preview)) {
            RunTransition(picture, preview);
            DeleteObject(picture);
        }
    }
    SetCursor(previous);
}

INT_PTR WINAPI EffectsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInit(dialog);
        return TRUE;
    case WM_VSCROLL:
        OnArrow(dialog, LOWORD(wParam));
        return FALSE;
    case WM_COMMAND:
        if (HIWORD(wParam) != BN_CLICKED) break;
        switch (LOWORD(wParam)) {
        case IDCANCEL:
            if (g_effects.gate.Admit(PreviewInput::Done)) Close(dialog);
            return TRUE;
        case IDC_SHOW_EFFECT:
            OnShowEffect(dialog);
            return TRUE;
        case IDC_EFFECT_ENABLED: {
            const int state = FlippedCheck(int(IsDlgButtonChecked(dialog, IDC_EFFECT_ENABLED)));
            CheckDlgButton(dialog, IDC_EFFECT_ENABLED, UINT(state));
            ShowSettings.enable[g_effects.previewNumber] = state;
            ShowEnabledCount(dialog);
            return FALSE;
        }
        case IDC_ENABLE_ALL:
            SetAllSwitches(dialog, 1);
            return FALSE;
        case IDC_DISABLE_ALL:
            SetAllSwitches(dialog, 0);
            return FALSE;
        }
        break;
    }
    return FALSE;
}
