// The music on the real platform: the file search through the hidden list
// box, and the command path when no sequencer answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "audio/midi.h"
#include "prefs/prefs.h"
#include "tests/win32/support/music_test.h"

namespace {

std::vector<std::pair<std::string, std::string>> boxes; // text, title
std::vector<std::string> sent;
MIDIDevice recordingDevice;

std::string Lower(std::string sz) {
    for (char& c : sz) c = (char)tolower((unsigned char)c);
    return sz;
}

// A standard MIDI file of one track with one short note.
std::string TinyMidi() {
    const unsigned char kBytes[] = {
        'M', 'T',  'h',  'd', 0, 0, 0, 6,  0, 0,    0,  1,  0,  96,          // header
        'M', 'T',  'r',  'k', 0, 0, 0, 12, 0, 0x90, 60, 64, 48, 0x80, 60, 0, // note on/off
        0,   0xFF, 0x2F, 0,                                                  // end of track
    };
    return std::string((const char*)kBytes, sizeof kBytes);
}

class MidiWin : public ::testing::Test {
  protected:
    std::string szDir; // ends in a backslash
    void SetUp() override {
        const auto* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
        szDir = std::string(QUARRION_TESTWORK_DIR_W) + "\\midi-" + pInfo->name() + "-" +
                std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(szDir.c_str(), NULL);
        MIDIReset();
        boxes.clear();
        sent.clear();
        // The platform's device with the warning box (and the sending) recorded.
        recordingDevice = *MIDIDeviceWin32();
        recordingDevice.WarningBox = [](const char* szText, const char* szTitle) {
            boxes.emplace_back(szText, szTitle);
            return 1;
        };
        static uint32_t (*pfnSend)(const char*, HostWindow);
        pfnSend = MIDIDeviceWin32()->SendString;
        recordingDevice.SendString = [](const char* szCommand, HostWindow hwnd) {
            sent.push_back(szCommand);
            return pfnSend(szCommand, hwnd);
        };
        MIDIDeviceInstall(&recordingDevice);
        PrefsSetDefaults();
    }
    void TearDown() override {
        MIDIStop();
        MIDIDeviceInstall(nullptr);
        MIDIReset();
    }
    std::set<std::string> Found() const {
        std::set<std::string> out;
        for (int i = 0; i < nMIDIFiles; i++) out.insert(Lower(aMIDIFile[i]));
        return out;
    }
};

TEST_F(MidiWin, FindsOnlyTheMidiFilesOfTheDirectoryWhateverTheirCase) {
    for (const char* sz : {"alpha.mid", "Beta.MID", "gamma.Mid", "notes.txt", "delta.midi.txt"})
        WriteTestFile(szDir + sz, TinyMidi());
    CreateDirectoryA((szDir + "folder.mid").c_str(), NULL);
    // 32 characters do not fit a slot: skipped rather than cut.
    WriteTestFile(szDir + "a_name_far_too_long_for_a_slot.mid", TinyMidi());

    char szCurBefore[MAX_PATH], szCurAfter[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szCurBefore);
    EXPECT_EQ(MIDIFindFilesIn(nullptr, szDir.c_str()), 3);
    GetCurrentDirectoryA(MAX_PATH, szCurAfter);

    EXPECT_EQ(Found(), (std::set<std::string>{"alpha.mid", "beta.mid", "gamma.mid"}));
    EXPECT_STREQ(szMIDIDir, szDir.c_str());
    EXPECT_STREQ(szCurAfter, szCurBefore); // the search leaves the current directory alone
}

TEST_F(MidiWin, StopsAfterTwentyFiveFiles) {
    for (int i = 0; i < 30; i++) WriteTestFile(szDir + "tune" + std::to_string(i) + ".mid", "x");
    EXPECT_EQ(MIDIFindFilesIn(nullptr, szDir.c_str()), 25);
    EXPECT_EQ(Found().size(), 25u); // 25 different names
    for (int i = 0; i < nMIDIFiles; i++) {
        std::string sz = Lower(aMIDIFile[i]);
        EXPECT_EQ(sz.substr(0, 4), "tune") << sz;
        EXPECT_EQ(sz.substr(sz.size() - 4), ".mid") << sz;
    }
}

TEST_F(MidiWin, AnEmptyOrMissingDirectoryGivesNoFiles) {
    EXPECT_EQ(MIDIFindFilesIn(nullptr, szDir.c_str()), 0);
    EXPECT_EQ(MIDIFindFilesIn(nullptr, (szDir + "nowhere\\").c_str()), 0);
}

TEST_F(MidiWin, AFileTheSequencerRefusesIsReportedOnceAndGetsNoMoreCommands) {
    WriteTestFile(szDir + "one.mid", "this is not music");
    WriteTestFile(szDir + "two.mid", "nor is this");
    ASSERT_EQ(MIDIFindFilesIn(nullptr, szDir.c_str()), 2);
    prefs.bMusic = 1;

    EXPECT_EQ(MIDIStartTrack(nullptr, 0), 1);
    EXPECT_EQ(MIDIIsPlaying(), 1); // the state still says playing
    // The open names the file by its short path, beside the alias.
    char szShort[MAX_PATH];
    ASSERT_GT(GetShortPathNameA((szDir + aMIDIFile[0]).c_str(), szShort, MAX_PATH), 0u);
    std::string szOpen = std::string("open \"") + szShort + "\" type sequencer alias music2";
    ASSERT_EQ(sent, (std::vector<std::string>{szOpen}));
    // The box is titled with the failed command and shows the platform's text.
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].second, szOpen);
    // The platform's whole text, longer than the 99 characters once kept.
    char szText[1024];
    ASSERT_TRUE(
        mciGetErrorStringA(mciSendStringA(szOpen.c_str(), NULL, 0, NULL), szText, sizeof szText));
    EXPECT_GT(strlen(szText), 99u);
    EXPECT_EQ(boxes[0].first, szText);

    // Level after level, and a minimize and restore: only the opens are tried
    // again, and the same failure is not shown again.
    for (int nLevel = 0; nLevel < 4; nLevel++) MIDINext(nullptr);
    MIDIWindowMinimized();
    MIDIWindowRestored(nullptr);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(sent.size(), 6u);
    for (const auto& c : sent) EXPECT_EQ(c.substr(0, 6), "open \"");
    EXPECT_STREQ(szMIDIAlias, "music7");
}

