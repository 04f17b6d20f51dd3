// The picture drawn two ways must agree: the Win32 route (the routines on a
// device context, the bitmaps loaded by the system) and the portable one
// (the same state drawn on a plain pixel buffer, the bitmaps decoded from
// the resources' bytes, no text host).
#include <cstring>

#include "render/draw.h"
#include "render/goal.h"
#include "tests/win32/test_render_stage.h"

namespace {

BOOL CALLBACK NameOfBitmap(HMODULE, LPCSTR, LPSTR szName, LONG_PTR lParam) {
    if (!IS_INTRESOURCE(szName)) ((std::vector<std::string>*)lParam)->push_back(szName);
    return TRUE;
}

// Every bitmap resource of the exe, decoded by the game and by the system.
TEST(RenderPicture, ResourcesDecodeAsTheSystemLoadsThem) {
    hInst = GetModuleHandleA(NULL);
    std::vector<std::string> names;
    EnumResourceNamesA(hInst, (LPCSTR)RT_BITMAP, NameOfBitmap, (LONG_PTR)&names);
    ASSERT_GT(names.size(), 100u);
    std::vector<uint32_t> store(1 << 20);
    for (const std::string& s : names) {
        PictureBitmap bmp;
        ASSERT_EQ(PictureBitmapOfResource(s.c_str(), store.data(), store.size(), &bmp), 1) << s;
        HBITMAP hbm = LoadBitmapA(hInst, s.c_str());
        int w = 0, h = 0;
        std::vector<uint32_t> px = BitmapPixels(hbm, &w, &h);
        DeleteObject(hbm);
        ASSERT_EQ(bmp.w * 10000 + bmp.h, w * 10000 + h) << s;
        for (int i = 0; i < w * h; i++)
            ASSERT_EQ(bmp.pPixels[i], px[size_t(i)]) << s << " pixel " << i % w << ", " << i / w;
    }
}

// The state a row draws, set afresh for each route.
void LevelWithTiles(int nLevel, int bPaused) {
    RenderStage::pStage->GameOn(nLevel);
    for (int b = 0; b < NUM_LANES; b++)
        for (int r = 0; r <= b; r++) {
            game.aBinCell[b * NUM_ROWS + r] = TileColor((b + 2 * r) % NUM_COLORS);
            game.aBinCount[b] = r + 1;
        }
    game.nHeld = 2;
    game.aHeld[0] = 3;
    game.aHeld[1] = 6;
    game.nPaddleY = PADDLE_BASE_Y + 20;
    game.bPaused = bPaused;
}

struct Row {
    const char* szWhat;
    bool bPanel;                       // drawn on the panel, else the main window
    void (*pfnSet)();                  // the state
    void (*pfnWin32)(RenderStage& s);  // the Win32 route
    void (*pfnPortable)(Picture& pic); // the portable route
};

const Row kRows[] = {
    {"the title after 7 ticks", false, [] { game.bGameRunning = 0; },
     [](RenderStage& s) {
         PaintMainWindow(s.main.Dc());
         for (int i = 0; i < 7; i++) TitleTick(s.hwndStageMain);
     },
     [](Picture& pic) {
         TitleScreenPaint(pic);
         FrameButton(pic, 0, PictureRect{509, 38, 596, 97}, 1); // the stage's first button
         for (int i = 0; i < 7; i++) TitleTick(pic, 1);
     }},
    {"level 27 with tiles in the bins and on the paddle", false, [] { LevelWithTiles(27, 0); },
     [](RenderStage& s) {
         PaintMainWindow(s.main.Dc());
         ScreenDrawPaddleStack();
     },
     [](Picture& pic) {
         GameScreenPaint(pic, RenderStage::pStage->dwNow);
         DrawPaddleStack(pic, RenderStage::pStage->dwNow);
     }},
    {"level 45 paused", false, [] { LevelWithTiles(45, 1); },
     [](RenderStage& s) { PaintMainWindow(s.main.Dc()); },
     [](Picture& pic) { GameScreenPaint(pic, RenderStage::pStage->dwNow); }},
    {"the goal picture of level 2", true,
     [] {
         game.nLevel = 2;
         nGoalPhase = 1;
         srand(7);
     },
     [](RenderStage& s) { DrawGoalPictureInto(s.panel.Dc()); },
     [](Picture& pic) { DrawGoalPictureOn(&pic); }},
};

TEST(RenderPicture, TheWin32RouteAndThePortableRouteDrawTheSamePicture) {
    RenderUsePlatform();
    HBITMAP (*pfnFromResources)(const char*) = pfnRenderLoadBitmap;
    RenderStage stage(true);
    FallingTile aTitle[NUM_TITLE_TILES];
    memcpy(aTitle, game.aTitleTiles, sizeof aTitle);
    for (const Row& r : kRows) {
        SCOPED_TRACE(r.szWhat);
        DibCanvas& canvas = r.bPanel ? stage.panel : stage.main;
        // The Win32 route: the system's bitmaps on the stage's context.
        memcpy(game.aTitleTiles, aTitle, sizeof aTitle);
        game.nCreditsOffset = 0;
        LoadBitmaps();
        LoadCreditsBitmap();
        canvas.Fill(kMarker);
        nPaddleFrame = bPaddleFlash = nFramedButton = 0;
        dwPaddleFrameTime = 0;
        r.pfnSet();
        r.pfnWin32(stage);
        std::vector<uint32_t> win32 = canvas.Snapshot();
        // The portable route: the decoded resources on a buffer of its own.
        memcpy(game.aTitleTiles, aTitle, sizeof aTitle);
        game.nCreditsOffset = 0;
        pfnRenderLoadBitmap = pfnFromResources;
        LoadBitmaps();
        LoadCreditsBitmap();
        std::vector<uint32_t> px(size_t(canvas.W()) * canvas.H(), RgbOf(kMarker));
        Picture pic = PictureOver(px.data(), PictureRect{0, 0, canvas.W(), canvas.H()});
        nPaddleFrame = bPaddleFlash = 0;
        dwPaddleFrameTime = 0;
        r.pfnSet();
        r.pfnPortable(pic);
        pfnRenderLoadBitmap = [](const char* szName) {
            return LoadBitmapA(GetModuleHandleA(NULL), szName);
        };
        int nDiffer = 0;
        for (size_t i = 0; i < px.size(); i++) nDiffer += (win32[i] & 0xFFFFFF) != px[i];
        EXPECT_EQ(nDiffer, 0);
    }
}

// The text host writes on a picture what the system writes on its context,
// and measures what the system measures.
TEST(RenderPicture, TextThroughTheHostIsTheSystemsOwn) {
    const PictureFont font = {"Arial", 16, 700};
    struct Case {
        const char* sz;
        int nAlign;
        UINT uFormat;
    } const aCases[] = {
        {"Level 12", PICTURE_TEXT_CENTER | PICTURE_TEXT_VCENTER,
         DT_CENTER | DT_VCENTER | DT_SINGLELINE},
        {"Up", PICTURE_TEXT_RIGHT | PICTURE_TEXT_BOTTOM, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE},
        {"tiles tumble down five lanes", PICTURE_TEXT_WRAP, DT_WORDBREAK},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.sz);
        DibCanvas host(200, 60, RGB(255, 255, 255)), system(200, 60, RGB(255, 255, 255));
        EXPECT_EQ(OnPicture(host.Dc(),
                            [&](Picture* pPic) {
                                return pPictureText->WriteText(pPic, font, c.sz, 0x0000FF,
                                                               PictureRect{10, 5, 120, 55},
                                                               c.nAlign);
                            }),
                  1);
        HFONT hfont =
            CreateFontA(-16, 0, 0, 0, 700, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
        HGDIOBJ hfontOld = SelectObject(system.Dc(), hfont);
        SetBkMode(system.Dc(), TRANSPARENT);
        SetTextColor(system.Dc(), RGB(0, 0, 255));
        RECT rc = {10, 5, 120, 55};
        DrawTextA(system.Dc(), c.sz, -1, &rc, c.uFormat | DT_NOPREFIX);
        RECT rcCalc = {0, 0, 110, 0};
        DrawTextA(system.Dc(), c.sz, -1, &rcCalc, c.uFormat | DT_NOPREFIX | DT_CALCRECT);
        SelectObject(system.Dc(), hfontOld);
        DeleteObject(hfont);
        EXPECT_EQ(host.Snapshot(), system.Snapshot());
        EXPECT_GT(system.CountChanged(DibCanvas(200, 60, RGB(255, 255, 255)).Snapshot()), 20);
        int w = 110, h = 0;
        EXPECT_EQ(pPictureText->MeasureText(font, c.sz, c.nAlign, &w, &h), 1);
        EXPECT_EQ(w, rcCalc.right - rcCalc.left);
        EXPECT_EQ(h, rcCalc.bottom - rcCalc.top);
    }
}

} // namespace

