// The raised-slab frames, the sunken bevel and the pause logo.
#include "tests/win32/test_render_stage.h"

namespace {

const COLORREF kGrey = RGB(128, 128, 128);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kShadow = RGB(127, 127, 127);
const COLORREF kLightGrey = RGB(192, 192, 192);

// Where a pixel lies relative to a parallelogram face: its rows run from
// yTop to yBottom, and at row y it spans xLeft(y) .. xRight(y).
struct Face {
    int yTop, yBottom;
    int (*pfnLeft)(int y);
    int (*pfnRight)(int y);
};

// Depth 10 on (273, 34, 479, 450): the top face between y 24 and 34 from
// x 273 to 489, the right face between x 479 and 489 from y 24 to 449.
const Face kTopFace = {24, 34, [](int y) { return 273 + (34 - y); },
                       [](int y) { return 479 + (34 - y); }};
const Face kRightFace = {24, 449, [](int y) { return y < 34 ? 479 + (34 - y) : 479; },
                         [](int y) { return y < 439 ? 489 : 489 - (y - 439); }};

bool Inside(const Face& f, int x, int y, int nMargin) {
    return y >= f.yTop + nMargin && y <= f.yBottom - nMargin && x >= f.pfnLeft(y) + nMargin &&
           x <= f.pfnRight(y) - nMargin;
}

TEST(RenderFrames, ExtrudedFrameFillsTheTwoSideFaces) {
    RenderStage stage;
    for (int bBevel : {0, 1}) {
        SCOPED_TRACE(testing::Message() << "bevel " << bBevel);
        stage.main.Fill(kMarker);
        EXPECT_EQ(DrawExtrudedFrame(stage.main.Dc(), RECT{273, 34, 479, 450}, 10, bBevel), 1);
        int nFaceInside = 0;
        for (int y = 0; y < SCREEN_H; y++) {
            for (int x = 0; x < SCREEN_W; x++) {
                COLORREF cr = stage.main.At(x, y);
                bool bFront = x >= 273 && x < 479 && y > 34 && y < 450;
                if (Inside(kTopFace, x, y, 1) || Inside(kRightFace, x, y, 1)) {
                    // Inside a face: grey fill.
                    ASSERT_EQ(cr, kGrey) << x << ", " << y;
                    nFaceInside++;
                } else if (bFront) {
                    continue; // checked below
                } else if (!Inside(kTopFace, x, y, -1) && !Inside(kRightFace, x, y, -1)) {
                    // Clear of both faces and their outline: untouched.
                    ASSERT_EQ(cr, kMarker) << x << ", " << y;
                }
            }
        }
        EXPECT_GT(nFaceInside, 8 * 200 + 8 * 400);
        // The black outline along the faces' far edges.
        for (int x = 284; x <= 489; x++) EXPECT_EQ(stage.main.At(x, 24), kBlack) << x;
        for (int y = 25; y <= 438; y++) EXPECT_EQ(stage.main.At(489, y), kBlack) << y;
    }
}

TEST(RenderFrames, BevelOnlyTouchesTheFrontFaceWhenAskedFor) {
    RenderStage stage;
    const RECT rc = {85, 105, 419, 225};
    // Without the bevel the front face keeps every pixel below its top row,
    // which it shares with the top face's outline.
    DrawExtrudedFrame(stage.main.Dc(), rc, 5, 0);
    std::string sWhy;
    EXPECT_TRUE(RegionIs(stage.main, rc.left, rc.top + 1, rc.right, rc.bottom, kMarker, &sWhy))
        << sWhy;

    // With it: the highlight on the left and top, the shadow on the right and
    // bottom, one pixel inside, and nothing else.
    stage.main.Fill(kMarker);
    DrawExtrudedFrame(stage.main.Dc(), rc, 5, 1);
    const int l = rc.left + 1, t = rc.top + 1, r = rc.right - 1, b = rc.bottom - 2;
    EXPECT_TRUE(RegionIs(stage.main, l, t + 1, l + 1, b + 1, kWhite, &sWhy)) << "left " << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, l, t, r, t + 1, kWhite, &sWhy)) << "top " << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, r, t, r + 1, b, kShadow, &sWhy)) << "right " << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, l + 1, b, r + 1, b + 1, kShadow, &sWhy)) << "bottom " << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, l + 1, t + 1, r, b, kMarker, &sWhy)) << "inside " << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, rc.left, t, l, rc.bottom, kMarker, &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, rc.left, b + 1, rc.right, rc.bottom, kMarker, &sWhy)) << sWhy;
}