// A game installed deep down: the tracks of a folder of more than 200
// characters are found and opened, and a folder is never taken for a file.
TEST_F(MidiWin, MusicInADeepFolderIsOpened) {
    std::string szDeep = szDir;
    while (szDeep.size() < 200) {
        szDeep += "a-folder-of-the-music-" + std::to_string(szDeep.size()) + "\\";
        ASSERT_TRUE(CreateDirectoryA(szDeep.c_str(), NULL) ||
                    GetLastError() == ERROR_ALREADY_EXISTS)
            << szDeep;
    }
    WriteTestFile(szDeep + "one.mid", TinyMidi());
    CreateDirectoryA((szDeep + "two.mid").c_str(), NULL);
    EXPECT_EQ(MIDIDeviceWin32()->FileExists((szDeep + "one.mid").c_str()), 1);
    EXPECT_EQ(MIDIDeviceWin32()->FileExists((szDeep + "two.mid").c_str()), 0);
    EXPECT_EQ(MIDIDeviceWin32()->FileExists((szDeep + "three.mid").c_str()), 0);

    ASSERT_EQ(MIDIFindFilesIn(nullptr, szDeep.c_str()), 1);
    prefs.bMusic = 1;
    EXPECT_EQ(MIDIStartTrack(nullptr, 0), 1);
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent[0].substr(0, 6), "open \"");
}

// Bytes put together for the header check: a header chunk, then chunks.
std::string Be32(uint32_t n) {
    return std::string{(char)(n >> 24), (char)(n >> 16), (char)(n >> 8), (char)n};
}
std::string Le32(uint32_t n) {
    return std::string{(char)n, (char)(n >> 8), (char)(n >> 16), (char)(n >> 24)};
}
std::string Header(uint32_t nLen, int nTracks) {
    return "MThd" + Be32(nLen) + std::string{0, 1, 0, (char)nTracks, 0, 96} +
           std::string(nLen > 6 && nLen < 64 ? nLen - 6 : 0, '\0');
}
std::string Rmid(const std::string& szSmf, uint32_t nDataLen) {
    std::string sz = "RMID" + std::string("data") + Le32(nDataLen) + szSmf;
    return "RIFF" + Le32((uint32_t)sz.size()) + sz;
}

