// Every dialog of the game as a player sees it: light grey whatever the
// system's colours, and every text it can show whole in its control.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/warp.h"
#include "prefs/prefs.h"
#include "render/render_win.h"
#include "resources/resource.h"
#include "scores/leveldone.h"
#include "scores/leveldone_win.h"
#include "scores/options.h"
#include "scores/panel.h"
#include "scores/panel_win.h"
#include "scores/scores_win.h"
#include "scores/warpdlg_win.h"
#include "shell/about.h"
#include "shell/app.h"
#include "render/zoom_win.h"
#include "shell/dialogs.h"
#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/own_window.h"

namespace {

// --- Opening a dialog and looking at it --------------------------------------------

// Called once inside the dialog's modal loop, with the dialog painted and its
// first timers run (the flashing border, the spinning tiles).
std::function<void(HWND)> fnLook;
bool bLooked;
DWORD dwLookDeadline, dwFirstSeen;

void CALLBACK LookTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND hDlg = FindOwnWindow();
    if (!hDlg && GetTickCount() < dwLookDeadline) return;
    if (hDlg && !dwFirstSeen) dwFirstSeen = GetTickCount() | 1;
    if (hDlg && GetTickCount() - dwFirstSeen < 700) return;
    if (hDlg && !bLooked) {
        bLooked = true;
        RedrawWindow(hDlg, NULL, NULL, RDW_ALLCHILDREN | RDW_UPDATENOW);
        fnLook(hDlg);
    }
    if (hDlg) EndDialog(hDlg, 0);
}

// Runs open() (a modal dialog) and calls look() once on the painted dialog.
void OpenAndLook(const std::function<int()>& open, std::function<void(HWND)> look) {
    fnLook = std::move(look);
    bLooked = false;
    dwFirstSeen = 0;
    dwLookDeadline = GetTickCount() + 5000;
    UINT_PTR id = SetTimer(NULL, 0, 30, LookTick);
    open();
    KillTimer(NULL, id);
    EXPECT_TRUE(bLooked) << "the dialog never opened";
}

// The client area as the screen shows it.
void CaptureClient(HWND hwnd, DibCanvas& canvas) {
    HDC hdc = GetDC(hwnd);
    BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdc, 0, 0, SRCCOPY);
    ReleaseDC(hwnd, hdc);
}

std::string Hex(COLORREF cr) {
    char sz[16];
    snprintf(sz, sizeof sz, "%02x%02x%02x", GetRValue(cr), GetGValue(cr), GetBValue(cr));
    return sz;
}

// A static that shows a text, an icon or a picture (not a frame).
bool IsShowingStatic(HWND hwnd) {
    char szClass[16] = "";
    GetClassNameA(hwnd, szClass, sizeof szClass);
    if (lstrcmpiA(szClass, "Static") != 0 || !IsWindowVisible(hwnd)) return false;
    LONG nType = GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK;
    return nType <= SS_ICON || nType == SS_SIMPLE || nType == SS_LEFTNOWORDWRAP ||
           nType == SS_BITMAP;
}

// --- The game around the dialogs ------------------------------------------------------

GameHost hostLook;

