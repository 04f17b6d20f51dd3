// The pause, the end of a level, the end of a game and the engine's timer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/play.h"
#include "prefs/prefs.h"
#include "tests/native/recording_host.h"

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);

class Flow : public ::testing::Test {
  protected:
    RecordingHost host;

    void SetUp() override { ResetEngineForTest(host); }

    void StartGame(int nLevel) {
        game.nLevel = nLevel;
        GameNew(1);
        host.Clear();
    }

    // What the level-complete dialog does on Continue below the last level.
    static int LevelDoneContinue() {
        game.nLevel += 1;
        LevelStart();
        return 1;
    }
};

// --- Pause --------------------------------------------------------------------------

TEST_F(Flow, PauseOnlyActsOnAChange) {
    StartGame(1);
    EXPECT_EQ(SetPause(1), 1);
    EXPECT_EQ(SetPause(1), 0);
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"PAUSEON"}));
    EXPECT_EQ(host.Ops(),
              (std::vector<std::string>{"PlayGameSound", "DrawPaddleStack", "ShowPauseLogo"}));
    EXPECT_EQ(host.calls[2].arg, (std::vector<int64_t>{1}));
    EXPECT_EQ(host.calls[0].arg, (std::vector<int64_t>{1})); // asynchronous

    host.Clear();
    EXPECT_EQ(SetPause(0), 1);
    EXPECT_EQ(SetPause(0), 0);
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"PAUSEOFF"}));
    EXPECT_EQ(host.Ops(),
              (std::vector<std::string>{"PlayGameSound", "DrawPaddleStack", "ShowPauseLogo"}));
    EXPECT_EQ(host.calls[2].arg, (std::vector<int64_t>{0}));
    EXPECT_EQ(game.bPaused, 0);
}

// --- Level over -------------------------------------------------------------------------

TEST_F(Flow, LevelOverToTheNextLevel) {
    StartGame(1);
    game.nPaddleLane = 4;
    game.nFallingSlots = 3;
    game.nGoalLeft = -250;
    int bPausedInDialog = -1, nGoalInDialog = 99, nSlotsInDialog = 99;
    host.onLevelDoneDlg = [&]() {
        bPausedInDialog = game.bPaused;
        nGoalInDialog = game.nGoalLeft;
        nSlotsInDialog = game.nFallingSlots;
        return LevelDoneContinue();
    };
    EXPECT_EQ(LevelOver(kMain), 1);

    EXPECT_EQ(bPausedInDialog, 1);
    EXPECT_EQ(nGoalInDialog, 0);
    EXPECT_EQ(nSlotsInDialog, 0);
    EXPECT_EQ(game.nLevel, 2);
    EXPECT_EQ(game.bPaused, 0);
    EXPECT_EQ(game.bGameRunning, 1);
    EXPECT_EQ(game.nPaddleLane, 2);
    EXPECT_EQ(game.nGoalLeft, aLevelGoal[2].nAmount);

    // Goal message, sound, dialog (which set up the level), repaint, the
    // synchronous sound, the paddle; music is off by default.
    EXPECT_EQ(host.Ops(),
              (std::vector<std::string>{"SendPanel", "PlayGameSound", "ShowLevelDoneDlg",
                                        "PostResolveLines", "InvalidateMain", "InvalidatePanel",
                                        "UpdateMainAndPanel", "PlayGameSound", "DrawPaddleStack"}));
    EXPECT_EQ(host.calls[0].arg, (std::vector<int64_t>{WM_PANELGOAL, 0, 0}));
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"LEVELOVER", "NEXTLEVEL"}));
    EXPECT_EQ(host.calls[1].arg, (std::vector<int64_t>{1}));
    EXPECT_EQ(host.calls[4].arg, (std::vector<int64_t>{1}));
    EXPECT_EQ(host.calls[5].arg, (std::vector<int64_t>{0}));
    EXPECT_EQ(host.calls[7].arg, (std::vector<int64_t>{0}));
}

TEST_F(Flow, NextTrackOnlyWithMusicThatIsNotContinuous) {
    struct {
        int bMusic, bContinuous, nNext;
    } const kCases[] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 1}, {1, 1, 0}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << "music " << c.bMusic << " continuous " << c.bContinuous);
        ResetEngineForTest(host);
        StartGame(3);
        prefs.bMusic = c.bMusic;
        prefs.bContinuous = c.bContinuous;
        host.onLevelDoneDlg = LevelDoneContinue;
        LevelOver(kMain);
        EXPECT_EQ(host.Count("MIDINext"), c.nNext);
        if (c.nNext) {
            EXPECT_EQ(host.IndexOf("MIDINext"), host.IndexOf("PlayGameSound", 2) + 1);
        }
    }
}

