// The player's options in memory. The initialisation file behind them is
// read and written by the platform side (prefs_win.cpp).
#pragma once

#include <cstdint>

enum { LAST_PLAYER_LEN = 32 };

struct Prefs {
    int32_t nSpeed;      // 0 Slow, 1 Normal, 2 Fast, 3 Insane
    int32_t bSound;      // non-zero: effects on
    int32_t bMusic;      // non-zero: background music on
    int32_t bContinuous; // 1: one track plays on across levels
    int32_t bUseMenu;    // the menu bar is attached to the main window
    int32_t bPatterns;   // the background pattern changes with the level
    char szLastPlayer[LAST_PLAYER_LEN];
    // Section "Window": the window's zoom (0 the largest that fits, else 1..8)
    // and whether it covers the screen.
    int32_t nZoom;
    int32_t bFullScreen;
};

extern Prefs prefs;

// The values a missing file or key gives.
void PrefsSetDefaults();

// Brings a Speed value read from the file into 0..3.
int32_t SpeedNormalize(int32_t nRead);

// game.nFallStep = max(1, 2 * nSpeed).
void ApplySpeed();

// --- The initialisation file (platform side, prefs_win.cpp) ------------------

// The length of a test's own file path. Which file the game uses is decided
// in prefs/ini_win.h (IniFileW).
enum { INI_PATH_LEN = 300 };

// Reads every key of section "Prefs" into prefs (missing keys: defaults,
// Speed brought into 0..3, LastPlayer at most 31 characters). Returns 1, or 0
// when the file's path could not be found (prefs then hold the defaults).
int LoadPrefs();

// Writes every key of section "Prefs", then the sections "Zentrope" and
// "Window". Returns 1 when every key was written; a failed write is told to
// the player once per run (IniSaveDone) and the game goes on.
int SavePrefs();

// Tests only: LoadPrefs and SavePrefs use szPath instead of the file beside
// the executable; null or empty goes back to that file.
void PrefsSetIniPathForTest(const char* szPath);
