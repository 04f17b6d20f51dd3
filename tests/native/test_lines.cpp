// The detectors, the chain passes, the settling, the score sound and the drop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/game.h"
#include "engine/lines.h"
#include "tests/native/recording_host.h"

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);

typedef std::pair<int, int> BinRow; // (bin, row)
typedef std::vector<BinRow> CellList;
typedef std::map<int, int> GoalCounts; // goal kind -> how much one pass lowers it

// The first level whose goal is of kind nKind.
int LevelOfKind(int nKind) {
    for (int l = 1; l <= NUM_LEVELS; l++)
        if (aLevelGoal[l].nKind == nKind) return l;
    return 0;
}

void BinsClear() {
    for (TileColor& c : game.aBinCell) c = TILE_NONE;
    for (int32_t& n : game.aBinCount) n = 0;
}

TileColor& At(int nBin, int nRow) {
    return game.aBinCell[nBin * NUM_ROWS + nRow];
}

void CellsPut(const CellList& cells, TileColor c) {
    for (const BinRow& br : cells) At(br.first, br.second) = c;
}

CellList Union(CellList a, const CellList& b) {
    for (const BinRow& br : b)
        if (std::find(a.begin(), a.end(), br) == a.end()) a.push_back(br);
    return a;
}

// --- Shapes built from geometry, independently of the detectors' tables ----

// Every straight diagonal of nLen cells: starts in bin b, row r, direction d.
std::vector<CellList> DiagonalsOfLength(int nLen) {
    std::vector<CellList> all;
    for (int d : {-1, +1})
        for (int b = 0; b + nLen <= NUM_LANES; b++)
            for (int r = 0; r < NUM_ROWS; r++) {
                int rEnd = r + d * (nLen - 1);
                if (rEnd < 0 || rEnd >= NUM_ROWS) continue;
                CellList cells;
                for (int i = 0; i < nLen; i++) cells.push_back({b + i, r + d * i});
                all.push_back(cells);
            }
    return all;
}

int Direction(const CellList& diag) {
    return diag[1].second - diag[0].second;
}

// Two three-cell diagonals of opposite directions sharing an end cell only.
std::vector<CellList> AllVs() {
    std::vector<CellList> v;
    std::vector<CellList> d3 = DiagonalsOfLength(3);
    for (size_t i = 0; i < d3.size(); i++)
        for (size_t j = i + 1; j < d3.size(); j++) {
            const CellList &a = d3[i], &b = d3[j];
            if (Direction(a) == Direction(b)) continue;
            std::set<BinRow> ends = {a.front(), a.back()};
            int nShared = 0, bEndShared = 0;
            for (const BinRow& br : b) {
                if (std::find(a.begin(), a.end(), br) == a.end()) continue;
                nShared++;
                bEndShared = ends.count(br) && (br == b.front() || br == b.back());
            }
            if (nShared == 1 && bEndShared) v.push_back(Union(a, b));
        }
    return v;
}

// Two three-cell diagonals crossing in their middle cell.
std::vector<CellList> AllXs() {
    std::vector<CellList> x;
    std::vector<CellList> d3 = DiagonalsOfLength(3);
    for (size_t i = 0; i < d3.size(); i++)
        for (size_t j = i + 1; j < d3.size(); j++)
            if (d3[i][1] == d3[j][1]) x.push_back(Union(d3[i], d3[j]));
    return x;
}

CellList Column(int nBin, int nFirst, int nLast) {
    CellList cells;
    for (int r = nFirst; r <= nLast; r++) cells.push_back({nBin, r});
    return cells;
}

CellList Row(int nRow, int nFirst, int nLast) {
    CellList cells;
    for (int b = nFirst; b <= nLast; b++) cells.push_back({b, nRow});
    return cells;
}

// One detector case: tiles of colour 3 on `tiles`, optional tiles of colour 5
// on `others`; one pass of the three detectors must clear `cleared`, score
// nPoints and lower each goal kind by its count (every other kind by 0).
struct ShapeCase {
    std::string name;
    CellList tiles;
    CellList others;
    CellList cleared;
    int32_t nPoints;
    GoalCounts goals;
};

