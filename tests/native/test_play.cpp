// The play tick, the launches, catching and missing, and the keyboard.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/play.h"
#include "prefs/prefs.h"
#include "tests/native/recording_host.h"

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);

class Play : public ::testing::Test {
  protected:
    RecordingHost host;

    void SetUp() override { ResetEngineForTest(host); }

    // A running game on nLevel with many lives, so misses never end it.
    void StartGame(int nLevel = 1, int nSpeed = 1) {
        prefs.nSpeed = nSpeed;
        ApplySpeed();
        game.nLevel = nLevel;
        GameNew(1);
        game.nLives = 1000000;
        host.Clear();
    }

    // A tile in flight in slot nSlot.
    void TileAt(int nSlot, int nLane, int y, TileColor nColor = TILE_RED, int nFrame = 3) {
        game.aFalling[nSlot] = FallingTile{nFrame, nColor, aLaneX[nLane], y};
        if (game.nFallingSlots <= nSlot) game.nFallingSlots = nSlot + 1;
    }

    void Hold(std::vector<TileColor> colors) {
        game.nHeld = (int)colors.size();
        for (int i = 0; i < MAX_HELD; i++)
            game.aHeld[i] = i < game.nHeld ? colors[(size_t)i] : TILE_NONE;
        game.nPaddleY = PADDLE_BASE_Y + 10 * game.nHeld;
    }

    int Tick() { return PlayTick(kMain, game.nFallStep); }

    // The drawing batches never nest and every one is closed.
    void ExpectBatchesBalanced() {
        int nDepth = 0;
        for (const HostCall& c : host.calls) {
            if (c.op == "BeginDrawing") nDepth++;
            if (c.op == "EndDrawing") nDepth--;
            ASSERT_GE(nDepth, 0);
            ASSERT_LE(nDepth, 1);
        }
        EXPECT_EQ(nDepth, 0);
    }
};

// --- Speeds: landing and launch gaps ----------------------------------------

struct SpeedCase {
    int nSpeed;
    int nLandingTick; // counting the launch tick as the first
};

const SpeedCase kSpeeds[] = {{0, 217}, {1, 109}, {2, 55}, {3, 37}};

TEST_F(Play, TileLandsOnTheTickOfItsSpeed) {
    for (const SpeedCase& s : kSpeeds) {
        SCOPED_TRACE(s.nSpeed);
        ResetEngineForTest(host);
        StartGame(1, s.nSpeed);
        int nTick = 0;
        while (game.nTilesLaunched == 0) {
            ASSERT_LT(++nTick, 1000);
            Tick();
        }
        ASSERT_EQ(game.aFalling[0].y, LAUNCH_Y + game.nFallStep); // drawn at 35, then moved
        int nTicks = 1;
        host.Clear();
        while (host.Count("DrawTileErase") == 0) {
            ASSERT_LT(nTicks, 1000);
            Tick();
            nTicks++;
        }
        EXPECT_EQ(nTicks, s.nLandingTick);
        int i = host.IndexOf("DrawTileErase");
        EXPECT_EQ(host.calls[(size_t)i].arg[0], game.aFalling[0].x);
        EXPECT_EQ(game.aFalling[0].nFrame, -1);
    }
}

// The spacing drops by 10 with every 20th launch, down to 50.
TEST_F(Play, SpacingSchedulePerLaunch) {
    StartGame(1, 0);       // one pixel per tick: the gap before a launch is spacing + 1 ticks
    std::vector<int> aGap; // aGap[n] = ticks before launch n + 1
    int nLast = 0;
    for (int nTick = 1; aGap.size() < 120; nTick++) {
        int nBefore = game.nTilesLaunched;
        Tick();
        if (game.nTilesLaunched != nBefore) {
            aGap.push_back(nTick - nLast);
            nLast = nTick;
        }
    }
    EXPECT_EQ(aGap[0], 91); // the game began with nothing accumulated
    for (int n = 2; n <= 120; n++) {
        int nSpacing = n <= 20 ? 90 : n <= 40 ? 80 : n <= 60 ? 70 : n <= 80 ? 60 : 50;
        EXPECT_EQ(aGap[(size_t)n - 1], nSpacing + 1) << "gap before launch " << n;
    }
}

