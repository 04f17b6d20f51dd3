// The headless game: a GameHost whose dialogs answer at once, a scripted
// player, and the invariants of the game state checked after every step.
#include "tools/simulate/sim.h"

#include <cstdio>
#include <cstring>

#include "engine/game.h"
#include "engine/lines.h"
#include "engine/play.h"
#include "prefs/prefs.h"
#include "resources/resource.h"
#include "scores/leveldone.h"

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);

struct SimState {
    const SimOptions* pOpt;
    SimResult* pResult;
    int nGame;
    int nTick;
    int nLevelStartTick;
    int nBatchDepth;
    int bResolvePending;
    int bCtrl;
    int64_t nClock;
    uint32_t lLastScore;
    uint32_t nNoise; // the player's own random sequence, apart from rand()
};

SimState sim;

void Fault(const char* szWhy) {
    SimResult& r = *sim.pResult;
    if (r.nFaults++ == 0)
        snprintf(r.szFirstFault, sizeof r.szFirstFault, "game %d, tick %d, level %d: %.160s",
                 sim.nGame, sim.nTick, game.nLevel, szWhy);
}

// One line of the state for --trace, to see why the player lost a tile.
void TraceState(const char* szEvent) {
    fprintf(stderr, "game %d tick %d level %d %s: lane %d held %d [", sim.nGame, sim.nTick,
            game.nLevel, szEvent, game.nPaddleLane, game.nHeld);
    for (int i = 0; i < game.nHeld; i++) fprintf(stderr, "%s%d", i ? " " : "", game.aHeld[i]);
    fprintf(stderr, "] bins");
    for (int c : game.aBinCount) fprintf(stderr, " %d", c);
    fprintf(stderr, " falling");
    for (int i = 0; i < game.nFallingSlots; i++) {
        const FallingTile& t = game.aFalling[i];
        if (t.nFrame != -1) fprintf(stderr, " %d@%d", (t.x - aLaneX[0]) / 41, t.y);
    }
    fprintf(stderr, "\n");
}

uint32_t NoiseNext() {
    sim.nNoise = sim.nNoise * 1103515245u + 12345u;
    return (sim.nNoise >> 16) & 0x7fff;
}

// --- The host ------------------------------------------------------------------

int Done() {
    return 1;
}

int SoundPlay(const char* szName, int) {
    SimResult& r = *sim.pResult;
    if (!strcmp(szName, "CAUGHT") || !strcmp(szName, "BOING")) r.nCatches++;
    if (!strcmp(szName, "FALLING")) {
        r.nMisses++;
        if (sim.pOpt->bTrace) TraceState("miss");
    }
    if (!strncmp(szName, "SCORE", 5)) r.nLinesResolved++;
    return 1;
}

int DrawingBegin() {
    if (sim.nBatchDepth != 0) Fault("a drawing batch began inside another");
    sim.nBatchDepth++;
    return 1;
}

int DrawingEnd() {
    if (sim.nBatchDepth != 1) Fault("a drawing batch ended that had not begun");
    sim.nBatchDepth = 0;
    return 1;
}

// A modal dialog must not open while a device context is held for drawing.
void DialogOpens(const char* szName) {
    if (sim.nBatchDepth == 0) return;
    char sz[64];
    snprintf(sz, sizeof sz, "%s opened inside a drawing batch", szName);
    Fault(sz);
}

// The side panel: the score message also awards a life per 100,000 points.
int PanelSend(int nMsg, uint32_t, int32_t) {
    if (nMsg != WM_PANELSCORE) return 1;
    if ((int32_t)game.lPanelScore / 100000 < (int32_t)game.lScore / 100000) {
        game.nLives += 1;
        if (game.nLives > 5)
            game.nLives = 5;
        else
            sim.pResult->nExtraLives++;
    }
    game.lPanelScore = game.lScore;
    return 1;
}

int ResolvePost() {
    sim.bResolvePending = 1;
    return 1;
}

int CtrlDown() {
    return sim.bCtrl;
}

