// The main window procedure: a dispatcher, each message's work in a function.
#include "shell/app.h"

#include <mmsystem.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0 // Windows 8.1 and later; older systems never send it
#endif

#include "audio/midi.h"
#include "engine/game.h"
#include "engine/lines.h"
#include "engine/play.h"
#include "prefs/prefs.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "shell/about.h"
#include "shell/buttons.h"
#include "shell/commands.h"
#include "shell/display.h"
#include "shell/pad_win.h"
#include "shell/pointer_win.h"
#include "shell/tooltips.h"

static LRESULT OnCreate() {
    // Any result but -1 lets the creation go on.
    game.nLevel = 1;
    game.bPaused = 1;
    game.bGameRunning = 0;
    game.bMinimized = 0;
    return 1;
}

static LRESULT OnDestroy(HWND hwnd) {
    ShutdownGame(hwnd);
    SavePrefs();
    DestroyTooltips();
    return 1;
}

// Minimizing stops the music; restoring starts the next track.
static void OnSize(HWND hwnd, WPARAM wParam) {
    game.nCreditsOffset = 0;
    if (wParam == SIZE_RESTORED) {
        game.bMinimized = 0;
        MIDIWindowRestored(hwnd);
    } else if (wParam == SIZE_MINIMIZED) {
        game.bMinimized = 1;
        MIDIWindowMinimized();
    }
}

// The whole client area, and the seam under an attached menu bar drawn with
// whatever pen the window's own context holds.
static void PaintPicture(HWND hwnd, HDC hdc) {
    PaintMainWindow(hdc);
    if (prefs.bUseMenu && GetMenu(hwnd)) {
        MoveToEx(hdc, 0, 0, NULL);
        LineTo(hdc, APP_WIDTH, 0);
    }
}

// The picture is painted into the back buffer and copied to the window.
static LRESULT OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (!ZoomSurfacePaint(hwnd, hdc, PaintPicture)) PaintPicture(hwnd, hdc);
    EndPaint(hwnd, &ps);
    return 1;
}

// Alt+Enter reaches the window as an accelerator, which keeps the Enter key
// from the system: it sees Alt go down and up alone and arms the menu when
// Alt is let go (Wine does). That one key menu is dropped.
static int bAltToggled;

// The system menu's own items of the game: About and the window sizes; in
// full screen no Move or Size.
static LRESULT OnSysCommand(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (wParam == IDM_ABOUT) {
        ShowAboutDlg(hwnd);
        return 0;
    }
    if (wParam < 0xF000 && DisplayCommand(hwnd, (int)(wParam & 0xFFF0))) return 0;
    if (DisplayRefusesSysCommand((UINT)(wParam & 0xFFF0))) return 0;
    if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0 && bAltToggled) {
        bAltToggled = 0;
        return 0;
    }
    return DefWindowProcA(hwnd, WM_SYSCOMMAND, wParam, lParam);
}

// A key let go: after Alt, no key menu is dropped any more.
static LRESULT OnKeyUp(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = DefWindowProcA(hwnd, uMsg, wParam, lParam);
    if (wParam == VK_MENU) bAltToggled = 0;
    return lResult;
}

// The finger over the command buttons, the arrow everywhere else.
static LRESULT OnSetCursor(HWND hwnd) {
    POINT pt;
    GetCursorPos(&pt);
    ScreenToClient(hwnd, &pt);
    HWND hwndChild = ChildWindowFromPoint(hwnd, pt);
    int bButton = 0;
    for (HWND hwndButton : ahwndButton) bButton |= hwndChild && hwndChild == hwndButton;
    SetCursor(bButton ? hcurFinger : LoadCursorA(NULL, IDC_ARROW));
    return 1;
}

// The play timer: nothing while minimized; play while a game runs, the title
// screen's animation otherwise. Every timer message is taken.
static LRESULT OnTimer(HWND hwnd, WPARAM wParam) {
    if (wParam != PLAY_TIMER_ID || game.bMinimized) return 1;
    PadTimerTick(hwnd); // the gamepad's reading, before the tick
    if (game.bGameRunning) {
        EngineTimerTick(hwnd);
    } else {
        TitleTick(hwnd);
        ButtonChaseTick(hwnd);
    }
    return 1;
}

// The right button, or a long press on a touch screen: the game's menu, and
// the left button's press, if one is under way, counts for nothing.
static LRESULT OnRightButtonDown(HWND hwnd) {
    PointerCancel();
    ContextMenuShow(hwnd);
    return 1;
}