TEST_F(Play, AccumulatedDistanceCarriesIntoTheNextLevel) {
    StartGame(1, 1);
    while (game.nTilesLaunched == 0) Tick();
    for (int i = 0; i < 15; i++) Tick();
    ASSERT_EQ(game.nLaunchAccum, 30);
    game.nLaunchSpacing = 60;
    game.nLevel = 2;
    LevelStart(); // what the level-complete dialog does
    EXPECT_EQ(game.nLaunchSpacing, 90);
    EXPECT_EQ(game.nTilesLaunched, 0);
    EXPECT_EQ(game.nLaunchAccum, 30);
    int nTicks = 0;
    while (game.nTilesLaunched == 0) {
        Tick();
        nTicks++;
    }
    EXPECT_EQ(nTicks, 31); // 30 + 31 * 2 = 92 > 90, where a fresh level needs 46 ticks
}

// --- Tick preconditions ---------------------------------------------------------

TEST_F(Play, CtrlMakesAPositiveStepSix) {
    StartGame(1, 1);
    TileAt(0, 1, 100);
    host.bCtrlDown = 1;
    EXPECT_EQ(Tick(), 1);
    EXPECT_EQ(game.aFalling[0].y, 106);
    EXPECT_EQ(game.nLaunchAccum, 6);

    // A step of 0 stays 0.
    EXPECT_EQ(PlayTick(kMain, 0), 1);
    EXPECT_EQ(game.aFalling[0].y, 106);
    EXPECT_EQ(game.nLaunchAccum, 6);
}

TEST_F(Play, NothingMovesWhilePausedOrAnotherWindowIsActive) {
    for (int bPaused : {1, 0}) {
        SCOPED_TRACE(bPaused ? "paused, Ctrl held" : "inactive");
        ResetEngineForTest(host);
        StartGame(1, 1);
        TileAt(0, 1, 100);
        game.bPaused = bPaused;
        host.bCtrlDown = bPaused;
        host.bMainActive = bPaused;
        int nTickCount = game.nTickCount;
        if (bPaused) {
            EXPECT_EQ(EngineTimerTick(kMain), 0);
        }
        EXPECT_EQ(PlayTick(kMain, 2), 0);
        EXPECT_EQ(game.aFalling[0].y, 100);
        EXPECT_EQ(game.aFalling[0].nFrame, 3);
        EXPECT_EQ(game.nLaunchAccum, 0);
        EXPECT_EQ(game.nTickCount, nTickCount);
        EXPECT_EQ(host.Ops(), bPaused ? std::vector<std::string>{"PaddleLightTick"}
                                      : std::vector<std::string>{});
    }
}

TEST_F(Play, GoalPictureEveryTwentiethTick) {
    StartGame(1, 1);
    game.nTickCount = 0;
    std::vector<int> aAt;
    for (int nTick = 1; nTick <= 60; nTick++) {
        host.Clear();
        Tick();
        if (host.Count("DrawGoalPicture")) aAt.push_back(nTick);
    }
    EXPECT_EQ(aAt, (std::vector<int>{20, 40, 60}));
}

TEST_F(Play, TileIsDrawnBeforeItMovesAndTumbles) {
    StartGame(1, 1);
    TileAt(0, 3, 120, TILE_BLUE, 9);
    Tick();
    std::vector<HostCall> draws;
    for (const HostCall& c : host.calls)
        if (c.op == "DrawTileFrame") draws.push_back(c);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].arg, (std::vector<int64_t>{TILE_BLUE, 9, aLaneX[3], 120}));
    EXPECT_EQ(game.aFalling[0].y, 122);
    EXPECT_EQ(game.aFalling[0].nFrame, 0); // 9 wraps to 0
    EXPECT_EQ(host.IndexOf("BeginDrawing"), 0);
    EXPECT_EQ(host.Ops().back(), "EndDrawing");
}

// --- Landing: catch and miss ----------------------------------------------------

