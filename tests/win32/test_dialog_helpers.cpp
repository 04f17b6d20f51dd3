// Centring and the dialog font, on real windows.
#include <gtest/gtest.h>

#include "shell/dialogs.h"

namespace {

HWND MakeWindow(DWORD dwStyle, int nWidth, int nHeight) {
    return CreateWindowExA(0, "STATIC", "", dwStyle, 5, 7, nWidth, nHeight, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

} // namespace

TEST(CenterWindow, PopupsByOuterSizeOthersByClientArea) {
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2;
    int cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    struct Case {
        DWORD dwStyle;
        int nWidth, nHeight;
    } const aCases[] = {
        {WS_POPUP, 300, 200},
        {WS_POPUP | WS_BORDER, 641, 481},
        {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, 640, 499},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << c.nWidth << " x " << c.nHeight);
        HWND hwnd = MakeWindow(c.dwStyle, c.nWidth, c.nHeight);
        ASSERT_TRUE(hwnd);
        RECT rcMeasure;
        if (c.dwStyle & WS_POPUP)
            GetWindowRect(hwnd, &rcMeasure);
        else
            GetClientRect(hwnd, &rcMeasure);
        ASSERT_TRUE(CenterWindow(hwnd));
        RECT rc;
        GetWindowRect(hwnd, &rc);
        EXPECT_EQ(rc.left, cx + (rcMeasure.left - rcMeasure.right) / 2);
        EXPECT_EQ(rc.top, cy + (rcMeasure.top - rcMeasure.bottom) / 2);
        EXPECT_EQ(rc.right - rc.left, c.nWidth); // the size is kept
        DestroyWindow(hwnd);
    }
    // The odd width truncates toward zero: 641 wide on a 1024 screen is at 192.
    if (cx == 512) {
        HWND hwnd = MakeWindow(WS_POPUP, 641, 100);
        CenterWindow(hwnd);
        RECT rc;
        GetWindowRect(hwnd, &rc);
        EXPECT_EQ(rc.left, 192);
        DestroyWindow(hwnd);
    }
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
