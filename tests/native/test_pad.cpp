// The gamepad as keys: each button reaches the engine as its key does, the
// keyboard's repeat, the stick's dead zone, a pad that goes away, the keys of
// the dialogs, and quiet polling.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/pad.h"
#include "engine/play.h"
#include "prefs/prefs.h"
#include "resources/resource.h"
#include "tests/native/recording_host.h"

// Every allocation of the program is counted, so a test can see that polling
// makes none.
static long nAllocations;
void* operator new(std::size_t n) {
    nAllocations++;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

HostWindow const kMain = reinterpret_cast<HostWindow>(0x450);
const PadReading kNoPad = {0, 0, 0, 0};
const PadReading kNeutral = {1, 0, 0, 0};

PadReading Buttons(uint16_t w, int16_t nStickX = 0, int16_t nStickY = 0) {
    return PadReading{1, w, nStickX, nStickY};
}

// What the engine did: every host call with its arguments, and the state the
// keys change.
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
                    std::to_string(game.nHeld) + " top " + std::to_string(game.aHeld[1]) +
                    " paused " + std::to_string(game.bPaused) + " bins " +
                    std::to_string(game.aBinCount[2]));
    return trace;
}

class Pad : public ::testing::Test {
  protected:
    RecordingHost host;
    uint32_t dwNow = 100000;

    void SetUp() override {
        ResetEngineForTest(host);
        PadForget();
        PadSetRepeat(1, 31);
    }

    // A fresh game, paused, with a stack of two on the middle lane; or the
    // title screen.
    void Fresh(int bGame) {
        ResetEngineForTest(host);
        PadForget();
        if (bGame) {
            game.nLevel = 1;
            GameNew(1);
            game.nLives = 100;
            game.nPaddleLane = 2;
            game.aHeld[0] = TILE_RED;
            game.aHeld[1] = TILE_BLUE;
            game.nHeld = 2;
            game.nPaddleY = PADDLE_BASE_Y + 20;
        }
        host.Clear();
    }

    int Tick(const PadReading& r) {
        dwNow += PLAY_TIMER_MS;
        return PadPlayTick(kMain, &r, dwNow);
    }

    // The keys of each tick of holding r for nMs in nContext, as "time:vk".
    std::vector<std::string> Hold(const PadReading& r, int nContext, int nMs) {
        std::vector<std::string> keys;
        uint32_t dwStart = dwNow;
        while ((int)(dwNow - dwStart) < nMs) {
            dwNow += PLAY_TIMER_MS;
            PadKey aKey[PAD_MAX_KEYS];
            int n = PadUpdate(&r, nContext, dwNow, aKey);
            for (int i = 0; i < n; i++)
                keys.push_back(std::to_string(dwNow - dwStart) + ":" + std::to_string(aKey[i].vk));
        }
        return keys;
    }
};

// --- In play and on the title screen: the same engine calls as the key ---------

struct PlayCase {
    const char* szName;
    int bGame;
    PadReading reading;
    int vk; // the key it stands for, 0 none
    int bMenu;
};

const PlayCase kPlayCases[] = {
    {"D-pad left", 1, Buttons(PAD_LEFT), KEY_LEFT, 0},
    {"stick left", 1, Buttons(0, -20000), KEY_LEFT, 0},
    {"D-pad right", 1, Buttons(PAD_RIGHT), KEY_RIGHT, 0},
    {"stick right", 1, Buttons(0, 32767), KEY_RIGHT, 0},
    {"D-pad up", 1, Buttons(PAD_UP), KEY_UP, 0},
    {"A turns", 1, Buttons(PAD_A), KEY_UP, 0},
    {"B turns", 1, Buttons(PAD_B), KEY_UP, 0},
    {"D-pad down", 1, Buttons(PAD_DOWN), KEY_DOWN, 0},
    {"X drops", 1, Buttons(PAD_X), KEY_DOWN, 0},
    {"Start pauses", 1, Buttons(PAD_START), KEY_SPACE, 0},
    {"Back in play", 1, Buttons(PAD_BACK), 0, 1},
    {"Y does nothing", 1, Buttons(PAD_Y), 0, 0},
    {"Start on the title", 0, Buttons(PAD_START), KEY_RETURN, 0},
    {"A on the title", 0, Buttons(PAD_A), KEY_RETURN, 0},
    {"Back on the title", 0, Buttons(PAD_BACK), 0, 1},
    {"B on the title", 0, Buttons(PAD_B), 0, 0},
};

