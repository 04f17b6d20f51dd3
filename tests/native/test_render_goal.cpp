// The goal picture's examples, its phase counter and its share of rand().
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

#include "engine/game.h"
#include "render/goal.h"
#include "tests/native/recording_host.h"

namespace {

typedef std::pair<int, int> Cell; // column, row (row 0 at the top)
typedef std::set<Cell> CellSet;

CellSet CellsOf(const GoalStep& step) {
    CellSet cells;
    for (int i = 0; i < step.nCells; i++) cells.insert({step.pCells[i].nCol, step.pCells[i].nRow});
    return cells;
}

std::vector<Cell> Sorted(const GoalStep& step) {
    std::vector<Cell> v;
    for (int i = 0; i < step.nCells; i++) v.push_back({step.pCells[i].nCol, step.pCells[i].nRow});
    std::sort(v.begin(), v.end());
    return v;
}

// n cells in a straight line along one of the directions (column, row steps).
bool IsLine(const GoalStep& s, int n, std::vector<Cell> aDir) {
    std::vector<Cell> v = Sorted(s);
    if (int(v.size()) != n) return false;
    for (Cell d : aDir) {
        bool bAll = true;
        for (size_t i = 1; i < v.size(); i++)
            bAll = bAll && v[i].first - v[i - 1].first == d.first &&
                   v[i].second - v[i - 1].second == d.second;
        if (bAll) return true;
    }
    return false;
}
const std::vector<Cell> kDown = {{0, 1}}, kAcross = {{1, 0}}, kSlant = {{1, 1}, {1, -1}};

// Two diagonal arms of two cells from one tip, at a right angle.
bool IsV(const GoalStep& s) {
    CellSet cells = CellsOf(s);
    if (cells.size() != 5) return false;
    for (const Cell& tip : cells) {
        std::vector<std::pair<int, int>> arms;
        for (int dc : {-1, 1})
            for (int dr : {-1, 1})
                if (cells.count({tip.first + dc, tip.second + dr}) &&
                    cells.count({tip.first + 2 * dc, tip.second + 2 * dr}))
                    arms.push_back({dc, dr});
        if (arms.size() == 2 &&
            arms[0].first * arms[1].first + arms[0].second * arms[1].second == 0)
            return true;
    }
    return false;
}
// A centre with its four diagonal neighbours.
bool IsX3(const GoalStep& s) {
    CellSet cells = CellsOf(s);
    if (cells.size() != 5) return false;
    for (const Cell& c : cells) {
        bool bAll = true;
        for (int dc : {-1, 1})
            for (int dr : {-1, 1}) bAll = bAll && cells.count({c.first + dc, c.second + dr});
        if (bAll) return true;
    }
    return false;
}
bool IsX9(const GoalStep& s) {
    CellSet want;
    for (int i = 0; i < GOAL_GRID; i++) {
        want.insert({i, i});
        want.insert({i, GOAL_GRID - 1 - i});
    }
    return s.nCells == 9 && CellsOf(s) == want;
}

struct KindCase {
    int nKind;
    int nPhases;
    bool (*pfnShape)(const GoalStep&);
};

const KindCase kKinds[] = {
    {GOAL_VERT3, 5, [](const GoalStep& s) { return IsLine(s, 3, kDown); }},
    {GOAL_HORZ3, 5, [](const GoalStep& s) { return IsLine(s, 3, kAcross); }},
    {GOAL_DIAG3, 4, [](const GoalStep& s) { return IsLine(s, 3, kSlant); }},
    {GOAL_VERT4, 5, [](const GoalStep& s) { return IsLine(s, 4, kDown); }},
    {GOAL_HORZ4, 5, [](const GoalStep& s) { return IsLine(s, 4, kAcross); }},
    {GOAL_DIAG4, 4, [](const GoalStep& s) { return IsLine(s, 4, kSlant); }},
    {GOAL_HORZ5, 5, [](const GoalStep& s) { return IsLine(s, 5, kAcross); }},
    {GOAL_DIAG5, 4, [](const GoalStep& s) { return IsLine(s, 5, kSlant); }},
    {GOAL_V5, 4, IsV},
    {GOAL_X5, 5, IsX3},
    {GOAL_X9, 1, IsX9},
};

TEST(RenderGoalExamples, EveryExampleIsAPatternOfItsKindInsideTheGrid) {
    for (const KindCase& k : kKinds) {
        SCOPED_TRACE(testing::Message() << "kind " << k.nKind);
        EXPECT_EQ(GoalPhaseCount(k.nKind), k.nPhases);
        std::set<CellSet> seen;
        for (int p = 0; p < k.nPhases; p++) {
            SCOPED_TRACE(testing::Message() << "phase " << p);
            GoalStep step = GoalExample(k.nKind, p);
            for (const Cell& c : CellsOf(step)) {
                EXPECT_GE(c.first, 0);
                EXPECT_LT(c.first, GOAL_GRID);
                EXPECT_GE(c.second, 0);
                EXPECT_LT(c.second, GOAL_GRID);
            }
            EXPECT_EQ(int(CellsOf(step).size()), step.nCells) << "a cell listed twice";
            EXPECT_TRUE(k.pfnShape(step));
            seen.insert(CellsOf(step));
        }
        // Only the 5-tile diagonals show their two examples twice each.
        EXPECT_EQ(int(seen.size()), k.nKind == GOAL_DIAG5 ? 2 : k.nPhases);
        EXPECT_EQ(GoalExample(k.nKind, k.nPhases).nCells, 0) << "a phase beyond the last";
    }
    for (int nKind : {GOAL_POINTS, GOAL_TILES}) {
        EXPECT_EQ(GoalPhaseCount(nKind), 0);
        EXPECT_EQ(GoalExample(nKind, 0).nCells, 0);
    }
}

TEST(RenderGoalExamples, PicturesByKind) {
    EXPECT_STREQ(GoalPictureName(GOAL_POINTS), "GOALPOINTS");
    EXPECT_STREQ(GoalPictureName(GOAL_TILES), "GOALTILES");
    for (int k = GOAL_VERT3; k <= GOAL_X9; k++) EXPECT_STREQ(GoalPictureName(k), "GOAL");
}

// The cells lie inside the 196 x 60 picture at (9, 291), in order, apart.
TEST(RenderGoalExamples, CellRectanglesTileThePictureInOrder) {
    for (int c = 0; c < GOAL_GRID; c++) {
        for (int r = 0; r < GOAL_GRID; r++) {
            GoalRect rc = GoalCellRect(c, r);
            EXPECT_GE(rc.left, GOAL_PIC_X);
            EXPECT_LE(rc.right, GOAL_PIC_X + 196);
            EXPECT_GE(rc.top, GOAL_PIC_Y);
            EXPECT_LE(rc.bottom, GOAL_PIC_Y + 60);
            EXPECT_GE(rc.right - rc.left, 8);
            EXPECT_GE(rc.bottom - rc.top, 8);
            if (c > 0) {
                EXPECT_GT(rc.left, GoalCellRect(c - 1, r).right);
            }
            if (r > 0) {
                EXPECT_GT(rc.top, GoalCellRect(c, r - 1).bottom);
            }
        }
    }
    EXPECT_EQ(GoalCellRect(0, 0).left, 45);
    EXPECT_EQ(GoalCellRect(4, 4).bottom, 349);
}

// Level 2 asks for 3-tile verticals: the example walks along the columns.
TEST(RenderGoalPhase, LevelTwoFromPhaseZero) {
    RecordingHost host;
    ResetEngineForTest(host); // the goal table as start-up leaves it
    ASSERT_EQ(aLevelGoal[2].nKind, GOAL_VERT3);
    nGoalPhase = 0;
    const CellSet kWant[] = {
        {{0, 2}, {0, 3}, {0, 4}},                           // the bottom three of column 0
        {{1, 1}, {1, 2}, {1, 3}},                           // rows 1..3 of column 1
        {{2, 0}, {2, 1}, {2, 2}},                           // the top three of column 2
        {{3, 1}, {3, 2}, {3, 3}}, {{4, 2}, {4, 3}, {4, 4}}, // the bottom three of column 4
        {{0, 2}, {0, 3}, {0, 4}},                           // and column 0 again
    };
    for (const CellSet& want : kWant) {
        GoalStep step;
        ASSERT_EQ(GoalPictureStep(aLevelGoal[2].nKind, &step), 1);
        EXPECT_EQ(CellsOf(step), want);
    }
    EXPECT_EQ(nGoalPhase, 1);
}

struct PhaseCase {
    int nKind;
    int nStart;
    std::vector<int> aCells; // cells painted by each step
    std::vector<int> aPhase; // nGoalPhase after each step
};

TEST(RenderGoalPhase, WrapRules) {
    const PhaseCase kCases[] = {
        // A five-phase kind runs 0..4 and starts again.
        {GOAL_X5, 3, {5, 5, 5}, {4, 0, 1}},
        // Phase 4 left over on a four-phase kind: the bare grid once, then 0.
        {GOAL_DIAG3, 4, {0, 3, 3}, {0, 1, 2}},
        {GOAL_V5, 4, {0, 5}, {0, 1}},
        {GOAL_DIAG4, 3, {4, 4}, {0, 1}},
        // The 9-tile X stands still, whatever the phase.
        {GOAL_X9, 0, {9, 9, 9}, {0, 0, 0}},
        {GOAL_X9, 3, {9, 9}, {3, 3}},
        // A counter outside every kind's range starts again too.
        {GOAL_HORZ3, 7, {0, 3}, {0, 1}},
        {GOAL_HORZ3, -2, {0, 3}, {0, 1}},
    };
    for (const PhaseCase& c : kCases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.nKind << " from phase " << c.nStart);
        nGoalPhase = c.nStart;
        for (size_t i = 0; i < c.aCells.size(); i++) {
            GoalStep step;
            ASSERT_EQ(GoalPictureStep(c.nKind, &step), 1);
            EXPECT_EQ(step.nCells, c.aCells[i]) << "step " << i;
            EXPECT_EQ(nGoalPhase, c.aPhase[i]) << "step " << i;
        }
    }
}

