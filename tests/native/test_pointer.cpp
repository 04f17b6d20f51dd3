// The pointer as the keys of play: each gesture against the key it stands
// for, a tap's travel against an arrow key held on the pad, and what does
// nothing.
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

// A game in nState with the paddle in nLane holding red, blue, green.
void Fresh(RecordingHost& host, int nState, int nLane) {
    ResetEngineForTest(host);
    PadForget();
    PadSetRepeat(1, 31);
    PointerForget();
    if (nState != TITLE) {
        GameNew(1);
        game.nLives = 100;
        game.nPaddleLane = nLane;
        game.aHeld[0] = TILE_RED;
        game.aHeld[1] = TILE_BLUE;
        game.aHeld[2] = TILE_GREEN;
        game.nHeld = 3;
        game.nPaddleY = PADDLE_BASE_Y + 30;
        game.bPaused = nState == PAUSED;
    }
    host.Clear();
}

// Every engine call with its arguments, then the state the keys change.
std::vector<std::string> Trace(const RecordingHost& host) {
    std::vector<std::string> trace;
    for (const HostCall& c : host.calls) {
        std::string s = c.op;
        s += "(";
        s += c.text;
        for (int64_t a : c.arg) {
            s += " ";
            s += std::to_string(a);
        }
        s += ")";
        trace.push_back(s);
    }
    trace.push_back("lane " + std::to_string(game.nPaddleLane) + " held " +
                    std::to_string(game.nHeld) + " top " + std::to_string(game.aHeld[2]) +
                    " paused " + std::to_string(game.bPaused));
    return trace;
}

int Mid(int nLane) {
    return aLaneX[nLane] + 20;
}

PointerEvent Down(int x, int y) {
    return PointerEvent{POINTER_DOWN, x, y, 0};
}
PointerEvent Move(int x, int y) {
    return PointerEvent{POINTER_MOVE, x, y, 0};
}
PointerEvent Up(int x, int y) {
    return PointerEvent{POINTER_UP, x, y, 0};
}
PointerEvent Turn(int x, int y, int nWheel) {
    return PointerEvent{POINTER_WHEEL, x, y, nWheel};
}

struct GestureCase {
    const char* szName;
    int nState;
    int nLane; // the paddle's
    std::vector<PointerEvent> events;
    std::vector<int> keys; // the keys it stands for, in order
};

TEST(Pointer, GesturesAreTheKeysOfPlay) {
    RecordingHost host;
    Fresh(host, TITLE, 0); // the lanes' places
    const int xOut = aLaneX[0] - 12, xFrame = aLaneX[4] + 48;
    const std::vector<GestureCase> kCases = {
        {"tap on the paddle's lane", RUNNING, 2, {Down(Mid(2), 200), Up(Mid(2), 203)}, {KEY_DOWN}},
        {"short rise taps", RUNNING, 2, {Down(Mid(2), 300), Up(Mid(2), 269)}, {KEY_DOWN}},
        {"drag taps where it landed", RUNNING, 2, {Down(Mid(2), 300), Up(Mid(4), 250)}, {KEY_DOWN}},
        {"flick up",
         RUNNING,
         2,
         {Down(Mid(2), 300), Move(Mid(2), 280), Up(Mid(2) + 9, 268)},
         {KEY_UP}},
        {"flick up on another lane", RUNNING, 2, {Down(Mid(0), 400), Up(Mid(1), 100)}, {KEY_UP}},
        {"wheel notch, either way",
         RUNNING,
         2,
         {Turn(Mid(1), 90, -120), Turn(Mid(3), 90, 120)},
         {KEY_UP, KEY_UP}},
        {"fine wheel adds up", RUNNING, 2, {Turn(Mid(1), 90, 60), Turn(Mid(1), 90, -70)}, {KEY_UP}},
        {"two notches at once", RUNNING, 2, {Turn(Mid(4), 90, 240)}, {KEY_UP, KEY_UP}},
        {"tap while paused", PAUSED, 2, {Down(Mid(0), 200), Up(Mid(0), 200)}, {KEY_SPACE}},
        {"flick while paused", PAUSED, 2, {Down(Mid(2), 300), Up(Mid(2), 100)}, {KEY_SPACE}},
        {"wheel while paused", PAUSED, 2, {Turn(Mid(2), 90, 360)}, {KEY_SPACE}},
        {"mere move", RUNNING, 2, {Move(Mid(0), 200), Move(Mid(4), 300), Move(Mid(2), 300)}, {}},
        {"move while paused", PAUSED, 2, {Move(Mid(0), 200)}, {}},
        {"release alone", RUNNING, 2, {Up(Mid(0), 200)}, {}},
        {"press beside the playfield", RUNNING, 2, {Down(xOut, 200), Up(Mid(0), 200)}, {}},
        {"wheel beside the playfield", RUNNING, 2, {Turn(xOut, 200, 120)}, {}},
        {"cancelled press",
         RUNNING,
         2,
         {Down(Mid(2), 200), PointerEvent{POINTER_CANCEL, 0, 0, 0}, Up(Mid(2), 200)},
         {}},
        {"tap on the title", TITLE, 2, {Down(Mid(2), 200), Up(Mid(2), 200)}, {}},
        {"wheel on the title", TITLE, 2, {Turn(Mid(2), 200, 120)}, {}},
        {"frame counts as its lane", RUNNING, 3, {Down(xFrame, 470), Up(xFrame, 470)}, {KEY_RIGHT}},
    };
    for (const GestureCase& c : kCases) {
        SCOPED_TRACE(c.szName);
        Fresh(host, c.nState, c.nLane);
        for (int vk : c.keys) KeyDown(kMain, vk);
        std::vector<std::string> keyTrace = Trace(host);

        Fresh(host, c.nState, c.nLane);
        int bTaken = 0;
        for (const PointerEvent& e : c.events) bTaken = PointerInputEvent(kMain, &e);
        EXPECT_EQ(Trace(host), keyTrace);
        EXPECT_EQ(bTaken, c.keys.empty() ? 0 : 1);
        // Nothing more follows on the ticks.
        host.Clear();
        for (int i = 0; i < 40; i++) EXPECT_EQ(PointerTick(kMain), 0);
        EXPECT_TRUE(host.calls.empty());
    }
}