// The level-complete dialog, confirmed at once (and once more where it shows
// a warp password).
int LevelDoneDlg() {
    DialogOpens("the level-complete dialog");
    SimLevelStats& s = sim.pResult->aLevel[game.nLevel];
    LevelDoneOpen();
    s.nCompleted++;
    s.lScoreSum += game.lScore;
    s.nTickSum += (uint64_t)(sim.nTick - sim.nLevelStartTick);

    int nResult;
    while ((nResult = LevelDoneContinue()) == LEVELDONE_STAY) {
    }
    if (nResult == LEVELDONE_GAME_WON) {
        sim.pResult->nWon++;
        return nResult;
    }
    sim.pResult->aLevel[game.nLevel].nReached++;
    sim.nLevelStartTick = sim.nTick;
    return nResult;
}

int GameOverDlg() {
    DialogOpens("the game-over dialog");
    if (game.nLives < 1)
        sim.pResult->nLostLives++;
    else
        sim.pResult->nLostFull++;
    return 1;
}

int OtherDlg() {
    DialogOpens("a closing dialog");
    return 1;
}

int PrefsLoad() {
    PrefsSetDefaults();
    prefs.nSpeed = sim.pOpt->nSpeed;
    prefs.bSound = 0;
    return 1;
}

// Every call gives a new second, so each level set-up reseeds differently.
// A fixed clock reseeds every level set-up with the seed itself.
int64_t ClockNow() {
    if (sim.pOpt->bFixedClock) return (int64_t)sim.pOpt->nSeed;
    return sim.nClock++;
}

GameHost SimHost() {
    GameHost h{};
    h.PlayGameSound = SoundPlay;
    h.PlayBeep = [](int) { return 1; };
    h.MIDIFindFiles = []() { return 0; };
    h.MIDIStart = [](int) { return 1; };
    h.MIDINext = [](HostWindow) { return 1; };
    h.MIDIStop = Done;
    h.BeginDrawing = DrawingBegin;
    h.EndDrawing = DrawingEnd;
    h.DrawBins = Done;
    h.DrawPaddleStack = Done;
    h.ErasePaddleStack = Done;
    h.StartPaddleFlash = Done;
    h.PaddleLightTick = Done;
    h.DrawTileFrame = [](int, int, int, int) { return 1; };
    h.DrawTileErase = [](int, int) { return 1; };
    h.DrawFlatTile = [](int, int, int) { return 1; };
    h.DrawGoalPicture = Done;
    h.ShowPauseLogo = [](int) { return 1; };
    h.BlankRect = [](int, int, int, int) { return 1; };
    h.SendPanel = PanelSend;
    h.PostResolveLines = ResolvePost;
    h.SendCommand = [](int) { return 1; };
    h.SendPlayTimer = Done;
    h.StartPlayTimer = Done;
    h.MinimizeMain = Done;
    h.InvalidateMain = [](int) { return 1; };
    h.InvalidatePanel = [](int) { return 1; };
    h.UpdateMainAndPanel = Done;
    h.ShowPanel = Done;
    h.IsCtrlDown = CtrlDown;
    h.IsMainActive = Done;
    h.ShowLevelDoneDlg = LevelDoneDlg;
    h.ShowGameOverDlg = GameOverDlg;
    h.CheckHighScore = OtherDlg;
    h.ShowWinGameDlg = OtherDlg;
    h.ShowHiScoreDlg = OtherDlg;
    h.LoadStringText = SimStringLoad;
    h.LoadPrefs = PrefsLoad;
    h.LoadCreditsBitmap = Done;
    h.TimeNow = ClockNow;
    return h;
}

const GameHost kSimHost = SimHost();

// What the main window does when it takes the posted resolve request.
void ResolveIfPosted() {
    if (!sim.bResolvePending) return;
    sim.bResolvePending = 0;
    LinesResolve(kMain);
    pHost->SendPanel(WM_PANELSCORE, 0, (int32_t)game.lScore);
    pHost->SendPanel(WM_PANELGOAL, 0, 0);
}

// After every message the engine handled.
void StepCheck() {
    if (sim.nBatchDepth != 0) {
        Fault("a drawing batch was left open");
        sim.nBatchDepth = 0;
    }
    if (!sim.pOpt->bCheckInvariants) return;
    char szWhy[SIM_FAULT_LEN];
    if (!SimCheckInvariants(szWhy, sizeof szWhy)) Fault(szWhy);
    if (game.lScore < sim.lLastScore) Fault("the score went down");
    sim.lLastScore = game.lScore;
}

