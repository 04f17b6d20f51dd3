// The gamepad under Win32: XInput found at run time or not at all, one
// reading a tick as pads come and go, and the real options, warp and
// high-score dialogs and the right-click menu finished from the pad alone.
// A stand-in for XInputGetState plays the pad; a thread timer stands for the
// play timer, whose ticks reach the dialogs' and the menu's own loops.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/game.h"
#include "engine/pad.h"
#include "engine/warp.h"
#include "prefs/prefs.h"
#include "resources/resource.h"
#include "scores/options.h"
#include "scores/scores_win.h"
#include "scores/warpdlg_win.h"
#include "shell/app.h"
#include "shell/dialogs.h"
#include "shell/pad_win.h"

namespace {

// --- The stand-in pad ------------------------------------------------------------

int anConnected[XUSER_MAX_COUNT];
WORD wPadButtons; // what the connected pad holds
std::vector<int> aUsersAsked;

DWORD WINAPI FakeGetState(DWORD dwUser, XINPUT_STATE* pState) {
    aUsersAsked.push_back((int)dwUser);
    if (dwUser >= XUSER_MAX_COUNT || !anConnected[dwUser]) return ERROR_DEVICE_NOT_CONNECTED;
    ZeroMemory(pState, sizeof *pState);
    pState->dwPacketNumber = (DWORD)aUsersAsked.size();
    pState->Gamepad.wButtons = wPadButtons;
    return ERROR_SUCCESS;
}

DWORD dwFakeNow; // the pad's clock in simulated time
DWORD WINAPI FakeClock() {
    return dwFakeNow;
}

// --- A script of pad presses, one step a tick ------------------------------------

// Each step runs on a tick before the pad is read and says whether it is done.
typedef std::function<bool()> Step;
std::vector<Step> aScript;
size_t iStep;
HWND hwndPlay; // what the ticks pass as the game's window
DWORD dwDeadline;
bool bTimedOut;

void CALLBACK ScriptTick(HWND, UINT, UINT_PTR, DWORD) {
    if (GetTickCount() > dwDeadline) {
        bTimedOut = true;
        aScript.clear();
        EndMenu();
        if (HWND hwnd = GetActiveWindow(); hwnd && hwnd != hwndPlay) EndDialog(hwnd, -1);
        return;
    }
    if (iStep < aScript.size() && aScript[iStep]()) iStep++;
    PadTimerTick(hwndPlay);
}

// Runs fnOpen (a modal dialog or menu) with the script ticking in its loop.
template <class Open> INT_PTR RunPadScript(Open fnOpen, std::vector<Step> aSteps) {
    aScript = std::move(aSteps);
    iStep = 0;
    bTimedOut = false;
    dwDeadline = GetTickCount() + 15000;
    UINT_PTR id = SetTimer(NULL, 0, 30, ScriptTick);
    INT_PTR nResult = fnOpen();
    KillTimer(NULL, id);
    aScript.clear();
    return nResult;
}

// A press: held for one tick, released on the next. Press(0) is two readings
// of an idle pad (a pad's first reading is taken as it stands).
Step Press(WORD w) {
    auto pbDown = std::make_shared<bool>(false);
    return [w, pbDown] {
        *pbDown = !*pbDown;
        wPadButtons = *pbDown ? w : 0;
        return !*pbDown;
    };
}

int FocusId() {
    return GetDlgCtrlID(GetFocus());
}

// Presses w until the focus is control nId (at most 24 presses).
Step PressUntilFocus(WORD w, int nId) {
    auto pnTicks = std::make_shared<int>(0);
    return [w, nId, pnTicks] {
        if (wPadButtons) {
            wPadButtons = 0;
            return false;
        }
        if (FocusId() == nId || ++*pnTicks > 24) return true;
        wPadButtons = w;
        return false;
    };
}

Step Do(std::function<void()> fn) {
    return [fn] {
        fn();
        return true;
    };
}

std::vector<int> aCommands; // WM_COMMAND ids the owner got

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_COMMAND) aCommands.push_back(LOWORD(wParam));
    return DefWindowProcA(hwnd, uMsg, wParam, lParam);
}

int FakeYes() {
    return 1;
}

class PadWin : public ::testing::Test {
  protected:
    std::string sIni;
    const GameHost* pHostBefore = nullptr;
    GameHost host{};
    HWND hwndOwner = NULL;

    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        strcpy(szAppCaption, "Quarrion");
        if (!hfontDialog) hfontDialog = CreateAppFont("Arial", 12, 1, 0, nZoom);
        const auto* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        sIni = std::string(QUARRION_TESTWORK_DIR_W) + "\\pad-" + pInfo->name() + "-" +
               std::to_string(GetCurrentProcessId()) + ".ini";
        DeleteFileA(sIni.c_str());
        PrefsSetIniPathForTest(sIni.c_str());
        HighScoresUseIniPath(sIni.c_str());
        PrefsSetDefaults();
        LoadHighScores();
        pfnOptionsHasMIDIDevice = FakeYes;
        pfnOptionsHasWaveDevice = FakeYes;
        pHostBefore = pHost;
        HostInstallWin32();
        host = *pHost;
        host.PlayGameSound = [](const char*, int) { return 1; };
        host.PlayBeep = [](int) { return 1; };
        host.MIDIStart = [](int) { return 1; };
        host.MIDIStop = [] { return 1; };
        HostInstall(&host);

