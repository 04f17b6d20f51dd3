// The help's markup parser, and its pictures against the game's own rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/lines.h"
#include "engine/play.h"
#include "render/helpdoc.h"
#include "tests/native/recording_host.h"

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);

std::string HelpSource() {
    std::ifstream in(QUARRION_SOURCE_DIR "/resources/help.txt", std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::string Text(const HelpDoc& doc, HelpText t) {
    return std::string(HelpTextPtr(doc, t), (size_t)t.nLen);
}

HelpDoc doc; // large: kept out of the stack

int Parse(const std::string& s) {
    return HelpDocParse(s.data(), (int)s.size(), &doc);
}

int LevelOfKind(int nKind) {
    for (int l = 1; l <= NUM_LEVELS; l++)
        if (aLevelGoal[l].nKind == nKind) return l;
    return 0;
}

} // namespace

TEST(HelpDoc, TheGamesHelpParsesIntoItsTopicsInOrderWithEveryPicture) {
    RecordingHost host;
    ResetEngineForTest(host);
    ASSERT_TRUE(Parse(HelpSource())) << doc.szError;
    const std::vector<std::string> kTopics = {"How to play",
                                              "Keys",
                                              "Catching, dropping and lives",
                                              "Lines and points",
                                              "Chain reactions",
                                              "Level goals",
                                              "Level bonus",
                                              "Warp passwords",
                                              "Options",
                                              "High scores",
                                              "Music and sound",
                                              "Gamepad"};
    std::vector<std::string> topics;
    for (int t = 0; t < doc.nTopics; t++) topics.push_back(Text(doc, doc.aTopic[t].title));
    EXPECT_EQ(topics, kTopics);

    // Every picture is shown somewhere; the rules' numbers were filled in.
    std::vector<int> shown(HelpPictureCount(), 0);
    for (int b = 0; b < doc.nBlocks; b++) {
        const HelpBlock& block = doc.aBlock[b];
        if (block.nType == HB_PICTURE) shown[block.nPicture]++;
        EXPECT_EQ(Text(doc, block.text).find('{'), std::string::npos) << Text(doc, block.text);
    }
    for (int i = 0; i < HelpPictureCount(); i++) EXPECT_GT(shown[i], 0) << HelpPictureName(i);
    std::string sAll(doc.aPool, (size_t)doc.nPool);
    for (const char* sz : {"25 points", "200 points", "100,000 points", "75,000 points"})
        EXPECT_NE(sAll.find(sz), std::string::npos) << sz;
    // Plain ASCII only: a byte from 0x80 on is a lead byte in the Chinese,
    // Japanese and Korean code pages and would swallow the character after it.
    for (size_t i = 0; i < sAll.size(); i++)
        EXPECT_LT((unsigned char)sAll[i], 0x80) << "at " << i << ": " << sAll.substr(i, 20);
}

// The lines break at blanks, but never between a count and its word.
TEST(HelpDoc, LinesBreakAtBlanksButKeepACountWithItsWord) {
    RecordingHost host;
    ResetEngineForTest(host);
    struct Case {
        const char* szText;
        int nWidth; // in characters: each is one pixel wide
        const char* szLines;
    } const kCases[] = {
        {"Counts as: 3 Tile-Verticals", 14, "Counts as:|3 Tile-Verticals"},
        {"worth 75,000 points", 13, "worth|75,000 points"},
        {"Level 7: 12 X-Patterns now", 11, "Level 7:|12 X-Patterns|now"},
        {"lines in a row 3", 14, "lines in a row|3"},
        {"ab x3 cd", 5, "ab x3|cd"},
        {"one two three", 7, "one two|three"},
    };
    HelpMeasure m = {};
    m.pfnWidth = [](void*, int, const char*, int n) { return n; };
    for (int f = 0; f < HELP_NUM_FONTS; f++) m.anLineH[f] = 10;
    static HelpLayout layout;
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.szText);
        ASSERT_TRUE(Parse(std::string("@topic T\n") + c.szText + "\n")) << doc.szError;
        ASSERT_TRUE(HelpLayoutTopic(doc, 0, c.nWidth, m, &layout));
        std::string sLines;
        for (int i = 0; i < layout.nItems; i++) {
            const HelpItem& item = layout.aItem[i];
            if (item.nType != HI_TEXT || item.nFont != HF_BODY) continue;
            if (!sLines.empty()) sLines += '|';
            sLines.append(item.p, (size_t)item.n);
        }
        EXPECT_EQ(sLines, c.szLines);
    }
}

TEST(HelpDoc, ABrokenFileIsReportedWithItsLine) {
    RecordingHost host;
    ResetEngineForTest(host);
    struct Case {
        const char* szText;
        const char* szError;
    };
    const Case aCase[] = {
        {"@topic A\n@picture nowhere Title\n", "line 2: unknown picture \"nowhere\""},
        {"@topic A\n\n@topic B\ntext\n", "line 1: empty topic \"A\""},
        {"@topic A\ntext\n@topic B\n; only a comment\n", "line 3: empty topic \"B\""},
        {"words first\n@topic A\ntext\n", "line 1: text before the first @topic"},
        {"@topic A\n@table x\n", "line 2: unknown command \"@table\""},
        {"@topic A\nworth {bogus} points\n", "line 2: unknown value \"{bogus}\""},
        {"@topic A\n@key Left Move\n", "line 2: a key row needs keys | what they do"},
        {"; nothing\n", "line 1: no @topic at all"},
    };
    for (const Case& c : aCase) {
        EXPECT_FALSE(Parse(c.szText)) << c.szText;
        EXPECT_STREQ(doc.szError, c.szError) << c.szText;
    }
    // Lines run on into one paragraph until a blank line.
    ASSERT_TRUE(Parse("@topic A\r\none\r\n  two {max-held}\r\n\r\nthree\n@key Up | Turn\n"));
    ASSERT_EQ(doc.aTopic[0].nBlocks, 3);
    EXPECT_EQ(Text(doc, doc.aBlock[0].text), "one two 5");
    EXPECT_EQ(Text(doc, doc.aBlock[1].text), "three");
    EXPECT_EQ(Text(doc, doc.aBlock[2].text) + "|" + Text(doc, doc.aBlock[2].text2), "Up|Turn");
}