// --- The player ------------------------------------------------------------------

// The points a pass would find if colour c were dropped into bin nBin, or -1
// if the bin is full. The detectors run on a copy and the state is restored.
int LineGain(int nBin, TileColor c) {
    if (game.aBinCount[nBin] >= NUM_ROWS) return -1;
    static GameState saved;
    saved = game;
    game.aBinCell[nBin * NUM_ROWS + game.aBinCount[nBin]] = c;
    memcpy(game.aScanCell, game.aBinCell, sizeof game.aScanCell);
    game.nPassPoints = 0;
    DiagonalsFind();
    HorizontalsFind();
    VerticalsFind();
    int nGain = game.nPassPoints;
    game = saved;
    return nGain;
}

int Distance(int a, int b) {
    return a > b ? a - b : b - a;
}

int Toward(int nLane) {
    if (nLane < game.nPaddleLane) return KEY_LEFT;
    if (nLane > game.nPaddleLane) return KEY_RIGHT;
    return 0;
}

int CellsFilled() {
    int n = 0;
    for (int c : game.aBinCount) n += c;
    return n;
}

// The bin where colour c scores most, the nearest on a tie; -1 if none scores.
int BestLineBin(TileColor c, int* pnGain) {
    int nBest = -1, nBestGain = 0;
    for (int b = 0; b < NUM_LANES; b++) {
        int nGain = LineGain(b, c);
        if (nGain > nBestGain ||
            (nGain == nBestGain && nGain > 0 &&
             Distance(b, game.nPaddleLane) < Distance(nBest, game.nPaddleLane))) {
            nBest = b;
            nBestGain = nGain;
        }
    }
    if (pnGain) *pnGain = nBestGain;
    return nBest;
}

// How well colour c would sit in bin nBin for later lines: neighbours of its
// colour count, height costs. The best bin for a tile that makes no line yet.
int PlainBin(TileColor c) {
    int nBest = -1, nBestValue = 0;
    for (int b = 0; b < NUM_LANES; b++) {
        int nRow = game.aBinCount[b];
        if (nRow >= NUM_ROWS) continue;
        int nValue = -2 * nRow - Distance(b, game.nPaddleLane);
        for (int db = -1; db <= 1; db++) {
            for (int dr = -1; dr <= 1; dr++) {
                int nb = b + db, nr = nRow + dr;
                if ((!db && !dr) || nb < 0 || nb >= NUM_LANES || nr < 0 || nr >= NUM_ROWS) continue;
                if (game.aBinCell[nb * NUM_ROWS + nr] == c) nValue += 4;
            }
        }
        if (nBest < 0 || nValue > nBestValue) {
            nBest = b;
            nBestValue = nValue;
        }
    }
    return nBest;
}

// A drop of a tile that makes no line must not fill the last cell.
int PlainDropAllowed(int nBin) {
    return game.aBinCount[nBin] < NUM_ROWS && CellsFilled() < NUM_CELLS - 1;
}

