// The high-score dialogs and the two closing screens, opened modally from the
// test thread and driven by a thread timer that runs inside their loops: it
// reads the controls, types, presses keys and buttons, and takes screenshots.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/game.h"
#include "prefs/prefs.h"
#include "render/render_win.h"
#include "resources/resource.h"
#include "scores/scores_win.h"
#include "shell/app.h"
#include "shell/dialogs.h"
#include "tests/win32/support/dib_canvas.h"

namespace {

// --- Driving modal dialogs --------------------------------------------------------

// The script: called on every tick of the thread timer while a dialog runs;
// returns true when it is finished. A script that overruns its time closes
// every dialog of the thread so the test ends.
std::function<bool()> fnScript;
DWORD dwScriptDeadline;
bool bScriptTimedOut;

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM lParam) {
    char szClass[16] = "";
    GetClassNameA(hwnd, szClass, sizeof szClass);
    if (strcmp(szClass, "#32770") == 0 && IsWindowVisible(hwnd))
        ((std::vector<HWND>*)lParam)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> ThreadDialogs() {
    std::vector<HWND> a;
    EnumThreadWindows(GetCurrentThreadId(), CollectDialog, (LPARAM)&a);
    return a;
}

// The open dialog run by a procedure, or NULL.
HWND DialogOf(DLGPROC proc) {
    for (HWND hwnd : ThreadDialogs())
        if ((DLGPROC)GetWindowLongPtrA(hwnd, DWLP_DLGPROC) == proc) return hwnd;
    return NULL;
}

// A message box of the thread (caption szAppCaption), or NULL.
HWND MessageBoxWindow() {
    for (HWND hwnd : ThreadDialogs()) {
        char sz[APP_CAPTION_LEN] = "";
        GetWindowTextA(hwnd, sz, sizeof sz);
        if (strcmp(sz, szAppCaption) == 0) return hwnd;
    }
    return NULL;
}

void CALLBACK ScriptTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (!fnScript) return;
    if (GetTickCount() > dwScriptDeadline) {
        bScriptTimedOut = true;
        fnScript = nullptr;
        for (HWND hwnd : ThreadDialogs()) EndDialog(hwnd, -1);
        EndMenu();
        return;
    }
    std::function<bool()> fn = fnScript; // the script may open a nested loop
    if (fn()) fnScript = nullptr;
}

// Runs fnOpen (which opens a modal dialog) with the script ticking every 25 ms.
template <class Open> INT_PTR RunModal(Open fnOpen, std::function<bool()> fn, DWORD dwMaxMs) {
    fnScript = std::move(fn);
    bScriptTimedOut = false;
    dwScriptDeadline = GetTickCount() + dwMaxMs;
    UINT_PTR id = SetTimer(NULL, 0, 25, ScriptTimer);
    INT_PTR nResult = fnOpen();
    KillTimer(NULL, id);
    fnScript = nullptr;
    return nResult;
}

std::string Text(HWND hDlg, int nId) {
    char sz[256] = "";
    GetDlgItemTextA(hDlg, nId, sz, sizeof sz);
    return sz;
}

void Key(HWND hDlg, WPARAM vk) {
    HWND hwnd = GetFocus();
    if (!hwnd || (hwnd != hDlg && !IsChild(hDlg, hwnd))) hwnd = hDlg;
    PostMessageA(hwnd, WM_KEYDOWN, vk, 1);
    PostMessageA(hwnd, WM_KEYUP, vk, 0xC0000001);
}

// The client area of a window as it is on screen.
void CaptureClient(HWND hwnd, DibCanvas& canvas) {
    HDC hdc = GetDC(hwnd);
    BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, hdc);
}

// --- Sounds --------------------------------------------------------------------------
std::vector<std::string> aSounds;
GameHost testHost;

int RecordSound(const char* szName, int) {
    aSounds.push_back(szName);
    return 1;
}

int RecordBeep(int nType) {
    aSounds.push_back("beep " + std::to_string(nType));
    return 1;
}

class ScoreDialogs : public ::testing::Test {
  protected:
    std::string sPath;
    const GameHost* pHostBefore = nullptr;

