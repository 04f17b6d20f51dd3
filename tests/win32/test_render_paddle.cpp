// The bins, the paddle and its stack, the lamps and the flash.
#include <algorithm>

#include "tests/win32/test_render_stage.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);

const char* const kFlatName[NUM_COLORS] = {"GREENTILE",  "REDTILE",   "YELLOWTILE", "BLUETILE",
                                           "PURPLETILE", "WHITETILE", "DREDTILE",   "LBLUETILE"};

std::string PaddleName(int nFrame) {
    return "PADDLE" + std::to_string(nFrame);
}

// The paddle image at the paddle's place: a lamp frame 0..8, or -1.
int PaddleShown(RenderStage& stage) {
    for (int f = 0; f < NUM_PADDLE_FRAMES; f++)
        if (stage.MainShows(PaddleName(f), aLaneX[game.nPaddleLane], game.nPaddleY)) return f;
    return -1;
}

void BinsCheck(RenderStage& stage) {
    std::string sWhy;
    for (int b = 0; b < NUM_LANES; b++) {
        for (int r = 0; r < NUM_ROWS; r++) {
            TileColor v = game.aBinCell[b * NUM_ROWS + r];
            const char* szName = v >= 0 && v < NUM_COLORS ? kFlatName[v] : "SMALLTILEERASE";
            EXPECT_TRUE(stage.MainShows(szName, aLaneX[b], aRowY[r], &sWhy))
                << "bin " << b << " row " << r << ": " << sWhy;
        }
    }
    // Six horizontal lines across all bins, six vertical ones between them.
    for (int y : {449, 433, 417, 401, 385, 369})
        EXPECT_TRUE(RegionIs(stage.main, 273, y, 480, y + 1, kBlack, &sWhy)) << y << ": " << sWhy;
    for (int x : {273, 314, 355, 396, 437, 479})
        EXPECT_TRUE(RegionIs(stage.main, x, 369, x + 1, 450, kBlack, &sWhy)) << x << ": " << sWhy;
}

// Empty bins; then bin 0 full with every colour but one, bin 2 with a hole at
// row 1 and a cell value that is no colour at row 3, bin 4 with one tile.
TEST(RenderBins, CellsAndTheGrid) {
    const TileColor kFilled[NUM_CELLS] = {
        0, 1, 2, 3, 4, -1, -1, -1, -1, -1, 5, -1, 6, 99, -1, -1, -1, -1, -1, -1, 7, -1, -1, -1, -1,
    };
    for (bool bFilled : {false, true}) {
        SCOPED_TRACE(bFilled ? "filled" : "empty");
        RenderStage stage;
        stage.GameOn(1);
        if (bFilled) std::copy(kFilled, kFilled + NUM_CELLS, game.aBinCell);
        std::vector<uint32_t> before = stage.main.Snapshot();
        EXPECT_EQ(DrawBins(stage.main.Dc()), 1);
        BinsCheck(stage);
        RECT box;
        stage.main.CountChanged(before, &box);
        EXPECT_EQ((std::vector<LONG>{box.left, box.top, box.right, box.bottom}),
                  (std::vector<LONG>{273, 369, 480, 450}));
    }
}

TEST(RenderPaddle, PaddleAndStackStandOnTheirRows) {
    struct Case {
        int nHeld;
        int nLane;
    } const aCases[] = {{0, 2}, {5, 0}, {2, 4}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.nHeld << " held in lane " << c.nLane);
        RenderStage stage;
        stage.GameOn(1);
        game.nPaddleLane = c.nLane;
        game.nHeld = c.nHeld;
        game.nPaddleY = PADDLE_BASE_Y + 10 * c.nHeld;
        for (int i = 0; i < c.nHeld; i++) game.aHeld[i] = (i * 3 + 1) % NUM_COLORS;
        std::vector<uint32_t> before = stage.main.Snapshot();
        EXPECT_EQ(DrawPaddleStack(stage.main.Dc()), 1);

        const int x = aLaneX[c.nLane];
        std::string sWhy;
        // The paddle at 305 + 10 per held tile; its top row lies under the
        // lowest tile. Each tile's top row lies under the next; the top tile
        // is always at y 305.
        EXPECT_TRUE(stage.MainShowsFromRow(PaddleName(nPaddleFrame), x, game.nPaddleY,
                                           c.nHeld ? 1 : 0, &sWhy))
            << sWhy;
        for (int i = 0; i < c.nHeld; i++) {
            int y = game.nPaddleY - 10 - 10 * i;
            EXPECT_TRUE(stage.MainShowsFromRow(kFlatName[game.aHeld[i]], x, y,
                                               i == c.nHeld - 1 ? 0 : 1, &sWhy))
                << "tile " << i << ": " << sWhy;
        }
        RECT box;
        stage.main.CountChanged(before, &box);
        EXPECT_EQ(box.left, x);
        EXPECT_EQ(box.top, 305);
        EXPECT_EQ(box.right, x + 41);
        EXPECT_EQ(box.bottom, game.nPaddleY + 12);

        // Erasing leaves the white erasers in the same places.
        ErasePaddleStack(stage.main.Dc());
        EXPECT_TRUE(stage.MainShowsFromRow("PLAYERERASE", x, game.nPaddleY, c.nHeld ? 1 : 0, &sWhy))
            << sWhy;
        for (int i = 0; i < c.nHeld; i++)
            EXPECT_TRUE(stage.MainShowsFromRow("SMALLTILEERASE", x, game.nPaddleY - 10 - 10 * i,
                                               i == c.nHeld - 1 ? 0 : 1, &sWhy))
                << sWhy;
    }
}

