// Checks the sound effects that soundgen wrote into the asset directory: the
// resource script fragment, every WAV's format and length, their levels, and
// that each one sounds like its event (measured, not listened to).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

#include <unistd.h>

#include "tools/soundgen/effect_table.h"

namespace fs = std::filesystem;

// Found by argument-dependent lookup, so beside the table's type.
static void PrintTo(const SoundEffectFormat& r, std::ostream* os) {
    *os << r.szName;
}

namespace {

using EffectRow = SoundEffectFormat;

const auto& aEffectRow = kSoundEffects;

std::vector<uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

uint32_t Le16(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}
uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return Le16(b, at) | Le16(b, at + 2) << 16;
}

// A WAV file taken apart; szError says what was wrong with it, if anything.
struct Wav {
    std::string szError;
    int nFormat = 0, nChannels = 0, nRate = 0, nByteRate = 0, nBlockAlign = 0, nBits = 0;
    std::vector<std::vector<int>> aChannel; // samples minus 128, per channel
    double Seconds() const { return aChannel.empty() ? 0 : double(aChannel[0].size()) / nRate; }
};

Wav ReadWav(const fs::path& path) {
    Wav w;
    std::vector<uint8_t> b = ReadBytes(path);
    auto tag = [&](size_t at) {
        return std::string(b.begin() + long(at), b.begin() + long(at) + 4);
    };
    if (b.size() < 12 || tag(0) != "RIFF" || tag(8) != "WAVE") {
        w.szError = "not a RIFF WAVE file";
        return w;
    }
    if (Le32(b, 4) != b.size() - 8) {
        w.szError = "RIFF size " + std::to_string(Le32(b, 4)) + " for a file of " +
                    std::to_string(b.size());
        return w;
    }
    bool haveFmt = false, haveData = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        std::string id = tag(at);
        size_t len = Le32(b, at + 4), body = at + 8;
        if (body + len > b.size()) {
            w.szError = "chunk " + id + " runs past the end";
            return w;
        }
        if (id == "fmt " && len >= 16) {
            haveFmt = true;
            w.nFormat = int(Le16(b, body));
            w.nChannels = int(Le16(b, body + 2));
            w.nRate = int(Le32(b, body + 4));
            w.nByteRate = int(Le32(b, body + 8));
            w.nBlockAlign = int(Le16(b, body + 12));
            w.nBits = int(Le16(b, body + 14));
        } else if (id == "data" && haveFmt && w.nChannels > 0) {
            haveData = true;
            w.aChannel.assign(size_t(w.nChannels), {});
            for (size_t i = 0; i + size_t(w.nChannels) <= len; i += size_t(w.nChannels))
                for (int c = 0; c < w.nChannels; ++c)
                    w.aChannel[size_t(c)].push_back(int(b[body + i + size_t(c)]) - 128);
        }
        at = body + len + (len & 1);
    }
    if (!haveFmt || !haveData) w.szError = "fmt or data chunk missing";
    return w;
}

fs::path AssetDir() {
    return fs::path(QUARRION_ASSET_DIR);
}

const Wav& Effect(const std::string& name) {
    static std::map<std::string, Wav> cache;
    auto it = cache.find(name);
    if (it == cache.end()) it = cache.emplace(name, ReadWav(AssetDir() / (name + ".wav"))).first;
    return it->second;
}

int Peak(const Wav& w) {
    int top = 0;
    for (const auto& ch : w.aChannel)
        for (int v : ch) top = std::max(top, std::abs(v));
    return top;
}

// Zero crossings per second of channel 0 between two fractions of its length:
// a rough measure of pitch and brightness.
double CrossingRate(const Wav& w, double from = 0, double to = 1) {
    const std::vector<int>& s = w.aChannel[0];
    size_t a = size_t(from * double(s.size())), b = size_t(to * double(s.size()));
    int crossings = 0, last = 0;
    for (size_t i = a; i < b; ++i) {
        int sign = s[i] > 1 ? 1 : s[i] < -1 ? -1 : 0; // ignore the quantisation hiss
        if (sign && last && sign != last) ++crossings;
        if (sign) last = sign;
    }
    return crossings / (double(b - a) / w.nRate);
}

double Rms(const Wav& w, double from, double to) {
    const std::vector<int>& s = w.aChannel[0];
    size_t a = size_t(from * double(s.size())), b = size_t(to * double(s.size()));
    double sum = 0;
    for (size_t i = a; i < b; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(std::max<size_t>(1, b - a)));
}

