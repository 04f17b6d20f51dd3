// The built-in synthesizer behind the music's state machine: a track played
// to its end tells the window as the sequencer does and the next one starts,
// a stop leaves no thread behind, and a broken file is refused once.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>
#include <tlhelp32.h>

#include <functional>
#include <string>
#include <vector>

#include "audio/midi.h"
#include "prefs/prefs.h"
#include "tests/win32/support/music_test.h"

namespace {

std::vector<std::pair<std::string, std::string>> boxes; // text, title
std::vector<std::string> sent;
std::vector<unsigned> notified;
MIDIDevice device;

// Half a second of music: a chord and a kick, then the end of the track.
std::string ShortTune() {
    const unsigned char kBytes[] = {
        'M', 'T',  'h',  'd', 0, 0,  0,  6,  0,    0,  0,   1, 0, 96, // format 0, 96 a quarter
        'M', 'T',  'r',  'k', 0, 0,  0,  26,                          // one track
        0,   0x90, 60,   90,  0, 64, 90, 0,  0x99, 36, 100,           // C and E, a kick
        48,  0x80, 60,   0,   0, 64, 0,  0,  0x89, 36, 0,             // a quarter second on
        48,  0xFF, 0x2F, 0,                                           // the end at 0.5 s
    };
    return std::string((const char*)kBytes, sizeof kBytes);
}

int ThreadCount() {
    HANDLE h = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 te;
    te.dwSize = sizeof te;
    int n = 0;
    for (BOOL b = Thread32First(h, &te); b; b = Thread32Next(h, &te))
        n += te.th32OwnerProcessID == GetCurrentProcessId();
    CloseHandle(h);
    return n;
}

class SynthWin : public ::testing::Test {
  protected:
    std::string szDir; // ends in a backslash
    HWND hwnd = NULL;
    void SetUp() override {
        if (!MIDIBuiltInAvailable()) GTEST_SKIP() << "no wave output";
        szDir = std::string(QUARRION_TESTWORK_DIR_W) + "\\synth-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(szDir.c_str(), NULL);
        MIDIReset();
        boxes.clear();
        sent.clear();
        notified.clear();
        device = *MIDIDeviceBuiltIn();
        device.WarningBox = [](const char* szText, const char* szTitle) {
            boxes.emplace_back(szText, szTitle);
            return 1;
        };
        static uint32_t (*pfnSend)(const char*, HostWindow);
        pfnSend = MIDIDeviceBuiltIn()->SendString;
        device.SendString = [](const char* szCommand, HostWindow hwndNotify) {
            sent.push_back(szCommand);
            return pfnSend(szCommand, hwndNotify);
        };
        MIDIDeviceInstall(&device);
        PrefsSetDefaults();
        prefs.bMusic = 1;
        hwnd = NotifyWindowCreate(
            &notified, [](HWND h, uint32_t n, uint32_t nFrom) { MIDINotifyFrom(h, n, nFrom); });
        ASSERT_TRUE(hwnd);
    }
    void TearDown() override {
        MIDIStop();
        MIDIDeviceInstall(nullptr);
        MIDIReset();
        if (hwnd) DestroyWindow(hwnd);
    }
};

TEST_F(SynthWin, ATrackPlaysToItsEndTheNextStartsAndAStopLeavesNoThread) {
    WriteTestFile(szDir + "one.mid", ShortTune());
    WriteTestFile(szDir + "two.mid", ShortTune());
    ASSERT_EQ(MIDIFindFilesIn(hwnd, szDir.c_str()), 2);
    // The wave output's own threads, which may outlive a play, are started
    // by a first play and stop, before the count.
    ASSERT_EQ(MIDIStartTrack(hwnd, 0), 1);
    MIDIStop();
    PumpUntil([] { return !notified.empty(); }, 5000);
    ASSERT_EQ(notified, (std::vector<unsigned>{MCI_NOTIFY_ABORTED}));
    const int nThreads = ThreadCount();
    notified.clear();
    sent.clear();

    ASSERT_EQ(MIDIStartTrack(hwnd, 0), 1);
    char szShort[MAX_PATH];
    ASSERT_GT(GetShortPathNameA((szDir + "one.mid").c_str(), szShort, MAX_PATH), 0u);
    EXPECT_EQ(sent, (std::vector<std::string>{std::string("open \"") + szShort +
                                                  "\" type sequencer alias music3",
                                              "play music3 from 0 notify"}));
    EXPECT_GT(ThreadCount(), nThreads); // the player's own
    // Half a second of music, then the end reaches the window as success and
    // the state machine moves on to the next track.
    PumpUntil([] { return !notified.empty(); }, 20000);
    ASSERT_EQ(notified, (std::vector<unsigned>{MCI_NOTIFY_SUCCESSFUL}));
    EXPECT_EQ(nMIDIIndex, 1);
    EXPECT_EQ(sent.size(), 6u);
    EXPECT_EQ(sent[2], "stop music3");
    EXPECT_EQ(sent[3], "close music3");
    EXPECT_EQ(sent[5], "play music4 from 0 notify");
    EXPECT_EQ(MIDIIsPlaying(), 1);

    // A stop: the play's notification is aborted, and the thread is gone.
    MIDIStop();
    PumpUntil([] { return notified.size() > 1; }, 5000);
    EXPECT_EQ(notified, (std::vector<unsigned>{MCI_NOTIFY_SUCCESSFUL, MCI_NOTIFY_ABORTED}));
    int nAfter = ThreadCount();
    for (DWORD dwStart = GetTickCount(); nAfter > nThreads && GetTickCount() - dwStart < 5000;) {
        Sleep(20);
        nAfter = ThreadCount();
    }
    EXPECT_EQ(nAfter, nThreads);
    EXPECT_TRUE(boxes.empty()) << boxes[0].first;
}

// A track's end that reaches the window after the next track was started
// (a level's next track) is the old play's: it skips nothing.
TEST_F(SynthWin, AnEndToldAfterANewStartSkipsNothing) {
    WriteTestFile(szDir + "one.mid", ShortTune());
    WriteTestFile(szDir + "two.mid", ShortTune());
    ASSERT_EQ(MIDIFindFilesIn(hwnd, szDir.c_str()), 2);
    ASSERT_EQ(MIDIStartTrack(hwnd, 0), 1);
    MSG msg;
    for (DWORD dwStart = GetTickCount(); GetTickCount() - dwStart < 20000;) {
        if (PeekMessageA(&msg, hwnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_NOREMOVE)) break;
        Sleep(10);
    }
    ASSERT_TRUE(PeekMessageA(&msg, hwnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_NOREMOVE));
    MIDINext(hwnd);
    sent.clear();
    PumpUntil([] { return !notified.empty(); }, 5000);
    EXPECT_EQ(notified, (std::vector<unsigned>{MCI_NOTIFY_SUCCESSFUL}));
    EXPECT_EQ(nMIDIIndex, 1);
    EXPECT_TRUE(sent.empty()) << sent[0];
    EXPECT_EQ(MIDIIsPlaying(), 1);
}

TEST_F(SynthWin, ABrokenFileIsRefusedWithTheWarningOnceAndNeverPlayed) {
    std::string szCut = ShortTune();
    szCut[21] = 20; // the track claims less than its events: the last one is cut
    WriteTestFile(szDir + "cut.mid", szCut);
    WriteTestFile(szDir + "text.mid", "this is not music");
    ASSERT_EQ(MIDIFindFilesIn(hwnd, szDir.c_str()), 2);

    EXPECT_EQ(MIDIStartTrack(hwnd, 0), 1);
    for (int i = 0; i < 3; i++) MIDINext(hwnd);
    ASSERT_EQ(boxes.size(), 1u);
    char szText[MIDI_ERROR_LEN];
    ASSERT_TRUE(mciGetErrorStringA(MCIERR_INVALID_FILE, szText, sizeof szText));
    EXPECT_EQ(boxes[0].first, szText);
    EXPECT_EQ(boxes[0].second.substr(0, 6), "open \"");
    // Only the opens were sent: nothing opened, so nothing played or closed.
    EXPECT_EQ(sent.size(), 4u);
    for (const std::string& c : sent) EXPECT_EQ(c.substr(0, 5), "open ");
    PumpUntil([] { return false; }, 200);
    EXPECT_TRUE(notified.empty());
}

} // namespace
