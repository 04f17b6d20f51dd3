// The command table of the main window: menus, buttons, accelerators and the
// engine's command keys all arrive here.
#include "shell/commands.h"

#include "audio/midi.h"
#include "audio/sound.h"
#include "engine/game.h"
#include "engine/play.h"
#include "prefs/prefs.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "scores/options.h"
#include "scores/warpdlg_win.h"
#include "scores/scores_win.h"
#include "shell/about.h"
#include "shell/app.h"
#include "shell/dialogs.h"
#include "shell/display.h"
#include "shell/help.h"

int(WINAPI* pfnAskMessageBox)(HWND hwnd, const char* szText, const char* szCaption,
                              UINT uType) = MessageBoxA;

int AskYesNo(HWND hwnd, const char* szText) {
    return pfnAskMessageBox(hwnd, szText, szAppCaption, MB_ICONQUESTION | MB_YESNO) == IDYES;
}

void PaddleRedraw() {
    ScreenDrawPaddleStack();
}

static LRESULT CommandNewGame(HWND hwnd) {
    if (game.bGameRunning) {
        SetPause(1);
        if (!AskYesNo(hwnd, "Are you sure you want to start a new game?")) return 0;
    }
    GameNew(0);
    pHost->PlayGameSound("NEWGAME", 1);
    SetFocus(hwnd);
    SendMessageA(hwnd, WM_KEYUP, VK_CONTROL, 0);
    // Start through the ordinary resume path of the pause key.
    game.bPaused = 1;
    SendMessageA(hwnd, WM_KEYDOWN, VK_SPACE, 0);
    return 1;
}

// A successful warp starts a fresh game at the level the dialog chose.
static void CommandWarp(HWND hwnd) {
    SetPause(1);
    if (ShowWarpDlg(hwnd) == 1) {
        GameNew(1);
        SetFocus(hwnd);
        SendMessageA(hwnd, WM_KEYUP, VK_CONTROL, 0);
    }
    PaddleRedraw();
}

static LRESULT CommandAbout(HWND hwnd) {
    SetPause(1);
    ShowAboutDlg(hwnd);
    return 1;
}

static LRESULT CommandHelp(HWND hwnd) {
    SetPause(1);
    ShowHelp(hwnd);
    PaddleRedraw();
    return 1;
}

int QuitConfirmed(HWND hwnd) {
    if (game.bGameRunning) {
        SetPause(1);
        if (!AskYesNo(hwnd, "Are you sure you want to quit?")) {
            SetPause(0);
            PaddleRedraw();
            return 0;
        }
    }
    // The window goes: nothing after this sees a game running in it.
    game.bPaused = 1;
    game.bGameRunning = 0;
    return 1;
}

static LRESULT CommandQuit(HWND hwnd, int* pbPassOn) {
    if (!QuitConfirmed(hwnd)) return 1;
    DestroyWindow(hwnd);
    *pbPassOn = 1;
    return 1;
}

static LRESULT CommandAbort(HWND hwnd) {
    if (!game.bGameRunning) return 1;
    SetPause(1);
    if (!AskYesNo(hwnd, "Abort current game?")) {
        PaddleRedraw();
        return 1;
    }
    game.nCreditsOffset = 0;
    game.bGameRunning = 0;
    InvalidateRect(hwnd, NULL, FALSE);
    UpdateWindow(hwnd);
    return 1;
}

static LRESULT CommandOptions(HWND hwnd) {
    SetPause(1);
    ShowOptionsDlg(hwnd);
    PaddleRedraw();
    return 1;
}

static LRESULT CommandScores(HWND hwnd) {
    SetPause(1);
    ShowHiScoreDlg(hwnd);
    PaddleRedraw();
    return 1;
}

static LRESULT CommandClearScores(HWND hwnd) {
    SetPause(1);
    ClearHighScores(hwnd);
    PaddleRedraw();
    return 1;
}

LRESULT CommandRun(HWND hwnd, int nId, int* pbPassOn) {
    *pbPassOn = 0;
    if (DisplayCommand(hwnd, nId)) return 1;
    switch (nId) {
    case IDM_NEWGAME: return CommandNewGame(hwnd);
    case IDM_OPTIONS: return CommandOptions(hwnd);
    case IDM_SCORES: return CommandScores(hwnd);
    case IDM_WARP:
        CommandWarp(hwnd);
        *pbPassOn = 1;
        return 1;
    case IDM_HELP: return CommandHelp(hwnd);
    case IDM_QUIT: return CommandQuit(hwnd, pbPassOn);
    case IDM_ABORT: return CommandAbort(hwnd);
    case IDM_MUSIC: return MIDIToggleMusic(hwnd);
    case IDM_SOUND: prefs.bSound = !prefs.bSound; return 1;
    case IDM_ABOUT: return CommandAbout(hwnd);
    case IDM_CLEARSCORES: return CommandClearScores(hwnd);
    case IDM_PAUSE: SetPause(game.bPaused ? 0 : 1); return 1;
    case IDM_MUSICDEV_BUILTIN: MIDIDeviceSelect(hwnd, MIDI_DEVICE_BUILTIN); return 1;
    case IDM_MUSICDEV_SYSTEM: MIDIDeviceSelect(hwnd, MIDI_DEVICE_SYSTEM); return 1;
    default: *pbPassOn = 1; return 0;
    }
}