std::vector<ShapeCase> ShapeCases() {
    std::vector<ShapeCase> cases;
    auto add = [&](std::string name, CellList tiles, int32_t nPoints, GoalCounts goals,
                   CellList others = {}, CellList cleared = {}) {
        if (cleared.empty()) cleared = tiles;
        cases.push_back({name, tiles, others, cleared, nPoints, goals});
    };

    // Verticals, in every bin.
    for (int b = 0; b < NUM_LANES; b++) {
        std::string s = "bin " + std::to_string(b) + ": ";
        add(s + "vertical of four", Column(b, 0, 3), 5000, {{GOAL_VERT4, 1}, {GOAL_VERT3, 2}});
        add(s + "vertical of three, rows 0..2", Column(b, 0, 2), 125, {{GOAL_VERT3, 1}});
        add(s + "vertical of three, rows 2..4", Column(b, 2, 4), 125, {{GOAL_VERT3, 1}},
            Column(b, 0, 1));
        add(s + "vertical of three, rows 1..3", Column(b, 1, 3), 125, {{GOAL_VERT3, 1}},
            {{b, 0}, {b, 4}});
        // There is no vertical of five: rows 0..3 are cleared, row 4 stays.
        add(s + "full bin of one colour", Column(b, 0, 4), 5000, {{GOAL_VERT4, 1}, {GOAL_VERT3, 2}},
            {}, Column(b, 0, 3));
        // Four in rows 1..4 is not a vertical of four: only rows 2..4 go.
        add(s + "four in rows 1..4", Column(b, 1, 4), 125, {{GOAL_VERT3, 1}}, {{b, 0}},
            Column(b, 2, 4));
        add(s + "two of a colour below an empty centre", Column(b, 0, 1), 0, {}, {}, {{-1, -1}});
    }

    // Horizontals, in every row.
    for (int r = 0; r < NUM_ROWS; r++) {
        std::string s = "row " + std::to_string(r) + ": ";
        add(s + "horizontal of five", Row(r, 0, 4), 5000,
            {{GOAL_HORZ5, 1}, {GOAL_HORZ4, 2}, {GOAL_HORZ3, 3}});
        add(s + "horizontal of four, bins 0..3", Row(r, 0, 3), 2500,
            {{GOAL_HORZ4, 1}, {GOAL_HORZ3, 2}}, {{4, r}});
        add(s + "horizontal of four, bins 1..4", Row(r, 1, 4), 2500,
            {{GOAL_HORZ4, 1}, {GOAL_HORZ3, 2}}, {{0, r}});
        add(s + "horizontal of three, bins 0..2", Row(r, 0, 2), 1500, {{GOAL_HORZ3, 1}}, {{3, r}});
        add(s + "horizontal of three, bins 1..3", Row(r, 1, 3), 1500, {{GOAL_HORZ3, 1}},
            {{0, r}, {4, r}});
        add(s + "horizontal of three, bins 2..4", Row(r, 2, 4), 1500, {{GOAL_HORZ3, 1}}, {{1, r}});
        add(s + "two ends without the centre", {{0, r}, {1, r}, {3, r}, {4, r}}, 0, {}, {},
            {{-1, -1}});
    }

    // Diagonals of three, four and five; every V and every X.
    for (const CellList& d : DiagonalsOfLength(3))
        add("diagonal of three", d, 2500, {{GOAL_DIAG3, 1}});
    for (const CellList& d : DiagonalsOfLength(4))
        add("diagonal of four", d, 5000, {{GOAL_DIAG4, 1}, {GOAL_DIAG3, 2}});
    for (const CellList& d : DiagonalsOfLength(5))
        add("diagonal of five", d, 20000, {{GOAL_DIAG5, 1}, {GOAL_DIAG4, 2}, {GOAL_DIAG3, 3}});
    for (const CellList& v : AllVs()) add("V", v, 15000, {{GOAL_V5, 1}, {GOAL_DIAG3, 2}});
    for (const CellList& x : AllXs()) add("X", x, 15000, {{GOAL_X5, 1}, {GOAL_DIAG3, 2}});

    CellList falling5 = {{0, 4}, {1, 3}, {2, 2}, {3, 1}, {4, 0}};
    CellList rising5 = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
    add("nine-tile X", Union(falling5, rising5), 75000,
        {{GOAL_X9, 1},
         {GOAL_X5, 1},
         {GOAL_V5, 4},
         {GOAL_DIAG5, 2},
         {GOAL_DIAG4, 4},
         {GOAL_DIAG3, 6}});

    // The combination order: larger shapes take their diagonals first.
    // A long diagonal before a V: the rising (0,0)(1,1)(2,2) is left alone.
    add("five-tile diagonal and a leftover diagonal", Union(falling5, {{0, 0}, {1, 1}}), 22500,
        {{GOAL_DIAG5, 1}, {GOAL_DIAG4, 2}, {GOAL_DIAG3, 4}});
    // A V before a four-tile diagonal: (0,0)..(3,3) with (3,1)(4,0) is a V
    // plus the leftover (1,1)(2,2)(3,3), not a four plus a three.
    add("V before four-tile diagonal", Union({{0, 0}, {1, 1}, {2, 2}, {3, 3}}, {{3, 1}, {4, 0}}),
        17500, {{GOAL_V5, 1}, {GOAL_DIAG3, 3}});
    // A V before an X: (0,4)(1,3)(2,2) with (0,0)(1,1) and (0,2)(2,4) makes
    // the V (0,0)(1,1)(2,2)(1,3)(0,4); the diagonal (0,2)(1,3)(2,4) is left.
    add("V before X", {{0, 4}, {1, 3}, {2, 2}, {0, 0}, {1, 1}, {0, 2}, {2, 4}}, 17500,
        {{GOAL_V5, 1}, {GOAL_DIAG3, 3}});
    // The V pairs are tried in their fixed order: the V (0,2)(1,1)(2,0)(3,1)
    // (4,2) comes before the V (2,0)(1,1)(0,2)(1,3)(2,4), which leaves
    // (0,2)(1,3)(2,4) free to cross (0,4)(1,3)(2,2) as an X.
    add("V order decides the X",
        {{0, 2}, {0, 4}, {1, 1}, {1, 3}, {2, 0}, {2, 2}, {2, 4}, {3, 1}, {4, 2}}, 32500,
        {{GOAL_V5, 1}, {GOAL_X5, 1}, {GOAL_DIAG3, 5}});
    // Likewise (2,4)(3,3)(4,2) pairs with (0,2)(1,3)(2,4) before (2,0)(3,1)
    // (4,2), which is left to cross (2,2)(3,1)(4,0) as an X; taken the other
    // way round this board would score a V, a four-tile diagonal and a three.
    add("V order leaves the rising diagonal to the X",
        {{0, 2}, {1, 3}, {2, 0}, {2, 2}, {2, 4}, {3, 1}, {3, 3}, {4, 0}, {4, 2}}, 32500,
        {{GOAL_V5, 1}, {GOAL_X5, 1}, {GOAL_DIAG3, 5}});
    // An X before a four-tile diagonal.
    add("X before four-tile diagonal", {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {0, 2}, {2, 0}}, 17500,
        {{GOAL_X5, 1}, {GOAL_DIAG3, 3}});

    // Tiles on two lines are cleared once and both lines score.
    add("horizontal crossing a vertical", Union(Row(0, 0, 2), Column(2, 0, 2)), 1625,
        {{GOAL_HORZ3, 1}, {GOAL_VERT3, 1}});
    add("horizontal crossing a diagonal", Union(Row(0, 0, 2), {{1, 1}, {2, 2}}), 4000,
        {{GOAL_HORZ3, 1}, {GOAL_DIAG3, 1}});
    add("vertical of four crossing a horizontal of five", Union(Column(2, 0, 3), Row(1, 0, 4)),
        10000,
        {{GOAL_VERT4, 1}, {GOAL_VERT3, 2}, {GOAL_HORZ5, 1}, {GOAL_HORZ4, 2}, {GOAL_HORZ3, 3}});
    return cases;
}

