// The level-complete dialog's rules: bonus, texts and the step to the next
// level. The window around them is in leveldone_win.cpp.
#include "scores/leveldone.h"

#include <cstdio>

#include "engine/game.h"
#include "engine/warp.h"

LevelDoneDialog levelDone;

namespace {

void LineSet(int nLine, const char* szText) {
    std::snprintf(levelDone.aszText[nLine], LEVELDONE_TEXT_LEN, "%s", szText);
}

// The goal of level nNext as "15000 Points": the amount and the kind's name,
// which begins with its own blank. There is no singular: "1 9-Tile-Xs".
void NextGoalSet(int nNext) {
    const LevelGoal& goal = aLevelGoal[nNext];
    const char* szKind = "";
    if (goal.nKind >= 0 && goal.nKind < NUM_GOAL_KINDS) szKind = aGoalKindName[goal.nKind];
    std::snprintf(levelDone.aszText[LD_LINE_NEXT], LEVELDONE_TEXT_LEN, "%d%s", (int)goal.nAmount,
                  szKind);
}

} // namespace

int EmptyCellCount() {
    int nEmpty = 0;
    for (TileColor c : game.aBinCell)
        if (c == TILE_NONE) nEmpty++;
    return nEmpty;
}

int32_t LevelBonus() {
    return LEVELDONE_TILE_BONUS * game.nTilesCaught + LEVELDONE_CELL_BONUS * EmptyCellCount();
}

int LevelDoneOpen() {
    int nEmpty = EmptyCellCount();
    int32_t nBonus = LevelBonus();
    std::snprintf(levelDone.aszText[LD_LINE_TITLE], LEVELDONE_TEXT_LEN, "Level %d Complete",
                  (int)game.nLevel);
    std::snprintf(levelDone.aszText[LD_LINE_TILES], LEVELDONE_TEXT_LEN, "Tiles Caught: %d (x25)",
                  (int)game.nTilesCaught);
    std::snprintf(levelDone.aszText[LD_LINE_EMPTY], LEVELDONE_TEXT_LEN, "Empty Bins: %d (x200)",
                  nEmpty);
    std::snprintf(levelDone.aszText[LD_LINE_BONUS], LEVELDONE_TEXT_LEN, "BONUS: %d Points",
                  (int)nBonus);
    if (game.nLevel >= NUM_LEVELS) {
        LineSet(LD_LINE_NEXTHEAD, "Congratulations!");
        LineSet(LD_LINE_NEXT, "You've won!");
    } else {
        LineSet(LD_LINE_NEXTHEAD, "Goal For Next Level");
        // Only the rows 1..50 of the goal table hold goals.
        if (game.nLevel >= 0)
            NextGoalSet(game.nLevel + 1);
        else
            LineSet(LD_LINE_NEXT, "");
    }

    levelDone.nColorIndex = 0;
    levelDone.nBonus = nBonus;
    game.lScore += (uint32_t)nBonus;
    levelDone.bPasswordShown = 0;
    return 1;
}

int LevelDoneContinue() {
    // The password of the new level is on show: this Continue only closes.
    if (levelDone.bPasswordShown) return LEVELDONE_NEXT;

    game.nLevel++;
    if (game.nLevel > NUM_LEVELS) {
        game.bPaused = 1;
        game.bGameRunning = 0;
        pHost->PlayGameSound("GAMEWON", 1);
        game.nLevel = 1;
        return LEVELDONE_GAME_WON;
    }

    LevelStart();
    // Levels 6, 11, ..., 46 have a warp password: show it before going on.
    if (game.nLevel % 5 == 1 && game.nLevel > 1) {
        levelDone.bPasswordShown = 1;
        LineSet(LD_LINE_NEXTHEAD, "Warp Password");
        WarpPasswordForLevel(game.nLevel, levelDone.aszText[LD_LINE_NEXT]);
        return LEVELDONE_STAY;
    }
    return LEVELDONE_NEXT;
}

int LevelDoneFlashStep() {
    int nIndex = levelDone.nColorIndex;
    if (nIndex < 0 || nIndex >= LEVELDONE_FLASH_COLORS) nIndex = 0;
    levelDone.nColorIndex = nIndex + 1 < LEVELDONE_FLASH_COLORS ? nIndex + 1 : 0;
    return nIndex;
}

int LevelDoneFlashDraw(Picture& pic, PictureRect rc, int nBorder, PictureColor cr) {
    const int B = nBorder;
    // Without an outline a rectangle leaves out its right and bottom edge,
    // hence the extra pixel on each band.
    const PictureRect aBand[4] = {
        {rc.left, rc.top, rc.right + 1, B},
        {rc.left, rc.top, B, rc.bottom + 1},
        {rc.right - B, rc.top, rc.right + 1, rc.bottom + 1},
        {rc.left, rc.bottom - B, rc.right + 1, rc.bottom + 1},
    };
    for (const PictureRect& r : aBand) PictureRectangle(&pic, r, nullptr, &cr);
    PictureFrame(&pic, PictureRect{rc.left + B - 1, rc.top + B - 1, rc.right - B, rc.bottom - B},
                 PictureRGB(0, 0, 0));
    return 1;
}
