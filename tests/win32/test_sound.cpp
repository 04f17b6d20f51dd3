// The sound effects: which recording reaches the platform's player with which
// flags, what stays loaded, what the Sound preference silences, and a real
// playback through sndPlaySoundA on the test run's own (null) sound output;
// what it sounds like is heard in e2e_audio.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio/wav16.h"
#include "prefs/prefs.h"

namespace {

struct PlayCall {
    std::string sSound; // the whole image played, empty for a stop
    unsigned uFlags;
    int nResult;
    bool operator==(const PlayCall&) const = default;
};

std::vector<PlayCall> aCall;
SoundPlayerFn pfnForward; // when set, the recorder also really plays

int RecordPlay(const void* pSound, unsigned uFlags) {
    int nResult = pfnForward ? pfnForward(pSound, uFlags) : 1;
    const char* p = (const char*)pSound;
    uint32_t nSize = p ? 8 + *(const uint32_t*)(p + 4) : 0;
    aCall.push_back({std::string(p ? p : "", nSize), uFlags, nResult});
    return nResult;
}

// The resource of one effect in the test exe, as the game finds it.
HGLOBAL EffectRes(const char* szName) {
    HRSRC hInfo = FindResourceA(NULL, szName, "SOUND");
    return hInfo ? LoadResource(NULL, hInfo) : NULL;
}
const void* EffectData(const char* szName) {
    HGLOBAL hRes = EffectRes(szName);
    return hRes ? LockResource(hRes) : nullptr;
}
// What the player should get: the 8-bit resource made 16-bit.
std::string Image16(const char* szName) {
    HRSRC hInfo = FindResourceA(NULL, szName, "SOUND");
    size_t n = 0;
    uint8_t* p = WavTo16Bit((const uint8_t*)EffectData(szName), SizeofResource(NULL, hInfo), &n);
    std::string s((const char*)p, n);
    free(p);
    return s;
}

const PlayCall kStop = {"", 0, 1};

class Sound : public ::testing::Test {
  protected:
    void SetUp() override {
        pfnForward = nullptr;
        SoundSetPlayerForTest(RecordPlay);
        SoundShutdown();
        aCall.clear();
        PrefsSetDefaults();
        ASSERT_EQ(prefs.bSound, 1);
    }
    void TearDown() override {
        SoundShutdown();
        SoundSetPlayerForTest(NULL);
        pfnForward = nullptr;
    }
};

TEST_F(Sound, AnEffectStopsTheOneBeforeAndStaysLoadedWhileItPlays) {
    ASSERT_NE(EffectData("CAUGHT"), nullptr);
    void* hCaught = PlayGameSound("CAUGHT", 1);
    EXPECT_EQ(hCaught, EffectRes("CAUGHT"));
    EXPECT_EQ(hSoundRes, hCaught);
    EXPECT_EQ(aCall, (std::vector<PlayCall>{kStop, {Image16("CAUGHT"), 0x17, 1}}));

    aCall.clear();
    void* hRotate = PlayGameSound("ROTATE", 1);
    EXPECT_EQ(hRotate, EffectRes("ROTATE"));
    EXPECT_NE(hRotate, hCaught);
    EXPECT_EQ(hSoundRes, hRotate);
    EXPECT_EQ(aCall, (std::vector<PlayCall>{kStop, {Image16("ROTATE"), 0x17, 1}}));
}

TEST_F(Sound, NextLevelIsPlayedSynchronouslyAndKeepsNothing) {
    PlayGameSound("LEVELOVER", 1);
    aCall.clear();
    EXPECT_EQ(PlayGameSound("NEXTLEVEL", 0), nullptr);
    EXPECT_EQ(hSoundRes, nullptr);
    EXPECT_EQ(aCall, (std::vector<PlayCall>{kStop, {Image16("NEXTLEVEL"), 0x16, 1}}));
}

TEST_F(Sound, WithSoundOffNothingHappensAtAll) {
    void* hCaught = PlayGameSound("CAUGHT", 1);
    ASSERT_NE(hCaught, nullptr);
    aCall.clear();
    prefs.bSound = 0;
    EXPECT_EQ(PlayGameSound("DROPPED", 1), nullptr);
    EXPECT_EQ(PlayGameSound("NEXTLEVEL", 0), nullptr);
    EXPECT_TRUE(aCall.empty()) << "the effect that plays must run on";
    EXPECT_EQ(hSoundRes, hCaught);

    prefs.bSound = 2; // any non-zero value is on
    EXPECT_EQ(PlayGameSound("DROPPED", 1), EffectRes("DROPPED"));
    EXPECT_EQ(aCall, (std::vector<PlayCall>{kStop, {Image16("DROPPED"), 0x17, 1}}));
}

TEST_F(Sound, AMissingEffectStillStopsThePreviousOneAndPlaysNothing) {
    PlayGameSound("CAUGHT", 1);
    aCall.clear();
    EXPECT_EQ(PlayGameSound("NOSUCHSOUND", 1), nullptr);
    EXPECT_EQ(hSoundRes, nullptr);
    EXPECT_EQ(aCall, (std::vector<PlayCall>{kStop}));
}

TEST_F(Sound, ShutdownStopsTheSoundAndForgetsItsResource) {
    PlayGameSound("GAMEWON", 1);
    ASSERT_NE(hSoundRes, nullptr);
    aCall.clear();
    EXPECT_EQ(SoundShutdown(), 1);
    EXPECT_EQ(hSoundRes, nullptr);
    EXPECT_EQ(aCall, (std::vector<PlayCall>{kStop}));
}

// The real player behind the recorder. The test run gives Wine one silent
// output device, so the platform reports it and really plays into it.
TEST_F(Sound, RealPlaybackOnTheSilentDevice) {
    SoundSetPlayerForTest(NULL);
    pfnForward = SoundSetPlayerForTest(RecordPlay); // the platform's own
    ASSERT_NE(pfnForward, &RecordPlay);
    ASSERT_EQ(HasWaveDevice(), 1) << "the test run should give Wine an output device";

    ASSERT_NE(PlayGameSound("GAMEWON", 1), nullptr); // 2.6 s, cut short below
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(PlayGameSound("NEXTLEVEL", 0), nullptr);
    const DWORD dt = GetTickCount() - t0;
    EXPECT_EQ(aCall.size(), 4u);
    for (const PlayCall& c : aCall) EXPECT_EQ(c.nResult, 1) << "flags " << c.uFlags;
    // The synchronous effect must come back, and soon (its sound is measured
    // end to end, where nothing else plays).
    EXPECT_LT(dt, 2000u);

    ASSERT_NE(PlayGameSound("ROTATE", 1), nullptr);
    EXPECT_EQ(SoundShutdown(), 1);
    EXPECT_EQ(aCall.back().nResult, 1);
}

} // namespace
