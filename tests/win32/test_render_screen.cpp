// The main window's repaint, the background pattern and the title screen.
#include <algorithm>

#include "tests/win32/test_render_stage.h"

namespace {

const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kLightGrey = RGB(192, 192, 192);
const COLORREF kGrey = RGB(128, 128, 128);

const char* const kColorWord[NUM_COLORS] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                            "PURPLE", "WHITE", "DRED",   "LBLUE"};

std::string FrameName(const FallingTile& t) {
    return std::string(kColorWord[t.nColor]) + "TILE" + std::to_string(t.nFrame);
}

// Whether the region shows the pattern tiled from (0, 0).
bool ShowsPattern(RenderStage& stage, const std::string& sPattern, RECT rc, std::string* psWhy) {
    HBITMAP hbm = StandInBitmap(sPattern);
    int w = 0, h = 0;
    std::vector<uint32_t> px = BitmapPixels(hbm, &w, &h);
    DeleteObject(hbm);
    for (int y = rc.top; y < rc.bottom; y++)
        for (int x = rc.left; x < rc.right; x++)
            if (RgbOf(stage.main.At(x, y)) != px[size_t((y % h) * w + x % w)]) {
                char sz[80];
                snprintf(sz, sizeof sz, "%s does not show at (%d, %d)", sPattern.c_str(), x, y);
                *psWhy = sz;
                return false;
            }
    return true;
}

TEST(RenderBackground, PatternTilesTheWholeScreen) {
    struct Case {
        int nLevel;
        int bPatterns;
        const char* szPattern;
    } const aCases[] = {
        {28, 1, "LEVEL28"}, // 64 x 64: the 8th row is cut at y 480
        {28, 0, "LEVEL1"},  // patterns off
        {4, 1, "LEVEL4"},   // 40 x 40: 16 columns fill it exactly
        {29, 1, "LEVEL29"}, {45, 1, "LEVEL45"},
        {7, 1, "LEVEL7"},   {-1, 1, "LEVEL1"}, // the title screen
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << "level " << c.nLevel << ", patterns " << c.bPatterns);
        RenderStage stage;
        prefs.bPatterns = c.bPatterns;
        EXPECT_EQ(PaintBackground(stage.main.Dc(), c.nLevel), 1);
        EXPECT_EQ(stage.aLoads, std::vector<std::string>{c.szPattern});
        std::string sWhy;
        EXPECT_TRUE(ShowsPattern(stage, c.szPattern, RECT{0, 0, SCREEN_W, SCREEN_H}, &sWhy))
            << sWhy;
    }
}

TEST(RenderBackground, AMissingPatternDrawsNothing) {
    RenderStage stage;
    stage.missing = {"LEVEL9"};
    std::vector<uint32_t> before = stage.main.Snapshot();
    EXPECT_EQ(PaintBackground(stage.main.Dc(), 9), 1);
    EXPECT_EQ(stage.main.CountChanged(before), 0);
}

// The game screen, painted straight into the context in its fixed order.
class RenderGameScreen : public testing::Test {
  protected:
    RenderStage stage;
    void SetUp() override {
        stage.GameOn(3);
        game.aBinCell[0] = 2;
        game.aBinCell[1] = 5;
        game.aBinCell[15] = 7;
    }
};