        WNDCLASSA wc{};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = hInst;
        wc.lpszClassName = "PadTestOwner";
        RegisterClassA(&wc);
        hwndOwner = CreateWindowExA(0, "PadTestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                    0, 640, 480, NULL, NULL, hInst, NULL);
        ASSERT_TRUE(hwndOwner);
        SetForegroundWindow(hwndOwner);
        SetActiveWindow(hwndOwner);
        hwndMain = hwndOwner;
        game.hwndMain = hwndOwner;
        hwndPlay = hwndOwner;
        game.bGameRunning = 0;

        memset(anConnected, 0, sizeof anConnected);
        anConnected[0] = 1;
        wPadButtons = 0;
        aUsersAsked.clear();
        aCommands.clear();
        PadLoad();
        pfnPadGetState = FakeGetState;
    }
    void TearDown() override {
        pfnPadGetState = NULL;
        pfnPadClock = GetTickCount;
        DestroyWindow(hwndOwner);
        hwndMain = NULL;
        game.hwndMain = nullptr;
        HostInstall(pHostBefore);
        PrefsSetIniPathForTest(nullptr);
        DeleteFileA(sIni.c_str());
    }
};

TEST_F(PadWin, XInputLoadsAtRunTimeAndNoneIsNoPad) {
    static const char* const apszNone[] = {"qx-no-such-pad-1.dll", "qx-no-such-pad-2.dll", NULL};
    apszPadDlls = apszNone;
    EXPECT_EQ(PadLoad(), 0);
    EXPECT_EQ(pfnPadGetState, nullptr);
    game.bGameRunning = 1;
    for (int i = 0; i < 20; i++) EXPECT_EQ(PadTimerTick(hwndOwner), 0);
    EXPECT_TRUE(aCommands.empty());

    // The platform's own XInput: found, and with no pad plugged in nothing
    // happens.
    static const char* const apszDefault[] = {"xinput1_4.dll", "xinput9_1_0.dll", "xinput1_3.dll",
                                              NULL};
    apszPadDlls = apszDefault;
    ASSERT_EQ(PadLoad(), 1);
    EXPECT_NE(GetModuleHandleA("xinput1_4.dll"), nullptr);
    for (int i = 0; i < 8; i++) PadTimerTick(hwndOwner);
    EXPECT_EQ(PadUser(), -1);
    EXPECT_TRUE(aCommands.empty());
}

// A pad in use is read every tick; while there is none, one slot every half
// second, so an empty slot is never read every tick and a pad plugged into
// any slot is found within two seconds. Simulated time, 32 ms a tick.
TEST_F(PadWin, ThePadEveryTickEmptySlotsEveryTwoSeconds) {
    dwFakeNow = 1000;
    pfnPadClock = FakeClock;
    memset(anConnected, 0, sizeof anConnected);
    auto TicksFor = [&](DWORD dwMs, bool (*pfnDone)() = nullptr) {
        for (DWORD dwEnd = dwFakeNow + dwMs; dwFakeNow < dwEnd; dwFakeNow += PLAY_TIMER_MS) {
            EXPECT_EQ(PadTimerTick(hwndOwner), 1);
            if (pfnDone && pfnDone()) return true;
        }
        return false;
    };
    TicksFor(10000); // no pad for ten seconds: the four slots in turn, twice a second
    EXPECT_LE(aUsersAsked.size(), 10000u / PAD_LOOK_MS + 1);
    EXPECT_GE(aUsersAsked.size(), 10000u / PAD_LOOK_MS - 1);
    for (size_t i = 0; i < aUsersAsked.size(); i++) EXPECT_EQ(aUsersAsked[i], (int)(i % 4));

    // In the background the slots wait too, and their turn comes round again
    // once the game is back: plugged in meanwhile, found within two seconds.
    SetActiveWindow(NULL);
    ASSERT_EQ(GetActiveWindow(), nullptr);
    aUsersAsked.clear();
    anConnected[2] = 1;
    for (DWORD dwEnd = dwFakeNow + 5000; dwFakeNow < dwEnd; dwFakeNow += PLAY_TIMER_MS)
        PadTimerTick(hwndOwner);
    EXPECT_TRUE(aUsersAsked.empty());
    SetActiveWindow(hwndOwner);
    EXPECT_TRUE(TicksFor(2000 + 3 * PLAY_TIMER_MS, [] { return PadUser() == 2; }));
    anConnected[0] = 1; // a second pad does not take over
    aUsersAsked.clear();
    TicksFor(10 * PLAY_TIMER_MS);
    EXPECT_EQ(aUsersAsked, std::vector<int>(10, 2));
    anConnected[2] = 0; // the pad in use goes: the slots are looked at from the next tick
    TicksFor(2 * PLAY_TIMER_MS);
    EXPECT_EQ(PadUser(), 0);
}

