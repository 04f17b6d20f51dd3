// Start-up of the program and its message loop.
#include "shell/app.h"

#include <commctrl.h>

#include "audio/midi.h"
#include "engine/game.h"
#include "prefs/ini_win.h"
#include "prefs/prefs.h"
#include "shell/buttons.h"
#include "shell/commands.h"
#include "shell/dialogs.h"
#include "shell/display.h"
#include "shell/pad_win.h"
#include "shell/tooltips.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "scores/options.h"
#include "scores/panel_win.h"
#include "scores/scores_win.h"

MainWindowShape MainWindowShapeFor(int nDesktopWidth, int nDesktopHeight, int nCaptionHeight) {
    MainWindowShape shape;
    shape.nWidth = APP_WIDTH;
    if (nDesktopWidth > APP_WIDTH && nDesktopHeight > APP_HEIGHT) {
        shape.dwStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
        shape.nHeight = APP_HEIGHT + nCaptionHeight;
    } else {
        shape.dwStyle = WS_POPUP | WS_BORDER | WS_SYSMENU;
        shape.nHeight = APP_HEIGHT;
    }
    return shape;
}

// The playfield is laid out for a client area of 640 x 480. A window with a
// caption is sized around that area, whatever the height of the menu bar and
// the thickness of the frame on this system, so the bins' bottom row and the
// frames below it are never cut off. The captionless window of a small screen
// keeps the screen's size.
int MainWindowFitClient(HWND hwnd) {
    if (!hwnd || IsIconic(hwnd)) return 0;
    if (DisplayIsFullScreen()) {
        // Full screen has no menu bar, whatever the options say.
        if (GetMenu(hwnd)) SetMenu(hwnd, NULL);
        return 0;
    }
    if ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION) return 0;
    RECT rcWindow, rcClient;
    GetWindowRect(hwnd, &rcWindow);
    GetClientRect(hwnd, &rcClient);
    const int nClientW = ZoomToClient(APP_WIDTH), nClientH = ZoomToClient(APP_HEIGHT);
    if (rcClient.right == nClientW && rcClient.bottom == nClientH) return 0;
    int nWidth = rcWindow.right - rcWindow.left + nClientW - rcClient.right;
    int nHeight = rcWindow.bottom - rcWindow.top + nClientH - rcClient.bottom;
    SetWindowPos(hwnd, NULL, 0, 0, nWidth, nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 1;
}

static int AppRegisterClass() {
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    wc.lpfnWndProc = MainWndProc;
    wc.hInstance = hInst;
    wc.hIcon = LoadIconA(hInst, "MAINICON");
    wc.hCursor = NULL;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    wc.lpszClassName = szAppClass;
    return RegisterClassA(&wc) != 0;
}

static HWND AppCreateMainWindow() {
    RECT rcDesktop;
    GetWindowRect(GetDesktopWindow(), &rcDesktop);
    MainWindowShape shape =
        MainWindowShapeFor(rcDesktop.right, rcDesktop.bottom, GetSystemMetrics(SM_CYCAPTION));
    return CreateWindowExA(0, szAppClass, szAppCaption, shape.dwStyle, 0, 0, shape.nWidth,
                           shape.nHeight, NULL, NULL, hInst, NULL);
}

// Every message of the thread passes the accelerators first, so Alt+N and
// friends reach the main window even while a button has the focus.
void AppDispatch(MSG* pMsg) {
    if (TranslateAcceleratorA(hwndMain, hAccelTable, pMsg)) return;
    TranslateMessage(pMsg);
    DispatchMessageA(pMsg);
}

static int AppMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0)) AppDispatch(&msg);
    return (int)msg.wParam;
}

// Shows the running copy's window in its normal size and in front; 1 if
// there was one. Neither call waits for that copy, so one that hangs cannot
// hang this one too.
static int AppHandOver(HWND hwndRunning) {
    if (!hwndRunning) return 0;
    ShowWindowAsync(hwndRunning, SW_SHOWNORMAL);
    SetForegroundWindow(hwndRunning);
    return 1;
}

// A copy that is not the first one waits for the first copy's window (shown,
// or at least made) and hands over to it. Should the first copy end instead,
// its mutex comes free and this copy goes on as the running one: 0.
static int AppWaitAndHandOver(HANDLE hMutex) {
    DWORD dwStart = GetTickCount();
    for (;;) {
        HWND hwndRunning = FindWindowA(szAppClass, NULL);
        int bTimeUp = GetTickCount() - dwStart >= APP_HANDOVER_WAIT_MS;
        if (hwndRunning && (IsWindowVisible(hwndRunning) || bTimeUp))
            return AppHandOver(hwndRunning);
        // No window yet (the first copy may be asking about a small screen):
        // leave it be.
        if (bTimeUp) return 1;
        DWORD dwWait = WaitForSingleObject(hMutex, APP_HANDOVER_POLL_MS);
        if (dwWait == WAIT_OBJECT_0 || dwWait == WAIT_ABANDONED) return 0;
    }
}

// A screen below 640 x 480 shows only part of the game: ask first.
static int AppAskSmallScreen() {
    static const char szText[] = "Quarrion was designed to run on "
                                 "VGA displays with a minimum of 640 x 480 resolution."
                                 "  If you continue to play, please be advised that a "
                                 "portion of the game screen may not be visible.\n\n"
                                 "Continue the game?";
    return MessageBoxA(NULL, szText, "Video Display Resolution Too Small", MB_YESNO) == IDYES;
}

