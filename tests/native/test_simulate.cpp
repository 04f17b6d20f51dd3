// Headless games with the scripted player: the state's invariants hold after
// every tick and key at every speed and from every kind of starting layout.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "engine/game.h"
#include "prefs/prefs.h"
#include "tests/native/recording_host.h"
#include "tools/simulate/sim.h"

namespace {

SimResult result; // large: kept out of the stack

int Outcomes(const SimResult& r) {
    return r.nWon + r.nLostLives + r.nLostFull + r.nCutOff;
}

TEST(Simulate, InvariantsHoldAtEverySpeedAndLayout) {
    // Levels whose set-up differs: set pieces, the random bands, a full paddle.
    const int kStartLevels[] = {1, 3, 5, 6, 9, 12, 15, 25, 35, 45, 50};
    RecordingHost host; // restored after the runs
    for (int nSpeed = 0; nSpeed <= 3; nSpeed++) {
        for (int nLevel : kStartLevels) {
            for (int nNoise : {0, 15}) {
                SCOPED_TRACE(testing::Message()
                             << "speed " << nSpeed << " level " << nLevel << " noise " << nNoise);
                SimOptions opt;
                opt.nGames = 6;
                opt.nSpeed = nSpeed;
                opt.nSeed = 1000u + (unsigned)(nSpeed * 100 + nLevel);
                opt.nStartLevel = nLevel;
                opt.nNoisePercent = nNoise;
                opt.nMaxTicks = 8000;
                opt.nReactTicks = 2 + nSpeed % 2;
                EXPECT_EQ(SimRun(opt, &result), 1) << result.szFirstFault;
                EXPECT_EQ(result.nFaults, 0);
                EXPECT_EQ(result.nGames, 6);
                EXPECT_EQ(Outcomes(result), 6);
                EXPECT_EQ(result.aLevel[nLevel].nReached, 6);
                EXPECT_GT(result.nCatches, 0u);
            }
        }
    }
}

TEST(Simulate, LongGamesFromTheStart) {
    RecordingHost host;
    for (int nSpeed = 0; nSpeed <= 3; nSpeed++) {
        SCOPED_TRACE(nSpeed);
        SimOptions opt;
        opt.nGames = 40;
        opt.nSpeed = nSpeed;
        opt.nSeed = 7u + (unsigned)nSpeed;
        opt.nMaxTicks = 60000;
        EXPECT_EQ(SimRun(opt, &result), 1) << result.szFirstFault;
        EXPECT_EQ(Outcomes(result), 40);
        // Every completed level leads into the next one.
        for (int nLevel = 1; nLevel < NUM_LEVELS; nLevel++)
            EXPECT_EQ(result.aLevel[nLevel + 1].nReached, result.aLevel[nLevel].nCompleted)
                << "level " << nLevel;
        // Level 1 asks for 5000 points: whoever finishes it has at least that.
        const SimLevelStats& s = result.aLevel[1];
        ASSERT_GT(s.nCompleted, 0);
        EXPECT_GE(s.lScoreSum / (uint64_t)s.nCompleted, 5000u);
        // A game lost by its lives missed three tiles and one per extra life.
        if (result.nLostLives == 40) {
            EXPECT_EQ(result.nMisses, 3u * 40u + result.nExtraLives);
        }
    }
}

TEST(Simulate, SameSeedSameGames) {
    RecordingHost host;
    SimOptions opt;
    opt.nGames = 20;
    opt.nSpeed = 2;
    opt.nSeed = 99;
    opt.nNoisePercent = 10;
    opt.nMaxTicks = 20000;
    SimRun(opt, &result);
    SimResult first = result;
    SimRun(opt, &result);
    EXPECT_EQ(result.nTicks, first.nTicks);
    EXPECT_EQ(result.lFinalScoreSum, first.lFinalScoreSum);
    EXPECT_EQ(result.nKeys, first.nKeys);
    EXPECT_EQ(std::memcmp(result.aLevel, first.aLevel, sizeof result.aLevel), 0);

    opt.nSeed = 100;
    SimRun(opt, &result);
    EXPECT_NE(result.nTicks, first.nTicks);
}

TEST(Simulate, RunLeavesTheInstalledHostInPlace) {
    RecordingHost host;
    const GameHost* pBefore = pHost;
    SimOptions opt;
    opt.nGames = 1;
    opt.nMaxTicks = 100;
    SimRun(opt, &result);
    EXPECT_EQ(pHost, pBefore);
    EXPECT_EQ(result.nCutOff, 1);
    EXPECT_EQ(result.nTicks, 100u);
}

// The checker itself must see every kind of broken state.
TEST(Simulate, CheckerFindsBrokenStates) {
    struct Case {
        const char* szName;
        std::function<void()> corrupt;
    };
    const Case kCases[] = {
        {"floating tile", [] { game.aBinCell[1 * 5 + 3] = TILE_RED; }},
        {"hole under a tile",
         [] {
             game.aBinCount[1] = 2;
             game.aBinCell[1 * 5 + 1] = TILE_RED;
         }},
        {"count too high", [] { game.aBinCount[4] = 6; }},
        {"bad colour in a bin",
         [] {
             game.aBinCount[0] = 1;
             game.aBinCell[0] = 8;
         }},
        {"paddle height", [] { game.nPaddleY = PADDLE_BASE_Y + 10; }},
        {"held colour",
         [] {
             game.nHeld = 1;
             game.nPaddleY = PADDLE_BASE_Y + 10;
             game.aHeld[0] = TILE_NONE;
         }},
        {"too many held",
         [] {
             game.nHeld = 6;
             game.nPaddleY = PADDLE_BASE_Y + 60;
         }},
        {"paddle lane", [] { game.nPaddleLane = 5; }},
        {"slot between lanes",
         [] {
             game.aFalling[0] = FallingTile{0, 0, aLaneX[1] + 1, 100};
             game.nFallingSlots = 1;
         }},
        {"slot below the row",
         [] {
             game.aFalling[2] = FallingTile{0, 0, aLaneX[1], LANDING_Y};
             game.nFallingSlots = 3;
         }},
        {"slot frame",
         [] {
             game.aFalling[0] = FallingTile{10, 0, aLaneX[1], 100};
             game.nFallingSlots = 1;
         }},
        {"slot count", [] { game.nFallingSlots = 16; }},
        {"spacing", [] { game.nLaunchSpacing = 40; }},
        {"lives", [] { game.nLives = 6; }},
        {"running without lives", [] { game.nLives = 0; }},
    };
    RecordingHost host;
    char szWhy[SIM_FAULT_LEN];
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.szName);
        ResetEngineForTest(host);
        game.nLevel = 1;
        GameNew(0);
        ASSERT_EQ(SimCheckInvariants(szWhy, sizeof szWhy), 1) << szWhy;
        c.corrupt();
        szWhy[0] = '\0';
        EXPECT_EQ(SimCheckInvariants(szWhy, sizeof szWhy), 0);
        EXPECT_NE(szWhy[0], '\0');
    }
}

} // namespace