// A tap on each lane from each lane: the paddle's lane after every tick is
// the one an arrow key held toward the lane (and let go there) gives.
TEST(Pointer, TapTravelsAtTheHeldKeysPace) {
    RecordingHost host;
    const PadReading kNeutral = {1, 0, 0, 0};
    for (int nFrom = 0; nFrom < NUM_LANES; nFrom++) {
        for (int nTo = 0; nTo < NUM_LANES; nTo++) {
            if (nTo == nFrom) continue;
            SCOPED_TRACE(std::to_string(nFrom) + " to " + std::to_string(nTo));
            const uint16_t wToward = nTo < nFrom ? PAD_LEFT : PAD_RIGHT;
            Fresh(host, RUNNING, nFrom);
            uint32_t dwNow = 1000;
            PadPlayTick(kMain, &kNeutral, dwNow);
            std::vector<int> keyLanes;
            for (int i = 0; i < 30; i++) {
                const PadReading r = {1, game.nPaddleLane == nTo ? (uint16_t)0 : wToward, 0, 0};
                PadPlayTick(kMain, &r, dwNow += PLAY_TIMER_MS);
                keyLanes.push_back(game.nPaddleLane);
            }
            std::vector<std::string> keyTrace = Trace(host);

            Fresh(host, RUNNING, nFrom);
            std::vector<int> tapLanes;
            PointerEvent down = Down(Mid(nTo), 150), up = Up(Mid(nTo), 152);
            EXPECT_EQ(PointerInputEvent(kMain, &down), 1);
            EXPECT_EQ(PointerInputEvent(kMain, &up), 1);
            tapLanes.push_back(game.nPaddleLane);
            for (int i = 1; i < 30; i++) {
                PointerTick(kMain);
                tapLanes.push_back(game.nPaddleLane);
            }
            EXPECT_EQ(tapLanes, keyLanes);
            EXPECT_EQ(Trace(host), keyTrace);
        }
    }
    // A pause ends the travel; playing on does not take it up again.
    Fresh(host, RUNNING, 4);
    PointerEvent down = Down(Mid(0), 150), up = Up(Mid(0), 150);
    PointerInputEvent(kMain, &down);
    PointerInputEvent(kMain, &up);
    SetPause(1);
    SetPause(0);
    for (int i = 0; i < 40; i++) PointerTick(kMain);
    EXPECT_EQ(game.nPaddleLane, 3);
}

} // namespace
