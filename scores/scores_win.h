// The platform side of the high-score table and the game's closing screens:
// the table in the initialisation file (section "Scores"), the new-high-score
// dialog, the high-score dialog, the game-over screen and the ending screen.
#pragma once

#include <windows.h>

#include "scores/hiscore.h"

// --- The table in the initialisation file (hiscore_win.cpp) ------------------------
// The tests point the table at a file of their own; NULL goes back to the
// game's initialisation file (IniFileW).
void HighScoresUseIniPath(const char* szPath);

// Resets the table, then reads keys "1" to "10" of section "Scores"; a missing
// or malformed value leaves its row at the default. Returns 1.
int LoadHighScores();
// Writes all ten rows, key "1" first. Returns 1, or 0 when a write failed
// (told to the player once per run, IniSaveDone).
int SaveHighScores();
// Enters a result with today's local date (see HighScoreInsertDated).
int InsertHighScore(const char* szName, int32_t lScore, int32_t nLevel);
// The question "Clear high scores?" owned by hwndOwner; on Yes the sound
// "CLEARSCORES", the default table, written at once. 1 when cleared.
int ClearHighScores(HWND hwndOwner);
// After the game-over screen: notes the last and best scores of the run and,
// when game.lScore earns a place, plays "NEWSCORE", asks for the name
// (NEWHISCOREDLG, owned by hwndMain) and writes the table. Returns 1 when the
// dialog was offered.
int CheckHighScore(HWND hwndMain);

// --- Dialogs -------------------------------------------------------------------------
// HISCOREDLG (hiscoredlg_win.cpp). Returns the dialog's result (1).
int ShowHiScoreDlg(HWND hwndOwner);
// GAMEOVERDLG and WINGAMEDLG (endscreens_win.cpp). Both return 1.
int ShowGameOverDlg(HWND hwndOwner);
int ShowWinGameDlg(HWND hwndOwner);

// The dialog procedures, for the tests.
INT_PTR CALLBACK NewHiScoreDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK HiScoreDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GameOverDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK WinGameDlgProc(HWND hDlg, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The effects and beeps of the dialogs go through the engine's host table;
// nothing plays while none is installed. nType as PlayBeep.
int ScoresPlaySound(const char* szName);
int ScoresBeep(int nType);
// Reads a name field of at most cchName - 1 characters into szName, cleaned
// as it will be stored (HighScoreNameClean). Returns its length: 0 when the
// field holds no name, nothing but blanks, commas and tabs included.
int ReadPlayerName(HWND hDlg, int nId, char* szName, int cchName);

// Client sizes the two closing screens are given (the falling row spans 440
// pixels and reaches y 152; the ending is drawn on 640 x 480).
enum {
    GAMEOVER_CLIENT_W = 440,
    GAMEOVER_CLIENT_H = 152,
    WINGAME_CLIENT_W = 640,
    WINGAME_CLIENT_H = 480,
    WINGAME_PICTURE_X = 70,
    WINGAME_PICTURE_Y = 40,
    GAMEOVER_START_TIMER = 300,
    GAMEOVER_START_MS = 1000,
    GAMEOVER_ROW_TIMER = 500,
    GAMEOVER_ROW_MS = 30,
    HISCORE_TIMER = 1,
    HISCORE_TIMER_MS = 20,
};
