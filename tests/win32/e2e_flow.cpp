// Whole flows of the real game as a player goes through them: a warp by
// password and by level code, a game lost without moving that earns no place
// in the high scores, the options and the About box. What is checked is what
// the player sees (dialog texts, the side panel, pixels) and what reaches the
// initialisation file.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/win32/support/game_process.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

// Wine on a display without a window manager hides a captioned window only
// after waiting about two seconds for the manager's answer, and the game's
// thread answers nothing meanwhile: closing a dialog takes that long here.
const DWORD kCloseMs = 6000;

void Key(HWND hwnd, WPARAM vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 0);
}
void Command(HWND hwnd, WPARAM id) {
    PostMessageA(hwnd, WM_COMMAND, id, 0);
}
// Posted, not sent: some buttons open a further modal dialog before their
// click returns.
void Click(HWND hDlg, int nId) {
    PostMessageA(GetDlgItem(hDlg, nId), BM_CLICK, 0, 0);
}
void Type(HWND hEdit, const char* sz) {
    for (; *sz; sz++) PostMessageA(hEdit, WM_CHAR, (WPARAM)(unsigned char)*sz, 1);
}

// Asked of the window itself: another process's edit field keeps its text
// where GetWindowText does not look.
std::string Text(HWND hwnd) {
    char sz[256] = "";
    DWORD_PTR dwResult = 0;
    if (hwnd)
        SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof sz, (LPARAM)sz, SMTO_ABORTIFHUNG, 2000,
                            &dwResult);
    return sz;
}
std::string ItemText(HWND hDlg, int nId) {
    char sz[256] = "";
    GetDlgItemTextA(hDlg, nId, sz, sizeof sz);
    return sz;
}

std::string ShotPath(const char* szName) {
    return std::string(QUARRION_SCREENSHOT_DIR_W) + "\\\\" + szName;
}

// The game screen has the white paddle area above the bins; the title
// screen has its "How to play" box there.
bool GameScreenShown(HWND hwnd) {
    return ClientPixel(hwnd, 300, 320) == kWhite;
}

HWND Panel(HWND hwndMain) {
    return FindWindowExA(hwndMain, NULL, "#32770", NULL);
}

BOOL CALLBACK CollectText(HWND hwnd, LPARAM lParam) {
    ((std::vector<std::string>*)lParam)->push_back(Text(hwnd));
    return TRUE;
}

std::vector<std::string> ChildTexts(HWND hwnd) {
    std::vector<std::string> asText;
    EnumChildWindows(hwnd, CollectText, (LPARAM)&asText);
    return asText;
}

// Opens the warp dialog with the W key, types the code and presses OK.
// Returns false if the dialog did not come or did not go.
bool WarpWith(HWND hwnd, const char* szCode, const char* szShown) {
    Key(hwnd, 'W');
    HWND hDlg = WaitForDialog(hwnd, "Level Warp", 3000);
    if (!hDlg) return false;
    HWND hEdit = GetDlgItem(hDlg, IDC_WARP_CODE);
    Type(hEdit, szCode);
    if (!WaitUntil([&]() { return Text(hEdit) == szShown; }, 3000)) {
        ADD_FAILURE() << "the code field shows '" << Text(hEdit) << "'";
        return false;
    }
    Click(hDlg, IDOK);
    return WaitUntil([&]() { return !IsWindow(hDlg); }, kCloseMs);
}

// How many tiles the paddle holds, read from where the paddle is drawn in
// lane 2 (x 356): it sits 10 pixels lower for every tile held above it, and
// only the paddle has black at its left and right end (x 357 and 394) one
// row below its top, where a tile has its white border. -1: no paddle seen.
int HeldByPaddle(HWND hwnd) {
    const COLORREF kBlack = RGB(0, 0, 0);
    for (int n = 0; n <= 5; n++) {
        int y = 305 + 10 * n + 1;
        if (ClientPixel(hwnd, 357, y) == kBlack && ClientPixel(hwnd, 394, y) == kBlack &&
            ClientPixel(hwnd, 376, y) != kBlack)
            return n;
    }
    return -1;
}

} // namespace

TEST(Flow, WarpByPasswordThenByLevelCodeFromWithinAGame) {
    GameRun run("flow_warp");
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    HWND hPanel = Panel(hwnd);
    ASSERT_TRUE(hPanel);
    EXPECT_FALSE(IsWindowVisible(hPanel));

    // From the title screen a password opens its level; the field upper-cases
    // what is typed.
    ASSERT_TRUE(WarpWith(hwnd, "slatepit", "SLATEPIT"));
    EXPECT_TRUE(WaitUntil([&]() { return ItemText(hPanel, IDC_PANEL_LEVEL) == " Level 11"; }, 3000))
        << ItemText(hPanel, IDC_PANEL_LEVEL);
    EXPECT_TRUE(IsWindowVisible(hPanel));
    EXPECT_EQ(ItemText(hPanel, IDC_PANEL_GOAL), " 25000 Points To Go");
    EXPECT_EQ(ItemText(hPanel, IDC_PANEL_SCORE), " Score: 00000000");
    EXPECT_TRUE(WaitUntil([&]() { return GameScreenShown(hwnd); }, 3000));
    // Level 11 starts with one tile on the paddle.
    EXPECT_EQ(HeldByPaddle(hwnd), 1);
    SaveClientPng(hwnd, ShotPath("e2e_flow_warp11.png").c_str());

    // The level code goes anywhere, here to 45, within the running game.
    ASSERT_TRUE(WarpWith(hwnd, "#45#", "#45#"));
    EXPECT_TRUE(WaitUntil([&]() { return ItemText(hPanel, IDC_PANEL_LEVEL) == " Level 45"; }, 3000))
        << ItemText(hPanel, IDC_PANEL_LEVEL);
    EXPECT_EQ(ItemText(hPanel, IDC_PANEL_GOAL), " 150 Tiles To Go");
    // From level 45 on the paddle starts full.
    EXPECT_TRUE(WaitUntil([&]() { return HeldByPaddle(hwnd) == 5; }, 3000))
        << "the paddle holds " << HeldByPaddle(hwnd);
    SaveClientPng(hwnd, ShotPath("e2e_flow_warp45.png").c_str());

    EXPECT_EQ(run.Close(), 0u);
}

