// Start-up, the goal table, level set-up and a new game.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/warp.h"
#include "tests/native/recording_host.h"

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);

class State : public ::testing::Test {
  protected:
    RecordingHost host;
    void SetUp() override { ResetEngineForTest(host); }

    void Init() {
        game = GameState{};
        host.Clear();
        GameInit(kMain);
    }
};

TEST_F(State, GameInitSetsGeometryFlagsAndTables) {
    Init();
    EXPECT_EQ(game.hwndMain, kMain);
    EXPECT_EQ((std::vector<int32_t>(aLaneX, aLaneX + 5)),
              (std::vector<int32_t>{274, 315, 356, 397, 438}));
    EXPECT_EQ((std::vector<int32_t>(aRowY, aRowY + 5)),
              (std::vector<int32_t>{436, 420, 404, 388, 372}));
    EXPECT_EQ(game.bGameRunning, 0);
    EXPECT_EQ(game.bMinimized, 0);
    EXPECT_EQ(game.bPaused, 1);
    EXPECT_EQ(game.nTileColors, 8);
    EXPECT_EQ(game.nCreditsOffset, 0);
    // The warp table is filled: every password level has a word.
    char sz[WARP_SLOT_LEN];
    for (int nLevel = 6; nLevel <= 46; nLevel += 5) {
        WarpPasswordForLevel(nLevel, sz);
        EXPECT_GE(std::strlen(sz), 8u) << nLevel;
    }
}

// The first track is drawn from the clock's seed; without music none starts.
TEST_F(State, GameInitTalksToTheHostInOrder) {
    for (int nFiles : {7, 0}) {
        SCOPED_TRACE(nFiles);
        host.nMusicFiles = nFiles;
        host.nTime = 424242;
        Init();
        std::vector<std::string> want = {"LoadPrefs", "MIDIFindFiles", "MIDIStart",
                                         "StartPlayTimer", "LoadCreditsBitmap"};
        if (!nFiles) want.erase(want.begin() + 2);
        EXPECT_EQ(host.Ops(), want);
        srand(424242);
        if (nFiles) {
            EXPECT_EQ(host.calls[2].arg, (std::vector<int64_t>{rand() % 7}));
        }
    }
}

TEST_F(State, GoalKindNamesAreLoadedWhole) {
    Init();
    EXPECT_STREQ(aGoalKindName[GOAL_POINTS], " Points");
    EXPECT_STREQ(aGoalKindName[GOAL_HORZ3], " 3-Tile-Horizontals");
    EXPECT_STREQ(aGoalKindName[GOAL_HORZ5], " 5-Tile-Horizontals");
    EXPECT_STREQ(aGoalKindName[GOAL_X9], " 9-Tile-Xs");
}

TEST_F(State, GoalTableFollowsItsFiveLevelRhythm) {
    for (int l = 1; l <= NUM_LEVELS; l++) {
        const LevelGoal& g = aLevelGoal[l];
        EXPECT_GT(g.nAmount, 0) << l;
        if (l % 5 == 1) {
            EXPECT_EQ(g.nKind, GOAL_POINTS) << l;
        } else if (l % 5 == 0 && l < NUM_LEVELS) { // the last level asks for the X
            EXPECT_EQ(g.nKind, GOAL_TILES) << l;
        } else {
            EXPECT_GE(g.nKind, GOAL_VERT3) << l;
        }
        // A kind asked for again five levels later never asks for less.
        if (l > 5 && g.nKind == aLevelGoal[l - 5].nKind) {
            EXPECT_GE(g.nAmount, aLevelGoal[l - 5].nAmount) << l;
        }
    }
    struct {
        int nLevel, nAmount, nKind;
    } const spot[] = {{1, 5000, 0}, {2, 10, 2},   {3, 4, 4},       {12, 2, 5}, {23, 4, 7},
                      {24, 4, 6},   {27, 2, 10},  {38, 2, 9},      {39, 2, 8}, {41, 100000, 0},
                      {42, 3, 11},  {45, 150, 1}, {46, 115000, 0}, {49, 6, 8}, {50, 1, 12}};
    for (const auto& s : spot) {
        EXPECT_EQ(aLevelGoal[s.nLevel].nAmount, s.nAmount) << s.nLevel;
        EXPECT_EQ(aLevelGoal[s.nLevel].nKind, s.nKind) << s.nLevel;
    }
}

TEST_F(State, TitleTilesRingTheScreen) {
    Init();
    struct {
        int i, nFrame, nColor, x, y;
    } const spot[] = {
        {0, 0, 0, 35, 40},   {6, 6, 6, 437, 40},  {7, 7, 1, 35, 390},   {13, 3, 3, 437, 390},
        {14, 4, 5, 35, 110}, {17, 7, 2, 35, 320}, {18, 8, 7, 437, 110}, {21, 1, 2, 437, 320},
    };
    for (const auto& s : spot) {
        const FallingTile& t = game.aTitleTiles[s.i];
        EXPECT_EQ((std::vector<int>{t.nFrame, t.nColor, t.x, t.y}),
                  (std::vector<int>{s.nFrame, s.nColor, s.x, s.y}))
            << "tile " << s.i;
    }
}

