#include "scores/hiscore.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/game.h"

HighScoreTable hsTable;
int32_t lLastScore;
int32_t lHighToday;
int bShowHighToday;
int nTopLineTicks;

namespace {

// Copies at most cchDest - 1 characters of szSrc and terminates.
void CopyCut(char* szDest, int cchDest, const char* szSrc, int cchSrc) {
    int n = 0;
    while (n < cchDest - 1 && n < cchSrc && szSrc[n]) {
        szDest[n] = szSrc[n];
        n++;
    }
    szDest[n] = '\0';
}

// The number of colours the tiles step through (never below 1).
int TileColors() {
    return game.nTileColors > 0 ? game.nTileColors : NUM_COLORS;
}

} // namespace

void HighScoreDefaultRow(HighScoreEntry* pRow) {
    memset(pRow, 0, sizeof *pRow);
    strcpy(pRow->szName, "A. Player");
    pRow->lScore = 0;
    pRow->nLevel = 1;
    strcpy(pRow->szDate, "12/01/95");
}

int ResetHighScores() {
    for (HighScoreEntry& row : hsTable.aRow) HighScoreDefaultRow(&row);
    return 1;
}

int HighScoreRecordFormat(const HighScoreEntry* pRow, char* szOut, int cch) {
    if (cch <= 0) return 0;
    int n = snprintf(szOut, (size_t)cch, "%s,%d,%.8u,%s", pRow->szName, (int)pRow->nLevel,
                     (unsigned)(uint32_t)pRow->lScore, pRow->szDate);
    if (n < 0 || n >= cch) {
        szOut[0] = '\0';
        return 0;
    }
    return n;
}

int64_t HighScoreReadNumber(const char* sz) {
    while (*sz == ' ' || *sz == '\t' || *sz == '\n' || *sz == '\r' || *sz == '\v' || *sz == '\f')
        sz++;
    int bNegative = 0;
    if (*sz == '+' || *sz == '-') bNegative = *sz++ == '-';
    int64_t n = 0;
    for (; *sz >= '0' && *sz <= '9'; sz++)
        if (n <= 0xFFFFFFFFLL) n = n * 10 + (*sz - '0');
    return bNegative ? -n : n;
}

int HighScoreRecordParse(const char* szValue, HighScoreEntry* pRow) {
    // Up to four fields; each is [start, start + length) of szValue.
    const char* apField[4];
    int anLen[4];
    int nFields = 0;
    const char* p = szValue;
    while (nFields < 4) {
        while (*p == ',') p++;
        if (!*p) break;
        const char* pStart = p;
        // The last field runs to the next comma, like the others.
        while (*p && *p != ',') p++;
        apField[nFields] = pStart;
        anLen[nFields] = (int)(p - pStart);
        nFields++;
    }
    if (nFields < 4) return 0;

    char szNumber[HS_RECORD_LEN];
    HighScoreEntry row;
    memset(&row, 0, sizeof row);
    CopyCut(row.szName, HS_NAME_LEN, apField[0], anLen[0]);
    CopyCut(szNumber, HS_RECORD_LEN, apField[1], anLen[1]);
    int64_t nLevel = HighScoreReadNumber(szNumber);
    if (nLevel > INT32_MAX) nLevel = INT32_MAX;
    if (nLevel < INT32_MIN) nLevel = INT32_MIN;
    row.nLevel = (int32_t)nLevel;
    // The score is written unsigned: a value up to 4294967295 comes back as
    // the same 32 bits.
    CopyCut(szNumber, HS_RECORD_LEN, apField[2], anLen[2]);
    int64_t lScore = HighScoreReadNumber(szNumber);
    if (lScore > (int64_t)UINT32_MAX) lScore = UINT32_MAX;
    if (lScore < INT32_MIN) lScore = INT32_MIN;
    row.lScore = (int32_t)(uint32_t)lScore;
    CopyCut(row.szDate, HS_DATE_LEN, apField[3], anLen[3]);
    *pRow = row;
    return 1;
}

int HighScoreQualifies(int32_t lScore) {
    return (uint32_t)lScore > (uint32_t)hsTable.aRow[NUM_HIGH_SCORES - 1].lScore;
}

int HighScoreRankFor(int32_t lScore) {
    int p = 0;
    while (p < NUM_HIGH_SCORES && (uint32_t)hsTable.aRow[p].lScore >= (uint32_t)lScore) p++;
    return p;
}

