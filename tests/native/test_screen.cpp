// The engine's drawing operations on a platform's pictures: one picture per
// batch or per operation, each operation's drawing ended as a piece, the
// paddle's flash on the platform's clock.
#include <gtest/gtest.h>

#include <vector>

#include "render/draw.h"
#include "render/screen.h"
#include "tests/native/recording_host.h"

namespace {

std::vector<uint32_t> aPixels(SCREEN_W* SCREEN_H);
Picture pic;
int aBegun[2], nHeld, bNoPicture;
uint32_t dwNow, aPaddlePixel[NUM_PADDLE_FRAMES];

const ScreenPlatform kTestPlatform = {
    [](int n) -> Picture* { return bNoPicture ? nullptr : (aBegun[n]++, nHeld++, &pic); },
    [](int, Picture*) { nHeld--; }, [] { return dwNow; }};

struct ScreenTest : ::testing::Test {
    RecordingHost host;
    void SetUp() override {
        ResetEngineForTest(host); // the goal table as start-up leaves it
        pic = PictureOver(aPixels.data(), PictureRect{0, 0, SCREEN_W, SCREEN_H});
        pic.pfnMark = [](Picture* p) {
            PictureRect rc;
            PictureTakeChanged(p, &rc);
        };
        aBegun[0] = aBegun[1] = nHeld = bNoPicture = 0;
        dwNow = 5000;
        ScreenInstall(&kTestPlatform);
        // One pixel a paddle frame, each its own colour.
        for (int i = 0; i < NUM_PADDLE_FRAMES; i++) {
            aPaddlePixel[i] = 0x100 + i;
            spriteSet.aPaddle[i] = PictureBitmap{&aPaddlePixel[i], 1, 1, 1};
        }
        bSpritesStale = 0;
        game.bGameRunning = 1, game.nPaddleLane = 2, game.nPaddleY = 400, game.nLevel = 2;
    }
    void TearDown() override {
        ScreenInstall(nullptr);
        spriteSet = SpriteSet{};
    }
};

int (*const kOps[])() = {ScreenDrawBins,
                         ScreenErasePaddleStack,
                         ScreenDrawPaddleStack,
                         ScreenPaddleLightTick,
                         [] { return ScreenDrawTileErase(300, 100); },
                         [] { return ScreenShowPauseLogo(0); },
                         [] { return ScreenBlankRect(91, 231, 424, 260); }};

// Outside a batch each operation takes the picture and gives it back; a
// batch, nested ones too, holds one for all. Every operation ends its piece.
TEST_F(ScreenTest, OnePicturePerBatchOrPerOperation) {
    for (auto op : kOps) op();
    EXPECT_EQ(aBegun[SCREEN_MAIN], 7);
    EXPECT_EQ(nHeld, 0);
    EXPECT_EQ(ScreenBeginDrawing() + ScreenBeginDrawing(), 2);
    for (auto op : kOps) {
        op();
        EXPECT_EQ(pic.rcChanged.right, pic.rcChanged.left) << "a piece left open";
    }
    EXPECT_EQ(ScreenEndDrawing(), 1);
    EXPECT_EQ(nHeld, 1) << "the inner end gave the picture back";
    EXPECT_EQ(ScreenEndDrawing(), 1);
    EXPECT_EQ(ScreenEndDrawing(), 0) << "no batch left to end";
    EXPECT_EQ(aBegun[SCREEN_MAIN], 8);
    EXPECT_EQ(nHeld, 0);
    // Without a picture nothing draws, but the goal picture's step is taken.
    bNoPicture = 1;
    EXPECT_EQ(ScreenBeginDrawing(), 0);
    for (auto op : kOps) EXPECT_EQ(op(), 0);
    nGoalPhase = 0;
    EXPECT_EQ(ScreenDrawGoalPicture(), 1);
    EXPECT_EQ(nGoalPhase, 1);
}

// The flash lights every lamp from the platform's now until it is over; the
// next light tick draws the lamps' own frame, not a stale flash.
TEST_F(ScreenTest, PaddleFlashRunsOnThePlatformsClock) {
    nPaddleFrame = 3;
    dwPaddleFrameTime = dwNow - 50;
    ScreenStartPaddleFlash();
    const struct {
        uint32_t dwAfter, dwShown; // ms since the flash began, the frame drawn (0 none)
    } aStep[] = {{PADDLE_FLASH_MS / 2, 0x100 + PADDLE_ALL_LIT},
                 {PADDLE_FLASH_MS + 1, 0x100 + PADDLE_ALL_LIT}, // its last light
                 {PADDLE_FLASH_MS + 2, 0},
                 {PADDLE_STEP_MS, 0x100 + 4}}; // the lamps step on from frame 3
    const uint32_t dwStart = dwNow;
    for (const auto& s : aStep) {
        aPixels[400 * SCREEN_W + aLaneX[2]] = 0;
        dwNow = dwStart + s.dwAfter;
        ScreenPaddleLightTick();
        EXPECT_EQ(PicturePixel(pic, aLaneX[2], 400), s.dwShown) << s.dwAfter;
    }
}

} // namespace
