// What the options dialog shows at opening and what its OK changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/midi.h"
#include "engine/game.h"
#include "prefs/prefs.h"
#include "scores/options.h"
#include "tests/native/recording_host.h"

namespace {

std::vector<std::string> actions; // what OK asked of the platform, in order
std::vector<std::string> commands;
Prefs prefsAtSave;

const OptionsActions kActions = {
    .AttachMenu =
        [](int bOn) {
            actions.push_back(bOn ? "AttachMenu" : "DetachMenu");
            return 1;
        },
    .SavePrefs =
        [] {
            actions.push_back("SavePrefs");
            prefsAtSave = prefs;
            return 1;
        },
    .RepaintMain =
        [] {
            actions.push_back("RepaintMain");
            return 1;
        },
};

const MIDIDevice kDevice = {
    .SendString = [](const char* sz, HostWindow) -> uint32_t {
        commands.push_back(sz);
        return 0;
    },
    .ErrorText = [](uint32_t, char* sz, int) { return sz[0] = '\0', 1; },
    .WarningBox = [](const char*, const char*) { return 1; },
    .FileExists = [](const char*) { return 1; },
    .ShortPath = [](const char*, char*, int) { return 0; },
    .Trace = nullptr,
    .NoticeId = nullptr,
};

class Options : public ::testing::Test {
  protected:
    RecordingHost host;
    void SetUp() override {
        ResetEngineForTest(host);
        MIDIReset();
        MIDIDeviceInstall(&kDevice);
        MIDIListBegin("C:\\q\\");
        for (const char* sz : {"a.mid", "b.mid", "c.mid", "d.mid", "e.mid"}) MIDIListAdd(sz);
        actions.clear();
        commands.clear();
    }
    void TearDown() override {
        MIDIDeviceInstall(nullptr);
        MIDIReset();
    }
    // The choice OK finds when nothing was touched.
    static OptionsChoice Unchanged() {
        return OptionsChoice{101 + prefs.nSpeed, prefs.bSound,   prefs.bMusic,
                             prefs.bContinuous,  prefs.bUseMenu, prefs.bPatterns};
    }
};

TEST_F(Options, TheViewGreysWhatTheMachineCannotDoAndTicksTheRest) {
    prefs = Prefs{2, 1, 1, 1, 0, 1, "", 0, 0, 0};
    struct {
        int bMidi, nFiles, bWave;
        OptionsBox sound, music;
    } const kCases[] = {
        {1, 5, 1, {1, 1}, {1, 1}},
        {0, 5, 1, {1, 1}, {0, 0}}, // no MIDI device
        {1, 0, 1, {1, 1}, {0, 0}}, // no music file
        {1, 5, 0, {0, 0}, {1, 1}}, // no wave device
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.bMidi << c.nFiles << c.bWave);
        nMIDIFiles = c.nFiles;
        OptionsView v = OptionsViewFor(c.bMidi, c.bWave);
        EXPECT_EQ(v.nSpeedRadio, 103);
        EXPECT_EQ(v.sound.bEnabled, c.sound.bEnabled);
        EXPECT_EQ(v.sound.bChecked, c.sound.bChecked);
        EXPECT_EQ(v.music.bEnabled, c.music.bEnabled);
        EXPECT_EQ(v.music.bChecked, c.music.bChecked);
        EXPECT_EQ(v.continuous.bEnabled, c.music.bEnabled);
        EXPECT_EQ(v.continuous.bChecked, c.music.bChecked);
        EXPECT_EQ(v.useMenu.bChecked, 0);
        EXPECT_EQ(v.patterns.bChecked, 1);
    }
}