    void SetUp() override {
        const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        sPath = std::string(QUARRION_TESTWORK_DIR_W) + "\\dialogs-" + pInfo->name() + "-" +
                std::to_string(GetCurrentProcessId()) + ".ini";
        DeleteFileA(sPath.c_str());
        HighScoresUseIniPath(sPath.c_str());
        hInst = GetModuleHandleA(NULL);
        snprintf(szAppCaption, sizeof szAppCaption, "Quarrion");
        if (!hfontDialog) hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
        pHostBefore = pHost;
        HostInstallWin32();
        testHost = *pHost;
        testHost.PlayGameSound = RecordSound;
        testHost.PlayBeep = RecordBeep;
        HostInstall(&testHost);
        aSounds.clear();
        LoadBitmaps();
        game.nTileColors = NUM_COLORS;
        game.lScore = 0;
        game.nLevel = 1;
        ResetHighScores();
        lLastScore = lHighToday = 0;
        bShowHighToday = 0;
        nTopLineTicks = 0;
        PrefsSetDefaults();
    }
    void TearDown() override {
        FreeBitmaps();
        HostInstall(pHostBefore);
        HighScoresUseIniPath(NULL);
        DeleteFileA(sPath.c_str());
    }

    bool FileExists() { return GetFileAttributesA(sPath.c_str()) != INVALID_FILE_ATTRIBUTES; }
    std::string Stored(const char* szKey) {
        char sz[256] = "";
        GetPrivateProfileStringA("Scores", szKey, "<missing>", sz, sizeof sz, sPath.c_str());
        return sz;
    }
};

// The colour of each tile's fill, for telling a drawn tile from the grey.
bool IsTileFill(COLORREF cr) {
    static const COLORREF aFill[] = {RGB(0, 255, 0), RGB(255, 0, 0),   RGB(255, 255, 0),
                                     RGB(0, 0, 255), RGB(255, 0, 255), RGB(255, 255, 255),
                                     RGB(128, 0, 0), RGB(0, 255, 255)};
    for (COLORREF c : aFill)
        if (c == cr) return true;
    return false;
}

// How many pixels of a box of the canvas show a tile's fill colour.
int TilePixels(const DibCanvas& canvas, int x, int y) {
    int n = 0;
    for (int dy = 0; dy < 48; dy++)
        for (int dx = 0; dx < 40; dx++) n += IsTileFill(canvas.At(x + dx, y + dy));
    return n;
}

} // namespace

TEST_F(ScoreDialogs, HiScoreDlgShowsTheTableTheAlternatingLineAndSpinningTiles) {
    hsTable.aRow[0] = HighScoreEntry{"Ann", 123, 3, "07/04/1996"};
    strcpy(hsTable.aRow[1].szName, "Bob");
    hsTable.aRow[1].lScore = 100;
    lLastScore = 7000;
    lHighToday = 12000;
    bool bChecked = false, bSwitched = false;
    int nTiles[2] = {0, 0};
    INT_PTR nResult = RunModal(
        [] { return ShowHiScoreDlg(NULL); },
        [&]() -> bool {
            HWND hDlg = DialogOf(HiScoreDlgProc);
            if (!hDlg) return false;
            if (!bChecked) {
                bChecked = true;
                EXPECT_EQ(Text(hDlg, IDC_HS_HEADING), "TOP TEN HIGH SCORES");
                EXPECT_EQ(Text(hDlg, IDC_HS_TOPLINE), "Last Score: 00007000");
                EXPECT_EQ(Text(hDlg, 101), "Ann");
                EXPECT_EQ(Text(hDlg, 102), "00000123");
                EXPECT_EQ(Text(hDlg, 103), "03");
                EXPECT_EQ(Text(hDlg, 111), "Bob");
                EXPECT_EQ(Text(hDlg, 100 + 90), "10.");
                EXPECT_EQ(Text(hDlg, 101 + 90), "A. Player");
                EXPECT_EQ(Text(hDlg, 102 + 90), "00000000");
                EXPECT_EQ(Text(hDlg, 103 + 90), "01");
                EXPECT_EQ((HFONT)SendDlgItemMessageA(hDlg, 101, WM_GETFONT, 0, 0), hfontDialog);
                return false;
            }
            if (Text(hDlg, IDC_HS_TOPLINE) == "High Today: 00012000" && !bSwitched) {
                bSwitched = true;
                RECT rc;
                GetClientRect(hDlg, &rc);
                DibCanvas canvas(rc.right, rc.bottom, RGB(1, 2, 3));
                CaptureClient(hDlg, canvas);
                canvas.SavePng(ScreenshotPath("hiscore_dialog.png"));
                nTiles[0] = TilePixels(canvas, 60, 7);
                nTiles[1] = TilePixels(canvas, rc.right - 100, 7);
                Key(hDlg, VK_RETURN);
                return true;
            }
            return false;
        },
        6000);
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_EQ(nResult, 1);
    EXPECT_TRUE(bSwitched) << "the top line never showed the day's best";
    EXPECT_GT(nTiles[0], 100) << "no tile spins at the left";
    EXPECT_GT(nTiles[1], 100) << "no tile spins at the right";
    EXPECT_EQ(aSounds, std::vector<std::string>{"APPLAUSE"});
}

