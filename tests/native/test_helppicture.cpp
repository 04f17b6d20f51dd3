// The help's pictures drawn by the portable routine with the game's own
// bitmaps: sample pixels of each kind's shapes, and their words.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "render/draw.h"
#include "render/helpdoc.h"
#include "tests/native/recording_host.h"

namespace {

// The bitmaps from the build's assets, decoded once and kept.
int LoadAsset(const char* szName, PictureBitmap* pBmp) {
    static std::map<std::string, std::vector<uint32_t>> store;
    std::ifstream in(std::string(QUARRION_ASSET_DIR) + "/" + szName + ".bmp", std::ios::binary);
    const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), {});
    std::vector<uint32_t>& px = store[szName];
    px.resize(PictureBitmapSize(data.data(), data.size()));
    *pBmp = PictureBitmap{};
    return !px.empty() && PictureBitmapDecode(data.data(), data.size(), px.data(), px.size(), pBmp);
}

int Find(const char* szName) {
    return HelpPictureFind(szName, (int)strlen(szName));
}

TEST(HelpPicture, EachKindDrawsItsShapesWhereTheyBelong) {
    RecordingHost host;
    ResetEngineForTest(host);
    pfnPictureLoadBitmap = LoadAsset;
    static const char* const aWord[NUM_COLORS] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                                  "PURPLE", "WHITE", "DRED",   "LBLUE"};
    for (int c = 0; c < NUM_COLORS; c++)
        LoadAsset((std::string(aWord[c]) + "TILE").c_str(), &spriteSet.aFlatTile[c]);
    LoadAsset("PADDLE8", &spriteSet.aPaddle[PADDLE_ALL_LIT]);
    bSpritesStale = 0;

    const PictureColor kBlue = PictureRGB(0, 0, 255), kDark = PictureRGB(64, 64, 64);
    const PictureColor kAny = 0xFF000000; // anything but the page's white
    const int kGoalY = GOAL_PIC_Y - 5;    // the goal picture's top in the panel
    struct Sample {
        int x, y;
        PictureColor cr;
    };
    struct Case {
        const char* szPicture;
        int nWords;
        const char* szFirstWord;
        std::vector<Sample> aSample;
    } const aCases[] = {
        // The grid's lines, an empty cell, the line's bottom tile whole.
        {"row-3", 0, nullptr, {}},
        {"column-3",
         0,
         nullptr,
         {{0, 0, kPicBlack}, {41, 40, kPicBlack}, {20, 8, kPicWhite}, {20, 70, kAny}}},
        // The two paddles, the arrow's shaft three rows thick and its head.
        {"paddle",
         1,
         "Up",
         {{30, 55, kAny},
          {170, 55, kAny},
          {100, 32, kBlue},
          {100, 34, kBlue},
          {100, 31, kPicWhite},
          {100, 35, kPicWhite},
          {132, 29, kBlue},
          {132, 37, kBlue},
          {50, 33, kPicWhite}}},
        // The panel's grey, the goal line's white box and its black frame.
        {"goal",
         1,
         nullptr,
         {{20, 20, kAny},
          {100, 360 - kGoalY, kPicGrey},
          {100, 386 - kGoalY, kPicWhite},
          {14 - GOAL_PIC_X, 386 - kGoalY, kPicBlack},
          {9 - GOAL_PIC_X, 386 - kGoalY, kPicBlack}}},
        // The body's frame and grey, a grip, the stick's two rings, the
        // D-pad, a face button and a label's line.
        {"gamepad",
         13,
         "Y",
         {{220, 30, kPicBlack},
          {220, 31, kPicLightGrey},
          {220, 29, kPicWhite},
          {170, 154, kPicBlack},
          {170, 150, kPicLightGrey},
          {170, 48, kDark},
          {170, 58, kPicLightGrey},
          {170, 46, kPicBlack},
          {198, 80, kDark},
          {270, 56, PictureRGB(255, 215, 0)},
          {145, 58, kBlue},
          {120, 130, kPicWhite}}},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szPicture);
        const int nPicture = Find(c.szPicture);
        int w = 0, h = 0;
        HelpPictureSize(nPicture, &w, &h);
        std::vector<uint32_t> px(w * h, kPicWhite);
        Picture pic = PictureOver(px.data(), PictureRect{0, 0, w, h});
        HelpWords words;
        ASSERT_EQ(DrawHelpPictureOn(pic, nPicture, &words), 1);
        for (const Sample& s : c.aSample) {
            const PictureColor cr = PicturePixel(pic, s.x, s.y);
            if (s.cr == kAny)
                EXPECT_NE(cr, kPicWhite) << s.x << "," << s.y;
            else
                EXPECT_EQ(cr, s.cr) << s.x << "," << s.y;
        }
        ASSERT_EQ(words.n, c.nWords);
        for (int i = 0; i < words.n; i++) {
            const PictureRect& rc = words.a[i].rc;
            EXPECT_TRUE(rc.left >= 0 && rc.top >= 0 && rc.right <= w && rc.bottom <= h &&
                        rc.left < rc.right && rc.top < rc.bottom && words.a[i].sz[0])
                << words.a[i].sz;
        }
        // A tile that holds a line up: every other pixel white.
        HelpBoard board;
        for (int k = 0; HelpBoardOf(nPicture, &board) && k < NUM_CELLS; k++) {
            if (board.aCell[k] == TILE_NONE || board.aLine[k]) continue;
            const int x = aLaneX[k / NUM_ROWS] - aLaneX[0] + 1 + 20;
            const int y = aRowY[k % NUM_ROWS] - aRowY[NUM_ROWS - 1] + 3 + 5 + (x + 1) % 2;
            EXPECT_EQ(PicturePixel(pic, x, y), kPicWhite) << x << "," << y;
            EXPECT_NE(PicturePixel(pic, x + 1, y), kPicWhite) << x + 1 << "," << y;
            break;
        }
        if (c.szFirstWord) {
            EXPECT_STREQ(words.a[0].sz, c.szFirstWord);
        }
    }
}

} // namespace
