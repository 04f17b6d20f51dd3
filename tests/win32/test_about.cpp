// The About box, opened modally and driven from a timer inside its own loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "shell/about.h"
#include "shell/app.h"
#include "shell/dialogs.h"
#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/own_window.h"

namespace {

enum { DRIVE_MS = 50, DRIVE_GIVE_UP = 100 };

// What the drive saw of the open box.
struct Seen {
    bool bOpen = false;
    std::vector<std::string> asText;
    bool bAllFonts = true;
    RECT rc = {};
    COLORREF crText = 0, crBack = 0;
    int nBkMode = 0;
    HGDIOBJ hBrushStatic = NULL, hBrushDlg = NULL;
    std::string sMenuItem;
    UINT nMenuId = 0;
};

// How a drive closes the box.
enum Close { CLOSE_OK, CLOSE_BOX, CLOSE_ESCAPE, CLOSE_MENU };

Close eClose;
Seen seen;
int nTicks;
int nStep;
const char* szShot;

HWND FindAbout() {
    return FindOwnWindow("#32770", "About...");
}

void Look(HWND hwndDlg) {
    seen.bOpen = true;
    GetWindowRect(hwndDlg, &seen.rc);
    for (HWND h = GetWindow(hwndDlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        char sz[128] = "";
        GetWindowTextA(h, sz, sizeof sz);
        seen.asText.push_back(sz);
        // Every control that shows text takes the shell's dialog font (a
        // picture has no font to keep).
        LONG lType = GetWindowLongA(h, GWL_STYLE) & SS_TYPEMASK;
        char szClass[16] = "";
        GetClassNameA(h, szClass, sizeof szClass);
        bool bPicture =
            lstrcmpiA(szClass, "Static") == 0 && (lType == SS_ICON || lType == SS_BITMAP);
        if (!bPicture && (HFONT)SendMessageA(h, WM_GETFONT, 0, 0) != hfontDialog)
            seen.bAllFonts = false;
    }
    HDC hdc = CreateCompatibleDC(NULL);
    SetBkMode(hdc, TRANSPARENT);
    seen.hBrushStatic = (HGDIOBJ)SendMessageA(hwndDlg, WM_CTLCOLORSTATIC, (WPARAM)hdc,
                                              (LPARAM)GetWindow(hwndDlg, GW_CHILD));
    seen.crText = GetTextColor(hdc);
    seen.crBack = GetBkColor(hdc);
    seen.nBkMode = GetBkMode(hdc);
    seen.hBrushDlg = (HGDIOBJ)SendMessageA(hwndDlg, WM_CTLCOLORDLG, (WPARAM)hdc, (LPARAM)hwndDlg);
    DeleteDC(hdc);
}

void Screenshot(HWND hwndDlg) {
    UpdateWindow(hwndDlg);
    // The client area from the box's own context, whatever other windows lie
    // over it on the screen.
    RECT rc;
    GetClientRect(hwndDlg, &rc);
    DibCanvas canvas(rc.right, rc.bottom);
    HDC hdcDlg = GetDC(hwndDlg);
    BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdcDlg, 0, 0, SRCCOPY);
    ReleaseDC(hwndDlg, hdcDlg);
    canvas.SavePng(ScreenshotPath(szShot));
}

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    HWND hwndDlg = FindAbout();
    if (++nTicks > DRIVE_GIVE_UP) { // never hang the suite
        EndMenu();
        if (hwndDlg) EndDialog(hwndDlg, -7);
        return;
    }
    if (!hwndDlg) return;
    if (nStep == 0) {
        Look(hwndDlg);
        nStep = 1;
        return; // one more tick, so the box has painted itself
    }
    if (nStep == 1) {
        if (szShot) Screenshot(hwndDlg);
        nStep = 2;
        switch (eClose) {
        case CLOSE_OK: SendMessageA(GetDlgItem(hwndDlg, IDOK), BM_CLICK, 0, 0); break;
        case CLOSE_BOX: PostMessageA(hwndDlg, WM_CLOSE, 0, 0); break;
        case CLOSE_ESCAPE: PostMessageA(hwndDlg, WM_KEYDOWN, VK_ESCAPE, 0); break;
        case CLOSE_MENU:
            PostMessageA(hwndDlg, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
            break;
        }
        return;
    }
    if (nStep == 2 && eClose == CLOSE_MENU) {
        // The pop-up menu is open: read its item and choose it by keyboard.
        HWND hwndMenu = FindOwnWindow("#32768", NULL);
        if (!hwndMenu) return;
        HMENU hMenu = (HMENU)SendMessageA(hwndMenu, MN_GETHMENU, 0, 0);
        char sz[64] = "";
        GetMenuStringA(hMenu, 0, sz, sizeof sz, MF_BYPOSITION);
        seen.sMenuItem = sz;
        seen.nMenuId = GetMenuItemID(hMenu, 0);
        nStep = 3;
        PostMessageA(hwndDlg, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(hwndDlg, WM_KEYDOWN, VK_RETURN, 0);
    }
}

int RunAbout(Close eHow, const char* szScreenshot = nullptr) {
    eClose = eHow;
    seen = Seen{};
    nTicks = 0;
    nStep = 0;
    szShot = szScreenshot;
    UINT_PTR idTimer = SetTimer(NULL, 0, DRIVE_MS, Drive);
    int nResult = ShowAboutDlg(NULL);
    KillTimer(NULL, idTimer);
    return nResult;
}

class About : public testing::Test {
  protected:
    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
    }
    void TearDown() override {
        DeleteObject(hfontDialog);
        hfontDialog = NULL;
    }
};

} // namespace

