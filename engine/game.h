// The one game state of a running Quarrion, the fixed playfield geometry and
// the level goal table. Plain data: every table has a fixed size and nothing
// is allocated while the game runs.
#pragma once

#include <cstdint>

#include "engine/host.h"

// A tile colour: 0..7, or -1 for an empty cell or a free slot.
typedef int32_t TileColor;

enum {
    TILE_NONE = -1,
    TILE_GREEN = 0,
    TILE_RED = 1,
    TILE_YELLOW = 2,
    TILE_BLUE = 3,
    TILE_PURPLE = 4,
    TILE_WHITE = 5,
    TILE_DRED = 6,
    TILE_LBLUE = 7,
};

// Fixed sizes and playfield constants, in client pixels of the 640 x 480 area.
enum {
    NUM_COLORS = 8,
    NUM_LANES = 5,
    NUM_ROWS = 5,
    NUM_CELLS = 25,
    MAX_FALLING = 15,
    MAX_HELD = 5,
    NUM_FRAMES = 10,
    NUM_LEVELS = 50,
    NUM_GOAL_KINDS = 13,
    NUM_TITLE_TILES = 22,
    GOAL_NAME_LEN = 20,
    LAUNCH_Y = 35,
    LANDING_Y = 252,
    PADDLE_BASE_Y = 305,
    FAST_FALL_STEP = 6,
    START_LIVES = 3, // lives at the start of every game
    PLAY_TIMER_ID = 450,
    PLAY_TIMER_MS = 32,
};

// Window messages the engine sends or posts (numbers shared with the shell).
enum {
    WM_PANELSCORE = 0x0400 + 1,
    WM_PANELLEVEL = 0x0400 + 2,
    WM_PANELGOAL = 0x0400 + 4,
    WM_PANELLIVES = 0x0400 + 5,
    WM_RESOLVELINES = 0x0400 + 9,
};

// Goal kinds: what counts toward a level's goal.
enum {
    GOAL_POINTS = 0,
    GOAL_TILES = 1,
    GOAL_VERT3 = 2,
    GOAL_HORZ3 = 3,
    GOAL_DIAG3 = 4,
    GOAL_VERT4 = 5,
    GOAL_HORZ4 = 6,
    GOAL_DIAG4 = 7,
    GOAL_HORZ5 = 8,
    GOAL_DIAG5 = 9,
    GOAL_V5 = 10,
    GOAL_X5 = 11,
    GOAL_X9 = 12,
};

struct LevelGoal {
    int32_t nAmount; // points, tiles or a number of patterns
    int32_t nKind;   // GOAL_*
};

// A tumbling tile in flight (also the shape of the title-screen tiles).
struct FallingTile {
    int32_t nFrame; // 0..9, or -1 for a free slot
    TileColor nColor;
    int32_t x;
    int32_t y; // top edge
};

struct GameState {
    int32_t nLevel;
    uint32_t lScore;
    int32_t nLives;
    uint32_t lPanelScore;
    int32_t nGoalLeft;
    int32_t bGameRunning;
    int32_t bPaused;
    int32_t bMinimized;
    int32_t nFallStep;
    int32_t nTileColors;

    // The bins: cell index bin * 5 + row, row 0 at the bottom.
    TileColor aBinCell[NUM_CELLS];
    int32_t aBinCount[NUM_LANES];
    TileColor aScanCell[NUM_CELLS];

    // The paddle and the stack it holds; aHeld[0] rests on the paddle.
    int32_t nPaddleLane;
    TileColor aHeld[MAX_HELD];
    int32_t nHeld;
    int32_t nPaddleY; // always PADDLE_BASE_Y + 10 * nHeld

    int32_t nTilesCaught;
    int32_t nTilesLaunched;
    int32_t nLaunchSpacing;
    int32_t nLaunchAccum;
    int32_t nTickCount;
    FallingTile aFalling[MAX_FALLING];
    int32_t nFallingSlots; // high-water mark of aFalling in use
    int32_t nPassPoints;
    int32_t nCreditsOffset;

    FallingTile aTitleTiles[NUM_TITLE_TILES];

    HostWindow hwndMain;
    HostWindow hwndPanel;
};

extern GameState game;

// Geometry: x of lane (and bin) 0..4, y of bin row 0..4.
extern int32_t aLaneX[NUM_LANES];
extern int32_t aRowY[NUM_ROWS];

// Goal table, indexed by level 1..50 (row 0 unused), and the goal kind names.
extern LevelGoal aLevelGoal[NUM_LEVELS + 1];
extern char aGoalKindName[NUM_GOAL_KINDS][GOAL_NAME_LEN];

// Start-up of the engine; called once after the main window exists. Returns 1.
int GameInit(HostWindow hwndMain);

// Sets up level game.nLevel. Returns 0 and changes nothing above level 50.
int LevelStart();

// What the New command does to the state (and a warp, with bKeepLevel = 1).
int GameNew(int bKeepLevel);

// Seeds the shared rand() sequence from the host's clock.
void RandomReseed();

// The kind of the current level's goal.
int GoalKind();