TEST(RenderFrames, SunkenBevelRings) {
    RenderStage stage;
    const RECT rc = {100, 100, 200, 160};
    for (int n : {0, 1, 3}) {
        SCOPED_TRACE(testing::Message() << n << " rings");
        stage.main.Fill(kMarker);
        std::vector<uint32_t> before = stage.main.Snapshot();
        EXPECT_EQ(DrawSunkenBevel(stage.main.Dc(), rc.left, rc.top, rc.right, rc.bottom, n), 1);
        if (n == 0) {
            EXPECT_EQ(stage.main.CountChanged(before), 0);
            continue;
        }
        std::string sWhy;
        for (int i = 0; i < n; i++) {
            const int l = rc.left + i, t = rc.top + i, r = rc.right - i, b = rc.bottom - i;
            // Shadow on the left and top, highlight on the right and bottom.
            EXPECT_TRUE(RegionIs(stage.main, l, t, l + 1, b + 1, kShadow, &sWhy)) << i << sWhy;
            EXPECT_TRUE(RegionIs(stage.main, l, t, r, t + 1, kShadow, &sWhy)) << i << sWhy;
            EXPECT_TRUE(RegionIs(stage.main, r, t, r + 1, b, kWhite, &sWhy)) << i << sWhy;
            EXPECT_TRUE(RegionIs(stage.main, l + 1, b, r + 1, b + 1, kWhite, &sWhy)) << i << sWhy;
        }
        RECT box;
        stage.main.CountChanged(before, &box);
        EXPECT_EQ(box.left, rc.left);
        EXPECT_EQ(box.top, rc.top);
        EXPECT_EQ(box.right, rc.right + 1);
        EXPECT_EQ(box.bottom, rc.bottom + 1);
        EXPECT_TRUE(RegionIs(stage.main, rc.left + n, rc.top + n, rc.right - n, rc.bottom - n,
                             kMarker, &sWhy))
            << "inside " << sWhy;
    }
}

TEST(RenderPauseLogo, ShownCentredInTheClearedLanesAndTakenAway) {
    RenderStage stage;
    EXPECT_EQ(ShowPauseLogo(1), 1);
    std::string sWhy;
    EXPECT_TRUE(stage.MainShows("PAUSEDLOGO", 286, 138, &sWhy)) << sWhy;
    // Above, below and beside the logo the lanes are light grey.
    EXPECT_TRUE(RegionIs(stage.main, 274, 35, 479, 138, kLightGrey, &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 274, 198, 479, 301, kLightGrey, &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 274, 138, 286, 198, kLightGrey, &sWhy)) << sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 466, 138, 479, 198, kLightGrey, &sWhy)) << sWhy;
    // The lanes' outline and everything outside stay as they were.
    EXPECT_EQ(stage.main.At(273, 100), kMarker);
    EXPECT_EQ(stage.main.At(479, 100), kMarker);
    EXPECT_EQ(stage.main.At(300, 34), kMarker);
    EXPECT_EQ(stage.main.At(300, 301), kMarker);
    EXPECT_TRUE(stage.aBoxes.empty());

    // Taking it away leaves empty lanes and loads no logo.
    stage.aLoads.clear();
    EXPECT_EQ(ShowPauseLogo(0), 1);
    EXPECT_TRUE(RegionIs(stage.main, 274, 35, 479, 301, kLightGrey, &sWhy)) << sWhy;
    EXPECT_TRUE(stage.aLoads.empty());
    EXPECT_EQ(stage.nDCsTaken, stage.nDCsReleased);
}

TEST(RenderPauseLogo, AMissingLogoIsReportedEveryTimeAndTheLanesStillClear) {
    RenderStage stage;
    stage.missing = {"PAUSEDLOGO"};
    ShowPauseLogo(1);
    ShowPauseLogo(1);
    ASSERT_EQ(stage.aBoxes.size(), 2u);
    EXPECT_EQ(stage.aBoxes[0].sText, "Pause logo is invalid");
    EXPECT_EQ(stage.aBoxes[0].sCaption, "DEBUG");
    EXPECT_EQ(stage.aBoxes[0].uType, (UINT)MB_OK);
    std::string sWhy;
    EXPECT_TRUE(RegionIs(stage.main, 274, 35, 479, 301, kLightGrey, &sWhy)) << sWhy;
    ShowPauseLogo(0);
    EXPECT_EQ(stage.aBoxes.size(), 2u) << "taking the logo away asks nothing";
}

} // namespace
