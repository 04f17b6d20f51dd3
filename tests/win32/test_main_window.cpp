// The main window procedure and its command table on a real window of the
// test, with the engine's state set up as a player meets it: the questions
// are answered through pfnAskMessageBox, the dialogs and the right-click menu
// by a thread timer inside their own loops, the sequencer is a fake.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "audio/midi.h"
#include "audio/sound.h"
#include "engine/game.h"
#include "engine/play.h"
#include "engine/warp.h"
#include "prefs/prefs.h"
#include "render/render_win.h"
#include "render/zoom_win.h"
#include "resources/resource.h"
#include "scores/options.h"
#include "scores/scores_win.h"
#include "shell/app.h"
#include "shell/buttons.h"
#include "shell/commands.h"
#include "tests/win32/support/quiet_host.h"
#include "tests/win32/support/own_window.h"

namespace {

// What happened, in order: "ask <question>", the sounds by name, "mci <verb>".
std::vector<std::string> aSeen;
int nAnswer; // IDYES or IDNO, to every question
int bFakeMidi, bFakeWave;
GameHost hostTest;

int Index(const std::string& s) {
    auto it = std::find(aSeen.begin(), aSeen.end(), s);
    return it == aSeen.end() ? -1 : (int)(it - aSeen.begin());
}
std::string SeenText() {
    std::string s;
    for (const std::string& sOne : aSeen) s += sOne + "; ";
    return s;
}

int WINAPI AnswerBox(HWND, const char* szText, const char*, UINT) {
    aSeen.push_back(std::string("ask ") + szText);
    return nAnswer;
}

// A sequencer that takes every command and notes its verb.
const MIDIDevice kFakeSequencer = {
    .SendString =
        [](const char* szCommand, HostWindow) {
            aSeen.push_back("mci " + std::string(szCommand, strcspn(szCommand, " ")));
            return 0u;
        },
    .ErrorText =
        [](uint32_t, char* szText, int) {
            szText[0] = '\0';
            return 0;
        },
    .WarningBox = [](const char*, const char*) { return 0; },
    .FileExists = [](const char*) { return 1; },
    .ShortPath = [](const char*, char*, int) { return 0; },
    .Trace = nullptr,
    .NoticeId = nullptr,
};

// --- Driving modal loops -------------------------------------------------------------
void (*pfnAnswerDialog)(HWND hDlg); // what the player does in the dialog that opens
std::string sDialogCaption;         // the caption of that dialog, once answered
std::vector<std::string> asMenu;    // the right-click menu's items ("-": separator)
DWORD dwDriveStart;

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    bool bGiveUp = GetTickCount() - dwDriveStart > 10000; // never hang the suite
    if (!asMenu.empty() || bGiveUp) EndMenu();
    HWND hDlg = FindOwnWindow();
    if (!hDlg) return;
    if (bGiveUp) {
        EndDialog(hDlg, -1);
    } else if (sDialogCaption.empty()) {
        char sz[64] = "";
        GetWindowTextA(hDlg, sz, sizeof sz);
        sDialogCaption = sz;
        pfnAnswerDialog(hDlg);
    }
}

void NoteMenu(HMENU hMenu) {
    for (int i = 0; i < GetMenuItemCount(hMenu); i++) {
        char sz[64] = "";
        GetMenuStringA(hMenu, i, sz, sizeof sz, MF_BYPOSITION);
        asMenu.push_back(GetMenuItemID(hMenu, i) == 0 ? "-" : sz);
    }
}

// The game's state as the window was destroyed: running, paused.
std::pair<int, int> stateAtDestroy;

LRESULT CALLBACK TestWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_INITMENUPOPUP) NoteMenu((HMENU)wParam);
    if (uMsg == WM_DESTROY) stateAtDestroy = {game.bGameRunning, game.bPaused};
    return MainWndProc(hwnd, uMsg, wParam, lParam);
}

struct ItemState {
    bool bEnabled, bChecked;
    bool operator==(const ItemState&) const = default;
};
ItemState MenuItem(UINT uId) {
    UINT u = GetMenuState(hMainMenu, uId, MF_BYCOMMAND);
    return {!(u & (MF_GRAYED | MF_DISABLED)), (u & MF_CHECKED) != 0};
}

