// The side panel's texts and its extra-life rule.
#include "scores/panel.h"

#include <cstdio>
#include <cstring>

#include "engine/game.h"

int PanelScoreText(uint32_t lScore, char* szBuf, int cchBuf) {
    snprintf(szBuf, (size_t)cchBuf, " Score: %.8lu", (unsigned long)lScore);
    return 1;
}

int PanelLevelText(int nLevel, char* szBuf, int cchBuf) {
    snprintf(szBuf, (size_t)cchBuf, " Level %.2d", nLevel);
    return 1;
}

int PanelGoalText(int nGoalLeft, int nKind, char* szBuf, int cchBuf) {
    const char* szKind = (nKind >= 0 && nKind < NUM_GOAL_KINDS) ? aGoalKindName[nKind] : "";
    char szLine[PANEL_TEXT_LEN];
    snprintf(szLine, sizeof szLine, " %d%.*s", nGoalLeft, GOAL_NAME_LEN - 1, szKind);
    size_t nLen = strlen(szLine);
    // One left: "Points" becomes "Point", "5-Tile-Vs" becomes "5-Tile-V".
    if (nGoalLeft == 1 && nLen > 0) szLine[nLen - 1] = '\0';
    snprintf(szBuf, (size_t)cchBuf, "%s To Go", szLine);
    return 1;
}

int PanelScoreUpdate() {
    // Both scores are unsigned, so the division stays right past 2^31 points.
    int bLifeAdded = 0;
    if (game.lPanelScore / PANEL_LIFE_POINTS < game.lScore / PANEL_LIFE_POINTS) {
        game.nLives += 1;
        if (game.nLives > PANEL_MAX_LIVES) {
            game.nLives = PANEL_MAX_LIVES;
        } else {
            pHost->PlayGameSound("NEWGUY", 1);
            bLifeAdded = 1;
        }
    }
    game.lPanelScore = game.lScore;
    return bLifeAdded;
}
