// The top-ten table of results, its record format in the initialisation file,
// and the two values of the current run that the high-score dialog shows.
// Portable: the file and the dialogs are on the platform side (scores_win.h).
#pragma once

#include <cstdint>

enum {
    NUM_HIGH_SCORES = 10,
    HS_NAME_LEN = 32,       // szName: at most 31 characters
    HS_DATE_LEN = 16,       // szDate: at most 15 characters
    HS_RECORD_LEN = 100,    // one value read from the file: at most 99 characters
    HS_WIN_NAME_LEN = 20,   // the ending screen reads at most 19 characters
    HS_WIN_NAME_LIMIT = 20, // ... and its field takes at most 20
    HS_NEW_NAME_LIMIT = 30, // the new-high-score field takes at most 30
    HS_WON_LEVEL = 50,      // the level stored for a won game
    HS_TOPLINE_TICKS = 32,  // timer ticks between the two top-line values
    HS_TOPLINE_LEN = 40,
    GAMEOVER_ROW_TILES = 11, // tiles in the game-over screen's falling row
    GAMEOVER_START_Y = -48,
    GAMEOVER_LAST_Y = 105, // the row stops once it is below this
};

struct HighScoreEntry {
    char szName[HS_NAME_LEN];
    int32_t lScore; // written and compared unsigned
    int32_t nLevel;
    char szDate[HS_DATE_LEN];
};

struct HighScoreTable {
    HighScoreEntry aRow[NUM_HIGH_SCORES]; // row 0 the best
};

extern HighScoreTable hsTable;

// The current run, 0 at program start; changed only when a game ends in
// game over (HighScoreGameOver).
extern int32_t lLastScore;
extern int32_t lHighToday;

// The default row: "A. Player", 0 points, level 1, "12/01/95".
void HighScoreDefaultRow(HighScoreEntry* pRow);
// Every row to the default (memory only). Returns 1.
int ResetHighScores();

// One row as the value of its key: "name,level,score,date", the score with
// at least eight digits. Returns the length written (0 if cch is too small).
int HighScoreRecordFormat(const HighScoreEntry* pRow, char* szOut, int cch);
// Reads a stored value into *pRow. The value is split at commas (a run of
// commas is one separator, a leading comma is skipped) into name, level,
// score and date; a name over 31 or a date over 15 characters is cut. A value
// with fewer than four fields is not a record: 0, and *pRow is left alone.
int HighScoreRecordParse(const char* szValue, HighScoreEntry* pRow);
// A number field as the standard decimal conversion reads it: blanks, a sign,
// digits; none give 0. Digits beyond the 32-bit range stop growing the value.
int64_t HighScoreReadNumber(const char* sz);

// 1 when a score earns a place: strictly more than row 9 (unsigned).
int HighScoreQualifies(int32_t lScore);
// The row a qualifying score goes into: the first row with a smaller score
// (equal scores keep the older row above); NUM_HIGH_SCORES if none.
int HighScoreRankFor(int32_t lScore);
// A name as it is stored: cut to cchOut - 1 characters, commas, tabs and
// other control characters as blanks (the record format has no quoting), no
// blanks at either end (the profile functions would drop the leading ones).
// Returns its length; 0 for a name of nothing but blanks, commas and tabs,
// which counts as no name at all.
int HighScoreNameClean(const char* szName, char* szOut, int cchOut);
// Puts a result into the table at its rank, moving the rows below down and
// dropping row 9, the name cleaned (HighScoreNameClean) and the date cut to
// its field. Returns the row, or -1 (table untouched) when the score does not
// beat row 9 or the name is empty once cleaned.
int HighScoreInsertDated(const char* szName, int32_t lScore, int32_t nLevel, const char* szDate);
// "MM/DD/YYYY" from month, day and the full year. Returns the length.
int HighScoreDateFormat(char* szOut, int cch, int nMonth, int nDay, int nYear);

// The end of a game lost: lLastScore := lScore, lHighToday raised to it
// (unsigned).
// Returns HighScoreQualifies(lScore).
int HighScoreGameOver(int32_t lScore);

// --- What the high-score dialog shows -------------------------------------------
// Kept for the whole run: which value the top line shows next, and the timer
// ticks counted toward the next switch.
extern int bShowHighToday;
extern int nTopLineTicks;

// The top line's text ("Last Score: %.8u" or "High Today: %.8u"); then the
// choice flips. Returns 1.
int HighScoreTopLine(char* szOut, int cch);
// Counts one timer tick; 1 when the top line is due to switch (every 32).
int HighScoreTopLineTick();
// The score and level texts of row k: "%.8u" and "%.2d".
int HighScoreRowTexts(int k, char* szScore, int cchScore, char* szLevel, int cchLevel);

// One of the two tiles spinning beside the heading.
struct SpinTile {
    int32_t nFrame; // 0..9
    int32_t nColor; // TileColor
    int32_t x;
};
// Places the two tiles (x = left + 60 and right - 100) and draws their
// frames, then their colours until the colours differ, from rand(). The
// shared y is top + 7. Returns 1.
int SpinTilesStart(SpinTile aTile[2], int left, int right, int top, int* pY);
// One step after a tile has been drawn: the next frame, and after frame 9
// frame 0 in the next colour (after the last colour, colour 0). Returns 1.
int SpinTileStep(SpinTile* pTile);

// --- The game-over screen's falling row ---------------------------------------------
struct GameOverRow {
    int32_t y;      // top of the row
    int32_t nFrame; // shared by all eleven tiles
};
int GameOverRowStart(GameOverRow* pRow);
// The colour and x of tile i (0..10) of the row.
int GameOverTileColor(int i);
int GameOverTileX(int i);
// One step after the row has been drawn; 1 when the screen is to close.
int GameOverRowStep(GameOverRow* pRow);