class DialogLook : public testing::Test {
  protected:
    const GameHost* pHostBefore = nullptr;
    bool bOwnFont = false;

    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        snprintf(szAppCaption, sizeof szAppCaption, "Quarrion");
        pHostBefore = pHost;
        HostInstallWin32();
        hostLook = *pHost;
        hostLook.PlayGameSound = [](const char*, int) { return 1; };
        hostLook.PlayBeep = [](int) { return 1; };
        HostInstall(&hostLook);
        game = GameState{};
        GameInit(NULL); // the goal names come from the string table
        LoadBitmaps();
        PrefsSetDefaults();
        ResetHighScores();
        if (!hfontDialog) {
            hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
            bOwnFont = true;
        }
    }
    void TearDown() override {
        FreeBitmaps();
        if (bOwnFont) {
            DeleteObject(hfontDialog);
            hfontDialog = NULL;
        }
        HostInstall(pHostBefore ? pHostBefore : &hostLook);
        if (!pHostBefore) HostInstallWin32();
    }

    // A game at the end of level nLevel with nCaught tiles caught and nEmpty
    // empty bin cells.
    static void LevelFinished(int nLevel, int nCaught, int nEmpty) {
        game.nLevel = nLevel;
        LevelStart();
        game.bGameRunning = 1;
        game.bPaused = 1;
        game.nTilesCaught = nCaught;
        for (int i = 0; i < NUM_CELLS; i++)
            game.aBinCell[i] = i < NUM_CELLS - nEmpty ? TILE_BLUE : TILE_NONE;
    }
};

int OpenTemplate(const char* szTemplate, DLGPROC proc) {
    return (int)ZoomDialogBox(DialogInstance(), szTemplate, NULL, proc, 0);
}

struct DialogCase {
    const char* szShot;
    std::function<int()> open;
    COLORREF crAround; // what the design puts around its statics
    POINT ptFill;      // where the dialog's own grey shows
};

} // namespace

// Under today's face colour (240, 240, 240) every dialog still shows its
// statics and icons on the grey it is painted in, not in pale boxes.
TEST_F(DialogLook, DialogsKeepTheirGreyWhateverTheFaceColour) {
    const int aIndex[] = {COLOR_BTNFACE};
    const COLORREF crFaceBefore = GetSysColor(COLOR_BTNFACE);
    const COLORREF crModern = RGB(240, 240, 240);
    ASSERT_TRUE(SetSysColors(1, aIndex, &crModern));
    ASSERT_EQ(GetSysColor(COLOR_BTNFACE), crModern);

    LevelFinished(10, 120, 6);
    const COLORREF kGrey = RGB(192, 192, 192);
    const DialogCase kCases[] = {
        {"look_about.png", [] { return ShowAboutDlg(NULL); }, kGrey, {2, 2}},
        {"look_newhiscore.png",
         [] { return OpenTemplate("NEWHISCOREDLG", NewHiScoreDlgProc); },
         kGrey,
         {2, 2}},
        {"look_hiscore.png", [] { return ShowHiScoreDlg(NULL); }, kGrey, {2, 2}},
        {"look_leveldone.png", [] { return ShowLevelDoneDlg(NULL); }, kGrey, {33, 33}},
        {"look_options.png", [] { return ShowOptionsDlg(NULL); }, RGB(255, 255, 255), {2, 2}},
        {"look_warp.png", [] { return ShowWarpDlg(NULL); }, kGrey, {1, 1}},
        {"look_gameover.png",
         [] { return OpenTemplate("GAMEOVERDLG", GameOverDlgProc); },
         kGrey,
         {5, 5}},
        {"look_ending.png",
         [] { return OpenTemplate("WINGAMEDLG", WinGameDlgProc); },
         kGrey,
         {5, 5}},
    };
    for (const DialogCase& c : kCases) {
        SCOPED_TRACE(c.szShot);
        OpenAndLook(c.open, [&](HWND hDlg) {
            RECT rc;
            GetClientRect(hDlg, &rc);
            DibCanvas canvas(rc.right, rc.bottom, RGB(1, 2, 3));
            CaptureClient(hDlg, canvas);
            canvas.SavePng(ScreenshotPath(c.szShot));
            EXPECT_EQ(canvas.At(c.ptFill.x, c.ptFill.y), kGrey);
            for (HWND hwnd = GetWindow(hDlg, GW_CHILD); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
                if (!IsShowingStatic(hwnd)) continue;
                RECT r;
                GetWindowRect(hwnd, &r);
                MapWindowPoints(NULL, hDlg, (POINT*)&r, 2);
                char szText[64] = "";
                GetWindowTextA(hwnd, szText, sizeof szText);
                SCOPED_TRACE(std::to_string(GetDlgCtrlID(hwnd)) + " '" + szText + "'");
                // Its own background in the corners, the dialog's just around it.
                std::vector<POINT> aAround = {{r.left, r.top},
                                              {r.right - 1, r.top},
                                              {r.left, r.bottom - 1},
                                              {r.right - 1, r.bottom - 1}};
                for (int x = r.left - 1; x <= r.right; x++) {
                    aAround.push_back({x, r.top - 1});
                    aAround.push_back({x, r.bottom});
                }
                for (int y = r.top; y < r.bottom; y++) {
                    aAround.push_back({r.left - 1, y});
                    aAround.push_back({r.right, y});
                }
                int nWrong = 0;
                std::string sFirst;
                for (POINT pt : aAround) {
                    COLORREF cr = canvas.At(pt.x, pt.y);
                    if (cr == c.crAround) continue;
                    if (!nWrong++)
                        sFirst =
                            Hex(cr) + " at " + std::to_string(pt.x) + "," + std::to_string(pt.y);
                }
                EXPECT_EQ(nWrong, 0) << "first: " << sFirst;
            }
        });
    }

    const int aRestore[] = {COLOR_BTNFACE};
    SetSysColors(1, aRestore, &crFaceBefore);
}