TEST_F(PadWin, OptionsDialogFromThePadAlone) {
    prefs.bSound = 1;
    prefs.nSpeed = 1;
    std::vector<int> aFocus;
    auto Note = [&] { return Do([&] { aFocus.push_back(FocusId()); }); };
    INT_PTR nResult = RunPadScript([&] { return ShowOptionsDlg(hwndOwner); },
                                   {Press(0), PressUntilFocus(PAD_RIGHT, IDC_OPT_SOUND), Note(),
                                    Press(PAD_X), // ticks the box off
                                    Press(PAD_LEFT), Note(), Press(PAD_DOWN), Note(),
                                    PressUntilFocus(PAD_RIGHT, IDOK), Note(), Press(PAD_A)});
    EXPECT_FALSE(bTimedOut);
    EXPECT_EQ(nResult, 1);
    EXPECT_EQ(prefs.bSound, 0);
    // Left went back to the speed group, where down moves as the arrow does.
    ASSERT_EQ(aFocus.size(), 4u);
    EXPECT_EQ(aFocus[0], IDC_OPT_SOUND);
    EXPECT_GE(aFocus[1], IDC_OPT_SLOW);
    EXPECT_LE(aFocus[1], IDC_OPT_INSANE);
    EXPECT_EQ(aFocus[2], aFocus[1] + 1);
    EXPECT_EQ(aFocus[3], IDOK);

    // B is Escape: Cancel, nothing stored.
    RunPadScript([&] { return ShowOptionsDlg(hwndOwner); },
                 {Press(0), PressUntilFocus(PAD_RIGHT, IDC_OPT_SOUND), Press(PAD_X), Press(PAD_B)});
    EXPECT_FALSE(bTimedOut);
    EXPECT_EQ(prefs.bSound, 0);
}

TEST_F(PadWin, WarpDialogFromThePad) {
    // Down to Cancel, A presses it.
    EXPECT_EQ(RunPadScript([] { return ShowWarpDlg(NULL); },
                           {Press(0), PressUntilFocus(PAD_DOWN, IDCANCEL), Press(PAD_A)}),
              0);
    EXPECT_FALSE(bTimedOut);
    // A code in the field (the one thing the pad cannot type): A is Enter.
    char szCode[WARP_SLOT_LEN] = "";
    WarpTableInit();
    WarpPasswordForLevel(11, szCode);
    game.nLevel = 1;
    EXPECT_EQ(RunPadScript([] { return ShowWarpDlg(NULL); },
                           {Press(0),
                            Do([&] { SetDlgItemTextA(GetActiveWindow(), IDC_WARP_CODE, szCode); }),
                            Press(PAD_A)}),
              1);
    EXPECT_FALSE(bTimedOut);
    EXPECT_EQ(game.nLevel, 11);
    // B from the field is Escape.
    EXPECT_EQ(RunPadScript([] { return ShowWarpDlg(NULL); }, {Press(0), Press(PAD_B)}), 0);
    EXPECT_FALSE(bTimedOut);
}

TEST_F(PadWin, NewHighScoreNameAcceptedWithA) {
    game.lScore = 5000;
    game.nLevel = 7;
    strcpy(prefs.szLastPlayer, "Zoe");
    // A takes the name; the table opens, and B closes it.
    RunPadScript([] { return CheckHighScore(NULL); },
                 {Press(0), Press(PAD_A), Press(0), Press(PAD_B)});
    EXPECT_FALSE(bTimedOut);
    EXPECT_STREQ(prefs.szLastPlayer, "Zoe");
    char sz[64] = "";
    GetPrivateProfileStringA("Scores", "1", "", sz, sizeof sz, sIni.c_str());
    EXPECT_EQ(std::string(sz).substr(0, 15), "Zoe,7,00005000,");
}

TEST_F(PadWin, BackOpensTheMenuAndThePadPicksFromIt) {
    // The menu's own loop takes the pad: down twice to Options, A picks it.
    aScript = {Press(0), Press(PAD_BACK), Press(PAD_DOWN), Press(PAD_DOWN), Press(PAD_A)};
    iStep = 0;
    dwDeadline = GetTickCount() + 15000;
    UINT_PTR id = SetTimer(NULL, 0, 30, ScriptTick);
    MSG msg;
    while (aCommands.empty() && !bTimedOut && GetMessageA(&msg, NULL, 0, 0)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    KillTimer(NULL, id);
    EXPECT_FALSE(bTimedOut);
    EXPECT_EQ(aCommands, (std::vector<int>{IDM_OPTIONS}));
}

} // namespace