TEST_F(ScoreDialogs, HiScoreDlgClosesOnEscapeAndOnAClickThroughAText) {
    INT_PTR nResult = RunModal([] { return ShowHiScoreDlg(NULL); },
                               [&]() -> bool {
                                   HWND hDlg = DialogOf(HiScoreDlgProc);
                                   if (!hDlg) return false;
                                   Key(hDlg, VK_ESCAPE);
                                   return true;
                               },
                               4000);
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_EQ(nResult, 1);

    // A press on a name: the static lets the click through to the dialog.
    nResult = RunModal([] { return ShowHiScoreDlg(NULL); },
                       [&]() -> bool {
                           HWND hDlg = DialogOf(HiScoreDlgProc);
                           if (!hDlg) return false;
                           HWND hwndName = GetDlgItem(hDlg, 101);
                           RECT rc;
                           GetWindowRect(hwndName, &rc);
                           POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
                           LRESULT nHit = SendMessageA(hwndName, WM_NCHITTEST, 0,
                                                       MAKELPARAM((short)pt.x, (short)pt.y));
                           EXPECT_EQ(nHit, HTTRANSPARENT);
                           ScreenToClient(hDlg, &pt);
                           PostMessageA(hDlg, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
                           return true;
                       },
                       4000);
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_EQ(nResult, 1);
}

TEST_F(ScoreDialogs, HiScoreDlgClearsFromItsMenuOnlyOnYes) {
    hsTable.aRow[0] = HighScoreEntry{"Ann", 5000, 9, "07/04/1996"};
    ASSERT_TRUE(SaveHighScores());
    enum { OPEN_MENU, IN_MENU, ANSWER, CHECK } nStage = OPEN_MENU;
    int nRound = 0; // 0: answer Enter, 1: answer Yes
    std::vector<std::string> aItems;
    std::string sQuestion;
    std::string sAfterNo, sAfterYes, sStoredAfterNo;
    RunModal([] { return ShowHiScoreDlg(NULL); },
             [&]() -> bool {
                 HWND hDlg = DialogOf(HiScoreDlgProc);
                 if (!hDlg) return false;
                 switch (nStage) {
                 case OPEN_MENU:
                     PostMessageA(hDlg, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
                     nStage = IN_MENU;
                     return false;
                 case IN_MENU: {
                     HWND hwndMenu = FindWindowA("#32768", NULL);
                     if (!hwndMenu || !IsWindowVisible(hwndMenu)) return false;
                     HMENU hMenu = (HMENU)SendMessageA(hwndMenu, MN_GETHMENU, 0, 0);
                     if (aItems.empty())
                         for (int i = 0; i < GetMenuItemCount(hMenu); i++) {
                             char sz[64] = "";
                             GetMenuStringA(hMenu, (UINT)i, sz, sizeof sz, MF_BYPOSITION);
                             aItems.push_back(std::to_string(GetMenuItemID(hMenu, i)) + " " + sz);
                         }
                     EndMenu();
                     PostMessageA(hDlg, WM_COMMAND, IDM_CLEARSCORES, 0);
                     nStage = ANSWER;
                     return false;
                 }
                 case ANSWER: {
                     HWND hBox = MessageBoxWindow();
                     if (!hBox || hBox == hDlg) return false;
                     char sz[128] = "";
                     GetDlgItemTextA(hBox, 0xFFFF, sz, sizeof sz);
                     sQuestion = sz;
                     // Enter takes the default button, which is No.
                     if (nRound == 0)
                         Key(hBox, VK_RETURN);
                     else
                         SendMessageA(GetDlgItem(hBox, IDYES), BM_CLICK, 0, 0);
                     nStage = CHECK;
                     return false;
                 }
                 case CHECK:
                     if (MessageBoxWindow() && MessageBoxWindow() != hDlg) return false;
                     if (nRound == 0) {
                         sAfterNo = Text(hDlg, 101) + "," + Text(hDlg, 102);
                         sStoredAfterNo = Stored("1");
                         nRound = 1;
                         nStage = OPEN_MENU;
                         return false;
                     }
                     sAfterYes.clear();
                     for (int k = 0; k < NUM_HIGH_SCORES; k++)
                         sAfterYes += Text(hDlg, 101 + 10 * k) + "|";
                     EndDialog(hDlg, 1);
                     return true;
                 }
                 return false;
             },
             8000);
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_EQ(aItems,
              (std::vector<std::string>{"40004 &Clear High Scores", "0 ", "2 &Close\tAlt+F4"}));
    EXPECT_EQ(sQuestion, "Clear high scores?");
    EXPECT_EQ(sAfterNo, "Ann,00005000");
    EXPECT_EQ(sStoredAfterNo, "Ann,9,00005000,07/04/1996");
    std::string sDefault;
    for (int k = 0; k < NUM_HIGH_SCORES; k++) sDefault += "A. Player|";
    EXPECT_EQ(sAfterYes, sDefault);
    EXPECT_EQ(Stored("1"), "A. Player,1,00000000,12/01/95");
    EXPECT_EQ(aSounds, (std::vector<std::string>{"APPLAUSE", "CLEARSCORES"}));
}

TEST_F(ScoreDialogs, NewHighScoreTakesTheNameAndShowsTheTable) {
    game.lScore = 5000;
    game.nLevel = 7;
    strcpy(prefs.szLastPlayer, "Zoe");
    bool bOkAtOpen = false, bOkWhenEmpty = true, bSawTable = false, bStayedOnBlank = false;
    std::string sField, sRow0;
    LRESULT nLimit = 0;
    int nStage = 0;
    int nOffered = 0;
    RunModal([&] { return nOffered = CheckHighScore(NULL); },
             [&]() -> bool {
                 if (HWND hTable = DialogOf(HiScoreDlgProc)) {
                     bSawTable = true;
                     sRow0 = Text(hTable, 101) + "," + Text(hTable, 102) + "," + Text(hTable, 103);
                     EndDialog(hTable, 1);
                     return true;
                 }
                 HWND hDlg = DialogOf(NewHiScoreDlgProc);
                 if (!hDlg) return false;
                 HWND hOk = GetDlgItem(hDlg, IDOK);
                 if (nStage == 0) {
                     bOkAtOpen = IsWindowEnabled(hOk);
                     sField = Text(hDlg, IDC_NEWHS_NAME);
                     nLimit = SendDlgItemMessageA(hDlg, IDC_NEWHS_NAME, EM_GETLIMITTEXT, 0, 0);
                     SetDlgItemTextA(hDlg, IDC_NEWHS_NAME, "");
                     bOkWhenEmpty = IsWindowEnabled(hOk);
                     // A name of blanks, commas and tabs is no name: a beep.
                     SetDlgItemTextA(hDlg, IDC_NEWHS_NAME, " ,\t ");
                     SendMessageA(hOk, BM_CLICK, 0, 0);
                     nStage = 1;
                 } else if (nStage == 1) {
                     bStayedOnBlank = true;
                     SetDlgItemTextA(hDlg, IDC_NEWHS_NAME, "  Max, ");
                     nStage = 2;
                     SendMessageA(hOk, BM_CLICK, 0, 0); // opens the table inside
                 }
                 return false;
             },
             6000);
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_EQ(nOffered, 1);
    EXPECT_TRUE(bOkAtOpen) << "a known name enables OK at once";
    EXPECT_EQ(sField, "Zoe");
    EXPECT_EQ(nLimit, 30);
    EXPECT_FALSE(bOkWhenEmpty);
    EXPECT_TRUE(bStayedOnBlank);
    EXPECT_TRUE(bSawTable);
    EXPECT_EQ(sRow0, "Max,00005000,07");
    EXPECT_STREQ(prefs.szLastPlayer, "Max");
    EXPECT_FALSE(DialogOf(NewHiScoreDlgProc)) << "the name dialog closes after the table";
    EXPECT_EQ(lLastScore, 5000);
    EXPECT_EQ(lHighToday, 5000);
    EXPECT_EQ(Stored("1").substr(0, 15), "Max,7,00005000,");
    EXPECT_EQ(Stored("2"), "A. Player,1,00000000,12/01/95");
    EXPECT_EQ(aSounds, (std::vector<std::string>{"NEWSCORE", "beep 0", "APPLAUSE"}));
}

TEST_F(ScoreDialogs, EscapeInTheNameDialogKeepsTheTableButWritesIt) {
    game.lScore = 800;
    RunModal([] { return CheckHighScore(NULL); },
             [&]() -> bool {
                 HWND hDlg = DialogOf(NewHiScoreDlgProc);
                 if (!hDlg) return false;
                 EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hDlg, IDOK))) << "no name yet";
                 Key(hDlg, VK_ESCAPE);
                 return true;
             },
             4000);
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_STREQ(hsTable.aRow[0].szName, "A. Player");
    EXPECT_EQ(Stored("10"), "A. Player,1,00000000,12/01/95");
    EXPECT_EQ(lLastScore, 800);

    // A game that earns no place asks nothing and writes nothing.
    DeleteFileA(sPath.c_str());
    game.lScore = 0;
    EXPECT_EQ(CheckHighScore(NULL), 0);
    EXPECT_FALSE(FileExists());
    EXPECT_EQ(lLastScore, 0);
    EXPECT_EQ(lHighToday, 800);
}

