// The gamepad: XInput found at run time, one reading per play timer tick, and
// its keys delivered where the keyboard's would go.
#include "shell/pad_win.h"

#include "render/zoom_win.h"

#include "engine/game.h"
#include "engine/pad.h"
#include "shell/app.h"
#include "shell/commands.h"

PadGetStateFn pfnPadGetState;

static const char* const apszXInputDlls[] = {"xinput1_4.dll", "xinput9_1_0.dll", "xinput1_3.dll",
                                             NULL};
const char* const* apszPadDlls = apszXInputDlls;

PadClockFn pfnPadClock = GetTickCount;

// The pad in use, or -1. While there is none, one slot is asked every
// PAD_LOOK_MS, so each empty slot is read every two seconds, not every tick
// (XInput can stall its caller on an empty slot).
static int nPadUser = -1;
static int nPadProbe;
static int bPadLookNow; // look at the next slot on the next tick
static DWORD dwPadLastLook;
static int bPadConnectedBefore; // the last tick's reading had a pad

int PadUser() {
    return nPadUser;
}

// The keyboard's repeat, as the player has set it for the keys.
static void PadTakeKeyboardRepeat() {
    int nDelay = 1, nSpeed = 31;
    SystemParametersInfoA(SPI_GETKEYBOARDDELAY, 0, &nDelay, 0);
    SystemParametersInfoA(SPI_GETKEYBOARDSPEED, 0, &nSpeed, 0);
    PadSetRepeat(nDelay, nSpeed);
}

int PadLoad() {
    pfnPadGetState = NULL;
    nPadUser = -1;
    nPadProbe = 0;
    bPadLookNow = 1;
    for (const char* const* ppsz = apszPadDlls; *ppsz; ppsz++) {
        HMODULE hDll = LoadLibraryA(*ppsz);
        if (!hDll) continue;
        pfnPadGetState = (PadGetStateFn)(void (*)())GetProcAddress(hDll, "XInputGetState");
        if (pfnPadGetState) break;
        FreeLibrary(hDll);
    }
    PadTakeKeyboardRepeat();
    PadForget();
    return pfnPadGetState != NULL;
}

// With no pad in use: time to look at the next slot.
static int PadLookDue(DWORD dwNow) {
    return bPadLookNow || dwNow - dwPadLastLook >= PAD_LOOK_MS;
}

// Reads the pad in use, or when it is time looks at the next slot for one. A
// pad that comes is taken as it stands; one that goes leaves nothing held,
// and the slots are looked at again from the next tick on.
static PadReading PadRead(DWORD dwNow) {
    PadReading r = {0, 0, 0, 0};
    if (nPadUser < 0) {
        if (!PadLookDue(dwNow)) return r;
        bPadLookNow = 0;
        dwPadLastLook = dwNow;
    }
    int nUser = nPadUser >= 0 ? nPadUser : nPadProbe;
    XINPUT_STATE state;
    ZeroMemory(&state, sizeof state);
    if (pfnPadGetState((DWORD)nUser, &state) != ERROR_SUCCESS) {
        bPadLookNow = nPadUser >= 0;
        nPadProbe = nPadUser >= 0 ? 0 : (nPadProbe + 1) % XUSER_MAX_COUNT;
        nPadUser = -1;
        return r;
    }
    if (nPadUser < 0) {
        nPadUser = nUser;
        PadTakeKeyboardRepeat();
        PadForget();
    }
    r.bConnected = 1;
    r.wButtons = state.Gamepad.wButtons;
    r.nStickX = state.Gamepad.sThumbLX;
    r.nStickY = state.Gamepad.sThumbLY;
    return r;
}

// A list, a group of radio buttons or the help's page takes the D-pad's up
// and down as arrows; an edit field only wants its arrows for the caret.
static int PadFocusIsList(HWND hwndFocus) {
    if (!hwndFocus) return 0;
    LRESULT lCode = SendMessageA(hwndFocus, WM_GETDLGCODE, 0, 0);
    if (lCode & DLGC_RADIOBUTTON) return 1;
    return (lCode & DLGC_WANTARROWS) && !(lCode & DLGC_HASSETSEL);
}