int HighScoreNameClean(const char* szName, char* szOut, int cchOut) {
    if (cchOut <= 0) return 0;
    int n = 0;
    for (; n < cchOut - 1 && szName[n]; n++) {
        unsigned char ch = (unsigned char)szName[n];
        szOut[n] = ch == ',' || ch < ' ' || ch == 127 ? ' ' : (char)ch;
    }
    while (n > 0 && szOut[n - 1] == ' ') n--;
    szOut[n] = '\0';
    int nLead = 0;
    while (szOut[nLead] == ' ') nLead++;
    memmove(szOut, szOut + nLead, (size_t)(n - nLead + 1));
    return n - nLead;
}

int HighScoreInsertDated(const char* szName, int32_t lScore, int32_t nLevel, const char* szDate) {
    char szClean[HS_NAME_LEN];
    if (!HighScoreNameClean(szName, szClean, sizeof szClean)) return -1;
    int p = HighScoreRankFor(lScore);
    if (p >= NUM_HIGH_SCORES) return -1;
    for (int k = NUM_HIGH_SCORES - 1; k > p; k--) hsTable.aRow[k] = hsTable.aRow[k - 1];
    HighScoreEntry& row = hsTable.aRow[p];
    memset(&row, 0, sizeof row);
    CopyCut(row.szName, HS_NAME_LEN, szClean, HS_NAME_LEN);
    row.lScore = lScore;
    row.nLevel = nLevel;
    CopyCut(row.szDate, HS_DATE_LEN, szDate, HS_DATE_LEN);
    return p;
}

int HighScoreDateFormat(char* szOut, int cch, int nMonth, int nDay, int nYear) {
    if (cch <= 0) return 0;
    int n = snprintf(szOut, (size_t)cch, "%.2d/%.2d/%.2d", nMonth, nDay, nYear);
    return n < 0 ? 0 : (n < cch ? n : cch - 1);
}

int HighScoreGameOver(int32_t lScore) {
    lLastScore = lScore;
    if ((uint32_t)lScore > (uint32_t)lHighToday) lHighToday = lScore;
    return HighScoreQualifies(lScore);
}

int HighScoreTopLine(char* szOut, int cch) {
    if (!bShowHighToday)
        snprintf(szOut, (size_t)cch, "Last Score: %.8u", (unsigned)(uint32_t)lLastScore);
    else
        snprintf(szOut, (size_t)cch, "High Today: %.8u", (unsigned)(uint32_t)lHighToday);
    bShowHighToday = !bShowHighToday;
    return 1;
}

int HighScoreTopLineTick() {
    if (++nTopLineTicks < HS_TOPLINE_TICKS) return 0;
    nTopLineTicks = 0;
    return 1;
}

int HighScoreRowTexts(int k, char* szScore, int cchScore, char* szLevel, int cchLevel) {
    if (k < 0 || k >= NUM_HIGH_SCORES) return 0;
    const HighScoreEntry& row = hsTable.aRow[k];
    snprintf(szScore, (size_t)cchScore, "%.8u", (unsigned)(uint32_t)row.lScore);
    snprintf(szLevel, (size_t)cchLevel, "%.2d", (int)row.nLevel);
    return 1;
}

int SpinTilesStart(SpinTile aTile[2], int left, int right, int top, int* pY) {
    aTile[0].x = left + 60;
    aTile[1].x = right - 100;
    *pY = top + 7;
    aTile[0].nFrame = rand() % NUM_FRAMES;
    aTile[1].nFrame = rand() % NUM_FRAMES;
    int nColors = TileColors();
    do {
        aTile[0].nColor = rand() % nColors;
        aTile[1].nColor = rand() % nColors;
    } while (aTile[0].nColor == aTile[1].nColor && nColors > 1);
    return 1;
}

int SpinTileStep(SpinTile* pTile) {
    if (++pTile->nFrame >= NUM_FRAMES) {
        pTile->nFrame = 0;
        if (++pTile->nColor >= TileColors()) pTile->nColor = 0;
    }
    return 1;
}

int GameOverRowStart(GameOverRow* pRow) {
    pRow->y = GAMEOVER_START_Y;
    pRow->nFrame = 0;
    return 1;
}

int GameOverTileColor(int i) {
    return i % NUM_COLORS;
}

int GameOverTileX(int i) {
    return 40 * i;
}

int GameOverRowStep(GameOverRow* pRow) {
    pRow->y += 2;
    if (++pRow->nFrame >= NUM_FRAMES) pRow->nFrame = 0;
    return pRow->y > GAMEOVER_LAST_Y;
}
