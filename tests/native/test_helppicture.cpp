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

TEST(HelpPicture, EachKindDrawsItsShapesWhereTheyBelong) {
    RecordingHost host;
    ResetEngineForTest(host);
    const SpriteSet spritesBefore = spriteSet;
    auto* pfnLoadBefore = pfnPictureLoadBitmap;
    pfnPictureLoadBitmap = LoadAsset;
    static const char* const aWord[NUM_COLORS] = {"GREEN",  "RED",   "YELLOW", "BLUE",
                                                  "PURPLE", "WHITE", "DRED",   "LBLUE"};
    for (int c = 0; c < NUM_COLORS; c++)
        LoadAsset((std::string(aWord[c]) + "TILE").c_str(), &spriteSet.aFlatTile[c]);
    LoadAsset("PADDLE8", &spriteSet.aPaddle[PADDLE_ALL_LIT]);
    bSpritesStale = 0;

    // Samples "x,y c": c the colour (k black, w white, g the panels' grey, G
    // the frames', d the pad's dark, b blue, y yellow, * anything not white).
    const char* const kColours = "kwgGdby";
    const PictureColor aColour[] = {kPicBlack, kPicWhite, kPicLightGrey, kPicGrey,
                                    0x404040,  0x0000FF,  0xFFD700};
    struct Case {
        const char* szPicture;
        int nWords;
        const char* szFirstWord;
        const char* szSamples;
    } const aCases[] = {
        // The grid's lines, an empty cell, the line's bottom tile; a tile
        // that holds a line up, every other pixel of it white.
        {"column-3", 0, "", "0,0 k 41,40 k 206,40 k 20,8 w 20,70 *"},
        {"slant-3", 0, "", "21,72 w 22,72 * 21,71 * 20,71 w"},
        // The two paddles, the arrow's shaft three rows thick and its head.
        {"paddle", 1, "Up",
         "30,55 * 170,55 * 100,31 w 100,32 b 100,34 b 100,35 w 132,29 b 132,37 b"},
        // The frame's face, the goal line's white box and its black frames.
        {"goal", 1, "", "20,20 * 100,74 G 100,100 w 5,100 k 0,100 k"},
        // The body's frame and grey, a grip, the stick's two rings, the
        // D-pad, a face button and a label's line.
        {"gamepad", 13, "Y",
         "220,29 w 220,30 k 220,31 g 170,154 k 170,150 g 170,48 d 170,58 g 170,46 k 198,80 d "
         "270,56 y 145,58 b 120,130 w"},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szPicture);
        const int nPicture = HelpPictureFind(c.szPicture, (int)strlen(c.szPicture));
        int w = 0, h = 0;
        HelpPictureSize(nPicture, &w, &h);
        std::vector<uint32_t> px(w * h, kPicWhite);
        Picture pic = PictureOver(px.data(), PictureRect{0, 0, w, h});
        HelpWords words;
        ASSERT_EQ(DrawHelpPictureOn(pic, nPicture, &words), 1);
        int x = 0, y = 0, n = 0;
        char ch = 0;
        for (const char* p = c.szSamples; sscanf(p, "%d,%d %c%n", &x, &y, &ch, &n) == 3; p += n) {
            const PictureColor cr = PicturePixel(pic, x, y);
            if (ch == '*')
                EXPECT_NE(cr, kPicWhite) << x << "," << y;
            else
                EXPECT_EQ(cr, aColour[strchr(kColours, ch) - kColours])
                    << x << "," << y << " " << ch;
        }
        ASSERT_EQ(words.n, c.nWords);
        if (c.szFirstWord[0]) {
            EXPECT_STREQ(words.a[0].sz, c.szFirstWord);
        }
    }
    spriteSet = spritesBefore;
    pfnPictureLoadBitmap = pfnLoadBefore;
}

} // namespace