class MainWindow : public testing::Test {
  protected:
    HWND hwnd = NULL;
    char szIni[MAX_PATH] = "";

    void SetUp() override {
        hInst = GetModuleHandleA(NULL);
        lstrcpyA(szAppCaption, "Quarrion v1.52");
        GetTempPathA(MAX_PATH, szIni);
        lstrcatA(szIni, "quarrion_mainwnd_test.ini");
        PrefsSetIniPathForTest(szIni);
        HighScoresUseIniPath(szIni);
        PrefsSetDefaults();
        prefs.bUseMenu = 1;
        prefs.bSound = 1;
        prefs.bMusic = 0;
        ApplySpeed();

        HostInstallWin32();
        hostTest = *pHost;
        hostTest.PlayGameSound = [](const char* szName, int) {
            aSeen.push_back(szName);
            return 1;
        };
        hostTest.IsMainActive = [] { return 1; };
        hostTest.IsCtrlDown = [] { return 0; };
        // The engine's start-up without its files, timer or posted messages.
        HostQuietStartup(hostTest);
        hostTest.PostResolveLines = [] { return 0; };
        HostInstall(&hostTest);
        pfnAskMessageBox = AnswerBox;
        nAnswer = IDNO;
        bFakeMidi = bFakeWave = 1;
        pfnOptionsHasMIDIDevice = [] { return bFakeMidi; };
        pfnOptionsHasWaveDevice = [] { return bFakeWave; };
        MIDIReset();
        MIDIDeviceInstall(&kFakeSequencer);
        MIDIListBegin("C:\\music\\");
        MIDIListAdd("one.mid");
        MIDIListAdd("two.mid");
        Open();
    }
    void TearDown() override {
        Close();
        pfnAskMessageBox = MessageBoxA;
        pfnOptionsHasMIDIDevice = MIDIDeviceReady;
        pfnOptionsHasWaveDevice = HasWaveDevice;
        MIDIReset();
        MIDIDeviceInstall(nullptr);
        HostInstallWin32();
        PrefsSetIniPathForTest(nullptr);
        HighScoresUseIniPath(nullptr);
        DeleteFileA(szIni);
    }

    // The window as start-up leaves it: the title screen, the menu bar on.
    void Open() {
        static ATOM atom = 0;
        if (!atom) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = TestWndProc;
            wc.hInstance = hInst;
            wc.lpszClassName = "QuarrionMainWindowTest";
            atom = RegisterClassA(&wc);
        }
        hwnd = CreateWindowExA(0, "QuarrionMainWindowTest", szAppCaption, WS_POPUP | WS_SYSMENU, 0,
                               0, APP_WIDTH, APP_HEIGHT, NULL, NULL, hInst, NULL);
        ASSERT_TRUE(hwnd);
        hwndMain = hwnd;
        game.hwndMain = hwnd;
        hMainMenu = LoadMenuA(hInst, "QUARRMENU");
        SetMenu(hwnd, hMainMenu);
        LoadBitmaps();
        GameInit(hwnd);
        aSeen.clear();
        asMenu.clear();
        sDialogCaption.clear();
    }
    void Close() {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
        // The shutdown's WM_QUIT and whatever else was posted go too.
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        }
        hwnd = hwndMain = NULL;
        game.hwndMain = NULL;
        hMainMenu = NULL;
    }

    // A game at nLevel with 1,234 points, playing or paused.
    void StartGame(int nLevel, int bPaused) {
        game.nLevel = nLevel;
        GameNew(1);
        game.lScore = 1234;
        game.bPaused = bPaused;
        aSeen.clear();
    }

    LRESULT Send(UINT uMsg, WPARAM wParam, LPARAM lParam = 0) {
        dwDriveStart = GetTickCount();
        UINT_PTR idTimer = SetTimer(NULL, 0, 30, Drive);
        LRESULT lResult = SendMessageA(hwnd, uMsg, wParam, lParam);
        KillTimer(NULL, idTimer);
        return lResult;
    }
};

} // namespace

