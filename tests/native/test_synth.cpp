// The built-in synthesizer: the MIDI file reader's table, then what the
// synthesizer makes of notes, by measuring its output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/smf.h"
#include "audio/synth.h"
#include "meter.h"

namespace {

// --- The reader -------------------------------------------------------------------

std::string Be(uint32_t n, int nBytes) {
    std::string s;
    for (int i = nBytes - 1; i >= 0; i--) s += (char)(n >> (8 * i));
    return s;
}

std::string Bytes(std::initializer_list<int> a) {
    std::string s;
    for (int n : a) s += (char)n;
    return s;
}

std::string Smf(int nFormat, int nDivision, const std::vector<std::string>& aTrack) {
    std::string s =
        "MThd" + Be(6, 4) + Be(nFormat, 2) + Be((uint32_t)aTrack.size(), 2) + Be(nDivision, 2);
    for (const std::string& t : aTrack) s += "MTrk" + Be((uint32_t)t.size(), 4) + t;
    return s;
}

const std::string kEnd = Bytes({0, 0xFF, 0x2F, 0});

struct Read {
    int bOk;
    std::vector<SmfEvent> aEvent;
    uint32_t nEndFrame;
};

Read ReadSmf(const std::string& s) {
    SmfSong song;
    Read r{SmfRead((const uint8_t*)s.data(), s.size(), &song), {}, song.nEndFrame};
    // The walk without a song must judge the same.
    EXPECT_EQ(SmfRead((const uint8_t*)s.data(), s.size(), nullptr), r.bOk);
    r.aEvent.assign(song.aEvent, song.aEvent + song.nEvents);
    SmfFree(&song);
    return r;
}

// Frames at 44,100 a second of a tick at 120 beats a minute.
uint32_t Frames(double dSeconds) {
    return (uint32_t)(dSeconds * (double)SMF_RATE + 0.5);
}

TEST(Smf, ReadsFormatsRunningStatusAndTempoAndRefusesBrokenFilesWhole) {
    const std::string kNotes = Bytes({0, 0x90, 60, 100, 96, 62, 100, 0, 0x80, 60, 0}) + kEnd;
    // A tempo of 60 beats a minute from the second beat on (division 96).
    const std::string kTempo = Bytes({96, 0xFF, 0x51, 3, 0x0F, 0x42, 0x40}) + kEnd;
    const std::string kLater = Bytes({0x81, 0x40, 0x91, 64, 90, 96, 0x81, 64, 0}) + kEnd;
    const struct {
        const char* szWhat;
        std::string szBytes;
        int bOk;
        std::vector<int> aStatus;  // the events read, in order
        std::vector<double> aTime; // their times in seconds
        double dEnd;
    } aCase[] = {
        {"format 0 with running status",
         Smf(0, 96, {kNotes}),
         1,
         {0x90, 0x90, 0x80},
         {0, 0.5, 0.5},
         0.5},
        // Track 1's events at ticks 192 and 288 fall after the tempo change.
        {"format 1, tempo in the first track",
         Smf(1, 96, {kTempo, kLater}),
         1,
         {0xFF, 0x91, 0x81},
         {0.5, 1.5, 2.5},
         2.5},
        {"sysex and meta skipped",
         Smf(0, 96,
             {Bytes({0, 0xF0, 3, 1, 2, 0xF7, 0, 0xFF, 1, 2, 'h', 'i', 0, 0xC0, 5, 0, 0xF7, 1, 0}) +
              kEnd}),
         1,
         {0xC0},
         {0},
         0},
        {"a missing end of track ends at the last event",
         Smf(0, 96, {Bytes({48, 0x90, 1, 1})}),
         1,
         {0x90},
         {0.25},
         0.25},
        {"SMPTE time, 25 frames of 40 ticks",
         Smf(0, 0xE728, {Bytes({0x83, 0x74, 0x90, 1, 1}) + kEnd}),
         1,
         {0x90},
         {0.5},
         0.5},
        {"a note cut short", Smf(0, 96, {Bytes({0, 0x90, 60})}), 0, {}, {}, 0},
        {"a data byte with a status bit",
         Smf(0, 96, {Bytes({0, 0x90, 60, 0x80}) + kEnd}),
         0,
         {},
         {},
         0},
        {"data before any status", Smf(0, 96, {Bytes({0, 60, 100}) + kEnd}), 0, {}, {}, 0},
        {"a sysex longer than its track",
         Smf(0, 96, {Bytes({0, 0xF0, 0x8F, 0xFF, 0xFF, 0x7F, 1})}),
         0,
         {},
         {},
         0},
        {"a meta event longer than its track",
         Smf(0, 96, {Bytes({0, 0xFF, 1, 9, 'a'})}),
         0,
         {},
         {},
         0},
        {"a five-byte length",
         Smf(0, 96, {Bytes({0x81, 0x81, 0x81, 0x81, 0x01, 0x90, 1, 1})}),
         0,
         {},
         {},
         0},
        {"a system message that belongs in no file",
         Smf(0, 96, {Bytes({0, 0xF8}) + kEnd}),
         0,
         {},
         {},
         0},
        {"a track claiming more than the file", Smf(0, 96, {kNotes}).substr(0, 30), 0, {}, {}, 0},
        {"two tracks counted, one there",
         Smf(1, 96, {kNotes, kNotes}).substr(0, 22 + kNotes.size()),
         0,
         {},
         {},
         0},
        {"division 0", Smf(0, 0, {kNotes}), 0, {}, {}, 0},
    };
    for (const auto& c : aCase) {
        SCOPED_TRACE(c.szWhat);
        Read r = ReadSmf(c.szBytes);
        ASSERT_EQ(r.bOk, c.bOk);
        if (!c.bOk) {
            EXPECT_TRUE(r.aEvent.empty());
            continue;
        }
        std::vector<int> aStatus;
        for (const SmfEvent& e : r.aEvent) aStatus.push_back(e.nStatus);
        EXPECT_EQ(aStatus, c.aStatus);
        for (size_t i = 0; i < r.aEvent.size() && i < c.aTime.size(); i++)
            EXPECT_NEAR(r.aEvent[i].nFrame, Frames(c.aTime[i]), 1) << i;
        EXPECT_NEAR(r.nEndFrame, Frames(c.dEnd), 1);
    }
    // Running status carries the key and velocity of the second note.
    Read r = ReadSmf(Smf(0, 96, {kNotes}));
    EXPECT_EQ(r.aEvent[1].nData1, 62);
    EXPECT_EQ(r.aEvent[1].nData2, 100);
}

TEST(Smf, FindsTheFileInsideARiffAndLeavesOtherFilesToTheSequencer) {
    std::string szSmf = Smf(0, 96, {kEnd});
    auto Le = [](uint32_t n) {
        return Bytes({(int)(n & 255), (int)(n >> 8 & 255), (int)(n >> 16 & 255), (int)(n >> 24)});
    };
    std::string szData = "RMID" + std::string("data") + Le((uint32_t)szSmf.size()) + szSmf;
    std::string szRiff = "RIFF" + Le((uint32_t)szData.size()) + szData;
    const uint8_t* p;
    size_t n;
    ASSERT_EQ(SmfFind((const uint8_t*)szRiff.data(), szRiff.size(), &p, &n), 1);
    EXPECT_EQ(std::string((const char*)p, n), szSmf);
    std::string szCut = szRiff.substr(0, szRiff.size() - 1);
    EXPECT_EQ(SmfFind((const uint8_t*)szCut.data(), szCut.size(), &p, &n), -1);
    EXPECT_EQ(SmfFileFits((const uint8_t*)szCut.data(), szCut.size()), 0);
    const std::string szText = "this is not music";
    EXPECT_EQ(SmfFind((const uint8_t*)szText.data(), szText.size(), &p, &n), 0);
    EXPECT_EQ(SmfFileFits((const uint8_t*)szText.data(), szText.size()), 1);
}

// --- The synthesizer --------------------------------------------------------------

struct Take {
    std::vector<float> aLeft, aRight; // -1 .. 1
};

// Renders nFrames after the messages, which are sent at the given frames.
struct Message {
    int nFrame;
    uint8_t nStatus, nData1, nData2;
};

// Dry unless asked: the room's reverb is sent nothing.
Take Play(const std::vector<Message>& aMessage, int nFrames, bool bRoom = false) {
    static Synth synth;
    SynthReset(&synth);
    for (int c = 0; c < SYNTH_CHANNELS && !bRoom; c++) SynthMidi(&synth, 0xB0 | c, 91, 0);
    Take t;
    std::vector<int16_t> a(2 * (size_t)nFrames);
    int nAt = 0;
    for (size_t i = 0; i <= aMessage.size(); i++) {
        int nUntil = i < aMessage.size() ? aMessage[i].nFrame : nFrames;
        SynthRender(&synth, a.data() + 2 * nAt, nUntil - nAt);
        nAt = nUntil;
        if (i < aMessage.size())
            SynthMidi(&synth, aMessage[i].nStatus, aMessage[i].nData1, aMessage[i].nData2);
    }
    for (int i = 0; i < nFrames; i++) {
        t.aLeft.push_back(a[2 * i] / 32768.0f);
        t.aRight.push_back(a[2 * i + 1] / 32768.0f);
    }
    return t;
}

// The strength of a frequency in a stretch, through a Hann window.
double Strength(const std::vector<float>& a, int nFrom, int nLen, double dHz) {
    double re = 0, im = 0;
    for (int i = 0; i < nLen; i++) {
        double w = 0.5 - 0.5 * cos(2 * M_PI * i / nLen);
        double ph = 2 * M_PI * dHz * i / (double)SYNTH_RATE;
        re += a[nFrom + i] * w * cos(ph);
        im += a[nFrom + i] * w * sin(ph);
    }
    return sqrt(re * re + im * im) / nLen;
}

// The fundamental: the strongest frequency within a semitone of dHz, to a
// tenth of a cent.
double Pitch(const std::vector<float>& a, int nFrom, int nLen, double dHz) {
    double dBest = 0, dBestCents = 0;
    for (double c = -100; c <= 100; c += 2) {
        double s = Strength(a, nFrom, nLen, dHz * pow(2, c / 1200));
        if (s > dBest) dBest = s, dBestCents = c;
    }
    for (double step = 1; step >= 0.1; step /= 2) {
        double sUp = Strength(a, nFrom, nLen, dHz * pow(2, (dBestCents + step) / 1200));
        double sDown = Strength(a, nFrom, nLen, dHz * pow(2, (dBestCents - step) / 1200));
        if (sUp > dBest)
            dBest = sUp, dBestCents += step;
        else if (sDown > dBest)
            dBest = sDown, dBestCents -= step;
    }
    return dBestCents;
}

// The largest change from one frame to the next in [nFrom, nTo).
float LargestStep(const std::vector<float>& a, int nFrom, int nTo) {
    float f = 0;
    for (int i = nFrom + 1; i < nTo; i++) f = std::max(f, std::fabs(a[i] - a[i - 1]));
    return f;
}

float Peak(const std::vector<float>& a, int nFrom, int nTo) {
    float f = 0;
    for (int i = nFrom; i < nTo; i++) f = std::max(f, std::fabs(a[i]));
    return f;
}

const int kSecond = SYNTH_RATE;

// Every family's voice holds A4 in tune, rises from silence without a step,
// dies away no faster than it sounded, and falls silent after its release.
TEST(Synth, EveryFamilyPlaysInTuneAndStartsAndEndsWithoutAStep) {
    for (int nProgram = 0; nProgram < 120; nProgram += 8) { // the sound effects have no pitch
        SCOPED_TRACE("program " + std::to_string(nProgram));
        const int nOn = 1000, nOff = nOn + kSecond, nEnd = 7 * kSecond;
        Take t = Play({{0, 0xC0, (uint8_t)nProgram, 0}, {nOn, 0x90, 69, 100}, {nOff, 0x80, 69, 0}},
                      nEnd);
        // Before the vibrato sets in (a fifth of a second on), over 0.1 s.
        EXPECT_NEAR(Pitch(t.aLeft, nOn + kSecond / 20, kSecond / 10, 440.0), 0.0, 5.0);
        EXPECT_EQ(Peak(t.aLeft, 0, nOn), 0.0f);
        // The first millisecond, and everything after the note-off, change
        // no faster than the sounding note does.
        const int nMs = kSecond / 1000;
        float fNote = LargestStep(t.aLeft, nOn + nMs, nOff);
        ASSERT_GT(fNote, 0.0f);
        EXPECT_LE(LargestStep(t.aLeft, nOn - 1, nOn + nMs), fNote);
        EXPECT_LE(LargestStep(t.aLeft, nOff - 1, nEnd), fNote * 1.05f);
        EXPECT_LE(Peak(t.aLeft, nEnd - kSecond / 10, nEnd), 1.0f / 32768);
    }
}

TEST(Synth, ChannelTenPlaysDrumsWhereOtherChannelsPlayNotes) {
    // The kick: a low thump that dies away by itself; on channel 1 the same
    // key is a held C two octaves below middle C.
    Take tKick = Play({{0, 0x99, 36, 120}}, 3 * kSecond / 2);
    Take tNote = Play({{0, 0x90, 36, 120}}, kSecond);
    EXPECT_GT(Strength(tKick.aLeft, 0, kSecond / 10, 60),
              3 * Strength(tKick.aLeft, 0, kSecond / 10, 2000));
    EXPECT_LT(Peak(tKick.aLeft, kSecond, 3 * kSecond / 2),
              0.01f * Peak(tKick.aLeft, 0, kSecond / 10));
    EXPECT_NEAR(Pitch(tNote.aLeft, kSecond / 20, kSecond / 5, 65.41), 0.0, 5.0);
    // The closed hi-hat: bright noise, short.
    Take tHat = Play({{0, 0x99, 42, 120}}, kSecond / 2);
    EXPECT_GT(Strength(tHat.aLeft, 0, kSecond / 20, 9000),
              3 * Strength(tHat.aLeft, 0, kSecond / 20, 200));
    EXPECT_LT(Peak(tHat.aLeft, kSecond / 4, kSecond / 2),
              0.01f * Peak(tHat.aLeft, 0, kSecond / 20));
}

// The controllers a tune uses, each against the plain note.
TEST(Synth, ControllersShapeTheNote) {
    const int nLen = kSecond;
    const int nFrom = kSecond / 4, nSpan = kSecond / 2;
    Take tPlain = Play({{0, 0x90, 69, 100}}, nLen);
    float fPlain = Peak(tPlain.aLeft, nFrom, nFrom + nSpan);
    ASSERT_GT(fPlain, 0.01f);
    // Volume 0 and expression 0 silence it; pan 0 leaves the right side silent.
    EXPECT_EQ(Peak(Play({{0, 0xB0, 7, 0}, {0, 0x90, 69, 100}}, nLen).aLeft, 0, nLen), 0.0f);
    EXPECT_EQ(Peak(Play({{0, 0xB0, 11, 0}, {0, 0x90, 69, 100}}, nLen).aLeft, 0, nLen), 0.0f);
    Take tPan = Play({{0, 0xB0, 10, 0}, {0, 0x90, 69, 100}}, nLen);
    EXPECT_EQ(Peak(tPan.aRight, 0, nLen), 0.0f);
    EXPECT_GT(Peak(tPan.aLeft, nFrom, nFrom + nSpan), fPlain);
    // The sustain pedal holds a released note; its release lets it go.
    Take tHeld = Play({{0, 0xB0, 64, 127}, {0, 0x90, 69, 100}, {100, 0x80, 69, 0}}, nLen);
    EXPECT_NEAR(Peak(tHeld.aLeft, nFrom, nFrom + nSpan), fPlain, fPlain * 0.05f);
    Take tLetGo = Play(
        {{0, 0xB0, 64, 127}, {0, 0x90, 69, 100}, {100, 0x80, 69, 0}, {kSecond / 10, 0xB0, 64, 0}},
        nLen);
    const int nLate = 9 * kSecond / 10;
    EXPECT_LT(Peak(tLetGo.aLeft, nLate, nLen), fPlain * 0.01f);
    // All notes off (123) and all sound off (120) end it too.
    EXPECT_LT(Peak(Play({{0, 0x90, 69, 100}, {100, 0xB0, 123, 0}}, nLen).aLeft, nLate, nLen),
              fPlain * 0.01f);
    EXPECT_LT(Peak(Play({{0, 0x90, 69, 100}, {100, 0xB0, 120, 0}}, nLen).aLeft, nLate, nLen),
              fPlain * 0.01f);
    // A full bend up: two semitones, or the twelve the file sets with RPN 0;
    // reset-all-controllers brings it back.
    EXPECT_NEAR(Pitch(Play({{0, 0xE0, 127, 127}, {0, 0x90, 69, 100}}, nLen).aLeft, nFrom, nSpan,
                      440 * pow(2, 2 / 12.0)),
                0.0, 5.0);
    EXPECT_NEAR(Pitch(Play({{0, 0xB0, 101, 0},
                            {0, 0xB0, 100, 0},
                            {0, 0xB0, 6, 12},
                            {0, 0xE0, 127, 127},
                            {0, 0x90, 69, 100}},
                           nLen)
                          .aLeft,
                      nFrom, nSpan, 880 * pow(2, 8191 / 8192.0 - 1)),
                0.0, 5.0);
    EXPECT_NEAR(
        Pitch(Play({{0, 0xE0, 127, 127}, {0, 0xB0, 121, 0}, {0, 0x90, 69, 100}}, nLen).aLeft, nFrom,
              nSpan, 440),
        0.0, 5.0);
}

// More notes than voices: the oldest and quietest give way without a click,
// the voices stay bounded and the loudest chord does not clip.
TEST(Synth, ManyNotesStealVoicesQuietlyAndNeverClip) {
    std::vector<Message> aMessage;
    for (int i = 0; i < 64; i++)
        aMessage.push_back({i * 200, (uint8_t)(0x90 | (i % 8)), (uint8_t)(36 + i), 127});
    static Synth synth;
    Take t = Play(aMessage, kSecond);
    EXPECT_LT(Peak(t.aLeft, 0, kSecond), 32767.0f / 32768);
    // The largest step stays that of the chord itself, not of a cut note.
    float fLate = LargestStep(t.aLeft, kSecond / 2, kSecond);
    EXPECT_LE(LargestStep(t.aLeft, 0, kSecond / 2), fLate * 2.5f);
    SynthReset(&synth);
    for (const Message& m : aMessage) SynthMidi(&synth, m.nStatus, m.nData1, m.nData2);
    EXPECT_LE(SynthVoicesSounding(&synth), (int)SYNTH_SLOTS);
}

// A chord struck while 32 voices sound (held notes, or release tails that
// still count) keeps all of its notes: only voices already heard give way.
TEST(Synth, AChordOverFullVoicesKeepsEveryNote) {
    const int nChord = kSecond / 5, nFrom = nChord + kSecond / 20, nLen = kSecond / 10;
    const int aKey[4] = {97, 100, 103, 106}; // above every partial of the notes beneath
    for (int nProgram : {16, 48}) {          // organ held, strings released
        SCOPED_TRACE("under program " + std::to_string(nProgram));
        std::vector<Message> aUnder = {{0, 0xC0, (uint8_t)nProgram, 0}, {0, 0xC1, 73, 0}};
        for (int k = 24; k < 56; k++) aUnder.push_back({0, 0x90, (uint8_t)k, 90});
        if (nProgram == 48)
            for (int k = 24; k < 56; k++) aUnder.push_back({kSecond / 10, 0x80, (uint8_t)k, 0});
        std::vector<Message> aAll = aUnder;
        for (int k : aKey) aAll.push_back({nChord, 0x91, (uint8_t)k, 100});
        Take tUnder = Play(aUnder, nFrom + nLen), tAll = Play(aAll, nFrom + nLen);
        std::vector<float> aChord(tAll.aLeft.size());
        for (size_t i = 0; i < aChord.size(); i++) aChord[i] = tAll.aLeft[i] - tUnder.aLeft[i];
        double aStrength[4], dMost = 0;
        for (int i = 0; i < 4; i++) {
            aStrength[i] = Strength(aChord, nFrom, nLen, 440 * pow(2, (aKey[i] - 69) / 12.0));
            dMost = std::max(dMost, aStrength[i]);
        }
        for (int i = 0; i < 4; i++) EXPECT_GT(aStrength[i], 0.5 * dMost) << "key " << aKey[i];
    }
}

// The bend range stops at 24 semitones, and a note bent or built above half
// the rate neither wraps nor folds back as a lower tone.
TEST(Synth, BendRangeIsCappedAndHighOscillatorsDoNotWrap) {
    auto Bent = [](uint8_t nRange, uint8_t nProgram, uint8_t nKey) {
        return Play({{0, 0xB0, 101, 0},
                     {0, 0xB0, 100, 0},
                     {0, 0xB0, 6, nRange},
                     {0, 0xC0, nProgram, 0},
                     {0, 0xE0, 127, 127},
                     {0, 0x90, nKey, 100}},
                    kSecond / 2);
    };
    EXPECT_NEAR(Pitch(Bent(127, 0, 45).aLeft, kSecond / 4, kSecond / 5,
                      440 * pow(2, 8191 / 8192.0 * 2 - 2)),
                0.0, 5.0);
    // The vibraphone's fourth partial of key 127 lies at 50.2 kHz; wrapped,
    // it would sound at 6.1 kHz.
    Take t = Bent(0, 11, 127);
    EXPECT_LT(Strength(t.aLeft, kSecond / 10, kSecond / 10, 50175.0 - (double)SYNTH_RATE),
              0.01 * Strength(t.aLeft, kSecond / 10, kSecond / 10, 12543.9));
}

meter::Stereo Stereo(const Take& t, int nFrom, int nTo) {
    meter::Stereo s;
    s.aLeft.assign(t.aLeft.begin() + nFrom, t.aLeft.begin() + nTo);
    s.aRight.assign(t.aRight.begin() + nFrom, t.aRight.begin() + nTo);
    s.nRate = SYNTH_RATE;
    return s;
}

// Reverb and chorus add nothing at send 0 and widen a centred note when sent;
// the reverb goes on after the note.
TEST(Synth, ReverbAndChorusWidenTheImageOnlyWhenSent) {
    const struct {
        uint8_t nReverb, nChorus;
        double dNoteWidth, dTailWidth; // side/mid at least, dB
    } aCase[] = {{0, 0, -INFINITY, -INFINITY}, {127, 0, -20, -6}, {0, 127, -16, -INFINITY}};
    for (const auto& c : aCase) {
        SCOPED_TRACE(std::to_string(c.nReverb) + " " + std::to_string(c.nChorus));
        const int nOff = kSecond / 2, nTail = nOff + kSecond / 2;
        Take t = Play({{0, 0xB0, 91, c.nReverb},
                       {0, 0xB0, 93, c.nChorus},
                       {0, 0xC0, 73, 0},
                       {0, 0x90, 69, 100},
                       {nOff, 0x80, 69, 0}},
                      nTail + kSecond / 5, true);
        double dNote = meter::SideToMid(Stereo(t, 0, nOff));
        double dTail = meter::SideToMid(Stereo(t, nTail, nTail + kSecond / 5));
        float fTail = Peak(t.aLeft, nTail, nTail + kSecond / 5);
        if (c.dNoteWidth == -INFINITY) {
            EXPECT_EQ(t.aLeft, t.aRight);
        }
        EXPECT_GE(dNote, c.dNoteWidth);
        EXPECT_GE(dTail, c.dTailWidth);
        EXPECT_EQ(fTail > 0.001f, c.dTailWidth > -INFINITY) << fTail;
    }
}

// Our music and our effects sound equally loud, and the loudest of both
// together stays below full scale.
TEST(SynthMix, MusicAndEffectsAreAsLoudAndTogetherDoNotClip) {
    namespace fs = std::filesystem;
    const fs::path dir(QUARRION_ASSET_DIR);
    std::vector<double> aEffect;
    float fEffectPeak = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(dir)) {
        meter::Stereo s;
        if (e.path().extension() != ".wav" || !meter::ReadWav(e.path().string(), &s)) continue;
        aEffect.push_back(meter::Loudness(s));
        for (float f : s.aLeft) fEffectPeak = std::max(fEffectPeak, std::fabs(f));
        for (float f : s.aRight) fEffectPeak = std::max(fEffectPeak, std::fabs(f));
    }
    ASSERT_GE(aEffect.size(), 20u);
    std::nth_element(aEffect.begin(), aEffect.begin() + aEffect.size() / 2, aEffect.end());
    const double dEffects = aEffect[aEffect.size() / 2];
    int nTunes = 0;
    for (const fs::directory_entry& e : fs::directory_iterator(dir / "dist")) {
        std::ifstream in(e.path(), std::ios::binary);
        std::vector<uint8_t> aByte((std::istreambuf_iterator<char>(in)), {});
        SmfSong song;
        ASSERT_TRUE(SmfRead(aByte.data(), aByte.size(), &song)) << e.path();
        const int nFrames = 40 * kSecond;
        std::vector<int16_t> aOut(2 * (size_t)nFrames);
        static SynthPlayer player;
        SynthPlayerStart(&player, &song);
        SynthPlayerRender(&player, aOut.data(), nFrames);
        SmfFree(&song);
        meter::Stereo s;
        s.nRate = SYNTH_RATE;
        float fPeak = 0;
        for (int i = 0; i < nFrames; i++) {
            s.aLeft.push_back(aOut[2 * i] / 32768.0f);
            s.aRight.push_back(aOut[2 * i + 1] / 32768.0f);
            fPeak = std::max({fPeak, std::fabs(s.aLeft.back()), std::fabs(s.aRight.back())});
        }
        EXPECT_NEAR(meter::Loudness(s), dEffects, 2.0) << e.path();
        EXPECT_LT(fPeak + fEffectPeak, 0.99f) << e.path();
        nTunes++;
    }
    EXPECT_GE(nTunes, 5);
}

} // namespace