TEST_F(ScoreDialogs, GameOverScreenIgnoresKeysAndClosesItselfAfterItsRowHasFallen) {
    RECT rcClient = {};
    int nBannerPixels = -1, nRowPixels = -1;
    DWORD dwStart = GetTickCount();
    INT_PTR nResult =
        RunModal([] { return ShowGameOverDlg(NULL); },
                 [&]() -> bool {
                     HWND hDlg = DialogOf(GameOverDlgProc);
                     if (!hDlg) return false;
                     DWORD dwAge = GetTickCount() - dwStart;
                     if (nBannerPixels < 0 && dwAge > 500) {
                         GetClientRect(hDlg, &rcClient);
                         DibCanvas canvas(GAMEOVER_CLIENT_W, GAMEOVER_CLIENT_H);
                         CaptureClient(hDlg, canvas);
                         // Only the banner so far: no tile anywhere, the banner centred.
                         nBannerPixels = 0;
                         for (int y = 0; y < canvas.H(); y++)
                             for (int x = 0; x < canvas.W(); x++)
                                 nBannerPixels += canvas.At(x, y) != RGB(192, 192, 192);
                         EXPECT_EQ(canvas.At(5, 5), RGB(192, 192, 192));
                         Key(hDlg, VK_RETURN);
                         Key(hDlg, VK_ESCAPE);
                     }
                     if (nRowPixels < 0 && dwAge > 2400) {
                         // The row is half-way down: tile 9 of the row is red.
                         DibCanvas canvas(GAMEOVER_CLIENT_W, GAMEOVER_CLIENT_H);
                         CaptureClient(hDlg, canvas);
                         canvas.SavePng(ScreenshotPath("gameover_falling.png"));
                         nRowPixels = 0;
                         for (int y = 0; y < canvas.H(); y++)
                             nRowPixels += canvas.At(9 * 40 + 20, y) == RGB(255, 0, 0);
                         Key(hDlg, VK_RETURN);
                     }
                     return false; // runs until the screen closes itself
                 },
                 10000);
    DWORD dwElapsed = GetTickCount() - dwStart;
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(rcClient.right, GAMEOVER_CLIENT_W);
    EXPECT_EQ(rcClient.bottom, GAMEOVER_CLIENT_H);
    EXPECT_GT(nBannerPixels, 1000) << "the banner is not shown";
    EXPECT_GT(nRowPixels, 5) << "tile 9 of the row is not red";
    // One second alone, then 77 steps of 30 ms (timers under Wine run a little slow).
    EXPECT_GE(dwElapsed, 3000u);
    EXPECT_LE(dwElapsed, 9000u);
}

