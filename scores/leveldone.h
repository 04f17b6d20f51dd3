// The level-complete dialog's rules, apart from the window: the bonus, the
// texts it shows and what Continue does to the game.
//
//   LevelDoneOpen();                 // on opening: texts, bonus into lScore
//   ... show levelDone.aszText ...
//   int n = LevelDoneContinue();     // on Continue
//   // n == 0: stay open, lines 105/106 now show the warp password
//   // n == 1: the next level is set up; n == 2000: the game has been won
#pragma once

#include <cstdint>

#include "render/picture.h"

enum {
    LEVELDONE_STAY = 0,
    LEVELDONE_NEXT = 1,
    LEVELDONE_GAME_WON = 2000,
    LEVELDONE_TILE_BONUS = 25,
    LEVELDONE_CELL_BONUS = 200,
    LEVELDONE_TEXT_LEN = 48,
};

// The six text lines, in the order of the template's controls 101..106.
enum {
    LD_LINE_TITLE = 0, // "Level %d Complete"
    LD_LINE_TILES,     // "Tiles Caught: %d (x25)"
    LD_LINE_EMPTY,     // "Empty Bins: %d (x200)"
    LD_LINE_BONUS,     // "BONUS: %d Points"
    LD_LINE_NEXTHEAD,  // "Goal For Next Level", "Warp Password", "Congratulations!"
    LD_LINE_NEXT,      // the next goal, the password, or "You've won!"
    LD_NUM_LINES,
};

struct LevelDoneDialog {
    int32_t bPasswordShown; // Continue has shown the password; the next one closes
    int32_t nColorIndex;    // the flashing border's colour, 0..5
    int32_t nBonus;         // the bonus added on opening
    char aszText[LD_NUM_LINES][LEVELDONE_TEXT_LEN];
};

extern LevelDoneDialog levelDone;

enum { LEVELDONE_FLASH_COLORS = 6 };

// The empty cells of the bins (0..25).
int EmptyCellCount();

// 25 for every tile caught this level, 200 for every empty cell.
int32_t LevelBonus();

// Opening: fills every line for the level just finished, adds the bonus to
// lScore, resets the colour index and bPasswordShown. Returns 1.
int LevelDoneOpen();

// Continue: LEVELDONE_STAY (the password of the new level now shows),
// LEVELDONE_NEXT or LEVELDONE_GAME_WON; see the header comment.
int LevelDoneContinue();

// The colour index to paint with now; moves on to the next one (0..5).
int LevelDoneFlashStep();

// The dialog's broad border of nBorder pixels inside rc in colour cr, with
// the black line inside it.
int LevelDoneFlashDraw(Picture& pic, PictureRect rc, int nBorder, PictureColor cr);