TEST_F(MainWindow, NewGameAsksOnlyDuringAGame) {
    struct Case {
        bool bGame;
        int nAnswer;
        LRESULT lResult;
        bool bAsked, bStarted;
    } const aCases[] = {
        {false, IDNO, 1, false, true},
        {true, IDNO, 0, true, false},
        {true, IDYES, 1, true, true},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << "game " << c.bGame << ", answer " << c.nAnswer);
        game.bGameRunning = 0;
        game.bPaused = 1;
        if (c.bGame) StartGame(7, 0);
        aSeen.clear();
        nAnswer = c.nAnswer;
        EXPECT_EQ(Send(WM_COMMAND, IDM_NEWGAME), c.lResult);
        EXPECT_EQ(Index("ask Are you sure you want to start a new game?") >= 0, c.bAsked)
            << SeenText();
        EXPECT_EQ(game.bGameRunning, 1);
        if (c.bStarted) {
            EXPECT_EQ(game.nLevel, 1);
            EXPECT_EQ(game.lScore, 0u);
            EXPECT_EQ(game.nLives, 3);
            EXPECT_EQ(game.bPaused, 0);
            // Play starts through the pause key's resume, after the fanfare.
            EXPECT_GE(Index("NEWGAME"), 0) << SeenText();
            EXPECT_GT(Index("PAUSEOFF"), Index("NEWGAME")) << SeenText();
        } else {
            EXPECT_EQ(game.nLevel, 7);
            EXPECT_EQ(game.lScore, 1234u);
            EXPECT_EQ(game.bPaused, 1);
            EXPECT_EQ(Index("NEWGAME"), -1) << SeenText();
        }
    }
}

// The Quit command and the window's close (Alt+F4, the close box, the system
// menu) ask the same question during a game; No goes back to playing.
TEST_F(MainWindow, QuitAndCloseAskDuringAGame) {
    struct Case {
        UINT uMsg;
        WPARAM wParam;
        bool bGame;
        int nAnswer;
        bool bClosed;
        LRESULT lResultOnNo;
    } const aCases[] = {
        {WM_COMMAND, IDM_QUIT, false, IDNO, true, 0}, {WM_COMMAND, IDM_QUIT, true, IDNO, false, 1},
        {WM_COMMAND, IDM_QUIT, true, IDYES, true, 0}, {WM_CLOSE, 0, false, IDNO, true, 0},
        {WM_CLOSE, 0, true, IDNO, false, 0},          {WM_CLOSE, 0, true, IDYES, true, 0},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message()
                     << "message " << c.uMsg << ", game " << c.bGame << ", answer " << c.nAnswer);
        if (!IsWindow(hwnd)) Open();
        game.bGameRunning = 0;
        game.bPaused = 1;
        if (c.bGame) StartGame(9, 0);
        aSeen.clear();
        nAnswer = c.nAnswer;
        stateAtDestroy = {-1, -1};
        LRESULT lResult = Send(c.uMsg, c.wParam);
        EXPECT_EQ(Index("ask Are you sure you want to quit?") >= 0, c.bGame) << SeenText();
        EXPECT_EQ(!IsWindow(hwnd), c.bClosed);
        if (c.bClosed) {
            // The game ended before the window went, however it was closed.
            EXPECT_EQ(stateAtDestroy, std::make_pair(0, 1));
            Close();
            continue;
        }
        EXPECT_EQ(lResult, c.lResultOnNo);
        EXPECT_EQ(game.bGameRunning, 1);
        EXPECT_EQ(game.nLevel, 9);
        EXPECT_EQ(game.bPaused, 0);
        EXPECT_GT(Index("PAUSEOFF"), Index("PAUSEON")) << SeenText();
    }
}

