// The main window's style and outer size follow the desktop it starts on.
#include <gtest/gtest.h>

#include "shell/app.h"

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
