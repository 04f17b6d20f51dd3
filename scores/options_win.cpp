// The options dialog "OPTIONSDLG" on Win32.
#include <windows.h>

#include "audio/midi.h"
#include "audio/sound.h"
#include "prefs/prefs.h"
#include "render/render_win.h"
#include "resources/resource.h"
#include "scores/options.h"
#include "shell/app.h"
#include "shell/dialogs.h"

int (*pfnOptionsHasMIDIDevice)() = MIDIDeviceReady;
int (*pfnOptionsHasWaveDevice)() = HasWaveDevice;
int (*pfnOptionsTooltipsCreate)(HostWindow hwndDlg);
int (*pfnOptionsTooltipsDestroy)();
int (*pfnOptionsTooltipText)(void* pNotifyHeader);

static int WinAttachMenu(int bOn) {
    int bDone = SetMenu(hwndMain, bOn ? hMainMenu : NULL) != 0;
    MainWindowFitClient(hwndMain);
    return bDone;
}
static int WinSavePrefs() {
    return SavePrefs();
}
static int WinRepaintMain() {
    if (!hwndMain) return 0;
    InvalidateRect(hwndMain, NULL, TRUE);
    UpdateWindow(hwndMain);
    return 1;
}
static const OptionsActions kWinActions = {
    .AttachMenu = WinAttachMenu,
    .SavePrefs = WinSavePrefs,
    .RepaintMain = WinRepaintMain,
};

static const COLORREF kTitleBlue = RGB(0, 0, 255);

// What the dialog remembered as it opened (one opening at a time).
static OptionsOpening openingNow;

static void BoxSet(HWND hwndDlg, int nId, const OptionsBox& box) {
    if (box.bEnabled)
        CheckDlgButton(hwndDlg, nId, box.bChecked ? BST_CHECKED : BST_UNCHECKED);
    else
        EnableWindow(GetDlgItem(hwndDlg, nId), FALSE);
}

static int Ticked(HWND hwndDlg, int nId) {
    return IsDlgButtonChecked(hwndDlg, nId) == BST_CHECKED;
}

static void OptionsOpen(HWND hwndDlg) {
    OptionsView view = OptionsViewFor(pfnOptionsHasMIDIDevice(), pfnOptionsHasWaveDevice());
    openingNow = OptionsRemember();
    CheckDlgButton(hwndDlg, IDC_OPT_USEMENU, view.useMenu.bChecked ? BST_CHECKED : BST_UNCHECKED);
    CenterWindow(hwndDlg);
    if (hfontDialog) {
        static const int kTitles[3] = {IDC_OPT_SPEEDTITLE, IDC_OPT_SOUNDTITLE, IDC_OPT_MISCTITLE};
        for (int nId : kTitles)
            SendDlgItemMessageA(hwndDlg, nId, WM_SETFONT, (WPARAM)hfontDialog, TRUE);
    }
    BoxSet(hwndDlg, IDC_OPT_MUSIC, view.music);
    BoxSet(hwndDlg, IDC_OPT_CONTINUOUS, view.continuous);
    BoxSet(hwndDlg, IDC_OPT_SOUND, view.sound);
    CheckRadioButton(hwndDlg, IDC_OPT_SLOW, IDC_OPT_INSANE, view.nSpeedRadio);
    CheckDlgButton(hwndDlg, IDC_OPT_PATTERNS, view.patterns.bChecked ? BST_CHECKED : BST_UNCHECKED);
    if (pfnOptionsTooltipsCreate) pfnOptionsTooltipsCreate(hwndDlg);
}

static void OptionsClose(HWND hwndDlg) {
    if (pfnOptionsTooltipsDestroy) pfnOptionsTooltipsDestroy();
    EndDialog(hwndDlg, 1);
}