struct LandCase {
    const char* szName;
    int nHeldBefore;
    int nTileLane;
    const char* szSound;
    int nHeldAfter;
    int nLivesLost;
};

const LandCase kLandings[] = {
    {"first catch", 0, 2, "CAUGHT", 1, 0},       {"fourth catch", 3, 2, "CAUGHT", 4, 0},
    {"fifth catch", 4, 2, "BOING", 5, 0},        {"out of lane", 0, 1, "FALLING", 0, 1},
    {"out of lane, far", 2, 4, "FALLING", 2, 1}, {"onto a full paddle", 5, 2, "FALLING", 5, 1},
};

TEST_F(Play, LandingCatchesOrMisses) {
    for (const LandCase& c : kLandings) {
        SCOPED_TRACE(c.szName);
        ResetEngineForTest(host);
        StartGame(1, 1);
        game.nLives = 3;
        std::vector<TileColor> held(c.nHeldBefore, TILE_GREEN);
        Hold(held);
        TileAt(0, c.nTileLane, 250, TILE_WHITE);
        EXPECT_EQ(Tick(), 1);

        EXPECT_EQ(host.Sounds(), (std::vector<std::string>{c.szSound}));
        int iSound = host.IndexOf("PlayGameSound");
        EXPECT_EQ(host.calls[(size_t)iSound].arg[0], 1); // asynchronous
        EXPECT_EQ(game.nHeld, c.nHeldAfter);
        EXPECT_EQ(game.nPaddleY, PADDLE_BASE_Y + 10 * game.nHeld);
        EXPECT_EQ(game.nLives, 3 - c.nLivesLost);
        EXPECT_EQ(game.aFalling[0].nFrame, -1);
        int iErase = host.IndexOf("DrawTileErase");
        ASSERT_GE(iErase, 0);
        EXPECT_EQ(host.calls[(size_t)iErase].arg, (std::vector<int64_t>{aLaneX[c.nTileLane], 250}));
        if (c.nLivesLost == 0) {
            EXPECT_EQ(game.nTilesCaught, 1);
            EXPECT_EQ(game.aHeld[c.nHeldBefore], TILE_WHITE);
            int iErasePaddle = host.IndexOf("ErasePaddleStack");
            EXPECT_GT(iErasePaddle, iErase);
            EXPECT_GT(host.IndexOf("DrawPaddleStack"), iErasePaddle);
            EXPECT_LT(host.IndexOf("DrawPaddleStack"), iSound);
            EXPECT_TRUE(host.Panel().empty()); // a points level: nothing to tell
        } else {
            EXPECT_EQ(game.nTilesCaught, 0);
            EXPECT_EQ(host.Count("ErasePaddleStack"), 0);
            std::vector<HostCall> panel = host.Panel();
            ASSERT_EQ(panel.size(), 1u);
            EXPECT_EQ(panel[0].arg, (std::vector<int64_t>{WM_PANELLIVES, 2, 0}));
        }
        ExpectBatchesBalanced();
    }
}

TEST_F(Play, TilesGoalCountsCatchesAndEndsTheLevelAtZero) {
    StartGame(5, 1);
    ASSERT_EQ(GoalKind(), GOAL_TILES);
    game.nGoalLeft = 2;
    TileAt(0, 2, 250);
    Tick();
    EXPECT_EQ(game.nGoalLeft, 1);
    ASSERT_EQ(host.Panel().size(), 1u);
    EXPECT_EQ(host.Panel()[0].arg, (std::vector<int64_t>{WM_PANELGOAL, 0, 0}));
    EXPECT_EQ(host.Count("ShowLevelDoneDlg"), 0);

    // The catch that reaches 0 ends the level in the same tick; the tiles
    // behind it in the slots are dropped without being drawn.
    host.Clear();
    int nDrawsInDialog = -1;
    host.onLevelDoneDlg = [&]() {
        int nDepth = host.Count("BeginDrawing") - host.Count("EndDrawing");
        nDrawsInDialog = nDepth;
        EXPECT_EQ(game.nGoalLeft, 0);
        EXPECT_EQ(game.bPaused, 1);
        game.nLevel += 1;
        LevelStart();
        return 1;
    };
    game.nFallingSlots = 0;
    TileAt(0, 2, 250);
    TileAt(1, 0, 100);
    TileAt(2, 4, 200);
    Tick();
    EXPECT_EQ(host.Count("ShowLevelDoneDlg"), 1);
    EXPECT_EQ(nDrawsInDialog, 0); // no device context is held across the dialog
    EXPECT_EQ(host.Count("DrawTileFrame"), 1);
    EXPECT_EQ(game.nLevel, 6);
    EXPECT_EQ(game.nFallingSlots, 0);
    EXPECT_EQ(game.bPaused, 0);
    ExpectBatchesBalanced();
}