class Lines : public ::testing::Test {
  protected:
    RecordingHost host;

    void SetUp() override {
        ResetEngineForTest(host);
        game.nLevel = 1;
        game.nGoalLeft = 100000;
        game.bGameRunning = 1;
        game.bPaused = 0;
        BinsClear();
    }

    // Runs one pass of the detectors as LinesResolve does.
    void Pass() {
        std::memcpy(game.aScanCell, game.aBinCell, sizeof game.aScanCell);
        game.nPassPoints = 0;
        DiagonalsFind();
        HorizontalsFind();
        VerticalsFind();
    }

    void Hold(std::vector<TileColor> colors) {
        game.nHeld = (int)colors.size();
        for (int i = 0; i < MAX_HELD; i++)
            game.aHeld[i] = i < game.nHeld ? colors[(size_t)i] : TILE_NONE;
        game.nPaddleY = PADDLE_BASE_Y + 10 * game.nHeld;
    }

    std::vector<int64_t> PanelScores() const {
        std::vector<int64_t> scores;
        for (const HostCall& c : host.Panel())
            if (c.arg[0] == WM_PANELSCORE) scores.push_back(c.arg[2]);
        return scores;
    }
};

// --- Shapes, points and goal counts ---------------------------------------------

TEST_F(Lines, EveryShapeScoresAndCountsForEveryGoalKind) {
    std::vector<ShapeCase> cases = ShapeCases();
    ASSERT_EQ(DiagonalsOfLength(3).size(), 18u);
    ASSERT_EQ(AllVs().size(), 12u);
    ASSERT_EQ(AllXs().size(), 9u);
    for (const ShapeCase& sc : cases) {
        for (int nKind = 0; nKind < NUM_GOAL_KINDS; nKind++) {
            SCOPED_TRACE(sc.name + ", goal kind " + std::to_string(nKind));
            BinsClear();
            CellsPut(sc.others, TILE_WHITE);
            CellsPut(sc.tiles, TILE_BLUE);
            game.nLevel = LevelOfKind(nKind);
            game.nGoalLeft = 100;
            Pass();
            EXPECT_EQ(game.nPassPoints, sc.nPoints);
            auto it = sc.goals.find(nKind);
            EXPECT_EQ(100 - game.nGoalLeft, it == sc.goals.end() ? 0 : it->second);
            for (int b = 0; b < NUM_LANES; b++)
                for (int r = 0; r < NUM_ROWS; r++) {
                    bool bCleared = std::find(sc.cleared.begin(), sc.cleared.end(), BinRow{b, r}) !=
                                    sc.cleared.end();
                    EXPECT_EQ(game.aScanCell[b * 5 + r], bCleared ? TILE_NONE : At(b, r))
                        << "cell (" << b << "," << r << ")";
                }
        }
    }
}