// A file whose header or track claims more than the file holds never reaches
// the sequencer (Wine's reads it without end): it gets the warning of a file
// the sequencer refuses. What is no MIDI file at all is the sequencer's to judge.
TEST_F(MidiWin, AFileWhoseChunksDoNotFitIsRefusedBeforeTheSequencer) {
    const std::string szTrack = TinyMidi().substr(14); // "MTrk", 12, the events
    // A note cut short under a track that claims 0x7FFFFFFF bytes: 25 bytes.
    const std::string szHang =
        Header(6, 1) + "MTrk" + Be32(0x7FFFFFFF) + std::string{0, (char)0x90, 60};
    ASSERT_EQ(szHang.size(), 25u);
    const struct {
        const char* szWhat;
        std::string szBytes;
        int bFits;
    } aCase[] = {
        {"a whole file", TinyMidi(), 1},
        {"a longer header and a chunk of another kind",
         Header(10, 1) + "XFIH" + Be32(2) + "ab" + szTrack, 1},
        {"bytes after the last track", TinyMidi() + "junk", 1},
        {"not music", "this is not music", 1},
        {"a RIFF MIDI file", Rmid(TinyMidi(), (uint32_t)TinyMidi().size()), 1},
        {"the 25 bytes", szHang, 0},
        {"a track one byte too long", Header(6, 1) + "MTrk" + Be32(13) + szTrack.substr(8), 0},
        {"a header longer than the file", Header(6, 1).substr(0, 8) + Be32(400) + "abc", 0},
        {"a header cut short", Header(6, 1).substr(0, 11), 0},
        {"a header shorter than 6", "MThd" + Be32(4) + std::string{0, 1, 0, 1} + szTrack, 0},
        {"two tracks counted, one there", Header(6, 2) + szTrack, 0},
        {"a chunk header cut short", Header(6, 2) + szTrack + "MTr", 0},
        {"a RIFF data chunk past the end", Rmid(TinyMidi(), 4000), 0},
        {"a RIFF file with the hanging track", Rmid(szHang, (uint32_t)szHang.size()), 0},
        // Every event is walked, not only the chunks: a note missing its velocity.
        {"an event cut short inside its track",
         Header(6, 1) + "MTrk" + Be32(3) + std::string{0, (char)0x90, 60}, 0},
    };
    prefs.bMusic = 1;
    for (const auto& c : aCase) {
        SCOPED_TRACE(c.szWhat);
        WriteTestFile(szDir + "case.mid", c.szBytes);
        EXPECT_EQ(MIDIFileFits((szDir + "case.mid").c_str()), c.bFits);
        if (c.bFits) continue;
        // Through the state machine: the box, and the track counts as playing.
        MIDIReset();
        boxes.clear();
        sent.clear();
        ASSERT_EQ(MIDIFindFilesIn(nullptr, szDir.c_str()), 1);
        EXPECT_EQ(MIDIStartTrack(nullptr, 0), 1);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].second.substr(0, 6), "open \"");
        char szText[MIDI_ERROR_LEN];
        ASSERT_TRUE(mciGetErrorStringA(MCIERR_INVALID_FILE, szText, sizeof szText));
        EXPECT_EQ(boxes[0].first, szText);
        MIDIStop(); // nothing was opened: no stop or close
        EXPECT_EQ(sent.size(), 1u);
    }
    EXPECT_EQ(MIDIFileFits((szDir + "missing.mid").c_str()), 0);
}

