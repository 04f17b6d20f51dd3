// The game starts as one window of its class, with the caption and the size
// of its design, and ends with exit code 0 when that window is closed.
#include <gtest/gtest.h>

#include "tests/win32/support/game_process.h"

TEST(Startup, MainWindowCaptionSizeAndCleanExit) {
    GameRun run("startup");
    ASSERT_TRUE(run.Start()) << "no window of class kvoQuarrwClass appeared";
    HWND hwnd = run.Window();

    char szCaption[80] = "";
    GetWindowTextA(hwnd, szCaption, sizeof szCaption);
    EXPECT_STREQ(szCaption, "Quarrion v1.52");

    RECT rc;
    ASSERT_TRUE(GetWindowRect(hwnd, &rc));
    EXPECT_EQ(rc.right - rc.left, 640);
    EXPECT_EQ(rc.bottom - rc.top, 480 + GetSystemMetrics(SM_CYCAPTION));

    LONG lStyle = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_EQ(lStyle & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(lStyle & WS_SYSMENU);
    EXPECT_TRUE(lStyle & WS_MINIMIZEBOX);
    EXPECT_FALSE(lStyle & WS_MAXIMIZEBOX);
    EXPECT_FALSE(lStyle & WS_THICKFRAME);

    EXPECT_EQ(run.Close(), 0u);
}