TEST_F(MainWindow, AbortAsksAndEndsTheGameOnlyOnYes) {
    struct Case {
        bool bGame;
        int nAnswer;
        bool bAsked, bRunningAfter;
    } const aCases[] = {
        {false, IDYES, false, false},
        {true, IDNO, true, true},
        {true, IDYES, true, false},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << "game " << c.bGame << ", answer " << c.nAnswer);
        game.bGameRunning = 0;
        game.bPaused = 1;
        if (c.bGame) StartGame(4, 0);
        aSeen.clear();
        game.nCreditsOffset = 99;
        nAnswer = c.nAnswer;
        EXPECT_EQ(Send(WM_COMMAND, IDM_ABORT), 1);
        EXPECT_EQ(Index("ask Abort current game?") >= 0, c.bAsked) << SeenText();
        EXPECT_EQ(game.bGameRunning, c.bRunningAfter ? 1 : 0);
        EXPECT_EQ(game.bPaused, 1);
        EXPECT_EQ(game.nCreditsOffset, c.bGame && !c.bRunningAfter ? 0 : 99);
    }
}

TEST_F(MainWindow, PauseCommandPausesAndResumesAGame) {
    StartGame(3, 0);
    EXPECT_EQ(Send(WM_COMMAND, IDM_PAUSE), 1);
    EXPECT_EQ(game.bPaused, 1);
    EXPECT_EQ(Send(WM_COMMAND, IDM_PAUSE), 1);
    EXPECT_EQ(game.bPaused, 0);
    EXPECT_EQ(SeenText(), "PAUSEON; PAUSEOFF; ");
}

TEST_F(MainWindow, WarpCancelledKeepsTheGameAcceptedStartsItsLevel) {
    StartGame(7, 0);
    pfnAnswerDialog = [](HWND hDlg) { PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0); };
    Send(WM_COMMAND, IDM_WARP);
    EXPECT_EQ(sDialogCaption, "Level Warp");
    EXPECT_EQ(game.nLevel, 7);
    EXPECT_EQ(game.lScore, 1234u);
    EXPECT_EQ(game.bGameRunning, 1);
    EXPECT_EQ(game.bPaused, 1);
    EXPECT_EQ(Index("WARP"), -1) << SeenText();

    sDialogCaption.clear();
    aSeen.clear();
    pfnAnswerDialog = [](HWND hDlg) {
        char szCode[WARP_SLOT_LEN] = "";
        WarpPasswordForLevel(11, szCode);
        SetDlgItemTextA(hDlg, IDC_WARP_CODE, szCode);
        PostMessageA(hDlg, WM_COMMAND, IDOK, 0);
    };
    Send(WM_COMMAND, IDM_WARP);
    EXPECT_EQ(sDialogCaption, "Level Warp");
    EXPECT_EQ(game.nLevel, 11);
    EXPECT_EQ(game.lScore, 0u);
    EXPECT_EQ(game.nLives, 3);
    EXPECT_EQ(game.bGameRunning, 1);
    EXPECT_EQ(game.bPaused, 0);
    EXPECT_GE(Index("WARP"), 0) << SeenText();
    EXPECT_EQ(Index("NEWGAME"), -1) << SeenText();
}

// Music and Sound flip their preferences whatever the devices; music that
// can play starts its next track or stops.
TEST_F(MainWindow, MusicAndSoundToggles) {
    struct Case {
        bool bSequencer, bFiles;
        const char* szOn;
        const char* szOff;
    } const aCases[] = {
        {true, true, "mci open; mci play; ", "mci stop; mci close; "},
        {true, false, "", ""},
        {false, true, "", ""},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(testing::Message() << "sequencer " << c.bSequencer << ", files " << c.bFiles);
        MIDIDeviceInstall(c.bSequencer ? &kFakeSequencer : nullptr);
        MIDIListBegin("C:\\music\\");
        if (c.bFiles) MIDIListAdd("one.mid");
        aSeen.clear();
        EXPECT_EQ(Send(WM_COMMAND, IDM_MUSIC), 1);
        EXPECT_EQ(prefs.bMusic, 1);
        EXPECT_EQ(SeenText(), c.szOn);
        aSeen.clear();
        EXPECT_EQ(Send(WM_COMMAND, IDM_MUSIC), 1);
        EXPECT_EQ(prefs.bMusic, 0);
        EXPECT_EQ(SeenText(), c.szOff);
    }
    EXPECT_EQ(Send(WM_COMMAND, IDM_SOUND), 1);
    EXPECT_EQ(prefs.bSound, 0);
    EXPECT_EQ(Send(WM_COMMAND, IDM_SOUND), 1);
    EXPECT_EQ(prefs.bSound, 1);
}