// The folder comes as UTF-8: names no code page holds, and a folder past the
// path limit, are listed and opened; without a folder nothing is listed, not
// even with music in the current directory.
TEST_F(MidiWin, FoldersOfAnyNameAreListedAndOpenedAndNoFolderListsNothing) {
    std::wstring wsBase(szDir.begin(), szDir.end());
    std::wstring wsLong = wsBase + L"long";
    while (wsLong.size() < 270) wsLong += L"\\a-folder-deep-down";
    // The last as a volume without short names hands it over: blanks and all,
    // in the quotes of the open.
    const std::wstring aFolder[] = {wsBase + L"\x30b2\x30fc\x30e0 \x0418\x0433\x0440\x044b\\",
                                    wsLong + L"\\", wsBase + L"My Games\\Quarrion\\"};
    // What the sequencer makes of the same file in a plain folder: the
    // folders of any name must fare the same (with no sequencer, every open
    // fails alike; a path it could not take fails otherwise).
    WriteTestFile(szDir + "plain.mid", TinyMidi());
    char szShort[MAX_PATH];
    ASSERT_GT(GetShortPathNameA((szDir + "plain.mid").c_str(), szShort, MAX_PATH), 0u);
    MCIERROR nPlain =
        mciSendStringA((std::string("open \"") + szShort + "\" type sequencer alias plain").c_str(),
                       NULL, 0, NULL);
    if (nPlain == 0) mciSendStringA("close plain", NULL, 0, NULL);
    char szPlainText[MIDI_ERROR_LEN] = "";
    if (nPlain) mciGetErrorStringA(nPlain, szPlainText, sizeof szPlainText);
    for (const std::wstring& wsFolder : aFolder) {
        for (size_t n = wsBase.size(); n != std::wstring::npos; n = wsFolder.find(L'\\', n + 1))
            CreateDirectoryW(wsFolder.substr(0, n).c_str(), NULL);
        std::wstring wsFile = wsFolder + L"one.mid";
        if (wsFile.size() >= MAX_PATH) wsFile = L"\\\\?\\" + wsFile;
        HANDLE h = CreateFileW(wsFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        DWORD n = 0;
        WriteFile(h, TinyMidi().data(), (DWORD)TinyMidi().size(), &n, NULL);
        CloseHandle(h);
        char szUtf8[1024];
        ASSERT_GT(WideCharToMultiByte(CP_UTF8, 0, wsFolder.c_str(), -1, szUtf8, sizeof szUtf8, NULL,
                                      NULL),
                  0);

        MIDIReset();
        sent.clear();
        boxes.clear();
        if (&wsFolder == &aFolder[2])
            recordingDevice.ShortPath = [](const char*, char*, int) { return 0; };
        ASSERT_EQ(MIDIFindFilesIn(nullptr, szUtf8), 1) << wsFolder.size();
        EXPECT_EQ(Found(), (std::set<std::string>{"one.mid"}));
        prefs.bMusic = 1;
        EXPECT_EQ(MIDIStartTrack(nullptr, 0), 1);
        ASSERT_FALSE(sent.empty()) << "the file was not found";
        EXPECT_EQ(sent[0].substr(0, 6), "open \"");
        if (&wsFolder == &aFolder[2]) {
            EXPECT_EQ(sent[0],
                      "open \"" + std::string(szUtf8) + "one.mid\" type sequencer alias music2");
        }
        if (nPlain == 0) {
            EXPECT_TRUE(boxes.empty()) << boxes[0].first;
        } else {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].first, szPlainText);
        }
        MIDIStop();
    }

    char szCur[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, szCur);
    WriteTestFile(szDir + "theirs.mid", TinyMidi());
    SetCurrentDirectoryA(szDir.c_str());
    EXPECT_EQ(MIDIFindFilesIn(nullptr, ""), 0);
    SetCurrentDirectoryA(szCur);
}

// The notifications of the window they go to, in order.
std::vector<unsigned> notified;

// Wine's sequencer plays in silence without a MIDI device, and a play there
// never ends; what the platform shows everywhere is the notification that
// follows a stop.
TEST_F(MidiWin, TheAbortedPlayAfterAStopStartsNothing) {
    HWND hwnd = NotifyWindowCreate(
        &notified, [](HWND h, uint32_t n, uint32_t nFrom) { MIDINotifyFrom(h, n, nFrom); });
    ASSERT_TRUE(hwnd);
    WriteTestFile(szDir + "one.mid", TinyMidi());
    WriteTestFile(szDir + "two.mid", TinyMidi());
    ASSERT_EQ(MIDIFindFilesIn(hwnd, szDir.c_str()), 2);
    prefs.bMusic = 1;
    notified.clear();

    ASSERT_EQ(MIDIStartTrack(hwnd, 0), 1);
    if (!boxes.empty()) GTEST_SKIP() << "no sequencer: " << boxes[0].first;
    EXPECT_EQ(sent.size(), 2u); // open and play
    MIDIStop();
    PumpUntil([] { return !notified.empty(); }, 2000);
    ASSERT_EQ(notified, (std::vector<unsigned>{MCI_NOTIFY_ABORTED}));
    EXPECT_EQ(MIDIIsPlaying(), 0);
    EXPECT_EQ(nMIDIAliasCount, 2); // no new track was opened
    EXPECT_EQ(sent.back(), "close music2");
    EXPECT_TRUE(boxes.empty());
    DestroyWindow(hwnd);
}

} // namespace
