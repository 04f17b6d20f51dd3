// The two pictures of the README, taken of the real game: the title screen,
// and a game in play (level 27 by its level code, its starting tiles in the
// bins and new ones tumbling down). scripts/screenshots turns them into the
// files under docs/.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/win32/support/game_process.h"

namespace {

// Closing a dialog takes up to about two seconds under Wine without a window
// manager.
const DWORD kCloseMs = 6000;

std::string ShotPath(const char* szName) {
    return std::string(QUARRION_SCREENSHOT_DIR_W) + "\\\\" + szName;
}

bool GameScreenShown(HWND hwnd) {
    return ClientPixel(hwnd, 300, 320) == RGB(255, 255, 255);
}

// A tile in the air: anything but the light grey of the empty fall area in
// one of the lanes above the paddle.
bool TileFalling(HWND hwnd) {
    for (int nLane = 0; nLane < 5; nLane++)
        for (int y = 40; y < 290; y += 20)
            if (ClientPixel(hwnd, 274 + 41 * nLane + 20, y) != RGB(192, 192, 192)) return true;
    return false;
}

std::string WindowText(HWND hwnd) {
    char sz[64] = "";
    DWORD_PTR dwResult = 0;
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof sz, (LPARAM)sz, SMTO_ABORTIFHUNG, 2000, &dwResult);
    return sz;
}

} // namespace

TEST(ReadmeScreens, TitleAndAGameInPlay) {
    GameRun run("readme_screens");
    ASSERT_TRUE(run.WriteIni("[Prefs]\r\nSpeed=1\r\nMusic=0\r\nSound=0\r\n"));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    PumpFor(800); // the title's tiles on their way
    EXPECT_FALSE(GameScreenShown(hwnd));
    EXPECT_TRUE(SaveClientPng(hwnd, ShotPath("readme_title.png").c_str()));

    PostMessageA(hwnd, WM_KEYDOWN, 'W', 0);
    HWND hDlg = WaitForOwnedDialog(hwnd, 3000);
    ASSERT_TRUE(hDlg) << "no warp dialog";
    HWND hEdit = GetDlgItem(hDlg, IDC_WARP_CODE);
    ASSERT_TRUE(hEdit);
    for (const char* sz = "#27#"; *sz; sz++) PostMessageA(hEdit, WM_CHAR, (WPARAM)*sz, 1);
    ASSERT_TRUE(WaitUntil([&]() { return WindowText(hEdit) == "#27#"; }, 3000));
    PostMessageA(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&]() { return !IsWindow(hDlg); }, kCloseMs));
    ASSERT_TRUE(WaitUntil([&]() { return GameScreenShown(hwnd); }, 3000));
    EXPECT_TRUE(WaitUntil([&]() { return TileFalling(hwnd); }, 8000)) << "no tile falls";
    PumpFor(1500); // a few more on their way
    EXPECT_TRUE(SaveClientPng(hwnd, ShotPath("readme_playing.png").c_str()));

    // The same game in full screen, as large as the screen allows.
    PostMessageA(hwnd, WM_COMMAND, IDM_FULLSCREEN, 0);
    ASSERT_TRUE(WaitUntil(
        [&]() {
            RECT rc;
            GetClientRect(hwnd, &rc);
            return rc.right == GetSystemMetrics(SM_CXSCREEN);
        },
        3000));
    PumpFor(800);
    EXPECT_TRUE(SaveClientPng(hwnd, ShotPath("readme_fullscreen.png").c_str()));

    EXPECT_EQ(run.Close(), 0u);
}
