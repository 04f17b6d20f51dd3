// The download as a player meets it: the zip unpacked into a folder whose path
// has a blank, the game started from there (from another current folder). It
// opens its window, finds its music beside itself, starts a game, keeps its
// initialisation file beside itself and ends with code 0 on Quit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/win32/support/game_process.h"
#include "tests/win32/support/monitor_recorder.h"

namespace {

const std::string kDir = QUARRION_UNPACKED_DIR_W;

std::string InDir(const std::string& sName) {
    return kDir + "\\" + sName;
}

std::vector<std::string> MusicFiles() {
    std::vector<std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(InDir("*.mid").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE) return out;
    do out.push_back(fd.cFileName);
    while (FindNextFileA(hFind, &fd));
    FindClose(hFind);
    return out;
}

bool Exists(const std::string& sPath) {
    return GetFileAttributesA(sPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

TEST(Release, UnpackedGameRunsFromAFolderWithABlankInItsPath) {
    ASSERT_NE(kDir.find(' '), std::string::npos);
    ASSERT_TRUE(Exists(InDir("Quarrion.exe"))) << kDir;
    ASSERT_FALSE(MusicFiles().empty());
    ASSERT_FALSE(Exists(InDir("QUARR95.INI"))) << "the folder is not freshly unpacked";

    MonitorRecorder rec;
    ASSERT_TRUE(rec.Start()) << rec.Error();
    std::string sExe = InDir("Quarrion.exe");
    std::string sCmd = "\"" + sExe + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(sExe.c_str(), &sCmd[0], NULL, NULL, FALSE, 0, NULL,
                               QUARRION_TESTWORK_DIR_W, &si, &pi));
    HWND hwnd = WaitForWindow("kvoQuarrwClass", pi.dwProcessId, 15000);
    EXPECT_TRUE(hwnd) << "no game window";
    if (hwnd) {
        // Music is off on a first run; M turns it on and a track of the
        // folder is heard (the built-in synthesizer plays it under Wine),
        // once the start-up's "SWOOSH" has ended.
        PumpFor(1500);
        size_t nKey = rec.FrameAt(GetTickCount());
        EXPECT_EQ(FirstLoud(rec.Mono(), nKey), SIZE_MAX) << "music before M";
        PostMessageA(hwnd, WM_KEYDOWN, 'M', 0);
        EXPECT_TRUE(WaitUntil([&] { return FirstLoud(rec.Mono(), nKey) != SIZE_MAX; }, 5000))
            << "no music of the folder was heard";

        // A new game shows the white paddle area of the playfield, at the
        // zoom that fits the tests' large screen.
        RECT rc;
        GetClientRect(hwnd, &rc);
        const int z = rc.right / 640;
        EXPECT_GT(z, 1) << "a fresh game does not take the zoom that fits";
        EXPECT_EQ(rc.right, 640 * z);
        EXPECT_EQ(rc.bottom, 480 * z);
        PostMessageA(hwnd, WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_TRUE(WaitUntil(
            [&]() { return ClientPixel(hwnd, 300 * z, 320 * z) == RGB(255, 255, 255); }, 3000))
            << "no game started";

        // Quit during a game asks first; Yes ends the program.
        PostMessageA(hwnd, WM_COMMAND, 505, 0);
        HWND hBox = WaitForOwnedDialog(hwnd, 3000);
        EXPECT_TRUE(hBox) << "Quit asked nothing";
        if (hBox) SendMessageA(GetDlgItem(hBox, IDYES), BM_CLICK, 0, 0);
    }
    DWORD dwCode = STILL_ACTIVE;
    if (WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0)
        GetExitCodeProcess(pi.hProcess, &dwCode);
    else
        TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    EXPECT_EQ(dwCode, 0u);

    EXPECT_TRUE(Exists(InDir("QUARR95.INI"))) << "no initialisation file beside the exe";
    EXPECT_FALSE(Exists(std::string(QUARRION_TESTWORK_DIR_W) + "\\QUARR95.INI"))
        << "the initialisation file went to the current folder";
}
