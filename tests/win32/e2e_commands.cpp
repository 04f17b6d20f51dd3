// The real game driven from outside: keys and commands as a player gives
// them, what the window shows, and what reaches the initialisation file.
#include <gtest/gtest.h>

#include <string>

#include "tests/win32/support/game_process.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);

void Key(HWND hwnd, WPARAM vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 0);
}
void Command(HWND hwnd, WPARAM id) {
    PostMessageA(hwnd, WM_COMMAND, id, 0);
}

// The game screen has the white paddle area above the bins; the title
// screen has its "How to play" box there.
bool GameScreenShown(HWND hwnd) {
    return ClientPixel(hwnd, 300, 320) == kWhite;
}

std::string ShotPath(const char* szName) {
    return std::string(QUARRION_SCREENSHOT_DIR_W) + "\\\\" + szName;
}

std::string DialogText(HWND hDlg) {
    char sz[256] = "";
    GetDlgItemTextA(hDlg, 0xFFFF, sz, sizeof sz);
    return sz;
}

} // namespace

TEST(Commands, FirstRunWritesEveryPreferenceAndSavesTogglesOnExit) {
    GameRun run("prefs_toggles");
    ASSERT_TRUE(run.Start());
    Key(run.Window(), 'M');    // music on (there is no MIDI device here)
    Key(run.Window(), VK_TAB); // sound off
    EXPECT_EQ(run.Close(), 0u);
    std::string sIni = run.ReadIni();
    for (const char* szLine : {"Speed=1", "Music=1", "Sound=0", "Continuous=0", "UseMenu=1",
                               "Patterns=1", "LastPlayer=", "[Zentrope]", "[Scores]"})
        EXPECT_NE(sIni.find(szLine), std::string::npos) << szLine << " missing from\n" << sIni;
}

TEST(Commands, NewGameShowsThePlayfieldAndQuitAsksFirst) {
    GameRun run("new_and_quit");
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    EXPECT_FALSE(GameScreenShown(hwnd));
    SaveClientPng(hwnd, ShotPath("e2e_title.png").c_str());

    Key(hwnd, VK_RETURN);
    EXPECT_TRUE(WaitUntil([&]() { return GameScreenShown(hwnd); }, 3000));
    PumpFor(1500); // a few tiles on their way down
    SaveClientPng(hwnd, ShotPath("e2e_playing.png").c_str());

    // Quit during a game asks in the system's own box; Yes ends the program.
    Command(hwnd, 505);
    HWND hBox = WaitForOwnedDialog(hwnd, 3000);
    ASSERT_TRUE(hBox);
    EXPECT_EQ(DialogText(hBox), "Are you sure you want to quit?");
    char szTitle[64] = "";
    GetWindowTextA(hBox, szTitle, sizeof szTitle);
    EXPECT_STREQ(szTitle, "Quarrion v1.52");
    SendMessageA(GetDlgItem(hBox, IDYES), BM_CLICK, 0, 0);
    EXPECT_EQ(run.WaitExit(), 0u);
}

TEST(Commands, EscapeHidesTheGameAtOnce) {
    GameRun run("escape");
    ASSERT_TRUE(run.Start());
    Key(run.Window(), VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&]() { return IsIconic(run.Window()) != 0; }, 3000));
    EXPECT_EQ(run.Close(), 0u);
}

TEST(Commands, ASecondCopyHandsOverToTheFirstAndEnds) {
    GameRun first("second_copy");
    ASSERT_TRUE(first.Start());
    ShowWindow(first.Window(), SW_MINIMIZE);

    std::string sExe = first.PathOf("Quarrion.exe");
    std::string sCmd = "\"" + sExe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(sExe.c_str(), &sCmd[0], NULL, NULL, FALSE, 0, NULL,
                               first.Dir().c_str(), &si, &pi));
    EXPECT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
    DWORD dwCode = STILL_ACTIVE;
    GetExitCodeProcess(pi.hProcess, &dwCode);
    EXPECT_EQ(dwCode, 0u);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);

    EXPECT_TRUE(first.Running());
    EXPECT_TRUE(WaitUntil([&]() { return !IsIconic(first.Window()); }, 3000));
    EXPECT_EQ(first.Close(), 0u);
}
