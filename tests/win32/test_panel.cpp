// The side panel on a real window: placement, its four messages and the
// texts they leave in its controls, its colours, its paint, and a picture
// of it during a game.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "engine/game.h"
#include "render/goal.h"
#include "render/render_win.h"
#include "resources/resource.h"
#include "scores/panel.h"
#include "scores/panel_win.h"
#include "shell/app.h"
#include "shell/dialogs.h"
#include "tests/win32/support/dib_canvas.h"

namespace {

std::vector<std::string> aSounds;
GameHost hostPanel;

LRESULT CALLBACK PlainWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

// A grey main window of the game's size, and the engine's start-up on it.
HWND MakeMainWindow() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = PlainWndProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
        wc.lpszClassName = "QuarrionPanelTestMain";
        atom = RegisterClassA(&wc);
    }
    return CreateWindowExA(0, "QuarrionPanelTestMain", "panel test", WS_POPUP, 0, 0, APP_WIDTH,
                           APP_HEIGHT, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

std::string TextOf(HWND hwndPanel, int nId) {
    char sz[PANEL_TEXT_LEN] = "";
    GetDlgItemTextA(hwndPanel, nId, sz, sizeof sz);
    return sz;
}

// A bitmap resource's pixels against the canvas, away from the edges that
// the frames drawn after it cover.
bool ShowsInterior(const DibCanvas& canvas, const char* szName, int x, int y, int nInset,
                   std::string* psWhy) {
    HBITMAP hbm = LoadBitmapA(hInst, szName);
    int w = 0, h = 0;
    std::vector<uint32_t> px = BitmapPixels(hbm, &w, &h);
    DeleteObject(hbm);
    if (px.empty()) {
        *psWhy = std::string(szName) + " is missing";
        return false;
    }
    for (int j = nInset; j < h - nInset; j++)
        for (int i = nInset; i < w - nInset; i++)
            if (RgbOf(canvas.At(x + i, y + j)) != px[size_t(j) * size_t(w) + size_t(i)]) {
                *psWhy = std::string(szName) + " differs at " + std::to_string(i) + "," +
                         std::to_string(j);
                return false;
            }
    return true;
}

class Panel : public testing::Test {
  protected:
    HWND hwndTestMain = NULL;
    HWND hwndPanel = NULL;

    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        HostInstallWin32();
        hostPanel = *pHost;
        hostPanel.PlayGameSound = [](const char* sz, int bAsync) {
            aSounds.push_back(std::string(sz) + (bAsync ? "" : " (sync)"));
            return 1;
        };
        HostInstall(&hostPanel);
        aSounds.clear();
        hwndTestMain = MakeMainWindow();
        ASSERT_TRUE(hwndTestMain);
        hwndMain = hwndTestMain;
        game = GameState{};
        GameInit(hwndTestMain); // the goal names from the string table
        KillTimer(hwndTestMain, PLAY_TIMER_ID);
        hfontPanel = CreateAppFont("Arial", 10, 1, 0, nZoom);
        ASSERT_EQ(PanelCreate(hwndTestMain), 1);
        hwndPanel = (HWND)game.hwndPanel;
        game.nLevel = 1;
        game.nLives = 3;
    }
    void TearDown() override {
        RenderUsePlatform();
        DestroyWindow(hwndTestMain);
        game.hwndPanel = NULL;
        DeleteObject(hfontPanel);
        hfontPanel = NULL;
        HostInstallWin32();
    }
    LRESULT Send(UINT uMsg, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(hwndPanel, uMsg, wParam, lParam);
    }
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
};

} // namespace