TEST_F(Play, LastLifeEndsTheGameInTheSameTick) {
    StartGame(1, 1);
    game.nLives = 1;
    int nDepthInDialog = -1;
    host.onGameOverDlg = [&]() {
        nDepthInDialog = host.Count("BeginDrawing") - host.Count("EndDrawing");
    };
    TileAt(0, 0, 251);
    TileAt(1, 2, 251); // would have been caught
    TileAt(2, 3, 40);
    Tick();
    EXPECT_EQ(game.nLives, 0);
    EXPECT_EQ(host.Count("ShowGameOverDlg"), 1);
    EXPECT_EQ(nDepthInDialog, 0);
    EXPECT_EQ(game.bGameRunning, 0);
    EXPECT_EQ(game.nFallingSlots, 0);
    EXPECT_EQ(host.Count("DrawTileFrame"), 1);
    EXPECT_EQ(game.nHeld, 0);
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"FALLING", "GAMEOVER"}));
    ExpectBatchesBalanced();
}

// --- Slots ------------------------------------------------------------------------

TEST_F(Play, FifteenSlotsInFlightAndNoMore) {
    StartGame(1, 1);
    for (int i = 0; i < MAX_FALLING; i++) EXPECT_EQ(TileLaunch(), 1);
    EXPECT_EQ(game.nFallingSlots, MAX_FALLING);
    EXPECT_EQ(TileLaunch(), 0);
    EXPECT_EQ(game.nTilesLaunched, MAX_FALLING + 1); // counted all the same
    EXPECT_EQ(game.nFallingSlots, MAX_FALLING);

    // All fifteen are drawn in one batch, and a free slot is reused first.
    host.Clear();
    Tick();
    EXPECT_EQ(host.Count("DrawTileFrame"), MAX_FALLING);
    EXPECT_EQ(host.Count("BeginDrawing"), 1);
    ExpectBatchesBalanced();
    game.aFalling[3].nFrame = -1;
    game.aFalling[7].nFrame = -1;
    EXPECT_EQ(TileLaunch(), 1);
    EXPECT_EQ(game.aFalling[3].nFrame, 0);
    EXPECT_EQ(game.aFalling[3].y, LAUNCH_Y);
    EXPECT_EQ(game.aFalling[7].nFrame, -1);
    EXPECT_EQ(game.nFallingSlots, MAX_FALLING);
}

// The colour is drawn before the lane, each over its full range.
TEST_F(Play, LaunchDrawsTheColourThenTheLane) {
    StartGame(1, 1);
    for (unsigned nSeed = 1; nSeed <= 200; nSeed++) {
        srand(nSeed);
        int r1 = rand(), r2 = rand();
        srand(nSeed);
        game.nFallingSlots = 0;
        ASSERT_EQ(TileLaunch(), 1);
        const FallingTile& t = game.aFalling[0];
        ASSERT_EQ((std::vector<int>{t.nColor, t.x, t.nFrame, t.y}),
                  (std::vector<int>{r1 % NUM_COLORS, aLaneX[r2 % NUM_LANES], 0, LAUNCH_Y}))
            << "seed " << nSeed;
    }
}

// --- Keys ---------------------------------------------------------------------------

