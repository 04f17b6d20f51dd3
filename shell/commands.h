// The main window's commands, its menus and the rest of its message work.
#pragma once

#include <windows.h>

// Carries out command nId (the low word of WM_COMMAND's wParam). Sets
// *pbPassOn when the message should also go on to DefWindowProcA.
LRESULT CommandRun(HWND hwnd, int nId, int* pbPassOn);

// Asks a Yes/No question in the game's name; 1 for Yes.
int AskYesNo(HWND hwnd, const char* szText);
// The message box the questions are asked with: MessageBoxA, or the tests'
// stand-in that answers for the player.
extern int(WINAPI* pfnAskMessageBox)(HWND hwnd, const char* szText, const char* szCaption,
                                     UINT uType);

// The quit question of a running game: 1 when the window may close (no game,
// or Yes), and the game has then ended (not running, paused); on No the game
// resumes and 0.
int QuitConfirmed(HWND hwnd);

// Redraws the paddle after a dialog or question.
void PaddleRedraw();

// WM_INITMENU: pause, and bring the check marks and greyed items up to date.
void MenuUpdate(HWND hwnd);
// Inserts the "Music Device" submenu ("Built-in Synthesizer", "System MIDI",
// the current one checked) into hMenu at nPos (-1: at the end).
int MusicDeviceMenuInsert(HMENU hMenu, int nPos);

// WM_RBUTTONDOWN: pause, and the pop-up menu of the game's commands.
void ContextMenuShow(HWND hwnd);
// The same menu at a point of the screen (the pad's Back opens it at the paddle).
void ContextMenuShowAt(HWND hwnd, POINT ptScreen);

// The release of everything at WM_DESTROY.
void ShutdownGame(HWND hwnd);
