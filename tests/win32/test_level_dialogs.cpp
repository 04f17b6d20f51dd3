// The level-complete and warp dialogs, opened modally from the test and
// driven by a thread timer: read their lines, type codes, press buttons.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <functional>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/warp.h"
#include "resources/resource.h"
#include "scores/leveldone.h"
#include "scores/leveldone_win.h"
#include "scores/warpdlg_win.h"
#include "shell/app.h"
#include "shell/dialogs.h"
#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/quiet_host.h"
#include "tests/win32/support/own_window.h"

namespace {

// --- A script that drives a modal dialog ---------------------------------------------
//
// Each step is called on a timer tick with the dialog's window until it
// returns true; then the next step starts. A dialog still open 3 s after its
// script has ended is closed with kStuck, so a test never hangs.
typedef std::function<bool(HWND)> Step;
const INT_PTR kStuck = -77;

std::vector<Step> aScript;
size_t iStep;
DWORD dwScriptStart, dwScriptEnd;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND hwndDlg = FindOwnWindow();
    if (!hwndDlg) return;
    if (GetTickCount() - dwScriptStart > 15000) {
        // A step that never comes true: give up, even from inside a menu.
        EndMenu();
        EndDialog(hwndDlg, kStuck);
        return;
    }
    if (iStep < aScript.size()) {
        if (aScript[iStep](hwndDlg)) iStep++;
        if (iStep == aScript.size()) dwScriptEnd = GetTickCount();
    } else if (GetTickCount() - dwScriptEnd > 3000) {
        EndDialog(hwndDlg, kStuck);
    }
}

// Runs open() (which shows a modal dialog) with the script driving it;
// returns what open() returned. *pnStepsDone tells how far the script came.
int RunScripted(const std::function<int()>& open, std::vector<Step> aSteps,
                size_t* pnStepsDone = nullptr) {
    aScript = std::move(aSteps);
    iStep = 0;
    dwScriptStart = dwScriptEnd = GetTickCount();
    UINT_PTR idTimer = SetTimer(NULL, 0, 40, ScriptTick);
    int nResult = open();
    KillTimer(NULL, idTimer);
    if (pnStepsDone) *pnStepsDone = iStep;
    return nResult;
}

Step Do(std::function<void(HWND)> fn) {
    return [fn](HWND hwnd) {
        fn(hwnd);
        return true;
    };
}

// Waits nMs from the step's first call.
Step Wait(DWORD nMs) {
    auto pStart = std::make_shared<DWORD>(0);
    return [pStart, nMs](HWND) {
        if (!*pStart) *pStart = GetTickCount() | 1;
        return GetTickCount() - *pStart >= nMs;
    };
}

Step Press(int nId) {
    return Do([nId](HWND hwnd) { SendDlgItemMessageA(hwnd, nId, BM_CLICK, 0, 0); });
}

// A key as the message loop would deliver it to the focused control.
Step Key(UINT vk) {
    return Do([vk](HWND hwnd) {
        HWND hwndTo = GetFocus() ? GetFocus() : hwnd;
        PostMessageA(hwndTo, WM_KEYDOWN, vk, 1);
        PostMessageA(hwndTo, WM_KEYUP, vk, 0xC0000001);
    });
}

std::string Text(HWND hwndDlg, int nId) {
    char sz[128] = "";
    GetDlgItemTextA(hwndDlg, nId, sz, sizeof sz);
    return sz;
}

