// The game's own help window, opened modally over a window of the test and
// driven from a timer inside its loop: its look and the layout of every topic
// (with a screenshot of each), its keys and mouse, its GDI objects, and the
// help file beside the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/game.h"
#include "render/render_win.h"
#include "resources/resource.h"
#include "shell/app.h"
#include "shell/dialogs.h"
#include "shell/help.h"
#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/gdi_count.h"
#include "tests/win32/support/quiet_host.h"
#include "tests/win32/support/own_window.h"

namespace {

enum { DRIVE_MS = 40, DRIVE_GIVE_UP = 400 };

// One step of a drive, run on a tick of the timer; true moves on to the next.
typedef std::function<bool(HWND hwndDlg)> Step;

HWND hwndOwner;
std::vector<Step> aSteps;
size_t nStepAt;
int nTicks;
bool bGaveUp;
bool bSeenOpen;

HWND FindHelp() {
    return FindOwnWindow("#32770", "Quarrion Help");
}

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    HWND hwndDlg = FindHelp();
    if (++nTicks > DRIVE_GIVE_UP) { // never hang the suite
        bGaveUp = true;
        EndMenu();
        if (hwndDlg) EndDialog(hwndDlg, -7);
        return;
    }
    if (hwndDlg) bSeenOpen = true;
    if (nStepAt < aSteps.size() && aSteps[nStepAt](hwndDlg)) nStepAt++;
}

int RunHelp(std::vector<Step> steps) {
    aSteps = std::move(steps);
    nStepAt = 0;
    nTicks = 0;
    bGaveUp = bSeenOpen = false;
    UINT_PTR idTimer = SetTimer(NULL, 0, DRIVE_MS, Drive);
    int nResult = ShowHelp(hwndOwner);
    KillTimer(NULL, idTimer);
    EXPECT_FALSE(bGaveUp) << "the drive stopped at step " << nStepAt;
    return nResult;
}

HWND List(HWND hwndDlg) {
    return GetDlgItem(hwndDlg, IDC_HELP_TOPICS);
}
HWND Page(HWND hwndDlg) {
    return GetDlgItem(hwndDlg, IDC_HELP_PAGE);
}
int ScrollPos(HWND hwndDlg) {
    return GetScrollPos(Page(hwndDlg), SB_VERT);
}
void Key(HWND hwnd, WPARAM vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 0);
}

// Waits for the open window (and one tick more, so it has painted).
Step Opened() {
    return [](HWND hwndDlg) { return hwndDlg != NULL; };
}
Step Do(std::function<void(HWND)> fn) {
    return [fn](HWND hwndDlg) {
        if (!hwndDlg) return false;
        fn(hwndDlg);
        return true;
    };
}

// The whole window, frame and all, from its own window surface.
void Screenshot(HWND hwndDlg, const std::string& sFile) {
    UpdateWindow(hwndDlg);
    RECT rc;
    GetWindowRect(hwndDlg, &rc);
    DibCanvas canvas(rc.right - rc.left, rc.bottom - rc.top, RGB(1, 2, 3));
    HDC hdc = GetWindowDC(hwndDlg);
    BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdc, 0, 0, SRCCOPY);
    ReleaseDC(hwndDlg, hdc);
    EXPECT_TRUE(canvas.SavePng(ScreenshotPath(sFile.c_str()))) << sFile;
}

// The topic's page as the player's fonts measure it: every line inside the
// page's width, no line on a picture or on another line.
void LayoutCheck(int nTopic) {
    SCOPED_TRACE("topic " + std::to_string(nTopic));
    int nWidth = 0;
    const HelpLayout* pLayout = HelpViewerLayout(&nWidth);
    ASSERT_TRUE(pLayout);
    ASSERT_GT(pLayout->nItems, 1);
    EXPECT_GT(nWidth, 300);
    HDC hdc = CreateCompatibleDC(NULL);
    std::vector<RECT> aText, aPicture;
    for (int i = 0; i < pLayout->nItems; i++) {
        const HelpItem& item = pLayout->aItem[i];
        RECT rc = {item.x, item.y, item.x + item.w, item.y + item.h};
        if (item.nType == HI_TEXT) {
            HGDIOBJ hfontOld = SelectObject(hdc, HelpViewerFont(item.nFont));
            SIZE size = {0, 0};
            GetTextExtentPoint32A(hdc, item.p, item.n, &size);
            SelectObject(hdc, hfontOld);
            rc.right = item.x + size.cx;
            rc.bottom = item.y + size.cy;
            EXPECT_LE(rc.right, nWidth) << std::string(item.p, item.n);
            aText.push_back(rc);
        } else {
            EXPECT_LE(rc.right, nWidth) << HelpPictureName(item.nPicture);
            aPicture.push_back(rc);
        }
        EXPECT_LE(rc.bottom, pLayout->nHeight);
    }
    DeleteDC(hdc);
    RECT rcBoth;
    for (size_t i = 0; i < aText.size(); i++) {
        for (const RECT& rcPicture : aPicture)
            EXPECT_FALSE(IntersectRect(&rcBoth, &aText[i], &rcPicture)) << "text " << i;
        for (size_t j = i + 1; j < aText.size(); j++)
            EXPECT_FALSE(IntersectRect(&rcBoth, &aText[i], &aText[j])) << i << " and " << j;
    }
}

