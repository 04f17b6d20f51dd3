// Measures of a stereo recording for judging a mix: integrated loudness
// (gated, K-weighted, in LUFS), the side against the mid, and the level of
// a band of frequencies against the whole. Used by soundgen --measure and by
// the native tests that hold music and effects to one loudness.
#pragma once

#include <string>
#include <vector>

namespace meter {

struct Stereo {
    std::vector<float> aLeft, aRight; // -1 .. 1; a mono recording has both the same
    int nRate = 0;
};

// Reads an 8- or 16-bit PCM WAV, mono or stereo; false when it cannot.
bool ReadWav(const std::string& path, Stereo* pOut);

// Integrated loudness in LUFS: 400 ms blocks a quarter apart, gated at
// -70 LUFS and 10 LU under the ungated loudness. A recording shorter than a
// block is measured whole. -inf for silence.
double Loudness(const Stereo& s);

// The side's energy against the mid's, in dB (-inf for mono).
double SideToMid(const Stereo& s);

// The energy between dLowHz and dHighHz (two fourth-order slopes) against
// the whole, in dB.
double BandLevel(const Stereo& s, double dLowHz, double dHighHz);

} // namespace meter
