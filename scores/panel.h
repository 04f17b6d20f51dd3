// The side panel: the texts of its three lines and the extra-life rule it
// applies to every score update. Plain procedures over the game state; the
// dialog that shows them is scores/panel_win.cpp.
#pragma once

#include <cstdint>

enum {
    PANEL_TEXT_LEN = 48, // room for any line the panel shows
    PANEL_MAX_LIVES = 5,
    PANEL_LIFE_POINTS = 100000, // one life back for every 100,000 points
};

// " Score: 00012345": at least eight digits. Returns 1.
int PanelScoreText(uint32_t lScore, char* szBuf, int cchBuf);

// " Level 07": at least two digits. Returns 1.
int PanelLevelText(int nLevel, char* szBuf, int cchBuf);

// " 1500 Points To Go", " 1 Point To Go": the amount left, the goal kind's
// name, the plural's last letter dropped when exactly one is left. Returns 1.
int PanelGoalText(int nGoalLeft, int nKind, char* szBuf, int cchBuf);

// The extra-life rule of a score update: when game.lScore has passed a
// multiple of 100,000 that game.lPanelScore had not, the player gets one life
// (however many multiples were passed), up to five, and "NEWGUY" plays.
// game.lPanelScore then takes game.lScore. Returns 1 when a life was added
// (the life icons need redrawing), else 0.
int PanelScoreUpdate();
