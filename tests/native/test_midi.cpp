// The music's state machine on a fake device that records every command.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "audio/midi.h"
#include "prefs/prefs.h"

namespace {

struct FakeDevice {
    std::vector<std::string> commands;
    std::vector<HostWindow> notifyWindows;
    std::vector<std::pair<std::string, std::string>> boxes; // text, title
    std::vector<std::string> trace;
    std::set<std::string> missing;                  // paths that do not exist
    std::map<std::string, uint32_t> errorByVerb;    // "open" -> code
    std::function<void(const std::string&)> onSend; // runs inside SendString
    std::function<void()> onBox;                    // runs inside WarningBox
    bool bNoShortNames = false;                     // a volume that makes none: the long path stays
};
FakeDevice* pFake;

std::string Verb(const std::string& sz) {
    return sz.substr(0, sz.find(' '));
}

const MIDIDevice kFakeDevice = {
    .SendString = [](const char* szCommand, HostWindow hwnd) -> uint32_t {
        pFake->commands.push_back(szCommand);
        pFake->notifyWindows.push_back(hwnd);
        if (pFake->onSend) pFake->onSend(szCommand);
        auto it = pFake->errorByVerb.find(Verb(szCommand));
        return it == pFake->errorByVerb.end() ? 0 : it->second;
    },
    .ErrorText =
        [](uint32_t nError, char* szText, int cchText) {
            snprintf(szText, (size_t)cchText, "error %u", (unsigned)nError);
            return 1;
        },
    .WarningBox =
        [](const char* szText, const char* szTitle) {
            pFake->boxes.emplace_back(szText, szTitle);
            if (pFake->onBox) pFake->onBox();
            return 1;
        },
    .FileExists = [](const char* szPath) { return pFake->missing.count(szPath) ? 0 : 1; },
    .ShortPath =
        [](const char* szPath, char* szShort, int cchShort) {
            if (pFake->bNoShortNames) return 0;
            // A recognisable short form: the directory becomes "S:\".
            const char* pName = strrchr(szPath, '\\');
            snprintf(szShort, (size_t)cchShort, "S:\\%s", pName ? pName + 1 : szPath);
            return 1;
        },
    .Trace = [](const char* szLine) { pFake->trace.push_back(szLine); },
    .NoticeId = nullptr,
};

HostWindow const kMain = (HostWindow)0x1234;

class Midi : public ::testing::Test {
  protected:
    FakeDevice fake;
    void SetUp() override {
        pFake = &fake;
        MIDIReset();
        MIDIDeviceInstall(&kFakeDevice);
        PrefsSetDefaults();
        prefs.bMusic = 1;
    }
    void TearDown() override {
        MIDIDeviceInstall(nullptr);
        MIDIReset();
    }
    void List(std::initializer_list<const char*> names) {
        MIDIListBegin("C:\\Game Dir\\");
        for (const char* sz : names) MIDIListAdd(sz);
    }
    // The tracks opened so far, by file name.
    std::vector<std::string> Opened() const {
        std::vector<std::string> out;
        for (const auto& c : fake.commands)
            if (Verb(c) == "open") {
                size_t b = c.find("S:\\") + 3;
                out.push_back(c.substr(b, c.find('"', b) - b));
            }
        return out;
    }
};

TEST_F(Midi, StartOpensPlaysUnderANewAliasAndStopClosesIt) {
    List({"one.mid", "two.mid"});
    EXPECT_EQ(MIDIStart(kMain, 1), 1);
    EXPECT_EQ(MIDIIsPlaying(), 1);
    EXPECT_EQ(MIDIStop(), 1);
    EXPECT_EQ(MIDIIsPlaying(), 0);
    EXPECT_EQ(fake.commands, (std::vector<std::string>{
                                 "open \"S:\\two.mid\" type sequencer alias music2",
                                 "play music2 from 0 notify", "stop music2", "close music2"}));
    // The open and the play tell the main window; the stop and close tell no one.
    EXPECT_EQ(fake.notifyWindows, (std::vector<HostWindow>{kMain, kMain, nullptr, nullptr}));
    EXPECT_EQ(MIDIStop(), 0); // nothing left to stop
    EXPECT_EQ(fake.commands.size(), 4u);
    EXPECT_TRUE(fake.boxes.empty());
}

// Where the volume makes no short names the path keeps its blanks: in quotes
// it is still one word of the command.
TEST_F(Midi, APathWithBlanksIsQuotedInTheOpen) {
    fake.bNoShortNames = true;
    List({"a.mid"});
    MIDIStart(kMain, 0);
    ASSERT_FALSE(fake.commands.empty());
    EXPECT_EQ(fake.commands[0], "open \"C:\\Game Dir\\a.mid\" type sequencer alias music2");
}

TEST_F(Midi, NextPlaysTheListInACircleWithAFreshAliasEachTime) {
    List({"a.mid", "b.mid", "c.mid"});
    nMIDIIndex = 1;
    MIDIStart(kMain, 1);
    for (int i = 0; i < 4; i++) EXPECT_EQ(MIDINext(kMain), 1);
    EXPECT_EQ(Opened(), (std::vector<std::string>{"b.mid", "c.mid", "a.mid", "b.mid", "c.mid"}));
    EXPECT_EQ(nMIDIIndex, 2);
    EXPECT_STREQ(szMIDIAlias, "music6");
    // Each next stops the old alias before it opens the new one.
    EXPECT_EQ(fake.commands[2], "stop music2");
    EXPECT_EQ(fake.commands[3], "close music2");
    EXPECT_EQ(fake.commands[4], "open \"S:\\c.mid\" type sequencer alias music3");
}

TEST_F(Midi, StartDoesNothingWhenMusicIsOffPlayingOrTheIndexIsOutside) {
    List({"a.mid", "b.mid"});
    prefs.bMusic = 0;
    EXPECT_EQ(MIDIStart(kMain, 0), 0);
    prefs.bMusic = 1;
    EXPECT_EQ(MIDIStart(kMain, 2), 0);
    EXPECT_EQ(MIDIStart(kMain, -1), 0);
    EXPECT_TRUE(fake.commands.empty());
    EXPECT_EQ(nMIDIAliasCount, 1);

    ASSERT_EQ(MIDIStart(kMain, 0), 1);
    fake.commands.clear();
    EXPECT_EQ(MIDIStart(kMain, 1), 0); // the playing track is left alone
    EXPECT_TRUE(fake.commands.empty());
    EXPECT_EQ(fake.trace.back(), "MIDIStart called while still bPlaying");
}

TEST_F(Midi, ATrackThatEndedStartsTheNextOneAndOtherOutcomesStaySilent) {
    List({"a.mid", "b.mid"});
    MIDIStart(kMain, 0);
    struct {
        uint32_t nFlags;
        const char* szTrace;
    } const kSilent[] = {{MIDI_NOTIFY_ABORTED, "MCI_NOTIFY_ABORTED"},
                         {MIDI_NOTIFY_SUPERSEDED, "MCI_NOTIFY_SUPERSEDED"},
                         {3, nullptr}};
    for (const auto& c : kSilent) {
        fake.commands.clear();
        fake.trace.clear();
        MIDINotify(kMain, c.nFlags);
        EXPECT_TRUE(fake.commands.empty()) << c.nFlags;
        if (c.szTrace)
            EXPECT_EQ(fake.trace, (std::vector<std::string>{c.szTrace}));
        else
            EXPECT_TRUE(fake.trace.empty());
    }
    EXPECT_EQ(MIDINotify(kMain, MIDI_NOTIFY_SUCCESSFUL), 1);
    EXPECT_EQ(Opened(), (std::vector<std::string>{"b.mid"}));
    EXPECT_EQ(fake.trace.front(), "MCI_NOTIFY_SUCCESSFUL");
    EXPECT_EQ(MIDIIsPlaying(), 1);

    // With one file the track repeats: index 0 stays 0.
    List({"only.mid"});
    nMIDIIndex = 0;
    MIDIStop();
    MIDIStart(kMain, 0);
    MIDINotify(kMain, MIDI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(nMIDIIndex, 0);
    EXPECT_EQ(Opened(), (std::vector<std::string>{"b.mid", "only.mid", "only.mid"}));
}

// Each notification carries the play it ends: only the current play's is
// taken. A failure closes the track and leaves the music silent.
TEST_F(Midi, OnlyTheCurrentPlaysNotificationIsTakenAndAFailureStops) {
    MIDIDevice counted = kFakeDevice; // the play's number is its alias's
    counted.NoticeId = [](const char* szAlias) { return (uint32_t)atoi(szAlias + 5); };
    MIDIDeviceInstall(&counted);
    List({"a.mid", "b.mid", "c.mid"});
    MIDIStartTrack(kMain, 0); // music2
    MIDINext(kMain);          // music3; the end of music2 is still on its way
    struct {
        uint32_t nFlags, nFrom;
        int nTaken, nIndex, bPlaying;
        const char* szLast; // the last command sent
    } const aCase[] = {
        {MIDI_NOTIFY_SUCCESSFUL, 2, 0, 1, 1, "play music3 from 0 notify"},
        {MIDI_NOTIFY_FAILURE, 2, 0, 1, 1, "play music3 from 0 notify"},
        {MIDI_NOTIFY_SUCCESSFUL, 3, 1, 2, 1, "play music4 from 0 notify"},
        {MIDI_NOTIFY_FAILURE, 4, 1, 2, 0, "close music4"},
        {MIDI_NOTIFY_SUCCESSFUL, 4, 0, 2, 0, "close music4"}, // nothing open
    };
    for (const auto& c : aCase) {
        SCOPED_TRACE(testing::Message() << c.nFlags << " from " << c.nFrom);
        EXPECT_EQ(MIDINotifyFrom(kMain, c.nFlags, c.nFrom), c.nTaken);
        EXPECT_EQ(nMIDIIndex, c.nIndex);
        EXPECT_EQ(MIDIIsPlaying(), c.bPlaying);
        EXPECT_EQ(fake.commands.back(), c.szLast);
    }
    // Silent after the failure until the next event, here a restore.
    MIDIWindowRestored(kMain);
    EXPECT_EQ(Opened().back(), "a.mid");
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(Midi, TheEndOfAStoppedTrackStartsNothing) {
    // A warning box inside the stop runs a nested message loop, which may
    // deliver the end-of-play notification of the track being stopped.
    List({"a.mid", "b.mid"});
    MIDIStart(kMain, 0);
    int nHandled = -1;
    fake.onSend = [&](const std::string& c) {
        if (Verb(c) == "stop") nHandled = MIDINotify(kMain, MIDI_NOTIFY_SUCCESSFUL);
    };
    MIDIStop();
    EXPECT_EQ(nHandled, 0);
    EXPECT_EQ(Opened().size(), 1u);
    EXPECT_EQ(MIDIIsPlaying(), 0);

    // Nor does one that was already queued when the game was minimized:
    // minimized, the game stays silent until it is restored.
    fake.onSend = nullptr;
    MIDIStart(kMain, 0);
    MIDIWindowMinimized();
    EXPECT_EQ(MIDINotify(kMain, MIDI_NOTIFY_SUCCESSFUL), 1);
    EXPECT_EQ(Opened().size(), 2u);
    EXPECT_EQ(MIDIIsPlaying(), 0);
}

TEST_F(Midi, NoFilesMeansEveryStartReturnsAtOnce) {
    List({});
    EXPECT_EQ(MIDIStart(kMain, 0), 0);
    EXPECT_EQ(MIDINext(kMain), 0);
    EXPECT_EQ(MIDINotify(kMain, MIDI_NOTIFY_SUCCESSFUL), 1);
    EXPECT_TRUE(fake.commands.empty());
    EXPECT_EQ(MIDIAvailable(1), 0);
}

TEST_F(Midi, AFileThatDisappearedLeavesTheMusicSilent) {
    List({"a.mid", "gone.mid"});
    fake.missing.insert("C:\\Game Dir\\gone.mid");
    MIDIStart(kMain, 0);
    EXPECT_EQ(MIDINext(kMain), 0);
    EXPECT_EQ(fake.trace.back(), "MIDIStart failed");
    EXPECT_EQ(MIDIIsPlaying(), 0);
    EXPECT_EQ(nMIDIAliasCount, 2); // no alias spent on the missing file
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(Midi, TheListKeepsTheListingOrderAndAtMost25NamesThatFit) {
    MIDIListBegin("D:\\q\\");
    std::string szLong(32, 'x');
    EXPECT_EQ(MIDIListAdd(szLong.c_str()), 0); // 32 characters do not fit a slot
    EXPECT_EQ(MIDIListAdd(std::string(31, 'y').c_str()), 1);
    for (int i = 0; i < 30; i++) {
        char szName[16];
        snprintf(szName, sizeof szName, "t%d.mid", i);
        MIDIListAdd(szName);
    }
    EXPECT_EQ(nMIDIFiles, 25);
    EXPECT_EQ(std::string(aMIDIFile[0]), std::string(31, 'y'));
    EXPECT_STREQ(aMIDIFile[1], "t0.mid");
    EXPECT_STREQ(aMIDIFile[24], "t23.mid");
    EXPECT_STREQ(szMIDIDir, "D:\\q\\");
    // A new search starts an empty list.
    MIDIListBegin("D:\\q\\");
    EXPECT_EQ(nMIDIFiles, 0);
}

TEST_F(Midi, MinimizeStopsAndRestoreStartsTheNextTrack) {
    List({"a.mid", "b.mid", "c.mid"});
    MIDIStartTrack(kMain, 0);
    MIDIWindowMinimized();
    EXPECT_EQ(MIDIIsPlaying(), 0);
    MIDIWindowRestored(kMain);
    EXPECT_EQ(Opened(), (std::vector<std::string>{"a.mid", "b.mid"}));
    // Restored while playing (a restore after a maximize): nothing changes.
    MIDIWindowRestored(kMain);
    // Restored with music off: nothing starts.
    MIDIWindowMinimized();
    prefs.bMusic = 0;
    MIDIWindowRestored(kMain);
    EXPECT_EQ(Opened().size(), 2u);
    EXPECT_EQ(MIDIIsPlaying(), 0);
}

TEST_F(Midi, TheMusicCommandStopsOrStartsTheTrackAfterTheCurrentOne) {
    List({"a.mid", "b.mid", "c.mid"});
    MIDIStartTrack(kMain, 2);
    EXPECT_EQ(nMIDIIndex, 2);
    MIDIToggleMusic(kMain);
    EXPECT_EQ(prefs.bMusic, 0);
    EXPECT_EQ(MIDIIsPlaying(), 0);
    MIDIToggleMusic(kMain);
    EXPECT_EQ(prefs.bMusic, 1);
    EXPECT_EQ(Opened(), (std::vector<std::string>{"c.mid", "a.mid"}));
}

TEST_F(Midi, WithoutASequencerOneWarningSaysSoAndTheLevelsAfterStayQuiet) {
    List({"a.mid", "b.mid"});
    fake.errorByVerb["open"] = 263;
    EXPECT_EQ(MIDIStart(kMain, 0), 1);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].first, "error 263");
    EXPECT_EQ(fake.boxes[0].second, "open \"S:\\a.mid\" type sequencer alias music2");
    EXPECT_EQ(MIDIIsPlaying(), 1); // the state still says playing
    // Nothing was opened, so nothing is played, stopped or closed.
    EXPECT_EQ(fake.commands.size(), 1u);
    for (int nLevel = 0; nLevel < 5; nLevel++) MIDINext(kMain);
    MIDIWindowMinimized();
    MIDIWindowRestored(kMain);
    EXPECT_EQ(fake.boxes.size(), 1u);
    for (const auto& c : fake.commands) EXPECT_EQ(Verb(c), "open");
    // Each repeat is still traced.
    EXPECT_NE(std::find(fake.trace.begin(), fake.trace.end(), "error 263"), fake.trace.end());

    // A different failure is news and is shown.
    fake.errorByVerb.clear();
    fake.errorByVerb["play"] = 275;
    MIDINext(kMain);
    ASSERT_EQ(fake.boxes.size(), 2u);
    EXPECT_EQ(fake.boxes[1].second, "play music9 from 0 notify");
    // That device was opened, so it is stopped and closed.
    MIDIStop();
    EXPECT_EQ(fake.commands.back(), "close music9");
}

// A failed open shows its warning box, whose modal loop may hand out a
// message that asks for the next track. Whatever the device opened, a stop
// later stops and closes, and the music goes on normally afterwards.
TEST_F(Midi, AStartFromInsideAFailedOpensWarningBoxLeavesNoTrackOpen) {
    const std::function<void()> aNested[] = {
        [] { MIDINotify(kMain, MIDI_NOTIFY_SUCCESSFUL); },
        [] { MIDIWindowRestored(kMain); },
    };
    for (const auto& fnNested : aNested) {
        fake = FakeDevice{};
        MIDIReset();
        List({"a.mid", "b.mid", "c.mid"});
        fake.errorByVerb["open"] = 263;
        fake.onBox = [&] {
            fake.onBox = nullptr;
            fake.errorByVerb.clear(); // from now on the device opens
            fnNested();
        };
        EXPECT_EQ(MIDIStartTrack(kMain, 0), 1);
        MIDIStop();
        EXPECT_EQ(MIDINext(kMain), 1);
        MIDIStop();
        EXPECT_EQ(MIDIIsPlaying(), 0);

        // Every alias opened after the failed first one is closed again.
        std::multiset<std::string> opened, closed;
        for (size_t i = 1; i < fake.commands.size(); i++) {
            const std::string& c = fake.commands[i];
            if (Verb(c) == "open") opened.insert(c.substr(c.rfind(' ') + 1));
            if (Verb(c) == "close") closed.insert(c.substr(6));
        }
        EXPECT_FALSE(opened.empty());
        EXPECT_EQ(opened, closed);
    }
}

// A failed stop or close shows its warning box, whose modal loop may handle a
// minimize (and a restore). The nested stop is refused, so no command is sent
// twice, there is one box, and no track is left open beside the next one.
TEST_F(Midi, AStopFromInsideItsOwnWarningBoxIsRefused) {
    struct Case {
        const char* szFailing;
        bool bRestoreToo;
    } const kCases[] = {{"stop", false}, {"close", false}, {"stop", true}, {"close", true}};
    for (const Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.szFailing << (c.bRestoreToo ? " and restore" : ""));
        fake = FakeDevice{};
        MIDIReset();
        List({"a.mid", "b.mid", "c.mid"});
        EXPECT_EQ(MIDIStartTrack(kMain, 0), 1);
        fake.errorByVerb[c.szFailing] = 263;
        fake.onBox = [&] {
            fake.onBox = nullptr;
            MIDIWindowMinimized();
            if (c.bRestoreToo) MIDIWindowRestored(kMain);
        };
        EXPECT_EQ(MIDIStop(), 1);
        EXPECT_EQ(MIDIIsPlaying(), 0);
        EXPECT_EQ(fake.boxes.size(), 1u);
        fake.errorByVerb.clear();
        EXPECT_EQ(MIDINext(kMain), 1); // the music goes on normally
        MIDIStop();

        std::multiset<std::string> opened, closed;
        for (const std::string& cmd : fake.commands) {
            if (Verb(cmd) == "open") opened.insert(cmd.substr(cmd.rfind(' ') + 1));
            if (Verb(cmd) == "close") closed.insert(cmd.substr(6));
        }
        EXPECT_EQ(opened.size(), 2u);
        EXPECT_EQ(opened, closed);
    }
}

// The device: the player's choice, else the built-in synthesizer under Wine
// or without a MIDI output; a change moves the playing track to the new one.
TEST_F(Midi, TheDeviceIsChosenAndAChangeMovesThePlayingTrack) {
    const int kAuto = MIDI_DEVICE_AUTO, kBuiltIn = MIDI_DEVICE_BUILTIN,
              kSystem = MIDI_DEVICE_SYSTEM;
    const int aCase[][4] = {
        // choice, under Wine, MIDI outputs, device
        {kAuto, 1, 3, kBuiltIn},    {kAuto, 0, 0, kBuiltIn},   {kAuto, 0, 2, kSystem},
        {kSystem, 1, 1, kSystem},   {kSystem, 0, 0, kBuiltIn}, {kSystem, 1, 0, kBuiltIn},
        {kBuiltIn, 0, 2, kBuiltIn}, {7, 0, 1, kSystem},        {-1, 1, 1, kBuiltIn}};
    for (const auto& c : aCase)
        EXPECT_EQ(MIDIDeviceChoose(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[1] << " " << c[2];

    MIDIDevice other = kFakeDevice;
    other.SendString = [](const char* szCommand, HostWindow) -> uint32_t {
        pFake->commands.push_back(std::string("new: ") + szCommand);
        return 0;
    };
    List({"a.mid", "b.mid"});
    EXPECT_EQ(MIDIDeviceSwitch(kMain, &kFakeDevice), 0); // the same device
    MIDIStartTrack(kMain, 1);
    EXPECT_EQ(MIDIDeviceSwitch(kMain, &other), 1);
    EXPECT_EQ(pMIDIDevice, &other);
    EXPECT_EQ(fake.commands,
              (std::vector<std::string>{"open \"S:\\b.mid\" type sequencer alias music2",
                                        "play music2 from 0 notify", "stop music2", "close music2",
                                        "new: open \"S:\\b.mid\" type sequencer alias music3",
                                        "new: play music3 from 0 notify"}));
    // Silent, a change only installs the device.
    MIDIStop();
    fake.commands.clear();
    EXPECT_EQ(MIDIDeviceSwitch(kMain, &kFakeDevice), 1);
    EXPECT_EQ(pMIDIDevice, &kFakeDevice);
    EXPECT_TRUE(fake.commands.empty());
    EXPECT_EQ(MIDIIsPlaying(), 0);
}

} // namespace