TEST_F(RenderGameScreen, PanelsLanesBinsAndPaddle) {
    EXPECT_EQ(PaintMainWindow(stage.main.Dc()), 1);
    std::string sWhy;
    // The background around the panels.
    EXPECT_TRUE(ShowsPattern(stage, "LEVEL3", RECT{0, 0, 28, SCREEN_H}, &sWhy)) << sWhy;
    EXPECT_TRUE(ShowsPattern(stage, "LEVEL3", RECT{0, 451, SCREEN_W, SCREEN_H}, &sWhy)) << sWhy;
    EXPECT_TRUE(ShowsPattern(stage, "LEVEL3", RECT{610, 0, SCREEN_W, SCREEN_H}, &sWhy)) << sWhy;
    // Right panel (with its bevel), left panel, lanes: light grey inside.
    EXPECT_TRUE(RegionIs(stage.main, 508, 36, 597, 447, kLightGrey, &sWhy)) << sWhy;
    EXPECT_EQ(stage.main.At(507, 200), kWhite) << "the right panel's highlight";
    EXPECT_TRUE(RegionIs(stage.main, 30, 35, 247, 449, kLightGrey, &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 274, 35, 479, 301, kLightGrey, &sWhy)) << sWhy;
    // The lanes' outline runs over the paddle zone's top row.
    EXPECT_TRUE(RegionIs(stage.main, 273, 301, 480, 302, kBlack, &sWhy)) << sWhy;
    // The paddle zone is white but for the paddle; the bins are drawn.
    EXPECT_TRUE(RegionIs(stage.main, 274, 302, 479, 305, kWhite, &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 274, 317, 479, 369, kWhite, &sWhy)) << sWhy;
    EXPECT_TRUE(stage.MainShows("PADDLE" + std::to_string(nPaddleFrame), aLaneX[2], 305, &sWhy))
        << sWhy;
    EXPECT_TRUE(stage.MainShows("YELLOWTILE", aLaneX[0], aRowY[0], &sWhy)) << sWhy;
    EXPECT_TRUE(stage.MainShows("WHITETILE", aLaneX[0], aRowY[1], &sWhy)) << sWhy;
    EXPECT_TRUE(stage.MainShows("LBLUETILE", aLaneX[3], aRowY[0], &sWhy)) << sWhy;
    EXPECT_TRUE(stage.MainShows("SMALLTILEERASE", aLaneX[4], aRowY[4], &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 273, 449, 480, 450, kBlack, &sWhy)) << sWhy;
    // The side faces of the three slabs.
    for (POINT pt : {POINT{300, 29}, POINT{484, 200}, POINT{100, 29}, POINT{252, 200},
                     POINT{550, 29}, POINT{603, 200}})
        EXPECT_EQ(stage.main.At(pt.x, pt.y), kGrey) << pt.x << ", " << pt.y;
    // Playing: no pause logo.
    EXPECT_EQ(std::count(stage.aLoads.begin(), stage.aLoads.end(), "PAUSEDLOGO"), 0);
    EXPECT_EQ(stage.nDCsTaken, stage.nDCsReleased);
}

TEST_F(RenderGameScreen, PausedShowsTheLogoOverEmptyLanes) {
    game.bPaused = 1;
    PaintMainWindow(stage.main.Dc());
    std::string sWhy;
    EXPECT_TRUE(stage.MainShows("PAUSEDLOGO", 286, 138, &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 274, 35, 479, 138, kLightGrey, &sWhy)) << sWhy;
}

// A repaint leaves the held tiles out: the paddle alone, white above it.
TEST_F(RenderGameScreen, HeldTilesWaitForTheNextStackDraw) {
    game.nHeld = 2;
    game.aHeld[0] = 1;
    game.aHeld[1] = 4;
    game.nPaddleY = PADDLE_BASE_Y + 20;
    PaintMainWindow(stage.main.Dc());
    std::string sWhy;
    EXPECT_TRUE(stage.MainShows("PADDLE" + std::to_string(nPaddleFrame), aLaneX[2], 325, &sWhy))
        << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, aLaneX[2], 302, aLaneX[2] + 41, 325, kWhite, &sWhy)) << sWhy;
    ScreenDrawPaddleStack();
    EXPECT_TRUE(stage.MainShows("PURPLETILE", aLaneX[2], 305, &sWhy)) << sWhy;
}

TEST(RenderTitleScreen, ComposedScreen) {
    RenderStage stage;
    ShowWindow(stage.hwndPanel, SW_SHOWNORMAL);
    FallingTile aBefore[NUM_TITLE_TILES];
    std::copy(game.aTitleTiles, game.aTitleTiles + NUM_TITLE_TILES, aBefore);
    EXPECT_EQ(PaintMainWindow(stage.main.Dc()), 1);

    EXPECT_FALSE(GetWindowLongA(stage.hwndPanel, GWL_STYLE) & WS_VISIBLE) << "panel not hidden";
    std::string sWhy;
    EXPECT_TRUE(ShowsPattern(stage, "LEVEL1", RECT{0, 0, 28, SCREEN_H}, &sWhy)) << sWhy;
    // The two pictures; their boxes' outline and highlight run over their
    // top two rows.
    EXPECT_TRUE(stage.MainShowsFromRow("MAINTITLE", 105, 105, 2, &sWhy)) << sWhy;
    EXPECT_TRUE(stage.MainShowsFromRow("MAINCREDITS", 105, 270, 2, &sWhy)) << sWhy;
    // The credits band: white inside a black outline.
    EXPECT_TRUE(RegionIs(stage.main, 91, 231, 423, 259, kWhite, &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 90, 230, 424, 231, kBlack, &sWhy)) << sWhy;
    // The big panel with its bevel, and the two boxes' side faces.
    EXPECT_EQ(stage.main.At(60, 300), kLightGrey);
    EXPECT_EQ(stage.main.At(30, 300), kWhite);
    EXPECT_EQ(stage.main.At(422, 150), kGrey);
    EXPECT_EQ(stage.main.At(422, 320), kGrey);
    // Every title tile in its current frame, none of them stepped.
    for (int i = 0; i < NUM_TITLE_TILES; i++) {
        const FallingTile& t = game.aTitleTiles[i];
        EXPECT_EQ(t.nFrame, aBefore[i].nFrame);
        EXPECT_TRUE(stage.MainShows(FrameName(t), t.x, t.y, &sWhy)) << "tile " << i << sWhy;
    }
    // The last framed button (button 0 at start-up) has its red ring back.
    EXPECT_EQ(stage.main.At(509, 38), RGB(255, 0, 0));
    EXPECT_EQ(stage.main.At(510, 39), RGB(255, 0, 0));
    EXPECT_EQ(stage.main.At(511, 40), kLightGrey) << "the ring stays outside the button";
}