TEST_F(Pad, EachButtonReachesTheEngineAsItsKey) {
    for (const PlayCase& c : kPlayCases) {
        SCOPED_TRACE(c.szName);
        Fresh(c.bGame);
        if (c.vk) {
            EXPECT_EQ(KeyDown(kMain, c.vk), 1);
        }
        std::vector<std::string> keyTrace = Trace(host);

        Fresh(c.bGame);
        EXPECT_EQ(Tick(kNeutral), 0);
        EXPECT_EQ(Tick(c.reading), c.bMenu);
        EXPECT_EQ(Trace(host), keyTrace);
        // Held on, nothing more (the face buttons do not repeat).
        host.Clear();
        for (int i = 0; i < 100; i++) EXPECT_EQ(Tick(c.reading), 0);
        if (!(PadButtons(&c.reading) & PAD_DIRECTIONS)) {
            EXPECT_TRUE(host.calls.empty());
        }
    }
    // Start on the title is the New command; Start in play pauses and plays on.
    Fresh(0);
    Tick(kNeutral);
    Tick(Buttons(PAD_START));
    ASSERT_EQ(host.Count("SendCommand"), 1);
    EXPECT_EQ(host.calls[(size_t)host.IndexOf("SendCommand")].arg[0], IDM_NEWGAME);
    Fresh(1);
    game.bPaused = 0;
    Tick(kNeutral);
    for (int nPaused : {1, 0, 1}) {
        Tick(Buttons(PAD_START));
        EXPECT_EQ(game.bPaused, nPaused);
        Tick(kNeutral);
    }
}

// --- The keyboard's repeat ----------------------------------------------------

TEST_F(Pad, HeldDirectionRepeatsAtTheKeyboardsDelayAndRate) {
    struct Setting {
        int nDelay, nSpeed, nDelayMs, nPeriodMs;
    };
    for (const Setting& s : {Setting{0, 0, 250, 400}, Setting{1, 31, 500, 33},
                             Setting{3, 15, 1000, 63}, Setting{9, -4, 1000, 400}}) {
        SCOPED_TRACE(s.nDelay * 100 + s.nSpeed);
        EXPECT_EQ(PadRepeatDelayMs(s.nDelay), s.nDelayMs);
        EXPECT_EQ(PadRepeatPeriodMs(s.nSpeed), s.nPeriodMs);
    }

    // Delay 500 ms, 33 ms apart: the press, then a repeat on the first tick at
    // or after each time due.
    PadSetRepeat(1, 31);
    Hold(kNeutral, PAD_PLAY, 32);
    std::vector<std::string> keys = Hold(Buttons(PAD_LEFT), PAD_PLAY, 32 * 22);
    std::vector<std::string> expected = {"32:37"};
    for (uint32_t t = 32 + 500; t <= 32 * 22; t += 33) {
        uint32_t tTick = (t + 31) / 32 * 32;
        expected.push_back(std::to_string(tTick) + ":37");
    }
    EXPECT_EQ(keys, expected);
    // A reading that comes late gives one repeat, not a burst.
    dwNow += 300;
    EXPECT_EQ(Hold(Buttons(PAD_LEFT), PAD_PLAY, 32).size(), 1u);
    // The last direction pressed repeats; releasing it stops the repeat even
    // though the first is still held, as with the keys.
    keys = Hold(Buttons(PAD_LEFT | PAD_DOWN), PAD_PLAY, 32 * 20);
    EXPECT_EQ(keys.front(), "32:40");
    EXPECT_EQ(keys.back().substr(keys.back().find(':')), ":40");
    EXPECT_TRUE(Hold(Buttons(PAD_LEFT), PAD_PLAY, 32 * 40).empty());
    // A dialog that opens under a held direction is not stepped through.
    Hold(kNeutral, PAD_PLAY, 32);
    Hold(Buttons(PAD_DOWN), PAD_PLAY, 32);
    EXPECT_TRUE(Hold(Buttons(PAD_DOWN), PAD_DIALOG, 32 * 40).empty());
    // The stick repeats like the D-pad.
    Hold(kNeutral, PAD_PLAY, 32);
    EXPECT_GT(Hold(Buttons(0, 30000), PAD_PLAY, 32 * 40).size(), 10u);
}

// --- The stick's dead zone ------------------------------------------------------

TEST_F(Pad, StickMovesOnlyBeyondTheDeadZone) {
    struct StickCase {
        int16_t x, y;
        int nMove; // -1 left, 1 right, 0 none
    };
    const StickCase kCases[] = {
        {0, 0, 0},     {7849, 0, 0},   {-7849, 0, 0},     {7850, 0, 1},         {-7850, 0, -1},
        {0, 32767, 0}, {0, -32768, 0}, {32767, 32767, 1}, {-32768, -32768, -1}, {7000, -30000, 0}};
    for (const StickCase& c : kCases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        Fresh(1);
        Tick(kNeutral);
        Tick(Buttons(0, c.x, c.y));
        EXPECT_EQ(game.nPaddleLane, 2 + c.nMove);
        if (!c.nMove) {
            EXPECT_TRUE(host.calls.empty());
        }
    }
}