// The window with its frame: the frame as the screen shows it, the client
// area read from the window's own surface (which the screen may show late).
void Screenshot(HWND hwnd, const char* szFile, DibCanvas** ppCanvas = nullptr) {
    RECT rc, rcClient;
    GetWindowRect(hwnd, &rc);
    GetClientRect(hwnd, &rcClient);
    POINT pt = {0, 0};
    ClientToScreen(hwnd, &pt);
    auto* pCanvas = new DibCanvas(rc.right - rc.left, rc.bottom - rc.top, RGB(1, 2, 3));
    HDC hdc = GetDC(NULL);
    BitBlt(pCanvas->Dc(), 0, 0, pCanvas->W(), pCanvas->H(), hdc, rc.left, rc.top, SRCCOPY);
    ReleaseDC(NULL, hdc);
    hdc = GetDC(hwnd);
    BitBlt(pCanvas->Dc(), pt.x - rc.left, pt.y - rc.top, rcClient.right, rcClient.bottom, hdc, 0, 0,
           SRCCOPY);
    ReleaseDC(hwnd, hdc);
    EXPECT_TRUE(pCanvas->SavePng(ScreenshotPath(szFile))) << szFile;
    if (ppCanvas)
        *ppCanvas = pCanvas;
    else
        delete pCanvas;
}

// --- The game around the dialogs ----------------------------------------------------------

std::vector<std::string> aSounds;
GameHost hostDialogs;
const GameHost* pHostBefore;

class LevelDialogs : public testing::Test {
  protected:
    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        pHostBefore = pHost;
        HostInstallWin32();
        hostDialogs = *pHost;
        hostDialogs.PlayGameSound = [](const char* sz, int bAsync) {
            aSounds.push_back(std::string(sz) + (bAsync ? "" : " (sync)"));
            return 1;
        };
        hostDialogs.PlayBeep = [](int nType) {
            aSounds.push_back("beep " + std::to_string(nType));
            return 1;
        };
        // No music, files, timers or posted messages from the start-up.
        HostQuietStartup(hostDialogs);
        hostDialogs.PostResolveLines = []() { return 0; };
        HostInstall(&hostDialogs);
        game = GameState{};
        GameInit(NULL); // the goal names come from the string table
        aSounds.clear();
        if (!hfontDialog) {
            hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
            bOwnFont = true;
        }
    }
    void TearDown() override {
        if (bOwnFont) {
            DeleteObject(hfontDialog);
            hfontDialog = NULL;
        }
        HostInstall(pHostBefore ? pHostBefore : &hostDialogs);
        if (!pHostBefore) HostInstallWin32();
    }

    // A running game at the end of level nLevel.
    static void LevelFinished(int nLevel, int nCaught, int nEmpty, uint32_t lScore) {
        game.nLevel = nLevel;
        LevelStart();
        game.bGameRunning = 1;
        game.bPaused = 1;
        game.lScore = lScore;
        game.nTilesCaught = nCaught;
        for (int i = 0; i < NUM_CELLS; i++)
            game.aBinCell[i] = i < NUM_CELLS - nEmpty ? TILE_BLUE : TILE_NONE;
    }

    static std::string PasswordOf(int nLevel) {
        char sz[WARP_SLOT_LEN];
        WarpPasswordForLevel(nLevel, sz);
        return sz;
    }

    bool bOwnFont = false;
};

// --- Level complete ---------------------------------------------------------------------

TEST_F(LevelDialogs, LevelDoneShowsTheBonusIgnoresEscapeAndContinues) {
    LevelFinished(4, 40, 18, 1000);
    std::vector<std::string> aszLine;
    uint32_t lScoreWhileOpen = 0;
    HWND hwndSeen = NULL;
    size_t nDone = 0;
    int nResult =
        RunScripted([] { return ShowLevelDoneDlg(NULL); },
                    {
                        Do([&](HWND hwnd) {
                            hwndSeen = hwnd;
                            for (int id = IDC_LD_TITLE; id <= IDC_LD_NEXTLINE; id++)
                                aszLine.push_back(Text(hwnd, id));
                            lScoreWhileOpen = game.lScore;
                        }),
                        Key(VK_ESCAPE),
                        Do([](HWND hwnd) { PostMessageA(hwnd, WM_COMMAND, IDCANCEL, 0); }),
                        Do([](HWND hwnd) { PostMessageA(hwnd, WM_CLOSE, 0, 0); }),
                        Wait(200),
                        Do([&](HWND hwnd) {
                            EXPECT_EQ(hwnd, hwndSeen); // still the same dialog
                            EXPECT_EQ(game.nLevel, 4);
                        }),
                        Press(IDOK),
                    },
                    &nDone);
    EXPECT_EQ(nDone, 7u);
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(aszLine, (std::vector<std::string>{"Level 4 Complete", "Tiles Caught: 40 (x25)",
                                                 "Empty Bins: 18 (x200)", "BONUS: 4600 Points",
                                                 "Goal For Next Level", "50 Tiles"}));
    EXPECT_EQ(lScoreWhileOpen, 5600u);
    EXPECT_EQ(game.nLevel, 5);
    EXPECT_EQ(game.nGoalLeft, aLevelGoal[5].nAmount); // level 5 is set up
    EXPECT_TRUE(aSounds.empty());
}

