// The level-complete dialog's rules: the bonus, its texts, the step to the
// next level, the warp password and the won game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/play.h"
#include "engine/warp.h"
#include "scores/leveldone.h"
#include "tests/native/recording_host.h"

namespace {

class LevelDone : public ::testing::Test {
  protected:
    RecordingHost host;

    void SetUp() override { ResetEngineForTest(host); }

    // A running game at nLevel, with the level set up, the record cleared.
    void StartGame(int nLevel) {
        game.nLevel = nLevel;
        GameNew(1);
        host.Clear();
    }

    // The bins with nFilled cells filled from the bottom of bin 0 on.
    static void FillCells(int nFilled) {
        for (int i = 0; i < NUM_CELLS; i++) game.aBinCell[i] = i < nFilled ? TILE_RED : TILE_NONE;
    }

    static std::string Line(int n) { return levelDone.aszText[n]; }

    static std::string PasswordOf(int nLevel) {
        char sz[WARP_SLOT_LEN];
        WarpPasswordForLevel(nLevel, sz);
        return sz;
    }
};

TEST_F(LevelDone, OpeningShowsTheBonusAndAddsItToTheScoreAtOnce) {
    StartGame(4);
    game.lScore = 12345;
    game.nTilesCaught = 40;
    FillCells(NUM_CELLS - 18);
    EXPECT_EQ(LevelDoneOpen(), 1);
    EXPECT_EQ(Line(LD_LINE_TITLE), "Level 4 Complete");
    EXPECT_EQ(Line(LD_LINE_TILES), "Tiles Caught: 40 (x25)");
    EXPECT_EQ(Line(LD_LINE_EMPTY), "Empty Bins: 18 (x200)");
    EXPECT_EQ(Line(LD_LINE_BONUS), "BONUS: 4600 Points");
    EXPECT_EQ(game.lScore, 12345u + 4600u);
    EXPECT_EQ(game.nLevel, 4); // the level only moves on with Continue
    // The side panel is not told here; the level-end flow repaints it.
    EXPECT_EQ(host.Count("SendPanel"), 0);
    EXPECT_TRUE(host.Sounds().empty());
}

TEST_F(LevelDone, BonusCountsCaughtTilesAndEmptyCells) {
    struct Case {
        int nCaught, nEmpty;
        int32_t nBonus;
        const char* szEmpty;
    } const kCases[] = {
        {0, 0, 0, "Empty Bins: 0 (x200)"},
        {0, 25, 5000, "Empty Bins: 25 (x200)"},
        {3, 0, 75, "Empty Bins: 0 (x200)"},
        {120, 25, 8000, "Empty Bins: 25 (x200)"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.nCaught << " caught, " << c.nEmpty << " empty");
        StartGame(2);
        game.lScore = 100;
        game.nTilesCaught = c.nCaught;
        FillCells(NUM_CELLS - c.nEmpty);
        EXPECT_EQ(EmptyCellCount(), c.nEmpty);
        EXPECT_EQ(LevelBonus(), c.nBonus);
        LevelDoneOpen();
        EXPECT_EQ(Line(LD_LINE_EMPTY), c.szEmpty);
        EXPECT_EQ(Line(LD_LINE_BONUS), "BONUS: " + std::to_string(c.nBonus) + " Points");
        EXPECT_EQ(game.lScore, 100u + (uint32_t)c.nBonus);
    }
}

TEST_F(LevelDone, NextGoalLineNamesTheNextLevelsGoalWithoutASingular) {
    struct Case {
        int nLevel;
        const char* szNext;
    } const kCases[] = {
        {1, "10 3-Tile-Verticals"},
        {5, "15000 Points"},
        {9, "65 Tiles"},
        {49, "1 9-Tile-Xs"}, // an amount of 1 keeps the plural
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.nLevel);
        StartGame(c.nLevel);
        LevelDoneOpen();
        EXPECT_EQ(Line(LD_LINE_NEXTHEAD), "Goal For Next Level");
        EXPECT_EQ(Line(LD_LINE_NEXT), c.szNext);
    }
}