TEST_F(Lines, DetectorsReadOnlyTheBinsAndMarkOnlyTheScanCopy) {
    CellsPut(Union(Row(0, 0, 4), Column(0, 0, 2)), TILE_RED);
    TileColor aBefore[NUM_CELLS];
    std::memcpy(aBefore, game.aBinCell, sizeof aBefore);
    Pass();
    EXPECT_EQ(std::memcmp(aBefore, game.aBinCell, sizeof aBefore), 0);
    EXPECT_EQ(game.nPassPoints, 5125);
}

TEST_F(Lines, EveryColourIsFoundButEmptyCellsNeverMakeALine) {
    for (TileColor c = 0; c < NUM_COLORS; c++) {
        BinsClear();
        CellsPut(Row(0, 0, 2), c);
        Pass();
        EXPECT_EQ(game.nPassPoints, 1500) << "colour " << c;
    }
    BinsClear();
    Pass();
    EXPECT_EQ(game.nPassPoints, 0);
}

// --- Resolution: passes, settling, panel, sound ---------------------------------

TEST_F(Lines, ChainReactionScoresInTwoPanelUpdatesAndOneSound) {
    BinsFromPicture({".....", "..1..", "..2..", "..2..", "112.."});
    LinesResolve(kMain);
    EXPECT_EQ(game.lScore, 1625u);
    EXPECT_EQ(PanelScores(), (std::vector<int64_t>{125, 1625}));
    EXPECT_EQ(host.Panel().size(), 2u);
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"SCORE2"}));
    EXPECT_GT(host.IndexOf("PlayGameSound"),
              host.IndexOf("SendPanel", host.IndexOf("SendPanel") + 1));
    for (int n : game.aBinCount) EXPECT_EQ(n, 0);
    for (TileColor c : game.aBinCell) EXPECT_EQ(c, TILE_NONE);
}