TEST_F(LevelDialogs, LevelDoneShowsThePasswordBeforeLevelSix) {
    LevelFinished(5, 10, 25, 0);
    std::string sHead, sLine;
    int nLevelWhileShown = 0;
    size_t nDone = 0;
    int nResult = RunScripted([] { return ShowLevelDoneDlg(NULL); },
                              {
                                  Press(IDOK), Wait(100), Do([&](HWND hwnd) {
                                      sHead = Text(hwnd, IDC_LD_NEXTHEAD);
                                      sLine = Text(hwnd, IDC_LD_NEXTLINE);
                                      nLevelWhileShown = game.nLevel;
                                  }),
                                  Key(VK_RETURN), // Enter is Continue
                              },
                              &nDone);
    EXPECT_EQ(nDone, 4u);
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(sHead, "Warp Password");
    EXPECT_EQ(sLine, PasswordOf(6));
    EXPECT_EQ(nLevelWhileShown, 6);
    EXPECT_EQ(game.nLevel, 6);
    EXPECT_EQ(game.lScore, 250u + 5000u);
}

TEST_F(LevelDialogs, LevelDoneAfterLevelFiftyWinsTheGame) {
    LevelFinished(NUM_LEVELS, 0, 0, 777);
    std::string sHead, sLine;
    int nResult = RunScripted([] { return ShowLevelDoneDlg(NULL); },
                              {
                                  Do([&](HWND hwnd) {
                                      sHead = Text(hwnd, IDC_LD_NEXTHEAD);
                                      sLine = Text(hwnd, IDC_LD_NEXTLINE);
                                  }),
                                  Press(IDOK),
                              });
    EXPECT_EQ(nResult, 2000);
    EXPECT_EQ(sHead, "Congratulations!");
    EXPECT_EQ(sLine, "You've won!");
    EXPECT_EQ(aSounds, (std::vector<std::string>{"GAMEWON"}));
    EXPECT_EQ(game.nLevel, 1);
    EXPECT_EQ(game.bGameRunning, 0);
    EXPECT_EQ(game.bPaused, 1);
}

TEST_F(LevelDialogs, LevelDoneWithoutItsTemplateStillEndsTheLevel) {
    // A module without the template: no dialog can open, yet the level must
    // not go on unset.
    hInst = GetModuleHandleA("kernel32.dll");
    ASSERT_TRUE(hInst);
    LevelFinished(10, 4, 25, 0);
    EXPECT_EQ(ShowLevelDoneDlg(NULL), 1);
    EXPECT_EQ(game.nLevel, 11);
    EXPECT_EQ(game.nGoalLeft, aLevelGoal[11].nAmount);
    EXPECT_EQ(game.lScore, 100u + 5000u);

    LevelFinished(NUM_LEVELS, 0, 0, 0);
    EXPECT_EQ(ShowLevelDoneDlg(NULL), 2000);
    EXPECT_EQ(game.nLevel, 1);
    hInst = GetModuleHandleA(NULL);
}

// Waits until the border has changed colour.
Step FlashedOnce() {
    auto pFrom = std::make_shared<int>(-1);
    return [pFrom](HWND) {
        if (*pFrom < 0) *pFrom = levelDone.nColorIndex;
        return levelDone.nColorIndex != *pFrom;
    };
}

