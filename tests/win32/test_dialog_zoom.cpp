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

namespace {

// --- Opening a dialog and looking at it -------------------------------------------

std::function<bool(HWND)> fnLook; // true when done looking
bool bLooked;
DWORD dwDeadline, dwFirstSeen, dwSettleMs;

HWND VisibleDialog() {
    struct Find {
        static BOOL CALLBACK Each(HWND hwnd, LPARAM lParam) {
            char szClass[16] = "";
            GetClassNameA(hwnd, szClass, sizeof szClass);
            if (lstrcmpA(szClass, "#32770") != 0 || !IsWindowVisible(hwnd)) return TRUE;
            *(HWND*)lParam = hwnd;
            return FALSE;
        }
    };
    HWND hwnd = NULL;
    EnumThreadWindows(GetCurrentThreadId(), Find::Each, (LPARAM)&hwnd);
    return hwnd;
}

void CALLBACK LookTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND hDlg = VisibleDialog();
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

// The first pixel where canvas z shows rc2 of its dialog not as the pixels of
// rc1 of canvas one made nZoomBy times larger; "" when it does, pixel for pixel.
std::string Upscaled(const DibCanvas& one, RECT rc1, const DibCanvas& z, POINT pt2, int nZoomBy) {
    for (int y = rc1.top; y < rc1.bottom; y++)
        for (int x = rc1.left; x < rc1.right; x++)
            for (int dy = 0; dy < nZoomBy; dy++)
                for (int dx = 0; dx < nZoomBy; dx++) {
                    int x2 = pt2.x + (x - rc1.left) * nZoomBy + dx;
                    int y2 = pt2.y + (y - rc1.top) * nZoomBy + dy;
                    if (z.At(x2, y2) == one.At(x, y)) continue;
                    char sz[96];
                    snprintf(sz, sizeof sz, "design %d,%d is %06lx, zoomed %d,%d is %06lx", x, y,
                             (unsigned long)one.At(x, y), x2, y2, (unsigned long)z.At(x2, y2));
                    return sz;
                }
    return "";
}

// --- The game around the dialogs -----------------------------------------------------

GameHost hostZoom;

void FontsMake() {
    hfontDialog = CreateAppFont("Arial", 12, 1, 0);
    hfontPanel = CreateAppFont("Arial", 10, 1, 0);
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

// A dialog's client size and its visible controls' rectangles, as one line:
// "NAME w h l t r b l t r b ...".
std::string Shape(const char* szName, HWND hDlg) {
    std::ostringstream out;
    RECT rc;
    GetClientRect(hDlg, &rc);
    out << szName << ' ' << rc.right << ' ' << rc.bottom;
    for (HWND hwnd = GetWindow(hDlg, GW_CHILD); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        if (!IsWindowVisible(hwnd)) continue;
        RECT r = RectIn(hwnd, hDlg);
        out << ' ' << r.left << ' ' << r.top << ' ' << r.right << ' ' << r.bottom;
    }
    return out.str();
}

// The shapes of every dialog at zoom nZoomNow, one line each.
std::vector<std::string> ShapesAt(int nZoomNow) {
    nZoom = nZoomNow;
    FontsMake();
    std::vector<std::string> aShape;
    for (const DialogCase& c : kDialogs) {
        std::string sShape = std::string(c.szName) + " never opened";
        OpenAndLook(c.open, [&](HWND hDlg) {
            sShape = Shape(c.szName, hDlg);
            if (nZoom == 2) { // for the eye, in the screen's corner
                SetWindowPos(hDlg, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                RedrawWindow(hDlg, NULL, NULL,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                RECT rc;
                GetClientRect(hDlg, &rc);
                DibCanvas canvas(rc.right, rc.bottom, RGB(1, 2, 3));
                CaptureClient(hDlg, canvas);
                canvas.SavePng(ScreenshotPath(("zoom2_" + std::string(c.szName) + ".png").c_str()));
            }
            return true;
        });
        aShape.push_back(sShape);
    }
    FontsFree();
    nZoom = 1;
    return aShape;
}

std::vector<int> Numbers(const std::string& sLine, std::string* psName) {
    std::istringstream in(sLine);
    in >> *psName;
    std::vector<int> a;
    for (int v; in >> v;) a.push_back(v);
    return a;
}

// Each of aZoomed is n times the same dialog of aOne, give or take a pixel per
// edge for the rounding of the fonts' sizes.
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

const char kShapesFileVar[] = "QUARRION_DIALOG_SHAPES";

} // namespace

// At zoom 2 every dialog and each of its controls is twice its zoom-1 size
// (shots of them at zoom 2 go to the screenshots, for the eye).
TEST_F(DialogZoom, EveryDialogIsZoomTimesItsSize) {
    std::vector<std::string> aOne = ShapesAt(1);
    std::vector<std::string> aTwo = ShapesAt(2);
    ExpectTimes(aOne, aTwo, 2, "96 dpi");
}

// Run in a process of its own on a screen of 192 dots per inch (see
// DialogZoomDpi below): writes the shapes at zoom 1 and 2 to the file named by
// QUARRION_DIALOG_SHAPES.
TEST_F(DialogZoom, DISABLED_ShapesForAnotherProcess) {
    const char* szFile = getenv(kShapesFileVar);
    ASSERT_TRUE(szFile);
    std::ofstream out(szFile);
    out << "dpi " << WindowDpi(NULL) << '\n';
    for (int n : {1, 2})
        for (const std::string& s : ShapesAt(n)) out << s << '\n';
}

// With the screen at 192 dots per inch (the prefix's LogPixels, read when a
// process starts) a dialog is still nZoom times its size at zoom 1 on 96: the
// system's scaling of templates does not add to the zoom. This changes the
// prefix's setting for a while, so ctest runs it on its own (RUN_SERIAL).
TEST_F(DialogZoom, EveryDialogKeepsItsSizeAt192Dpi) {
    std::vector<std::string> aOne = ShapesAt(1);

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
    DWORD dwWait = bStarted ? WaitForSingleObject(pi.hProcess, 90000) : WAIT_FAILED;
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
    ASSERT_EQ(aThere.size(), 2 * aOne.size());
    ExpectTimes(aOne, {aThere.begin(), aThere.begin() + aOne.size()}, 1, "192 dpi");
    ExpectTimes(aOne, {aThere.begin() + aOne.size(), aThere.end()}, 2, "192 dpi");
}

namespace {

// What a case compares: rectangles of the dialog's client area at zoom 1.
typedef std::function<std::vector<RECT>(HWND hDlg)> Regions;

// Every static that shows an icon or a bitmap, and the edges of the group
// boxes (their first rows, where the frame runs below half a line of nothing).
std::vector<RECT> PictureStatics(HWND hDlg) {
    std::vector<RECT> a;
    for (HWND hwnd = GetWindow(hDlg, GW_CHILD); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        char szClass[16] = "";
        GetClassNameA(hwnd, szClass, sizeof szClass);
        LONG dwStyle = GetWindowLongA(hwnd, GWL_STYLE);
        RECT r = RectIn(hwnd, hDlg);
        if (lstrcmpiA(szClass, "Static") == 0 &&
            ((dwStyle & SS_TYPEMASK) == SS_ICON || (dwStyle & SS_TYPEMASK) == SS_BITMAP))
            a.push_back(r);
        if (lstrcmpiA(szClass, "Button") == 0 && (dwStyle & BS_TYPEMASK) == BS_GROUPBOX) {
            const int e = 2 * nZoom, nTop = 10 * nZoom;
            a.push_back({r.left, r.top, r.right, r.top + nTop});
            a.push_back({r.left, r.bottom - e, r.right, r.bottom});
            a.push_back({r.left, r.top, r.left + e, r.bottom});
            a.push_back({r.right - e, r.top, r.right, r.bottom});
        }
    }
    return a;
}

std::vector<RECT> WholeClient(HWND hDlg) {
    RECT rc;
    GetClientRect(hDlg, &rc);
    return {rc};
}

// The game-over screen with its row of tiles fallen a fixed number of steps:
// false (look again, reopened) when its first second had already run out.
bool GameOverRowFallen(HWND hDlg) {
    if (!KillTimer(hDlg, GAMEOVER_START_TIMER)) return false;
    for (int i = 0; i < 40; i++) SendMessageA(hDlg, WM_TIMER, GAMEOVER_ROW_TIMER, 0);
    return true;
}

} // namespace

// Each kind of picture the dialogs draw shows at zoom 2 as its zoom-1 pixels
// made twice as large, pixel for pixel.
TEST_F(DialogZoom, PicturesAreTheirDesignPixelsMadeLarger) {
    struct Case {
        const char* szName;
        std::function<int()> open;
        Regions regions;
        std::function<bool(HWND)> prepare; // before the capture; false: not yet
    } const kCases[] = {
        {"ABOUTDLG", [] { return ShowAboutDlg(NULL); }, PictureStatics, nullptr},
        {"WARPDLG", [] { return ShowWarpDlg(NULL); }, PictureStatics, nullptr},
        {"OPTIONSDLG", [] { return ShowOptionsDlg(NULL); }, PictureStatics, nullptr},
        {"GAMEOVERDLG", [] { return ShowGameOverDlg(NULL); }, WholeClient, GameOverRowFallen},
        {"WINGAMEDLG", [] { return ShowWinGameDlg(NULL); }, WholeClient, nullptr},
    };
    game.lScore = 0; // the ending without a name to enter: the picture alone
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.szName);
        struct Look {
            std::vector<RECT> aRegion;
            DibCanvas* pCanvas = nullptr;
            POINT ptOnScreen; // of the client area's corner
        } aLook[2];
        for (int z = 1; z <= 2; z++) {
            nZoom = z;
            FontsMake();
            for (int nTry = 0; nTry < 3 && !aLook[z - 1].pCanvas; nTry++)
                OpenAndLook(
                    c.open,
                    [&](HWND hDlg) {
                        // In the screen's top-left corner: the test's screen may
                        // be smaller than a dialog at zoom 2.
                        SetWindowPos(hDlg, NULL, 0, 0, 0, 0,
                                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
                        RedrawWindow(hDlg, NULL, NULL,
                                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                        if (c.prepare && !c.prepare(hDlg)) return true; // closed, tried again
                        RECT rc;
                        GetClientRect(hDlg, &rc);
                        aLook[z - 1].pCanvas = new DibCanvas(rc.right, rc.bottom, RGB(1, 2, 3));
                        CaptureClient(hDlg, *aLook[z - 1].pCanvas);
                        aLook[z - 1].aRegion = c.regions(hDlg);
                        POINT pt = {0, 0};
                        ClientToScreen(hDlg, &pt);
                        aLook[z - 1].ptOnScreen = pt;
                        return true;
                    },
                    c.prepare ? 100 : 300);
            FontsFree();
        }
        nZoom = 1;
        ASSERT_TRUE(aLook[0].pCanvas && aLook[1].pCanvas) << "never looked at";
        ASSERT_EQ(aLook[0].aRegion.size(), aLook[1].aRegion.size());
        ASSERT_FALSE(aLook[0].aRegion.empty());
        // What of zoom 2 lies on the screen, in design pixels.
        const RECT rcSeen = {0, 0, (GetSystemMetrics(SM_CXSCREEN) - aLook[1].ptOnScreen.x) / 2,
                             (GetSystemMetrics(SM_CYSCREEN) - aLook[1].ptOnScreen.y) / 2};
        for (size_t i = 0; i < aLook[0].aRegion.size(); i++) {
            const RECT& rc2 = aLook[1].aRegion[i];
            RECT rc1 = aLook[0].aRegion[i];
            EXPECT_EQ(rc2.right - rc2.left, 2 * (rc1.right - rc1.left)) << "picture " << i;
            EXPECT_EQ(rc2.bottom - rc2.top, 2 * (rc1.bottom - rc1.top)) << "picture " << i;
            POINT pt2 = {rc2.left, rc2.top};
            RECT rcSeen1 = {rcSeen.left - rc2.left / 2 + rc1.left, 0,
                            rcSeen.right - rc2.left / 2 + rc1.left,
                            rcSeen.bottom - rc2.top / 2 + rc1.top};
            IntersectRect(&rc1, &rc1, &rcSeen1);
            EXPECT_FALSE(IsRectEmpty(&rc1)) << "picture " << i << " off the screen";
            EXPECT_EQ(Upscaled(*aLook[0].pCanvas, rc1, *aLook[1].pCanvas, pt2, 2), "")
                << "picture " << i;
        }
        delete aLook[0].pCanvas;
        delete aLook[1].pCanvas;
    }
}

// The help's pictures (the bins, the paddle, the goal) without their line of
// text, which is written in the zoomed font, are their zoom-1 pixels made 2
// and 3 times larger.
TEST_F(DialogZoom, HelpPicturesAreTheirDesignPixelsMadeLarger) {
    for (int nPicture = 0; nPicture < HelpPictureCount(); nPicture++) {
        SCOPED_TRACE(HelpPictureName(nPicture));
        int w = 0, h = 0;
        HelpPictureSize(nPicture, &w, &h);
        DibCanvas one(w, h, RGB(255, 255, 255));
        ASSERT_EQ(DrawHelpPicture(one.Dc(), nPicture, 0, 0, NULL, 1), 1);
        for (int n : {2, 3}) {
            DibCanvas zoomed(w * n + 2 * n, h * n + 2 * n, RGB(255, 255, 255));
            ASSERT_EQ(DrawHelpPicture(zoomed.Dc(), nPicture, n, n, NULL, n), 1);
            EXPECT_EQ(Upscaled(one, RECT{0, 0, w, h}, zoomed, {n, n}, n), "") << "zoom " << n;
        }
    }
}
