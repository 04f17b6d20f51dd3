// The help in the real game: opened with H over a running game, a topic
// chosen with the keyboard, closed with Escape; the game stays paused.
#include <gtest/gtest.h>

#include <vector>

#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/game_process.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kLaneGrey = RGB(192, 192, 192);
const RECT kLogo = {286, 138, 466, 198}; // where the pause logo stands in the lanes
const DWORD kCloseMs = 6000;             // Wine without a window manager hides a window slowly

void Key(HWND hwnd, WPARAM vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 0);
}

bool GameScreenShown(HWND hwnd) {
    return ClientPixel(hwnd, 300, 320) == kWhite;
}

// The pixels of the logo's place in the lanes.
std::vector<uint32_t> LogoPixels(HWND hwnd) {
    DibCanvas canvas(kLogo.right - kLogo.left, kLogo.bottom - kLogo.top);
    HDC hdc = GetDC(hwnd);
    BitBlt(canvas.Dc(), 0, 0, canvas.W(), canvas.H(), hdc, kLogo.left, kLogo.top, SRCCOPY);
    ReleaseDC(hwnd, hdc);
    return canvas.Snapshot();
}

// Paused: the logo stands in the lanes and nothing there moves. In play the
// logo is gone and any tile in that place moves on at the next tick.
bool ShowsPaused(HWND hwnd) {
    std::vector<uint32_t> before = LogoPixels(hwnd);
    int nDrawn = 0;
    for (uint32_t px : before) nDrawn += px != RgbOf(kLaneGrey);
    PumpFor(300);
    return nDrawn > 300 && LogoPixels(hwnd) == before;
}

} // namespace

TEST(Help, TheHKeyOpensHelpAndTheGameStaysPausedAfterEscape) {
    GameRun run("help_keys");
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    Key(hwnd, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&]() { return GameScreenShown(hwnd); }, 3000));
    EXPECT_FALSE(ShowsPaused(hwnd)) << "a new game plays at once";

    Key(hwnd, 'H');
    HWND hDlg = WaitForOwnedDialog(hwnd, 5000);
    ASSERT_TRUE(hDlg);
    char szCaption[64] = "";
    GetWindowTextA(hDlg, szCaption, sizeof szCaption);
    EXPECT_STREQ(szCaption, "Quarrion Help");
    HWND hList = FindWindowExA(hDlg, NULL, "ListBox", NULL);
    ASSERT_TRUE(hList);

    // Down three times: "Lines and points".
    for (int i = 0; i < 3; i++) Key(hList, VK_DOWN);
    EXPECT_TRUE(WaitUntil([&]() { return SendMessageA(hList, LB_GETCURSEL, 0, 0) == 3; }, 3000));
    // Asked in wide characters: that is how the text crosses between processes.
    wchar_t szTopic[64] = L"";
    SendMessageW(hList, LB_GETTEXT, 3, (LPARAM)szTopic);
    EXPECT_STREQ(szTopic, L"Lines and points");
    SaveClientPng(hDlg,
                  (std::string(QUARRION_SCREENSHOT_DIR_W) + "\\\\e2e_help_lines.png").c_str());

    Key(hList, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&]() { return !IsWindow(hDlg); }, kCloseMs));
    EXPECT_TRUE(WaitUntil([&]() { return ShowsPaused(hwnd); }, 3000));
    PumpFor(500);
    EXPECT_TRUE(ShowsPaused(hwnd)) << "play stays paused after the help closes";
    EXPECT_EQ(run.Close(), 0u);
}