// The ring of each button: 2 pixels just outside it, in its colour or grey.
TEST(RenderTitleScreen, FrameButtonRings) {
    RenderStage stage;
    for (int i = 0; i < NUM_BUTTONS; i++) {
        SCOPED_TRACE(testing::Message() << "button " << i);
        for (int bOn : {1, 0}) {
            stage.main.Fill(kMarker);
            std::vector<uint32_t> before = stage.main.Snapshot();
            EXPECT_EQ(FrameButton(stage.hwndStageMain, i, bOn), 1);
            RECT box;
            EXPECT_EQ(stage.main.CountChanged(before, &box), 288 + 280);
            EXPECT_EQ(box.left, 509);
            EXPECT_EQ(box.top, 38 + 70 * i);
            EXPECT_EQ(box.right, 596);
            EXPECT_EQ(box.bottom, 97 + 70 * i);
            const COLORREF cr = bOn ? aButtonFrameColor[i] : kLightGrey;
            for (POINT pt : {POINT{509, 38}, POINT{510, 39}, POINT{595, 96}, POINT{594, 95},
                             POINT{550, 38}, POINT{550, 96}})
                EXPECT_EQ(stage.main.At(pt.x, pt.y + 70 * i), cr);
            EXPECT_EQ(stage.main.At(511, 40 + 70 * i), kMarker);
        }
        EXPECT_EQ(nFramedButton, i) << "clearing does not move the framed button";
    }
    ahwndButton[2] = NULL;
    EXPECT_EQ(FrameButton(stage.hwndStageMain, 2, 1), 0) << "no button window";
    EXPECT_EQ(stage.nDCsTaken, stage.nDCsReleased);
}

// Which buttons wear their ring.
std::vector<int> FramedButtons(RenderStage& stage) {
    std::vector<int> v;
    for (int i = 0; i < NUM_BUTTONS; i++)
        if (stage.main.At(509, 38 + 70 * i) == aButtonFrameColor[i]) v.push_back(i);
    return v;
}

TEST(RenderTitleScreen, ButtonChaseFromStartUp) {
    RenderStage stage;
    PaintMainWindow(stage.main.Dc());
    std::vector<std::vector<int>> seen = {FramedButtons(stage)};
    for (int nStep = 0; nStep < 16; nStep++) {
        for (int t = 1; t < CHASE_TICKS; t++) {
            EXPECT_EQ(ButtonChaseTick(stage.hwndStageMain), 0);
            ASSERT_EQ(FramedButtons(stage), seen.back()) << "moved between steps";
        }
        EXPECT_EQ(ButtonChaseTick(stage.hwndStageMain), 1);
        seen.push_back(FramedButtons(stage));
    }
    const std::vector<std::vector<int>> kWant = {
        {0}, {1}, {2}, {3}, {4}, {5}, {}, {}, {0}, {1}, {2}, {3}, {4}, {5}, {}, {}, {0},
    };
    EXPECT_EQ(seen, kWant);
}

