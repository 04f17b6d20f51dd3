// Every drawing routine gives back what it makes: repeated repaints, title
// ticks, paddle ticks and goal pictures leave the process's GDI objects as
// they were, and the contexts they draw on keep their own pen, brush and
// bitmap selected.
#include "shell/host_win.h"
#include "tests/win32/support/gdi_count.h"
#include "tests/win32/test_render_stage.h"

namespace {

struct Selection {
    HGDIOBJ hPen, hBrush, hBitmap, hFont;
    explicit Selection(HDC hdc)
        : hPen(GetCurrentObject(hdc, OBJ_PEN)), hBrush(GetCurrentObject(hdc, OBJ_BRUSH)),
          hBitmap(GetCurrentObject(hdc, OBJ_BITMAP)), hFont(GetCurrentObject(hdc, OBJ_FONT)) {}
    bool operator==(const Selection& o) const {
        return hPen == o.hPen && hBrush == o.hBrush && hBitmap == o.hBitmap && hFont == o.hFont;
    }
};

struct Routine {
    const char* szName;
    void (*pfnRun)(RenderStage& stage);
};

const Routine kRoutines[] = {
    {"title repaint",
     [](RenderStage& s) {
         game.bGameRunning = 0;
         PaintMainWindow(s.main.Dc());
     }},
    {"game repaint",
     [](RenderStage& s) {
         s.GameOn(28);
         PaintMainWindow(s.main.Dc());
     }},
    {"paused repaint",
     [](RenderStage& s) {
         s.GameOn(45);
         game.bPaused = 1;
         PaintMainWindow(s.main.Dc());
     }},
    {"title ticks",
     [](RenderStage& s) {
         game.bGameRunning = 0;
         for (int i = 0; i < 30; i++) {
             TitleTick(s.hwndStageMain);
             ButtonChaseTick(s.hwndStageMain);
         }
         s.hwndActive = NULL;
         TitleTick(s.hwndStageMain);
         s.hwndActive = s.hwndStageMain;
     }},
    {"paddle ticks",
     [](RenderStage& s) {
         s.GameOn(1);
         for (int i = 0; i < 30; i++) {
             s.dwNow += 32;
             if (i == 5) ScreenStartPaddleFlash();
             ScreenPaddleLightTick();
         }
         ScreenDrawPaddleStack();
         ScreenErasePaddleStack();
     }},
    {"goal pictures",
     [](RenderStage& s) {
         for (int nLevel : {1, 2, 3, 5, 27, 42, 50}) {
             game.nLevel = nLevel;
             ScreenDrawGoalPicture();
             DrawGoalPictureInto(s.panel.Dc());
         }
     }},
    {"frames and logo",
     [](RenderStage& s) {
         DrawExtrudedFrame(s.main.Dc(), RECT{29, 34, 479, 450}, 10, 1);
         DrawSunkenBevel(s.main.Dc(), 10, 10, 100, 100, 3);
         ShowPauseLogo(1);
         ShowPauseLogo(0);
         s.missing = {"PAUSEDLOGO"};
         ShowPauseLogo(1);
         s.missing.clear();
     }},
    {"engine operations",
     [](RenderStage& s) {
         s.GameOn(1);
         ScreenBeginDrawing();
         ScreenDrawBins();
         ScreenDrawTileFrame(1, 2, aLaneX[0], 50);
         ScreenBlankRect(91, 231, 424, 260);
         ScreenDrawPaddleStack();
         ScreenEndDrawing();
     }},
};

TEST(RenderResources, TheCounterSeesAnObjectMadeAndDeleted) {
    const long n0 = GdiObjectCount();
    ASSERT_GT(n0, 0);
    HPEN hpen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    EXPECT_EQ(GdiObjectCount(), n0 + 1);
    DeleteObject(hpen);
    EXPECT_EQ(GdiObjectCount(), n0);
}

TEST(RenderResources, RepeatedDrawingLeavesGdiObjectsUnchanged) {
    RenderStage stage;
    for (const Routine& r : kRoutines) r.pfnRun(stage); // first-use allocations of the platform
    for (const Routine& r : kRoutines) {
        SCOPED_TRACE(r.szName);
        const long nBefore = GdiObjectCount();
        const Selection selMain(stage.main.Dc()), selPanel(stage.panel.Dc());
        for (int i = 0; i < 5; i++) r.pfnRun(stage);
        EXPECT_EQ(GdiObjectCount(), nBefore);
        EXPECT_TRUE(Selection(stage.main.Dc()) == selMain) << "a selection left in place";
        EXPECT_TRUE(Selection(stage.panel.Dc()) == selPanel) << "a selection left in place";
        EXPECT_EQ(stage.nDCsTaken, stage.nDCsReleased);
    }
}

// The same with the game's own artwork. Its two-colour bitmaps (the credits,
// the paddle's eraser) load as colour bitmaps of the screen's format, which
// is what keeps the credits blue on white.
TEST(RenderResources, RealArtworkLeavesGdiObjectsUnchanged) {
    RenderStage stage(true);
    LoadBitmaps();
    LoadCreditsBitmap();
    for (const Routine& r : kRoutines) r.pfnRun(stage);
    const long nBefore = GdiObjectCount();
    for (int i = 0; i < 3; i++)
        for (const Routine& r : kRoutines) r.pfnRun(stage);
    EXPECT_EQ(GdiObjectCount(), nBefore);
}

} // namespace
