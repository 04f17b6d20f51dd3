// The real game, heard: what it plays is recorded from the monitor of the
// tests' own sound server (MonitorRecorder) and compared with what it should
// play: the start-up effect's own samples, and test tunes written here whose
// notes and ends are known to the frame. The music comes from the built-in
// synthesizer.
#include <gtest/gtest.h>

#include <windows.h>
#include <winternl.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "audio/smf.h"
#include "audio/synth.h"
#include "tests/win32/support/game_process.h"
#include "tests/win32/support/monitor_recorder.h"
#include "tools/soundgen/midi.h"

namespace {

const size_t kRate = MonitorRecorder::kRate;
size_t Ms(double d) {
    return (size_t)(d * (double)kRate / 1000.0);
}
double ToMs(size_t nFrames) {
    return 1000.0 * (double)nFrames / (double)kRate;
}

// --- Test tunes -------------------------------------------------------------------
struct Note {
    int nStartMs, nLengthMs, nKey;
};

// A file of one track: program nProgram on channel 1 at 120 beats a minute
// (0.96 ticks a millisecond), ending at nEndMs.
std::string TuneFile(const std::vector<Note>& aNote, int nProgram, int nEndMs) {
    auto Tick = [](int nMs) { return (uint32_t)(nMs * midi::kDivision * 2 / 1000); };
    midi::Track track;
    track.Tempo(0, 120);
    track.Program(0, 0, nProgram);
    for (const Note& n : aNote) track.Note(Tick(n.nStartMs), Tick(n.nLengthMs), 0, n.nKey, 100);
    std::vector<uint8_t> a = midi::FileBytes({track}, Tick(nEndMs));
    return std::string(a.begin(), a.end());
}

// The same synthesizer's rendering of a file, made here: nFrames of it, mono.
std::vector<float> Rendered(const std::string& sFile, size_t nFrames) {
    SmfSong song = {};
    std::vector<float> a;
    if (!SmfRead((const uint8_t*)sFile.data(), sFile.size(), &song)) return a;
    static SynthPlayer player;
    SynthPlayerStart(&player, &song);
    int16_t aBlock[1024 * 2];
    while (a.size() < nFrames) {
        SynthPlayerRender(&player, aBlock, 1024);
        for (int i = 0; i < 1024; i++)
            a.push_back(((float)aBlock[2 * i] + (float)aBlock[2 * i + 1]) / 65536.0f);
    }
    SmfFree(&song);
    a.resize(nFrames);
    return a;
}

// The run's folder holds the test's tunes instead of the game's.
void PutTunes(const GameRun& run, const std::vector<std::pair<const char*, std::string>>& aTune) {
    WIN32_FIND_DATAA fd;
    HANDLE hFind = FindFirstFileA(run.PathOf("*.mid").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE) {
        do DeleteFileA(run.PathOf(fd.cFileName).c_str());
        while (FindNextFileA(hFind, &fd));
        FindClose(hFind);
    }
    for (const auto& t : aTune) {
        FILE* f = fopen(run.PathOf(t.first).c_str(), "wb");
        ASSERT_TRUE(f);
        fwrite(t.second.data(), 1, t.second.size(), f);
        fclose(f);
    }
}

// Short piano notes at uneven distances.
const std::vector<Note> kRhythm = {{0, 100, 60},    {300, 100, 64},  {550, 100, 67},
                                   {950, 100, 72},  {1200, 100, 67}, {1650, 100, 64},
                                   {1900, 100, 62}, {2300, 100, 60}};
// An organ chord held for a minute, note after note with no gap.
std::vector<Note> HeldChords() {
    std::vector<Note> a;
    for (int i = 0; i < 60; i++)
        for (int nKey : {60, 64, 67}) a.push_back({i * 1000, 1000, nKey + (i % 2) * 2});
    return a;
}

std::string Ini(int bSound, int bMusic) {
    char sz[160];
    snprintf(sz, sizeof sz,
             "[Prefs]\r\nSpeed=1\r\nSound=%d\r\nMusic=%d\r\nContinuous=0\r\n"
             "[Window]\r\nZoom=1\r\nMusicDevice=1\r\n",
             bSound, bMusic);
    return sz;
}

void Key(HWND hwnd, WPARAM vk) {
    PostMessageA(hwnd, WM_KEYDOWN, vk, 0);
}

// Waits until the recording holds nMsAfter past the moment dwTick.
std::vector<float> Heard(const MonitorRecorder& rec, DWORD dwTick, int nMsAfter) {
    EXPECT_TRUE(rec.WaitFor(rec.FrameAt(dwTick) + Ms(nMsAfter), nMsAfter + 10000))
        << "the sound server stopped giving data";
    return rec.Mono();
}

// From the moment dwTick: how long until the music stops for good (checked
// over the second after it); -1 when it does not.
double MsUntilSilent(const MonitorRecorder& rec, DWORD dwTick) {
    size_t nAt = rec.FrameAt(dwTick);
    std::vector<float> a = Heard(rec, dwTick, 1200);
    size_t nQuiet = SilentFrom(a, nAt, nAt + Ms(1200));
    return nQuiet == SIZE_MAX ? -1 : ToMs(nQuiet - nAt);
}

// From the moment dwTick: how long until music is heard; -1 when not within nMs.
double MsUntilLoud(const MonitorRecorder& rec, DWORD dwTick, int nMs) {
    size_t nAt = rec.FrameAt(dwTick);
    std::vector<float> a = Heard(rec, dwTick, nMs);
    size_t nLoud = FirstLoud(a, nAt, 0.01, nAt + Ms(nMs));
    return nLoud == SIZE_MAX ? -1 : ToMs(nLoud - nAt);
}

// The samples of a "SOUND" resource of the exe (8-bit PCM mono), made
// 44,100 a second by linear steps, and the file's own rate.
std::vector<float> EffectSamples(const GameRun& run, const char* szName) {
    std::vector<float> a;
    std::string sExe = run.PathOf("Quarrion.exe");
    HMODULE h = LoadLibraryExA(sExe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC hInfo = h ? FindResourceA(h, szName, "SOUND") : NULL;
    const uint8_t* p = hInfo ? (const uint8_t*)LockResource(LoadResource(h, hInfo)) : nullptr;
    DWORD nSize = hInfo ? SizeofResource(h, hInfo) : 0;
    if (p && nSize > 44 && memcmp(p, "RIFF", 4) == 0) {
        uint32_t nRate = 0, nChannels = 0, nBits = 0;
        const uint8_t* pData = nullptr;
        uint32_t nData = 0;
        for (DWORD nAt = 12; nAt + 8 <= nSize;) {
            uint32_t nLen =
                p[nAt + 4] | p[nAt + 5] << 8 | p[nAt + 6] << 16 | (uint32_t)p[nAt + 7] << 24;
            if (memcmp(p + nAt, "fmt ", 4) == 0) {
                nChannels = p[nAt + 10];
                nRate = p[nAt + 12] | p[nAt + 13] << 8 | p[nAt + 14] << 16;
                nBits = p[nAt + 22];
            } else if (memcmp(p + nAt, "data", 4) == 0) {
                pData = p + nAt + 8;
                nData = std::min<uint32_t>(nLen, nSize - nAt - 8);
            }
            nAt += 8 + nLen + (nLen & 1);
        }
        if (pData && nBits == 8 && nChannels >= 1 && nRate > 0) {
            size_t nIn = nData / nChannels;
            auto In = [&](size_t i) {
                float s = 0;
                for (uint32_t c = 0; c < nChannels; c++)
                    s += ((float)pData[i * nChannels + c] - 128);
                return s / (128.0f * (float)nChannels);
            };
            size_t nOut = (size_t)((double)nIn * kRate / nRate);
            for (size_t k = 0; k < nOut; k++) {
                double x = (double)k * nRate / kRate;
                size_t i = (size_t)x;
                double f = x - (double)i;
                float s1 = In(std::min(i, nIn - 1)), s2 = In(std::min(i + 1, nIn - 1));
                a.push_back((float)(s1 + (s2 - s1) * f));
            }
        }
    }
    if (h) FreeLibrary(h);
    return a;
}

// The game process's threads and handles, as the system counts them.
struct Counts {
    ULONG nThreads = 0, nHandles = 0;
    bool operator==(const Counts&) const = default;
};
Counts ProcessCounts(DWORD dwPid) {
    typedef NTSTATUS(WINAPI * QueryFn)(ULONG, PVOID, ULONG, PULONG);
    QueryFn pfnQuery =
        (QueryFn)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation");
    Counts c;
    std::vector<uint8_t> aBuf(1 << 20);
    ULONG nLen = 0;
    if (!pfnQuery ||
        pfnQuery(5 /* SystemProcessInformation */, aBuf.data(), (ULONG)aBuf.size(), &nLen) != 0)
        return c;
    for (size_t nAt = 0;;) {
        const SYSTEM_PROCESS_INFORMATION* p = (const SYSTEM_PROCESS_INFORMATION*)&aBuf[nAt];
        if ((DWORD)(ULONG_PTR)p->UniqueProcessId == dwPid) {
            c.nThreads = p->NumberOfThreads;
            c.nHandles = p->HandleCount;
            return c;
        }
        if (!p->NextEntryOffset) return c;
        nAt += p->NextEntryOffset;
    }
}

class Audio : public testing::Test {
  protected:
    MonitorRecorder rec;
    void SetUp() override { ASSERT_TRUE(rec.Start()) << rec.Error(); }
};

} // namespace

// The start-up "SWOOSH" is heard, and it is the resource's recording.
TEST_F(Audio, StartupSwooshIsHeardAsRecorded) {
    GameRun run("audio_swoosh");
    PutTunes(run, {});
    ASSERT_TRUE(run.WriteIni(Ini(1, 0).c_str()));
    std::vector<float> aRef = EffectSamples(run, "SWOOSH");
    ASSERT_GT(aRef.size(), kRate / 2) << "no 8-bit SWOOSH among the exe's resources";
    size_t nBefore = rec.Frames();
    ASSERT_TRUE(run.Start());
    std::vector<float> a = Heard(rec, GetTickCount(), 2000);
    a.erase(a.begin(), a.begin() + (ptrdiff_t)nBefore);
    ASSERT_NE(FirstLoud(a, 0), SIZE_MAX) << "nothing was heard";
    auto [dMatch, nAt] = BestMatch(a, aRef);
    RecordProperty("SwooshCorrelation", std::to_string(dMatch));
    printf("SWOOSH: normalised cross-correlation %.3f at %.0f ms\n", dMatch, ToMs(nAt));
    EXPECT_GE(dMatch, 0.9);

    // The effects are 8-bit recordings, and a stream of them that runs dry
    // must end in silence, not in a run of full-scale samples: a new game,
    // then pause on and off, each effect left to end.
    const WPARAM aKey[] = {'N', 'P', 'P', 'P', 'P', 'P', 'P'};
    for (WPARAM vk : aKey) {
        Key(run.Window(), vk);
        PumpFor(900);
    }
    a = Heard(rec, GetTickCount(), 300);
    size_t nRun = LongestFullScaleRun(a, nBefore, a.size());
    printf("effects: the longest run at full scale %zu samples\n", nRun);
    EXPECT_LE(nRun, 2u);
    EXPECT_EQ(run.Close(), 0u);
}

// Music on (the M key): the tune is heard within 300 ms, and it is the tune:
// the recording matches the same synthesizer's rendering of the file.
TEST_F(Audio, MusicStartsPromptlyAndIsTheTune) {
    std::string sTune = TuneFile(kRhythm, 0, 3000);
    GameRun run("audio_tune");
    PutTunes(run, {{"rhythm.mid", sTune}});
    ASSERT_TRUE(run.WriteIni(Ini(0, 0).c_str()));
    ASSERT_TRUE(run.Start());
    PumpFor(1000);
    DWORD dwKey = GetTickCount();
    Key(run.Window(), 'M');
    std::vector<float> a = Heard(rec, dwKey, 3000);
    size_t nKey = rec.FrameAt(dwKey);
    size_t nFirst = FirstLoud(a, nKey, 0.01, nKey + Ms(3000));
    ASSERT_NE(nFirst, SIZE_MAX) << "no music within 3 s of the key";
    double dLatency = ToMs(nFirst - nKey);
    printf("music heard %.0f ms after the key\n", dLatency);
    EXPECT_LE(dLatency, 300.0);

    std::vector<float> aRef = Rendered(sTune, Ms(2500));
    ASSERT_FALSE(aRef.empty());
    std::vector<float> aHeard(a.begin() + (ptrdiff_t)(nFirst - std::min(nFirst, Ms(100))),
                              a.begin() + (ptrdiff_t)std::min(a.size(), nFirst + Ms(2700)));
    auto [dMatch, nAt] = BestMatch(aHeard, aRef);
    printf("the tune: normalised cross-correlation %.3f with its rendering\n", dMatch);
    EXPECT_GE(dMatch, 0.9);
    (void)nAt;
    EXPECT_EQ(run.Close(), 0u);
}

// Hiding (Escape) or minimizing silences the music within 200 ms; restoring
// brings it back; Music off silences it.
TEST_F(Audio, HideMinimizeRestoreAndMusicOff) {
    GameRun run("audio_hide");
    PutTunes(run, {{"chords.mid", TuneFile(HeldChords(), 19, 60000)}});
    ASSERT_TRUE(run.WriteIni(Ini(0, 1).c_str()));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    ASSERT_GE(MsUntilLoud(rec, GetTickCount(), 3000), 0) << "no music at start-up";

    struct Step {
        const char* szName;
        UINT uMsg;
        WPARAM wParam;
        bool bSilences;
    };
    const Step aStep[] = {{"Escape", WM_KEYDOWN, VK_ESCAPE, true},
                          {"restore", WM_SYSCOMMAND, SC_RESTORE, false},
                          {"minimize", WM_SYSCOMMAND, SC_MINIMIZE, true},
                          {"restore", WM_SYSCOMMAND, SC_RESTORE, false},
                          {"Music off", WM_KEYDOWN, 'M', true}};
    for (const Step& s : aStep) {
        SCOPED_TRACE(s.szName);
        PumpFor(500);
        DWORD dwAt = GetTickCount();
        PostMessageA(hwnd, s.uMsg, s.wParam, 0);
        if (s.bSilences) {
            double dMs = MsUntilSilent(rec, dwAt);
            printf("%s: silent after %.0f ms\n", s.szName, dMs);
            EXPECT_GE(dMs, 0.0) << "still heard a second later";
            EXPECT_LE(dMs, 200.0);
        } else {
            double dMs = MsUntilLoud(rec, dwAt, 2000);
            printf("%s: music again after %.0f ms\n", s.szName, dMs);
            EXPECT_GE(dMs, 0.0) << "no music within 2 s";
        }
    }
    EXPECT_EQ(run.Close(), 0u);
}

// A two-second tune ends and the next of the list starts: first one pitch,
// then the other.
TEST_F(Audio, ATuneThatEndsIsFollowedByTheNext) {
    auto Tune = [](int nKey) {
        std::vector<Note> a;
        for (int i = 0; i < 8; i++) a.push_back({i * 250, 200, nKey});
        return TuneFile(a, 73, 2000); // a flute: little above its pitch
    };
    const double dLow = 261.63, dHigh = 369.99; // keys 60 and 66
    GameRun run("audio_next");
    PutTunes(run, {{"low.mid", Tune(60)}, {"high.mid", Tune(66)}});
    ASSERT_TRUE(run.WriteIni(Ini(0, 0).c_str()));
    ASSERT_TRUE(run.Start());
    PumpFor(1000);
    DWORD dwKey = GetTickCount();
    Key(run.Window(), 'M');
    std::vector<float> a = Heard(rec, dwKey, 6000);
    size_t nKey = rec.FrameAt(dwKey);
    size_t nFirst = FirstLoud(a, nKey, 0.01, nKey + Ms(3000));
    ASSERT_NE(nFirst, SIZE_MAX) << "no music";
    // Which pitch sounds, note by note (each note's middle 100 ms).
    auto Pitch = [&](size_t nAt) {
        if (Rms(a, nAt, Ms(100)) < 0.01) return 0;
        return ToneLevel(a, nAt, Ms(100), dLow) > ToneLevel(a, nAt, Ms(100), dHigh) ? 1 : 2;
    };
    int nFirstPitch = Pitch(nFirst + Ms(50));
    ASSERT_NE(nFirstPitch, 0);
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(Pitch(nFirst + Ms(i * 250 + 50)), nFirstPitch) << "note " << i;
    // The next tune begins where the other pitch takes over (50 ms windows;
    // the first tune's last note may still be fading).
    double dFirstHz = nFirstPitch == 1 ? dLow : dHigh, dOtherHz = nFirstPitch == 1 ? dHigh : dLow;
    size_t nNext = SIZE_MAX;
    for (size_t n = nFirst + Ms(1950); n < nFirst + Ms(3500) && nNext == SIZE_MAX; n += Ms(5))
        if (Rms(a, n, Ms(50)) > 0.01 &&
            ToneLevel(a, n, Ms(50), dOtherHz) > 2 * ToneLevel(a, n, Ms(50), dFirstHz))
            nNext = n;
    ASSERT_NE(nNext, SIZE_MAX) << "the other tune did not follow";
    printf("next tune %.0f ms after the first one's end\n", ToMs(nNext - nFirst) - 2000);
    EXPECT_LE(nNext, nFirst + Ms(3000));
    for (int i = 0; i < 8; i++)
        EXPECT_EQ(Pitch(nNext + Ms(i * 250 + 50)), 3 - nFirstPitch) << "next tune's note " << i;
    EXPECT_EQ(run.Close(), 0u);
}

// M thirty times as fast as keys come: the game lives on, the music still
// starts and stops, no note is left sounding and the process has as many
// threads and handles as before.
TEST_F(Audio, MusicKeyThirtyTimesLeavesNothingBehind) {
    GameRun run("audio_thirty");
    PutTunes(run, {{"chords.mid", TuneFile(HeldChords(), 19, 60000)}});
    ASSERT_TRUE(run.WriteIni(Ini(0, 1).c_str()));
    ASSERT_TRUE(run.Start());
    HWND hwnd = run.Window();
    ASSERT_GE(MsUntilLoud(rec, GetTickCount(), 3000), 0) << "no music at start-up";
    // Off once, so that whatever the system keeps after a first use is there.
    DWORD dwAt = GetTickCount();
    Key(hwnd, 'M');
    ASSERT_GE(MsUntilSilent(rec, dwAt), 0);
    Counts before = ProcessCounts(run.ProcessId());
    ASSERT_GT(before.nThreads, 0u);
    ASSERT_GT(before.nHandles, 0u) << "the system gives no handle count";

    for (int i = 0; i < 30; i++) Key(hwnd, 'M');
    PumpFor(2000); // time to take them all
    DWORD_PTR dwResult = 0;
    EXPECT_TRUE(SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000, &dwResult))
        << "the game stopped answering";
    ASSERT_TRUE(run.Running());
    double dMs = MsUntilSilent(rec, GetTickCount());
    EXPECT_GE(dMs, 0.0) << "a note is left sounding";
    EXPECT_LE(dMs, 200.0);
    Counts after;
    EXPECT_TRUE(WaitUntil(
        [&] {
            after = ProcessCounts(run.ProcessId());
            return after == before;
        },
        5000))
        << "threads " << before.nThreads << " -> " << after.nThreads << ", handles "
        << before.nHandles << " -> " << after.nHandles;