TEST_F(Lines, EachPassRedrawsInOneBatchBeforeItsPanelUpdate) {
    BinsFromPicture({".....", "..1..", "..2..", "..2..", "112.."});
    LinesResolve(kMain);
    std::vector<std::string> want = {"BeginDrawing", "DrawBins",        "DrawPaddleStack",
                                     "EndDrawing",   "SendPanel",       "BeginDrawing",
                                     "DrawBins",     "DrawPaddleStack", "EndDrawing",
                                     "SendPanel",    "PlayGameSound"};
    EXPECT_EQ(host.Ops(), want);
}

TEST_F(Lines, SoundFollowsTheWholeGainNotTheLastPass) {
    // A vertical of three (125) lets a 1 fall into a row of five 1s (5000).
    BinsFromPicture({".....", "..1..", "..4..", "..4..", "11411"});
    LinesResolve(kMain);
    EXPECT_EQ(game.lScore, 5125u);
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"SCORE4"}));
}

TEST_F(Lines, FallingTilesKeepTheirOrder) {
    // A vertical of three in the middle of bin 0, and two horizontals in rows
    // 0 and 2 of bins 2..4 with different tiles between and above them.
    BinsFromPicture({"6....", "2.7.5", "2.444", "2.036", "4.111"});
    LinesResolve(kMain);
    EXPECT_EQ(game.lScore, 125u + 1500u + 1500u);
    EXPECT_EQ(BinsPicture(),
              (std::vector<std::string>{".....", ".....", ".....", "6.7.5", "4.036"}));
    EXPECT_EQ((std::vector<int32_t>(game.aBinCount, game.aBinCount + 5)),
              (std::vector<int32_t>{2, 0, 2, 1, 2}));
    EXPECT_EQ(std::memcmp(game.aScanCell, game.aBinCell, sizeof game.aBinCell), 0);
}

TEST_F(Lines, NothingFoundChangesNothing) {
    BinsFromPicture({".....", ".....", "1....", "21...", "12012"});
    GameState before = game;
    LinesResolve(kMain);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(std::memcmp(before.aBinCell, game.aBinCell, sizeof game.aBinCell), 0);
    EXPECT_EQ(game.lScore, before.lScore);
    EXPECT_EQ(game.nGoalLeft, before.nGoalLeft);
}

TEST_F(Lines, PointsGoalFallsByEveryPassButOtherGoalsOnlyByFinds) {
    const std::vector<std::string> chain = {".....", "..1..", "..2..", "..2..", "112.."};
    struct {
        int nKind;
        int nDone;
    } const table[] = {
        {GOAL_POINTS, 1625}, {GOAL_VERT3, 1}, {GOAL_HORZ3, 1}, {GOAL_TILES, 0}, {GOAL_DIAG3, 0}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.nKind);
        BinsFromPicture(chain);
        game.nLevel = LevelOfKind(row.nKind);
        game.nGoalLeft = 5000;
        LinesResolve(kMain);
        EXPECT_EQ(5000 - game.nGoalLeft, row.nDone);
    }
}

TEST_F(Lines, ScoreAddsToAnEarlierScore) {
    game.lScore = 99900;
    BinsFromPicture({".....", ".....", "3....", "3....", "3...."});
    LinesResolve(kMain);
    EXPECT_EQ(game.lScore, 100025u);
    EXPECT_EQ(PanelScores(), (std::vector<int64_t>{100025}));
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"SCORE1"}));
}

TEST_F(Lines, AHiddenVerticalOfFourAppearsWhenItsMiddleIsCleared) {
    // The bin-2 column a a b a a loses its b to a horizontal of b.
    game.nLevel = LevelOfKind(GOAL_VERT4);
    game.nGoalLeft = 2;
    BinsFromPicture({"..0..", "..0..", ".222.", ".607.", "24042"});
    LinesResolve(kMain);
    EXPECT_EQ(game.lScore, 1500u + 5000u);
    EXPECT_EQ(game.nGoalLeft, 1);
    EXPECT_EQ(PanelScores(), (std::vector<int64_t>{1500, 6500}));
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"SCORE4"}));
}