// --- The resource script fragment ---------------------------------------------------

TEST(SoundResources, FragmentNamesEveryEffectOnceByAbsolutePath) {
    std::ifstream in(AssetDir() / "soundgen.rc");
    ASSERT_TRUE(in) << "soundgen.rc missing";
    std::regex row(R"(^\s*([A-Z0-9_]+)\s+SOUND\s+\"([^\"]+)\"\s*$)");
    std::map<std::string, int> count;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.rfind("//", 0) == 0) continue;
        std::smatch m;
        ASSERT_TRUE(std::regex_match(line, m, row)) << "unexpected line: " << line;
        std::string name = m[1], path = m[2];
        count[name]++;
        EXPECT_EQ(path.find('\\'), std::string::npos) << path;
        EXPECT_TRUE(fs::path(path).is_absolute()) << path;
        EXPECT_EQ(fs::path(path).filename().string(), name + ".wav");
        EXPECT_TRUE(fs::exists(path)) << path;
    }
    EXPECT_EQ(count.size(), std::size(aEffectRow));
    for (const EffectRow& r : aEffectRow) EXPECT_EQ(count[r.szName], 1) << r.szName;
}

// --- Every effect ---------------------------------------------------------------------

class EffectFile : public ::testing::TestWithParam<EffectRow> {};

TEST_P(EffectFile, IsEightBitPcmOfTheTablesFormatAndLength) {
    const EffectRow& r = GetParam();
    const Wav& w = Effect(r.szName);
    ASSERT_EQ(w.szError, "") << r.szName;
    EXPECT_EQ(w.nFormat, 1) << "PCM";
    EXPECT_EQ(w.nBits, 8);
    EXPECT_EQ(w.nChannels, r.nChannels);
    EXPECT_EQ(w.nRate, r.nRate);
    EXPECT_EQ(w.nBlockAlign, r.nChannels);
    EXPECT_EQ(w.nByteRate, r.nRate * r.nChannels);
    EXPECT_NEAR(w.Seconds(), r.seconds, r.seconds * 0.10);
}

TEST_P(EffectFile, NeverClipsAndStartsAndEndsQuietly) {
    const EffectRow& r = GetParam();
    const Wav& w = Effect(r.szName);
    ASSERT_EQ(w.szError, "");
    for (const auto& ch : w.aChannel) {
        ASSERT_GT(ch.size(), 10u);
        int run = 0, longest = 0;
        for (int v : ch) {
            run = (v == -128 || v == 127) ? run + 1 : 0;
            longest = std::max(longest, run);
        }
        EXPECT_LT(longest, 2) << "samples stuck at the rails";
        EXPECT_LE(std::abs(ch.front()), 4) << "click at the start";
        EXPECT_LE(std::abs(ch.back()), 4) << "click at the end";
    }
}

INSTANTIATE_TEST_SUITE_P(AllEffects, EffectFile, ::testing::ValuesIn(aEffectRow),
                         [](const ::testing::TestParamInfo<EffectRow>& i) {
                             return std::string(i.param.szName);
                         });

TEST(SoundLevels, EveryEffectPeaksAtAboutTheSameLevel) {
    int lo = 1000, hi = 0;
    for (const EffectRow& r : aEffectRow) {
        int peak = Peak(Effect(r.szName));
        EXPECT_GE(peak, 44) << r.szName << " is too quiet";
        EXPECT_LE(peak, 52) << r.szName << " is too loud"; // with the music, under full scale
        lo = std::min(lo, peak);
        hi = std::max(hi, peak);
    }
    EXPECT_LE(hi - lo, 6) << "peaks differ by more than about 1 dB";
}

TEST(SoundLevels, StereoEffectsUseBothSides) {
    for (const EffectRow& r : aEffectRow) {
        if (r.nChannels != 2) continue;
        const Wav& w = Effect(r.szName);
        ASSERT_EQ(w.szError, "") << r.szName;
        long diff = 0;
        for (size_t i = 0; i < w.aChannel[0].size(); ++i)
            diff += std::abs(w.aChannel[0][i] - w.aChannel[1][i]);
        // Half a step a sample on average, at the effects' peak of about 49 steps.
        EXPECT_GT(2 * diff, long(w.aChannel[0].size())) << r.szName << ": left and right the same";
    }
}