TEST_F(Panel, IsAHiddenDisabledChildAtItsPlace) {
    ASSERT_TRUE(IsWindow(hwndPanel));
    EXPECT_EQ(GetParent(hwndPanel), hwndTestMain);
    EXPECT_FALSE(IsWindowVisible(hwndPanel));
    EXPECT_FALSE(IsWindowEnabled(hwndPanel));
    RECT rc;
    GetWindowRect(hwndPanel, &rc);
    MapWindowPoints(NULL, hwndTestMain, (POINT*)&rc, 2);
    EXPECT_EQ(rc.left, 29);
    EXPECT_EQ(rc.top, 34);
    EXPECT_EQ(rc.right - rc.left, 219);
    EXPECT_EQ(rc.bottom - rc.top, 416);
    GetClientRect(hwndPanel, &rc);
    EXPECT_EQ(rc.right, 217);
    EXPECT_EQ(rc.bottom, 414);
    // The three lines take the shell's panel font; the focus stays away.
    for (int nId : {IDC_PANEL_SCORE, IDC_PANEL_LEVEL, IDC_PANEL_GOAL})
        EXPECT_EQ((HFONT)SendDlgItemMessageA(hwndPanel, nId, WM_GETFONT, 0, 0), hfontPanel) << nId;
    EXPECT_NE(GetFocus(), hwndPanel);
    // The controls lie where the paint's fixed pixels expect them.
    struct Place {
        int nId;
        RECT rc;
    } const aPlaces[] = {
        {IDC_PANEL_TITLEFRAME, {9, 12, 210, 106}}, {IDC_PANEL_LEVEL, {14, 137, 203, 156}},
        {IDC_PANEL_SCORE, {14, 191, 203, 210}},    {IDC_PANEL_LIVESFRAME, {9, 236, 210, 277}},
        {IDC_PANEL_GOAL, {14, 376, 203, 395}},     {IDC_PANEL_GOALFRAME, {9, 364, 210, 404}},
    };
    for (const Place& p : aPlaces) {
        GetWindowRect(GetDlgItem(hwndPanel, p.nId), &rc);
        MapWindowPoints(NULL, hwndPanel, (POINT*)&rc, 2);
        EXPECT_TRUE(EqualRect(&rc, &p.rc))
            << p.nId << ": " << rc.left << "," << rc.top << "," << rc.right << "," << rc.bottom;
    }
}

TEST_F(Panel, MessagesSetTheLines) {
    EXPECT_EQ(Send(WM_PANELLEVEL, 7, 0), TRUE);
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_LEVEL), " Level 07");
    Send(WM_PANELLEVEL, 50, 0);
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_LEVEL), " Level 50");

    game.lScore = 4321;
    EXPECT_EQ(Send(WM_PANELSCORE, 0, 4321), TRUE);
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_SCORE), " Score: 00004321");
    EXPECT_EQ(game.lPanelScore, 4321u);

    // The goal line by the current level's kind, with the names the string
    // table holds.
    struct Case {
        int nLevel, nGoalLeft;
        const char* szLine;
    } const aCases[] = {
        {1, 1500, " 1500 Points To Go"},
        {1, 1, " 1 Point To Go"},
        {1, 0, " 0 Points To Go"},
    };
    for (const Case& c : aCases) {
        game.nLevel = c.nLevel;
        game.nGoalLeft = c.nGoalLeft;
        EXPECT_EQ(Send(WM_PANELGOAL, 0, 0), TRUE);
        EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_GOAL), c.szLine);
    }
    // Every pattern level: " 1 <kind without its plural> To Go".
    for (int nLevel = 1; nLevel <= NUM_LEVELS; nLevel++) {
        game.nLevel = nLevel;
        game.nGoalLeft = 1;
        Send(WM_PANELGOAL, 0, 0);
        std::string sName = aGoalKindName[aLevelGoal[nLevel].nKind];
        ASSERT_GT(sName.size(), 2u) << "goal kind names missing";
        EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_GOAL),
                  " 1" + sName.substr(0, sName.size() - 1) + " To Go")
            << nLevel;
    }
    EXPECT_TRUE(aSounds.empty());
}

TEST_F(Panel, ScoreMessageGrantsTheExtraLife) {
    game.lPanelScore = 99990;
    game.lScore = 100010;
    Send(WM_PANELSCORE, 0, 100010);
    EXPECT_EQ(game.nLives, 4);
    EXPECT_EQ(aSounds, std::vector<std::string>{"NEWGUY"});
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_SCORE), " Score: 00100010");

    game.lScore = 100500;
    Send(WM_PANELSCORE, 0, 100500);
    EXPECT_EQ(game.nLives, 4);
    EXPECT_EQ(aSounds.size(), 1u);

    game.nLives = 5;
    game.lScore = 500000;
    Send(WM_PANELSCORE, 0, 500000);
    EXPECT_EQ(game.nLives, 5);
    EXPECT_EQ(aSounds.size(), 1u);
}