TEST_F(LevelDialogs, LevelDoneLookFlashingBorderBevelFontAndColours) {
    LevelFinished(12, 33, 7, 42000);
    DibCanvas* pFirst = nullptr;
    DibCanvas* pLater = nullptr;
    HFONT hfontSeen = NULL;
    RECT rcClient = {}, rcWindow = {};
    POINT ptClient = {};
    RunScripted([] { return ShowLevelDoneDlg(NULL); },
                {
                    FlashedOnce(),
                    FlashedOnce(),
                    Do([&](HWND hwnd) {
                        hfontSeen =
                            (HFONT)SendDlgItemMessageA(hwnd, IDC_LD_TITLE, WM_GETFONT, 0, 0);
                        GetClientRect(hwnd, &rcClient);
                        GetWindowRect(hwnd, &rcWindow);
                        ClientToScreen(hwnd, &ptClient);
                        Screenshot(hwnd, "dialog_leveldone.png", &pFirst);
                    }),
                    FlashedOnce(),
                    Do([&](HWND hwnd) { Screenshot(hwnd, "dialog_leveldone_2.png", &pLater); }),
                    Press(IDOK),
                });
    ASSERT_TRUE(pFirst && pLater);
    EXPECT_EQ(hfontSeen, hfontDialog);

    // The dialog is centred on the screen by its outer size.
    EXPECT_EQ(rcWindow.left,
              GetSystemMetrics(SM_CXSCREEN) / 2 - (rcWindow.right - rcWindow.left) / 2);

    // Client pixels in the window's picture.
    const int dx = ptClient.x - rcWindow.left, dy = ptClient.y - rcWindow.top;
    auto at = [&](DibCanvas* p, int x, int y) { return p->At(dx + x, dy + y); };
    const int W = rcClient.right, H = rcClient.bottom;
    std::vector<COLORREF> aFlash(aLevelDoneFlashColor, aLevelDoneFlashColor + 6);
    auto isFlash = [&](COLORREF cr) {
        return std::find(aFlash.begin(), aFlash.end(), cr) != aFlash.end();
    };
    // Each band of the border is one flash colour from edge to edge ...
    for (DibCanvas* p : {pFirst, pLater}) {
        COLORREF cr = at(p, 0, 0);
        EXPECT_TRUE(isFlash(cr));
        for (POINT pt :
             {POINT{W - 1, 0}, POINT{0, H - 1}, POINT{W - 1, H - 1}, POINT{27, 27},
              POINT{W / 2, 10}, POINT{10, H / 2}, POINT{W - 29, H / 2}, POINT{W / 2, H - 29}})
            EXPECT_EQ(at(p, pt.x, pt.y), cr) << pt.x << "," << pt.y;
        // ... with a black line inside it, then the sunken bevel.
        EXPECT_EQ(at(p, 28, 28), RGB(0, 0, 0));
        EXPECT_EQ(at(p, 28, 29 + 10), RGB(0, 0, 0));
        EXPECT_EQ(at(p, W - 30, 29 + 10), RGB(0, 0, 0));
        EXPECT_EQ(at(p, 29, 29 + 10), RGB(127, 127, 127));
        EXPECT_EQ(at(p, W / 2, 29), RGB(127, 127, 127));
        EXPECT_EQ(at(p, W - 31, 29 + 10), RGB(255, 255, 255));
        EXPECT_EQ(at(p, W / 2, H - 31), RGB(255, 255, 255));
    }
    // 160 ms later the border has moved on to another colour.
    EXPECT_NE(at(pFirst, 0, 0), at(pLater, 0, 0));

    // The lines are blue on light grey.
    int nBlue = 0, nGrey = 0;
    for (int y = 40; y < H - 40; y++)
        for (int x = 35; x < W - 35; x++) {
            COLORREF cr = at(pFirst, x, y);
            nBlue += cr == RGB(0, 0, 255);
            nGrey += cr == RGB(192, 192, 192);
        }
    EXPECT_GT(nBlue, 200);
    EXPECT_GT(nGrey, 2000);
    delete pFirst;
    delete pLater;
}

