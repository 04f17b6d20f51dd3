// The command buttons and their tooltips on real windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine/game.h"
#include "resources/resource.h"
#include "scores/panel_win.h"
#include "shell/app.h"
#include "shell/buttons.h"
#include "shell/tooltips.h"
#include "tests/win32/support/dib_canvas.h"

namespace {

std::vector<std::string> aSounds;
GameHost hostButtons;
std::string sLastTip; // the last text the window's WM_NOTIFY answer gave

LRESULT CALLBACK ButtonsWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* p = (const DRAWITEMSTRUCT*)lParam;
        return DrawButton(p->hDC, (int)p->CtlID, p->itemState);
    }
    case WM_NOTIFY: {
        NMHDR* pnm = (NMHDR*)lParam;
        if (MainTooltipText(pnm)) sLastTip = ((NMTTDISPINFOA*)pnm)->lpszText;
        return 0;
    }
    default: return DefWindowProcA(hwnd, uMsg, wParam, lParam);
    }
}

HWND MakeMainWindow() {
    static ATOM atom = 0;
    if (!atom) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ButtonsWndProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
        wc.lpszClassName = "QuarrionButtonsTestMain";
        atom = RegisterClassA(&wc);
    }
    return CreateWindowExA(0, "QuarrionButtonsTestMain", "buttons test", WS_POPUP, 0, 0, APP_WIDTH,
                           APP_HEIGHT, NULL, NULL, GetModuleHandleA(NULL), NULL);
}

BOOL CALLBACK CollectNonStatic(HWND hwnd, LPARAM lParam) {
    char szClass[65] = "";
    GetClassNameA(hwnd, szClass, 64);
    if (strcmp(szClass, "STATIC") != 0) ((std::set<HWND>*)lParam)->insert(hwnd);
    return TRUE;
}

INT_PTR CALLBACK PlainDlgProc(HWND, UINT uMsg, WPARAM, LPARAM) {
    return uMsg == WM_INITDIALOG;
}

const char* const kUp[NUM_BUTTONS] = {"NEWBTNUP",  "OPTIONBTNUP", "SCOREBTNUP",
                                      "WARPBTNUP", "HELPBTNUP",   "QUITBTNUP"};
const char* const kDown[NUM_BUTTONS] = {"NEWBTNDOWN",  "OPTIONBTNDOWN", "SCOREBTNDOWN",
                                        "WARPBTNDOWN", "HELPBTNDOWN",   "QUITBTNDOWN"};

class Buttons : public testing::Test {
  protected:
    HWND hwndTestMain = NULL;
    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        HostInstallWin32();
        hostButtons = *pHost;
        hostButtons.PlayGameSound = [](const char* sz, int bAsync) {
            aSounds.push_back(std::string(sz) + (bAsync ? "" : " (sync)"));
            return 1;
        };
        HostInstall(&hostButtons);
        aSounds.clear();
        hwndTestMain = MakeMainWindow();
        ASSERT_TRUE(hwndTestMain);
        hwndMain = hwndTestMain;
    }
    void TearDown() override {
        DestroyTooltips();
        DestroyWindow(hwndTestMain);
        for (HWND& h : ahwndButton) h = NULL;
        game.hwndPanel = NULL;
        HostInstallWin32();
    }
    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
};

} // namespace

TEST_F(Buttons, SixOwnerDrawnButtonsDownTheRightColumn) {
    ASSERT_EQ(ButtonsCreate(hwndTestMain), 1);
    for (int i = 0; i < NUM_BUTTONS; i++) {
        SCOPED_TRACE(i);
        HWND hwnd = ahwndButton[i];
        ASSERT_TRUE(IsWindow(hwnd));
        EXPECT_EQ(GetParent(hwnd), hwndTestMain);
        EXPECT_EQ(GetDlgCtrlID(hwnd), 500 + i);
        char sz[64];
        GetClassNameA(hwnd, sz, sizeof sz);
        EXPECT_EQ(lstrcmpiA(sz, "button"), 0) << sz;
        GetWindowTextA(hwnd, sz, sizeof sz);
        EXPECT_STREQ(sz, "Button");
        LONG lStyle = GetWindowLongA(hwnd, GWL_STYLE);
        EXPECT_EQ(lStyle & BS_TYPEMASK, BS_OWNERDRAW);
        EXPECT_TRUE(lStyle & WS_CHILD);
        EXPECT_TRUE(lStyle & WS_VISIBLE);
        RECT rc;
        GetWindowRect(hwnd, &rc);
        MapWindowPoints(NULL, hwndTestMain, (POINT*)&rc, 2);
        EXPECT_EQ(rc.left, 511);
        EXPECT_EQ(rc.top, 40 + 70 * i);
        EXPECT_EQ(rc.right - rc.left, 83);
        EXPECT_EQ(rc.bottom - rc.top, 55);
    }
}