// "help_04_lines_and_points.png", then "..._2.png" for its second page.
std::string ShotName(int nTopic, const std::string& sTitle, int nPart) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "help_%02d_", nTopic + 1);
    std::string s = sz;
    for (char c : sTitle)
        if (isalnum((unsigned char)c))
            s += (char)tolower((unsigned char)c);
        else if (c == ' ')
            s += '_';
    if (nPart > 0) s += "_" + std::to_string(nPart + 1);
    return s + ".png";
}

class Help : public testing::Test {
  protected:
    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        pHostBefore = pHost;
        HostInstallWin32();
        hostHelp = *pHost;
        HostQuietStartup(hostHelp);
        HostInstall(&hostHelp);
        game = GameState{};
        GameInit(NULL); // the goal names from the string table, the lanes' places
        LoadBitmaps();
        hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
        hfontPanel = CreateAppFont("Arial", 10, 1, 0, nZoom);
        hwndOwner = CreateWindowExA(0, "STATIC", "help owner", WS_POPUP | WS_VISIBLE, 0, 0, 40, 30,
                                    NULL, NULL, hInst, NULL);
        ASSERT_TRUE(hwndOwner);
    }
    void TearDown() override {
        DestroyWindow(hwndOwner);
        hwndOwner = NULL;
        FreeBitmaps();
        DeleteObject(hfontDialog);
        DeleteObject(hfontPanel);
        hfontDialog = hfontPanel = NULL;
        pfnHelpWinHelp = WinHelpW;
        HostInstall(pHostBefore ? pHostBefore : &hostHelp);
        if (!pHostBefore) HostInstallWin32();
    }
    GameHost hostHelp;
    const GameHost* pHostBefore = nullptr;
};

} // namespace

TEST_F(Help, EveryTopicFitsItsPageInTheGamesLookAndIsPhotographed) {
    ASSERT_FALSE(HelpFileExists()) << "a QUARR.HLP beside the test program would open the viewer";
    int nTopic = 0, nPart = 0, nTopics = 0;
    RECT rcWindow = {};
    bool bOwnerEnabled = true;
    std::string sTopics;
    std::vector<Step> steps = {Opened(), Do([&](HWND hwndDlg) {
                                   GetWindowRect(hwndDlg, &rcWindow);
                                   bOwnerEnabled = IsWindowEnabled(hwndOwner) != 0;
                                   EXPECT_EQ(GetFocus(), List(hwndDlg));
                                   nTopics = (int)SendMessageA(List(hwndDlg), LB_GETCOUNT, 0, 0);
                               })};
    // Each topic: its layout, its screenshot and those of its further pages,
    // then Down in the contents for the next one.
    steps.push_back([&](HWND hwndDlg) {
        EXPECT_EQ(HelpViewerTopic(), nTopic);
        char sz[64] = "";
        SendMessageA(List(hwndDlg), LB_GETTEXT, (WPARAM)nTopic, (LPARAM)sz);
        if (nPart == 0) {
            sTopics += std::string(sz) + "|";
            LayoutCheck(nTopic);
        }
        Screenshot(hwndDlg, ShotName(nTopic, sz, nPart));
        int nPos = ScrollPos(hwndDlg);
        SendMessageA(List(hwndDlg), WM_KEYDOWN, VK_NEXT, 0); // the page scrolls
        if (ScrollPos(hwndDlg) != nPos && nPart < 4) {
            nPart++;
            return false;
        }
        nPart = 0;
        if (++nTopic >= nTopics) return true;
        SendMessageA(List(hwndDlg), WM_KEYDOWN, VK_DOWN, 0);
        return false;
    });
    steps.push_back(Do([](HWND hwndDlg) { Key(List(hwndDlg), VK_ESCAPE); }));
    EXPECT_EQ(RunHelp(steps), 1);
    EXPECT_FALSE(FindHelp());
    EXPECT_EQ(nTopic, 12);
    EXPECT_EQ(sTopics, "How to play|Keys|Catching, dropping and lives|Lines and points|"
                       "Chain reactions|Level goals|Level bonus|Warp passwords|Options|"
                       "High scores|Music and sound|Gamepad|");
    // Modal over its owner, centred, wholly inside 640 x 480.
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_TRUE(IsWindowEnabled(hwndOwner));
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    EXPECT_EQ(rcWindow.left, cx + (rcWindow.left - rcWindow.right) / 2);
    EXPECT_EQ(rcWindow.top, cy + (rcWindow.top - rcWindow.bottom) / 2);
    EXPECT_LE(rcWindow.right - rcWindow.left, 640);
    EXPECT_LE(rcWindow.bottom - rcWindow.top, 480);
    EXPECT_EQ(HelpViewerFont(HF_BODY), hfontDialog);
}