// --- Warp ------------------------------------------------------------------------------------

Step Type(const std::string& s) {
    return Do([s](HWND hwnd) { SetDlgItemTextA(hwnd, IDC_WARP_CODE, s.c_str()); });
}

// Characters as typed on the keyboard, one WM_CHAR each, into the code field.
Step TypeKeys(const std::string& s) {
    return Do([s](HWND hwnd) {
        HWND hwndEdit = GetDlgItem(hwnd, IDC_WARP_CODE);
        for (char ch : s) SendMessageA(hwndEdit, WM_CHAR, (WPARAM)(unsigned char)ch, 1);
    });
}

TEST_F(LevelDialogs, WarpPasswordGoesForwardAndOnlyBeepsOtherwise) {
    const std::string s11 = PasswordOf(11);
    game.nLevel = 3;
    int nResult = RunScripted([] { return ShowWarpDlg(NULL); }, {Type(s11), Press(IDOK)});
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(game.nLevel, 11);
    EXPECT_EQ(aSounds, (std::vector<std::string>{"WARP"}));

    // At level 11 the same password only beeps (the simple beep): the dialog
    // stays as it was.
    aSounds.clear();
    std::string sAfter;
    size_t nDone = 0;
    nResult =
        RunScripted([] { return ShowWarpDlg(NULL); },
                    {Type(s11), Press(IDOK), Wait(150),
                     Do([&](HWND hwnd) { sAfter = Text(hwnd, IDC_WARP_CODE); }), Press(IDCANCEL)},
                    &nDone);
    EXPECT_EQ(nDone, 5u);
    EXPECT_EQ(nResult, 0);
    EXPECT_EQ(sAfter, s11);
    EXPECT_EQ(game.nLevel, 11);
    EXPECT_EQ(aSounds, (std::vector<std::string>{"beep -1"}));
}

TEST_F(LevelDialogs, WarpWrongOrEmptyCodeKeepsTheDialogOpen) {
    game.nLevel = 7;
    std::vector<std::string> aszAfter;
    size_t nDone = 0;
    auto after = [&](HWND hwnd) { aszAfter.push_back(Text(hwnd, IDC_WARP_CODE)); };
    int nResult = RunScripted([] { return ShowWarpDlg(NULL); },
                              {Press(IDOK), Wait(100), Do(after), Type("NOTAWORD"), Press(IDOK),
                               Wait(100), Do(after), Type(PasswordOf(16) + "X"), Press(IDOK),
                               Wait(100), Do(after), Key(VK_ESCAPE)},
                              &nDone);
    EXPECT_EQ(nDone, 12u);
    EXPECT_EQ(nResult, 0); // Escape cancels
    EXPECT_EQ(aszAfter, (std::vector<std::string>{"", "NOTAWORD", PasswordOf(16) + "X"}));
    EXPECT_EQ(game.nLevel, 7);
    EXPECT_TRUE(aSounds.empty());
}

TEST_F(LevelDialogs, WarpFieldUpperCasesWhatIsTyped) {
    std::string sLower = PasswordOf(21);
    for (char& ch : sLower) ch = (char)tolower((unsigned char)ch);
    game.nLevel = 1;
    std::string sShown;
    int nResult =
        RunScripted([] { return ShowWarpDlg(NULL); },
                    {TypeKeys(sLower), Do([&](HWND hwnd) { sShown = Text(hwnd, IDC_WARP_CODE); }),
                     Key(VK_RETURN)});
    EXPECT_EQ(sShown, PasswordOf(21));
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(game.nLevel, 21);
}