// The dialog reports the win, whatever it left in the state: the game is over
// before the end-of-game dialog opens, and the title screen comes back.
TEST_F(Flow, WinningTheGameReturnsToTheTitle) {
    StartGame(50);
    game.lScore = 1234567;
    game.nLives = 4;
    game.nCreditsOffset = 55;
    host.onLevelDoneDlg = []() { return 2000; };
    int nRunningInDlg = -1;
    host.onWinGameDlg = [&]() { nRunningInDlg = game.bGameRunning; };
    EXPECT_EQ(LevelOver(kMain), 1);

    EXPECT_EQ(nRunningInDlg, 0);
    EXPECT_EQ(game.bGameRunning, 0);
    EXPECT_EQ(game.bPaused, 1);
    EXPECT_EQ(game.nLevel, 1);
    EXPECT_EQ(game.nCreditsOffset, 0);
    EXPECT_EQ(game.lScore, 1234567u);
    EXPECT_EQ(game.nLives, 4);
    // The end-of-game dialog checks the high score itself.
    EXPECT_EQ(host.Ops(),
              (std::vector<std::string>{"SendPanel", "PlayGameSound", "ShowLevelDoneDlg",
                                        "ShowWinGameDlg", "ShowHiScoreDlg", "BlankRect",
                                        "InvalidateMain", "UpdateMainAndPanel", "SendPlayTimer"}));
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"LEVELOVER"}));
    EXPECT_EQ(host.calls[5].arg, (std::vector<int64_t>{79, 305, 429, 329}));
    EXPECT_EQ(host.calls[6].arg, (std::vector<int64_t>{1}));
}

// --- Game over ------------------------------------------------------------------------------

TEST_F(Flow, GameOverPathInOrder) {
    StartGame(7);
    game.lScore = 4242;
    game.nLives = 0;
    game.nFallingSlots = 5;
    game.nCreditsOffset = 31;
    int bRunningInDlg = -1, bPausedInDlg = -1, nSlotsInDlg = -1;
    host.onGameOverDlg = [&]() {
        bRunningInDlg = game.bGameRunning;
        bPausedInDlg = game.bPaused;
        nSlotsInDlg = game.nFallingSlots;
    };
    EXPECT_EQ(GameOver(kMain), 1);

    EXPECT_EQ(bRunningInDlg, 1);
    EXPECT_EQ(bPausedInDlg, 1);
    EXPECT_EQ(nSlotsInDlg, 0);
    EXPECT_EQ(game.bGameRunning, 0);
    EXPECT_EQ(game.bPaused, 1);
    EXPECT_EQ(game.nLevel, 1);
    EXPECT_EQ(game.nCreditsOffset, 0);
    EXPECT_EQ(game.lScore, 4242u); // the panel keeps showing the last game
    EXPECT_EQ(game.nLives, 0);

    EXPECT_EQ(host.Ops(), (std::vector<std::string>{"PlayGameSound", "ShowGameOverDlg",
                                                    "CheckHighScore", "BlankRect", "InvalidateMain",
                                                    "UpdateMainAndPanel", "SendPlayTimer"}));
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"GAMEOVER"}));
    EXPECT_EQ(host.calls[0].arg, (std::vector<int64_t>{1}));
    EXPECT_EQ(host.calls[3].arg, (std::vector<int64_t>{79, 305, 429, 329}));
    EXPECT_EQ(host.calls[4].arg, (std::vector<int64_t>{1}));
}

// --- The engine's timer -----------------------------------------------------------------

TEST_F(Flow, TimerStepsTheLampsThenPlays) {
    StartGame(1);
    game.aFalling[0] = FallingTile{0, TILE_RED, aLaneX[1], 100};
    game.nFallingSlots = 1;
    game.nFallStep = 5; // the speed's step, whatever it is
    EXPECT_EQ(EngineTimerTick(kMain), 1);
    EXPECT_EQ(host.IndexOf("PaddleLightTick"), 0);
    EXPECT_EQ(game.aFalling[0].y, 105);

    // Paused: the lamps go on, the tick takes a step of 0 and stops.
    host.Clear();
    game.bPaused = 1;
    EXPECT_EQ(EngineTimerTick(kMain), 0);
    EXPECT_EQ(host.Ops(), (std::vector<std::string>{"PaddleLightTick"}));
    EXPECT_EQ(game.aFalling[0].y, 105);
}

TEST_F(Flow, TimerIsSafeWithoutAGameOrMinimized) {
    EXPECT_EQ(EngineTimerTick(kMain), 0); // title screen
    EXPECT_TRUE(host.calls.empty());

    StartGame(1);
    game.bMinimized = 1;
    game.nLaunchAccum = 0;
    EXPECT_EQ(EngineTimerTick(kMain), 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(game.nLaunchAccum, 0);
}

} // namespace