TEST_F(MainWindow, MenuUpdateGreysAndChecksByState) {
    const ItemState kOff = {false, false}, kOn = {true, true}, kOpen = {true, false};
    struct Case {
        const char* szName;
        bool bGame, bMenuBar, bMidi, bWave, bFiles;
        ItemState pause, music, sound, abort;
    } const aCases[] = {
        {"title screen", false, true, true, true, true, kOff, kOn, kOn, kOff},
        {"game", true, true, true, true, true, kOn, kOn, kOn, kOpen},
        {"no devices", true, true, false, false, true, kOn, kOff, kOff, kOpen},
        {"no music files", true, true, true, true, false, kOn, kOff, kOn, kOpen},
        // Without the menu bar only the pause item is kept up to date; the
        // others keep what they showed (here all on).
        {"no menu bar", true, false, false, false, false, kOn, kOn, kOn, kOn},
    };
    for (const Case& c : aCases) {
        SCOPED_TRACE(c.szName);
        game.bGameRunning = 0;
        game.bPaused = 1;
        if (c.bGame) StartGame(2, 0);
        prefs.bUseMenu = c.bMenuBar;
        SetMenu(hwnd, c.bMenuBar ? hMainMenu : NULL);
        bFakeMidi = c.bMidi;
        bFakeWave = c.bWave;
        MIDIListBegin("C:\\music\\");
        if (c.bFiles) MIDIListAdd("one.mid");
        prefs.bMusic = prefs.bSound = 1;
        for (UINT uId : {IDM_PAUSE, IDM_MUSIC, IDM_SOUND, IDM_ABORT}) {
            EnableMenuItem(hMainMenu, uId, MF_BYCOMMAND | MF_ENABLED);
            CheckMenuItem(hMainMenu, uId, MF_BYCOMMAND | MF_CHECKED);
        }
        aSeen.clear();
        EXPECT_EQ(Send(WM_INITMENU, (WPARAM)hMainMenu), 1);
        EXPECT_EQ(game.bPaused, 1); // opening a menu pauses
        EXPECT_EQ(Index("PAUSEON") >= 0, c.bGame);
        EXPECT_TRUE(MenuItem(IDM_PAUSE) == c.pause);
        EXPECT_TRUE(MenuItem(IDM_MUSIC) == c.music);
        EXPECT_TRUE(MenuItem(IDM_SOUND) == c.sound);
        EXPECT_TRUE(MenuItem(IDM_ABORT) == c.abort);
    }
    prefs.bUseMenu = 1;
    SetMenu(hwnd, hMainMenu); // destroyed with the window
}

TEST_F(MainWindow, RightClickMenuOffersAbortOnlyDuringAGame) {
    const std::vector<std::string> asTitle = {
        "&New", "&Options",           "&Scores",   "&Warp",       "&Help",
        "-",    "&Clear High Scores", "&About...", "Window Size", "Music Device",
        "-",    "&Quit\tAlt+F4"};
    std::vector<std::string> asGame = asTitle;
    asGame.insert(asGame.begin() + 6, {"&Abort current game", "-"});

    EXPECT_EQ(Send(WM_RBUTTONDOWN, 0), 1);
    EXPECT_EQ(asMenu, asTitle);

    StartGame(5, 0);
    asMenu.clear();
    EXPECT_EQ(Send(WM_RBUTTONDOWN, 0), 1);
    EXPECT_EQ(asMenu, asGame);
    // Dismissed without a choice, the menu has still paused the game.
    EXPECT_EQ(game.bPaused, 1);
    EXPECT_EQ(game.bGameRunning, 1);
}

