// The main window's style and outer size follow the desktop it starts on.
#include <gtest/gtest.h>

#include <climits>

#include "engine/game.h"
#include "prefs/prefs.h"
#include "resources/resource.h"
#include "render/zoom_win.h"
#include "shell/app.h"
#include "shell/display.h"

TEST(MainWindowShape, FollowsTheDesktopSize) {
    const int nCaption = 19;
    struct Case {
        int nWidth, nHeight;
        bool bCaption;
    } const aCases[] = {
        {1024, 768, true}, {641, 481, true},  {640, 480, false}, {800, 480, false},
        {640, 600, false}, {600, 400, false}, {639, 768, false},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.nWidth << " x " << c.nHeight);
        MainWindowShape shape = MainWindowShapeFor(c.nWidth, c.nHeight, nCaption);
        EXPECT_EQ(shape.nWidth, 640);
        if (c.bCaption) {
            EXPECT_EQ(shape.dwStyle, (DWORD)(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
            EXPECT_EQ(shape.nHeight, 480 + nCaption);
        } else {
            EXPECT_EQ(shape.dwStyle, (DWORD)(WS_POPUP | WS_BORDER | WS_SYSMENU));
            EXPECT_EQ(shape.nHeight, 480);
        }
    }
}

// Whatever the menu bar and the frame take, a captioned window is sized to a
// client area of 640 x 480; the captionless one keeps the screen's size.
TEST(MainWindowShape, CaptionedWindowFitsItsClientAreaAroundTheMenuBar) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuarrionFitTest";
    RegisterClassA(&wc);
    HMENU hMenu = CreateMenu();
    AppendMenuA(hMenu, MF_STRING, 1, "&File");
    struct Case {
        bool bCaption, bMenu;
    } const aCases[] = {{true, true}, {true, false}, {false, true}};
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << "caption " << c.bCaption << ", menu " << c.bMenu);
        MainWindowShape shape = MainWindowShapeFor(c.bCaption ? 1024 : 640, c.bCaption ? 768 : 480,
                                                   GetSystemMetrics(SM_CYCAPTION));
        HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", shape.dwStyle, 0, 0, shape.nWidth,
                                    shape.nHeight, NULL, NULL, wc.hInstance, NULL);
        ASSERT_TRUE(hwnd);
        // The menu bar goes on and, for the second turn, off again as the
        // options dialog does it.
        SetMenu(hwnd, hMenu);
        MainWindowFitClient(hwnd);
        if (!c.bMenu) {
            SetMenu(hwnd, NULL);
            MainWindowFitClient(hwnd);
        }
        RECT rcClient, rcWindow;
        GetClientRect(hwnd, &rcClient);
        GetWindowRect(hwnd, &rcWindow);
        if (c.bCaption) {
            EXPECT_EQ(rcClient.right, 640);
            EXPECT_EQ(rcClient.bottom, 480);
        } else {
            EXPECT_EQ(rcWindow.right - rcWindow.left, 640);
            EXPECT_EQ(rcWindow.bottom - rcWindow.top, 480);
        }
        SetMenu(hwnd, NULL);
        DestroyWindow(hwnd);
    }
    DestroyMenu(hMenu);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

namespace {

RECT rcFakeWork;
int FakeAreas(HWND, RECT* prcMonitor, RECT* prcWork) {
    *prcWork = rcFakeWork;
    *prcMonitor = RECT{0, 0, rcFakeWork.right, rcFakeWork.bottom + 40};
    return 1;
}

} // namespace