// One decision: the key to press now, or 0 to wait.
int PlayerKey() {
    const int nReact = sim.pOpt->nReactTicks > 0 ? sim.pOpt->nReactTicks : 1;
    if (game.bPaused) return KEY_SPACE;
    int nStep = sim.bCtrl ? FAST_FALL_STEP : game.nFallStep;
    int nLane = game.nPaddleLane;

    // The tile that lands first.
    int iLow = -1;
    for (int i = 0; i < game.nFallingSlots; i++) {
        const FallingTile& t = game.aFalling[i];
        if (t.nFrame != -1 && (iLow < 0 || t.y > game.aFalling[iLow].y)) iLow = i;
    }
    int nTop = game.nHeld ? game.aHeld[game.nHeld - 1] : TILE_NONE;
    int nLineBin = nTop != TILE_NONE ? BestLineBin(nTop, nullptr) : -1;

    if (iLow >= 0) {
        const FallingTile& t = game.aFalling[iLow];
        int nTileLane = (t.x - aLaneX[0]) / (aLaneX[1] - aLaneX[0]);
        int nTicksLeft = (LANDING_Y - t.y + nStep - 1) / nStep;
        int nMoves = Distance(nTileLane, nLane);
        int nPresses = nMoves + 1 + (game.nHeld == MAX_HELD); // with a slack of one
        if (nTicksLeft <= nPresses * nReact) {
            // Time to be under it, with room on the paddle.
            if (game.nHeld == MAX_HELD && nMoves == 0) {
                if (nLineBin == nLane || PlainDropAllowed(nLane)) return KEY_DOWN;
                return 0;
            }
            if (nMoves > 0) return Toward(nTileLane);
            return nLineBin == nLane ? KEY_DOWN : 0;
        }
    }
    if (nLineBin >= 0) return nLineBin == nLane ? KEY_DOWN : Toward(nLineBin);

    // Another held tile would score: bring it to the top.
    for (int i = 0; i + 1 < game.nHeld; i++)
        if (BestLineBin(game.aHeld[i], nullptr) >= 0) return KEY_UP;

    if (game.nHeld >= MAX_HELD - 1 || (game.nHeld > 0 && iLow < 0)) {
        int nBin = PlainBin(nTop);
        if (nBin >= 0 && PlainDropAllowed(nBin)) return nBin == nLane ? KEY_DOWN : Toward(nBin);
    }
    if (iLow >= 0) {
        int nTileLane = (game.aFalling[iLow].x - aLaneX[0]) / (aLaneX[1] - aLaneX[0]);
        return Toward(nTileLane);
    }
    return 0;
}

// Now and then a key the plan did not ask for, or Ctrl pressed or let go.
int NoiseKey() {
    static const int kKeys[] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_SPACE};
    uint32_t n = NoiseNext() % 6;
    if (n == 5) {
        sim.bCtrl = !sim.bCtrl;
        return 0;
    }
    return kKeys[n];
}

// --- One game ---------------------------------------------------------------------

void GamePlay(int nGame) {
    const SimOptions& opt = *sim.pOpt;
    SimResult& r = *sim.pResult;
    sim.nGame = nGame;
    sim.nTick = 0;
    sim.nBatchDepth = 0;
    sim.bResolvePending = 0;
    sim.bCtrl = 0;
    sim.nClock = (int64_t)opt.nSeed * 100003 + (int64_t)nGame * 1009;
    sim.nNoise = opt.nSeed * 2654435761u + (uint32_t)nGame;

    // Start-up, then the New command (or a warp to the chosen level).
    game = GameState{};
    GameInit(kMain);
    ApplySpeed();
    int nStart = opt.nStartLevel >= 1 && opt.nStartLevel <= NUM_LEVELS ? opt.nStartLevel : 1;
    game.nLevel = nStart;
    GameNew(nStart != 1);
    ResolveIfPosted();
    sim.lLastScore = game.lScore;
    r.aLevel[game.nLevel].nReached++;
    sim.nLevelStartTick = 0;
    StepCheck();

    int nCooldown = 0;
    while (game.bGameRunning && sim.nTick < opt.nMaxTicks) {
        if (nCooldown > 0) {
            nCooldown--;
        } else {
            int vk = 0;
            if (opt.nNoisePercent > 0 && (int)(NoiseNext() % 100) < opt.nNoisePercent)
                vk = NoiseKey();
            else
                vk = PlayerKey();
            if (vk) {
                if (opt.bTrace) {
                    char sz[16];
                    snprintf(sz, sizeof sz, "key %02x", vk);
                    TraceState(sz);
                }
                KeyDown(kMain, vk);
                r.nKeys++;
                ResolveIfPosted();
                StepCheck();
                nCooldown = opt.nReactTicks - 1;
            }
        }
        if (!game.bGameRunning) break;
        sim.nTick++;
        EngineTimerTick(kMain);
        ResolveIfPosted();
        StepCheck();
    }
    if (game.bGameRunning) r.nCutOff++;
    r.nTicks += (uint64_t)sim.nTick;
    r.lFinalScoreSum += game.lScore;
}

} // namespace