// Where wide lines go, from their first end (the paddle picture's arrow
// among them).
const int kSlopes[8][2] = {{25, 3},  {-20, 17}, {8, 7},  {-8, -7},
                           {3, -25}, {-8, 7},   {20, 0}, {0, -20}};

// The help's round shapes drawn by the system and by the picture agree
// pixel for pixel.
TEST(RenderPicture, RoundShapesAreTheSystemsOwn) {
    struct Case {
        const char* szWhat;
        void (*pfnGdi)(HDC hdc);
        void (*pfnPortable)(Picture* p);
    } const aCases[] = {
        {"the pad's body, a round rectangle and two ellipses, and circles",
         [](HDC hdc) {
             HRGN hrgn = CreateRoundRectRgn(140, 30, 301, 116, 60, 60);
             for (int x : {140, 240}) {
                 HRGN hrgnGrip = CreateEllipticRgn(x, 70, x + 61, 156);
                 CombineRgn(hrgn, hrgn, hrgnGrip, RGN_OR);
                 DeleteObject(hrgnGrip);
             }
             HBRUSH hbr = CreateSolidBrush(RGB(192, 192, 192));
             FillRgn(hdc, hrgn, hbr);
             FrameRgn(hdc, hrgn, (HBRUSH)GetStockObject(BLACK_BRUSH), 1, 1);
             DeleteObject(hrgn);
             HGDIOBJ hbrOld = SelectObject(hdc, hbr);
             for (int r : {6, 8, 12}) Ellipse(hdc, 40 * r - r, 20 - r, 40 * r + r + 1, 20 + r + 1);
             SelectObject(hdc, hbrOld);
             DeleteObject(hbr);
         },
         [](Picture* p) {
             const PictureRoundRect a[] = {{{140, 30, 301, 116}, 60, 60},
                                           {{140, 70, 201, 156}, 61, 86},
                                           {{240, 70, 301, 156}, 61, 86}};
             PictureFillShapes(p, a, 3, kPicLightGrey, kPicBlack);
             for (int r : {6, 8, 12})
                 PictureEllipse(p, PictureRect{40 * r - r, 20 - r, 40 * r + r + 1, 20 + r + 1},
                                kPicBlack, kPicLightGrey);
         }},
        {"wide lines of many slopes and widths",
         [](HDC hdc) {
             for (int w = 2; w <= 5; w++)
                 for (int k = 0; k < 8; k++) {
                     HPEN hpen = CreatePen(PS_SOLID, w, RGB(0, 0, 255));
                     HGDIOBJ hpenOld = SelectObject(hdc, hpen);
                     MoveToEx(hdc, 30 + 60 * k, 20 + 40 * (w - 2), NULL);
                     LineTo(hdc, 30 + 60 * k + kSlopes[k][0], 20 + 40 * (w - 2) + kSlopes[k][1]);
                     SelectObject(hdc, hpenOld);
                     DeleteObject(hpen);
                 }
         },
         [](Picture* p) {
             for (int w = 2; w <= 5; w++)
                 for (int k = 0; k < 8; k++)
                     PictureWideLine(p, 30 + 60 * k, 20 + 40 * (w - 2), 30 + 60 * k + kSlopes[k][0],
                                     20 + 40 * (w - 2) + kSlopes[k][1], w, PictureRGB(0, 0, 255));
         }},
    };
    for (const Case& c : aCases) {
        DibCanvas gdi(520, 170, RGB(255, 255, 255));
        c.pfnGdi(gdi.Dc());
        GdiFlush();
        std::vector<uint32_t> px(520 * 170, kPicWhite);
        Picture pic = PictureOver(px.data(), PictureRect{0, 0, 520, 170});
        c.pfnPortable(&pic);
        int nOff = 0, nFirst = -1;
        for (int i = 0; i < 520 * 170; i++)
            if (gdi.Pixels()[i] != px[size_t(i)] && nOff++ == 0) nFirst = i;
        EXPECT_EQ(nOff, 0) << c.szWhat << ", the first at " << nFirst % 520 << "," << nFirst / 520;
    }
}