TEST_F(ScoreDialogs, EndingWithAPlaceTakesTheWinnersName) {
    game.lScore = 987654;
    game.nLevel = 1; // the level-complete dialog has already gone back to 1
    lLastScore = 11;
    lHighToday = 22;
    bool bVisible = false, bStayed = false;
    RECT rcField = {};
    LRESULT nLimit = 0;
    int nStage = 0;
    INT_PTR nResult =
        RunModal([] { return ShowWinGameDlg(NULL); },
                 [&]() -> bool {
                     HWND hDlg = DialogOf(WinGameDlgProc);
                     if (!hDlg) return false;
                     HWND hField = GetDlgItem(hDlg, IDC_WIN_NAME);
                     switch (nStage++) {
                     case 0:
                         bVisible = IsWindowVisible(hField);
                         nLimit = SendMessageA(hField, EM_GETLIMITTEXT, 0, 0);
                         GetWindowRect(hField, &rcField);
                         MapWindowPoints(NULL, hDlg, (POINT*)&rcField, 2);
                         Key(hDlg, VK_RETURN); // empty: only a beep
                         Key(hDlg, VK_ESCAPE); // ignored
                         return false;
                     case 1:
                         SetWindowTextA(hField, "\t, ");
                         Key(hDlg, VK_RETURN); // blank: only a beep too
                         return false;
                     case 2:
                         bStayed = IsWindowVisible(hDlg);
                         SetWindowTextA(hField, "Winner");
                         return false;
                     case 3: {
                         RECT rc;
                         GetClientRect(hDlg, &rc);
                         DibCanvas canvas(rc.right, rc.bottom, RGB(1, 2, 3));
                         CaptureClient(hDlg, canvas);
                         canvas.SavePng(ScreenshotPath("ending_name_field.png"));
                         SetWindowTextA(hField, "ABCDEFGHIJKLMNOPQRST"); // 20 characters
                         Key(hDlg, VK_RETURN);
                         return true;
                     }
                     }
                     return false;
                 },
                 6000);
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_EQ(nResult, 1);
    EXPECT_TRUE(bVisible);
    EXPECT_EQ(nLimit, 20);
    EXPECT_TRUE(bStayed) << "Enter on an empty or blank field or Escape closed the screen";
    EXPECT_EQ(aSounds, (std::vector<std::string>{"beep -1", "beep -1"}));
    // The field lies on the plain band of the picture, between its etched lines
    // at picture rows 285 and 394.
    EXPECT_GE(rcField.left, WINGAME_PICTURE_X + 12);
    EXPECT_LE(rcField.right, WINGAME_PICTURE_X + 488);
    EXPECT_GT(rcField.top, WINGAME_PICTURE_Y + 285);
    EXPECT_LT(rcField.bottom, WINGAME_PICTURE_Y + 394);
    // Stored with its first 19 characters, level 50 and today's date.
    EXPECT_STREQ(hsTable.aRow[0].szName, "ABCDEFGHIJKLMNOPQRS");
    EXPECT_EQ(hsTable.aRow[0].lScore, 987654);
    EXPECT_EQ(hsTable.aRow[0].nLevel, 50);
    EXPECT_EQ(strlen(hsTable.aRow[0].szDate), 10u);
    EXPECT_EQ(Stored("1").substr(0, 32), "ABCDEFGHIJKLMNOPQRS,50,00987654,");
    EXPECT_EQ(lLastScore, 11) << "a won game leaves the run's values alone";
    EXPECT_EQ(lHighToday, 22);
}