// Each test closes the window its own way: Escape, the right-click menu's
// Close, the close box and Enter.
TEST_F(Help, KeysAndMouseChooseTopicsScrollThePageAndClose) {
    int nItemH = 0;
    std::string sMenuItem;
    UINT nMenuId = 0;
    std::vector<Step> steps = {
        Opened(),
        Do([](HWND hwndDlg) { Key(List(hwndDlg), VK_TAB); }),
        Do([&](HWND hwndDlg) {
            EXPECT_EQ(GetFocus(), Page(hwndDlg)); // Tab: from the contents to the page
            Key(Page(hwndDlg), VK_TAB);
        }),
        Do([&](HWND hwndDlg) {
            EXPECT_EQ(GetFocus(), List(hwndDlg)); // and back
            // A click on the fourth topic.
            RECT rcItem = {};
            SendMessageA(List(hwndDlg), LB_GETITEMRECT, 3, (LPARAM)&rcItem);
            nItemH = rcItem.bottom - rcItem.top;
            LPARAM lPoint = MAKELPARAM(20, (rcItem.top + rcItem.bottom) / 2);
            SendMessageA(List(hwndDlg), WM_LBUTTONDOWN, MK_LBUTTON, lPoint);
            SendMessageA(List(hwndDlg), WM_LBUTTONUP, 0, lPoint);
        }),
        Do([&](HWND hwndDlg) {
            EXPECT_EQ(HelpViewerTopic(), 3);
            HWND hwndPage = Page(hwndDlg);
            SCROLLINFO si = {};
            si.cbSize = sizeof si;
            si.fMask = SIF_ALL;
            GetScrollInfo(hwndPage, SB_VERT, &si);
            int nEnd = si.nMax - (int)si.nPage + 1;
            ASSERT_GT(nEnd, 0) << "a long page";
            struct Press {
                WPARAM vk;
                int nPos;
            };
            const int nLine = ScrollPos(hwndDlg); // still 0
            const Press aPress[] = {{VK_NEXT, -1}, {VK_END, nEnd}, {VK_PRIOR, -1},
                                    {VK_HOME, 0},  {VK_DOWN, -1},  {VK_UP, nLine}};
            int nBefore = 0;
            for (const Press& p : aPress) {
                SendMessageA(hwndPage, WM_KEYDOWN, p.vk, 0);
                if (p.nPos >= 0)
                    EXPECT_EQ(ScrollPos(hwndDlg), p.nPos) << p.vk;
                else
                    EXPECT_NE(ScrollPos(hwndDlg), nBefore) << p.vk;
                nBefore = ScrollPos(hwndDlg);
            }
            // In the contents, Home and End scroll the page as the help says;
            // the topic stays.
            SendMessageA(List(hwndDlg), WM_KEYDOWN, VK_END, 0);
            EXPECT_EQ(ScrollPos(hwndDlg), nEnd);
            SendMessageA(List(hwndDlg), WM_KEYDOWN, VK_HOME, 0);
            EXPECT_EQ(ScrollPos(hwndDlg), 0);
            EXPECT_EQ(HelpViewerTopic(), 3);
            // The wheel scrolls the page wherever the focus is.
            SendMessageA(List(hwndDlg), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
            const int nNotch = ScrollPos(hwndDlg);
            EXPECT_GT(nNotch, 0);
            SendMessageA(hwndPage, WM_MOUSEWHEEL, MAKEWPARAM(0, 2 * WHEEL_DELTA), 0);
            EXPECT_EQ(ScrollPos(hwndDlg), 0);
            // Steps of an eighth of a notch (a touchpad) add up to a notch.
            for (int i = 0; i < 8; i++)
                SendMessageA(hwndPage, WM_MOUSEWHEEL, MAKEWPARAM(0, (WORD)(-WHEEL_DELTA / 8)), 0);
            EXPECT_EQ(ScrollPos(hwndDlg), nNotch);
            SendMessageA(hwndPage, WM_KEYDOWN, VK_HOME, 0);
            // Up in the contents: the topic before, from its top.
            SendMessageA(hwndPage, WM_KEYDOWN, VK_END, 0);
            SendMessageA(List(hwndDlg), WM_KEYDOWN, VK_UP, 0);
            EXPECT_EQ(HelpViewerTopic(), 2);
            EXPECT_EQ(ScrollPos(hwndDlg), 0);
            PostMessageA(hwndPage, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(30, 30));
        }),
        [&](HWND hwndDlg) { // the right button's menu: its one item, chosen by keyboard
            HWND hwndMenu = FindOwnWindow("#32768", NULL);
            if (!hwndMenu) return false;
            HMENU hMenu = (HMENU)SendMessageA(hwndMenu, MN_GETHMENU, 0, 0);
            char sz[64] = "";
            GetMenuStringA(hMenu, 0, sz, sizeof sz, MF_BYPOSITION);
            sMenuItem = sz;
            nMenuId = GetMenuItemID(hMenu, 0);
            PostMessageA(hwndDlg, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageA(hwndDlg, WM_KEYDOWN, VK_RETURN, 0);
            return true;
        },
    };
    EXPECT_EQ(RunHelp(steps), 1);
    EXPECT_FALSE(FindHelp());
    EXPECT_GT(nItemH, 0);
    EXPECT_EQ(sMenuItem, "&Close\tAlt+F4");
    EXPECT_EQ(nMenuId, (UINT)IDCANCEL);
}

TEST_F(Help, GivesBackEveryGdiObjectItMakes) {
    // Every topic shown and scrolled to its end, then the close box.
    auto Tour = []() {
        return std::vector<Step>{Opened(), [](HWND hwndDlg) {
                                     if (!hwndDlg) return false;
                                     UpdateWindow(Page(hwndDlg));
                                     SendMessageA(Page(hwndDlg), WM_KEYDOWN, VK_END, 0);
                                     UpdateWindow(Page(hwndDlg));
                                     if (HelpViewerTopic() + 1 <
                                         (int)SendMessageA(List(hwndDlg), LB_GETCOUNT, 0, 0)) {
                                         SendMessageA(List(hwndDlg), WM_KEYDOWN, VK_DOWN, 0);
                                         return false;
                                     }
                                     PostMessageA(hwndDlg, WM_SYSCOMMAND, SC_CLOSE, 0);
                                     return true;
                                 }};
    };
    RunHelp(Tour()); // the first opening registers the page's class
    long nBefore = GdiObjectCount();
    ASSERT_GE(nBefore, 0);
    EXPECT_EQ(RunHelp(Tour()), 1);
    EXPECT_EQ(GdiObjectCount(), nBefore);
}

static std::string sAsked;
static BOOL bAnswer;
static BOOL WINAPI WinHelpStandIn(HWND, LPCWSTR wszFile, UINT uCommand, ULONG_PTR) {
    char szFile[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, wszFile, -1, szFile, MAX_PATH, NULL, NULL);
    sAsked = std::string(szFile) + " " + std::to_string(uCommand);
    return bAnswer;
}

// A help file beside the program goes to the platform's viewer; when that
// cannot open it, the game's own help shows instead.
TEST_F(Help, AHelpFileGoesToThePlatformViewerAndOursStandsIn) {
    wchar_t wszPath[MAX_PATH];
    ASSERT_TRUE(HelpFilePath(wszPath, MAX_PATH));
    char szPath[MAX_PATH];
    WideCharToMultiByte(CP_ACP, 0, wszPath, -1, szPath, MAX_PATH, NULL, NULL);
    pfnHelpWinHelp = WinHelpStandIn;
    auto CloseAtOnce = []() {
        return std::vector<Step>{Opened(), Do([](HWND hwndDlg) { Key(List(hwndDlg), VK_RETURN); })};
    };

    sAsked.clear();
    ASSERT_FALSE(HelpFileExists());
    EXPECT_EQ(RunHelp(CloseAtOnce()), 1);
    EXPECT_TRUE(bSeenOpen);
    EXPECT_EQ(sAsked, ""); // no file, no viewer asked

    HANDLE h = CreateFileA(szPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    for (BOOL b : {FALSE, TRUE}) {
        SCOPED_TRACE(b);
        bAnswer = b;
        sAsked.clear();
        if (b) {
            EXPECT_EQ(ShowHelp(hwndOwner), 1); // the viewer took it: nothing of ours opens
            EXPECT_FALSE(FindHelp());
        } else {
            EXPECT_EQ(RunHelp(CloseAtOnce()), 1);
            EXPECT_TRUE(bSeenOpen);
        }
        EXPECT_EQ(sAsked, std::string(szPath) + " " + std::to_string(HELP_CONTENTS));
    }
    EXPECT_TRUE(DeleteFileA(szPath));
    // A folder of that name is no help file.
    ASSERT_TRUE(CreateDirectoryA(szPath, NULL));
    EXPECT_FALSE(HelpFileExists());
    EXPECT_TRUE(RemoveDirectoryA(szPath));
}

// The contents list in a smaller and a larger font than the game's: below the
// last topic it is white, whatever the system's window colour; when the
// topics do not fit it gets a scroll bar and shows the last topic whole.
TEST_F(Help, TheContentsScrollWhenTheTopicsDoNotFitAndAreWhiteBelowThem) {
    int nColour = COLOR_WINDOW;
    const COLORREF crWindow = GetSysColor(COLOR_WINDOW), crOdd = RGB(0, 128, 128);
    ASSERT_TRUE(SetSysColors(1, &nColour, &crOdd));
    struct Case {
        int nPoints;
        bool bScrolls;
    } const kCases[] = {{8, false}, {20, true}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.nPoints);
        DeleteObject(hfontDialog);
        hfontDialog = CreateAppFont("Arial", c.nPoints, 1, 0, nZoom);
        bool bScrollBar = false;
        RECT rcClient = {}, rcLast = {};
        COLORREF crBelow = CLR_INVALID;
        std::vector<Step> steps = {
            Opened(), Do([&](HWND hwndDlg) {
                HWND hwndList = List(hwndDlg);
                bScrollBar = (GetWindowLongA(hwndList, GWL_STYLE) & WS_VSCROLL) != 0;
                GetClientRect(hwndList, &rcClient);
                int nLast = (int)SendMessageA(hwndList, LB_GETCOUNT, 0, 0) - 1;
                SendMessageA(hwndList, LB_GETITEMRECT, (WPARAM)nLast, (LPARAM)&rcLast);
                if (rcLast.bottom < rcClient.bottom - 4) {
                    UpdateWindow(hwndList);
                    HDC hdc = GetDC(hwndList);
                    crBelow =
                        GetPixel(hdc, rcClient.right / 2, (rcLast.bottom + rcClient.bottom) / 2);
                    ReleaseDC(hwndList, hdc);
                }
                for (int i = 0; i < nLast; i++) SendMessageA(hwndList, WM_KEYDOWN, VK_DOWN, 0);
                SendMessageA(hwndList, LB_GETITEMRECT, (WPARAM)nLast, (LPARAM)&rcLast);
                Screenshot(hwndDlg, "help_contents_" + std::to_string(c.nPoints) + "pt.png");
                Key(hwndList, VK_ESCAPE);
            })};
        EXPECT_EQ(RunHelp(steps), 1);
        EXPECT_EQ(bScrollBar, c.bScrolls);
        if (!c.bScrolls) {
            EXPECT_EQ(crBelow, RGB(255, 255, 255));
        }
        // The last topic chosen is in view, whole.
        EXPECT_GE(rcLast.top, 0);
        EXPECT_LE(rcLast.bottom, rcClient.bottom);
    }
    SetSysColors(1, &nColour, &crWindow);
}