TEST(RenderPaddle, TitleScreenDrawsNoStack) {
    RenderStage stage;
    game.bGameRunning = 0;
    std::vector<uint32_t> before = stage.main.Snapshot();
    EXPECT_EQ(ScreenDrawPaddleStack(), 0);
    EXPECT_EQ(DrawPaddleStack(stage.main.Dc()), 0);
    EXPECT_EQ(stage.main.CountChanged(before), 0);
    EXPECT_EQ(stage.nDCsTaken, 0);
}

// The lamp runs 0..7 and round, one step whenever more than 266 ms have
// passed; between steps an unforced draw leaves the paddle alone.
TEST(RenderPaddle, LampStepsAfterMoreThan266Ms) {
    RenderStage stage;
    stage.GameOn(1);
    DrawPaddle(stage.main.Dc(), 0); // the first step, from time 0
    const DWORD t0 = stage.dwNow;
    EXPECT_EQ(dwPaddleFrameTime, t0);
    EXPECT_EQ(PaddleShown(stage), 1);
    int nExpected = 1;
    for (int nStep = 0; nStep < 10; nStep++) {
        const DWORD tStep = dwPaddleFrameTime;
        for (DWORD dt : {32u, 64u, 128u, 266u}) {
            stage.main.Fill(kMarker);
            stage.dwNow = tStep + dt;
            EXPECT_EQ(DrawPaddle(stage.main.Dc(), 0), 0) << "at +" << dt;
            EXPECT_EQ(PaddleShown(stage), -1);
        }
        stage.dwNow = tStep + 267;
        EXPECT_EQ(DrawPaddle(stage.main.Dc(), 0), 1);
        nExpected = (nExpected + 1) % 8;
        EXPECT_EQ(PaddleShown(stage), nExpected) << "step " << nStep;
    }
    // A forced draw between steps shows the current frame.
    stage.main.Fill(kMarker);
    stage.dwNow += 10;
    EXPECT_EQ(DrawPaddle(stage.main.Dc(), 1), 1);
    EXPECT_EQ(PaddleShown(stage), nExpected);
}

// A flash begun just before a lamp step shows the all-lit paddle on every
// 32-ms tick for at least 116 ms; then the lamps take over again.
TEST(RenderPaddle, FlashOutlastsALampStep) {
    for (DWORD nBeforeStep : {1u, 16u, 31u}) {
        SCOPED_TRACE(testing::Message() << "flash " << nBeforeStep << " ms before the step");
        RenderStage stage;
        stage.GameOn(1);
        DrawPaddle(stage.main.Dc(), 0);
        const DWORD tStep = dwPaddleFrameTime;
        stage.dwNow = tStep + 267 - nBeforeStep;
        ScreenStartPaddleFlash();
        const DWORD tFlash = stage.dwNow;
        // Tick by tick: the all-lit paddle until more than 116 ms have
        // passed, the lamp step falling inside the flash on the first tick.
        std::vector<int> aShown;
        for (int k = 1; k <= 12; k++) {
            stage.main.Fill(kMarker);
            stage.dwNow = tFlash + 32 * k;
            DrawPaddle(stage.main.Dc(), 0);
            if (k == 1) {
                EXPECT_NE(dwPaddleFrameTime, tStep) << "no lamp step inside the flash";
            }
            aShown.push_back(PaddleShown(stage));
        }
        // Ticks at 32, 64, 96 and 128 ms show it; 128 ms ends the flash, and
        // the image stays until the next lamp step (at 32 + 267 ms) redraws.
        const std::vector<int> kWant = {8, 8, 8, 8, -1, -1, -1, -1, -1, 3, -1, -1};
        EXPECT_EQ(aShown, kWant);
        EXPECT_EQ(bPaddleFlash, 0);
    }
}

// The lamp and the flash keep their timing across the wrap, and a lamp time
// from long ago (0 at start-up, with the count above 2^31) is simply due.
TEST(RenderTicks, LampAndFlashAcrossTheWrap) {
    struct Case {
        DWORD dwLast, dwNow;
        bool bStep;
    } const aCases[] = {
        {0xFFFFFF00u, 0x0000000Au, false}, // 266 ms
        {0xFFFFFF00u, 0x0000000Bu, true},  // 267 ms
        {0, 0x90000000u, true},            // start-up after 28 days of uptime
        {0, 0xFFFFFFF0u, true},
        {0x12345678u, 0x12345678u + 200, false},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.dwLast << " -> " << c.dwNow);
        RenderStage stage;
        stage.GameOn(1);
        dwPaddleFrameTime = c.dwLast;
        nPaddleFrame = 3;
        stage.dwNow = c.dwNow;
        EXPECT_EQ(DrawPaddle(stage.main.Dc(), 0), c.bStep ? 1 : 0);
        EXPECT_EQ(nPaddleFrame, c.bStep ? 4 : 3);
    }
    RenderStage stage;
    stage.GameOn(1);
    stage.dwNow = 0xFFFFFFC0u;
    ScreenStartPaddleFlash();
    stage.dwNow = 0x00000030u; // 112 ms later
    DrawPaddle(stage.main.Dc(), 0);
    EXPECT_EQ(bPaddleFlash, 1);
    stage.dwNow = 0x00000040u; // 128 ms
    DrawPaddle(stage.main.Dc(), 0);
    EXPECT_EQ(bPaddleFlash, 0);
}

} // namespace