TEST_F(Buttons, DrawShowsReleasedOrPressedPictureAndClicksOnPress) {
    for (int i = 0; i < NUM_BUTTONS; i++) {
        SCOPED_TRACE(kUp[i]);
        HBITMAP hbmUp = LoadBitmapA(hInst, kUp[i]);
        HBITMAP hbmDown = LoadBitmapA(hInst, kDown[i]);
        ASSERT_TRUE(hbmUp && hbmDown);
        DibCanvas canvas(BUTTON_W, BUTTON_H, RGB(1, 2, 3));
        std::string sWhy;
        struct Case {
            UINT itemState;
            HBITMAP hbm;
            bool bClick;
        } const aCases[] = {
            {0, hbmUp, false},
            {ODS_SELECTED, hbmDown, true},
            {ODS_FOCUS, hbmUp, false}, // no focus rectangle either
            {ODS_SELECTED | ODS_FOCUS, hbmDown, true},
        };
        for (const Case& c : aCases) {
            aSounds.clear();
            canvas.Fill(RGB(1, 2, 3));
            EXPECT_EQ(DrawButton(canvas.Dc(), 500 + i, c.itemState), 1);
            EXPECT_TRUE(CanvasShowsBitmap(canvas, c.hbm, 0, 0, &sWhy)) << c.itemState << sWhy;
            EXPECT_EQ(aSounds, c.bClick ? std::vector<std::string>{"BUTTONCLICK"}
                                        : std::vector<std::string>{});
        }
        // The two pictures differ, so the test above tells them apart.
        EXPECT_FALSE(CanvasShowsBitmap(canvas, hbmUp, 0, 0));
        DeleteObject(hbmUp);
        DeleteObject(hbmDown);
    }
    // Ids that are no button draw nothing.
    for (int nId : {499, 506, 0}) {
        DibCanvas canvas(BUTTON_W, BUTTON_H, RGB(1, 2, 3));
        auto before = canvas.Snapshot();
        EXPECT_EQ(DrawButton(canvas.Dc(), nId, 0), 1);
        EXPECT_EQ(canvas.CountChanged(before), 0) << nId;
    }
}

TEST_F(Buttons, TooltipsCoverEveryNonStaticDescendant) {
    ASSERT_EQ(ButtonsCreate(hwndTestMain), 1);
    ASSERT_EQ(PanelCreate(hwndTestMain), 1);
    // A window of a class named "STATIC" in capitals is the one left out.
    // (A class of this module, taken away again at once: the dialogs' own
    // static controls must not find it.)
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = hInst;
    wc.lpszClassName = "STATIC";
    ASSERT_TRUE(RegisterClassA(&wc));
    HWND hwndStatic = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, hwndTestMain,
                                      (HMENU)77, hInst, NULL);
    struct ClassGone {
        HWND hwnd;
        ~ClassGone() {
            DestroyWindow(hwnd);
            UnregisterClassA("STATIC", hInst);
        }
    } classGone{hwndStatic};
    ASSERT_TRUE(hwndStatic);
    char szStaticClass[16];
    GetClassNameA(hwndStatic, szStaticClass, sizeof szStaticClass);
    ASSERT_STREQ(szStaticClass, "STATIC");
    ASSERT_EQ(CreateTooltips(hwndTestMain), 1);
    ASSERT_TRUE(IsWindow(tipsMain.hwndTip));
    char sz[64];
    GetClassNameA(tipsMain.hwndTip, sz, sizeof sz);
    EXPECT_EQ(lstrcmpiA(sz, TOOLTIPS_CLASSA), 0) << sz;
    EXPECT_EQ(tipsMain.hwndTipOwner, hwndTestMain);
    EXPECT_TRUE(tipsMain.hTipHook);

    // The tools: every descendant of the owner, grandchildren included,
    // except a window whose class is named exactly "STATIC".
    std::set<HWND> tools;
    int nTools = (int)SendMessageA(tipsMain.hwndTip, TTM_GETTOOLCOUNT, 0, 0);
    for (int i = 0; i < nTools; i++) {
        TOOLINFOA ti = {};
        ti.cbSize = offsetof(TOOLINFOA, lpszText) + sizeof(LPSTR); // without lParam
        ASSERT_TRUE(SendMessageA(tipsMain.hwndTip, TTM_ENUMTOOLSA, i, (LPARAM)&ti));
        EXPECT_TRUE(ti.uFlags & TTF_IDISHWND);
        EXPECT_FALSE(ti.uFlags & TTF_SUBCLASS);
        EXPECT_EQ(ti.hwnd, GetParent((HWND)ti.uId));
        tools.insert((HWND)ti.uId);
    }
    std::set<HWND> expected;
    EnumChildWindows(hwndTestMain, CollectNonStatic, (LPARAM)&expected);
    EXPECT_EQ(tools, expected);
    for (HWND h : ahwndButton) EXPECT_TRUE(tools.count(h));
    EXPECT_TRUE(tools.count((HWND)game.hwndPanel)); // the panel too, with no text
    EXPECT_TRUE(tools.count(GetDlgItem((HWND)game.hwndPanel, IDC_PANEL_SCORE)));
    EXPECT_FALSE(tools.count(hwndStatic));

    // The texts, asked for by the tooltip control through WM_NOTIFY.
    const char* const kTexts[NUM_BUTTONS] = {
        "Start a new game",    "Set game options",
        "Display high scores", "Enter a code to start a new level",
        "Show detailed help",  "Quit the game"};
    auto Ask = [](HWND hwndTool, UINT uCode, int* pAnswered) {
        NMTTDISPINFOA info = {};
        info.hdr.hwndFrom = tipsMain.hwndTip;
        info.hdr.idFrom = (UINT_PTR)hwndTool;
        info.hdr.code = uCode;
        info.lpszText = (LPSTR) "untouched";
        *pAnswered = MainTooltipText(&info.hdr);
        return std::string(info.lpszText);
    };
    int bAnswered = 0;
    for (int i = 0; i < NUM_BUTTONS; i++) {
        EXPECT_EQ(Ask(ahwndButton[i], TTN_NEEDTEXTA, &bAnswered), kTexts[i]);
        EXPECT_EQ(bAnswered, 1);
    }
    EXPECT_EQ(Ask((HWND)game.hwndPanel, TTN_NEEDTEXTA, &bAnswered), "");
    EXPECT_EQ(Ask(ahwndButton[0], TTN_SHOW, &bAnswered), "untouched");
    EXPECT_EQ(bAnswered, 0);

    EXPECT_EQ(DestroyTooltips(), 1);
    EXPECT_EQ(tipsMain.hwndTip, (HWND)NULL);
    EXPECT_EQ(tipsMain.hTipHook, (HHOOK)NULL);
    EXPECT_EQ(DestroyTooltips(), 1); // twice is harmless
}