// "Music Device" (Settings menu): the device that plays is checked; a choice
// stops the playing track on the old device, installs the new one and is
// kept in the file.
TEST_F(MainWindow, MusicDeviceChoiceIsCheckedKeptAndTakesTheTrackAlong) {
    ASSERT_EQ(MusicDeviceMenuInsert(GetSubMenu(hMainMenu, 1), -1), 1); // as start-up does
    prefs.bMusic = 1;
    MIDIStartTrack(hwnd, 0); // on the fake sequencer
    aSeen.clear();
    EXPECT_EQ(Send(WM_COMMAND, IDM_MUSICDEV_BUILTIN), 1);
    EXPECT_EQ(SeenText(), "mci stop; mci close; ");
    EXPECT_EQ(pMIDIDevice, MIDIDeviceBuiltIn());
    for (int nDevice : {MIDI_DEVICE_BUILTIN, MIDI_DEVICE_SYSTEM}) {
        SCOPED_TRACE(nDevice);
        EXPECT_EQ(Send(WM_COMMAND,
                       nDevice == MIDI_DEVICE_BUILTIN ? IDM_MUSICDEV_BUILTIN : IDM_MUSICDEV_SYSTEM),
                  1);
        // Without a MIDI output the built-in synthesizer plays instead.
        int nPlays = midiOutGetNumDevs() == 0 ? MIDI_DEVICE_BUILTIN : nDevice;
        EXPECT_EQ(pMIDIDevice, MIDIDeviceOf(nPlays));
        Send(WM_INITMENU, (WPARAM)hMainMenu);
        EXPECT_EQ(MenuItem(IDM_MUSICDEV_BUILTIN).bChecked, nPlays == MIDI_DEVICE_BUILTIN);
        EXPECT_EQ(MenuItem(IDM_MUSICDEV_SYSTEM).bChecked, nPlays == MIDI_DEVICE_SYSTEM);
        EXPECT_EQ(SavePrefs(), 1);
        prefs.nMusicDevice = MIDI_DEVICE_AUTO;
        EXPECT_EQ(LoadPrefs(), 1);
        EXPECT_EQ(prefs.nMusicDevice, nDevice);
    }
    // The check follows the device that plays, not what Automatic would pick now.
    prefs.nMusicDevice = MIDI_DEVICE_AUTO;
    int bAutoBuiltIn = MIDIDeviceCurrent() == MIDI_DEVICE_BUILTIN;
    MIDIDeviceInstall(MIDIDeviceOf(bAutoBuiltIn ? MIDI_DEVICE_SYSTEM : MIDI_DEVICE_BUILTIN));
    Send(WM_INITMENU, (WPARAM)hMainMenu);
    EXPECT_EQ(MenuItem(IDM_MUSICDEV_BUILTIN).bChecked, !bAutoBuiltIn);
}

// Only the play timer moves anything, and not while the window is minimized;
// minimizing stops the music and restoring starts the next track.
TEST_F(MainWindow, PlayTimerAndMinimizing) {
    prefs.bMusic = 1;
    MIDIStartTrack(hwnd, 0);
    for (bool bGame : {false, true}) {
        SCOPED_TRACE(bGame ? "game" : "title screen");
        game.bGameRunning = 0;
        if (bGame) StartGame(1, 0);
        // The title screen's button chase counts every tick; a game its own.
        auto Ticks = [] { return game.bGameRunning ? game.nTickCount : nChaseTicks; };
        nChaseTicks = 0;

        aSeen.clear();
        Send(WM_SIZE, SIZE_MINIMIZED);
        EXPECT_EQ(game.bMinimized, 1);
        EXPECT_EQ(SeenText(), "mci stop; mci close; ");
        int nBefore = Ticks();
        EXPECT_EQ(Send(WM_TIMER, PLAY_TIMER_ID), 1);
        EXPECT_EQ(Ticks(), nBefore);

        aSeen.clear();
        Send(WM_SIZE, SIZE_RESTORED);
        EXPECT_EQ(game.bMinimized, 0);
        EXPECT_EQ(SeenText(), "mci open; mci play; ");
        EXPECT_EQ(Send(WM_TIMER, PLAY_TIMER_ID + 1), 1);
        EXPECT_EQ(Ticks(), nBefore);
        EXPECT_EQ(Send(WM_TIMER, PLAY_TIMER_ID), 1);
        EXPECT_EQ(Ticks(), nBefore + 1);
    }
}

