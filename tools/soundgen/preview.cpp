#include "preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "midi.h"
#include "synth.h"

namespace preview {

namespace {

using namespace snd;

struct Played {
    double on, off;
    int channel, key, velocity, program;
};

// A rough stand-in for each instrument family.
Tone Voice(int program, int key, double amp) {
    Tone t;
    t.f0 = NoteHz(key);
    t.amp = amp;
    t.release = 0.05;
    int family = program / 8;
    switch (family) {
    case 0: // pianos
    case 1: // chromatic percussion
        t.fmRatio = family ? 3.5 : 1.0;
        t.fmIndex = 1.2;
        t.fmDecay = 0.2;
        t.attack = 0.002;
        t.decay = family ? 0.35 : 0.6;
        break;
    case 3: // guitars
        t.wave = kTriangle;
        t.attack = 0.003;
        t.decay = 0.4;
        break;
    case 4: // basses
        t.wave = kTriangle;
        t.attack = 0.005;
        t.decay = 0.5;
        break;
    case 5:  // strings
    case 6:  // ensembles
    case 11: // pads
        t.wave = kSaw;
        t.nMaxHarm = 6;
        t.attack = 0.12;
        t.release = 0.25;
        break;
    case 7: // brass
    case 8: // reeds
        t.wave = kSaw;
        t.nMaxHarm = 8;
        t.attack = 0.03;
        break;
    case 9: // pipes
        t.attack = 0.04;
        t.vibRate = 5;
        t.vibDepth = 0.1;
        break;
    default:
        t.wave = kSquare;
        t.nMaxHarm = 5;
        break;
    }
    return t;
}

void Drum(Sound& s, Rng& rng, double at, int key, double amp) {
    Tone t;
    Noise n;
    n.attack = 0.001;
    n.amp = amp;
    switch (key) {
    case 35:
    case 36:
        t.f0 = 120, t.f1 = 45, t.glide = 0.08, t.decay = 0.12, t.amp = amp;
        AddTone(s, at, 0.3, t);
        return;
    case 45:
    case 47:
    case 48:
    case 50:
        t.f0 = NoteHz(key + 12), t.f1 = t.f0 * 0.7, t.decay = 0.15, t.amp = amp;
        AddTone(s, at, 0.35, t);
        return;
    case 37: n.cut0 = n.cut1 = 1800, n.q = 0.4, n.decay = 0.02; break;
    case 38: n.cut0 = n.cut1 = 1500, n.q = 1.5, n.decay = 0.08; break;
    case 49: n.filter = kHighPass, n.cut0 = n.cut1 = 4000, n.decay = 0.7; break;
    default: n.filter = kHighPass, n.cut0 = n.cut1 = 7000, n.decay = 0.03; break;
    }
    AddNoise(s, rng, at, n.decay * 4 + 0.01, n);
}

} // namespace

int Render(const std::string& midPath, const std::string& wavPath, double seconds) {
    std::ifstream in(midPath, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    midi::Parsed p = midi::Parse(bytes);
    if (!p.szError.empty()) {
        std::fprintf(stderr, "%s: %s\n", midPath.c_str(), p.szError.c_str());
        return 1;
    }
    std::vector<Played> notes;
    int program[16] = {0};
    double end = 0;
    for (const auto& track : p.aTrack) {
        std::vector<Played> open;
        for (const midi::ParsedEvent& e : track) {
            double t = midi::TickSeconds(p, e.nTick);
            end = std::max(end, t);
            int kind = e.nStatus & 0xF0, ch = e.nStatus & 0x0F;
            if (kind == 0xC0) program[ch] = e.aData[0];
            bool on = kind == 0x90 && e.aData[1] > 0;
            bool off = kind == 0x80 || (kind == 0x90 && e.aData[1] == 0);
            if (on) open.push_back({t, t, ch, e.aData[0], e.aData[1], program[ch]});
            if (off)
                for (size_t i = 0; i < open.size(); ++i)
                    if (open[i].channel == ch && open[i].key == e.aData[0]) {
                        open[i].off = t;
                        notes.push_back(open[i]);
                        open.erase(open.begin() + long(i));
                        break;
                    }
        }
    }
    if (seconds <= 0 || seconds > end) seconds = end;
    Sound s(22050, 1, seconds + 1.0);
    Rng rng(12345);
    for (const Played& n : notes) {
        if (n.on >= seconds) continue;
        double amp = n.velocity / 127.0 * 0.25;
        if (n.channel == 9) {
            Drum(s, rng, n.on, n.key, amp);
            continue;
        }
        Tone t = Voice(n.program, n.key, amp);
        AddTone(s, n.on, std::min(n.off, seconds) - n.on + t.release, t);
    }
    double top = 0;
    for (float v : s.aLeft) top = std::max(top, double(std::fabs(v)));
    // Loudness profile: RMS of every second, relative to the loudest.
    std::vector<double> rms;
    for (int i0 = 0; i0 + s.nRate <= s.Frames(); i0 += s.nRate) {
        double sum = 0;
        for (int i = i0; i < i0 + s.nRate; ++i) sum += double(s.aLeft[i]) * s.aLeft[i];
        rms.push_back(std::sqrt(sum / s.nRate));
    }
    double loud = *std::max_element(rms.begin(), rms.end());
    std::printf("%s: %zu notes, %.1f s, raw peak %.2f\n", midPath.c_str(), notes.size(), end, top);
    std::printf("loudness by second (%% of loudest):");
    for (size_t i = 0; i < rms.size(); ++i)
        std::printf("%s%3.0f", i % 20 ? " " : "\n ", loud > 0 ? 100 * rms[i] / loud : 0.0);
    std::printf("\n");
    Normalize(s, 0.9);
    return WriteFile(wavPath, WavBytes(s)) ? 0 : 1;
}

} // namespace preview
