// The bitmap set and the two blits.
#include <map>

#include "tests/win32/test_render_stage.h"

namespace {

// Reloads the set with a loader that remembers the name of every handle it
// gives out.
std::map<HBITMAP, std::string> NamesOfLoads() {
    static std::map<HBITMAP, std::string>* pNames;
    std::map<HBITMAP, std::string> names;
    pNames = &names;
    pfnRenderLoadBitmap = [](const char* szName) {
        HBITMAP hbm = StandInBitmap(szName);
        (*pNames)[hbm] = szName;
        return hbm;
    };
    LoadBitmaps();
    pfnRenderLoadBitmap = [](const char* szName) { return StandInBitmap(szName); };
    pNames = nullptr;
    return names;
}

TEST(RenderBitmapSet, TablesFollowTheColourOrder) {
    RenderStage stage;
    std::map<HBITMAP, std::string> names = NamesOfLoads();
    struct Case {
        HBITMAP hbm;
        const char* szName;
    } const aCases[] = {
        {ahTileFrame[0][0], "GREENTILE0"},  {ahTileFrame[1][4], "REDTILE4"},
        {ahTileFrame[2][7], "YELLOWTILE7"}, {ahTileFrame[3][9], "BLUETILE9"},
        {ahTileFrame[4][1], "PURPLETILE1"}, {ahTileFrame[5][5], "WHITETILE5"},
        {ahTileFrame[6][2], "DREDTILE2"},   {ahTileFrame[7][9], "LBLUETILE9"},
        {ahFlatTile[0], "GREENTILE"},       {ahFlatTile[3], "BLUETILE"},
        {ahFlatTile[6], "DREDTILE"},        {ahFlatTile[7], "LBLUETILE"},
        {hTileErase, "TILEERASE"},          {hFlatErase, "SMALLTILEERASE"},
        {hPlayerErase, "PLAYERERASE"},      {ahPaddle[0], "PADDLE0"},
        {ahPaddle[8], "PADDLE8"},
    };
    for (const Case& c : aCases) EXPECT_EQ(names[c.hbm], c.szName);
    // 80 tumbling frames, 8 flat tiles, 3 erasers and 9 paddles, all distinct.
    EXPECT_EQ(names.size(), 100u);
    std::set<HBITMAP> handles;
    for (auto& row : ahTileFrame)
        for (HBITMAP h : row) handles.insert(h);
    for (HBITMAP h : ahFlatTile) handles.insert(h);
    for (HBITMAP h : ahPaddle) handles.insert(h);
    handles.insert({hTileErase, hFlatErase, hPlayerErase});
    EXPECT_EQ(handles.size(), 100u);
    EXPECT_EQ(handles.count(NULL), 0u);
}

TEST(RenderBitmapSet, MissingResourcesStayNullAndFreeingClearsEverything) {
    RenderStage stage;
    stage.missing = {"REDTILE3", "LBLUETILE", "PADDLE8", "TILEERASE"};
    LoadBitmaps();
    EXPECT_EQ(ahTileFrame[1][3], (HBITMAP)NULL);
    EXPECT_NE(ahTileFrame[1][4], (HBITMAP)NULL);
    EXPECT_EQ(ahFlatTile[7], (HBITMAP)NULL);
    EXPECT_EQ(ahPaddle[8], (HBITMAP)NULL);
    EXPECT_EQ(hTileErase, (HBITMAP)NULL);
    // A missing bitmap draws nothing.
    std::vector<uint32_t> before = stage.main.Snapshot();
    EXPECT_TRUE(DrawBitmap(stage.main.Dc(), ahTileFrame[1][3], 10, 10));
    DrawBitmapCentered(stage.main.Dc(), NULL, 0, 0, 640, 480);
    EXPECT_EQ(stage.main.CountChanged(before), 0);

    // 100 tables entries less the 4 missing, and the credits band.
    EXPECT_EQ(FreeBitmaps(), 96 + 1);
    EXPECT_EQ(ahTileFrame[0][0], (HBITMAP)NULL);
    EXPECT_EQ(hCreditsBitmap, (HBITMAP)NULL);
    EXPECT_EQ(FreeBitmaps(), 0) << "a second release deletes nothing twice";
}

TEST(RenderBlit, DrawBitmapCopiesExactlyTheBitmapsPixels) {
    RenderStage stage;
    HBITMAP hbm = StandInBitmap("LEVEL28"); // 64 x 64
    std::vector<uint32_t> before = stage.main.Snapshot();
    EXPECT_TRUE(DrawBitmap(stage.main.Dc(), hbm, 0, 0));
    RECT box;
    EXPECT_EQ(stage.main.CountChanged(before, &box), 64 * 64);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 64);
    EXPECT_EQ(box.bottom, 64);
    std::string sWhy;
    EXPECT_TRUE(CanvasShowsBitmap(stage.main, hbm, 0, 0, &sWhy)) << sWhy;

    // Negative coordinates clip; the caller still owns the bitmap.
    stage.main.Fill(kMarker);
    before = stage.main.Snapshot();
    DrawBitmap(stage.main.Dc(), hbm, -20, -30);
    EXPECT_EQ(stage.main.CountChanged(before, &box), 44 * 34);
    EXPECT_TRUE(CanvasShowsBitmap(stage.main, hbm, -20, -30, &sWhy)) << sWhy;
    BITMAP bm;
    EXPECT_NE(GetObjectA(hbm, sizeof bm, &bm), 0);
    DeleteObject(hbm);
}

TEST(RenderBlit, DrawBitmapCenteredTruncates) {
    RenderStage stage;
    struct Case {
        const char* szName; // a stand-in of the wanted size
        int w, h;
        RECT rc;
        int x, y; // where the top-left corner lands
    } const aCases[] = {
        {"PAUSEDLOGO", 180, 60, {274, 35, 479, 301}, 286, 138},
        {"PADDLE0", 41, 12, {0, 0, 100, 100}, 30, 44},
        {"GREENTILE", 40, 11, {0, 0, 100, 100}, 30, 45},
        {"GOAL", 196, 60, {9, 291, 205, 351}, 9, 291},
        {"LEVEL4", 40, 40, {-10, -10, 11, 11}, -20, -20},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szName);
        stage.main.Fill(kMarker);
        std::vector<uint32_t> before = stage.main.Snapshot();
        HBITMAP hbm = StandInBitmap(c.szName);
        DrawBitmapCentered(stage.main.Dc(), hbm, c.rc.left, c.rc.top, c.rc.right, c.rc.bottom);
        RECT box;
        stage.main.CountChanged(before, &box);
        EXPECT_EQ(box.left, std::max(c.x, 0));
        EXPECT_EQ(box.top, std::max(c.y, 0));
        EXPECT_EQ(box.right, c.x + c.w);
        EXPECT_EQ(box.bottom, c.y + c.h);
        std::string sWhy;
        EXPECT_TRUE(CanvasShowsBitmap(stage.main, hbm, c.x, c.y, &sWhy)) << sWhy;
        DeleteObject(hbm);
    }
}

} // namespace