// The activation the game keeps from WM_ACTIVATE is the system's.
TEST_F(MainWindow, KeptActivationFollowsTheSystem) {
    HostInstallWin32();
    RenderUsePlatform();
    // Hidden windows: Wine takes seconds to close a shown one that was active.
    HWND hwndOther =
        CreateWindowExA(0, "STATIC", "other", WS_POPUP, 700, 0, 100, 100, NULL, NULL, hInst, NULL);
    for (HWND hwndActivate : {hwnd, hwndOther, HWND(NULL), hwnd, hwndOther}) {
        SetActiveWindow(hwndActivate);
        const bool bActive = GetActiveWindow() == hwnd;
        EXPECT_EQ(pHost->IsMainActive() != 0, bActive) << hwndActivate;
        EXPECT_EQ(pfnRenderActiveWindow() == hwnd, bActive) << hwndActivate;
    }
    DestroyWindow(hwndOther);
}

TEST_F(MainWindow, SystemMenuAboutOpensTheAboutBox) {
    pfnAnswerDialog = [](HWND hDlg) { PostMessageA(hDlg, WM_COMMAND, IDOK, 0); };
    EXPECT_EQ(Send(WM_SYSCOMMAND, IDM_ABOUT), 0);
    EXPECT_EQ(sDialogCaption, "About...");
}

// The accelerators are offered every message of the thread, so Alt+N and
// Alt+Q work while a command button has the keyboard.
TEST_F(MainWindow, AltNAndAltQReachTheWindowFromAButton) {
    ASSERT_EQ(ButtonsCreate(hwnd), 1);
    hAccelTable = LoadAcceleratorsA(hInst, "ACCELTABLE");
    ASSERT_TRUE(hAccelTable);
    BYTE abKeys[256], abAltDown[256];
    GetKeyboardState(abKeys);
    memcpy(abAltDown, abKeys, sizeof abKeys);
    abAltDown[VK_MENU] = 0x80;
    SetKeyboardState(abAltDown);
    auto AltKey = [&](char cKey) {
        MSG msg = {};
        msg.hwnd = ahwndButton[0];
        msg.message = WM_SYSKEYDOWN;
        msg.wParam = (WPARAM)cKey;
        msg.lParam = 1 | (1 << 29); // one press, Alt held
        dwDriveStart = GetTickCount();
        UINT_PTR idTimer = SetTimer(NULL, 0, 30, Drive);
        AppDispatch(&msg);
        KillTimer(NULL, idTimer);
    };

    AltKey('N');
    EXPECT_EQ(game.bGameRunning, 1);
    EXPECT_GE(Index("NEWGAME"), 0) << SeenText();
    nAnswer = IDNO;
    AltKey('Q');
    EXPECT_GE(Index("ask Are you sure you want to quit?"), 0) << SeenText();
    EXPECT_TRUE(IsWindow(hwnd));

    SetKeyboardState(abKeys);
    DestroyAcceleratorTable(hAccelTable);
    hAccelTable = NULL;
    for (HWND& h : ahwndButton) h = NULL; // children go with the window
}

// Alt+Enter comes as an accelerator, so the system sees Alt pressed and let go
// alone and sends the key menu (Wine does): it is dropped, no menu opens (one
// would pause the game) and P still pauses. Only that one: Alt alone later
// arms the menu as ever.
TEST_F(MainWindow, AltEnterLeavesNoMenuArmed) {
    StartGame(1, 0);
    BYTE abKeys[256], abAltDown[256];
    GetKeyboardState(abKeys);
    memcpy(abAltDown, abKeys, sizeof abKeys);
    abAltDown[VK_MENU] = 0x80;
    SetKeyboardState(abAltDown);
    Send(WM_COMMAND, MAKEWPARAM(IDM_FULLSCREEN, 1));
    SetKeyboardState(abKeys);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_KEYMENU, 0), 0);
    EXPECT_EQ(game.bPaused, 0) << "a menu opened";
    Send(WM_KEYDOWN, 'P');
    EXPECT_EQ(game.bPaused, 1);
    Send(WM_COMMAND, IDM_FULLSCREEN);
    SetPause(0);
    asMenu.push_back("end the menu"); // the driver ends the menu it opens
    Send(WM_SYSCOMMAND, SC_KEYMENU, 0);
    EXPECT_EQ(game.bPaused, 1) << "Alt alone no longer opens the menu";
    nZoom = 1;
}