int SimCheckInvariants(char* szWhy, int cchWhy) {
    auto fail = [&](const char* szFormat, auto... args) {
        snprintf(szWhy, (size_t)cchWhy, szFormat, args...);
        return 0;
    };
    for (int b = 0; b < NUM_LANES; b++) {
        int nCount = game.aBinCount[b];
        if (nCount < 0 || nCount > NUM_ROWS) return fail("bin %d counts %d tiles", b, nCount);
        for (int row = 0; row < NUM_ROWS; row++) {
            TileColor c = game.aBinCell[b * NUM_ROWS + row];
            if (row < nCount && (c < 0 || c >= NUM_COLORS))
                return fail("bin %d row %d holds %d below its count", b, row, c);
            if (row >= nCount && c != TILE_NONE)
                return fail("bin %d row %d holds %d above its count", b, row, c);
        }
    }
    if (game.nHeld < 0 || game.nHeld > MAX_HELD) return fail("%d tiles held", game.nHeld);
    for (int i = 0; i < game.nHeld; i++)
        if (game.aHeld[i] < 0 || game.aHeld[i] >= NUM_COLORS)
            return fail("held tile %d has colour %d", i, game.aHeld[i]);
    if (game.nPaddleY != PADDLE_BASE_Y + 10 * game.nHeld)
        return fail("paddle at y %d with %d tiles held", game.nPaddleY, game.nHeld);
    if (game.nPaddleLane < 0 || game.nPaddleLane >= NUM_LANES)
        return fail("paddle in lane %d", game.nPaddleLane);
    if (game.nFallingSlots < 0 || game.nFallingSlots > MAX_FALLING)
        return fail("%d falling slots in use", game.nFallingSlots);
    for (int i = 0; i < game.nFallingSlots; i++) {
        const FallingTile& t = game.aFalling[i];
        if (t.nFrame == -1) continue;
        int bLane = 0;
        for (int x : aLaneX) bLane |= t.x == x;
        if (!bLane) return fail("slot %d falls at x %d, outside the lanes", i, t.x);
        if (t.nFrame < 0 || t.nFrame >= NUM_FRAMES || t.nColor < 0 || t.nColor >= NUM_COLORS)
            return fail("slot %d has frame %d colour %d", i, t.nFrame, t.nColor);
        if (t.y < LAUNCH_Y || t.y >= LANDING_Y)
            return fail("slot %d at y %d, outside the fall", i, t.y);
    }
    if (game.nLaunchSpacing < 50 || game.nLaunchSpacing > 90 || game.nLaunchSpacing % 10)
        return fail("launch spacing %d", game.nLaunchSpacing);
    if (game.nLives > 5) return fail("%d lives", game.nLives);
    if (game.bGameRunning) {
        if (game.nLives < 1) return fail("a game runs with %d lives", game.nLives);
        if (game.nLevel < 1 || game.nLevel > NUM_LEVELS)
            return fail("a game runs on level %d", game.nLevel);
    }
    return 1;
}

int SimRun(const SimOptions& opt, SimResult* pResult) {
    *pResult = SimResult{};
    sim = SimState{};
    sim.pOpt = &opt;
    sim.pResult = pResult;
    const GameHost* pOld = pHost;
    HostInstall(&kSimHost);
    for (int g = 0; g < opt.nGames; g++) {
        GamePlay(g);
        pResult->nGames++;
    }
    if (pOld) HostInstall(pOld);
    return pResult->nFaults == 0;
}

// The goal kinds' names as the string table gives them.
static const char* const kGoalNames[NUM_GOAL_KINDS] = {
    " Points",
    " Tiles",
    " 3-Tile-Verticals",
    " 3-Tile-Horizontals",
    " 3-Tile-Diagonals",
    " 4-Tile-Verticals",
    " 4-Tile-Horizontals",
    " 4-Tile-Diagonals",
    " 5-Tile-Horizontals",
    " 5-Tile-Diagonals",
    " 5-Tile-Vs",
    " 5-Tile-Xs",
    " 9-Tile-Xs",
};

int SimStringLoad(int nId, char* szBuf, int cchBuf) {
    int k = nId - IDS_GOALKIND_BASE;
    if (k < 0 || k >= NUM_GOAL_KINDS || cchBuf < 1) return 0;
    snprintf(szBuf, (size_t)cchBuf, "%s", kGoalNames[k]);
    return (int)strlen(szBuf);
}
