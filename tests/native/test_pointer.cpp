// The pointer as the keys of play: each gesture against the keys it stands
// for, and a tap's travel against an arrow key held on the pad.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/pad.h"
#include "engine/play.h"
#include "engine/pointer.h"
#include "tests/native/recording_host.h"

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);
enum { RUNNING, PAUSED, TITLE };

// A game in nState, the paddle in nLane holding red, blue, green; and what
// the engine did since, with the state the keys change.
void Fresh(RecordingHost& host, int nState, int nLane) {
    ResetEngineForTest(host);
    PadForget();
    PadSetRepeat(1, 31);
    PointerForget();
    if (nState != TITLE) {
        GameNew(1);
        game.nPaddleLane = nLane;
        game.aHeld[0] = TILE_RED, game.aHeld[1] = TILE_BLUE, game.aHeld[2] = TILE_GREEN;
        game.nHeld = 3;
        game.nPaddleY = PADDLE_BASE_Y + 30;
        game.bPaused = nState == PAUSED;
    }
    host.Clear();
}
std::string Trace(const RecordingHost& host) {
    std::string s;
    for (const HostCall& c : host.calls) ((s += c.op) += c.text) += ' ';
    for (int n : {game.nPaddleLane, game.nHeld, game.aHeld[2], game.bPaused})
        s += std::to_string(n);
    return s;
}

int Mid(int nLane) {
    return aLaneX[nLane] + 20;
}
PointerEvent Ev(int nKind, int x, int y, int nWheel = 0) {
    return PointerEvent{nKind, x, y, nWheel};
}

TEST(Pointer, GesturesAreTheKeysOfPlay) {
    RecordingHost host;
    Fresh(host, TITLE, 0); // the lanes' places
    enum { D = POINTER_DOWN, M = POINTER_MOVE, U = POINTER_UP, W = POINTER_WHEEL };
    const int xOut = aLaneX[0] - 12, xFrame = aLaneX[4] + 48;
    struct Case {
        const char* szName;
        int nState, nLane;
        std::vector<PointerEvent> events;
        std::vector<int> keys; // what the keys would have been
    } const kCases[] = {
        {"tap on its lane", RUNNING, 2, {Ev(D, Mid(2), 200), Ev(U, Mid(2), 203)}, {KEY_DOWN}},
        {"short rise", RUNNING, 2, {Ev(D, Mid(2), 300), Ev(U, Mid(2), 269)}, {KEY_DOWN}},
        {"drag, where it landed", RUNNING, 2, {Ev(D, Mid(2), 300), Ev(U, Mid(4), 250)}, {KEY_DOWN}},
        {"flick",
         RUNNING,
         2,
         {Ev(D, Mid(2), 300), Ev(M, Mid(2), 280), Ev(U, Mid(2) + 9, 268)},
         {KEY_UP}},
        {"flick elsewhere", RUNNING, 2, {Ev(D, Mid(0), 400), Ev(U, Mid(1), 100)}, {KEY_UP}},
        {"wheel either way",
         RUNNING,
         2,
         {Ev(W, Mid(1), 90, -120), Ev(W, Mid(3), 9, 240)},
         {KEY_UP, KEY_UP, KEY_UP}},
        {"fine wheel", RUNNING, 2, {Ev(W, Mid(1), 90, 60), Ev(W, Mid(1), 90, -70)}, {KEY_UP}},
        {"tap, paused", PAUSED, 2, {Ev(D, Mid(0), 200), Ev(U, Mid(0), 200)}, {KEY_SPACE}},
        {"wheel, paused", PAUSED, 2, {Ev(W, Mid(2), 90, 360)}, {KEY_SPACE}},
        {"mere move", RUNNING, 2, {Ev(M, Mid(0), 200), Ev(M, Mid(4), 300)}, {}},
        {"release alone", RUNNING, 2, {Ev(U, Mid(0), 200)}, {}},
        {"press beside", RUNNING, 2, {Ev(D, xOut, 200), Ev(U, Mid(0), 200)}, {}},
        {"wheel beside", RUNNING, 2, {Ev(W, xOut, 200, 120)}, {}},
        {"cancelled",
         RUNNING,
         2,
         {Ev(D, Mid(2), 200), Ev(POINTER_CANCEL, 0, 0), Ev(U, Mid(2), 200)},
         {}},
        {"title", TITLE, 2, {Ev(D, Mid(2), 200), Ev(U, Mid(2), 200), Ev(W, Mid(2), 9, 120)}, {}},
        {"frame is lane 4", RUNNING, 3, {Ev(D, xFrame, 470), Ev(U, xFrame, 470)}, {KEY_RIGHT}},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.szName);
        Fresh(host, c.nState, c.nLane);
        for (int vk : c.keys) KeyDown(kMain, vk);
        const std::string sKeys = Trace(host);
        Fresh(host, c.nState, c.nLane);
        int bTaken = 0;
        for (const PointerEvent& e : c.events) bTaken = PointerInputEvent(kMain, &e);
        EXPECT_EQ(Trace(host), sKeys);
        EXPECT_EQ(bTaken, c.keys.empty() ? 0 : 1);
        host.Clear(); // and nothing follows on the ticks
        for (int i = 0; i < 40; i++) EXPECT_EQ(PointerTick(kMain), 0);
        EXPECT_TRUE(host.calls.empty());
    }
}

// From each lane to each other lane, the paddle's lane after every tick is
// the one an arrow key held toward it (and let go there) gives.
TEST(Pointer, TapTravelsAtTheHeldKeysPace) {
    RecordingHost host;
    for (int nFrom = 0; nFrom < NUM_LANES; nFrom++) {
        for (int nTo = 0; nTo < NUM_LANES; nTo++) {
            if (nTo == nFrom) continue;
            SCOPED_TRACE(std::to_string(nFrom) + " to " + std::to_string(nTo));
            Fresh(host, RUNNING, nFrom);
            uint32_t dwNow = 1000;
            std::vector<int> keyLanes, tapLanes;
            for (int i = 0; i <= 30; i++) {
                const uint16_t w =
                    i && game.nPaddleLane != nTo ? (nTo < nFrom ? PAD_LEFT : PAD_RIGHT) : 0;
                const PadReading r = {1, w, 0, 0};
                PadPlayTick(kMain, &r, dwNow += PLAY_TIMER_MS);
                if (i) keyLanes.push_back(game.nPaddleLane);
            }
            const std::string sKeys = Trace(host);

            Fresh(host, RUNNING, nFrom);
            const PointerEvent down = Ev(POINTER_DOWN, Mid(nTo), 150),
                               up = Ev(POINTER_UP, Mid(nTo), 152);
            EXPECT_EQ(PointerInputEvent(kMain, &down) + PointerInputEvent(kMain, &up), 2);
            for (int i = 0; i < 30; i++) {
                if (i) PointerTick(kMain);
                tapLanes.push_back(game.nPaddleLane);
            }
            EXPECT_EQ(tapLanes, keyLanes);
            EXPECT_EQ(Trace(host), sKeys);
        }
    }
    // A pause ends the travel; playing on does not take it up again.
    Fresh(host, RUNNING, 4);
    const PointerEvent down = Ev(POINTER_DOWN, Mid(0), 150), up = Ev(POINTER_UP, Mid(0), 150);
    PointerInputEvent(kMain, &down);
    PointerInputEvent(kMain, &up);
    SetPause(1);
    SetPause(0);
    for (int i = 0; i < 40; i++) PointerTick(kMain);
    EXPECT_EQ(game.nPaddleLane, 3);
}

} // namespace
