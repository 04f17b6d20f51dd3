#include "meter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>

namespace meter {

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Biquad {
    double b0, b1, b2, a1, a2; // divided by a0
    double z1 = 0, z2 = 0;
    double Run(double x) {
        double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

Biquad Make(double b0, double b1, double b2, double a0, double a1, double a2) {
    return Biquad{b0 / a0, b1 / a0, b2 / a0, a1 / a0, a2 / a0};
}

// The two stages of the K weighting at any rate: a shelf of +4 dB above
// about 1.7 kHz and a high-pass at 38 Hz.
Biquad Shelf(int nRate) {
    double A = std::pow(10.0, 3.999843853973347 / 40), w = 2 * kPi * 1681.974450955533 / nRate;
    double c = std::cos(w), al = std::sin(w) / (2 * 0.7071752369554196), r = 2 * std::sqrt(A) * al;
    return Make(A * ((A + 1) + (A - 1) * c + r), -2 * A * ((A - 1) + (A + 1) * c),
                A * ((A + 1) + (A - 1) * c - r), (A + 1) - (A - 1) * c + r,
                2 * ((A - 1) - (A + 1) * c), (A + 1) - (A - 1) * c - r);
}

Biquad Pass(int nRate, double dHz, double dQ, bool bHigh) {
    double w = 2 * kPi * std::min(dHz, 0.49 * nRate) / nRate, c = std::cos(w);
    double al = std::sin(w) / (2 * dQ), b = bHigh ? (1 + c) / 2 : (1 - c) / 2;
    return Make(b, bHigh ? -2 * b : 2 * b, b, 1 + al, -2 * c, 1 - al);
}

std::vector<double> KWeighted(const std::vector<float>& a, int nRate) {
    Biquad s = Shelf(nRate), h = Pass(nRate, 38.13547087602444, 0.5003270373238773, true);
    std::vector<double> y(a.size());
    for (size_t i = 0; i < a.size(); i++) y[i] = h.Run(s.Run(a[i]));
    return y;
}

double Db(double dRatio) {
    return dRatio > 0 ? 10 * std::log10(dRatio) : -std::numeric_limits<double>::infinity();
}

double Energy(const std::vector<double>& l, const std::vector<double>& r) {
    double e = 0;
    for (size_t i = 0; i < l.size(); i++) e += l[i] * l[i] + r[i] * r[i];
    return e;
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int nBytes) {
    uint32_t n = 0;
    for (int i = nBytes - 1; i >= 0; i--) n = n << 8 | b[at + (size_t)i];
    return n;
}

} // namespace

bool ReadWav(const std::string& path, Stereo* pOut) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), {});
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF") return false;
    int nChannels = 0, nBits = 0;
    for (size_t at = 12; at + 8 <= b.size();) {
        std::string tag(b.begin() + (long)at, b.begin() + (long)at + 4);
        size_t n = Le(b, at + 4, 4);
        if (at + 8 + n > b.size()) return false;
        if (tag == "fmt " && n >= 16) {
            nChannels = (int)Le(b, at + 10, 2);
            pOut->nRate = (int)Le(b, at + 12, 4);
            nBits = (int)Le(b, at + 22, 2);
        } else if (tag == "data" && nChannels >= 1 && nChannels <= 2 &&
                   (nBits == 8 || nBits == 16)) {
            size_t nSample = nBits / 8, nFrames = n / (nSample * (size_t)nChannels);
            pOut->aLeft.resize(nFrames);
            pOut->aRight.resize(nFrames);
            for (size_t i = 0; i < nFrames; i++)
                for (int c = 0; c < nChannels; c++) {
                    size_t p = at + 8 + (i * (size_t)nChannels + (size_t)c) * nSample;
                    float f = nBits == 8 ? ((float)b[p] - 128) / 128.0f
                                         : (float)(int16_t)Le(b, p, 2) / 32768.0f;
                    (c ? pOut->aRight : pOut->aLeft)[i] = f;
                    if (nChannels == 1) pOut->aRight[i] = f;
                }
            return true;
        }
        at += 8 + n + (n & 1);
    }
    return false;
}

double Loudness(const Stereo& s) {
    std::vector<double> l = KWeighted(s.aLeft, s.nRate), r = KWeighted(s.aRight, s.nRate);
    size_t nBlock = (size_t)s.nRate * 4 / 10, nStep = nBlock / 4;
    std::vector<double> aBlock; // mean squares
    if (l.size() < nBlock) aBlock.push_back(Energy(l, r) / (double)std::max<size_t>(l.size(), 1));
    for (size_t at = 0; at + nBlock <= l.size(); at += nStep) {
        double e = 0;
        for (size_t i = at; i < at + nBlock; i++) e += l[i] * l[i] + r[i] * r[i];
        aBlock.push_back(e / (double)nBlock);
    }
    auto Gated = [&aBlock](double dGate) {
        double e = 0;
        int n = 0;
        for (double z : aBlock)
            if (-0.691 + Db(z) > dGate) e += z, n++;
        return n ? -0.691 + Db(e / n) : -std::numeric_limits<double>::infinity();
    };
    return Gated(Gated(-70) - 10);
}

double SideToMid(const Stereo& s) {
    double dSide = 0, dMid = 0;
    for (size_t i = 0; i < s.aLeft.size(); i++) {
        double m = s.aLeft[i] + s.aRight[i], d = s.aLeft[i] - s.aRight[i];
        dMid += m * m;
        dSide += d * d;
    }
    return Db(dSide / dMid);
}

double BandLevel(const Stereo& s, double dLowHz, double dHighHz) {
    auto Band = [&](const std::vector<float>& a) {
        Biquad aF[4] = {
            Pass(s.nRate, dLowHz, M_SQRT1_2, true), Pass(s.nRate, dLowHz, M_SQRT1_2, true),
            Pass(s.nRate, dHighHz, M_SQRT1_2, false), Pass(s.nRate, dHighHz, M_SQRT1_2, false)};
        std::vector<double> y(a.size());
        for (size_t i = 0; i < a.size(); i++) {
            double x = a[i];
            for (Biquad& f : aF) x = f.Run(x);
            y[i] = x;
        }
        return y;
    };
    std::vector<double> l(s.aLeft.begin(), s.aLeft.end()), r(s.aRight.begin(), s.aRight.end());
    return Db(Energy(Band(s.aLeft), Band(s.aRight)) / Energy(l, r));
}

} // namespace meter
