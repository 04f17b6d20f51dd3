// The side panel's lines and the extra life it grants on score updates.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/game.h"
#include "scores/panel.h"
#include "tests/native/recording_host.h"

namespace {

std::string Score(uint32_t l) {
    char sz[PANEL_TEXT_LEN];
    PanelScoreText(l, sz, sizeof sz);
    return sz;
}
std::string Level(int n) {
    char sz[PANEL_TEXT_LEN];
    PanelLevelText(n, sz, sizeof sz);
    return sz;
}
std::string Goal(int nLeft, int nKind) {
    char sz[PANEL_TEXT_LEN];
    PanelGoalText(nLeft, nKind, sz, sizeof sz);
    return sz;
}

class PanelRule : public testing::Test {
  protected:
    RecordingHost host;
    void SetUp() override { ResetEngineForTest(host); }
    // One WM_PANELSCORE as the panel sees it: the state's score has moved on
    // from the last one the panel accounted for.
    int Update(uint32_t lFrom, uint32_t lTo, int nLives) {
        game.lPanelScore = lFrom;
        game.lScore = lTo;
        game.nLives = nLives;
        host.Clear();
        return PanelScoreUpdate();
    }
};

} // namespace

TEST(PanelText, ScoreAndLevelLines) {
    EXPECT_EQ(Score(0), " Score: 00000000");
    EXPECT_EQ(Score(1234), " Score: 00001234");
    EXPECT_EQ(Score(99999999), " Score: 99999999");
    EXPECT_EQ(Score(123456789), " Score: 123456789"); // more digits are kept
    EXPECT_EQ(Score(4000000000u), " Score: 4000000000");
    EXPECT_EQ(Level(5), " Level 05");
    EXPECT_EQ(Level(7), " Level 07");
    EXPECT_EQ(Level(50), " Level 50");
}

TEST(PanelText, GoalLineDropsThePluralWhenOneIsLeft) {
    RecordingHost host;
    ResetEngineForTest(host);
    struct Case {
        int nLeft, nKind;
        const char* szLine;
    } const aCases[] = {
        {1500, GOAL_POINTS, " 1500 Points To Go"},
        {1, GOAL_POINTS, " 1 Point To Go"},
        {0, GOAL_POINTS, " 0 Points To Go"},
        {1, GOAL_TILES, " 1 Tile To Go"},
        {2, GOAL_V5, " 2 5-Tile-Vs To Go"},
        {1, GOAL_X9, " 1 9-Tile-X To Go"},
        {1, GOAL_HORZ3, " 1 3-Tile-Horizontal To Go"},
        {-3, GOAL_TILES, " -3 Tiles To Go"},
    };
    for (const Case& c : aCases) EXPECT_EQ(Goal(c.nLeft, c.nKind), c.szLine);
    // A kind outside the table has no name rather than reading past it.
    EXPECT_EQ(Goal(4, NUM_GOAL_KINDS), " 4 To Go");
    EXPECT_EQ(Goal(4, -1), " 4 To Go");
}

TEST(PanelText, LinesAreCutToTheBuffer) {
    RecordingHost host;
    ResetEngineForTest(host);
    char sz[10];
    std::memset(sz, 'x', sizeof sz);
    PanelGoalText(1500, GOAL_POINTS, sz, 8);
    EXPECT_STREQ(sz, " 1500 P");
    EXPECT_EQ(sz[8], 'x');
}

TEST_F(PanelRule, PassingAHundredThousandGivesOneLife) {
    struct Case {
        uint32_t lFrom, lTo;
        int nLives;
        int nLivesAfter;
        bool bSound;
    } const aCases[] = {
        {99999, 100000, 3, 4, true},            // exactly on the mark
        {99990, 100010, 3, 4, true},            //
        {100010, 100500, 4, 4, false},          // the same hundred thousand
        {95000, 215000, 2, 3, true},            // two marks at once: one life only
        {0, 1000000, 1, 2, true},               // ten marks at once
        {499000, 500100, 5, 5, false},          // never above five, and silent then
        {399000, 400000, 4, 5, true},           // up to five
        {0, 99999, 3, 3, false},                //
        {200000, 150000, 3, 3, false},          // a lower score gives nothing back
        {2147400000u, 2147500000u, 1, 2, true}, // past 2^31 as well
        {110000, 110000, 4, 4, false},          // a repaint sends the same score again
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.lFrom << " -> " << c.lTo);
        int bAdded = Update(c.lFrom, c.lTo, c.nLives);
        EXPECT_EQ(game.nLives, c.nLivesAfter);
        EXPECT_EQ(bAdded, c.nLivesAfter > c.nLives ? 1 : 0);
        EXPECT_EQ(host.Sounds(),
                  c.bSound ? std::vector<std::string>{"NEWGUY"} : std::vector<std::string>{});
        if (c.bSound) {
            EXPECT_EQ(host.calls[0].arg.at(0), 1); // asynchronous
        }
        // The update moves the panel's score on, so a second one gives nothing.
        EXPECT_EQ(game.lPanelScore, c.lTo);
    }
}