TEST_F(LevelDone, PasswordShowsOnlyOnTheStepIntoEveryFifthLevelFromSix) {
    for (int nLevel = 1; nLevel < NUM_LEVELS; nLevel++) {
        SCOPED_TRACE(nLevel);
        StartGame(nLevel);
        game.nTilesCaught = 7;
        LevelDoneOpen();
        const int nNext = nLevel + 1;
        int nResult = LevelDoneContinue();
        // Either way the next level is set up by the first Continue.
        EXPECT_EQ(game.nLevel, nNext);
        EXPECT_EQ(game.nTilesCaught, 0);
        EXPECT_EQ(game.nGoalLeft, aLevelGoal[nNext].nAmount);
        if (nLevel % 5 == 0) {
            ASSERT_EQ(nResult, LEVELDONE_STAY);
            EXPECT_EQ(Line(LD_LINE_NEXTHEAD), "Warp Password");
            EXPECT_EQ(Line(LD_LINE_NEXT), PasswordOf(nNext));
            EXPECT_FALSE(Line(LD_LINE_NEXT).empty());
            // The second Continue only closes.
            EXPECT_EQ(LevelDoneContinue(), LEVELDONE_NEXT);
            EXPECT_EQ(game.nLevel, nNext);
        } else {
            EXPECT_EQ(nResult, LEVELDONE_NEXT);
            EXPECT_EQ(Line(LD_LINE_NEXTHEAD), "Goal For Next Level");
        }
        EXPECT_EQ(game.bGameRunning, 1);
        EXPECT_TRUE(host.Sounds().empty());
    }
}

TEST_F(LevelDone, EachOpeningStartsWithoutThePassword) {
    StartGame(5);
    LevelDoneOpen();
    ASSERT_EQ(LevelDoneContinue(), LEVELDONE_STAY);
    // Level 6 is finished next: its dialog must step on to 7, not just close.
    LevelDoneOpen();
    EXPECT_EQ(LevelDoneContinue(), LEVELDONE_NEXT);
    EXPECT_EQ(game.nLevel, 7);
}

TEST_F(LevelDone, FinishingLevelFiftyWinsTheGame) {
    StartGame(NUM_LEVELS);
    game.lScore = 500000;
    game.nTilesCaught = 2;
    FillCells(NUM_CELLS);
    LevelDoneOpen();
    EXPECT_EQ(Line(LD_LINE_TITLE), "Level 50 Complete");
    EXPECT_EQ(Line(LD_LINE_NEXTHEAD), "Congratulations!");
    EXPECT_EQ(Line(LD_LINE_NEXT), "You've won!");
    EXPECT_EQ(game.lScore, 500050u);

    EXPECT_EQ(LevelDoneContinue(), LEVELDONE_GAME_WON);
    EXPECT_EQ(game.bPaused, 1);
    EXPECT_EQ(game.bGameRunning, 0);
    EXPECT_EQ(game.nLevel, 1);
    ASSERT_EQ(host.Sounds(), (std::vector<std::string>{"GAMEWON"}));
    EXPECT_EQ(host.calls[(size_t)host.IndexOf("PlayGameSound")].arg,
              (std::vector<int64_t>{1})); // without waiting
    EXPECT_EQ(game.lScore, 500050u);
}

TEST_F(LevelDone, BorderFlashesThroughSixColoursFromTheFirstOnEachOpening) {
    StartGame(3);
    LevelDoneOpen();
    std::vector<int> aSeen;
    for (int i = 0; i < 8; i++) aSeen.push_back(LevelDoneFlashStep());
    EXPECT_EQ(aSeen, (std::vector<int>{0, 1, 2, 3, 4, 5, 0, 1}));
    LevelDoneOpen();
    EXPECT_EQ(LevelDoneFlashStep(), 0);
}

// The whole level end with these rules in the dialog.
TEST_F(LevelDone, LevelOverWithTheDialogsRules) {
    host.onLevelDoneDlg = []() {
        LevelDoneOpen();
        int n;
        do n = LevelDoneContinue();
        while (n == LEVELDONE_STAY);
        return n;
    };
    StartGame(10);
    game.nTilesCaught = 4;
    game.lScore = 1000;
    const uint32_t lExpected = 1000u + (uint32_t)LevelBonus();
    LevelOver(nullptr);
    EXPECT_EQ(game.nLevel, 11);
    EXPECT_EQ(game.bPaused, 0);
    EXPECT_EQ(game.bGameRunning, 1);
    EXPECT_EQ(game.nPaddleLane, 2);
    EXPECT_EQ(game.lScore, lExpected); // the bonus of level 10's bins, not level 11's
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"LEVELOVER", "NEXTLEVEL"}));

    host.Clear();
    StartGame(NUM_LEVELS);
    LevelOver(nullptr);
    EXPECT_EQ(game.nLevel, 1);
    EXPECT_EQ(game.bGameRunning, 0);
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"LEVELOVER", "GAMEWON"}));
    EXPECT_EQ(host.Count("ShowWinGameDlg"), 1);
}

} // namespace