TEST_F(Options, OkStoresEveryChoiceSavesThemAndDerivesTheFallStep) {
    prefs = Prefs{1, 1, 0, 0, 1, 1, "Ann", 0, 0, 0};
    OptionsOpening opening = OptionsRemember();
    OptionsChoice choice{104, 0, 0, 1, 1, 1};
    EXPECT_EQ(OptionsApply(choice, opening, kActions), 1);
    EXPECT_EQ(actions, (std::vector<std::string>{"SavePrefs"}));
    EXPECT_EQ(prefsAtSave.nSpeed, 3); // the file gets the new values
    EXPECT_EQ(prefsAtSave.bSound, 0);
    EXPECT_EQ(prefsAtSave.bContinuous, 1);
    EXPECT_STREQ(prefsAtSave.szLastPlayer, "Ann");
    EXPECT_EQ(game.nFallStep, 6);
    EXPECT_TRUE(commands.empty());
}

TEST_F(Options, OnlyAChangedMenuOrPatternsSettingReachesTheWindow) {
    struct {
        int bMenuWas, bMenuNow, bPatWas, bPatNow;
        std::vector<std::string> actions;
    } const kCases[] = {
        {1, 0, 1, 1, {"DetachMenu", "SavePrefs"}},
        {0, 1, 1, 1, {"AttachMenu", "SavePrefs"}},
        {1, 1, 1, 0, {"SavePrefs", "RepaintMain"}},
        {0, 0, 0, 1, {"SavePrefs", "RepaintMain"}},
        {2, 1, 1, 1, {"SavePrefs"}}, // any non-zero value read from the file is on
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.bMenuWas << c.bMenuNow << c.bPatWas << c.bPatNow);
        prefs.bUseMenu = c.bMenuWas;
        prefs.bPatterns = c.bPatWas;
        OptionsOpening opening = OptionsRemember();
        OptionsChoice choice = Unchanged();
        choice.bUseMenu = c.bMenuNow;
        choice.bPatterns = c.bPatNow;
        actions.clear();
        OptionsApply(choice, opening, kActions);
        EXPECT_EQ(actions, c.actions);
        EXPECT_EQ(prefs.bUseMenu, c.bMenuNow);
    }
}

TEST_F(Options, MusicSwitchedOnStartsARandomTrackFromAFreshSeed) {
    prefs.bMusic = 0;
    OptionsOpening opening = OptionsRemember();
    OptionsChoice choice = Unchanged();
    choice.bMusic = 1;
    host.nTime = 777;
    srand(1); // whatever the sequence was, the dialog seeds it from the clock
    OptionsApply(choice, opening, kActions);
    srand(777);
    int nExpected = rand() % 5;
    EXPECT_EQ(nMIDIIndex, nExpected);
    ASSERT_EQ(commands.size(), 2u);
    std::string szOpen = std::string("open \"C:\\q\\") + aMIDIFile[nExpected] + "\"";
    EXPECT_EQ(commands[0].substr(0, szOpen.size()), szOpen);
    EXPECT_EQ(MIDIIsPlaying(), 1);
}

TEST_F(Options, MusicSwitchedOffStopsItAndUnchangedLeavesTheTrackAlone) {
    prefs.bMusic = 1;
    MIDIStartTrack(nullptr, 2);
    commands.clear();
    OptionsOpening opening = OptionsRemember();
    OptionsApply(Unchanged(), opening, kActions);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(MIDIIsPlaying(), 1);

    OptionsChoice choice = Unchanged();
    choice.bMusic = 0; // also what a greyed box gives
    choice.bContinuous = 0;
    OptionsApply(choice, opening, kActions);
    EXPECT_EQ(commands, (std::vector<std::string>{"stop music2", "close music2"}));
    EXPECT_EQ(prefs.bMusic, 0);
    EXPECT_EQ(prefs.bContinuous, 0);
}

TEST_F(Options, MusicOnWithAnEmptyListStartsNothing) {
    MIDIListBegin("C:\\q\\");
    prefs.bMusic = 0;
    OptionsOpening opening = OptionsRemember();
    OptionsChoice choice = Unchanged();
    choice.bMusic = 1;
    EXPECT_EQ(OptionsApply(choice, opening, kActions), 1);
    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(prefs.bMusic, 1);
}

} // namespace