TEST_F(Panel, ColoursOfTheLines) {
    HDC hdc = CreateCompatibleDC(NULL);
    struct Case {
        int nId;
        COLORREF crText;
        bool bOpaqueWhite;
    } const aCases[] = {
        {IDC_PANEL_SCORE, RGB(255, 0, 0), true},
        {IDC_PANEL_LEVEL, RGB(0, 0, 255), true},
        {IDC_PANEL_GOAL, RGB(0, 127, 0), true},
        {IDC_PANEL_TITLEFRAME, RGB(0, 0, 255), false},
    };
    for (const Case& c : aCases) {
        SetBkColor(hdc, RGB(9, 9, 9));
        SetBkMode(hdc, TRANSPARENT);
        LRESULT lBrush = Send(WM_CTLCOLORSTATIC, (WPARAM)hdc, (LPARAM)GetDlgItem(hwndPanel, c.nId));
        EXPECT_EQ((HGDIOBJ)lBrush, GetStockObject(WHITE_BRUSH)) << c.nId;
        EXPECT_EQ(GetTextColor(hdc), c.crText) << c.nId;
        if (c.bOpaqueWhite) {
            EXPECT_EQ(GetBkColor(hdc), RGB(255, 255, 255)) << c.nId;
            EXPECT_EQ(GetBkMode(hdc), OPAQUE) << c.nId;
        }
    }
    EXPECT_EQ((HGDIOBJ)Send(WM_CTLCOLORDLG, (WPARAM)hdc, (LPARAM)hwndPanel),
              GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetTextColor(hdc), RGB(0, 0, 255));
    DeleteDC(hdc);
}

TEST_F(Panel, PaintComposesPicturesAndLives) {
    const COLORREF kGrey = RGB(192, 192, 192), kWhite = RGB(255, 255, 255);
    // The first level of a points, a tiles and a pattern goal.
    struct Case {
        int nKind;
        const char* szGoal;
    } const aCases[] = {{GOAL_POINTS, "GOALPOINTS"}, {GOAL_TILES, "GOALTILES"}, {GOAL_X9, "GOAL"}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szGoal);
        game.nLevel = 1;
        while (game.nLevel < NUM_LEVELS && aLevelGoal[game.nLevel].nKind != c.nKind) game.nLevel++;
        ASSERT_EQ(GoalKind(), c.nKind);
        game.nLives = 3;
        DibCanvas canvas(PANEL_W, PANEL_PAINT_H, RGB(1, 2, 3));
        ASSERT_EQ(PanelPaintInto(hwndPanel, canvas.Dc()), 1);
        EXPECT_EQ(canvas.At(2, 2), kGrey);
        EXPECT_EQ(canvas.At(215, 410), kGrey);
        EXPECT_EQ(canvas.At(110, 280), kGrey); // between the lives box and the goal
        std::string sWhy;
        EXPECT_TRUE(ShowsInterior(canvas, "TITLE", 9, 13, 6, &sWhy)) << sWhy;
        EXPECT_TRUE(ShowsInterior(canvas, c.szGoal, 9, 291, 6, &sWhy)) << sWhy;
        // The lives box: black outline, three icons, white after them.
        EXPECT_EQ(canvas.At(14, 258), RGB(0, 0, 0));
        EXPECT_EQ(canvas.At(198, 258), RGB(0, 0, 0));
        EXPECT_EQ(canvas.At(100, 249), RGB(0, 0, 0));
        HBITMAP hbmLife = LoadBitmapA(hInst, "LIFE");
        for (int i = 0; i < 3; i++)
            EXPECT_TRUE(CanvasShowsBitmap(canvas, hbmLife, 18 + 25 * i, 255, &sWhy)) << sWhy;
        EXPECT_FALSE(CanvasShowsBitmap(canvas, hbmLife, 18 + 25 * 3, 255));
        DeleteObject(hbmLife);
        for (int x = 18 + 75; x < 198; x++) ASSERT_EQ(canvas.At(x, 260), kWhite) << x;
    }
}