// --- A pad that goes, or was never there ---------------------------------------

TEST_F(Pad, UnpluggedPadLeavesNothingHeld) {
    Fresh(1);
    game.nPaddleLane = 4;
    Tick(kNeutral);
    for (int i = 0; i < 30; i++) Tick(Buttons(PAD_LEFT)); // held into the repeat
    ASSERT_EQ(game.nPaddleLane, 0);
    game.nPaddleLane = 4;
    host.Clear();
    for (int i = 0; i < 100; i++) EXPECT_EQ(Tick(kNoPad), 0);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(pad.wHeld, 0);
    // Back with the D-pad still held: taken as it stands, no move, no repeat.
    for (int i = 0; i < 40; i++) Tick(Buttons(PAD_LEFT));
    EXPECT_EQ(game.nPaddleLane, 4);
    Tick(kNeutral);
    Tick(Buttons(PAD_LEFT));
    EXPECT_EQ(game.nPaddleLane, 3);
}

TEST_F(Pad, PollingIsQuiet) {
    for (int bGame : {0, 1}) {
        Fresh(bGame);
        game.bPaused = 0;
        GameState before = game;
        long nAllocatedBefore = nAllocations;
        for (int i = 0; i < 1000; i++) {
            EXPECT_EQ(Tick(i % 300 < 150 ? kNoPad : kNeutral), 0);
            Tick(Buttons(PAD_Y, 5000, -32768));
        }
        EXPECT_EQ(nAllocations, nAllocatedBefore);
        EXPECT_TRUE(host.calls.empty());
        EXPECT_EQ(memcmp(&before, &game, sizeof game), 0);
    }
}

// --- The dialogs and the menu ----------------------------------------------------

TEST_F(Pad, DialogKeys) {
    struct DialogCase {
        int nContext;
        uint16_t wButton;
        PadKey key; // {0, 0} for none
    };
    const DialogCase kCases[] = {
        {PAD_DIALOG, PAD_A, {KEY_RETURN, 0}},  {PAD_DIALOG, PAD_B, {KEY_ESCAPE, 0}},
        {PAD_DIALOG, PAD_X, {KEY_SPACE, 0}},   {PAD_DIALOG, PAD_DOWN, {KEY_TAB, 0}},
        {PAD_DIALOG, PAD_RIGHT, {KEY_TAB, 0}}, {PAD_DIALOG, PAD_UP, {KEY_TAB, 1}},
        {PAD_DIALOG, PAD_LEFT, {KEY_TAB, 1}},  {PAD_DIALOG, PAD_START, {0, 0}},
        {PAD_DIALOG, PAD_BACK, {0, 0}},        {PAD_LIST, PAD_A, {KEY_RETURN, 0}},
        {PAD_LIST, PAD_B, {KEY_ESCAPE, 0}},    {PAD_LIST, PAD_DOWN, {KEY_DOWN, 0}},
        {PAD_LIST, PAD_UP, {KEY_UP, 0}},       {PAD_LIST, PAD_RIGHT, {KEY_TAB, 0}},
        {PAD_LIST, PAD_LEFT, {KEY_TAB, 1}},    {PAD_MENU, PAD_DOWN, {KEY_DOWN, 0}},
        {PAD_MENU, PAD_UP, {KEY_UP, 0}},       {PAD_MENU, PAD_LEFT, {KEY_LEFT, 0}},
        {PAD_MENU, PAD_A, {KEY_RETURN, 0}},    {PAD_MENU, PAD_B, {KEY_ESCAPE, 0}},
        {PAD_MENU, PAD_BACK, {0, 0}},
    };
    for (const DialogCase& c : kCases) {
        SCOPED_TRACE(std::to_string(c.nContext) + "/" + std::to_string(c.wButton));
        PadForget();
        PadKey aKey[PAD_MAX_KEYS];
        EXPECT_EQ(PadUpdate(&kNeutral, c.nContext, dwNow, aKey), 0);
        PadReading r = Buttons(c.wButton);
        int n = PadUpdate(&r, c.nContext, dwNow + 32, aKey);
        ASSERT_EQ(n, c.key.vk ? 1 : 0);
        if (n) {
            EXPECT_EQ(aKey[0].vk * 2 + aKey[0].bShift, c.key.vk * 2 + c.key.bShift);
        }
    }
}

} // namespace