TEST_F(Play, RotateMovesTheBottomTileToTheTopOfTwoOrMore) {
    struct {
        std::vector<TileColor> held, after;
    } const kCases[] = {{{}, {}},
                        {{TILE_YELLOW}, {TILE_YELLOW}},
                        {{1, 2, 3}, {2, 3, 1}},
                        {{0, 1, 2, 3, 4}, {1, 2, 3, 4, 0}}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.held.size());
        ResetEngineForTest(host);
        StartGame(1, 1);
        Hold(c.held);
        EXPECT_EQ(KeyDown(kMain, KEY_UP), 1);
        EXPECT_EQ(std::vector<TileColor>(game.aHeld, game.aHeld + c.held.size()), c.after);
        EXPECT_EQ(game.nPaddleY, PADDLE_BASE_Y + 10 * (int)c.held.size());
        if (c.held.size() < 2) {
            EXPECT_TRUE(host.calls.empty());
            continue;
        }
        EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"ROTATE"}));
        int iFlash = host.IndexOf("StartPaddleFlash");
        EXPECT_GE(iFlash, 0);
        EXPECT_GT(host.IndexOf("DrawPaddleStack", iFlash), iFlash);
    }
}

TEST_F(Play, PaddleMovesInsideTheLanes) {
    struct {
        int nFrom, vk, nTo;
    } const kMoves[] = {
        {2, KEY_LEFT, 1},  {1, KEY_LEFT, 0},  {0, KEY_LEFT, 0},
        {2, KEY_RIGHT, 3}, {3, KEY_RIGHT, 4}, {4, KEY_RIGHT, 4},
    };
    StartGame(1, 1);
    for (const auto& m : kMoves) {
        SCOPED_TRACE(testing::Message() << m.nFrom << " -> " << m.nTo);
        game.nPaddleLane = m.nFrom;
        host.Clear();
        EXPECT_EQ(KeyDown(kMain, m.vk), 1);
        EXPECT_EQ(game.nPaddleLane, m.nTo);
        if (m.nFrom == m.nTo) {
            EXPECT_TRUE(host.calls.empty());
        } else {
            EXPECT_EQ(host.Ops(),
                      (std::vector<std::string>{"ErasePaddleStack", "DrawPaddleStack"}));
        }
    }
}

TEST_F(Play, PlayingKeysEndAPauseEvenWhenNothingMoves) {
    struct {
        const char* szName;
        int nLane, vk;
    } const kKeys[] = {
        {"left at lane 0", 0, KEY_LEFT},
        {"right at lane 4", 4, KEY_RIGHT},
        {"rotate with nothing held", 2, KEY_UP},
        {"drop with nothing held", 2, KEY_DOWN},
    };
    for (const auto& k : kKeys) {
        SCOPED_TRACE(k.szName);
        ResetEngineForTest(host);
        StartGame(1, 1);
        game.nPaddleLane = k.nLane;
        game.bPaused = 1;
        EXPECT_EQ(KeyDown(kMain, k.vk), 1);
        EXPECT_EQ(game.bPaused, 0);
        EXPECT_EQ(game.nPaddleLane, k.nLane);
        EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"PAUSEOFF"}));
        EXPECT_EQ(host.Count("ErasePaddleStack"), 0);
    }
}

TEST_F(Play, DropKeyDropsTheTopTile) {
    StartGame(1, 1);
    Hold({TILE_GREEN, TILE_PURPLE});
    game.nPaddleLane = 3;
    EXPECT_EQ(KeyDown(kMain, KEY_DOWN), 1);
    EXPECT_EQ(game.nHeld, 1);
    EXPECT_EQ(game.nPaddleY, 315);
    EXPECT_EQ(game.aBinCount[3], 1);
    EXPECT_EQ(game.aBinCell[3 * 5 + 0], TILE_PURPLE);
}