// The lanes miss the unmoved paddle until the three lives are gone; at the
// Insane speed that takes a few seconds. The hand-edited tenth row of -1 is
// read as the 32 bits it is and written back as 4294967295, and it sorts as
// that large number too: a game of 0 points earns no place, and no name is
// asked for. (The name entry itself is driven in the score dialogs' tests.)
TEST(Flow, AGameWithoutAPlaceAsksNoNameAndKeepsTheTable) {
    GameRun run("flow_hiscore");
    ASSERT_TRUE(run.WriteIni("[Prefs]\r\nSpeed=3\r\nMusic=0\r\nSound=0\r\nLastPlayer=Old Name\r\n"
                             "[Scores]\r\n1=Rock Star,9,00120000,11/05/1996\r\n"
                             "10=Nobody,1,-1,12/01/95\r\n"));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    HWND hPanel = Panel(hwnd);
    ASSERT_TRUE(hPanel);
    std::string sIni = run.ReadIni();
    EXPECT_NE(sIni.find("10=Nobody,1,4294967295,12/01/95"), std::string::npos) << sIni;

    Key(hwnd, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&]() { return IsWindowVisible(hPanel) != 0; }, 3000));
    ASSERT_TRUE(WaitForDialog(hwnd, "", 30000)) << "no game-over screen";
    EXPECT_EQ(ItemText(hPanel, IDC_PANEL_SCORE), " Score: 00000000");
    // Back to the title screen, with no name asked for on the way.
    bool bAsked = false;
    EXPECT_TRUE(WaitUntil(
        [&]() {
            bAsked = bAsked || OwnedDialog(hwnd, "New High Score!") != NULL;
            return !OwnedDialog(hwnd, "") && !IsWindowVisible(hPanel) && !GameScreenShown(hwnd);
        },
        20000));
    PumpFor(500);
    EXPECT_FALSE(bAsked || OwnedDialog(hwnd, "New High Score!"));

    EXPECT_EQ(run.Close(), 0u);
    sIni = run.ReadIni();
    EXPECT_NE(sIni.find("1=Rock Star,9,00120000,11/05/1996"), std::string::npos) << sIni;
    EXPECT_NE(sIni.find("10=Nobody,1,4294967295,12/01/95"), std::string::npos) << sIni;
    EXPECT_NE(sIni.find("LastPlayer=Old Name\r\n"), std::string::npos) << sIni;
}

TEST(Flow, OptionsAreSavedAndTheAboutBoxShowsTheVersion) {
    GameRun run("flow_options");
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    EXPECT_TRUE(GetMenu(hwnd) != NULL);

    Key(hwnd, 'O');
    HWND hDlg = WaitForDialog(hwnd, "Options", 3000);
    ASSERT_TRUE(hDlg);
    EXPECT_EQ(IsDlgButtonChecked(hDlg, IDC_OPT_NORMAL), (UINT)BST_CHECKED);
    EXPECT_EQ(IsDlgButtonChecked(hDlg, IDC_OPT_USEMENU), (UINT)BST_CHECKED);
    Click(hDlg, IDC_OPT_FAST);
    EXPECT_TRUE(WaitUntil(
        [&]() {
            return IsDlgButtonChecked(hDlg, IDC_OPT_FAST) == BST_CHECKED &&
                   IsDlgButtonChecked(hDlg, IDC_OPT_NORMAL) == BST_UNCHECKED;
        },
        3000));
    Click(hDlg, IDC_OPT_USEMENU);
    EXPECT_TRUE(WaitUntil(
        [&]() { return IsDlgButtonChecked(hDlg, IDC_OPT_USEMENU) == BST_UNCHECKED; }, 3000));
    Click(hDlg, IDOK);
    ASSERT_TRUE(WaitUntil([&]() { return !IsWindow(hDlg); }, kCloseMs));
    EXPECT_TRUE(WaitUntil([&]() { return GetMenu(hwnd) == NULL; }, 3000));

    // OK wrote the file already; the exit writes it again.
    std::string sIni = run.ReadIni();
    EXPECT_NE(sIni.find("Speed=2"), std::string::npos) << sIni;

    // The About command without the menu bar.
    Command(hwnd, IDM_ABOUT);
    hDlg = WaitForDialog(hwnd, "About...", 3000);
    ASSERT_TRUE(hDlg);
    std::vector<std::string> asText = ChildTexts(hDlg);
    EXPECT_NE(std::find(asText.begin(), asText.end(), "Version 1.52"), asText.end());
    Click(hDlg, IDOK);
    EXPECT_TRUE(WaitUntil([&]() { return !IsWindow(hDlg); }, kCloseMs));
    EXPECT_EQ(run.Close(), 0u);
    sIni = run.ReadIni();
    EXPECT_NE(sIni.find("Speed=2"), std::string::npos) << sIni;
    EXPECT_NE(sIni.find("UseMenu=0"), std::string::npos) << sIni;
}
