// The dialogs at a zoom: each one, control by control, nZoom times its size at
// zoom 1 on a screen of 96 dots per inch, also on a screen of 192; and the
// pictures they draw (icons, the logo, tiles, the game-over banner, the
// ending, the help's pictures) their zoom-1 pixels made larger, pixel for pixel.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/game.h"
#include "render/helpdoc.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "scores/leveldone_win.h"
#include "scores/options.h"
#include "scores/scores_win.h"
#include "scores/warpdlg_win.h"
#include "shell/about.h"
#include "shell/app.h"
#include "shell/dialogs.h"
#include "shell/help.h"
#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/quiet_host.h"
#include "tests/win32/support/own_window.h"

namespace {

// --- Opening a dialog and looking at it -------------------------------------------

std::function<bool(HWND)> fnLook; // true when done looking
bool bLooked;
DWORD dwDeadline, dwFirstSeen, dwSettleMs;

void CALLBACK LookTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND hDlg = FindOwnWindow();
    if (!hDlg) {
        if (GetTickCount() > dwDeadline) bLooked = true; // never opened: give up
        return;
    }
    if (!dwFirstSeen) dwFirstSeen = GetTickCount() | 1;
    if (!bLooked && GetTickCount() - dwFirstSeen >= dwSettleMs) {
        RedrawWindow(hDlg, NULL, NULL,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        bLooked = fnLook(hDlg);
        dwFirstSeen = 0;
    }
    if (bLooked) EndDialog(hDlg, 0);
}

// Runs open() (a modal dialog); look() sees it painted, settled for settleMs.
void OpenAndLook(const std::function<int()>& open, std::function<bool(HWND)> look,
                 DWORD settleMs = 300) {
    fnLook = std::move(look);
    bLooked = false;
    dwFirstSeen = 0;
    dwSettleMs = settleMs;
    dwDeadline = GetTickCount() + 8000;
    UINT_PTR id = SetTimer(NULL, 0, 20, LookTick);
    open();
    KillTimer(NULL, id);
}

void CaptureClient(HWND hwnd, DibCanvas& canvas) {
    HDC hdc = GetDC(hwnd);
    BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, hdc);
}

RECT RectIn(HWND hwnd, HWND hDlg) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(NULL, hDlg, (POINT*)&rc, 2);
    return rc;
}

// --- The game around the dialogs -----------------------------------------------------

GameHost hostZoom;

void FontsMake() {
    hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
    hfontPanel = CreateAppFont("Arial", 10, 1, 0, nZoom);
}
void FontsFree() {
    DeleteObject(hfontDialog);
    DeleteObject(hfontPanel);
    hfontDialog = hfontPanel = NULL;
}

class DialogZoom : public testing::Test {
  protected:
    const GameHost* pHostBefore = nullptr;
    HFONT hfontDialogBefore = NULL, hfontPanelBefore = NULL;

    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        snprintf(szAppCaption, sizeof szAppCaption, "Quarrion");
        pHostBefore = pHost;
        HostInstallWin32();
        hostZoom = *pHost;
        HostQuietStartup(hostZoom);
        hostZoom.PlayGameSound = [](const char*, int) { return 1; };
        hostZoom.PlayBeep = [](int) { return 1; };
        HostInstall(&hostZoom);
        game = GameState{};
        GameInit(NULL);
        LoadBitmaps();
        ResetHighScores();
        game.nLevel = 10;
        LevelStart();
        hfontDialogBefore = hfontDialog;
        hfontPanelBefore = hfontPanel;
    }
    void TearDown() override {
        nZoom = 1;
        FreeBitmaps();
        hfontDialog = hfontDialogBefore;
        hfontPanel = hfontPanelBefore;
        HostInstall(pHostBefore ? pHostBefore : &hostZoom);
        if (!pHostBefore) HostInstallWin32();
    }
};

// Every dialog of the game, opened as the game opens it.
struct DialogCase {
    const char* szName;
    std::function<int()> open;
};
const DialogCase kDialogs[] = {
    {"ABOUTDLG", [] { return ShowAboutDlg(NULL); }},
    {"NEWHISCOREDLG",
     [] {
         return (int)ZoomDialogBox(DialogInstance(), "NEWHISCOREDLG", NULL, NewHiScoreDlgProc, 0);
     }},
    {"HISCOREDLG", [] { return ShowHiScoreDlg(NULL); }},
    {"LEVELDONEDLG",
     [] {
         return (int)ZoomDialogBox(DialogInstance(), "LEVELDONEDLG", NULL, LevelDoneDlgProc, 0);
     }},
    {"OPTIONSDLG", [] { return ShowOptionsDlg(NULL); }},
    {"WARPDLG", [] { return ShowWarpDlg(NULL); }},
    {"GAMEOVERDLG", [] { return ShowGameOverDlg(NULL); }},
    {"WINGAMEDLG", [] { return ShowWinGameDlg(NULL); }},
    {"HELPDLG", [] { return ShowHelp(NULL); }},
};

