// The real game played with the mouse at zoom 2, as the system's clicks reach
// it: a click resumes a paused game, a click on a lane sends the paddle there
// a lane at a time, and a click on its own lane drops the top tile.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/win32/support/dib_canvas.h"
#include "tests/win32/support/game_process.h"

namespace {

const int kZoom = 2;

// What the player sees of the lanes: where the paddle is, how low its bottom
// hangs (one row higher for each tile dropped), and the pause logo.
struct Lanes {
    int nPaddleLane = -1;
    int yBottom = -1;
    bool bPaused = false;
};

Lanes Look(HWND hwnd) {
    DibCanvas canvas(640 * kZoom, 480 * kZoom);
    Lanes lanes;
    if (!GrabClient(hwnd, canvas)) return lanes;
    auto Pixel = [&](int x, int y) { return canvas.At(x * kZoom, y * kZoom); };
    for (int nLane = 0; nLane < 5; nLane++) {
        for (int y = 302; y < 365; y++) {
            if (Pixel(274 + 41 * nLane + 20, y) == RGB(255, 255, 255)) continue;
            lanes.nPaddleLane = nLane;
            lanes.yBottom = y;
        }
    }
    int nLetters = 0;
    for (int y = 138; y < 198; y += 2)
        for (int x = 286; x < 466; x += 2) nLetters += Pixel(x, y) != RGB(192, 192, 192);
    lanes.bPaused = nLetters > 125;
    return lanes;
}

// A left click at a design point, through the system's input.
void ClickAt(HWND hwnd, int x, int y) {
    POINT pt = {x * kZoom, y * kZoom};
    ClientToScreen(hwnd, &pt);
    SetCursorPos(pt.x, pt.y);
    WaitUntil(
        [&] {
            POINT ptNow;
            return GetCursorPos(&ptNow) && ptNow.x == pt.x && ptNow.y == pt.y;
        },
        3000);
    INPUT aIn[2] = {};
    aIn[0].type = aIn[1].type = INPUT_MOUSE;
    aIn[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    aIn[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, aIn, sizeof(INPUT));
}

TEST(PointerE2E, ClicksMoveThePaddleAndDrop) {
    GameRun run("pointer");
    // Slow: no tile lands on the paddle for the first nine seconds of play.
    ASSERT_TRUE(run.WriteIni("[Prefs]\r\nSpeed=0\r\nMusic=0\r\nSound=0\r\n[Window]\r\nZoom=2\r\n"));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    SetForegroundWindow(hwnd);
    PumpFor(300);

    // Level 27 by its code: three tiles on the paddle in the middle lane.
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
    ASSERT_TRUE(WaitUntil(
        [&] {
            lanes = Look(hwnd);
            return lanes.bPaused && lanes.nPaddleLane == 2;
        },
        5000))
        << "lane " << lanes.nPaddleLane << " bottom " << lanes.yBottom << " paused "
        << lanes.bPaused;
    const int yFull = lanes.yBottom;

    // Paused, a click only plays on.
    ClickAt(hwnd, 274 + 20, 200);
    ASSERT_TRUE(WaitUntil([&] { return !Look(hwnd).bPaused; }, 5000)) << "still paused";
    PumpFor(300);
    EXPECT_EQ(Look(hwnd).nPaddleLane, 2);

    // Two lanes to the left: lane 1 at once, lane 0 after the key's delay.
    ClickAt(hwnd, 274 + 20, 200);
    bool bSawLane1 = false;
    ASSERT_TRUE(WaitUntil(
        [&] {
            int n = Look(hwnd).nPaddleLane;
            bSawLane1 |= n == 1;
            return n == 0;
        },
        5000));
    EXPECT_TRUE(bSawLane1) << "the paddle jumped";

    // Its own lane: the top tile drops and the stack's bottom rises a row.
    ClickAt(hwnd, 274 + 41 / 2, 420);
    EXPECT_TRUE(WaitUntil([&] { return Look(hwnd).yBottom == yFull - 10; }, 5000))
        << "bottom at " << Look(hwnd).yBottom << ", was " << yFull;
    EXPECT_EQ(Look(hwnd).nPaddleLane, 0);
    EXPECT_EQ(run.Close(), 0u);
}

} // namespace
