// The game state, the goal table, start-up, new game and level set-up.
#include <cstdlib>
#include <cstring>

#include "engine/game.h"
#include "engine/layout.h"
#include "engine/pointer.h"
#include "engine/warp.h"
#include "prefs/prefs.h"
#include "resources/resource.h"

GameState game;
int32_t aLaneX[NUM_LANES];
int32_t aRowY[NUM_ROWS];
LevelGoal aLevelGoal[NUM_LEVELS + 1];
char aGoalKindName[NUM_GOAL_KINDS][GOAL_NAME_LEN];

// Five-level rhythm: points, three pattern levels, tiles.
static const LevelGoal kLevelGoals[NUM_LEVELS] = {
    {5000, 0},  {10, 2},    {4, 4},     {4, 3},      {50, 1},    {15000, 0},  {15, 2},
    {6, 4},     {6, 3},     {65, 1},    {25000, 0},  {2, 5},     {10, 4},     {10, 3},
    {75, 1},    {35000, 0}, {4, 5},     {15, 4},     {15, 3},    {90, 1},     {50000, 0},
    {6, 5},     {4, 7},     {4, 6},     {100, 1},    {65000, 0}, {2, 10},     {6, 7},
    {6, 6},     {115, 1},   {75000, 0}, {4, 10},     {8, 7},     {8, 6},      {125, 1},
    {85000, 0}, {6, 10},    {2, 9},     {2, 8},      {140, 1},   {100000, 0}, {3, 11},
    {4, 9},     {4, 8},     {150, 1},   {115000, 0}, {5, 11},    {6, 9},      {6, 8},
    {1, 12},
};

void RandomReseed() {
    srand((unsigned)pHost->TimeNow());
}

int GoalKind() {
    if (game.nLevel < 1 || game.nLevel > NUM_LEVELS) return GOAL_POINTS;
    return aLevelGoal[game.nLevel].nKind;
}

static void TitleTilesSet() {
    static const int kBottomColors[7] = {1, 0, 7, 6, 5, 4, 3};
    static const int kLeftColors[4] = {5, 4, 3, 2};
    FallingTile* t = game.aTitleTiles;
    for (int i = 0; i < 7; i++) *t++ = FallingTile{i % 10, i % 8, 35 + 67 * i, 40};
    for (int i = 0; i < 7; i++)
        *t++ = FallingTile{(i + 7) % 10, kBottomColors[i], 35 + 67 * i, 390};
    for (int i = 0; i < 4; i++) *t++ = FallingTile{(i + 14) % 10, kLeftColors[i], 35, 110 + 70 * i};
    for (int i = 0; i < 4; i++) *t++ = FallingTile{(i + 18) % 10, (i + 23) % 8, 437, 110 + 70 * i};
}

int GameInit(HostWindow hwndMain) {
    game.hwndMain = hwndMain;
    for (int i = 0; i < NUM_LANES; i++) aLaneX[i] = 274 + 41 * i;
    for (int i = 0; i < NUM_ROWS; i++) aRowY[i] = 436 - 16 * i;

    for (int k = 0; k < NUM_GOAL_KINDS; k++) {
        aGoalKindName[k][0] = '\0';
        pHost->LoadStringText(IDS_GOALKIND_BASE + k, aGoalKindName[k], GOAL_NAME_LEN);
    }
    aLevelGoal[0] = LevelGoal{0, 0};
    for (int i = 0; i < NUM_LEVELS; i++) aLevelGoal[i + 1] = kLevelGoals[i];
    WarpTableInit();

    pHost->LoadPrefs();
    int nTracks = pHost->MIDIFindFiles();
    RandomReseed();
    if (nTracks > 0) pHost->MIDIStart(rand() % nTracks);

    pHost->StartPlayTimer();
    game.bGameRunning = 0;
    game.bMinimized = 0;
    game.nTileColors = NUM_COLORS;
    game.bPaused = 1;

    TitleTilesSet();
    game.nCreditsOffset = 0;
    pHost->LoadCreditsBitmap();
    return 1;
}

int LevelStart() {
    if (game.nLevel < 1 || game.nLevel > NUM_LEVELS) return 0;
    game.nPaddleLane = 2;
    PointerForget(); // a travel of the last level ends with it
    game.nPaddleY = PADDLE_BASE_Y;
    game.nFallingSlots = 0;
    for (FallingTile& t : game.aFalling) t.nFrame = -1;
    for (int32_t& n : game.aBinCount) n = 0;
    for (TileColor& c : game.aBinCell) c = TILE_NONE;
    LevelLayoutSet(game.nLevel);

    game.nHeld = 0;
    for (TileColor& c : game.aHeld) c = TILE_NONE;
    PaddlePreload(game.nLevel);

    game.nTilesCaught = 0;
    game.nTilesLaunched = 0;
    game.nLaunchSpacing = 90;
    game.nGoalLeft = aLevelGoal[game.nLevel].nAmount;
    RandomReseed();
    return 1;
}

int GameNew(int bKeepLevel) {
    if (!bKeepLevel) game.nLevel = 1;
    game.lScore = 0;
    game.nLives = START_LIVES;
    game.lPanelScore = 0;
    LevelStart();
    game.bPaused = 0;
    pHost->InvalidateMain(0);
    game.bGameRunning = 1;
    // The side panel is hidden on the title screen.
    pHost->ShowPanel();
    pHost->InvalidatePanel(0);
    pHost->UpdateMainAndPanel();
    return 1;
}
