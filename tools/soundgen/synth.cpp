#include "synth.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace snd {

Sound::Sound(int rate, int channels, double seconds)
    : nRate(rate), nChannels(channels), aLeft(size_t(std::lround(rate * seconds)), 0.0f),
      aRight(channels == 2 ? aLeft.size() : 0, 0.0f) {}

void Sound::Add(int i, double v, double pan) {
    if (i < 0 || i >= Frames()) return;
    if (nChannels == 1) {
        aLeft[i] += float(v);
        return;
    }
    // Constant-power pan.
    double a = (std::clamp(pan, -1.0, 1.0) + 1.0) * kPi / 4.0;
    aLeft[i] += float(v * std::cos(a) * std::sqrt(2.0));
    aRight[i] += float(v * std::sin(a) * std::sqrt(2.0));
}

double WaveSample(Wave wave, double phase, double freq, double rate, int nMaxHarm) {
    if (wave == kSine) return std::sin(phase);
    double limit = 0.45 * rate, fade = 0.08 * rate;
    double sum = 0;
    for (int k = 1;; ++k) {
        if (nMaxHarm && k > nMaxHarm) break;
        double fk = freq * k;
        if (fk >= limit) break;
        if (wave != kSaw && k % 2 == 0) continue;
        double w = std::min(1.0, (limit - fk) / fade);
        switch (wave) {
        case kTriangle:
            sum += w * ((k / 2) % 2 ? -1.0 : 1.0) * std::sin(k * phase) / (k * k);
            break;
        case kSquare: sum += w * std::sin(k * phase) / k; break;
        default: sum += w * std::sin(k * phase) / k; break;
        }
    }
    switch (wave) {
    case kTriangle: return sum * 8.0 / (kPi * kPi);
    case kSquare: return sum * 4.0 / kPi;
    default: return sum * 2.0 / kPi;
    }
}

void Svf::Run(double in, double cutoff, double q, double rate, double* pLow, double* pBand,
              double* pHigh) {
    // Trapezoidal integration: stable at any cutoff below the Nyquist limit.
    double g = std::tan(kPi * std::clamp(cutoff, 10.0, 0.45 * rate) / rate);
    double k = q;
    double a1 = 1.0 / (1.0 + g * (g + k)), a2 = g * a1, a3 = g * a2;
    double v3 = in - low;
    double v1 = a1 * band + a2 * v3;
    double v2 = low + a2 * band + a3 * v3;
    band = 2 * v1 - band;
    low = 2 * v2 - low;
    if (pLow) *pLow = v2;
    if (pBand) *pBand = v1;
    if (pHigh) *pHigh = in - k * v1 - v2;
}

namespace {

// Amplitude of a note at time t of dur: attack ramp, decay, release ramp.
double Envelope(double t, double dur, double attack, double decay, double release) {
    double e = attack > 0 && t < attack ? t / attack : 1.0;
    if (decay > 0 && t > attack) e *= std::exp(-(t - attack) / decay);
    double left = dur - t;
    if (release > 0 && left < release) e *= std::max(0.0, left / release);
    return e;
}

} // namespace

void AddTone(Sound& s, double start, double dur, const Tone& t) {
    int i0 = int(std::lround(start * s.nRate));
    int n = int(std::lround(dur * s.nRate));
    double rate = s.nRate;
    double phase = 0, modPhase = 0;
    double glide = t.glide > 0 ? t.glide : dur;
    for (int i = 0; i < n; ++i) {
        double tt = i / rate;
        double f = t.f0;
        if (t.f1 > 0) f = t.f0 * std::pow(t.f1 / t.f0, std::min(tt / glide, 1.0));
        if (t.vibRate > 0 && tt > t.vibDelay) {
            double depth = t.vibDepth * std::min(1.0, (tt - t.vibDelay) / 0.1);
            f *= std::pow(2.0, depth / 12.0 * std::sin(2 * kPi * t.vibRate * tt));
        }
        double v;
        if (t.fmRatio > 0) {
            double index = t.fmDecay > 0 ? t.fmIndex * std::exp(-tt / t.fmDecay) : t.fmIndex;
            modPhase += 2 * kPi * f * t.fmRatio / rate;
            v = WaveSample(t.wave, phase + index * std::sin(modPhase), f, rate, t.nMaxHarm);
        } else {
            v = WaveSample(t.wave, phase, f, rate, t.nMaxHarm);
        }
        phase += 2 * kPi * f / rate;
        if (phase > 2 * kPi * 1024)
            phase -= 2 * kPi * 1024, modPhase = std::fmod(modPhase, 2 * kPi);
        s.Add(i0 + i, v * t.amp * Envelope(tt, dur, t.attack, t.decay, t.release), t.pan);
    }
}