// The options dialog explains its controls with the shell's tooltips.
static void AppHookOptionsTooltips() {
    pfnOptionsTooltipsCreate = [](HostWindow hwndDlg) {
        return CreateOptionsTooltips((HWND)hwndDlg);
    };
    pfnOptionsTooltipsDestroy = DestroyOptionsTooltips;
    pfnOptionsTooltipText = [](void* pHeader) { return OptionsTooltipText((NMHDR*)pHeader); };
}

// The system menu gets the About item below the platform's own.
static void AppExtendSystemMenu() {
    HMENU hSysMenu = GetSystemMenu(hwndMain, FALSE);
    if (!hSysMenu) return;
    AppendMenuA(hSysMenu, MF_SEPARATOR, 0, NULL);
    DisplayAppendSizeMenu(hwndMain, hSysMenu);
    AppendMenuA(hSysMenu, MF_STRING, IDM_ABOUT, "&About...");
}

// The menu bar's Settings menu gets "Window Size" below "Options..." and
// "Music Device" below "Music".
static void AppExtendSettingsMenu() {
    HMENU hSettings = hMainMenu ? GetSubMenu(hMainMenu, 1) : NULL;
    HMENU hSub = hSettings ? CreatePopupMenu() : NULL;
    if (!hSub) return;
    DisplayFillSizeMenu(hwndMain, hSub);
    InsertMenuA(hSettings, 1, MF_BYPOSITION | MF_POPUP, (UINT_PTR)hSub, "Window Size");
    for (int i = 0; i < GetMenuItemCount(hSettings); i++)
        if (GetMenuItemID(hSettings, i) == IDM_MUSIC) MusicDeviceMenuInsert(hSettings, i + 1);
}

// Everything after the single-copy mutex (bTaken: another copy has it): the
// hand-over, or the game's window and its message loop. Returns the process
// exit code.
static int AppRun(HANDLE hMutex, int bTaken, int nCmdShow) {
    if (bTaken && AppWaitAndHandOver(hMutex)) return 0;
    if (AppHandOver(FindWindowA(szAppClass, NULL))) return 0;
    // This copy is the one that runs: a save of the start-up that failed may
    // now be told.
    IniSaveWarningRelease();
    if (!AppRegisterClass()) return 0;

    RECT rcDesktop;
    GetWindowRect(GetDesktopWindow(), &rcDesktop);
    if ((rcDesktop.right < APP_WIDTH || rcDesktop.bottom < APP_HEIGHT) && !AppAskSmallScreen())
        return 0;
    hwndMain = AppCreateMainWindow();
    if (!hwndMain) return 0;
    // The picture reaches the window in copies from its back buffer, which
    // must leave the buttons and the side panel alone.
    SetWindowLongA(hwndMain, GWL_STYLE, GetWindowLongA(hwndMain, GWL_STYLE) | WS_CLIPCHILDREN);

    LoadPrefs();
    SavePrefs();
    ApplySpeed();
    hMainMenu = LoadMenuA(hInst, "QUARRMENU");
    AppExtendSettingsMenu();
    if (prefs.bUseMenu) SetMenu(hwndMain, hMainMenu);
    MainWindowFitClient(hwndMain);
    hfontPanel = CreateAppFont("Arial", 10, 1, 0, nZoom);
    hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
    hcurFinger = (HCURSOR)LoadImageA(hInst, "Finger", IMAGE_CURSOR, 32, 32, LR_DEFAULTCOLOR);

    // The engine's start-up, and its platform half: the bitmap set, the side
    // panel and the six command buttons.
    LoadBitmaps();
    MIDIDeviceInstallChosen();
    GameInit(hwndMain);
    PanelCreate(hwndMain);
    ButtonsCreate(hwndMain);
    CreateTooltips(hwndMain);
    AppHookOptionsTooltips();
    PadLoad();

    AppExtendSystemMenu();
    hAccelTable = LoadAcceleratorsA(hInst, "ACCELTABLE");
    // The game draws into its back buffers; the window takes the zoom that
    // fits the screen or the player's, centred in the work area.
    ZoomSurfaceCreate(hwndMain, APP_WIDTH, APP_HEIGHT);
    DisplayApply(hwndMain);
    pHost->PlayGameSound("SWOOSH", 1);
    ShowWindow(hwndMain, nCmdShow);
    UpdateWindow(hwndMain);
    return AppMessageLoop();
}

int AppMain(HINSTANCE hInstance, int nCmdShow) {
    hInst = hInstance;
    HostInstallWin32();
    InitCommonControls();
    // The caption first: a save that fails says so in a box of that title.
    LoadStringA(hInst, IDS_APPCAPTION, szAppCaption, APP_CAPTION_LEN);
    LoadStringA(hInst, IDS_CLASSNAME, szAppClass, APP_CLASS_LEN);
    PrefsSetDefaults();
    LoadPrefs();
    LoadHighScores();
    // Saved before the single-copy test, as designed; its warning waits until
    // this copy knows it does not hand over.
    IniSaveWarningHold();
    SaveHighScores();

    // One copy at a time: the mutex decides between copies started together,
    // the window test finds a copy that runs without one.
    SetLastError(0);
    HANDLE hMutex = CreateMutexA(NULL, TRUE, APP_MUTEX_NAME);
    int bTaken = hMutex && GetLastError() == ERROR_ALREADY_EXISTS;
    int nExitCode = AppRun(hMutex, bTaken, nCmdShow);
    // Everything is written by now: a copy started from here on may run. The
    // handle goes on every way out (a copy that handed over never owned the
    // mutex, and its release just fails).
    if (hMutex) {
        ReleaseMutex(hMutex);
        CloseHandle(hMutex);
    }
    return nExitCode;
}
