// Pictures of the renderer's screens with the game's own artwork, written to
// the screenshots folder for a person to look at: the title screen, level 1,
// a paused level 27 with tiles in the bins and on the paddle, a moment of
// falling tiles, and the goal picture.
#include "engine/game.h"
#include "shell/host_win.h"
#include "tests/win32/test_render_stage.h"

namespace {

const COLORREF kLightGrey = RGB(192, 192, 192);

class RenderScreenshot : public testing::Test {
  protected:
    RenderStage stage{true};
    void SetUp() override {
        LoadBitmaps();
        LoadCreditsBitmap();
        ASSERT_NE(hCreditsBitmap, (HBITMAP)NULL) << "the artwork is missing from the test exe";
        ASSERT_NE(ahTileFrame[0][0], (HBITMAP)NULL);
    }
    void Save(const DibCanvas& canvas, const char* szFile) {
        EXPECT_TRUE(canvas.SavePng(ScreenshotPath(szFile))) << szFile;
    }
    // A game on a level as a new game sets it up, with tiles in flight.
    void Level(int nLevel) {
        stage.GameOn(nLevel);
        LevelStart();
        game.bGameRunning = 1;
        game.bPaused = 0;
    }
};

TEST_F(RenderScreenshot, TitleScreen) {
    PaintMainWindow(stage.main.Dc());
    for (int i = 0; i < 150; i++) {
        TitleTick(stage.hwndStageMain);
        ButtonChaseTick(stage.hwndStageMain);
    }
    EXPECT_EQ(stage.main.At(60, 300), kLightGrey);
    Save(stage.main, "render_title.png");
}

TEST_F(RenderScreenshot, LevelOne) {
    Level(1);
    PaintMainWindow(stage.main.Dc());
    ScreenDrawPaddleStack();
    EXPECT_EQ(stage.main.At(300, 100), kLightGrey);
    Save(stage.main, "render_level01.png");
}

TEST_F(RenderScreenshot, LevelTwentySevenPaused) {
    Level(27);
    // A few more tiles than the level starts with, and a loaded paddle.
    const TileColor kExtra[][2] = {{0, 3}, {2, 5}, {2, 6}, {4, 1}};
    for (const auto& e : kExtra) {
        int b = e[0];
        game.aBinCell[b * NUM_ROWS + game.aBinCount[b]] = e[1];
        game.aBinCount[b] += 1;
    }
    game.nPaddleLane = 3;
    game.nHeld = 3;
    game.aHeld[0] = 7;
    game.aHeld[1] = 2;
    game.aHeld[2] = 4;
    game.nPaddleY = PADDLE_BASE_Y + 10 * game.nHeld;
    game.bPaused = 1;
    PaintMainWindow(stage.main.Dc());
    ScreenDrawPaddleStack();
    std::string sWhy;
    EXPECT_TRUE(stage.MainShows("PAUSEDLOGO", 286, 138, &sWhy)) << sWhy;
    Save(stage.main, "render_level27_paused.png");
}

TEST_F(RenderScreenshot, FallingTiles) {
    Level(12);
    PaintMainWindow(stage.main.Dc());
    game.nHeld = 2;
    game.aHeld[0] = 1;
    game.aHeld[1] = 3;
    game.nPaddleY = PADDLE_BASE_Y + 20;
    ScreenDrawPaddleStack();
    // One tick's drawing of the tiles in flight, each in its own frame.
    const FallingTile kFalling[] = {
        {0, 0, aLaneX[0], 40},  {3, 2, aLaneX[1], 180}, {5, 3, aLaneX[2], 90},
        {7, 4, aLaneX[3], 230}, {9, 6, aLaneX[4], 60},  {2, 7, aLaneX[4], 140},
    };
    ScreenBeginDrawing();
    for (const FallingTile& t : kFalling) ScreenDrawTileFrame(t.nColor, t.nFrame, t.x, t.y);
    ScreenEndDrawing();
    std::string sWhy;
    EXPECT_TRUE(stage.MainShows("BLUETILE5", aLaneX[2], 90, &sWhy)) << sWhy;
    Save(stage.main, "render_falling.png");
}

TEST_F(RenderScreenshot, GoalPictures) {
    // The goal pictures of four levels side by side on a grey strip.
    DibCanvas strip(4 * 220, 80, kLightGrey);
    const int kLevels[] = {1, 5, 27, 50};
    nGoalPhase = 1;
    for (int i = 0; i < 4; i++) {
        stage.panel.Fill(kLightGrey);
        game.nLevel = kLevels[i];
        DrawGoalPictureInto(stage.panel.Dc());
        BitBlt(strip.Dc(), 220 * i, 0, 210, 80, stage.panel.Dc(), 0, GOAL_PIC_Y - 10, SRCCOPY);
    }
    Save(strip, "render_goals.png");
}

} // namespace