// Leaves stale values everywhere LevelStart should reset.
void Dirty() {
    game.nPaddleLane = 4;
    game.nPaddleY = 999;
    game.nFallingSlots = 9;
    for (FallingTile& t : game.aFalling) t = FallingTile{3, 3, 274, 100};
    for (TileColor& c : game.aBinCell) c = TILE_RED;
    for (int32_t& n : game.aBinCount) n = 5;
    for (TileColor& c : game.aHeld) c = TILE_RED;
    game.nHeld = 5;
    game.nTilesCaught = 40;
    game.nTilesLaunched = 41;
    game.nLaunchSpacing = 50;
    game.nLaunchAccum = 17;
    game.nTickCount = 12345;
    game.nGoalLeft = -3;
}

TEST_F(State, LevelStartOnLevelOne) {
    Dirty();
    game.nLevel = 1;
    EXPECT_EQ(LevelStart(), 1);
    EXPECT_EQ(game.nPaddleLane, 2);
    EXPECT_EQ(game.nHeld, 0);
    EXPECT_EQ(game.nPaddleY, PADDLE_BASE_Y);
    for (TileColor c : game.aHeld) EXPECT_EQ(c, TILE_NONE);
    EXPECT_EQ(game.nFallingSlots, 0);
    for (const FallingTile& t : game.aFalling) EXPECT_EQ(t.nFrame, -1);
    for (TileColor c : game.aBinCell) EXPECT_EQ(c, TILE_NONE);
    for (int32_t n : game.aBinCount) EXPECT_EQ(n, 0);
    EXPECT_EQ(game.nTilesCaught, 0);
    EXPECT_EQ(game.nTilesLaunched, 0);
    EXPECT_EQ(game.nLaunchSpacing, 90);
    EXPECT_EQ(game.nGoalLeft, 5000);
    // Not reset by a new level.
    EXPECT_EQ(game.nLaunchAccum, 17);
    EXPECT_EQ(game.nTickCount, 12345);
    EXPECT_EQ(host.Ops(), (std::vector<std::string>{"PostResolveLines"}));
}

TEST_F(State, LevelStartOnLevelFortyFive) {
    Dirty();
    game.nLevel = 45;
    EXPECT_EQ(LevelStart(), 1);
    EXPECT_EQ((std::vector<int32_t>(game.aBinCount, game.aBinCount + 5)),
              (std::vector<int32_t>{4, 0, 4, 0, 4}));
    EXPECT_EQ(game.nHeld, 5);
    EXPECT_EQ(game.nPaddleY, 355);
    EXPECT_EQ(game.nPaddleLane, 2);
    EXPECT_EQ(game.nGoalLeft, 150);
}

TEST_F(State, LevelStartBeyondTheLastLevelChangesNothing) {
    for (int nLevel : {51, 52, 0, -1}) {
        Dirty();
        game.nLevel = nLevel;
        GameState before = game;
        srand(99);
        int nNext = rand();
        srand(99);
        EXPECT_EQ(LevelStart(), 0) << nLevel;
        EXPECT_EQ(std::memcmp(&before, &game, sizeof game), 0) << nLevel;
        EXPECT_EQ(rand(), nNext) << nLevel;
        EXPECT_TRUE(host.calls.empty());
    }
}

TEST_F(State, LevelStartReseedsFromTheClockAtTheEnd) {
    host.nTime = 777;
    game.nLevel = 30;
    LevelStart();
    int nAfter = rand();
    srand(777);
    EXPECT_EQ(nAfter, rand());
}

TEST_F(State, NewGameStartsAtLevelOneAndShowsThePanel) {
    game.nLevel = 17;
    game.lScore = 123456;
    game.nLives = 1;
    game.lPanelScore = 123000;
    game.bPaused = 1;
    EXPECT_EQ(GameNew(0), 1);
    EXPECT_EQ(game.nLevel, 1);
    EXPECT_EQ(game.lScore, 0u);
    EXPECT_EQ(game.nLives, 3);
    EXPECT_EQ(game.lPanelScore, 0u);
    EXPECT_EQ(game.bPaused, 0);
    EXPECT_EQ(game.bGameRunning, 1);
    EXPECT_EQ(game.nGoalLeft, 5000);
    EXPECT_EQ(host.Ops(),
              (std::vector<std::string>{"PostResolveLines", "InvalidateMain", "ShowPanel",
                                        "InvalidatePanel", "UpdateMainAndPanel"}));
    // Repainted over what is there: no erase of the main window or the panel.
    EXPECT_EQ(host.calls[1].arg, (std::vector<int64_t>{0}));
    EXPECT_EQ(host.calls[3].arg, (std::vector<int64_t>{0}));
}

TEST_F(State, WarpKeepsTheChosenLevel) {
    game.nLevel = 26;
    game.lScore = 5;
    GameNew(1);
    EXPECT_EQ(game.nLevel, 26);
    EXPECT_EQ(game.lScore, 0u);
    EXPECT_EQ(game.nLives, 3);
    EXPECT_EQ(game.nGoalLeft, 65000);
    EXPECT_EQ(game.nHeld, 3);
}

TEST_F(State, GoalKindOfTheCurrentLevel) {
    game.nLevel = 42;
    EXPECT_EQ(GoalKind(), GOAL_X5);
    game.nLevel = 51;
    EXPECT_EQ(GoalKind(), GOAL_POINTS);
}

} // namespace
