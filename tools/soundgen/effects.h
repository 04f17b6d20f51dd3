// The game's sound effects: one row per resource, with its format and the
// routine that synthesises it.
#pragma once

#include <cstdint>
#include <vector>

#include "effect_table.h"
#include "synth.h"

namespace snd {

struct EffectDef {
    const char* szName; // resource name, also the file name (NAME.wav)
    int nChannels;
    int nRate;
    double seconds;
    void (*pMake)(Sound& s, Rng& rng);
};

// Every effect, in the order of kSoundEffects.
const std::vector<EffectDef>& Effects();

// The peak level every effect is normalised to (fraction of full scale):
// low enough that an effect over the loudest music (which never reaches
// 0.58) stays below full scale, and as loud as the music to the ear.
constexpr double kEffectPeak = 0.38;

// Synthesises one effect, normalised; the seed is derived from its name.
Sound MakeEffect(const EffectDef& def);

} // namespace snd