TEST_F(ScoreDialogs, EndingWithoutAPlaceClosesOnEnterAndLeavesTheTable) {
    for (int k = 0; k < NUM_HIGH_SCORES; k++) hsTable.aRow[k].lScore = 1000000 - k;
    game.lScore = 999991; // equal to row 9: no place
    const HighScoreTable before = hsTable;
    bool bFieldShown = true;
    COLORREF crOutside = 0;
    INT_PTR nResult = RunModal(
        [] { return ShowWinGameDlg(NULL); },
        [&]() -> bool {
            HWND hDlg = DialogOf(WinGameDlgProc);
            if (!hDlg) return false;
            bFieldShown = IsWindowVisible(GetDlgItem(hDlg, IDC_WIN_NAME));
            DibCanvas canvas(WINGAME_CLIENT_W, WINGAME_CLIENT_H);
            CaptureClient(hDlg, canvas);
            crOutside = canvas.At(10, 10);
            HBITMAP hbm = LoadGameBitmap("ENDING2");
            std::string sWhy;
            EXPECT_TRUE(CanvasShowsBitmap(canvas, hbm, WINGAME_PICTURE_X, WINGAME_PICTURE_Y, &sWhy))
                << sWhy;
            DeleteObject(hbm);
            Key(hDlg, VK_RETURN);
            return true;
        },
        4000);
    EXPECT_FALSE(bScriptTimedOut);
    EXPECT_EQ(nResult, 1);
    EXPECT_FALSE(bFieldShown);
    EXPECT_EQ(crOutside, RGB(192, 192, 192));
    EXPECT_EQ(memcmp(&hsTable, &before, sizeof hsTable), 0);
    EXPECT_FALSE(FileExists());
}