// The wheel over the playfield spins; elsewhere it goes on as usual.
static LRESULT OnMouseWheel(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (PointerWheel(hwnd, wParam, lParam)) return 0;
    return DefWindowProcA(hwnd, WM_MOUSEWHEEL, wParam, lParam);
}

// The resolution a new level's layout asked for.
static LRESULT OnResolveLines(HWND hwnd) {
    LinesResolve(hwnd);
    pHost->SendPanel(WM_PANELSCORE, 0, (int32_t)game.lScore);
    pHost->SendPanel(WM_PANELGOAL, 0, 0);
    return 1;
}

// Alt+F4, the close box and the system menu's Close: during a game the quit
// question first, and No goes back to the game as the Quit command's No does.
static LRESULT OnClose(HWND hwnd) {
    if (!QuitConfirmed(hwnd)) return 0;
    return DefWindowProcA(hwnd, WM_CLOSE, 0, 0);
}

static LRESULT OnCommand(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDM_FULLSCREEN && HIWORD(wParam) == 1 && GetKeyState(VK_MENU) < 0)
        bAltToggled = 1;
    int bPassOn = 0;
    LRESULT lResult = CommandRun(hwnd, LOWORD(wParam), &bPassOn);
    return bPassOn ? DefWindowProcA(hwnd, uMsg, wParam, lParam) : lResult;
}

static LRESULT MainWndDispatch(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: return OnDestroy(hwnd);
    case WM_CLOSE: return OnClose(hwnd);
    case WM_SIZE: OnSize(hwnd, wParam); break;
    case WM_PAINT: return OnPaint(hwnd);
    case WM_ACTIVATE: bMainActive = LOWORD(wParam) != WA_INACTIVE; break;
    case WM_ACTIVATEAPP: SetPause(1); return 1;
    case WM_SETCURSOR: return OnSetCursor(hwnd);
    case WM_KEYDOWN:
        if (KeyDown(hwnd, (int)wParam)) return 1;
        break;
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* pItem = (const DRAWITEMSTRUCT*)lParam;
        DrawButton(pItem->hDC, (int)wParam, pItem->itemState);
        return 1;
    }
    case WM_NOTIFY: MainTooltipText((NMHDR*)lParam); return 0;
    case WM_COMMAND: return OnCommand(hwnd, uMsg, wParam, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(hwnd, wParam, lParam);
    case WM_INITMENUPOPUP:
        DisplayUpdateSizeMenus(hwnd, (HMENU)wParam);
        DisplayInitSystemMenu(hwnd, (HMENU)wParam);
        break;
    case WM_DPICHANGED: DisplayDpiChanged(hwnd, (const RECT*)lParam); return 0;
    case WM_EXITSIZEMOVE: DisplayMoveEnded(hwnd); break;
    case WM_DISPLAYCHANGE: DisplayScreenChanged(hwnd); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: return OnKeyUp(hwnd, uMsg, wParam, lParam);
    case WM_TIMER: return OnTimer(hwnd, wParam);
    case WM_INITMENU: MenuUpdate(hwnd); return 1;
    case WM_RBUTTONDOWN: return OnRightButtonDown(hwnd);
    case WM_LBUTTONDOWN: return PointerButtonDown(hwnd, lParam);
    case WM_LBUTTONUP: return PointerButtonUp(hwnd, lParam);
    case WM_MOUSEWHEEL: return OnMouseWheel(hwnd, wParam, lParam);
    case WM_CAPTURECHANGED: PointerCaptureChanged(hwnd, lParam); break;
    case POINTER_WM_GESTURENOTIFY: PointerGesturesOff(hwnd); break;
    case POINTER_WM_TABLET_QUERYSYSTEMGESTURESTATUS: return PointerTabletGestures();
    case WM_RESOLVELINES: return OnResolveLines(hwnd);
    case MM_MCINOTIFY: MIDINotifyFrom(hwnd, (uint32_t)wParam, (uint32_t)lParam); return 1;
    default: break;
    }
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

// What a message draws reaches the windows once, at its end.
LRESULT CALLBACK MainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    ZoomPresentHold();
    LRESULT lResult = MainWndDispatch(hwnd, uMsg, wParam, lParam);
    ZoomPresentEnd();
    return lResult;
}
