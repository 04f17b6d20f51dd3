// The real game played with the system's clicks at zoom 2: a click resumes a
// paused game, a click on a lane sends the paddle there a lane at a time, and
// a click on its own lane drops the top tile.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/game_process.h"

namespace {

const int kZoom = 2;

// What the lanes show: the paddle's lane, how low its stack hangs (a row
// higher for each tile dropped), and the pause logo.
struct Lanes {
    int nPaddleLane = -1, yBottom = -1;
    bool bPaused = false;
};
Lanes Look(HWND hwnd) {
    DibCanvas canvas(640 * kZoom, 480 * kZoom);
    Lanes lanes;
    auto Pixel = [&](int x, int y) { return canvas.At(x * kZoom, y * kZoom); };
    if (!GrabClient(hwnd, canvas)) return lanes;
    for (int nLane = 0; nLane < 5; nLane++)
        for (int y = 302; y < 365; y++)
            if (Pixel(274 + 41 * nLane + 20, y) != RGB(255, 255, 255)) lanes = {nLane, y, false};
    int nLetters = 0;
    for (int y = 138; y < 198; y += 2)
        for (int x = 286; x < 466; x += 2) nLetters += Pixel(x, y) != RGB(192, 192, 192);
    lanes.bPaused = nLetters > 125;
    return lanes;
}

void ClickAt(HWND hwnd, int x, int y) {
    POINT pt = {x * kZoom, y * kZoom}, ptNow;
    ClientToScreen(hwnd, &pt);
    SetCursorPos(pt.x, pt.y);
    WaitUntil([&] { return GetCursorPos(&ptNow) && ptNow.x == pt.x && ptNow.y == pt.y; }, 3000);
    INPUT aIn[2] = {};
    aIn[0].type = aIn[1].type = INPUT_MOUSE;
    aIn[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    aIn[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, aIn, sizeof(INPUT));
}

TEST(PointerE2E, ClicksMoveThePaddleAndDrop) {
    GameRun run("pointer");
    // Slow: no tile reaches the paddle in the first nine seconds of play.
    ASSERT_TRUE(run.WriteIni("[Prefs]\r\nSpeed=0\r\nMusic=0\r\nSound=0\r\n[Window]\r\nZoom=2\r\n"));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    SetForegroundWindow(hwnd);
    PumpFor(300);
    // Level 27 by its code, three tiles on the paddle in the middle lane; paused.
    PostMessageA(hwnd, WM_KEYDOWN, 'W', 0);
    HWND hDlg = WaitForOwnedDialog(hwnd, 3000);
    ASSERT_TRUE(hDlg) << "no warp dialog";
    for (const char* sz = "#27#"; *sz; sz++)
        PostMessageA(GetDlgItem(hDlg, IDC_WARP_CODE), WM_CHAR, (WPARAM)*sz, 1);
    PumpFor(300);
    PostMessageA(GetDlgItem(hDlg, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(hDlg); }, 5000));
    PostMessageA(hwnd, WM_KEYDOWN, 'P', 0);
    Lanes lanes;
    ASSERT_TRUE(
        WaitUntil([&] { return (lanes = Look(hwnd)).bPaused && lanes.nPaddleLane == 2; }, 5000))
        << "lane " << lanes.nPaddleLane << ", paused " << lanes.bPaused;

    ClickAt(hwnd, 274 + 20, 200); // paused, a click only plays on
    ASSERT_TRUE(WaitUntil([&] { return !Look(hwnd).bPaused; }, 5000)) << "still paused";
    PumpFor(300);
    EXPECT_EQ(Look(hwnd).nPaddleLane, 2);
    ClickAt(hwnd, 274 + 20, 200); // lane 1 at once, lane 0 after the key's delay
    bool bSawLane1 = false;
    auto Lane0 = [&] {
        int n = Look(hwnd).nPaddleLane;
        bSawLane1 |= n == 1;
        return n == 0;
    };
    ASSERT_TRUE(WaitUntil(Lane0, 5000));
    EXPECT_TRUE(bSawLane1) << "the paddle jumped";
    ClickAt(hwnd, 274 + 20, 420); // its own lane: the top tile drops
    EXPECT_TRUE(WaitUntil([&] { return Look(hwnd).yBottom == lanes.yBottom - 10; }, 5000));
    EXPECT_EQ(Look(hwnd).nPaddleLane, 0);
    EXPECT_EQ(run.Close(), 0u);
}

} // namespace