TEST_F(LevelDialogs, WarpDirectLevelCodeClampsAndGoesBackToo) {
    struct Case {
        const char* szCode;
        int nFrom, nTo;
    } const kCases[] = {{"#00#", 30, 1}, {"#75#", 30, 50}, {"#XY#", 12, 1}, {"#33#JUNK", 40, 33}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.szCode);
        game.nLevel = c.nFrom;
        aSounds.clear();
        int nResult =
            RunScripted([] { return ShowWarpDlg(NULL); }, {TypeKeys(c.szCode), Press(IDOK)});
        EXPECT_EQ(nResult, 1);
        EXPECT_EQ(game.nLevel, c.nTo);
        EXPECT_EQ(aSounds, (std::vector<std::string>{"WARP"}));
    }
}

TEST_F(LevelDialogs, WarpLookFocusAndCloseMenu) {
    game.nLevel = 1;
    HWND hwndFocusAfterPaint = NULL, hwndEdit = NULL;
    DibCanvas* pShot = nullptr;
    POINT ptClient = {};
    RECT rcWindow = {};
    std::string sCaption, sMenuItem;
    size_t nDone = 0;
    int nResult = RunScripted(
        [] { return ShowWarpDlg(NULL); },
        {
            TypeKeys("code"),
            Wait(300),
            Do([&](HWND hwnd) {
                char sz[64] = "";
                GetWindowTextA(hwnd, sz, sizeof sz);
                sCaption = sz;
                hwndEdit = GetDlgItem(hwnd, IDC_WARP_CODE);
                // Focus elsewhere; a repaint gives it back to the code field.
                SetFocus(GetDlgItem(hwnd, IDCANCEL));
                RedrawWindow(hwnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
                hwndFocusAfterPaint = GetFocus();
                RedrawWindow(hwnd, NULL, NULL,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                GetWindowRect(hwnd, &rcWindow);
                ClientToScreen(hwnd, &ptClient);
            }),
            Wait(200),
            Do([&](HWND hwnd) { Screenshot(hwnd, "dialog_warp.png", &pShot); }),
            // Right click: the Close menu, whose one item cancels.
            Do([](HWND hwnd) {
                PostMessageA(hwnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
            }),
            Wait(300),
            [&](HWND) {
                HWND hwndMenu = FindWindowA("#32768", NULL);
                if (!hwndMenu || !IsWindowVisible(hwndMenu)) return false;
                HMENU hMenu = (HMENU)SendMessageA(hwndMenu, 0x01E1 /* MN_GETHMENU */, 0, 0);
                char sz[64] = "";
                if (hMenu && GetMenuItemCount(hMenu) == 1)
                    GetMenuStringA(hMenu, 0, sz, sizeof sz, MF_BYPOSITION);
                sMenuItem = sz;
                PostMessageA(hwndMenu, WM_KEYDOWN, VK_DOWN, 1);
                PostMessageA(hwndMenu, WM_KEYDOWN, VK_RETURN, 1);
                return true;
            },
        },
        &nDone);
    EXPECT_EQ(nDone, 8u);
    EXPECT_EQ(nResult, 0); // closed through the menu: cancelled
    EXPECT_EQ(game.nLevel, 1);
    EXPECT_TRUE(aSounds.empty());
    EXPECT_EQ(sCaption, "Level Warp");
    EXPECT_EQ(sMenuItem, "&Close\tAlt+F4");
    EXPECT_TRUE(hwndEdit);
    EXPECT_EQ(hwndFocusAfterPaint, hwndEdit);
    EXPECT_EQ(rcWindow.left,
              GetSystemMetrics(SM_CXSCREEN) / 2 - (rcWindow.right - rcWindow.left) / 2);

    ASSERT_TRUE(pShot);
    // The dialog's own surface is light grey, right to its edges.
    const int dx = ptClient.x - rcWindow.left, dy = ptClient.y - rcWindow.top;
    EXPECT_EQ(pShot->At(dx + 1, dy + 1), RGB(192, 192, 192));
    RECT rcClientPx = {dx, dy, pShot->W() - dx, pShot->H() - dx};
    EXPECT_EQ(pShot->At(rcClientPx.right - 2, rcClientPx.bottom - 2), RGB(192, 192, 192));
    delete pShot;
}

} // namespace
