// Small synthesis kit for the sound effects: a seeded noise source,
// band-limited oscillators, a state-variable filter and two note makers that
// add into a float buffer, which is finally normalised and written as 8-bit
// PCM WAV.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace snd {

constexpr double kPi = 3.14159265358979323846;

// xorshift32: the same numbers on every machine, unlike rand().
struct Rng {
    uint32_t nState;
    explicit Rng(uint32_t seed) : nState(seed ? seed : 0x9e3779b9u) {}
    uint32_t Next() {
        nState ^= nState << 13;
        nState ^= nState >> 17;
        nState ^= nState << 5;
        return nState;
    }
    double Unit() { return (Next() >> 8) * (1.0 / 16777216.0); } // [0, 1)
    double Bipolar() { return Unit() * 2.0 - 1.0; }              // [-1, 1)
    double Range(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    int Below(int n) { return n > 0 ? int(Next() % uint32_t(n)) : 0; }
};

// A sound under construction: one or two channels of floats.
struct Sound {
    int nRate = 22050;
    int nChannels = 1;
    std::vector<float> aLeft, aRight; // aRight is unused for mono
    Sound(int rate, int channels, double seconds);
    int Frames() const { return int(aLeft.size()); }
    // Adds v at frame i, panned (-1 left .. 1 right; ignored for mono).
    void Add(int i, double v, double pan = 0.0);
};

enum Wave { kSine, kTriangle, kSquare, kSaw };

// One band-limited sample of the wave at the given phase (radians) and
// frequency: harmonics are summed up to a little below the Nyquist limit and
// faded out near it, so sweeps neither alias nor click. nMaxHarm caps the
// harmonic count for softer tones (0 = as many as fit).
double WaveSample(Wave wave, double phase, double freq, double rate, int nMaxHarm = 0);

// Chamberlin state-variable filter.
struct Svf {
    double low = 0, band = 0;
    // Runs one sample; returns {low, band, high} through the out-params.
    void Run(double in, double cutoff, double q, double rate, double* pLow, double* pBand,
             double* pHigh);
};

// A note: frequency with optional exponential glide and vibrato, optional FM
// modulator, linear attack, exponential decay, linear release at the end.
struct Tone {
    double f0 = 440;       // start frequency (Hz)
    double f1 = 0;         // glide target (0: none)
    double glide = 0;      // seconds the glide takes (0: the whole note)
    Wave wave = kSine;     // carrier
    int nMaxHarm = 0;      // harmonic cap of the carrier
    double fmRatio = 0;    // modulator : carrier frequency (0: no FM)
    double fmIndex = 0;    // modulation index at the start
    double fmDecay = 0;    // time constant of the index (0: constant)
    double attack = 0.005; // seconds
    double decay = 0;      // amplitude time constant (0: sustained)
    double release = 0.02; // seconds of fade at the end of the note
    double amp = 1.0;
    double pan = 0.0;
    double vibRate = 0;  // Hz
    double vibDepth = 0; // semitones
    double vibDelay = 0; // seconds before the vibrato sets in (it fades in)
};

// Adds the tone from start for dur seconds (release included).
void AddTone(Sound& s, double start, double dur, const Tone& t);

// Filtered noise: the cutoff sweeps exponentially from cut0 to cut1.
enum NoiseFilter { kLowPass, kBandPass, kHighPass };
struct Noise {
    NoiseFilter filter = kBandPass;
    double cut0 = 1000, cut1 = 1000;
    double q = 1.0; // 1/Q damping of the filter, 0.1 (sharp) .. 2 (broad)
    double attack = 0.005, decay = 0, release = 0.02;
    double amp = 1.0;
    double pan0 = 0, pan1 = 0; // pan moves linearly over the note
};
void AddNoise(Sound& s, Rng& rng, double start, double dur, const Noise& n);

// Frequency of a MIDI note number.
double NoteHz(double note);

// Scales the sound so that its highest magnitude is peak (0..1) and gives it
// short fades at both ends.
void Normalize(Sound& s, double peak);

// 8-bit unsigned PCM RIFF WAVE image of the sound (128 = silence).
std::vector<uint8_t> WavBytes(const Sound& s);

// Writes bytes to path; returns 1 on success.
int WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

} // namespace snd
