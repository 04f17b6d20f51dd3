// The engine's drawing operations on a platform's pictures: one picture per
// batch or per operation, each operation ended as a piece, the paddle's flash
// on the platform's clock.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "render/draw.h"
#include "render/screen.h"
#include "tests/native/recording_host.h"

namespace {

// A platform of the test's own: a 640 x 480 main picture and the panel's.
struct Stage {
    std::vector<uint32_t> aMain = std::vector<uint32_t>(SCREEN_W * SCREEN_H);
    std::vector<uint32_t> aPanel = std::vector<uint32_t>(217 * 414);
    Picture main = PictureOver(aMain.data(), PictureRect{0, 0, SCREEN_W, SCREEN_H});
    Picture panel = PictureOver(aPanel.data(), PictureRect{0, 0, 217, 414});
    int aBegun[2] = {}, aEnded[2] = {}, nHeld = 0, bNoPicture = 0, nPieces = 0;
    uint32_t dwNow = 5000;
    uint32_t aPaddlePixel[NUM_PADDLE_FRAMES];
    static Stage* p;

    Stage() {
        p = this;
        static const ScreenPlatform kTest = {[](int n) -> Picture* {
                                                 if (p->bNoPicture) return nullptr;
                                                 p->aBegun[n]++;
                                                 p->nHeld++;
                                                 return n == SCREEN_MAIN ? &p->main : &p->panel;
                                             },
                                             [](int n, Picture*) {
                                                 p->aEnded[n]++;
                                                 p->nHeld--;
                                             },
                                             [] { return p->dwNow; }};
        ScreenInstall(&kTest);
        main.pfnMark = [](Picture* pPic) {
            PictureRect rc;
            p->nPieces += PictureTakeChanged(pPic, &rc);
        };
        // One pixel a paddle frame, each its own colour, so the picture says
        // which frame was drawn.
        for (int i = 0; i < NUM_PADDLE_FRAMES; i++) {
            aPaddlePixel[i] = 0x100 + i;
            spriteSet.aPaddle[i] = PictureBitmap{&aPaddlePixel[i], 1, 1, 1};
        }
        bSpritesStale = 0;
        game.bGameRunning = 1;
        game.nPaddleLane = 2;
        game.nPaddleY = 400;
    }
    ~Stage() {
        ScreenInstall(nullptr);
        spriteSet = SpriteSet{};
    }
    uint32_t PaddleShown() const { return PicturePixel(main, aLaneX[2], 400); }
};
Stage* Stage::p;

struct Op {
    const char* szName;
    std::function<int()> run;
};
const std::vector<Op> kMainOps = {
    {"DrawBins", ScreenDrawBins},
    {"ErasePaddleStack", ScreenErasePaddleStack},
    {"DrawPaddleStack", ScreenDrawPaddleStack},
    {"PaddleLightTick", ScreenPaddleLightTick},
    {"DrawTileFrame", [] { return ScreenDrawTileFrame(1, 2, 300, 100); }},
    {"DrawTileErase", [] { return ScreenDrawTileErase(300, 100); }},
    {"DrawFlatTile", [] { return ScreenDrawFlatTile(3, 300, 120); }},
    {"ShowPauseLogo", [] { return ScreenShowPauseLogo(0); }},
    {"BlankRect", [] { return ScreenBlankRect(91, 231, 424, 260); }},
};

// Outside a batch each operation takes the main picture and gives it back;
// a batch, nested ones too, holds one for all. Either way every operation
// ends its piece, so nothing it drew waits for the next one's.
TEST(Screen, OnePicturePerBatchOrPerOperation) {
    RecordingHost host;
    Stage stage;
    for (const Op& op : kMainOps) {
        const int nBegun = stage.aBegun[SCREEN_MAIN];
        op.run();
        EXPECT_EQ(stage.aBegun[SCREEN_MAIN], nBegun + 1) << op.szName;
        EXPECT_EQ(stage.nHeld, 0) << op.szName;
    }
    stage.aBegun[SCREEN_MAIN] = stage.aEnded[SCREEN_MAIN] = 0;
    EXPECT_EQ(ScreenBeginDrawing(), 1);
    EXPECT_EQ(ScreenBeginDrawing(), 1);
    for (const Op& op : kMainOps) {
        op.run();
        PictureRect rc;
        EXPECT_EQ(PictureTakeChanged(&stage.main, &rc), 0) << op.szName << " left its piece open";
    }
    EXPECT_EQ(ScreenEndDrawing(), 1);
    EXPECT_EQ(stage.aEnded[SCREEN_MAIN], 0) << "the inner end gave the picture back";
    EXPECT_EQ(ScreenEndDrawing(), 1);
    EXPECT_EQ(ScreenEndDrawing(), 0) << "no batch left to end";
    EXPECT_EQ(stage.aBegun[SCREEN_MAIN], 1);
    EXPECT_EQ(stage.aEnded[SCREEN_MAIN], 1);

    // Without a picture nothing is drawn and no batch opens, but the goal
    // picture's step is still taken.
    stage.bNoPicture = 1;
    EXPECT_EQ(ScreenBeginDrawing(), 0);
    for (const Op& op : kMainOps) EXPECT_EQ(op.run(), 0) << op.szName;
    game.nLevel = 2; // a pattern goal's picture
    nGoalPhase = 0;
    EXPECT_EQ(ScreenDrawGoalPicture(), 1);
    EXPECT_EQ(nGoalPhase, 1);
    EXPECT_EQ(stage.aBegun[SCREEN_PANEL], 0);
}

// The flash lights every lamp from the platform's now until it is over; a
// light tick after that draws the lamps' own frame, not a stale flash.
TEST(Screen, PaddleFlashRunsOnThePlatformsClock) {
    RecordingHost host;
    Stage stage;
    nPaddleFrame = 3;
    dwPaddleFrameTime = stage.dwNow;
    stage.dwNow += 50;
    ScreenStartPaddleFlash();
    struct Step {
        uint32_t dwAfter; // ms since the flash began
        int bDrawn;       // the tick drew the paddle
        uint32_t dwFrame; // the frame shown
    };
    const Step aStep[] = {
        {PADDLE_FLASH_MS / 2, 1, PADDLE_ALL_LIT},
        {PADDLE_FLASH_MS + 1, 1, PADDLE_ALL_LIT}, // its last light; then it is over
        {PADDLE_FLASH_MS + 2, 0, PADDLE_ALL_LIT},
        {PADDLE_STEP_MS, 1, 4}, // the lamps step on from frame 3
    };
    const uint32_t dwStart = stage.dwNow;
    for (const Step& s : aStep) {
        stage.main.pPixels[400 * SCREEN_W + aLaneX[2]] = 0;
        stage.dwNow = dwStart + s.dwAfter;
        ScreenPaddleLightTick();
        EXPECT_EQ(stage.PaddleShown(), s.bDrawn ? 0x100 + s.dwFrame : 0) << s.dwAfter;
    }
}

} // namespace