// --- Each effect fits its event ---------------------------------------------------

TEST(SoundCharacter, ScoreChimesRiseInPitchAndLengthWithThePoints) {
    const char* names[] = {"SCORE1", "SCORE2", "SCORE3", "SCORE4", "SCORE5"};
    for (int k = 1; k < 5; ++k) {
        const Wav& a = Effect(names[k - 1]);
        const Wav& b = Effect(names[k]);
        EXPECT_GT(b.Seconds(), a.Seconds()) << names[k];
        EXPECT_GT(CrossingRate(b), CrossingRate(a) * 1.05) << names[k] << " not brighter";
    }
}

TEST(SoundCharacter, FallingWhistleFallsAndFlourishesRise) {
    const Wav& fall = Effect("FALLING");
    EXPECT_GT(CrossingRate(fall, 0.05, 0.25), 3 * CrossingRate(fall, 0.7, 0.9));
    for (const char* up : {"NEXTLEVEL", "ROTATE", "WARP"}) {
        const Wav& w = Effect(up);
        EXPECT_GT(CrossingRate(w, 0.5, 0.9), 1.3 * CrossingRate(w, 0.05, 0.45)) << up;
    }
}

TEST(SoundCharacter, ButtonClickIsAShortTick) {
    const Wav& w = Effect("BUTTONCLICK");
    const std::vector<int>& s = w.aChannel[0];
    double total = 0, early = 0;
    size_t cut = size_t(0.03 * w.nRate);
    for (size_t i = 0; i < s.size(); ++i) {
        total += double(s[i]) * s[i];
        if (i < cut) early += double(s[i]) * s[i];
    }
    EXPECT_GT(early, 0.9 * total) << "most of a click's energy lies in its first 30 ms";
}

TEST(SoundCharacter, ApplauseIsNoiseThatSwellsAndDiesAway) {
    const Wav& w = Effect("APPLAUSE");
    // Noise crosses zero far more often than any tune of the other effects.
    EXPECT_GT(CrossingRate(w, 0.2, 0.6), 1500);
    double start = Rms(w, 0, 0.05), middle = Rms(w, 0.2, 0.6), end = Rms(w, 0.95, 1);
    EXPECT_GT(middle, 2 * start);
    EXPECT_GT(middle, 3 * end);
}

TEST(SoundCharacter, BoingWobblesInPitch) {
    const Wav& w = Effect("BOING");
    // Over its first part the spring's pitch swings up and down several times.
    std::vector<double> rate;
    for (int k = 0; k < 12; ++k) rate.push_back(CrossingRate(w, k * 0.04, k * 0.04 + 0.04));
    int turns = 0;
    for (size_t k = 2; k < rate.size(); ++k)
        if ((rate[k] - rate[k - 1]) * (rate[k - 1] - rate[k - 2]) < 0) ++turns;
    EXPECT_GE(turns, 3);
}

TEST(SoundCharacter, LongEffectsKeepSoundingToNearTheirEnd) {
    // A jingle that went silent early would leave a gap before the next event.
    for (const char* name : {"CLEARSCORES", "LEVELOVER", "GAMEOVER", "GAMEWON", "NEWSCORE"}) {
        const Wav& w = Effect(name);
        EXPECT_GT(Rms(w, 0.75, 0.85), 1.0) << name;
    }
}

// --- Determinism -----------------------------------------------------------------------

TEST(SoundGenerator, WritesTheSameBytesOnEveryRun) {
    fs::path tool = fs::path(QUARRION_BINARY_DIR) / "tools" / "soundgen" / "soundgen";
    ASSERT_TRUE(fs::exists(tool));
    fs::path dir = fs::temp_directory_path() / ("soundgen_again_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    std::string cmd = "\"" + tool.string() + "\" \"" + dir.string() + "\"";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    int compared = 0;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir)) {
        if (!e.is_regular_file()) continue;
        std::string ext = e.path().extension().string();
        if (ext != ".wav" && ext != ".mid") continue;
        fs::path twin = AssetDir() / fs::relative(e.path(), dir);
        EXPECT_TRUE(ReadBytes(e.path()) == ReadBytes(twin)) << twin << " differs";
        ++compared;
    }
    EXPECT_GE(compared, int(std::size(aEffectRow)) + 4);
    fs::remove_all(dir);
}

} // namespace