// A control that writes text (or takes it): its pixels are the font's, not
// the design's made larger. Statics that show pictures, frames and group
// boxes are not.
bool IsTextControl(HWND hwnd) {
    char szClass[16] = "";
    GetClassNameA(hwnd, szClass, sizeof szClass);
    const LONG dwStyle = GetWindowLongA(hwnd, GWL_STYLE);
    if (lstrcmpiA(szClass, "Static") == 0) {
        const LONG nType = dwStyle & SS_TYPEMASK;
        return nType <= SS_RIGHT || nType == SS_SIMPLE || nType == SS_LEFTNOWORDWRAP;
    }
    if (lstrcmpiA(szClass, "Button") == 0) return (dwStyle & BS_TYPEMASK) != BS_GROUPBOX;
    return true; // edits, lists, the help's page
}

// One dialog as the test saw it: its shape, "NAME w h l t r b l t r b ..."
// (the client size and the visible controls' rectangles), and, when asked
// for, its client area, the text controls' rectangles and where the client
// area's corner was on the screen.
struct Look {
    std::string sShape;
    std::shared_ptr<DibCanvas> pCanvas;
    std::vector<RECT> aText;
    POINT ptOnScreen = {0, 0};
};

void LookAt(const char* szName, HWND hDlg, bool bPixels, Look* pLook) {
    std::ostringstream out;
    RECT rc;
    GetClientRect(hDlg, &rc);
    out << szName << ' ' << rc.right << ' ' << rc.bottom;
    for (HWND hwnd = GetWindow(hDlg, GW_CHILD); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (!IsWindowVisible(hwnd)) continue;
        RECT r = RectIn(hwnd, hDlg);
        out << ' ' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom;
        if (IsTextControl(hwnd)) pLook->aText.push_back(r);
    }
    pLook->sShape = out.str();
    if (!bPixels) return;
    pLook->pCanvas = std::make_shared<DibCanvas>(rc.right, rc.bottom, RGB(1, 2, 3));
    CaptureClient(hDlg, *pLook->pCanvas);
    ClientToScreen(hDlg, &pLook->ptOnScreen);
}

// The game-over screen with its row of tiles fallen a fixed number of steps:
// false (look again, reopened) when its first second had already run out.
bool GameOverRowFallen(HWND hDlg) {
    if (!KillTimer(hDlg, GAMEOVER_START_TIMER)) return false;
    for (int i = 0; i < 40; i++) SendMessageA(hDlg, WM_TIMER, GAMEOVER_ROW_TIMER, 0);
    return true;
}

