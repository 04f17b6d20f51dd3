#include "effects.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace snd {

namespace {

// A struck bell or mallet: FM with a decaying index.
Tone Bell(double note, double amp, double pan, double decay, double index = 1.5,
          double ratio = 1.0) {
    Tone t;
    t.f0 = NoteHz(note);
    t.fmRatio = ratio;
    t.fmIndex = index;
    t.fmDecay = decay * 0.6;
    t.attack = 0.002;
    t.decay = decay;
    t.release = 0.03;
    t.amp = amp;
    t.pan = pan;
    return t;
}

// A soft chip-like lead: a square with few harmonics.
Tone Blip(double note, double amp, double pan, int harm = 5) {
    Tone t;
    t.f0 = NoteHz(note);
    t.wave = kSquare;
    t.nMaxHarm = harm;
    t.attack = 0.004;
    t.decay = 0.12;
    t.release = 0.025;
    t.amp = amp;
    t.pan = pan;
    return t;
}

// A brassy voice: a sawtooth with a slow attack and delayed vibrato.
Tone Brass(double note, double amp, double pan, int harm = 12) {
    Tone t;
    t.f0 = NoteHz(note);
    t.wave = kSaw;
    t.nMaxHarm = harm;
    t.attack = 0.025;
    t.release = 0.06;
    t.amp = amp;
    t.pan = pan;
    t.vibRate = 5.5;
    t.vibDepth = 0.18;
    t.vibDelay = 0.18;
    return t;
}

// Filtered noise rising and falling like air rushing past.
void MakeSwoosh(Sound& s, Rng& rng) {
    double dur = s.Frames() / double(s.nRate);
    Svf band, body;
    for (int i = 0; i < s.Frames(); ++i) {
        double t = i / double(s.nRate);
        double x = t / dur;
        double env = std::pow(std::sin(kPi * std::pow(x, 0.8)), 2.0);
        double cut = 350 + 3200 * env;
        double w = rng.Bipolar(), lo, bp;
        band.Run(w, cut, 0.7, s.nRate, nullptr, &bp, nullptr);
        body.Run(w, 250 + 500 * env, 1.2, s.nRate, &lo, nullptr, nullptr);
        s.Add(i, env * (bp * 0.9 + lo * 0.6));
    }
}

// A bright ascending arpeggio, notes alternating left and right.
void MakeNewGame(Sound& s, Rng&) {
    const double notes[] = {72, 76, 79, 84};
    for (int k = 0; k < 4; ++k) {
        double start = 0.075 * k;
        double dur = k == 3 ? 0.52 - start : 0.22;
        AddTone(s, start, dur, Bell(notes[k], 0.8, k % 2 ? 0.45 : -0.45, 0.14 + 0.05 * k, 1.8));
        AddTone(s, start, dur, Bell(notes[k] + 12, 0.25, k % 2 ? -0.3 : 0.3, 0.08, 0.8, 2.0));
    }
}

// A rising, wobbling sci-fi sweep that travels across the stereo field.
void MakeWarp(Sound& s, Rng& rng) {
    Tone t;
    t.f0 = 140;
    t.f1 = 1900;
    t.glide = 0.72;
    t.wave = kTriangle;
    t.fmRatio = 0.5;
    t.fmIndex = 2.2;
    t.fmDecay = 0.6;
    t.attack = 0.04;
    t.release = 0.22;
    t.vibRate = 17;
    t.vibDepth = 0.6;
    t.amp = 0.7;
    t.pan = -0.5;
    AddTone(s, 0, 0.88, t);
    t.f0 *= 1.5;
    t.f1 *= 1.5 * 1.01;
    t.amp = 0.4;
    t.pan = 0.5;
    t.vibRate = 13;
    AddTone(s, 0.03, 0.85, t);
    Noise n;
    n.cut0 = 400;
    n.cut1 = 5000;
    n.q = 0.5;
    n.attack = 0.3;
    n.release = 0.4;
    n.amp = 0.3;
    n.pan0 = -0.8;
    n.pan1 = 0.8;
    AddNoise(s, rng, 0, 0.88, n);
}

// A descending cascade over a falling noise wipe, closed by a soft chord.
void MakeClearScores(Sound& s, Rng& rng) {
    const int pent[] = {0, 2, 4, 7, 9};
    for (int k = 0; k < 16; ++k) {
        int step = 15 - k;
        double note = 60 + 12 * (step / 5) + pent[step % 5] - 4;
        Tone t;
        t.f0 = NoteHz(note);
        t.wave = kTriangle;
        t.attack = 0.003;
        t.decay = 0.09;
        t.release = 0.05;
        t.amp = 0.55;
        AddTone(s, 0.1 * k, 0.3, t);
    }
    Noise n;
    n.filter = kLowPass;
    n.cut0 = 3000;
    n.cut1 = 180;
    n.q = 0.8;
    n.attack = 0.2;
    n.release = 0.5;
    n.amp = 0.35;
    AddNoise(s, rng, 0, 1.9, n);
    const double chord[] = {48, 55, 60, 64};
    for (double note : chord) {
        Tone t = Bell(note, 0.3, 0, 0.45, 0.9);
        t.attack = 0.01;
        t.release = 0.3;
        AddTone(s, 1.65, 0.88, t);
    }
}

// A short dry tick.
void MakeButtonClick(Sound& s, Rng& rng) {
    Noise n;
    n.filter = kHighPass;
    n.cut0 = n.cut1 = 2500;
    n.q = 1.0;
    n.attack = 0.0005;
    n.decay = 0.003;
    n.release = 0.005;
    n.amp = 0.9;
    n.pan0 = -0.4;
    n.pan1 = 0.4;
    AddNoise(s, rng, 0, 0.02, n);
    Tone t;
    t.f0 = 1900;
    t.attack = 0.0005;
    t.decay = 0.007;
    t.release = 0.01;
    t.amp = 0.6;
    t.pan = -0.35;
    AddTone(s, 0, 0.06, t);
    t.f0 = 950;
    t.decay = 0.013;
    t.amp = 0.35;
    t.pan = 0.35;
    AddTone(s, 0.001, 0.09, t);
}

// Two blips, down: the game holds its breath.
void MakePauseOn(Sound& s, Rng&) {
    AddTone(s, 0, 0.11, Blip(79, 0.7, -0.2));
    AddTone(s, 0.09, 0.14, Blip(72, 0.7, 0.2));
}

// Three blips, up: play goes on.
void MakePauseOff(Sound& s, Rng&) {
    AddTone(s, 0, 0.12, Blip(72, 0.7, -0.3));
    AddTone(s, 0.1, 0.12, Blip(79, 0.7, 0.3));
    Tone t = Blip(84, 0.75, 0);
    t.decay = 0.16;
    AddTone(s, 0.2, 0.29, t);
}

// A soft woody plop with a small bounce.
void MakeCaught(Sound& s, Rng&) {
    for (int k = 0; k < 2; ++k) {
        double start = k * 0.13, amp = k ? 0.4 : 1.0;
        Tone t;
        t.f0 = 560;
        t.f1 = 250;
        t.glide = 0.06;
        t.attack = 0.002;
        t.decay = 0.07;
        t.release = 0.04;
        t.amp = 0.8 * amp;
        t.pan = k ? 0.25 : -0.1;
        AddTone(s, start, 0.23, t);
        Tone knock;
        knock.f0 = 1050;
        knock.fmRatio = 3.5;
        knock.fmIndex = 1.2;
        knock.fmDecay = 0.01;
        knock.attack = 0.001;
        knock.decay = 0.018;
        knock.release = 0.02;
        knock.amp = 0.35 * amp;
        knock.pan = t.pan;
        AddTone(s, start, 0.08, knock);
    }
}

// A twanging spring: the pitch bounces up and down and settles.
void MakeBoing(Sound& s, Rng&) {
    double phase = 0, rate = s.nRate, dur = s.Frames() / rate;
    for (int i = 0; i < s.Frames(); ++i) {
        double t = i / rate;
        double bend = 0.75 * std::exp(-t / 0.16) * std::sin(2 * kPi * 10.5 * t) + 0.35 * t;
        double f = 190 * std::pow(2.0, bend);
        phase += 2 * kPi * f / rate;
        double index = 2.6 * std::exp(-t / 0.12) + 0.4;
        double env = std::min(1.0, t / 0.003) * std::exp(-t / 0.14);
        double left = dur - t;
        if (left < 0.05) env *= left / 0.05;
        s.Add(i, env * std::sin(phase + index * std::sin(phase)));
    }
}

// A whistle falling away, with a little breath.
void MakeFalling(Sound& s, Rng& rng) {
    Tone t;
    t.f0 = 2100;
    t.f1 = 260;
    t.glide = 0.92;
    t.attack = 0.03;
    t.release = 0.14;
    t.vibRate = 6;
    t.vibDepth = 0.2;
    t.vibDelay = 0.05;
    t.amp = 0.8;
    AddTone(s, 0, 0.97, t);
    Tone h = t;
    h.f0 *= 2;
    h.f1 *= 2;
    h.amp = 0.08;
    AddTone(s, 0, 0.97, h);
    Noise n;
    n.cut0 = 2100;
    n.cut1 = 260;
    n.q = 0.3;
    n.attack = 0.03;
    n.release = 0.2;
    n.amp = 0.12;
    AddNoise(s, rng, 0, 0.97, n);
}

// A quick upward zip.
void MakeRotate(Sound& s, Rng&) {
    Tone t;
    t.f0 = 520;
    t.f1 = 1500;
    t.glide = 0.07;
    t.wave = kTriangle;
    t.attack = 0.003;
    t.decay = 0.05;
    t.release = 0.02;
    AddTone(s, 0, 0.09, t);
}

// A short drop followed by a thump as the tile lands in its bin.
void MakeDropped(Sound& s, Rng& rng) {
    Tone whoop;
    whoop.f0 = 900;
    whoop.f1 = 320;
    whoop.wave = kTriangle;
    whoop.attack = 0.003;
    whoop.release = 0.02;
    whoop.amp = 0.45;
    whoop.pan = -0.2;
    AddTone(s, 0, 0.08, whoop);
    Tone thump;
    thump.f0 = 150;
    thump.f1 = 58;
    thump.glide = 0.12;
    thump.attack = 0.002;
    thump.decay = 0.09;
    thump.release = 0.08;
    thump.amp = 1.0;
    AddTone(s, 0.075, 0.36, thump);
    Noise n;
    n.filter = kLowPass;
    n.cut0 = 1400;
    n.cut1 = 300;
    n.q = 1.0;
    n.attack = 0.001;
    n.decay = 0.03;
    n.release = 0.05;
    n.amp = 0.6;
    n.pan0 = 0.2;
    n.pan1 = 0.2;
    AddNoise(s, rng, 0.075, 0.2, n);
    Tone knock = Bell(81, 0.25, 0.3, 0.03, 1.0, 3.1);
    AddTone(s, 0.075, 0.1, knock);
}

// A low, beating buzzer saying no twice.
void MakeCannotDrop(Sound& s, Rng&) {
    const double freq[] = {196, 174.6};
    const double start[] = {0, 0.17};
    for (int k = 0; k < 2; ++k) {
        for (int side = -1; side <= 1; side += 2) {
            Tone t;
            t.f0 = freq[k] + side * 2.5;
            t.wave = kSaw;
            t.nMaxHarm = 18;
            t.attack = 0.006;
            t.release = 0.035;
            t.amp = 0.5;
            t.pan = side * 0.5;
            AddTone(s, start[k], 0.155, t);
        }
    }
}

// Score chimes: higher, longer and richer with more points.
void MakeScore(Sound& s, int level) {
    const int arp[] = {0, 4, 7, 12, 16, 19};
    const int base[] = {72, 74, 76, 79, 81};
    double dur = s.Frames() / double(s.nRate);
    int notes = level + 1;
    double step = 0.055;
    double index = 0.5 + 0.55 * level;
    for (int k = 0; k < notes; ++k) {
        double start = step * k;
        double note = base[level - 1] + arp[k];
        double len = k == notes - 1 ? dur - start : std::min(0.25, dur - start);
        double pan = (k % 2 ? 0.35 : -0.35) * (level > 1 ? 1.0 : 0.6);
        AddTone(s, start, len, Bell(note, 0.7, pan, 0.1 + 0.03 * level, index));
        if (level >= 3)
            AddTone(s, start, len, Bell(note + 12, 0.12 * (level - 2), -pan, 0.08, 1.0, 2.0));
    }
}
void MakeScore1(Sound& s, Rng&) {
    MakeScore(s, 1);
}
void MakeScore2(Sound& s, Rng&) {
    MakeScore(s, 2);
}
void MakeScore3(Sound& s, Rng&) {
    MakeScore(s, 3);
}
void MakeScore4(Sound& s, Rng&) {
    MakeScore(s, 4);
}
void MakeScore5(Sound& s, Rng& rng) {
    MakeScore(s, 5);
    Noise sparkle;
    sparkle.filter = kHighPass;
    sparkle.cut0 = sparkle.cut1 = 6000;
    sparkle.q = 1.0;
    sparkle.attack = 0.05;
    sparkle.release = 0.3;
    sparkle.amp = 0.1;
    sparkle.pan0 = -0.6;
    sparkle.pan1 = 0.6;
    AddNoise(s, rng, 0.15, 0.56, sparkle);
}

// The level is done: a short brass fanfare over a major chord.
void MakeLevelOver(Sound& s, Rng&) {
    struct Note {
        double start, len, note;
    };
    const Note tune[] = {{0.0, 0.16, 67}, {0.15, 0.16, 72}, {0.3, 0.16, 76}, {0.45, 0.34, 79},
                         {0.8, 0.16, 76}, {0.95, 0.16, 79}, {1.1, 1.01, 84}};
    for (const Note& n : tune) AddTone(s, n.start, n.len, Brass(n.note, 0.6, -0.25, 4));
    const double chord[] = {60, 64, 67};
    for (double c : chord) {
        Tone t = Brass(c, 0.25, 0.35, 5);
        t.attack = 0.06;
        t.release = 0.4;
        AddTone(s, 1.1, 1.01, t);
    }
    const double bass[] = {48, 43, 48};
    for (int k = 0; k < 3; ++k) {
        Tone t = Brass(bass[k], 0.4, 0, 10);
        t.vibDepth = 0;
        AddTone(s, k * 0.45 + (k == 2 ? 0.2 : 0), k == 2 ? 1.36 : 0.4, t);
    }
}

// A quick rising run of bells, up into the next level.
void MakeNextLevel(Sound& s, Rng& rng) {
    const int pent[] = {0, 2, 4, 7, 9};
    for (int k = 0; k < 9; ++k) {
        double note = 72 + 12 * (k / 5) + pent[k % 5];
        double start = 0.035 * k;
        double len = k == 8 ? 0.48 - start : 0.15;
        AddTone(s, start, len, Bell(note, 0.6, 0, k == 8 ? 0.16 : 0.06, 1.2));
    }
    Noise n;
    n.cut0 = 800;
    n.cut1 = 4500;
    n.q = 0.6;
    n.attack = 0.1;
    n.release = 0.15;
    n.amp = 0.15;
    AddNoise(s, rng, 0, 0.35, n);
}

// Four sagging notes of a muted horn, the last one wavering away.
void MakeGameOver(Sound& s, Rng&) {
    const double notes[] = {67, 66, 65, 64};
    double rate = s.nRate;
    for (int k = 0; k < 4; ++k) {
        double start = 0.32 * k, len = k == 3 ? 1.6 - start : 0.3;
        int i0 = int(std::lround(start * rate)), n = int(std::lround(len * rate));
        double phase = 0;
        Svf wah;
        for (int i = 0; i < n; ++i) {
            double t = i / rate;
            double f = NoteHz(notes[k]);
            if (k == 3) f *= std::pow(2.0, 0.3 / 12 * std::sin(2 * kPi * 4.5 * t) * (t > 0.1));
            phase += 2 * kPi * f / rate;
            double open = std::sin(kPi * std::min(1.0, t / std::min(len, 0.3)));
            double env = std::min(1.0, t / 0.02) * std::min(1.0, (len - t) / 0.06);
            if (k == 3) env *= std::exp(-t / 0.5);
            double lo;
            wah.Run(WaveSample(kSaw, phase, f, rate), 300 + 1500 * open, 0.5, rate, &lo, nullptr,
                    nullptr);
            s.Add(i0 + i, lo * env);
        }
    }
}

// The whole game is won: a fanfare with full chords, bells and a cymbal.
void MakeGameWon(Sound& s, Rng& rng) {
    struct Note {
        double start, len, note;
    };
    const Note tune[] = {{0.0, 0.12, 72},  {0.12, 0.12, 76}, {0.24, 0.12, 79}, {0.36, 0.56, 84},
                         {0.95, 0.14, 81}, {1.1, 0.14, 83},  {1.25, 1.34, 84}};
    for (const Note& n : tune) AddTone(s, n.start, n.len, Brass(n.note, 0.5, -0.2, 10));
    const double first[] = {60, 64, 67}, last[] = {60, 64, 67, 72};
    for (double c : first) {
        Tone t = Brass(c, 0.2, 0.4, 8);
        t.release = 0.1;
        AddTone(s, 0.36, 0.56, t);
    }
    for (double c : last) {
        Tone t = Brass(c, 0.2, 0.4, 8);
        t.release = 0.6;
        AddTone(s, 1.25, 1.34, t);
    }
    Tone bass = Brass(48, 0.45, 0, 12);
    bass.vibDepth = 0;
    bass.release = 0.6;
    AddTone(s, 1.25, 1.34, bass);
    const int arp[] = {0, 4, 7, 12, 16, 19, 24, 19, 16, 12};
    for (int k = 0; k < 10; ++k)
        AddTone(s, 1.3 + 0.08 * k, 0.4, Bell(84 + arp[k], 0.22, k % 2 ? 0.7 : -0.7, 0.12, 1.0));
    Noise cymbal;
    cymbal.filter = kHighPass;
    cymbal.cut0 = 5000;
    cymbal.cut1 = 3500;
    cymbal.q = 1.0;
    cymbal.attack = 0.002;
    cymbal.decay = 0.45;
    cymbal.release = 0.4;
    cymbal.amp = 0.3;
    cymbal.pan0 = 0.5;
    cymbal.pan1 = -0.5;
    AddNoise(s, rng, 1.25, 1.34, cymbal);
}

// Ta-da: a quick dominant chord resolving into a ringing tonic and sparkles.
void MakeNewScore(Sound& s, Rng&) {
    const double first[] = {67, 71, 74}, last[] = {72, 76, 79, 84};
    for (double c : first) AddTone(s, 0, 0.16, Bell(c, 0.35, 0, 0.12, 1.4));
    for (double c : last) {
        Tone t = Bell(c, 0.35, 0, 0.35, 1.6);
        t.release = 0.25;
        AddTone(s, 0.2, 0.88, t);
    }
    const int arp[] = {84, 88, 91, 96};
    for (int k = 0; k < 4; ++k) AddTone(s, 0.3 + 0.07 * k, 0.4, Bell(arp[k], 0.2, 0, 0.1, 0.8));
}

// A crowd clapping: many short band-passed noise bursts swelling and fading.
void MakeApplause(Sound& s, Rng& rng) {
    double rate = s.nRate, dur = s.Frames() / rate;
    auto swell = [&](double t) {
        double rise = std::min(1.0, t / 0.35);
        double fall = t > 1.5 ? std::max(0.0, 1.0 - (t - 1.5) / (dur - 1.5)) : 1.0;
        return rise * fall * fall;
    };
    // Claps arrive at random, about 40 a second at full swell.
    for (double t = 0; t < dur - 0.05;) {
        t += -std::log(1.0 - rng.Unit()) / 40.0;
        if (rng.Unit() > swell(t)) continue;
        Noise clap;
        clap.cut0 = clap.cut1 = rng.Range(700, 2200);
        clap.q = rng.Range(0.5, 1.0);
        clap.attack = 0.001;
        clap.decay = rng.Range(0.005, 0.012);
        clap.release = 0.01;
        clap.amp = rng.Range(0.35, 1.0);
        AddNoise(s, rng, t, std::min(0.06, dur - t), clap);
    }
    Svf bed;
    for (int i = 0; i < s.Frames(); ++i) {
        double lo;
        bed.Run(rng.Bipolar(), 1800, 1.0, rate, &lo, nullptr, nullptr);
        s.Add(i, lo * 0.25 * swell(i / rate));
    }
}

// An extra life: a bright little run leaping up, bouncing left and right.
void MakeNewGuy(Sound& s, Rng&) {
    const double notes[] = {76, 81, 85, 88};
    for (int k = 0; k < 4; ++k) {
        double start = 0.06 * k;
        Tone t = Blip(notes[k], 0.6, k % 2 ? 0.5 : -0.5, 7);
        if (k == 3) {
            t.decay = 0.2;
            t.vibRate = 9;
            t.vibDepth = 0.25;
            t.vibDelay = 0.03;
        }
        AddTone(s, start, k == 3 ? 0.39 - start : 0.08, t);
    }
}

} // namespace

