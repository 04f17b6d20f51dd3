// The real game played from a pad: a stand-in xinput1_4.dll beside the exe
// (tests/win32/fake_xinput) plays the pad the test writes, so what is checked
// is the whole road, from the DLL found at run time and the play timer's
// reading to what the player sees.
#include <gtest/gtest.h>

#include "engine/game.h"
#include "engine/pad.h"
#include "tests/win32/fake_xinput/fake_xinput.h"
#include "tests/win32/support/game_process.h"

namespace {

// The game screen has the white paddle area above the bins.
bool GameScreenShown(HWND hwnd) {
    return ClientPixel(hwnd, 300, 320) == RGB(255, 255, 255);
}

// An empty paddle in the lane: black at its two ends one row below its top,
// not black between them.
bool PaddleInLane(HWND hwnd, int nLane) {
    const COLORREF kBlack = RGB(0, 0, 0);
    int x = 274 + 41 * nLane, y = PADDLE_BASE_Y + 1;
    return ClientPixel(hwnd, x + 1, y) == kBlack && ClientPixel(hwnd, x + 38, y) == kBlack &&
           ClientPixel(hwnd, x + 20, y) != kBlack;
}

bool GameMenuShown(DWORD dwPid) {
    for (HWND hwnd = FindWindowA("#32768", NULL); hwnd;
         hwnd = FindWindowExA(NULL, hwnd, "#32768", NULL)) {
        DWORD dwOwner = 0;
        GetWindowThreadProcessId(hwnd, &dwOwner);
        if (dwOwner == dwPid && IsWindowVisible(hwnd)) return true;
    }
    return false;
}

const char kOverrides[] = "Software\\Wine\\AppDefaults\\Quarrion.exe\\DllOverrides";

class PadE2E : public ::testing::Test {
  protected:
    HANDLE hMap = NULL;
    FakePad* pPad = nullptr;

    void SetUp() override {
        hMap = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(FakePad),
                                  FAKE_PAD_MAPPING);
        ASSERT_TRUE(hMap);
        pPad = (FakePad*)MapViewOfFile(hMap, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(FakePad));
        ASSERT_TRUE(pPad);
        ZeroMemory((void*)pPad, sizeof(FakePad));
        // Wine prefers its own XInput to one beside the exe unless told.
        HKEY hKey = NULL;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOverrides, 0, NULL, 0, KEY_SET_VALUE, NULL,
                                  &hKey, NULL),
                  ERROR_SUCCESS);
        RegSetValueExA(hKey, "xinput1_4", 0, REG_SZ, (const BYTE*)"native,builtin", 15);
        RegCloseKey(hKey);
    }
    void TearDown() override {
        HKEY hKey = NULL;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kOverrides, 0, KEY_SET_VALUE, &hKey) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(hKey, "xinput1_4");
            RegCloseKey(hKey);
        }
        if (pPad) UnmapViewOfFile((void*)pPad);
        if (hMap) CloseHandle(hMap);
    }

    // Waits until the game has read the pad n more times.
    bool Readings(LONG n) {
        LONG nFrom = pPad->nCalls;
        return WaitUntil([&] { return pPad->nCalls >= nFrom + n; }, 5000);
    }
    // Holds the buttons for a few readings, then lets go.
    bool Press(WORD w, LONG nStickX = 0) {
        pPad->wButtons = w;
        pPad->nStickX = nStickX;
        bool bRead = Readings(3);
        pPad->wButtons = 0;
        pPad->nStickX = 0;
        return bRead && Readings(3);
    }
};

TEST_F(PadE2E, TheGamePlaysFromThePad) {
    pPad->bConnected = 1;
    GameRun run("pad");
    ASSERT_TRUE(CopyFileA(QUARRION_FAKE_XINPUT_W, run.PathOf("xinput1_4.dll").c_str(), FALSE));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    ASSERT_TRUE(Readings(10)) << "the play timer reads the pad";

    // A on the title screen starts a game; the paddle waits in the middle lane.
    ASSERT_TRUE(Press(PAD_A));
    ASSERT_TRUE(WaitUntil([&] { return GameScreenShown(hwnd); }, 5000));
    ASSERT_TRUE(WaitUntil([&] { return PaddleInLane(hwnd, 2); }, 5000));
    // The D-pad and the stick move it.
    ASSERT_TRUE(Press(PAD_LEFT));
    EXPECT_TRUE(WaitUntil([&] { return PaddleInLane(hwnd, 1); }, 5000));
    ASSERT_TRUE(Press(0, 30000));
    EXPECT_TRUE(WaitUntil([&] { return PaddleInLane(hwnd, 2); }, 5000));
    // Back opens the menu, B closes it.
    ASSERT_TRUE(Press(PAD_BACK));
    EXPECT_TRUE(WaitUntil([&] { return GameMenuShown(run.ProcessId()); }, 5000));
    ASSERT_TRUE(Press(PAD_B));
    EXPECT_TRUE(WaitUntil([&] { return !GameMenuShown(run.ProcessId()); }, 5000));

    // At most one reading a tick of the play timer.
    DWORD dwStart = GetTickCount();
    LONG nFrom = pPad->nCalls;
    PumpFor(2000);
    LONG nCalls = pPad->nCalls - nFrom;
    EXPECT_GT(nCalls, 0);
    EXPECT_LE(nCalls, (LONG)((GetTickCount() - dwStart) / PLAY_TIMER_MS) + 2);

    EXPECT_EQ(run.Close(), 0u);
}

} // namespace