TEST_F(Panel, LivesMessageWipesALostLife) {
    // The panel's own context is a memory canvas here, so its pixels can be read.
    static DibCanvas* pCanvas;
    DibCanvas canvas(PANEL_W, PANEL_PAINT_H, RGB(1, 2, 3));
    pCanvas = &canvas;
    pfnRenderGetDC = [](HWND) { return pCanvas->Dc(); };
    pfnRenderReleaseDC = [](HWND, HDC) { return 1; };
    game.nLives = 3;
    PanelPaintInto(hwndPanel, canvas.Dc());
    HBITMAP hbmLife = LoadBitmapA(hInst, "LIFE");
    ASSERT_TRUE(CanvasShowsBitmap(canvas, hbmLife, 68, 255));
    game.nLives = 2;
    EXPECT_EQ(Send(WM_PANELLIVES, 2, 0), TRUE);
    for (int y = 255; y < 266; y++)
        for (int x = 68; x < 84; x++)
            ASSERT_EQ(canvas.At(x, y), RGB(255, 255, 255)) << x << "," << y;
    EXPECT_TRUE(CanvasShowsBitmap(canvas, hbmLife, 18, 255));
    EXPECT_TRUE(CanvasShowsBitmap(canvas, hbmLife, 43, 255));
    // An extra life draws its icon at once.
    game.nLives = 2;
    game.lPanelScore = 0;
    game.lScore = 100000;
    Send(WM_PANELSCORE, 0, 100000);
    EXPECT_TRUE(CanvasShowsBitmap(canvas, hbmLife, 68, 255));
    DeleteObject(hbmLife);
}

TEST_F(Panel, RepaintBringsEveryLineUpAndGrantsNoSecondLife) {
    ShowWindow(hwndTestMain, SW_SHOWNA);
    ShowWindow(hwndPanel, SW_SHOWNORMAL);
    game.nLevel = 12;
    game.nGoalLeft = 3;
    game.lScore = 150000;
    game.lPanelScore = 0;
    game.nLives = 3;
    for (int i = 0; i < 2; i++) {
        InvalidateRect(hwndPanel, NULL, TRUE);
        UpdateWindow(hwndPanel);
    }
    EXPECT_EQ(game.nLives, 4);
    EXPECT_EQ(aSounds, std::vector<std::string>{"NEWGUY"});
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_SCORE), " Score: 00150000");
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_LEVEL), " Level 12");
    char szGoal[PANEL_TEXT_LEN];
    PanelGoalText(3, aLevelGoal[12].nKind, szGoal, sizeof szGoal);
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_GOAL), szGoal);
}

TEST_F(Panel, ScreenshotDuringAGame) {
    game.nLevel = 27;
    game.nGoalLeft = aLevelGoal[27].nAmount > 1 ? aLevelGoal[27].nAmount - 1 : 1;
    game.lScore = 1234560;
    game.lPanelScore = game.lScore;
    game.nLives = 4;
    game.bGameRunning = 1;
    ShowWindow(hwndTestMain, SW_SHOWNA);
    ShowWindow(hwndPanel, SW_SHOWNORMAL);
    UpdateWindow(hwndTestMain);
    UpdateWindow(hwndPanel);
    for (int i = 0; i < 3; i++) ScreenDrawGoalPicture(); // an example in a pattern goal's picture
    Pump();
    GdiFlush();
    Sleep(200);
    Pump();

    // Read back through the main window's own context, so that windows of
    // other test processes on the same screen do not matter.
    RECT rc;
    GetWindowRect(hwndPanel, &rc);
    MapWindowPoints(NULL, hwndTestMain, (POINT*)&rc, 2);
    DibCanvas canvas(rc.right - rc.left, rc.bottom - rc.top);
    HDC hdcMain = GetDC(hwndTestMain);
    BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdcMain, rc.left, rc.top, SRCCOPY);
    ReleaseDC(hwndTestMain, hdcMain);
    EXPECT_TRUE(canvas.SavePng(ScreenshotPath("panel_level27.png")));
    // What the screen shows is the panel: its grey and its white lives box.
    EXPECT_EQ(canvas.At(4, 140), RGB(192, 192, 192));
    EXPECT_EQ(canvas.At(190, 260), RGB(255, 255, 255));
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_SCORE), " Score: 01234560");
    EXPECT_EQ(TextOf(hwndPanel, IDC_PANEL_LEVEL), " Level 27");
}