void AddNoise(Sound& s, Rng& rng, double start, double dur, const Noise& n) {
    int i0 = int(std::lround(start * s.nRate));
    int count = int(std::lround(dur * s.nRate));
    Svf svf;
    for (int i = 0; i < count; ++i) {
        double tt = i / double(s.nRate);
        double x = std::min(tt / dur, 1.0);
        double cut = n.cut0 * std::pow(n.cut1 / n.cut0, x);
        double lo, band, hi;
        svf.Run(rng.Bipolar(), cut, n.q, s.nRate, &lo, &band, &hi);
        double v = n.filter == kLowPass ? lo : n.filter == kHighPass ? hi : band * n.q;
        double pan = n.pan0 + (n.pan1 - n.pan0) * x;
        s.Add(i0 + i, v * n.amp * Envelope(tt, dur, n.attack, n.decay, n.release), pan);
    }
}

double NoteHz(double note) {
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}

void Normalize(Sound& s, double peak) {
    int n = s.Frames();
    // Short fades so that no effect starts or stops with a click.
    int fadeIn = std::min(n / 4, s.nRate / 1000), fadeOut = std::min(n / 4, s.nRate * 4 / 1000);
    for (int i = 0; i < n; ++i) {
        double g = 1.0;
        if (i < fadeIn) g = double(i) / fadeIn;
        if (n - 1 - i < fadeOut) g = std::min(g, double(n - 1 - i) / fadeOut);
        s.aLeft[i] *= float(g);
        if (s.nChannels == 2) s.aRight[i] *= float(g);
    }
    double top = 0;
    for (float v : s.aLeft) top = std::max(top, double(std::fabs(v)));
    for (float v : s.aRight) top = std::max(top, double(std::fabs(v)));
    if (top <= 0) return;
    float g = float(peak / top);
    for (float& v : s.aLeft) v *= g;
    for (float& v : s.aRight) v *= g;
}

namespace {

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xffff);
    Put16(b, v >> 16);
}
void PutTag(std::vector<uint8_t>& b, const char* tag) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(tag[i]));
}
uint8_t Quantize(float v) {
    long q = std::lround(128.0 + 127.0 * v);
    return uint8_t(std::clamp(q, 1L, 255L));
}

} // namespace

std::vector<uint8_t> WavBytes(const Sound& s) {
    uint32_t data = uint32_t(s.Frames() * s.nChannels);
    uint32_t pad = data & 1; // chunks are word-aligned
    std::vector<uint8_t> b;
    PutTag(b, "RIFF");
    Put32(b, 4 + 8 + 16 + 8 + data + pad);
    PutTag(b, "WAVE");
    PutTag(b, "fmt ");
    Put32(b, 16);
    Put16(b, 1); // PCM
    Put16(b, uint32_t(s.nChannels));
    Put32(b, uint32_t(s.nRate));
    Put32(b, uint32_t(s.nRate * s.nChannels)); // bytes per second
    Put16(b, uint32_t(s.nChannels));           // bytes per frame
    Put16(b, 8);
    PutTag(b, "data");
    Put32(b, data);
    for (int i = 0; i < s.Frames(); ++i) {
        b.push_back(Quantize(s.aLeft[i]));
        if (s.nChannels == 2) b.push_back(Quantize(s.aRight[i]));
    }
    if (pad) b.push_back(128);
    return b;
}

int WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    size_t n = std::fwrite(bytes.data(), 1, bytes.size(), f);
    int ok = std::fclose(f) == 0 && n == bytes.size();
    return ok;
}

} // namespace snd
