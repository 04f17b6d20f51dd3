// The goal picture drawn into the side panel.
#include <cstdlib>

#include "tests/win32/test_render_stage.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);

typedef std::set<std::pair<int, int>> CellSet; // column, row (row 0 on top)

// Whether the panel shows the picture with exactly the given cells painted
// in colour cr: each a black outline around the colour, the rest of the
// picture untouched.
bool PanelShowsExample(RenderStage& stage, const char* szPicture, const CellSet& cells, COLORREF cr,
                       std::string* psWhy) {
    HBITMAP hbm = StandInBitmap(szPicture);
    int w = 0, h = 0;
    std::vector<uint32_t> px = BitmapPixels(hbm, &w, &h);
    DeleteObject(hbm);
    for (int y = 0; y < h; y++) {
        for (int x = 0; x < w; x++) {
            const int X = GOAL_PIC_X + x, Y = GOAL_PIC_Y + y;
            COLORREF crWant = ColorOf(px[size_t(y * w + x)]);
            for (const auto& cell : cells) {
                GoalRect rc = GoalCellRect(cell.first, cell.second);
                if (X < rc.left || X >= rc.right || Y < rc.top || Y >= rc.bottom) continue;
                bool bEdge = X == rc.left || X == rc.right - 1 || Y == rc.top || Y == rc.bottom - 1;
                crWant = bEdge ? kBlack : cr;
            }
            if (stage.panel.At(X, Y) != crWant) {
                char sz[64];
                snprintf(sz, sizeof sz, "(%d, %d)", X, Y);
                *psWhy = sz;
                return false;
            }
        }
    }
    return true;
}

CellSet CellsOf(const GoalStep& step) {
    CellSet cells;
    for (int i = 0; i < step.nCells; i++) cells.insert({step.pCells[i].nCol, step.pCells[i].nRow});
    return cells;
}

TEST(RenderGoalPicture, PointsAndTilesShowTheirPictureAndDrawNoNumber) {
    struct Case {
        int nLevel;
        const char* szPicture;
    } const aCases[] = {
        {1, "GOALPOINTS"}, {41, "GOALPOINTS"}, {5, "GOALTILES"}, {50 - 5, "GOALTILES"}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << "level " << c.nLevel);
        RenderStage stage;
        game.nLevel = c.nLevel;
        nGoalPhase = 3;
        srand(99);
        EXPECT_EQ(DrawGoalPictureInto(stage.panel.Dc()), 1);
        const int nNext = rand();
        srand(99);
        EXPECT_EQ(nNext, rand());
        EXPECT_EQ(nGoalPhase, 3);
        std::string sWhy;
        EXPECT_TRUE(PanelShowsExample(stage, c.szPicture, {}, 0, &sWhy)) << sWhy;
        EXPECT_EQ(stage.aLoads, std::vector<std::string>{c.szPicture});
    }
}

TEST(RenderGoalPicture, LevelTwoWalksTheVerticalsInRandomColours) {
    RenderStage stage;
    game.nLevel = 2;
    nGoalPhase = 0;
    const CellSet kWant[] = {
        {{0, 2}, {0, 3}, {0, 4}}, {{1, 1}, {1, 2}, {1, 3}}, {{2, 0}, {2, 1}, {2, 2}},
        {{3, 1}, {3, 2}, {3, 3}}, {{4, 2}, {4, 3}, {4, 4}}, {{0, 2}, {0, 3}, {0, 4}},
    };
    srand(4321);
    std::vector<int> aNumbers;
    for (int i = 0; i < 6; i++) aNumbers.push_back(rand());
    srand(4321);
    for (int i = 0; i < 6; i++) {
        SCOPED_TRACE(testing::Message() << "step " << i);
        stage.panel.Fill(kMarker);
        DrawGoalPictureInto(stage.panel.Dc());
        std::string sWhy;
        EXPECT_TRUE(
            PanelShowsExample(stage, "GOAL", kWant[i], aGoalCellColor[aNumbers[i] % 8], &sWhy))
            << sWhy;
        // Nothing outside the picture.
        EXPECT_EQ(stage.panel.At(GOAL_PIC_X - 1, GOAL_PIC_Y), kMarker);
        EXPECT_EQ(stage.panel.At(GOAL_PIC_X + 196, GOAL_PIC_Y + 59), kMarker);
    }
}

TEST(RenderGoalPicture, NineTileXStandsStill) {
    RenderStage stage;
    game.nLevel = 50;
    nGoalPhase = 2;
    CellSet x9;
    for (int i = 0; i < GOAL_GRID; i++) x9.insert({{i, i}, {i, 4 - i}});
    for (int i = 0; i < 3; i++) {
        srand(unsigned(i + 1));
        const COLORREF cr = aGoalCellColor[rand() % 8];
        srand(unsigned(i + 1));
        DrawGoalPictureInto(stage.panel.Dc());
        std::string sWhy;
        EXPECT_TRUE(PanelShowsExample(stage, "GOAL", x9, cr, &sWhy)) << sWhy;
        EXPECT_EQ(nGoalPhase, 2);
    }
}

// From a five-phase kind at phase 4 into a four-phase kind: the bare grid
// once, then the first example.
TEST(RenderGoalPicture, LeftOverPhaseShowsTheBareGrid) {
    RenderStage stage;
    game.nLevel = 3; // 3-tile diagonals
    nGoalPhase = 4;
    srand(5);
    DrawGoalPictureInto(stage.panel.Dc());
    std::string sWhy;
    EXPECT_TRUE(PanelShowsExample(stage, "GOAL", {}, 0, &sWhy)) << sWhy;
    EXPECT_EQ(nGoalPhase, 0);
    srand(6);
    const COLORREF cr = aGoalCellColor[rand() % 8];
    srand(6);
    DrawGoalPictureInto(stage.panel.Dc());
    EXPECT_TRUE(PanelShowsExample(stage, "GOAL", CellsOf(GoalExample(GOAL_DIAG3, 0)), cr, &sWhy))
        << sWhy;
}

TEST(RenderGoalPicture, DrawsThroughThePanelsOwnContext) {
    RenderStage stage;
    game.nLevel = 12;
    std::vector<uint32_t> before = stage.main.Snapshot();
    EXPECT_EQ(ScreenDrawGoalPicture(), 1);
    EXPECT_EQ(stage.nDCsTaken, 1);
    EXPECT_EQ(stage.nDCsReleased, 1);
    EXPECT_EQ(stage.main.CountChanged(before), 0);
    EXPECT_NE(stage.panel.At(GOAL_PIC_X, GOAL_PIC_Y), kMarker);

    // Without a panel window the step is taken all the same, drawing nothing.
    game.hwndPanel = NULL;
    const int nPhase = nGoalPhase;
    srand(8);
    EXPECT_EQ(ScreenDrawGoalPicture(), 1);
    const int nNext = rand();
    srand(8);
    rand();
    EXPECT_EQ(nNext, rand());
    EXPECT_EQ(nGoalPhase, nPhase + 1);
    EXPECT_EQ(stage.nDCsTaken, 1);
}

} // namespace