// "75,000"
std::string Thousands(int64_t n) {
    std::string s = std::to_string(n), sOut;
    for (size_t i = 0; i < s.size(); i++) {
        if (i > 0 && (s.size() - i) % 3 == 0) sOut.push_back(',');
        sOut.push_back(s[i]);
    }
    return sOut;
}

// "1 3-Tile-Vertical", "2 3-Tile-Verticals".
std::string KindCount(int nKind, int nCount) {
    std::string sName = aGoalKindName[nKind];
    sName.erase(0, sName.find_first_not_of(' '));
    if (nCount == 1 && !sName.empty() && sName.back() == 's') sName.pop_back();
    return std::to_string(nCount) + " " + sName;
}

// Each pictured board, put into the bins and resolved by the game, scores
// what its caption says, pass by pass, and counts exactly the goals it names.
TEST(HelpDoc, EveryPicturedBoardScoresAndCountsAsItsCaptionSays) {
    RecordingHost host;
    ResetEngineForTest(host);
    ASSERT_TRUE(Parse(HelpSource())) << doc.szError;
    std::vector<std::string> asCaption(HelpPictureCount());
    for (int b = 0; b < doc.nBlocks; b++)
        if (doc.aBlock[b].nType == HB_PICTURE)
            asCaption[doc.aBlock[b].nPicture] = Text(doc, doc.aBlock[b].text2);

    int nBoards = 0;
    for (int nPicture = 0; nPicture < HelpPictureCount(); nPicture++) {
        HelpBoard board;
        if (HelpPictureKind(nPicture) != HP_BOARD) continue;
        SCOPED_TRACE(HelpPictureName(nPicture));
        ASSERT_TRUE(HelpBoardOf(nPicture, &board));
        nBoards++;
        const std::string& sCaption = asCaption[nPicture];
        int nKindsCounted = 0;
        for (int nKind = GOAL_VERT3; nKind < NUM_GOAL_KINDS; nKind++) {
            game.nLevel = LevelOfKind(nKind);
            ASSERT_GT(game.nLevel, 0);
            game.nGoalLeft = 100;
            game.lScore = 0;
            for (int i = 0; i < NUM_CELLS; i++) game.aBinCell[i] = board.aCell[i];
            for (int b = 0; b < NUM_LANES; b++) {
                game.aBinCount[b] = 0;
                while (game.aBinCount[b] < NUM_ROWS &&
                       board.aCell[b * NUM_ROWS + game.aBinCount[b]] != TILE_NONE)
                    game.aBinCount[b]++;
                for (int r = game.aBinCount[b]; r < NUM_ROWS; r++)
                    ASSERT_EQ(board.aCell[b * NUM_ROWS + r], TILE_NONE) << "a floating tile";
            }
            host.Clear();
            LinesResolve(kMain);

            // The caption states the points of every pass and their sum.
            std::vector<int64_t> passes;
            for (const HostCall& c : host.Panel())
                if (c.arg[0] == WM_PANELSCORE) passes.push_back(c.arg[2]);
            ASSERT_FALSE(passes.empty());
            std::string sPoints;
            for (size_t i = 0; i < passes.size(); i++) {
                if (i > 0) sPoints.append(" + ");
                sPoints.append(Thousands(passes[i] - (i > 0 ? passes[i - 1] : 0)));
            }
            if (passes.size() > 1) sPoints.append(" = ").append(Thousands(passes.back()));
            EXPECT_EQ(sCaption.rfind(sPoints + " points\n", 0), 0u) << sCaption;

            // It names every goal kind the board counts toward, with its count.
            int nCounted = 100 - game.nGoalLeft;
            if (nCounted == 0) continue;
            nKindsCounted++;
            std::string sLine = KindCount(nKind, nCounted);
            sLine.insert(sLine.begin(), '\n');
            EXPECT_NE(sCaption.find(sLine), std::string::npos) << sCaption;
        }
        EXPECT_EQ(std::count(sCaption.begin(), sCaption.end(), '\n'), 1 + nKindsCounted)
            << sCaption;
    }
    EXPECT_EQ(nBoards, 14);

    // The paddle picture turns its stack as the Up key does.
    HelpPaddle paddle;
    ASSERT_TRUE(HelpPaddleOf(&paddle));
    game.bGameRunning = 1;
    game.nPaddleLane = 2;
    game.nHeld = paddle.nHeld;
    for (int i = 0; i < MAX_HELD; i++) game.aHeld[i] = paddle.aBefore[i];
    KeyDown(kMain, KEY_UP);
    for (int i = 0; i < MAX_HELD; i++) EXPECT_EQ(game.aHeld[i], paddle.aAfter[i]) << i;
}
