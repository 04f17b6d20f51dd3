// The help's document: its markup parser, its pictures and the page layout.
#include "render/helpdoc.h"

#include <cstdio>
#include <cstring>

#include "engine/lines.h"
#include "render/goal.h"
#include "render/zoom.h"
#include "scores/leveldone.h"
#include "scores/panel.h"

namespace {

// --- Pictures ------------------------------------------------------------------

// Boards that are no single shape of the goal picture.
enum { BOARD_COLUMN5 = 100, BOARD_CHAIN_BEFORE, BOARD_CHAIN_AFTER };

struct PictureDef {
    const char* szName;
    int nKind;
    int nBoard; // HP_BOARD: the goal kind of its line, or one of BOARD_*
};

const PictureDef kPictures[] = {
    {"column-3", HP_BOARD, GOAL_VERT3},
    {"column-4", HP_BOARD, GOAL_VERT4},
    {"column-5", HP_BOARD, BOARD_COLUMN5},
    {"row-3", HP_BOARD, GOAL_HORZ3},
    {"row-4", HP_BOARD, GOAL_HORZ4},
    {"row-5", HP_BOARD, GOAL_HORZ5},
    {"slant-3", HP_BOARD, GOAL_DIAG3},
    {"slant-4", HP_BOARD, GOAL_DIAG4},
    {"slant-5", HP_BOARD, GOAL_DIAG5},
    {"v", HP_BOARD, GOAL_V5},
    {"x-5", HP_BOARD, GOAL_X5},
    {"x-9", HP_BOARD, GOAL_X9},
    {"chain-before", HP_BOARD, BOARD_CHAIN_BEFORE},
    {"chain-after", HP_BOARD, BOARD_CHAIN_AFTER},
    {"paddle", HP_PADDLE, 0},
    {"goal", HP_GOAL, 0},
    {"gamepad", HP_PAD, 0},
};
const int kNumPictures = (int)(sizeof kPictures / sizeof kPictures[0]);

// The colour of a line of each shape, and the tiles that hold it up.
const TileColor kLineColors[] = {TILE_RED,    TILE_BLUE, TILE_GREEN, TILE_PURPLE,
                                 TILE_YELLOW, TILE_DRED, TILE_LBLUE};
const TileColor kSupportOrder[] = {TILE_GREEN, TILE_YELLOW, TILE_BLUE, TILE_PURPLE,
                                   TILE_RED,   TILE_LBLUE,  TILE_DRED};

TileColor LineColor(int nShape) {
    return kLineColors[nShape % (int)(sizeof kLineColors / sizeof kLineColors[0])];
}

int CellIndex(int nBin, int nRow) {
    return nBin * NUM_ROWS + nRow;
}

// A goal picture cell (row 0 at the top) as a bin cell (row 0 at the bottom).
int CellOfExample(const GoalCell& c) {
    return CellIndex(c.nCol, GOAL_GRID - 1 - c.nRow);
}

void BoardClear(HelpBoard* pBoard) {
    for (int i = 0; i < NUM_CELLS; i++) {
        pBoard->aCell[i] = TILE_NONE;
        pBoard->aLine[i] = 0;
    }
    pBoard->nPasses = 0;
}

// Tiles cannot float: every cell below a tile gets one. They come in four
// colours other than the line's, laid so that no three of one colour meet
// in any direction.
int BoardSupport(HelpBoard* pBoard, TileColor cLine) {
    TileColor aPalette[4];
    int n = 0;
    for (TileColor c : kSupportOrder)
        if (c != cLine && n < 4) aPalette[n++] = c;
    int nAdded = 0;
    for (int nBin = 0; nBin < NUM_LANES; nBin++) {
        int nTop = -1;
        for (int nRow = 0; nRow < NUM_ROWS; nRow++)
            if (pBoard->aCell[CellIndex(nBin, nRow)] != TILE_NONE) nTop = nRow;
        for (int nRow = 0; nRow < nTop; nRow++) {
            TileColor& c = pBoard->aCell[CellIndex(nBin, nRow)];
            if (c != TILE_NONE) continue;
            c = aPalette[(nBin + 2 * nRow) % 4];
            nAdded++;
        }
    }
    return nAdded;
}

// The shape's example that needs the fewest tiles beneath it, on its own.
int BoardOfShape(int nShape, HelpBoard* pBoard) {
    int nBest = -1, nBestAdded = NUM_CELLS + 1;
    for (int nPhase = 0; nPhase < GoalPhaseCount(nShape); nPhase++) {
        GoalStep step = GoalExample(nShape, nPhase);
        HelpBoard b;
        BoardClear(&b);
        for (int i = 0; i < step.nCells; i++) b.aCell[CellOfExample(step.pCells[i])] = 0;
        int nAdded = BoardSupport(&b, TILE_NONE);
        if (step.nCells > 0 && nAdded < nBestAdded) {
            nBest = nPhase;
            nBestAdded = nAdded;
        }
    }
    if (nBest < 0 || !LineScoreOf(nShape)) return 0;
    BoardClear(pBoard);
    GoalStep step = GoalExample(nShape, nBest);
    TileColor c = LineColor(nShape);
    for (int i = 0; i < step.nCells; i++) {
        int k = CellOfExample(step.pCells[i]);
        pBoard->aCell[k] = c;
        pBoard->aLine[k] = 1;
    }
    BoardSupport(pBoard, c);
    pBoard->nPasses = 1;
    pBoard->anShape[0] = nShape;
    return 1;
}

// The example of a kind whose cells all satisfy the test, or -1.
template <typename Test> int ExampleWhere(int nKind, Test bTest) {
    for (int nPhase = 0; nPhase < GoalPhaseCount(nKind); nPhase++) {
        GoalStep step = GoalExample(nKind, nPhase);
        int bAll = step.nCells > 0;
        for (int i = 0; i < step.nCells; i++) bAll = bAll && bTest(step.pCells[i]);
        if (bAll) return nPhase;
    }
    return -1;
}

// A chain: a column of three on the floor of a bin with one more tile on
// top, beside the rest of a row of three along the floor. The column clears,
// the tile falls to the floor and completes the row.
int BoardOfChain(HelpBoard* pBoard) {
    const int nFloor = GOAL_GRID - 1; // the bottom row of the goal picture
    int nRowPhase = ExampleWhere(GOAL_HORZ3, [&](const GoalCell& c) { return c.nRow == nFloor; });
    if (nRowPhase < 0) return 0;
    GoalStep row = GoalExample(GOAL_HORZ3, nRowPhase);
    int nBin = row.pCells[0].nCol;
    int nColumnPhase = ExampleWhere(
        GOAL_VERT3, [&](const GoalCell& c) { return c.nCol == nBin && c.nRow >= nFloor - 2; });
    if (nColumnPhase < 0) return 0;
    GoalStep column = GoalExample(GOAL_VERT3, nColumnPhase);

    BoardClear(pBoard);
    TileColor cColumn = LineColor(GOAL_VERT3), cRow = LineColor(GOAL_HORZ3);
    for (int i = 0; i < row.nCells; i++) pBoard->aCell[CellOfExample(row.pCells[i])] = cRow;
    for (int i = 0; i < column.nCells; i++) {
        int k = CellOfExample(column.pCells[i]);
        pBoard->aCell[k] = cColumn;
        pBoard->aLine[k] = 1;
    }
    pBoard->aCell[CellIndex(nBin, column.nCells)] = cRow;
    pBoard->nPasses = 2;
    pBoard->anShape[0] = GOAL_VERT3;
    pBoard->anShape[1] = GOAL_HORZ3;
    return 1;
}

// The board once the first pass's lines are gone and the tiles above have
// fallen; the cells of the next pass's line marked.
void BoardAfterFirstPass(const HelpBoard& before, HelpBoard* pAfter) {
    BoardClear(pAfter);
    for (int nBin = 0; nBin < NUM_LANES; nBin++) {
        int nTo = 0;
        for (int nRow = 0; nRow < NUM_ROWS; nRow++) {
            int k = CellIndex(nBin, nRow);
            if (before.aCell[k] == TILE_NONE || before.aLine[k]) continue;
            pAfter->aCell[CellIndex(nBin, nTo++)] = before.aCell[k];
        }
    }
    for (int i = 1; i < before.nPasses; i++) pAfter->anShape[pAfter->nPasses++] = before.anShape[i];
}

// --- Numbers of the rules that the text may name ----------------------------------

struct NamedValue {
    const char* szName;
    int32_t nValue;
};

const NamedValue kValues[] = {
    {"tile-bonus", LEVELDONE_TILE_BONUS},
    {"cell-bonus", LEVELDONE_CELL_BONUS},
    {"life-points", PANEL_LIFE_POINTS},
    {"max-lives", PANEL_MAX_LIVES},
    {"start-lives", START_LIVES},
    {"levels", NUM_LEVELS},
    {"max-held", MAX_HELD},
    {"cells", NUM_CELLS},
    {"empty-bins-bonus", (int32_t)NUM_CELLS* LEVELDONE_CELL_BONUS},
    {"lanes", NUM_LANES},
    {"rows", NUM_ROWS},
};

// A number with its thousands set apart: 75,000.
void NumberText(int32_t n, char* sz, int cch) {
    char szDigits[16];
    std::snprintf(szDigits, sizeof szDigits, "%ld", (long)(n < 0 ? -n : n));
    int nDigits = (int)std::strlen(szDigits), j = 0;
    if (n < 0 && j < cch - 1) sz[j++] = '-';
    for (int i = 0; i < nDigits && j < cch - 1; i++) {
        if (i > 0 && (nDigits - i) % 3 == 0 && j < cch - 1) sz[j++] = ',';
        if (j < cch - 1) sz[j++] = szDigits[i];
    }
    sz[j] = '\0';
}

// --- Parsing -----------------------------------------------------------------------

struct Parser {
    HelpDoc* pDoc;
    int nLine;
    int bParagraphOpen;
    int nTopicLine; // where the open topic began
};

int Fail(Parser& ps, const char* szWhat, const char* p = nullptr, int n = 0) {
    if (p)
        std::snprintf(ps.pDoc->szError, HELP_ERROR_LEN, "line %d: %s \"%.*s\"", ps.nLine, szWhat, n,
                      p);
    else
        std::snprintf(ps.pDoc->szError, HELP_ERROR_LEN, "line %d: %s", ps.nLine, szWhat);
    return 0;
}

int PoolPut(Parser& ps, const char* p, int n) {
    HelpDoc& doc = *ps.pDoc;
    if (doc.nPool + n + 1 > HELP_POOL) return Fail(ps, "the help text is too long");
    std::memcpy(doc.aPool + doc.nPool, p, (size_t)n);
    doc.nPool += n;
    doc.aPool[doc.nPool] = '\0';
    return 1;
}

int PoolPutText(Parser& ps, const char* sz) {
    return PoolPut(ps, sz, (int)std::strlen(sz));
}

// Copies text into the pool with every {value} replaced by its number.
int PoolPutExpanded(Parser& ps, const char* p, int n) {
    int i = 0;
    while (i < n) {
        if (p[i] != '{') {
            int j = i;
            while (j < n && p[j] != '{') j++;
            if (!PoolPut(ps, p + i, j - i)) return 0;
            i = j;
            continue;
        }
        int j = i + 1;
        while (j < n && p[j] != '}') j++;
        if (j >= n) return Fail(ps, "a { without its }");
        const NamedValue* pValue = nullptr;
        for (const NamedValue& v : kValues)
            if ((int)std::strlen(v.szName) == j - i - 1 &&
                std::strncmp(v.szName, p + i + 1, (size_t)(j - i - 1)) == 0)
                pValue = &v;
        if (!pValue) return Fail(ps, "unknown value", p + i, j - i + 1);
        char sz[24];
        NumberText(pValue->nValue, sz, sizeof sz);
        if (!PoolPutText(ps, sz)) return 0;
        i = j + 1;
    }
    return 1;
}

HelpBlock* BlockNew(Parser& ps, int nType) {
    HelpDoc& doc = *ps.pDoc;
    if (doc.nTopics == 0) {
        Fail(ps, "text before the first @topic");
        return nullptr;
    }
    if (doc.nBlocks >= HELP_MAX_BLOCKS) {
        Fail(ps, "too many paragraphs");
        return nullptr;
    }
    HelpBlock* pBlock = &doc.aBlock[doc.nBlocks++];
    *pBlock = HelpBlock{nType, {doc.nPool, 0}, {doc.nPool, 0}, -1};
    doc.aTopic[doc.nTopics - 1].nBlocks++;
    return pBlock;
}

// The goal kind's name for a count: " 3-Tile-Verticals" as "3-Tile-Verticals",
// or "3-Tile-Vertical" for one.
int PutKindCount(Parser& ps, int nKind, int nCount) {
    const char* szName = aGoalKindName[nKind];
    while (*szName == ' ') szName++;
    int n = (int)std::strlen(szName);
    if (nCount == 1 && n > 0 && szName[n - 1] == 's') n--;
    char sz[16];
    std::snprintf(sz, sizeof sz, "%d ", nCount); // the lines keep a count with its word
    return PoolPutText(ps, sz) && PoolPut(ps, szName, n);
}

// What a picture's caption says below its title, from the game's tables.
int PutCaption(Parser& ps, int nPicture) {
    char sz[64];
    if (kPictures[nPicture].nKind == HP_GOAL) {
        HelpGoal goal;
        if (!HelpGoalOf(&goal)) return 1;
        std::snprintf(sz, sizeof sz, "Level %d: ", goal.nLevel);
        return PoolPutText(ps, sz) && PutKindCount(ps, goal.nKind, aLevelGoal[goal.nLevel].nAmount);
    }
    HelpBoard board;
    if (!HelpBoardOf(nPicture, &board)) return 1;
    for (int i = 0; i < board.nPasses; i++) {
        NumberText(LineScoreOf(board.anShape[i])->nPoints, sz, sizeof sz);
        if (i > 0 && !PoolPutText(ps, " + ")) return 0;
        if (!PoolPutText(ps, sz)) return 0;
    }
    if (board.nPasses > 1) {
        NumberText(HelpBoardPoints(board), sz, sizeof sz);
        if (!PoolPutText(ps, " = ") || !PoolPutText(ps, sz)) return 0;
    }
    if (!PoolPutText(ps, " points\nCounts as:")) return 0;
    int anCount[NUM_GOAL_KINDS];
    HelpBoardCounts(board, anCount);
    for (int k = NUM_GOAL_KINDS - 1; k > GOAL_TILES; k--)
        if (anCount[k] > 0 && !(PoolPutText(ps, "\n") && PutKindCount(ps, k, anCount[k]))) return 0;
    return 1;
}

int TopicCheckNotEmpty(Parser& ps) {
    HelpDoc& doc = *ps.pDoc;
    if (doc.nTopics == 0 || doc.aTopic[doc.nTopics - 1].nBlocks > 0) return 1;
    HelpText t = doc.aTopic[doc.nTopics - 1].title;
    ps.nLine = ps.nTopicLine;
    return Fail(ps, "empty topic", doc.aPool + t.nAt, t.nLen);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// One command line, after its '@': the command word and its argument.
int ParseCommand(Parser& ps, const char* p, int n) {
    HelpDoc& doc = *ps.pDoc;
    int nWord = 0;
    while (nWord < n && !IsBlank(p[nWord])) nWord++;
    const char* pArg = p + nWord;
    int nArg = n - nWord;
    while (nArg > 0 && IsBlank(*pArg)) pArg++, nArg--;
    auto Is = [&](const char* sz) {
        return (int)std::strlen(sz) == nWord && std::strncmp(sz, p, (size_t)nWord) == 0;
    };

    if (Is("topic")) {
        if (!TopicCheckNotEmpty(ps)) return 0;
        if (nArg == 0) return Fail(ps, "a topic without a title");
        if (doc.nTopics >= HELP_MAX_TOPICS) return Fail(ps, "too many topics");
        HelpTopic& t = doc.aTopic[doc.nTopics];
        t.title = HelpText{doc.nPool, 0};
        if (!PoolPutExpanded(ps, pArg, nArg)) return 0;
        t.title.nLen = doc.nPool - t.title.nAt;
        t.nFirstBlock = doc.nBlocks;
        t.nBlocks = 0;
        doc.nTopics++;
        ps.nTopicLine = ps.nLine;
        return 1;
    }
    if (Is("heading")) {
        HelpBlock* pBlock = BlockNew(ps, HB_HEADING);
        if (!pBlock || !PoolPutExpanded(ps, pArg, nArg)) return 0;
        pBlock->text.nLen = doc.nPool - pBlock->text.nAt;
        return 1;
    }
    if (Is("picture")) {
        int nName = 0;
        while (nName < nArg && !IsBlank(pArg[nName])) nName++;
        int nPicture = HelpPictureFind(pArg, nName);
        if (nPicture < 0) return Fail(ps, "unknown picture", pArg, nName);
        HelpBlock* pBlock = BlockNew(ps, HB_PICTURE);
        if (!pBlock) return 0;
        pBlock->nPicture = nPicture;
        const char* pTitle = pArg + nName;
        int nTitle = nArg - nName;
        while (nTitle > 0 && IsBlank(*pTitle)) pTitle++, nTitle--;
        if (!PoolPutExpanded(ps, pTitle, nTitle)) return 0;
        pBlock->text.nLen = doc.nPool - pBlock->text.nAt;
        pBlock->text2.nAt = doc.nPool;
        if (!PutCaption(ps, nPicture)) return 0;
        pBlock->text2.nLen = doc.nPool - pBlock->text2.nAt;
        return 1;
    }
    if (Is("key")) {
        int nBar = 0;
        while (nBar < nArg && pArg[nBar] != '|') nBar++;
        if (nBar >= nArg) return Fail(ps, "a key row needs keys | what they do");
        int nKeys = nBar;
        while (nKeys > 0 && IsBlank(pArg[nKeys - 1])) nKeys--;
        const char* pWhat = pArg + nBar + 1;
        int nWhat = nArg - nBar - 1;
        while (nWhat > 0 && IsBlank(*pWhat)) pWhat++, nWhat--;
        if (nKeys == 0 || nWhat == 0) return Fail(ps, "a key row needs keys | what they do");
        HelpBlock* pBlock = BlockNew(ps, HB_KEY);
        if (!pBlock || !PoolPutExpanded(ps, pArg, nKeys)) return 0;
        pBlock->text.nLen = doc.nPool - pBlock->text.nAt;
        pBlock->text2.nAt = doc.nPool;
        if (!PoolPutExpanded(ps, pWhat, nWhat)) return 0;
        pBlock->text2.nLen = doc.nPool - pBlock->text2.nAt;
        return 1;
    }
    return Fail(ps, "unknown command", p - 1, nWord + 1);
}

// --- Layout --------------------------------------------------------------------------

struct Layouter {
    const HelpMeasure& m;
    HelpLayout* pOut;
    int bOverflow;
};

// A length of the design in page pixels.
int Px(const Layouter& lo, int v) {
    return ZoomScale(lo.m.nZoom > 1 ? lo.m.nZoom : 1, v);
}

int Width(Layouter& lo, int nFont, const char* p, int n) {
    return lo.m.pfnWidth(lo.m.pCtx, nFont, p, n);
}

void ItemAdd(Layouter& lo, const HelpItem& item) {
    if (lo.pOut->nItems >= HELP_MAX_ITEMS) {
        lo.bOverflow = 1;
        return;
    }
    lo.pOut->aItem[lo.pOut->nItems++] = item;
}

// A count: digits, perhaps with commas setting the thousands apart.
bool IsCount(const char* p, int n) {
    if (n == 0 || p[0] < '0' || p[0] > '9') return false;
    for (int i = 0; i < n; i++)
        if ((p[i] < '0' || p[i] > '9') && p[i] != ',') return false;
    return true;
}

// The end of the word that starts at or after k (blanks first skipped). A
// count and the word after it ("3 Tile-Verticals") are one word: no line
// ends between them.
int WordEnd(const char* p, int n, int k) {
    while (k < n && p[k] == ' ') k++;
    int nStart = k;
    while (k < n && p[k] != ' ' && p[k] != '\n') k++;
    if (IsCount(p + nStart, k - nStart) && k + 1 < n && p[k] == ' ' && p[k + 1] != ' ' &&
        p[k + 1] != '\n')
        return WordEnd(p, n, k);
    return k;
}

// Wraps text into lines of at most nWidth pixels from (x, y), breaking at
// blanks (never right after a count) and at every '\n'; returns the y below
// the last line.
int TextWrap(Layouter& lo, int nFont, int x, int y, int nWidth, const char* p, int n) {
    const int h = lo.m.anLineH[nFont];
    int i = 0;
    while (i < n) {
        while (i < n && p[i] == ' ') i++;
        if (i >= n) break;
        int nEnd = i; // the end of the words that fit so far
        int j = i;
        while (j < n && p[j] != '\n') {
            int k = WordEnd(p, n, j);
            if (nEnd > i && Width(lo, nFont, p + i, k - i) > nWidth) break;
            nEnd = k;
            j = k;
        }
        ItemAdd(lo, HelpItem{HI_TEXT, nFont, x, y, Width(lo, nFont, p + i, nEnd - i), h, p + i,
                             nEnd - i, -1});
        y += h;
        i = nEnd;
        if (i < n && p[i] == '\n') i++;
    }
    return y;
}

enum { PICTURE_GAP = 10, KEY_GAP = 10 };

} // namespace

// --- Pictures ---------------------------------------------------------------------------

int HelpPictureCount() {
    return kNumPictures;
}

const char* HelpPictureName(int nPicture) {
    return nPicture >= 0 && nPicture < kNumPictures ? kPictures[nPicture].szName : "";
}

int HelpPictureKind(int nPicture) {
    return nPicture >= 0 && nPicture < kNumPictures ? kPictures[nPicture].nKind : -1;
}

int HelpPictureFind(const char* szName, int n) {
    for (int i = 0; i < kNumPictures; i++)
        if ((int)std::strlen(kPictures[i].szName) == n &&
            std::strncmp(kPictures[i].szName, szName, (size_t)n) == 0)
            return i;
    return -1;
}

void HelpPictureSize(int nPicture, int* pnW, int* pnH) {
    switch (HelpPictureKind(nPicture)) {
    case HP_BOARD: *pnW = HELP_BOARD_W, *pnH = HELP_BOARD_H; break;
    case HP_PADDLE: *pnW = HELP_PADDLE_W, *pnH = HELP_PADDLE_H; break;
    case HP_GOAL: *pnW = HELP_GOAL_W, *pnH = HELP_GOAL_H; break;
    case HP_PAD: *pnW = HELP_PAD_W, *pnH = HELP_PAD_H; break;
    default: *pnW = *pnH = 0; break;
    }
}

int HelpBoardOf(int nPicture, HelpBoard* pBoard) {
    if (HelpPictureKind(nPicture) != HP_BOARD) return 0;
    int nBoard = kPictures[nPicture].nBoard;
    switch (nBoard) {
    case BOARD_COLUMN5: {
        // Five in a column: the detectors know no such line; the bottom four
        // clear as a column of four and the top tile stays.
        if (!BoardOfShape(GOAL_VERT4, pBoard)) return 0;
        for (int nBin = 0; nBin < NUM_LANES; nBin++) {
            if (!pBoard->aLine[CellIndex(nBin, 0)]) continue;
            pBoard->aCell[CellIndex(nBin, NUM_ROWS - 1)] = pBoard->aCell[CellIndex(nBin, 0)];
        }
        return 1;
    }
    case BOARD_CHAIN_BEFORE: return BoardOfChain(pBoard);
    case BOARD_CHAIN_AFTER: {
        HelpBoard before;
        if (!BoardOfChain(&before)) return 0;
        BoardAfterFirstPass(before, pBoard);
        // The row that the fall completes.
        for (int nBin = 0; nBin < NUM_LANES; nBin++)
            pBoard->aLine[CellIndex(nBin, 0)] =
                pBoard->aCell[CellIndex(nBin, 0)] == LineColor(GOAL_HORZ3);
        return 1;
    }
    default: return BoardOfShape(nBoard, pBoard);
    }
}

int HelpPaddleOf(HelpPaddle* pPaddle) {
    static const TileColor kStack[] = {TILE_RED, TILE_YELLOW, TILE_BLUE, TILE_GREEN};
    pPaddle->nHeld = (int)(sizeof kStack / sizeof kStack[0]);
    for (int i = 0; i < MAX_HELD; i++) pPaddle->aBefore[i] = pPaddle->aAfter[i] = TILE_NONE;
    for (int i = 0; i < pPaddle->nHeld; i++) pPaddle->aBefore[i] = kStack[i];
    // Up: the bottom tile of the stack goes to the top, the rest move down.
    for (int i = 0; i < pPaddle->nHeld; i++)
        pPaddle->aAfter[i] = pPaddle->aBefore[(i + 1) % pPaddle->nHeld];
    return 1;
}

int HelpGoalOf(HelpGoal* pGoal) {
    // The first level whose goal is a pattern of lines.
    for (int nLevel = 1; nLevel <= NUM_LEVELS; nLevel++) {
        int nKind = aLevelGoal[nLevel].nKind;
        if (GoalPhaseCount(nKind) == 0) continue;
        *pGoal = HelpGoal{nLevel, nKind, 0, NUM_GOAL_CELL_COLORS - 2};
        return 1;
    }
    return 0;
}

int32_t HelpBoardPoints(const HelpBoard& board) {
    int32_t nPoints = 0;
    for (int i = 0; i < board.nPasses; i++) {
        const LineScore* p = LineScoreOf(board.anShape[i]);
        if (p) nPoints += p->nPoints;
    }
    return nPoints;
}

void HelpBoardCounts(const HelpBoard& board, int anCount[NUM_GOAL_KINDS]) {
    for (int k = 0; k < NUM_GOAL_KINDS; k++) anCount[k] = 0;
    for (int i = 0; i < board.nPasses; i++) {
        const LineScore* p = LineScoreOf(board.anShape[i]);
        if (!p) continue;
        for (const auto& g : p->aGoal)
            if (g[1] > 0 && g[0] >= 0 && g[0] < NUM_GOAL_KINDS) anCount[g[0]] += g[1];
    }
}

// --- Parsing --------------------------------------------------------------------------------

int HelpDocParse(const char* pText, int cbText, HelpDoc* pDoc) {
    pDoc->nTopics = 0;
    pDoc->nBlocks = 0;
    pDoc->nPool = 0;
    pDoc->aPool[0] = '\0';
    pDoc->szError[0] = '\0';
    Parser ps = {pDoc, 0, 0, 0};
    int i = 0;
    while (i < cbText && pText[i] != '\0') {
        int nStart = i;
        while (i < cbText && pText[i] != '\0' && pText[i] != '\n') i++;
        int nEnd = i;
        if (i < cbText && pText[i] == '\n') i++;
        ps.nLine++;
        while (nEnd > nStart && (IsBlank(pText[nEnd - 1]) || pText[nEnd - 1] == '\r')) nEnd--;
        while (nStart < nEnd && IsBlank(pText[nStart])) nStart++;
        const char* p = pText + nStart;
        int n = nEnd - nStart;

        if (n == 0) {
            ps.bParagraphOpen = 0;
        } else if (p[0] == ';') {
            continue;
        } else if (p[0] == '@') {
            ps.bParagraphOpen = 0;
            if (!ParseCommand(ps, p + 1, n - 1)) return 0;
        } else if (ps.bParagraphOpen) {
            HelpBlock& block = pDoc->aBlock[pDoc->nBlocks - 1];
            if (!PoolPut(ps, " ", 1) || !PoolPutExpanded(ps, p, n)) return 0;
            block.text.nLen = pDoc->nPool - block.text.nAt;
        } else {
            HelpBlock* pBlock = BlockNew(ps, HB_PARAGRAPH);
            if (!pBlock || !PoolPutExpanded(ps, p, n)) return 0;
            pBlock->text.nLen = pDoc->nPool - pBlock->text.nAt;
            ps.bParagraphOpen = 1;
        }
    }
    if (!TopicCheckNotEmpty(ps)) return 0;
    if (pDoc->nTopics == 0) return Fail(ps, "no @topic at all");
    return 1;
}

// --- Layout ----------------------------------------------------------------------------------

int HelpLayoutTopic(const HelpDoc& doc, int nTopic, int nWidth, const HelpMeasure& m,
                    HelpLayout* pLayout) {
    pLayout->nItems = 0;
    pLayout->nHeight = 0;
    if (nTopic < 0 || nTopic >= doc.nTopics) return 0;
    Layouter lo = {m, pLayout, 0};
    const HelpTopic& topic = doc.aTopic[nTopic];
    const int nBodyH = m.anLineH[HF_BODY];
    int y = TextWrap(lo, HF_TITLE, 0, 0, nWidth, HelpTextPtr(doc, topic.title), topic.title.nLen);
    y += nBodyH / 2;
    for (int b = topic.nFirstBlock; b < topic.nFirstBlock + topic.nBlocks; b++) {
        const HelpBlock& block = doc.aBlock[b];
        const char* p = HelpTextPtr(doc, block.text);
        switch (block.nType) {
        case HB_HEADING:
            if (b > topic.nFirstBlock) y += nBodyH / 4;
            y = TextWrap(lo, HF_HEADING, 0, y, nWidth, p, block.text.nLen) + Px(lo, 2);
            break;
        case HB_PARAGRAPH:
            y = TextWrap(lo, HF_BODY, 0, y, nWidth, p, block.text.nLen) + nBodyH / 2;
            break;
        case HB_KEY: {
            // The keys' column is as wide as the widest keys of this table.
            int nKeysW = 0, e = b;
            for (; e < topic.nFirstBlock + topic.nBlocks && doc.aBlock[e].nType == HB_KEY; e++) {
                const HelpBlock& k = doc.aBlock[e];
                int w = Width(lo, HF_KEY, HelpTextPtr(doc, k.text), k.text.nLen);
                if (w > nKeysW) nKeysW = w;
            }
            if (nKeysW > nWidth / 3) nKeysW = nWidth / 3;
            int x = nKeysW + Px(lo, KEY_GAP);
            for (; b < e; b++) {
                const HelpBlock& k = doc.aBlock[b];
                int yKeys =
                    TextWrap(lo, HF_KEY, 0, y, nKeysW, HelpTextPtr(doc, k.text), k.text.nLen);
                int yWhat = TextWrap(lo, HF_BODY, x, y, nWidth - x, HelpTextPtr(doc, k.text2),
                                     k.text2.nLen);
                y = (yKeys > yWhat ? yKeys : yWhat) + Px(lo, 2);
            }
            b--;
            y += nBodyH / 2;
            break;
        }
        case HB_PICTURE: {
            int w, h;
            HelpPictureSize(block.nPicture, &w, &h);
            w = Px(lo, w);
            h = Px(lo, h);
            ItemAdd(lo, HelpItem{HI_PICTURE, 0, 0, y, w, h, nullptr, 0, block.nPicture});
            int x = w + Px(lo, PICTURE_GAP);
            int yText = y;
            if (nWidth - x < nWidth / 3) { // too narrow beside it: the caption goes below
                x = 0;
                yText = y + h + Px(lo, 4);
            }
            yText = TextWrap(lo, HF_BODY, x, yText, nWidth - x, p, block.text.nLen);
            yText = TextWrap(lo, HF_CAPTION, x, yText, nWidth - x, HelpTextPtr(doc, block.text2),
                             block.text2.nLen);
            y = (y + h > yText ? y + h : yText) + Px(lo, PICTURE_GAP);
            break;
        }
        default: break;
        }
    }
    pLayout->nHeight = y;
    return !lo.bOverflow;
}