TEST_F(About, ShowsItsTextsCentredInBlueOnGreyAndClosesOnOK) {
    EXPECT_EQ(RunAbout(CLOSE_OK, "about.png"), 1);
    ASSERT_TRUE(seen.bOpen);
    EXPECT_FALSE(FindAbout());
    const std::vector<std::string> kTexts = {"",
                                             "MAINICON",
                                             "Quarrion \xae",
                                             "Version 1.52",
                                             "KVOLOGO",
                                             "\xa9 1996-2026",
                                             "The Quarrion team",
                                             "MIT licence.",
                                             "Design, code, art, sound: the Quarrion team.",
                                             "OK"};
    // The icon and the logo keep no text once their pictures are loaded.
    ASSERT_EQ(seen.asText.size(), kTexts.size());
    for (size_t i = 0; i < kTexts.size(); i++)
        if (kTexts[i] != std::string("MAINICON") && kTexts[i] != std::string("KVOLOGO")) {
            EXPECT_EQ(seen.asText[i], kTexts[i]) << i;
        }
    EXPECT_TRUE(seen.bAllFonts);
    int cx = GetSystemMetrics(SM_CXSCREEN) / 2, cy = GetSystemMetrics(SM_CYSCREEN) / 2;
    EXPECT_EQ(seen.rc.left, cx + (seen.rc.left - seen.rc.right) / 2);
    EXPECT_EQ(seen.rc.top, cy + (seen.rc.top - seen.rc.bottom) / 2);
    EXPECT_EQ(seen.crText, RGB(0, 0, 255));
    EXPECT_EQ(seen.crBack, RGB(192, 192, 192));
    EXPECT_EQ(seen.nBkMode, OPAQUE);
    EXPECT_EQ(seen.hBrushStatic, GetStockObject(LTGRAY_BRUSH));
    EXPECT_EQ(seen.hBrushDlg, GetStockObject(LTGRAY_BRUSH));
}

TEST_F(About, ClosesFromTheCloseBoxEscapeAndTheRightClickMenu) {
    for (Close e : {CLOSE_BOX, CLOSE_ESCAPE, CLOSE_MENU}) {
        SCOPED_TRACE(e);
        EXPECT_EQ(RunAbout(e), 1);
        EXPECT_TRUE(seen.bOpen);
        EXPECT_FALSE(FindAbout());
    }
    EXPECT_EQ(seen.sMenuItem, "&Close\tAlt+F4");
    EXPECT_EQ(seen.nMenuId, (UINT)IDCANCEL);
}