// Real resolutions on both sides of the sound bounds.
TEST_F(Lines, ResolutionSoundsByGain) {
    struct {
        std::vector<std::string> bins;
        uint32_t lGain;
        const char* szSound;
    } const table[] = {
        {{".....", ".....", "2....", "2....", "2...."}, 125, "SCORE1"},
        {{".....", ".....", ".....", ".....", "555.."}, 1500, "SCORE2"},
        {{".....", ".....", "..6..", ".61..", "612.."}, 2500, "SCORE2"},
        {{".....", ".....", ".....", ".....", "7777."}, 2500, "SCORE2"},
        {{".....", "1....", "1....", "1....", "1...."}, 5000, "SCORE3"},
        {{".....", "1.1..", "1.1..", "1.1..", "1.1.."}, 10000, "SCORE4"},
        {{".....", ".....", "4...4", ".4.4.", "..4.."}, 15000, "SCORE5"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.lGain);
        host.Clear();
        game.lScore = 0;
        BinsFromPicture(row.bins);
        LinesResolve(kMain);
        EXPECT_EQ(game.lScore, row.lGain);
        EXPECT_EQ(host.Sounds(), (std::vector<std::string>{row.szSound}));
    }
}

TEST(ScoreSound, BoundsAreInclusive) {
    struct {
        uint32_t lGain;
        const char* szSound;
    } const table[] = {
        {1, "SCORE1"},     {125, "SCORE1"},   {1000, "SCORE1"},  {1001, "SCORE2"},
        {2500, "SCORE2"},  {2501, "SCORE3"},  {5000, "SCORE3"},  {5001, "SCORE4"},
        {10000, "SCORE4"}, {10001, "SCORE5"}, {75000, "SCORE5"}, {4000000000u, "SCORE5"},
    };
    for (const auto& row : table) EXPECT_STREQ(ScoreSoundFor(row.lGain), row.szSound) << row.lGain;
}

// --- Dropping ------------------------------------------------------------------

TEST_F(Lines, DropWithAnEmptyPaddleDoesNothing) {
    BinsFromPicture({".....", ".....", ".....", ".....", "1...."});
    Hold({});
    GameState before = game;
    EXPECT_EQ(TileDrop(kMain), 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(std::memcmp(&before, &game, sizeof game), 0);
}

TEST_F(Lines, DropOntoAFullBinIsRefusedAndTheTileKept) {
    BinsFromPicture({"..0..", "..1..", "..0..", "..1..", "..0.."});
    Hold({3, 4});
    game.nPaddleLane = 2;
    GameState before = game;
    EXPECT_EQ(TileDrop(kMain), 0);
    EXPECT_EQ(host.Ops(), (std::vector<std::string>{"PlayGameSound"}));
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"CANNOTDROP"}));
    EXPECT_EQ(std::memcmp(&before, &game, sizeof game), 0);
}

TEST_F(Lines, DropPlacesTheTopTileOnTheBinWithoutAnimation) {
    BinsFromPicture({".....", ".....", ".....", ".1...", ".2..."});
    Hold({4, 6});
    game.nPaddleLane = 1;
    EXPECT_EQ(TileDrop(kMain), 1);
    EXPECT_EQ(BinsPicture(),
              (std::vector<std::string>{".....", ".....", ".6...", ".1...", ".2..."}));
    EXPECT_EQ(game.aBinCount[1], 3);
    EXPECT_EQ(game.nHeld, 1);
    EXPECT_EQ(game.aHeld[0], 4);
    EXPECT_EQ(game.aHeld[1], TILE_NONE);
    EXPECT_EQ(game.nPaddleY, PADDLE_BASE_Y + 10);
    EXPECT_EQ(host.Ops(),
              (std::vector<std::string>{"BeginDrawing", "ErasePaddleStack", "DrawPaddleStack",
                                        "DrawFlatTile", "EndDrawing", "PlayGameSound"}));
    const HostCall& flat = host.calls[(size_t)host.IndexOf("DrawFlatTile")];
    EXPECT_EQ(flat.arg, (std::vector<int64_t>{6, aLaneX[1], aRowY[2]}));
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"DROPPED"}));
    EXPECT_TRUE(host.Panel().empty());
}