// A key as the message loop would deliver it: Tab and Shift+Tab move through
// the dialog as its own loop moves on Tab; the others are posted to the focus,
// pressed and released.
static void PadPostKey(HWND hwndDlg, HWND hwndTo, PadKey key) {
    if (key.vk == VK_TAB) {
        SendMessageA(hwndDlg, WM_NEXTDLGCTL, (WPARAM)key.bShift, FALSE);
        return;
    }
    LPARAM lScan = (LPARAM)MapVirtualKeyA((UINT)key.vk, 0) << 16;
    PostMessageA(hwndTo, WM_KEYDOWN, (WPARAM)key.vk, lScan | 1);
    PostMessageA(hwndTo, WM_KEYUP, (WPARAM)key.vk, lScan | 1 | 0xC0000000);
}

// A dialog, the help or a message box: the keys go to the focus.
static void PadToDialog(HWND hwndDlg, const PadReading* pReading, DWORD dwNow) {
    HWND hwndFocus = GetFocus();
    PadKey aKey[PAD_MAX_KEYS];
    int nKeys = PadUpdate(pReading, PadFocusIsList(hwndFocus) ? PAD_LIST : PAD_DIALOG, dwNow, aKey);
    for (int i = 0; i < nKeys; i++) PadPostKey(hwndDlg, hwndFocus ? hwndFocus : hwndDlg, aKey[i]);
}

// An open menu takes the keys of the thread's queue.
static void PadToMenu(HWND hwndOwner, const PadReading* pReading, DWORD dwNow) {
    PadKey aKey[PAD_MAX_KEYS];
    int nKeys = PadUpdate(pReading, PAD_MENU, dwNow, aKey);
    for (int i = 0; i < nKeys; i++) PadPostKey(hwndOwner, hwndOwner, aKey[i]);
}

// Back: the right-click menu, opened at the paddle.
static void PadMenuAtPaddle(HWND hwndMain) {
    POINT pt = ZoomDesignToClient(hwndMain, POINT{aLaneX[game.nPaddleLane] + 20, game.nPaddleY});
    ClientToScreen(hwndMain, &pt);
    ContextMenuShowAt(hwndMain, pt);
}

static int PadMenuOpen(HWND* phwndOwner) {
    GUITHREADINFO info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetCurrentThreadId(), &info) || !(info.flags & GUI_INMENUMODE)) return 0;
    *phwndOwner = info.hwndMenuOwner ? info.hwndMenuOwner : info.hwndActive;
    return *phwndOwner != NULL;
}

int PadTimerTick(HWND hwndMain) {
    if (!pfnPadGetState) return 0;
    DWORD dwNow = pfnPadClock();
    // No pad, none at the last tick (which let go of all it held) and not yet
    // time to look for one: nothing to read or deliver, nobody to ask.
    if (nPadUser < 0 && !bPadConnectedBefore && !PadLookDue(dwNow)) return 1;
    // Only while a window of the game is active; what is held meanwhile
    // counts as held when the game comes back.
    HWND hwndActive = GetActiveWindow();
    if (!hwndActive) {
        PadForget();
        // With no pad in use the next look waits its turn, so a game in the
        // background asks this once a look, not every tick.
        if (nPadUser < 0) {
            bPadLookNow = 0;
            dwPadLastLook = dwNow;
        }
        return 0;
    }
    PadReading reading = PadRead(dwNow);
    const int bNothing = !reading.bConnected && !bPadConnectedBefore;
    bPadConnectedBefore = reading.bConnected;
    if (bNothing) return 1;
    HWND hwndMenuOwner = NULL;
    if (PadMenuOpen(&hwndMenuOwner))
        PadToMenu(hwndMenuOwner, &reading, dwNow);
    else if (hwndActive != hwndMain)
        PadToDialog(hwndActive, &reading, dwNow);
    else if (PadPlayTick(hwndMain, &reading, dwNow))
        PadMenuAtPaddle(hwndMain);
    return 1;
}