static void MenuItemSet(HMENU hMenu, UINT uId, int bEnabled, int bChecked) {
    EnableMenuItem(hMenu, uId, MF_BYCOMMAND | (bEnabled ? MF_ENABLED : MF_GRAYED));
    CheckMenuItem(hMenu, uId, MF_BYCOMMAND | (bChecked ? MF_CHECKED : MF_UNCHECKED));
}

// The "Music Device" items: the device that plays checked, a device the
// system cannot play through greyed.
static void MusicDeviceMenuSet(HMENU hMenu) {
    int nDevice = MIDIDeviceInstalled();
    MenuItemSet(hMenu, IDM_MUSICDEV_BUILTIN, MIDIBuiltInAvailable(),
                nDevice == MIDI_DEVICE_BUILTIN);
    MenuItemSet(hMenu, IDM_MUSICDEV_SYSTEM, HasMIDIDevice(), nDevice == MIDI_DEVICE_SYSTEM);
}

int MusicDeviceMenuInsert(HMENU hMenu, int nPos) {
    HMENU hSub = CreatePopupMenu();
    if (!hSub) return 0;
    AppendMenuA(hSub, MF_STRING, IDM_MUSICDEV_BUILTIN, "Built-in Synthesizer");
    AppendMenuA(hSub, MF_STRING, IDM_MUSICDEV_SYSTEM, "System MIDI");
    MusicDeviceMenuSet(hSub);
    return InsertMenuA(hMenu, (UINT)nPos, MF_BYPOSITION | MF_POPUP, (UINT_PTR)hSub, "Music Device")
               ? 1
               : 0;
}

void MenuUpdate(HWND hwnd) {
    if (game.bGameRunning) SetPause(1);
    EnableMenuItem(GetSystemMenu(hwnd, FALSE), 0, MF_BYPOSITION | MF_ENABLED);
    MenuItemSet(hMainMenu, IDM_PAUSE, game.bGameRunning, game.bGameRunning && game.bPaused);
    if (!prefs.bUseMenu) return;
    int bMusicAvailable = MIDIAvailable(pfnOptionsHasMIDIDevice());
    int bSoundAvailable = pfnOptionsHasWaveDevice();
    MenuItemSet(hMainMenu, IDM_MUSIC, bMusicAvailable, bMusicAvailable && prefs.bMusic);
    MenuItemSet(hMainMenu, IDM_SOUND, bSoundAvailable, bSoundAvailable && prefs.bSound);
    MenuItemSet(hMainMenu, IDM_ABORT, game.bGameRunning, 0);
    MusicDeviceMenuSet(hMainMenu);
}

void ContextMenuShow(HWND hwnd) {
    POINT pt;
    GetCursorPos(&pt);
    ContextMenuShowAt(hwnd, pt);
}

void ContextMenuShowAt(HWND hwnd, POINT pt) {
    if (game.bGameRunning) SetPause(1);
    HMENU hMenu = CreatePopupMenu();
    if (!hMenu) return;
    AppendMenuA(hMenu, MF_STRING, IDM_NEWGAME, "&New");
    AppendMenuA(hMenu, MF_STRING, IDM_OPTIONS, "&Options");
    AppendMenuA(hMenu, MF_STRING, IDM_SCORES, "&Scores");
    AppendMenuA(hMenu, MF_STRING, IDM_WARP, "&Warp");
    AppendMenuA(hMenu, MF_STRING, IDM_HELP, "&Help");
    AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
    if (game.bGameRunning) {
        AppendMenuA(hMenu, MF_STRING, IDM_ABORT, "&Abort current game");
        AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
    }
    AppendMenuA(hMenu, MF_STRING, IDM_CLEARSCORES, "&Clear High Scores");
    AppendMenuA(hMenu, MF_STRING, IDM_ABOUT, "&About...");
    DisplayAppendSizeMenu(hwnd, hMenu);
    MusicDeviceMenuInsert(hMenu, -1);
    AppendMenuA(hMenu, MF_SEPARATOR, 0, NULL);
    AppendMenuA(hMenu, MF_STRING, IDM_QUIT, "&Quit\tAlt+F4");
    TrackPopupMenu(hMenu, TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd, NULL);
    DestroyMenu(hMenu);
}

void ShutdownGame(HWND hwnd) {
    KillTimer(hwnd, PLAY_TIMER_ID);
    FreeBitmaps();
    if (hfontPanel) DeleteObject(hfontPanel);
    if (hfontDialog) DeleteObject(hfontDialog);
    hfontPanel = hfontDialog = NULL;
    if (!prefs.bUseMenu && hMainMenu) DestroyMenu(hMainMenu);
    hMainMenu = NULL;
    if (hcurFinger) DestroyCursor(hcurFinger);
    hcurFinger = NULL;
    SoundShutdown();
    pHost->MIDIStop();
    ZoomSurfacesFree();
    DisplayFree();
    PostQuitMessage(0);
}