// Every dialog at zoom nZoomNow, standing still: the spinning tiles and the
// flashing border stopped and wiped by a repaint, the falling row stepped by
// hand; shots of zoom 2 go to the screenshots, for the eye.
std::vector<Look> LooksAt(int nZoomNow, bool bPixels) {
    nZoom = nZoomNow;
    FontsMake();
    std::vector<Look> aLook;
    for (const DialogCase& c : kDialogs) {
        const bool bGameOver = lstrcmpA(c.szName, "GAMEOVERDLG") == 0;
        Look look;
        look.sShape = std::string(c.szName) + " never opened";
        bool bSeen = false;
        for (int nTry = 0; nTry < 3 && !bSeen; nTry++)
            OpenAndLook(
                c.open,
                [&](HWND hDlg) {
                    KillTimer(hDlg, HISCORE_TIMER);
                    KillTimer(hDlg, LEVELDONE_FLASH_TIMER);
                    // In the screen's corner: the test's screen may be smaller
                    // than a dialog at zoom 2.
                    SetWindowPos(hDlg, NULL, 0, 0, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                    RedrawWindow(hDlg, NULL, NULL,
                                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                    if (bGameOver && !GameOverRowFallen(hDlg)) return true; // again
                    LookAt(c.szName, hDlg, bPixels, &look);
                    bSeen = true;
                    return true;
                },
                bGameOver ? 100 : 200);
        if (look.pCanvas && nZoom == 2)
            look.pCanvas->SavePng(
                ScreenshotPath(("zoom2_" + std::string(c.szName) + ".png").c_str()));
        aLook.push_back(look);
    }
    FontsFree();
    nZoom = 1;
    return aLook;
}

std::vector<int> Numbers(const std::string& sLine, std::string* psName) {
    std::istringstream in(sLine);
    in >> *psName;
    std::vector<int> a;
    for (int v; in >> v;) a.push_back(v);
    return a;
}

// Each shape of aZoomed is n times the same dialog's of aOne, give or take a
// pixel or two per edge.
void ExpectTimes(const std::vector<std::string>& aOne, const std::vector<std::string>& aZoomed,
                 int n, const char* szWhere) {
    ASSERT_EQ(aOne.size(), aZoomed.size());
    for (size_t i = 0; i < aOne.size(); i++) {
        std::string sName1, sNameN;
        std::vector<int> a1 = Numbers(aOne[i], &sName1), aN = Numbers(aZoomed[i], &sNameN);
        SCOPED_TRACE(std::string(szWhere) + " " + sName1 + " at zoom " + std::to_string(n));
        ASSERT_EQ(sName1, sNameN) << aZoomed[i];
        ASSERT_EQ(a1.size(), aN.size())
            << "controls shown differ: " << aOne[i] << " / " << aZoomed[i];
        ASSERT_GE(a1.size(), 2u);
        for (size_t k = 0; k < a1.size(); k++)
            EXPECT_NEAR(aN[k], a1[k] * n, 2)
                << (k < 2 ? "client " : "control ") << (k < 2 ? k : (k - 2) / 4) << " value " << k;
    }
}

std::vector<std::string> Shapes(const std::vector<Look>& aLook) {
    std::vector<std::string> a;
    for (const Look& look : aLook) a.push_back(look.sShape);
    return a;
}

bool InAny(const std::vector<RECT>& aRect, int x, int y) {
    for (const RECT& rc : aRect)
        if (x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom) return true;
    return false;
}

// The first pixel outside the text controls where the look at zoom n is not
// the look at zoom 1 made n times larger, within wSeen x hSeen design pixels;
// "" when there is none. *pnCompared counts the pixels compared.
std::string UpscaledOutsideTexts(const Look& one, const Look& z, int n, int wSeen, int hSeen,
                                 int* pnCompared) {
    *pnCompared = 0;
    for (int y = 0; y < one.pCanvas->H() && y < hSeen; y++)
        for (int x = 0; x < one.pCanvas->W() && x < wSeen; x++) {
            if (InAny(one.aText, x, y)) continue;
            bool bText = false;
            for (int d = 0; d < n * n && !bText; d++)
                bText = InAny(z.aText, x * n + d % n, y * n + d / n);
            if (bText) continue;
            ++*pnCompared;
            for (int d = 0; d < n * n; d++) {
                const int x2 = x * n + d % n, y2 = y * n + d / n;
                if (z.pCanvas->At(x2, y2) == one.pCanvas->At(x, y)) continue;
                char sz[96];
                snprintf(sz, sizeof sz, "design %d,%d is %06lx, zoomed %d,%d is %06lx", x, y,
                         (unsigned long)RgbOf(one.pCanvas->At(x, y)), x2, y2,
                         (unsigned long)RgbOf(z.pCanvas->At(x2, y2)));
                return sz;
            }
        }
    return "";
}

const char kShapesFileVar[] = "QUARRION_DIALOG_SHAPES";

} // namespace

// At zoom 2 every dialog and each of its controls is twice its zoom-1 size,
// and outside its text controls (whose text is written in the zoomed fonts)
// it shows its zoom-1 pixels made twice as large, pixel for pixel: the icons,
// the logo, the frames, bevels and group boxes, the game-over banner and its
// tiles, the ending picture, the help's panels.
TEST_F(DialogZoom, EveryDialogIsTwiceItsSizeWithItsPixelsMadeLarger) {
    game.lScore = 0; // the ending without a name to enter: the picture alone
    const std::vector<Look> aOne = LooksAt(1, true), aTwo = LooksAt(2, true);
    ExpectTimes(Shapes(aOne), Shapes(aTwo), 2, "96 dpi");
    for (size_t i = 0; i < aOne.size() && i < aTwo.size(); i++) {
        SCOPED_TRACE(aOne[i].sShape.substr(0, aOne[i].sShape.find(' ')));
        ASSERT_TRUE(aOne[i].pCanvas && aTwo[i].pCanvas) << "never looked at";
        // What the screen showed of zoom 2.
        const int wSeen = (GetSystemMetrics(SM_CXSCREEN) - aTwo[i].ptOnScreen.x) / 2;
        const int hSeen = (GetSystemMetrics(SM_CYSCREEN) - aTwo[i].ptOnScreen.y) / 2;
        int nCompared = 0;
        EXPECT_EQ(UpscaledOutsideTexts(aOne[i], aTwo[i], 2, wSeen, hSeen, &nCompared), "");
        EXPECT_GT(nCompared, 1000) << "hardly anything compared";
    }
}

// Run in a process of its own on a screen of 192 dots per inch (see below):
// writes the shapes at zoom 2 to the file named by QUARRION_DIALOG_SHAPES.
TEST_F(DialogZoom, DISABLED_ShapesForAnotherProcess) {
    const char* szFile = getenv(kShapesFileVar);
    ASSERT_TRUE(szFile);
    std::ofstream out(szFile);
    out << "dpi " << WindowDpi(NULL) << '\n';
    for (const Look& look : LooksAt(2, false)) out << look.sShape << '\n';
}

// With the screen at 192 dots per inch (the prefix's LogPixels, read when a
// process starts) a dialog at zoom 2 is still twice its size at zoom 1 on 96:
// the system's scaling of templates does not add to the zoom. This changes the
// prefix's setting for a while, so ctest runs it on its own (RUN_SERIAL).
TEST_F(DialogZoom, EveryDialogKeepsItsSizeAt192Dpi) {
    const std::vector<std::string> aOne = Shapes(LooksAt(1, false));

    char szExe[MAX_PATH];
    GetModuleFileNameA(NULL, szExe, MAX_PATH);
    std::string sFile = std::string(QUARRION_TESTWORK_DIR_W) + "\\dialog_shapes_192.txt";
    DeleteFileA(sFile.c_str());
    HKEY hKey;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, NULL, 0,
                              KEY_QUERY_VALUE | KEY_SET_VALUE, NULL, &hKey, NULL),
              ERROR_SUCCESS);
    DWORD dwBefore = 0, cb = sizeof dwBefore, dwType = 0;
    bool bHadValue = RegQueryValueExA(hKey, "LogPixels", NULL, &dwType, (BYTE*)&dwBefore, &cb) ==
                         ERROR_SUCCESS &&
                     dwType == REG_DWORD;
    const DWORD dw192 = 192;
    RegSetValueExA(hKey, "LogPixels", 0, REG_DWORD, (const BYTE*)&dw192, sizeof dw192);

    SetEnvironmentVariableA(kShapesFileVar, sFile.c_str());
    std::string sCmd = std::string("\"") + szExe +
                       "\" --gtest_also_run_disabled_tests"
                       " --gtest_filter=DialogZoom.DISABLED_ShapesForAnotherProcess";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    BOOL bStarted = CreateProcessA(NULL, &sCmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi);
    DWORD dwWait = bStarted ? WaitForSingleObject(pi.hProcess, 120000) : WAIT_FAILED;
    if (bStarted) {
        if (dwWait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    SetEnvironmentVariableA(kShapesFileVar, NULL);
    if (bHadValue)
        RegSetValueExA(hKey, "LogPixels", 0, REG_DWORD, (const BYTE*)&dwBefore, sizeof dwBefore);
    else
        RegDeleteValueA(hKey, "LogPixels");
    RegCloseKey(hKey);
    ASSERT_TRUE(bStarted);
    ASSERT_EQ(dwWait, WAIT_OBJECT_0);

    std::ifstream in(sFile);
    std::string sLine;
    ASSERT_TRUE(std::getline(in, sLine));
    EXPECT_EQ(sLine, "dpi 192") << "the other process did not see the screen at 192";
    std::vector<std::string> aThere;
    while (std::getline(in, sLine)) aThere.push_back(sLine);
    ExpectTimes(aOne, aThere, 2, "192 dpi");
}

// The help's pictures (the bins, the paddle, the goal) without their line of
// text, which is written in the zoomed font, are their zoom-1 pixels made 2
// and 3 times larger.
TEST_F(DialogZoom, HelpPicturesAreTheirDesignPixelsMadeLarger) {
    for (int nPicture = 0; nPicture < HelpPictureCount(); nPicture++) {
        SCOPED_TRACE(HelpPictureName(nPicture));
        int w = 0, h = 0;
        HelpPictureSize(nPicture, &w, &h);
        Look one;
        one.pCanvas = std::make_shared<DibCanvas>(w, h, RGB(255, 255, 255));
        ASSERT_EQ(DrawHelpPicture(one.pCanvas->Dc(), nPicture, 0, 0, NULL, 1), 1);
        for (int n : {2, 3}) {
            Look zoomed;
            zoomed.pCanvas = std::make_shared<DibCanvas>(w * n, h * n, RGB(255, 255, 255));
            ASSERT_EQ(DrawHelpPicture(zoomed.pCanvas->Dc(), nPicture, 0, 0, NULL, n), 1);
            int nCompared = 0;
            EXPECT_EQ(UpscaledOutsideTexts(one, zoomed, n, w, h, &nCompared), "") << "zoom " << n;
            EXPECT_EQ(nCompared, w * h);
        }
    }
}
