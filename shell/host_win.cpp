// The engine's host interface on Win32: windows, messages, input, dialogs
// and start-up services. Drawing is in the renderer's half (host_win.h).
#include "shell/host_win.h"

#include <ctime>

#include "audio/midi.h"
#include "audio/sound.h"
#include "engine/game.h"
#include "prefs/prefs.h"
#include "render/render_win.h"
#include "render/screen.h"
#include "scores/leveldone_win.h"
#include "scores/scores_win.h"
#include "shell/app.h"

static HWND PanelWindow() {
    return (HWND)game.hwndPanel;
}

static int HostPlayGameSound(const char* szName, int bAsync) {
    return PlayGameSound(szName, bAsync) != NULL;
}
static int HostPlayBeep(int nType) {
    return MessageBeep((UINT)nType) != 0;
}
static int HostMIDIFindFiles() {
    return MIDIFindFiles(hwndMain);
}
static int HostMIDIStart(int nTrack) {
    return MIDIStartTrack(hwndMain, nTrack);
}
static int HostMIDINext(HostWindow hwndNotify) {
    return MIDINext(hwndNotify);
}
static int HostMIDIStop() {
    return MIDIStop();
}

static int HostSendPanel(int nMsg, uint32_t wParam, int32_t lParam) {
    if (!PanelWindow()) return 0;
    SendMessageA(PanelWindow(), (UINT)nMsg, (WPARAM)wParam, (LPARAM)lParam);
    return 1;
}

static int HostPostResolveLines() {
    return PostMessageA(hwndMain, WM_RESOLVELINES, 0, 0) != 0;
}

static int HostSendCommand(int nId) {
    SendMessageA(hwndMain, WM_COMMAND, (WPARAM)nId, 0);
    return 1;
}

static int HostSendPlayTimer() {
    SendMessageA(hwndMain, WM_TIMER, PLAY_TIMER_ID, 0);
    return 1;
}

static int HostStartPlayTimer() {
    return SetTimer(hwndMain, PLAY_TIMER_ID, PLAY_TIMER_MS, NULL) != 0;
}

static int HostMinimizeMain() {
    ShowWindow(hwndMain, SW_MINIMIZE);
    return 1;
}

static int HostInvalidateMain(int bErase) {
    return InvalidateRect(hwndMain, NULL, bErase) != 0;
}

static int HostInvalidatePanel(int bErase) {
    return PanelWindow() && InvalidateRect(PanelWindow(), NULL, bErase);
}

// The side panel is part of the main window's picture: it is brought up to
// date with it.
static int HostUpdateMainAndPanel() {
    int bDone = UpdateWindow(hwndMain) != 0;
    if (PanelWindow()) UpdateWindow(PanelWindow());
    return bDone;
}

static int HostShowPanel() {
    if (!PanelWindow()) return 0;
    ShowWindow(PanelWindow(), SW_SHOWNORMAL);
    return 1;
}

static int HostIsCtrlDown() {
    return (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
}
// Kept from WM_ACTIVATE: asking the system costs a round trip under Wine.
static int HostIsMainActive() {
    return bMainActive;
}

static int HostShowLevelDoneDlg() {
    return ShowLevelDoneDlg(hwndMain);
}
static int HostShowGameOverDlg() {
    return ShowGameOverDlg(hwndMain);
}
static int HostCheckHighScore() {
    return CheckHighScore(hwndMain);
}
static int HostShowWinGameDlg() {
    return ShowWinGameDlg(hwndMain);
}
static int HostShowHiScoreDlg() {
    return ShowHiScoreDlg(hwndMain);
}

static int HostLoadStringText(int nId, char* szBuf, int cchBuf) {
    return LoadStringA(hInst, (UINT)nId, szBuf, cchBuf);
}

static int HostLoadPrefs() {
    return LoadPrefs();
}
static int64_t HostTimeNow() {
    return (int64_t)time(NULL);
}

static const GameHost kWin32Host = {
    .PlayGameSound = HostPlayGameSound,
    .PlayBeep = HostPlayBeep,
    .MIDIFindFiles = HostMIDIFindFiles,
    .MIDIStart = HostMIDIStart,
    .MIDINext = HostMIDINext,
    .MIDIStop = HostMIDIStop,
    .BeginDrawing = ScreenBeginDrawing,
    .EndDrawing = ScreenEndDrawing,
    .DrawBins = ScreenDrawBins,
    .DrawPaddleStack = ScreenDrawPaddleStack,
    .ErasePaddleStack = ScreenErasePaddleStack,
    .StartPaddleFlash = ScreenStartPaddleFlash,
    .PaddleLightTick = ScreenPaddleLightTick,
    .DrawTileFrame = ScreenDrawTileFrame,
    .DrawTileErase = ScreenDrawTileErase,
    .DrawFlatTile = ScreenDrawFlatTile,
    .DrawGoalPicture = ScreenDrawGoalPicture,
    .ShowPauseLogo = ShowPauseLogo,
    .BlankRect = ScreenBlankRect,
    .SendPanel = HostSendPanel,
    .PostResolveLines = HostPostResolveLines,
    .SendCommand = HostSendCommand,
    .SendPlayTimer = HostSendPlayTimer,
    .StartPlayTimer = HostStartPlayTimer,
    .MinimizeMain = HostMinimizeMain,
    .InvalidateMain = HostInvalidateMain,
    .InvalidatePanel = HostInvalidatePanel,
    .UpdateMainAndPanel = HostUpdateMainAndPanel,
    .ShowPanel = HostShowPanel,
    .IsCtrlDown = HostIsCtrlDown,
    .IsMainActive = HostIsMainActive,
    .ShowLevelDoneDlg = HostShowLevelDoneDlg,
    .ShowGameOverDlg = HostShowGameOverDlg,
    .CheckHighScore = HostCheckHighScore,
    .ShowWinGameDlg = HostShowWinGameDlg,
    .ShowHiScoreDlg = HostShowHiScoreDlg,
    .LoadStringText = HostLoadStringText,
    .LoadPrefs = HostLoadPrefs,
    .LoadCreditsBitmap = HostLoadCreditsBitmap,
    .TimeNow = HostTimeNow,
};

void HostInstallWin32() {
    HostInstall(&kWin32Host);
    ScreenInstall(&kScreenWin32);
}