namespace {

// --- Texts and their controls -------------------------------------------------------------

// Whether sText, drawn the way hwnd draws it in its own font, fits it;
// *psWhy tells the sizes when it does not.
bool TextFits(HWND hwnd, const std::string& sText, std::string* psWhy) {
    RECT rcClient;
    GetClientRect(hwnd, &rcClient);
    char szClass[16] = "";
    GetClassNameA(hwnd, szClass, sizeof szClass);
    LONG nStyle = GetWindowLongA(hwnd, GWL_STYLE);
    int nRoom = rcClient.right;
    UINT uFormat = DT_CALCRECT | DT_SINGLELINE;
    if (lstrcmpiA(szClass, "Static") == 0) {
        uFormat = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS;
        if (nStyle & SS_NOPREFIX) uFormat |= DT_NOPREFIX;
    } else if (lstrcmpiA(szClass, "Edit") == 0) {
        DWORD dwMargins = (DWORD)SendMessageA(hwnd, EM_GETMARGINS, 0, 0);
        nRoom -= LOWORD(dwMargins) + HIWORD(dwMargins) + 2;
        uFormat |= DT_NOPREFIX;
    } else if ((nStyle & BS_TYPEMASK) == BS_AUTOCHECKBOX ||
               (nStyle & BS_TYPEMASK) == BS_RADIOBUTTON) {
        nRoom -= 13 + 4; // the box and the gap after it
    } else {
        nRoom -= 4; // a push button's edges
    }
    HDC hdc = GetDC(hwnd);
    HGDIOBJ hfontOld = SelectObject(hdc, (HFONT)SendMessageA(hwnd, WM_GETFONT, 0, 0));
    RECT rc = {0, 0, nRoom, 0};
    DrawTextA(hdc, sText.c_str(), -1, &rc, uFormat);
    RECT rcLine = {0, 0, 0, 0};
    DrawTextA(hdc, sText.c_str(), -1, &rcLine, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(hdc, hfontOld);
    ReleaseDC(hwnd, hdc);
    *psWhy = "needs " + std::to_string(rcLine.right) + " x " + std::to_string(rc.bottom) +
             ", has " + std::to_string(nRoom) + " x " + std::to_string(rcClient.bottom);
    return rc.right <= nRoom && rc.bottom <= rcClient.bottom;
}

// Every text the controls of hDlg show now, then each of aShown in its
// control, fits.
void ExpectTextsFit(HWND hDlg, const std::vector<std::pair<int, std::string>>& aShown) {
    std::vector<std::pair<HWND, std::string>> aAll;
    for (HWND hwnd = GetWindow(hDlg, GW_CHILD); hwnd; hwnd = GetWindow(hwnd, GW_HWNDNEXT)) {
        char sz[128] = "";
        GetWindowTextA(hwnd, sz, sizeof sz);
        LONG nType = GetWindowLongA(hwnd, GWL_STYLE) & SS_TYPEMASK;
        char szClass[16] = "";
        GetClassNameA(hwnd, szClass, sizeof szClass);
        bool bPicture =
            lstrcmpiA(szClass, "Static") == 0 && (nType == SS_ICON || nType == SS_BITMAP);
        if (sz[0] && !bPicture && IsWindowVisible(hwnd)) aAll.push_back({hwnd, sz});
    }
    for (const auto& shown : aShown) aAll.push_back({GetDlgItem(hDlg, shown.first), shown.second});
    for (const auto& one : aAll) {
        std::string sWhy;
        ASSERT_TRUE(one.first) << one.second;
        EXPECT_TRUE(TextFits(one.first, one.second, &sWhy))
            << GetDlgCtrlID(one.first) << " '" << one.second << "' " << sWhy;
    }
}

std::string LevelDoneLine(int nLine) {
    return levelDone.aszText[nLine];
}

// A name as long as the new-high-score field takes it, typed key by key.
const char kLongName[] = "Maximiliane Featherstonehaughs";

} // namespace

// Each text a dialog or the side panel shows, with its longest real value,
// fits its control in the control's own font.
TEST_F(DialogLook, EveryTextFitsItsControl) {
    typedef std::vector<std::pair<int, std::string>> Shown;
    // The level-complete lines at their longest: a bonus of six digits, 999
    // tiles, every cell empty, every next goal and every password.
    Shown aLevelDone;
    LevelFinished(49, 999, 25);
    LevelDoneOpen();
    for (int nLine : {LD_LINE_TITLE, LD_LINE_TILES, LD_LINE_EMPTY, LD_LINE_NEXTHEAD})
        aLevelDone.push_back({IDC_LD_TITLE + nLine, LevelDoneLine(nLine)});
    LevelFinished(50, 4000, 25);
    LevelDoneOpen();
    for (int nLine : {LD_LINE_TITLE, LD_LINE_BONUS, LD_LINE_NEXTHEAD, LD_LINE_NEXT})
        aLevelDone.push_back({IDC_LD_TITLE + nLine, LevelDoneLine(nLine)});
    for (int nLevel = 1; nLevel < NUM_LEVELS; nLevel++) {
        LevelFinished(nLevel, 0, 0);
        LevelDoneOpen();
        aLevelDone.push_back({IDC_LD_NEXTLINE, LevelDoneLine(LD_LINE_NEXT)});
    }
    Shown aWarp;
    for (int nLevel = 6; nLevel < NUM_LEVELS; nLevel += 5) {
        char sz[WARP_SLOT_LEN];
        WarpPasswordForLevel(nLevel, sz);
        aLevelDone.push_back({IDC_LD_NEXTLINE, sz});
        aWarp.push_back({IDC_WARP_CODE, sz});
    }
    aLevelDone.push_back({IDC_LD_NEXTHEAD, "Warp Password"});
    // The high-score table with its widest values.
    Shown aHiScore;
    lLastScore = lHighToday = 99999999;
    for (int k = 0; k < 2; k++) {
        char sz[HS_TOPLINE_LEN];
        HighScoreTopLine(sz, sizeof sz);
        aHiScore.push_back({IDC_HS_TOPLINE, sz});
    }
    for (int k = 0; k < NUM_HIGH_SCORES; k++) {
        hsTable.aRow[k] = HighScoreEntry{"", 99999999, NUM_LEVELS, "07/04/1996"};
        char szScore[16], szLevel[16];
        HighScoreRowTexts(k, szScore, sizeof szScore, szLevel, sizeof szLevel);
        aHiScore.push_back({IDC_HS_SCORE + IDC_HS_ROWSTEP * k, szScore});
        aHiScore.push_back({IDC_HS_LEVEL + IDC_HS_ROWSTEP * k, szLevel});
    }
    // The longest name: what the new-high-score field takes of a long one.
    std::string sName;
    OpenAndLook([] { return OpenTemplate("NEWHISCOREDLG", NewHiScoreDlgProc); },
                [&](HWND hDlg) {
                    ExpectTextsFit(hDlg, {});
                    HWND hwndEdit = GetDlgItem(hDlg, IDC_NEWHS_NAME);
                    SetWindowTextA(hwndEdit, "");
                    for (const char* p = kLongName; *p; p++)
                        SendMessageA(hwndEdit, WM_CHAR, (WPARAM)(unsigned char)*p, 1);
                    char sz[64] = "";
                    GetWindowTextA(hwndEdit, sz, sizeof sz);
                    sName = sz;
                });
    for (int k = 0; k < NUM_HIGH_SCORES; k++)
        aHiScore.push_back({IDC_HS_NAME + IDC_HS_ROWSTEP * k, sName});

    struct Case {
        const char* szWhat;
        std::function<int()> open;
        Shown aShown;
    } const kCases[] = {
        {"About", [] { return ShowAboutDlg(NULL); }, {}},
        {"NEWHISCOREDLG",
         [] { return OpenTemplate("NEWHISCOREDLG", NewHiScoreDlgProc); },
         {{IDC_NEWHS_NAME, sName}}},
        {"HISCOREDLG", [] { return ShowHiScoreDlg(NULL); }, aHiScore},
        {"LEVELDONEDLG", [] { return OpenTemplate("LEVELDONEDLG", LevelDoneDlgProc); }, aLevelDone},
        {"OPTIONSDLG", [] { return ShowOptionsDlg(NULL); }, {}},
        {"WARPDLG", [] { return ShowWarpDlg(NULL); }, aWarp},
    };
    // At zoom 1 and, in fonts twice as tall, at zoom 2.
    const HFONT hfontDialogOne = hfontDialog;
    for (int n : {1, 2}) {
        nZoom = n;
        if (n > 1) hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(c.szWhat) + " at zoom " + std::to_string(n));
            OpenAndLook(c.open, [&](HWND hDlg) { ExpectTextsFit(hDlg, c.aShown); });
        }
        if (n > 1) DeleteObject(hfontDialog);
        hfontDialog = hfontDialogOne;
        nZoom = 1;
    }

    // The side panel's lines, every level's goal among them.
    SCOPED_TRACE("SCOREDLG");
    Shown aPanel;
    char sz[PANEL_TEXT_LEN];
    PanelLevelText(NUM_LEVELS, sz, sizeof sz);
    aPanel.push_back({IDC_PANEL_LEVEL, sz});
    PanelScoreText(99999999, sz, sizeof sz);
    aPanel.push_back({IDC_PANEL_SCORE, sz});
    for (int nLevel = 1; nLevel <= NUM_LEVELS; nLevel++) {
        PanelGoalText(aLevelGoal[nLevel].nAmount, aLevelGoal[nLevel].nKind, sz, sizeof sz);
        aPanel.push_back({IDC_PANEL_GOAL, sz});
    }
    HWND hwndOwner = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, APP_WIDTH, APP_HEIGHT, NULL,
                                     NULL, GetModuleHandleA(NULL), NULL);
    HFONT hfontBefore = hfontPanel;
    hfontPanel = CreateAppFont("Arial", 10, 1, 0, nZoom);
    ASSERT_EQ(PanelCreate(hwndOwner), 1);
    ExpectTextsFit((HWND)game.hwndPanel, aPanel);
    DestroyWindow(hwndOwner);
    game.hwndPanel = NULL;
    DeleteObject(hfontPanel);
    hfontPanel = hfontBefore;
}