TEST_F(Play, PauseKeysToggle) {
    for (int vk : {(int)KEY_SPACE, (int)'P'}) {
        SCOPED_TRACE(vk);
        ResetEngineForTest(host);
        StartGame(1, 1);
        EXPECT_EQ(KeyDown(kMain, vk), 1);
        EXPECT_EQ(game.bPaused, 1);
        EXPECT_EQ(host.Ops().back(), "DrawPaddleStack");
        EXPECT_EQ(KeyDown(kMain, vk), 1);
        EXPECT_EQ(game.bPaused, 0);
        EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"PAUSEON", "PAUSEOFF"}));
    }
}

TEST_F(Play, EscapeHidesTheGame) {
    // With a game: pause, minimize, stop the music.
    StartGame(1, 1);
    game.nCreditsOffset = 77;
    EXPECT_EQ(KeyDown(kMain, KEY_ESCAPE), 1);
    EXPECT_EQ(game.bPaused, 1);
    EXPECT_EQ(game.bMinimized, 1);
    EXPECT_EQ(host.Count("BlankRect"), 0);
    EXPECT_EQ(game.nCreditsOffset, 77);
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"PAUSEON"}));
    int iMin = host.IndexOf("MinimizeMain");
    EXPECT_GT(iMin, host.IndexOf("ShowPauseLogo"));
    EXPECT_GT(host.IndexOf("MIDIStop"), iMin);

    // On the title screen the credits band starts over.
    ResetEngineForTest(host);
    game.nCreditsOffset = 123;
    EXPECT_EQ(KeyDown(kMain, KEY_ESCAPE), 1);
    EXPECT_EQ(game.nCreditsOffset, 0);
    EXPECT_EQ(game.bMinimized, 1);
    ASSERT_EQ(host.Count("BlankRect"), 1);
    EXPECT_EQ(host.calls[(size_t)host.IndexOf("BlankRect")].arg,
              (std::vector<int64_t>{91, 231, 424, 260}));
    EXPECT_TRUE(host.Sounds().empty()); // already paused
    EXPECT_EQ(host.Ops(), (std::vector<std::string>{"BlankRect", "MinimizeMain", "MIDIStop"}));
}

struct KeyCase {
    int vk;
    int nCommand; // 0: not a command key
};

const KeyCase kTableKeys[] = {
    {KEY_LEFT, 0},   {KEY_RIGHT, 0},    {KEY_UP, 0}, {KEY_DOWN, 0},  {KEY_SPACE, 0}, {'P', 0},
    {KEY_ESCAPE, 0}, {KEY_RETURN, 500}, {'N', 500},  {'O', 501},     {'S', 502},     {'W', 503},
    {'H', 504},      {'Q', 505},        {'M', 507},  {KEY_TAB, 508},
};

// Letters without a command; the lower-case codes of n and p (other keys, not N and P);
// a digit, Shift, Ctrl, Delete, F1, Home, and 0.
const int kOtherKeys[] = {'A', 'Z', 'n', 'p', '1', 0x10, 0x11, 0x2E, 0x70, 0x24, 0};

TEST_F(Play, KeysOfTheTableReturnOneWithAndWithoutAGame) {
    for (int bGame : {0, 1}) {
        for (const KeyCase& k : kTableKeys) {
            SCOPED_TRACE(testing::Message() << "key " << k.vk << " game " << bGame);
            ResetEngineForTest(host);
            if (bGame) StartGame(1, 1);
            EXPECT_EQ(KeyDown(kMain, k.vk), 1);
            if (k.nCommand) {
                ASSERT_EQ(host.calls.size(), 1u);
                EXPECT_EQ(host.calls[0].op, "SendCommand");
                EXPECT_EQ(host.calls[0].arg, (std::vector<int64_t>{k.nCommand}));
            } else if (!bGame && k.vk != KEY_ESCAPE) {
                EXPECT_TRUE(host.calls.empty()); // needs a game: does nothing
                EXPECT_EQ(game.bPaused, 1);
            }
        }
        for (int vk : kOtherKeys) {
            SCOPED_TRACE(testing::Message() << "other key " << vk << " game " << bGame);
            ResetEngineForTest(host);
            if (bGame) StartGame(1, 1);
            EXPECT_EQ(KeyDown(kMain, vk), 0);
            EXPECT_TRUE(host.calls.empty());
        }
    }
}

} // namespace
