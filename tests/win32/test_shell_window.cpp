// The main window's style and outer size follow the desktop it starts on.
#include <gtest/gtest.h>

#include "engine/game.h"
#include "prefs/prefs.h"
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
