#include "preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio/smf.h"
#include "audio/synth.h"
#include "synth.h"

namespace preview {

namespace {

// The file read by the game's own reader; 0 when it refuses it.
bool ReadSong(const std::string& midPath, std::vector<uint8_t>& bytes, SmfSong* pSong) {
    std::ifstream in(midPath, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    const uint8_t* p;
    size_t n;
    if (bytes.empty() || SmfFind(bytes.data(), bytes.size(), &p, &n) != 1 ||
        !SmfRead(p, n, pSong)) {
        std::fprintf(stderr, "%s: not a MIDI file the game can play\n", midPath.c_str());
        return false;
    }
    return true;
}

// The whole song through the game's synthesizer, and a second of its tail.
std::vector<int16_t> RenderSong(const SmfSong& song, double seconds) {
    uint32_t nFrames = song.nEndFrame + SYNTH_RATE;
    if (seconds > 0) nFrames = std::min<uint32_t>(nFrames, uint32_t(seconds * double(SYNTH_RATE)));
    std::vector<int16_t> out(size_t(nFrames) * 2);
    static SynthPlayer player;
    SynthPlayerStart(&player, &song);
    SynthPlayerRender(&player, out.data(), int(nFrames));
    return out;
}

std::vector<uint8_t> Wav16(const std::vector<int16_t>& s) {
    std::vector<uint8_t> v;
    auto le = [&v](uint32_t n, int bytes) {
        for (int i = 0; i < bytes; ++i) v.push_back(uint8_t(n >> (8 * i)));
    };
    auto tag = [&v](const char* sz) {
        for (int i = 0; i < 4; ++i) v.push_back(uint8_t(sz[i]));
    };
    uint32_t data = uint32_t(s.size() * 2);
    tag("RIFF");
    le(36 + data, 4);
    tag("WAVE");
    tag("fmt ");
    le(16, 4);
    le(1, 2); // PCM
    le(2, 2); // stereo
    le(SYNTH_RATE, 4);
    le(SYNTH_RATE * 4, 4);
    le(4, 2);
    le(16, 2);
    tag("data");
    le(data, 4);
    for (int16_t x : s) le(uint16_t(x), 2);
    return v;
}

} // namespace

int Render(const std::string& midPath, const std::string& wavPath, double seconds) {
    std::vector<uint8_t> bytes;
    SmfSong song;
    if (!ReadSong(midPath, bytes, &song)) return 1;
    std::vector<int16_t> s = RenderSong(song, seconds);
    double top = 0;
    for (int16_t v : s) top = std::max(top, std::fabs(v / 32768.0));
    // Loudness profile: RMS of every second, relative to the loudest.
    std::vector<double> rms;
    for (size_t i0 = 0; i0 + 2 * SYNTH_RATE <= s.size(); i0 += 2 * SYNTH_RATE) {
        double sum = 0;
        for (size_t i = i0; i < i0 + 2 * SYNTH_RATE; ++i) sum += double(s[i]) * s[i];
        rms.push_back(std::sqrt(sum / (2 * SYNTH_RATE)) / 32768.0);
    }
    double loud = rms.empty() ? 0 : *std::max_element(rms.begin(), rms.end());
    std::printf("%s: %d events, %.1f s, peak %.2f, loudest second RMS %.3f\n", midPath.c_str(),
                song.nEvents, song.nEndFrame / double(SYNTH_RATE), top, loud);
    std::printf("loudness by second (%% of loudest):");
    for (size_t i = 0; i < rms.size(); ++i)
        std::printf("%s%3.0f", i % 20 ? " " : "\n ", loud > 0 ? 100 * rms[i] / loud : 0.0);
    std::printf("\n");
    SmfFree(&song);
    return snd::WriteFile(wavPath, Wav16(s)) ? 0 : 1;
}

int Bench(const std::vector<std::string>& midPaths) {
    int nFailed = 0;
    for (const std::string& path : midPaths) {
        std::vector<uint8_t> bytes;
        SmfSong song;
        if (!ReadSong(path, bytes, &song)) {
            nFailed++;
            continue;
        }
        // The processor time of this thread alone, the best of three runs:
        // on a shared machine the clock on the wall also counts the others.
        double best = 1e9;
        for (int run = 0; run < 3; ++run) {
            std::clock_t t0 = std::clock();
            std::vector<int16_t> s = RenderSong(song, 0);
            best = std::min(best, double(std::clock() - t0) / CLOCKS_PER_SEC);
        }
        double length = (song.nEndFrame + SYNTH_RATE) / double(SYNTH_RATE);
        std::printf("%-28s %6.1f s of music in %6.3f s: %5.0f times real time\n",
                    path.substr(path.find_last_of("/\\") + 1).c_str(), length, best, length / best);
        SmfFree(&song);
    }
    return nFailed ? 1 : 0;
}

} // namespace preview
