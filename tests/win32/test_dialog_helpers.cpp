// Centring and the dialog font, on real windows.
#include <gtest/gtest.h>

#include <climits>

#include "shell/dialogs.h"
#include "shell/display.h"

namespace {

HWND MakeWindow(DWORD dwStyle, int nWidth, int nHeight) {
    return CreateWindowExA(0, "STATIC", "", dwStyle, 5, 7, nWidth, nHeight, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

} // namespace

namespace {

// The monitor the tests pretend the game is on.
RECT rcFakeWork;
int FakeAreas(HWND, RECT* prcMonitor, RECT* prcWork) {
    *prcMonitor = *prcWork = rcFakeWork;
    return 1;
}

} // namespace

// In the middle of the work area of the game's monitor (a second monitor to
// the right of the first, or the design's 1024 x 768 screen), by the outer
// size of a popup and the client area of another window, and kept inside it.
TEST(CenterWindow, InTheWorkAreaOfTheGamesMonitor) {
    struct Case {
        RECT rcWork;
        DWORD dwStyle;
        int nWidth, nHeight;
        int x, y; // where it lands; INT_MIN: centred by its client area
    } const aCases[] = {
        {{0, 0, 1024, 768}, WS_POPUP, 300, 200, 362, 284},
        {{0, 0, 1024, 768}, WS_POPUP | WS_BORDER, 641, 481, 192, 144},
        {{1920, 40, 3840, 1080}, WS_POPUP, 300, 200, 2730, 460},
        {{1920, 40, 3840, 1080},
         WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
         640,
         499,
         INT_MIN,
         INT_MIN},
        {{1920, 40, 2560, 520}, WS_POPUP, 900, 700, 1920, 40}, // larger: its corner inside
        {{1920, 40, 2560, 520}, WS_POPUP, 600, 300, 1940, 130},
    };
    pfnDisplayMonitorAreas = FakeAreas;
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.nWidth << " x " << c.nHeight << " in " << c.rcWork.left
                                        << ".." << c.rcWork.right);
        rcFakeWork = c.rcWork;
        HWND hwnd = MakeWindow(c.dwStyle, c.nWidth, c.nHeight);
        ASSERT_TRUE(hwnd);
        RECT rcClient;
        GetClientRect(hwnd, &rcClient);
        ASSERT_TRUE(CenterWindow(hwnd));
        RECT rc;
        GetWindowRect(hwnd, &rc);
        int cx = (c.rcWork.left + c.rcWork.right) / 2, cy = (c.rcWork.top + c.rcWork.bottom) / 2;
        bool bClient = c.x == INT_MIN;
        EXPECT_EQ(rc.left, bClient ? cx - rcClient.right / 2 : c.x);
        EXPECT_EQ(rc.top, bClient ? cy - rcClient.bottom / 2 : c.y);
        EXPECT_EQ(rc.right - rc.left, c.nWidth); // the size is kept
        DestroyWindow(hwnd);
    }
    pfnDisplayMonitorAreas = DisplayPlatformMonitorAreas;
}

TEST(SetDialogFont, ReachesEveryChildButNotGrandchildren) {
    hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
    ASSERT_TRUE(hfontDialog);
    HWND hwndParent = MakeWindow(WS_POPUP, 200, 100);
    HWND hwndA = CreateWindowExA(0, "BUTTON", "a", WS_CHILD, 0, 0, 50, 20, hwndParent, NULL,
                                 GetModuleHandleA(NULL), NULL);
    HWND hwndB = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 30, 50, 20, hwndParent, NULL,
                                 GetModuleHandleA(NULL), NULL);
    HWND hwndGrand = CreateWindowExA(0, "BUTTON", "c", WS_CHILD, 0, 0, 10, 10, hwndB, NULL,
                                     GetModuleHandleA(NULL), NULL);
    SetDialogFont(hwndParent);
    EXPECT_EQ((HFONT)SendMessageA(hwndA, WM_GETFONT, 0, 0), hfontDialog);
    EXPECT_EQ((HFONT)SendMessageA(hwndB, WM_GETFONT, 0, 0), hfontDialog);
    EXPECT_NE((HFONT)SendMessageA(hwndGrand, WM_GETFONT, 0, 0), hfontDialog);

    LOGFONTA lf;
    ASSERT_TRUE(GetObjectA(hfontDialog, sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    HDC hdc = GetDC(NULL);
    EXPECT_EQ(lf.lfHeight, -MulDiv(12, GetDeviceCaps(hdc, LOGPIXELSY), 72));
    ReleaseDC(NULL, hdc);

    DestroyWindow(hwndParent);
    DeleteObject(hfontDialog);
    hfontDialog = NULL;
}