static void OptionsOk(HWND hwndDlg) {
    OptionsChoice choice{};
    choice.nSpeedRadio = 0;
    for (int nId = IDC_OPT_SLOW; nId <= IDC_OPT_INSANE; nId++)
        if (Ticked(hwndDlg, nId)) choice.nSpeedRadio = nId;
    choice.bSound = Ticked(hwndDlg, IDC_OPT_SOUND);
    choice.bMusic = Ticked(hwndDlg, IDC_OPT_MUSIC);
    choice.bContinuous = Ticked(hwndDlg, IDC_OPT_CONTINUOUS);
    choice.bUseMenu = Ticked(hwndDlg, IDC_OPT_USEMENU);
    choice.bPatterns = Ticked(hwndDlg, IDC_OPT_PATTERNS);
    OptionsApply(choice, openingNow, kWinActions);
    OptionsClose(hwndDlg);
}

static void OptionsPaint(HWND hwndDlg) {
    PAINTSTRUCT ps;
    HDC hdcPaint = BeginPaint(hwndDlg, &ps);
    RECT rcClient = ZoomDesignClient(hwndDlg);
    ZoomCanvas canvas;
    HDC hdc = ZoomCanvasBegin(&canvas, hdcPaint, hwndDlg, rcClient, NULL);
    FillRect(hdc, &rcClient, (HBRUSH)GetStockObject(LTGRAY_BRUSH));
    static const int kFrames[4] = {IDC_OPT_SPEEDBOX, IDC_OPT_MISCBOX, IDC_OPT_SOUNDBOX,
                                   IDC_OPT_BUTTONBAND};
    for (int nId : kFrames) {
        RECT rc;
        if (!FrameControlRect(hwndDlg, nId, &rc)) continue;
        DrawExtrudedFrame(hdc, rc, 10, 0);
        InflateRect(&rc, -1, -1);
        FillRect(hdc, &rc, (HBRUSH)GetStockObject(WHITE_BRUSH));
    }
    ZoomCanvasEnd(&canvas);
    EndPaint(hwndDlg, &ps);
}

static INT_PTR ControlColour(HDC hdc, HWND hwndControl) {
    int nId = GetDlgCtrlID(hwndControl);
    int bTitle = nId == IDC_OPT_SPEEDTITLE || nId == IDC_OPT_SOUNDTITLE || nId == IDC_OPT_MISCTITLE;
    SetTextColor(hdc, bTitle ? kTitleBlue : RGB(0, 0, 0));
    SetBkColor(hdc, RGB(255, 255, 255));
    return (INT_PTR)GetStockObject(WHITE_BRUSH);
}

static INT_PTR CALLBACK OptionsDlgProc(HWND hwndDlg, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_INITDIALOG: OptionsOpen(hwndDlg); return TRUE;
    case WM_PAINT: OptionsPaint(hwndDlg); return TRUE;
    case WM_CTLCOLORDLG: return DialogGreyColour((HDC)wParam, RGB(0, 0, 0));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: return ControlColour((HDC)wParam, (HWND)lParam);
    case WM_RBUTTONDOWN: ShowCloseMenu(hwndDlg); return TRUE;
    case WM_NOTIFY:
        if (pfnOptionsTooltipText) pfnOptionsTooltipText((void*)lParam);
        return TRUE;
    case WM_COMMAND: {
        int nId = LOWORD(wParam);
        if (nId >= IDC_OPT_SLOW && nId <= IDC_OPT_INSANE) {
            CheckRadioButton(hwndDlg, IDC_OPT_SLOW, IDC_OPT_INSANE, nId);
            return TRUE;
        }
        if (nId == IDOK) {
            OptionsOk(hwndDlg);
            return TRUE;
        }
        if (nId == IDCANCEL) {
            OptionsClose(hwndDlg);
            return TRUE;
        }
        return FALSE;
    }
    default: return FALSE;
    }
}

int ShowOptionsDlg(HostWindow hwndOwner) {
    ZoomDialogBox(DialogInstance(), "OPTIONSDLG", (HWND)hwndOwner, OptionsDlgProc, 0);
    return 1;
}