// Points and tiles goals draw no random number and keep the phase; every
// pattern step draws exactly one, and its colour is that number modulo 8.
TEST(RenderGoalPhase, SharesTheRandomSequence) {
    for (int nKind : {GOAL_POINTS, GOAL_TILES}) {
        nGoalPhase = 2;
        srand(77);
        GoalStep step = {-1, -1, nullptr};
        EXPECT_EQ(GoalPictureStep(nKind, &step), 0);
        EXPECT_EQ(GoalPictureStep(nKind, &step), 0);
        const int nNext = rand();
        srand(77);
        EXPECT_EQ(nNext, rand()) << "kind " << nKind << " drew a random number";
        EXPECT_EQ(nGoalPhase, 2);
    }
    for (int nKind : {GOAL_VERT3, GOAL_DIAG3, GOAL_X9}) {
        srand(1234);
        std::vector<int> aExpected;
        for (int i = 0; i < 12; i++) aExpected.push_back(rand());
        srand(1234);
        nGoalPhase = 0;
        for (int i = 0; i < 11; i++) {
            GoalStep step;
            GoalPictureStep(nKind, &step);
            EXPECT_EQ(step.nColor, aExpected[size_t(i)] % NUM_GOAL_CELL_COLORS);
        }
        EXPECT_EQ(rand(), aExpected[11]) << "kind " << nKind;
    }
}

} // namespace