// Until the player chooses, the window takes the largest zoom at which it
// fits the work area of its monitor, with this system's frame, caption and
// menu bar, and is centred in it.
TEST(MainWindowShape, TheFittedZoomFollowsTheWorkArea) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuarrionZoomFitTest";
    RegisterClassA(&wc);
    HMENU hMenu = CreateMenu();
    AppendMenuA(hMenu, MF_STRING, 1, "&File");
    PrefsSetDefaults();
    const struct {
        RECT rcWork;
        int nZoom;
    } aCases[] = {
        {{0, 0, 1366, 728}, 1},
        {{0, 0, 1920, 1040}, 2},
        {{0, 0, 2560, 1400}, 2},
        {{0, 0, 3840, 2120}, 4},
    };
    pfnDisplayMonitorAreas = FakeAreas;
    for (const auto& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.rcWork.right << " x " << c.rcWork.bottom);
        rcFakeWork = c.rcWork;
        HWND hwnd =
            CreateWindowExA(0, wc.lpszClassName, "", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0,
                            640, 500, NULL, NULL, wc.hInstance, NULL);
        ASSERT_TRUE(hwnd);
        hMainMenu = hMenu;
        game.hwndMain = hwnd;
        SetMenu(hwnd, hMenu);
        EXPECT_EQ(DisplayLargestZoom(hwnd), c.nZoom);
        EXPECT_EQ(DisplayApply(hwnd), 1);
        RECT rcClient, rcWindow;
        GetClientRect(hwnd, &rcClient);
        GetWindowRect(hwnd, &rcWindow);
        EXPECT_EQ(rcClient.right, 640 * c.nZoom);
        EXPECT_EQ(rcClient.bottom, 480 * c.nZoom);
        EXPECT_GE(rcWindow.left, 0);
        EXPECT_GE(rcWindow.top, 0);
        EXPECT_LE(rcWindow.right, c.rcWork.right);
        EXPECT_LE(rcWindow.bottom, c.rcWork.bottom);
        EXPECT_LE(abs(rcWindow.left - (c.rcWork.right - rcWindow.right)), 1);
        SetMenu(hwnd, NULL);
        DestroyWindow(hwnd);
    }
    // Back as the other tests expect it.
    pfnDisplayMonitorAreas = DisplayPlatformMonitorAreas;
    hMainMenu = NULL;
    game.hwndMain = NULL;
    nZoom = 1;
    DisplayFree();
    DestroyMenu(hMenu);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

namespace {

// Two monitors side by side; a window is on the second one while its centre
// is, else on the first.
struct FakeMonitor {
    RECT rcMonitor, rcWork;
} aFakeMonitors[2];

int FakeMonitorAreas(HWND hwnd, RECT* prcMonitor, RECT* prcWork) {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    const FakeMonitor& m = aFakeMonitors[PtInRect(&aFakeMonitors[1].rcMonitor, pt) ? 1 : 0];
    *prcMonitor = m.rcMonitor;
    *prcWork = m.rcWork;
    return 1;
}

// The display's messages go to the game's window procedure.
LRESULT CALLBACK DisplayTestProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == 0x02E0 /* WM_DPICHANGED */ || uMsg == WM_EXITSIZEMOVE || uMsg == WM_DISPLAYCHANGE ||
        uMsg == WM_SYSCOMMAND || uMsg == WM_INITMENUPOPUP || uMsg == WM_COMMAND)
        return MainWndProc(hwnd, uMsg, wParam, lParam);
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

} // namespace