// The credits band shows the credits from the offset; the offset runs
// 0, 3, ..., 2424 and starts again.
TEST(RenderTitleTick, CreditsScroll) {
    RenderStage stage;
    HBITMAP hbmCredits = StandInBitmap("CREDITS");
    int w = 0, h = 0;
    std::vector<uint32_t> credits = BitmapPixels(hbmCredits, &w, &h);
    DeleteObject(hbmCredits);
    for (int nOffset : {0, 3, 1200, 2424}) {
        game.nCreditsOffset = nOffset;
        TitleTick(stage.hwndStageMain);
        for (int j = 0; j < h; j += 4)
            for (int i = 0; i < CREDITS_BAND_W; i++)
                ASSERT_EQ(RgbOf(stage.main.At(94 + i, 231 + j)),
                          credits[size_t(j * w + nOffset + i)])
                    << "offset " << nOffset << " at " << i << ", " << j;
        EXPECT_EQ(stage.main.At(93, 240), kMarker);
        EXPECT_EQ(stage.main.At(94 + CREDITS_BAND_W, 240), kMarker);
    }

    // Three pixels a tick; after the last offset, 0 again.
    game.nCreditsOffset = 2415;
    std::vector<int> aSeen;
    for (int t = 0; t < 5; t++) {
        TitleTick(stage.hwndStageMain);
        aSeen.push_back(game.nCreditsOffset);
    }
    EXPECT_EQ(aSeen, (std::vector<int>{2418, 2421, 2424, 0, 3}));
    // An offset from anywhere else starts over rather than read past the end.
    for (int nOdd : {2425, 2426, 5000, -3}) {
        game.nCreditsOffset = nOdd;
        TitleTick(stage.hwndStageMain);
        EXPECT_EQ(game.nCreditsOffset, 3) << nOdd;
    }
}

TEST(RenderTitleTick, HalvesOfTheTitleTilesTakeTurns) {
    RenderStage stage;
    for (int t = 0; t < 40; t++) {
        FallingTile aBefore[NUM_TITLE_TILES];
        std::copy(game.aTitleTiles, game.aTitleTiles + NUM_TITLE_TILES, aBefore);
        TitleTick(stage.hwndStageMain);
        const bool bFirstHalf = game.nCreditsOffset % 2 == 0;
        for (int i = 0; i < NUM_TITLE_TILES; i++) {
            const bool bStepped = (i < 11) == bFirstHalf;
            EXPECT_EQ(game.aTitleTiles[i].nFrame,
                      bStepped ? (aBefore[i].nFrame + 1) % NUM_FRAMES : aBefore[i].nFrame)
                << "tick " << t << " tile " << i;
            // A stepped tile is drawn in the frame it had.
            if (bStepped) {
                std::string sWhy;
                EXPECT_TRUE(
                    stage.MainShows(FrameName(aBefore[i]), aBefore[i].x, aBefore[i].y, &sWhy))
                    << sWhy;
            }
        }
    }
}

TEST(RenderTitleTick, InactiveWindowBlanksTheBandAndHoldsTheTiles) {
    RenderStage stage;
    game.nCreditsOffset = 600;
    stage.hwndActive = NULL;
    FallingTile aBefore[NUM_TITLE_TILES];
    std::copy(game.aTitleTiles, game.aTitleTiles + NUM_TITLE_TILES, aBefore);
    std::vector<uint32_t> before = stage.main.Snapshot();
    EXPECT_EQ(TitleTick(stage.hwndStageMain), 1);
    EXPECT_EQ(game.nCreditsOffset, 0);
    RECT box;
    stage.main.CountChanged(before, &box);
    EXPECT_EQ(box.left, 91);
    EXPECT_EQ(box.top, 231);
    EXPECT_LE(box.right, 424);
    EXPECT_LE(box.bottom, 260);
    std::string sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 91, 231, 423, 259, kWhite, &sWhy)) << sWhy;
    for (int i = 0; i < NUM_TITLE_TILES; i++)
        EXPECT_EQ(game.aTitleTiles[i].nFrame, aBefore[i].nFrame);
    // Active again: the credits begin from the start.
    stage.hwndActive = stage.hwndStageMain;
    TitleTick(stage.hwndStageMain);
    EXPECT_EQ(game.nCreditsOffset, 3);
    EXPECT_EQ(stage.nDCsTaken, stage.nDCsReleased);
}

TEST(RenderTitleTick, InactiveTitleDrawsNothingOnceItsBandIsBlank) {
    RenderStage stage;
    game.nCreditsOffset = 600;
    stage.hwndActive = NULL;
    TitleTick(stage.hwndStageMain); // blanks the band
    const int nTaken = stage.nDCsTaken;
    std::vector<uint32_t> before = stage.main.Snapshot();
    for (int i = 0; i < 3; i++) TitleTick(stage.hwndStageMain);
    EXPECT_EQ(stage.nDCsTaken, nTaken);
    EXPECT_EQ(stage.main.CountChanged(before), 0);
    // Credits shown again: the next inactive tick blanks them once more.
    stage.hwndActive = stage.hwndStageMain;
    TitleTick(stage.hwndStageMain);
    stage.hwndActive = NULL;
    TitleTick(stage.hwndStageMain);
    std::string sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 91, 231, 423, 259, kWhite, &sWhy)) << sWhy;
    EXPECT_EQ(stage.nDCsTaken, stage.nDCsReleased);
}

} // namespace
