// The one door between the portable game core and the platform.
//
// The engine never touches a window, a device context or a sound device. It
// calls the operations of the installed GameHost table instead. The shell
// installs its Win32 implementation at start-up; the native tests install a
// recorder so they can check what the engine asked for, and in what order.
//
// Every operation returns an int, as a rule 1 for done and 0 for nothing done.
#pragma once

#include <cstdint>

// A window as the engine sees it: an opaque handle it only passes back.
typedef void* HostWindow;

struct GameHost {
    // --- Sound and music -------------------------------------------------
    // Plays an effect by its resource name; bAsync 0 waits until it ends.
    int (*PlayGameSound)(const char* szName, int bAsync);
    // The system's beep: nType 0 the default one, -1 the simple one.
    int (*PlayBeep)(int nType);
    // Lists the music files beside the executable; returns how many.
    int (*MIDIFindFiles)();
    // Makes track nTrack current and starts it (plays only if music is on).
    int (*MIDIStart)(int nTrack);
    int (*MIDINext)(HostWindow hwndMain);
    int (*MIDIStop)();

    // --- Drawing on the main window --------------------------------------
    // A batch of drawing on one device context: every drawing operation
    // between the two uses it. Without a batch each operation takes its own.
    int (*BeginDrawing)();
    int (*EndDrawing)();
    int (*DrawBins)();
    int (*DrawPaddleStack)();
    int (*ErasePaddleStack)();
    int (*StartPaddleFlash)();
    // Steps the paddle's lamp animation (every play timer tick of a game).
    int (*PaddleLightTick)();
    // One tumbling image ahTileFrame[nColor][nFrame] with its top-left at x, y.
    int (*DrawTileFrame)(int nColor, int nFrame, int x, int y);
    // The eraser of one tumbling-tile cell (hTileErase).
    int (*DrawTileErase)(int x, int y);
    // The flat tile ahFlatTile[nColor] at x, y.
    int (*DrawFlatTile)(int nColor, int x, int y);
    int (*DrawGoalPicture)();
    int (*ShowPauseLogo)(int bOn);
    // A rectangle on the main window drawn with the null pen and the brush of
    // a fresh context of it, the stock white brush.
    int (*BlankRect)(int left, int top, int right, int bottom);

    // --- Windows and messages --------------------------------------------
    // Sends one of the side panel's messages (WM_PANELSCORE and friends).
    int (*SendPanel)(int nMsg, uint32_t wParam, int32_t lParam);
    // Posts WM_RESOLVELINES to the main window.
    int (*PostResolveLines)();
    // Sends WM_COMMAND nId to the main window.
    int (*SendCommand)(int nId);
    // Sends the play timer's WM_TIMER to the main window.
    int (*SendPlayTimer)();
    int (*StartPlayTimer)();
    int (*MinimizeMain)();
    // Invalidates the main window (bErase as InvalidateRect) / the side panel.
    int (*InvalidateMain)(int bErase);
    int (*InvalidatePanel)(int bErase);
    // Repaints at once whatever is invalid in the main window and the side panel.
    int (*UpdateMainAndPanel)();
    int (*ShowPanel)();
    // Input and focus: is Ctrl held, is the main window the active window.
    int (*IsCtrlDown)();
    int (*IsMainActive)();

    // --- Dialogs -----------------------------------------------------------
    // The level-complete dialog: 1 when the next level is set up, 2000 when
    // the game has been won.
    int (*ShowLevelDoneDlg)();
    int (*ShowGameOverDlg)();
    int (*CheckHighScore)();
    int (*ShowWinGameDlg)();
    int (*ShowHiScoreDlg)();

    // --- Start-up ----------------------------------------------------------
    // Loads string resource nId into szBuf (at most cchBuf - 1 characters).
    int (*LoadStringText)(int nId, char* szBuf, int cchBuf);
    int (*LoadPrefs)();
    int (*LoadCreditsBitmap)();
    // Seconds since the epoch, as time(NULL): the seed of the rand() sequence.
    int64_t (*TimeNow)();
};

// The installed host. Never null once HostInstall has run.
extern const GameHost* pHost;

// Installs a host table; every operation in it must be set.
void HostInstall(const GameHost* pNewHost);