TEST_F(Buttons, TooltipShowsOverTheWarpButton) {
    ASSERT_EQ(ButtonsCreate(hwndTestMain), 1);
    ASSERT_EQ(CreateTooltips(hwndTestMain), 1);
    ShowWindow(hwndTestMain, SW_SHOWNORMAL);
    UpdateWindow(hwndTestMain);
    Pump();
    sLastTip.clear();
    // The mouse rests on the Warp button: the hook relays its moves.
    POINT pt = {41, 27};
    ClientToScreen(ahwndButton[3], &pt);
    SetCursorPos(pt.x, pt.y);
    // One move only: each further one would start the control's delay anew.
    PostMessageA(ahwndButton[3], WM_MOUSEMOVE, 0, MAKELPARAM(41, 27));
    DWORD dwEnd = GetTickCount() + 4000;
    while (!IsWindowVisible(tipsMain.hwndTip) && GetTickCount() < dwEnd) {
        Pump();
        Sleep(20);
    }
    EXPECT_TRUE(IsWindowVisible(tipsMain.hwndTip));
    EXPECT_EQ(sLastTip, "Enter a code to start a new level");
}

TEST_F(Buttons, OptionsTooltipsNameEachControl) {
    HWND hwndDlg = CreateDialogParamA(hInst, "OPTIONSDLG", hwndTestMain, PlainDlgProc, 0);
    ASSERT_TRUE(hwndDlg);
    ASSERT_EQ(ButtonsCreate(hwndTestMain), 1);
    ASSERT_EQ(CreateTooltips(hwndTestMain), 1);
    ASSERT_EQ(CreateOptionsTooltips(hwndDlg), 1);
    EXPECT_TRUE(tipsOptions.hTipHook);
    EXPECT_NE(tipsOptions.hTipHook, tipsMain.hTipHook); // two hooks at once
    struct Case {
        int nId;
        const char* szText;
    } const aCases[] = {
        {IDOK, "Save changes"},
        {IDCANCEL, "Ignore changes"},
        {IDC_OPT_SLOW, "Tiles fall slowly"},
        {IDC_OPT_NORMAL, "Tiles fall at a medium pace"},
        {IDC_OPT_FAST, "Tiles fall quickly"},
        {IDC_OPT_INSANE, "Tiles come tumbling down"},
        {IDC_OPT_USEMENU, "Toggle main window menu on/off"},
        {IDC_OPT_SOUND, "Toggle sound on/off"},
        {IDC_OPT_MUSIC, "Toggle music on/off"},
        {IDC_OPT_CONTINUOUS, "Music changes with levels (if unchecked)"},
        {IDC_OPT_PATTERNS, "Allow background patterns to change with levels"},
        {IDC_OPT_SPEEDBOX, ""},
    };
    for (const Case& c : aCases) {
        HWND hwndCtl = GetDlgItem(hwndDlg, c.nId);
        ASSERT_TRUE(hwndCtl) << c.nId;
        NMTTDISPINFOA info = {};
        info.hdr.idFrom = (UINT_PTR)hwndCtl;
        info.hdr.code = TTN_NEEDTEXTA;
        EXPECT_EQ(OptionsTooltipText(&info.hdr), 1);
        EXPECT_STREQ(info.lpszText, c.szText) << c.nId;
        // The main window's table knows none of the options' ids.
        EXPECT_STREQ(MainTooltipFor(c.nId), "") << c.nId;
    }
    EXPECT_EQ(DestroyOptionsTooltips(), 1);
    EXPECT_EQ(tipsOptions.hwndTip, (HWND)NULL);
    EXPECT_TRUE(tipsMain.hTipHook); // the main set is left alone
    DestroyWindow(hwndDlg);
}