TEST_F(Lines, DropThatScoresUpdatesThePanelAtTheEnd) {
    BinsFromPicture({".....", ".....", ".....", "...2.", "...2."});
    Hold({2});
    game.nPaddleLane = 3;
    EXPECT_EQ(TileDrop(kMain), 1);
    EXPECT_EQ(game.lScore, 125u);
    EXPECT_EQ(game.aBinCount[3], 0);
    EXPECT_EQ(host.Sounds(), (std::vector<std::string>{"DROPPED", "SCORE1"}));
    std::vector<HostCall> panel = host.Panel();
    ASSERT_EQ(panel.size(), 3u);
    EXPECT_EQ(panel[0].arg, (std::vector<int64_t>{WM_PANELSCORE, 0, 125}));
    EXPECT_EQ(panel[1].arg, (std::vector<int64_t>{WM_PANELSCORE, 0, 125}));
    EXPECT_EQ(panel[2].arg, (std::vector<int64_t>{WM_PANELGOAL, 0, 0}));
}

TEST_F(Lines, DropThatScoresOutsideAGameSendsOnlyThePassUpdate) {
    game.bGameRunning = 0;
    BinsFromPicture({".....", ".....", ".....", "...2.", "...2."});
    Hold({2});
    game.nPaddleLane = 3;
    TileDrop(kMain);
    EXPECT_EQ(host.Panel().size(), 1u);
}

TEST_F(Lines, DropMeetingTheGoalEndsTheLevel) {
    game.nLevel = LevelOfKind(GOAL_VERT3);
    game.nGoalLeft = 1;
    BinsFromPicture({".....", ".....", ".....", "5....", "5...."});
    Hold({5});
    game.nPaddleLane = 0;
    TileDrop(kMain);
    EXPECT_EQ(host.Count("ShowLevelDoneDlg"), 1);
    EXPECT_EQ(host.Count("ShowGameOverDlg"), 0);
    // The level-end flow refreshes the goal; no second score update is sent.
    EXPECT_EQ(PanelScores(), (std::vector<int64_t>{125}));
}

TEST_F(Lines, NineTileXEndsLevelFifty) {
    game.nLevel = NUM_LEVELS;
    game.nGoalLeft = aLevelGoal[NUM_LEVELS].nAmount;
    BinsFromPicture({"0....", "10.02", "34056", "20701", "05630"});
    Hold({0});
    game.nPaddleLane = 4;
    TileDrop(kMain);
    EXPECT_EQ(game.lScore, 75000u);
    EXPECT_EQ(host.Sounds()[1], "SCORE5");
    EXPECT_EQ(host.Count("ShowLevelDoneDlg"), 1);
}

// 24 tiles with no two neighbours of one colour in any direction.
std::vector<std::string> AlmostFullBins() {
    std::vector<std::string> rows;
    for (int r = NUM_ROWS - 1; r >= 0; r--) {
        std::string sz;
        for (int b = 0; b < NUM_LANES; b++) sz += (char)('0' + (b + 3 * r) % 8);
        rows.push_back(sz);
    }
    rows[0][4] = '.'; // (4, 4) stays free: it would be colour 0
    return rows;
}

TEST_F(Lines, DropThatFillsAllCellsEndsTheGame) {
    BinsFromPicture(AlmostFullBins());
    Hold({0});
    game.nPaddleLane = 4;
    EXPECT_EQ(TileDrop(kMain), 1);
    EXPECT_EQ(game.lScore, 0u);
    EXPECT_EQ(host.Count("ShowGameOverDlg"), 1);
    EXPECT_EQ(host.Count("ShowLevelDoneDlg"), 0);
    EXPECT_EQ(game.bGameRunning, 0);
    EXPECT_TRUE(host.Panel().empty());
}

TEST_F(Lines, AFinishedGameHasNoLevelToComplete) {
    BinsFromPicture(AlmostFullBins());
    game.nGoalLeft = 0;
    Hold({0});
    game.nPaddleLane = 4;
    TileDrop(kMain);
    EXPECT_EQ(host.Count("ShowGameOverDlg"), 1);
    EXPECT_EQ(host.Count("ShowLevelDoneDlg"), 0);
}

TEST_F(Lines, DropThatFillsTheLastCellButClearsIsNoGameOver) {
    std::vector<std::string> bins = AlmostFullBins();
    bins[1][4] = '1';
    bins[2][4] = '1'; // (4,2) and (4,3) are 1: the drop makes a vertical
    BinsFromPicture(bins);
    Hold({1});
    game.nPaddleLane = 4;
    TileDrop(kMain);
    EXPECT_GT(game.lScore, 0u);
    EXPECT_EQ(host.Count("ShowGameOverDlg"), 0);
}

} // namespace