const std::vector<EffectDef>& Effects() {
    // The makers in the order of the table.
    static void (*const apMake[])(Sound&, Rng&) = {
        MakeSwoosh,   MakeNewGame,  MakeWarp,       MakeClearScores, MakeButtonClick,
        MakePauseOn,  MakePauseOff, MakeCaught,     MakeBoing,       MakeFalling,
        MakeRotate,   MakeDropped,  MakeCannotDrop, MakeScore1,      MakeScore2,
        MakeScore3,   MakeScore4,   MakeScore5,     MakeLevelOver,   MakeNextLevel,
        MakeGameOver, MakeGameWon,  MakeNewScore,   MakeApplause,    MakeNewGuy,
    };
    static_assert(std::size(apMake) == std::size(kSoundEffects));
    static const std::vector<EffectDef> aEffect = [] {
        std::vector<EffectDef> a;
        for (size_t i = 0; i < std::size(kSoundEffects); i++) {
            const SoundEffectFormat& f = kSoundEffects[i];
            a.push_back({f.szName, f.nChannels, f.nRate, f.seconds, apMake[i]});
        }
        return a;
    }();
    return aEffect;
}

Sound MakeEffect(const EffectDef& def) {
    uint32_t seed = 2166136261u; // FNV-1a of the name
    for (const char* p = def.szName; *p; ++p) seed = (seed ^ uint8_t(*p)) * 16777619u;
    Rng rng(seed);
    Sound s(def.nRate, def.nChannels, def.seconds);
    def.pMake(s, rng);
    Normalize(s, kEffectPeak);
    return s;
}

} // namespace snd