// A DPI change takes the suggested place and fits the client area to the zoom
// in force there; a move's end, a change of resolution and leaving full screen
// fit it again (inside a work area), whatever the menu bar did meanwhile; the
// full-screen window cannot be moved.
TEST(MainWindowShape, MonitorsDpiAndFullScreenKeepTheClientAreaWhole) {
    aFakeMonitors[0] = {{0, 0, 1280, 1024}, {0, 0, 1280, 984}};        // zoom 1 fits
    aFakeMonitors[1] = {{1280, 0, 3840, 2160}, {1280, 0, 3840, 2120}}; // zoom 3 fits
    pfnDisplayMonitorAreas = FakeMonitorAreas;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DisplayTestProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuarrionMonitorTest";
    RegisterClassA(&wc);
    PrefsSetDefaults();
    prefs.bUseMenu = 1;
    hMainMenu = CreateMenu();
    AppendMenuA(hMainMenu, MF_STRING, 1, "&File");
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100,
                                100, 640, 500, NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(hwnd);
    SetMenu(hwnd, hMainMenu);
    RECT rc, rcClient;
    auto Expect = [&](int nZoomNow, int x, int y) {
        GetClientRect(hwnd, &rcClient);
        GetWindowRect(hwnd, &rc);
        EXPECT_EQ(nZoom, nZoomNow);
        bool bFull = DisplayIsFullScreen();
        EXPECT_EQ(rcClient.right, bFull ? rc.right - rc.left : 640 * nZoomNow);
        EXPECT_EQ(rcClient.bottom, bFull ? rc.bottom - rc.top : 480 * nZoomNow);
        EXPECT_EQ(rc.left, x != INT_MIN ? x : rc.left);
        EXPECT_EQ(rc.top, y != INT_MIN ? y : rc.top);
    };
    auto Inside = [&](const RECT& rcArea) {
        RECT rcBoth;
        return IntersectRect(&rcBoth, &rc, &rcArea) && EqualRect(&rcBoth, &rc);
    };

    // Dragged across: the suggested place, never centred; the chosen zoom, or
    // the largest that fits where it does not.
    struct Dpi {
        int nPrefZoom;
        RECT rcSuggested;
        int nZoom;
    } const aDpi[] = {{ZOOM_FITS, {1500, 200, 2300, 900}, 3},
                      {2, {100, 50, 800, 600}, 1},
                      {2, {1400, 300, 2000, 800}, 2},
                      {ZOOM_FITS, {20, 30, 700, 500}, 1}};
    for (const Dpi& d : aDpi) {
        prefs.nZoom = d.nPrefZoom;
        SendMessageA(hwnd, 0x02E0, MAKEWPARAM(144, 144), (LPARAM)&d.rcSuggested);
        Expect(d.nZoom, d.rcSuggested.left, d.rcSuggested.top);
    }
    // A move that ends on the other monitor fits the zoom there, inside it.
    SetWindowPos(hwnd, NULL, 3300, 1800, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageA(hwnd, WM_EXITSIZEMOVE, 0, 0);
    Expect(3, INT_MIN, INT_MIN);
    EXPECT_TRUE(Inside(aFakeMonitors[1].rcWork));

    // Full screen without the menu bar, which the options turn on meanwhile;
    // the system menu's Move is grey.
    prefs.bUseMenu = 0;
    SetMenu(hwnd, NULL);
    MainWindowFitClient(hwnd);
    RECT rcBefore;
    GetWindowRect(hwnd, &rcBefore);
    SendMessageA(hwnd, WM_COMMAND, IDM_FULLSCREEN, 0);
    prefs.bUseMenu = 1;
    SetMenu(hwnd, hMainMenu);
    MainWindowFitClient(hwnd);
    HMENU hSysMenu = GetSystemMenu(hwnd, FALSE);
    SendMessageA(hwnd, WM_INITMENUPOPUP, (WPARAM)hSysMenu, MAKELPARAM(0, TRUE));
    EXPECT_TRUE(GetMenuState(hSysMenu, SC_MOVE, MF_BYCOMMAND) & MF_GRAYED);
    Expect(4, 1280, 0);
    // Leaving: the rectangle it had, the client area whole below the menu bar.
    SendMessageA(hwnd, WM_COMMAND, IDM_FULLSCREEN, 0);
    Expect(3, rcBefore.left, rcBefore.top);
    EXPECT_EQ(rc.right, rcBefore.right);

    // A change of resolution in full screen covers the monitor again; leaving,
    // the old place lies off every monitor.
    SendMessageA(hwnd, WM_COMMAND, IDM_FULLSCREEN, 0);
    aFakeMonitors[1] = {{1280, 0, 3200, 1200}, {1280, 0, 3200, 1160}};
    SendMessageA(hwnd, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1200));
    Expect(2, 1280, 0);
    EXPECT_TRUE(EqualRect(&rc, &aFakeMonitors[1].rcMonitor));
    aFakeMonitors[1] = {{-1920, 0, 0, 1080}, {-1920, 0, 0, 1040}};
    SendMessageA(hwnd, WM_COMMAND, IDM_FULLSCREEN, 0);
    Expect(1, INT_MIN, INT_MIN);
    EXPECT_TRUE(Inside(aFakeMonitors[0].rcWork));

    DestroyWindow(hwnd);
    DestroyMenu(hMainMenu);
    pfnDisplayMonitorAreas = DisplayPlatformMonitorAreas;
    hMainMenu = NULL;
    nZoom = 1;
    DisplayFree();
}