    // And the music still plays and stops.
    dwAt = GetTickCount();
    Key(hwnd, 'M');
    dMs = MsUntilLoud(rec, dwAt, 2000);
    EXPECT_GE(dMs, 0.0) << "no music after the thirty keys";
    EXPECT_LE(dMs, 300.0);
    dwAt = GetTickCount();
    Key(hwnd, 'M');
    dMs = MsUntilSilent(rec, dwAt);
    EXPECT_GE(dMs, 0.0);
    EXPECT_LE(dMs, 200.0);
    EXPECT_EQ(run.Close(), 0u);
}

// Music at start-up: its first note is heard within a second of the window,
// and for a minute it is the rendering sample for sample with no skip or gap
// over 5 ms.
TEST_F(Audio, TheTuneStartsAtItsFirstNoteAndPlaysAMinuteWithoutASkip) {
    std::string sTune = TuneFile(HeldChords(), 19, 60000);
    std::vector<float> aRef = Rendered(sTune, Ms(61000));
    ASSERT_FALSE(aRef.empty());
    GameRun run("audio_minute");
    PutTunes(run, {{"chords.mid", sTune}});
    ASSERT_TRUE(run.WriteIni(Ini(0, 1).c_str()));
    size_t nLaunch = rec.Frames();
    ASSERT_TRUE(run.Start());
    DWORD dwShown = GetTickCount();
    std::vector<float> a = Heard(rec, dwShown, 61000);
    size_t nShown = rec.FrameAt(dwShown);
    std::vector<Stretch> aStretch = FollowReference(a, aRef, nLaunch, nShown + Ms(59000), Ms(5000));
    ASSERT_FALSE(aStretch.empty()) << "the tune was not heard";
    const Stretch& first = aStretch.front();
    double dIntoTune = ToMs(first.nAt - (size_t)first.nOffset - FirstLoud(aRef, 0));
    EXPECT_LE(dIntoTune, 20.0) << "the start of the tune was lost";
    EXPECT_LE(first.nAt, nShown + Ms(1000));
    // Every block matched but the one a change of offset falls in, and no
    // change is over 5 ms.
    size_t nBlocks = (nShown + Ms(59000) - first.nAt) / Ms(10), nMatched = 0;
    for (size_t i = 0; i < aStretch.size(); i++) {
        nMatched += aStretch[i].nBlocks;
        long nJump = i ? aStretch[i].nOffset - aStretch[i - 1].nOffset : 0;
        EXPECT_LE(ToMs((size_t)std::labs(nJump)), 5.0)
            << (nJump > 0 ? "gap" : "skip") << " at " << ToMs(aStretch[i].nAt - first.nAt);
    }
    printf("from %.0f ms into the tune; %zu stretches, %zu of %zu blocks matched\n", dIntoTune,
           aStretch.size(), nMatched, nBlocks);
    EXPECT_GE(nMatched + aStretch.size(), nBlocks);
    EXPECT_EQ(run.Close(), 0u);
}
