// The engine's drawing operations on Win32: one context per batch, or one
// per operation outside a batch.
#include "shell/host_win.h"
#include "tests/win32/test_render_stage.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

// Every drawing operation once, as the engine calls them.
void EveryOperation() {
    ScreenDrawBins();
    ScreenErasePaddleStack();
    ScreenDrawPaddleStack();
    ScreenDrawTileFrame(3, 9, aLaneX[1], 100);
    ScreenDrawTileErase(aLaneX[3], 120);
    ScreenDrawFlatTile(6, aLaneX[4], aRowY[2]);
    ScreenPaddleLightTick();
    ScreenBlankRect(91, 231, 424, 260);
}
const int kOperations = 8;

// A batch draws through one context, nested ones too; outside a batch each
// operation takes and releases its own.
TEST(RenderHost, OneContextPerBatchOrPerOperation) {
    RenderStage stage;
    stage.GameOn(1);
    EXPECT_EQ(ScreenBeginDrawing(), 1);
    EXPECT_EQ(stage.nDCsTaken, 1);
    EveryOperation();
    ScreenBeginDrawing(); // a nested batch shares the outer one's context
    EveryOperation();
    EXPECT_EQ(ScreenEndDrawing(), 1);
    EXPECT_EQ(stage.nDCsReleased, 0);
    EXPECT_EQ(stage.nDCsTaken, 1);
    EXPECT_EQ(ScreenEndDrawing(), 1);
    EXPECT_EQ(stage.nDCsReleased, 1);
    EXPECT_EQ(ScreenEndDrawing(), 0) << "no batch left to end";

    EveryOperation();
    EXPECT_EQ(stage.nDCsTaken, 1 + kOperations);
    EXPECT_EQ(stage.nDCsReleased, 1 + kOperations);
}

TEST(RenderHost, SpritesLandWhereTheEngineAsks) {
    RenderStage stage;
    stage.GameOn(1);
    std::string sWhy;
    EXPECT_EQ(ScreenDrawTileFrame(3, 9, aLaneX[1], 100), 1);
    EXPECT_TRUE(stage.MainShows("BLUETILE9", aLaneX[1], 100, &sWhy)) << sWhy;
    EXPECT_EQ(ScreenDrawTileErase(aLaneX[1], 100), 1);
    EXPECT_TRUE(stage.MainShows("TILEERASE", aLaneX[1], 100, &sWhy)) << sWhy;
    EXPECT_EQ(ScreenDrawFlatTile(6, aLaneX[4], aRowY[2]), 1);
    EXPECT_TRUE(stage.MainShows("DREDTILE", aLaneX[4], aRowY[2], &sWhy)) << sWhy;
    // Colours and frames out of range draw nothing.
    std::vector<uint32_t> before = stage.main.Snapshot();
    EXPECT_EQ(ScreenDrawTileFrame(8, 0, 300, 100), 0);
    EXPECT_EQ(ScreenDrawTileFrame(0, 10, 300, 100), 0);
    EXPECT_EQ(ScreenDrawTileFrame(-1, 0, 300, 100), 0);
    EXPECT_EQ(ScreenDrawFlatTile(-1, 300, 100), 0);
    EXPECT_EQ(stage.main.CountChanged(before), 0);
}

// The blank rectangle: null pen, the context's own white brush.
TEST(RenderHost, BlankRectFillsWithoutAnOutline) {
    RenderStage stage;
    std::vector<uint32_t> before = stage.main.Snapshot();
    EXPECT_EQ(ScreenBlankRect(79, 305, aLaneX[4] - 9, 329), 1);
    RECT box;
    stage.main.CountChanged(before, &box);
    EXPECT_EQ(box.left, 79);
    EXPECT_EQ(box.top, 305);
    EXPECT_LE(box.right, aLaneX[4] - 9);
    EXPECT_LE(box.bottom, 329);
    std::string sWhy;
    EXPECT_TRUE(RegionIs(stage.main, box.left, box.top, box.right, box.bottom, kWhite, &sWhy))
        << sWhy;
}

TEST(RenderHost, CreditsBitmapLoadsOnce) {
    RenderStage stage;
    EXPECT_EQ(HostLoadCreditsBitmap(), 1);
    HBITMAP hbm = hCreditsBitmap;
    BITMAP bm;
    ASSERT_NE(GetObjectA(hbm, sizeof bm, &bm), 0);
    EXPECT_EQ(bm.bmWidth, 2800);
    EXPECT_EQ(HostLoadCreditsBitmap(), 1);
    EXPECT_EQ(GetObjectA(hbm, sizeof bm, &bm), 0) << "the first one was not deleted";
    stage.missing = {"CREDITS"};
    EXPECT_EQ(HostLoadCreditsBitmap(), 0);
    EXPECT_EQ(hCreditsBitmap, (HBITMAP)NULL);
}

TEST(RenderHost, PauseLogoAndGoalPicture) {
    RenderStage stage;
    stage.GameOn(2);
    EXPECT_EQ(ShowPauseLogo(1), 1);
    std::string sWhy;
    EXPECT_TRUE(stage.MainShows("PAUSEDLOGO", 286, 138, &sWhy)) << sWhy;
    EXPECT_EQ(ScreenDrawGoalPicture(), 1);
    EXPECT_EQ(nGoalPhase, 1);
    EXPECT_EQ(stage.nDCsTaken, stage.nDCsReleased);
}

} // namespace
