// The synthesizer: band-limited wavetables made once, a voice per note with
// two oscillators (or a frequency-modulated one), breath noise, a low-pass
// filter with its own envelope and an amplitude envelope; drums from swept
// sines, filtered noise and square partials. Everything that changes slowly
// (envelopes, controllers, bend, vibrato) is worked out once per block of
// SYNTH_BLOCK frames and ramped across it, so no change is ever a step.
#include "audio/synth.h"

#include <cmath>
#include <cstring>

namespace {

// --- Wavetables ----------------------------------------------------------------

enum { WAVE_SINE, WAVE_TRI, WAVE_SAW, WAVE_SQUARE, WAVE_ORGAN, WAVE_COUNT };
enum { TABLE_BITS = 11, TABLE_LEN = 1 << TABLE_BITS, OCTAVES = 11 };
constexpr float kLowestHz = 27.5f; // octave table 0 holds notes from here up
constexpr float kPi = 3.14159265358979f;
constexpr float kRate = (float)SYNTH_RATE;
constexpr float kPhaseScale = 4294967296.0f / kRate; // Hz to phase steps

// One table per wave and octave, each with only the harmonics that stay
// below the Nyquist limit for the highest note it plays; one guard sample.
float aTable[WAVE_COUNT][OCTAVES][TABLE_LEN + 1];
float aSine[TABLE_LEN + 1];
int bTablesMade;

float Harmonic(int nWave, int h) {
    switch (nWave) {
    case WAVE_SINE: return h == 1 ? 1.0f : 0.0f;
    case WAVE_TRI: return h % 2 ? ((h / 2) % 2 ? -1.0f : 1.0f) / (float)(h * h) : 0.0f;
    case WAVE_SAW: return (h % 2 ? 1.0f : -1.0f) / (float)h;
    case WAVE_SQUARE: return h % 2 ? 1.0f / (float)h : 0.0f;
    default: // drawbars at 16', 8', 5 1/3', 4', 2 2/3', 2'
        switch (h) {
        case 1: return 1.0f;
        case 2: return 0.75f;
        case 3: return 0.55f;
        case 4: return 0.4f;
        case 6: return 0.22f;
        case 8: return 0.16f;
        default: return 0.0f;
        }
    }
}

void TablesMake() {
    if (bTablesMade) return;
    for (int i = 0; i <= TABLE_LEN; i++) aSine[i] = sinf(2 * kPi * (float)i / (float)TABLE_LEN);
    for (int w = 0; w < WAVE_COUNT; w++) {
        float fPeak = 0;
        for (int o = 0; o < OCTAVES; o++) {
            float* t = aTable[w][o];
            float fTop = kLowestHz * (float)(2 << o);
            int nHarm = (int)(0.45f * kRate / fTop);
            if (nHarm < 1) nHarm = 1;
            if (nHarm > TABLE_LEN / 2 - 1) nHarm = TABLE_LEN / 2 - 1;
            for (int i = 0; i < TABLE_LEN; i++) t[i] = 0;
            for (int h = 1; h <= nHarm; h++) {
                float a = Harmonic(w, h);
                if (a == 0) continue;
                // sin(h x) read from the sine table: the index wraps exactly.
                for (int i = 0; i < TABLE_LEN; i++) t[i] += a * aSine[(i * h) & (TABLE_LEN - 1)];
            }
            if (o == 0)
                for (int i = 0; i < TABLE_LEN; i++) fPeak = fmaxf(fPeak, fabsf(t[i]));
            // Every octave scaled as the fullest, so loudness does not jump.
            for (int i = 0; i < TABLE_LEN; i++) t[i] /= fPeak;
            t[TABLE_LEN] = t[0];
        }
    }
    bTablesMade = 1;
}

const float* TableFor(int nWave, float fHz) {
    int o = 0;
    while (o < OCTAVES - 1 && fHz >= kLowestHz * (float)(2 << o)) o++;
    return aTable[nWave][o];
}

inline float Lookup(const float* t, uint32_t nPhase) {
    uint32_t i = nPhase >> (32 - TABLE_BITS);
    float f =
        (float)(nPhase & ((1u << (32 - TABLE_BITS)) - 1)) * (1.0f / (1u << (32 - TABLE_BITS)));
    return t[i] + (t[i + 1] - t[i]) * f;
}

// A phase offset in steps of kOffsetStep phase units (|x| < 2^22 steps) as
// phase units. The integer is read from the float's bits after adding
// 1.5 x 2^23, so the sample loop needs no float-to-integer conversion (on
// the x87 each one switches the rounding mode twice).
constexpr int kOffsetBits = 10;
constexpr float kOffsetStep = (float)(1 << kOffsetBits);
inline uint32_t PhaseOffset(float x) {
    float f = x + 12582912.0f;
    uint32_t n;
    memcpy(&n, &f, sizeof n);
    return (n - 0x4B400000u) << kOffsetBits;
}

// Hz as a phase step. Every oscillator is kept below half the rate, where
// it could not be heard anyway, so the step never overflows.
inline uint32_t PhaseStep(float fHz) {
    return (uint32_t)(fminf(fmaxf(fHz, 0.0f), 0.49f * kRate) * kPhaseScale);
}

inline float NoiseNext(uint32_t* p) {
    uint32_t n = *p;
    n ^= n << 13;
    n ^= n >> 17;
    n ^= n << 5;
    *p = n;
    return (float)(int32_t)n * (1.0f / 2147483648.0f);
}

// A state-variable filter in the trapezoidal form: stable at any cutoff.
struct FilterCoef {
    float a1, a2, a3, k;
};

FilterCoef FilterMake(float fHz, float fQ) {
    float fMax = 0.45f * kRate;
    if (fHz > fMax) fHz = fMax;
    if (fHz < 20) fHz = 20;
    FilterCoef c;
    float g = tanf(kPi * fHz / kRate);
    c.k = 1.0f / fQ;
    c.a1 = 1.0f / (1.0f + g * (g + c.k));
    c.a2 = g * c.a1;
    c.a3 = g * c.a2;
    return c;
}

// Runs one sample; the low-pass output, the band-pass in *pBand.
inline float FilterRun(const FilterCoef& c, float* pLow, float* pBand, float x, float* pBandOut) {
    float v3 = x - *pLow;
    float v1 = c.a1 * *pBand + c.a2 * v3;
    float v2 = *pLow + c.a2 * *pBand + c.a3 * v3;
    *pBand = 2 * v1 - *pBand;
    *pLow = 2 * v2 - *pLow;
    *pBandOut = v1;
    return v2;
}

// --- Voices by family ---------------------------------------------------------------

// A voice of our own; a field left out is 0 (nothing of that kind).
struct Patch {
    struct {
        uint8_t nWave1 = 0, nWave2 = 0;
        float fMix2 = 0;   // level of the second oscillator (the first is 1)
        float fRatio2 = 0; // its frequency against the first
        float fDetune = 0; // cents between the two, split either side of the key
    } osc = {};
    // The first oscillator phase-modulated at fFmRatio x its pitch; the
    // index falls from fFmIndex toward fFmSustain x itself.
    struct {
        float fFmRatio = 0, fFmIndex = 0, fFmDecay = 0, fFmSustain = 0;
    } fm = {};
    // Attack in s, decay as a time constant in s, sustain level, release
    // constant in s; fKeyDecay 1: higher keys die away sooner, as strings
    // and bars do.
    struct {
        float fAttack = 0, fDecay = 0, fSustain = 0, fRelease = 0, fKeyDecay = 0;
    } env = {};
    // A low-pass at (fCut + fCutEnv e^(-t/fCutDecay)) x the key: resonant
    // above fQ 1, else two gentle poles. None where fCut is 0.
    struct {
        float fCut = 0, fCutEnv = 0, fCutDecay = 0, fQ = 0;
    } filter = {};
    // Breath noise: its level, how fast it falls, the share it keeps.
    struct {
        float fNoise = 0, fNoiseDecay = 0, fNoiseSustain = 0;
    } breath = {};
    // Vibrato in cents at a rate in Hz after a delay in s; tremolo 0..1.
    struct {
        float fVibCents = 0, fVibRate = 0, fVibDelay = 0, fTremolo = 0, fTremRate = 0;
    } vib = {};
    float fGain = 0;
};

enum {
    P_PIANO,
    P_EPIANO,
    P_HARPSI,
    P_BELL,
    P_VIBES,
    P_MARIMBA,
    P_ORGAN,
    P_REED_ORGAN,
    P_NYLON,
    P_GUITAR,
    P_DIST_GUITAR,
    P_BASS,
    P_SYNTH_BASS,
    P_STRING,
    P_PIZZ,
    P_HARP,
    P_ENSEMBLE,
    P_SLOW_STRINGS,
    P_CHOIR,
    P_BRASS,
    P_MUTED,
    P_HORN,
    P_SAX,
    P_CLARINET,
    P_DOUBLE_REED,
    P_FLUTE,
    P_PAN_FLUTE,
    P_OCARINA,
    P_SQUARE_LEAD,
    P_SAW_LEAD,
    P_NEW_AGE_PAD,
    P_WARM_PAD,
    P_PAD,
    P_PLUCK,
    P_STEEL_DRUM,
    P_TOM,
    P_NOISE,
    P_COUNT
};

const Patch aPatch[P_COUNT] = {
    // P_PIANO: a bright strike that mellows as it dies away
    {.osc = {.nWave1 = WAVE_TRI, .nWave2 = WAVE_SAW, .fMix2 = 0.6f, .fRatio2 = 1, .fDetune = 4},
     .env = {.fAttack = 0.002f, .fDecay = 1.4f, .fRelease = 0.12f, .fKeyDecay = 1},
     .filter = {.fCut = 2.5f, .fCutEnv = 9, .fCutDecay = 0.25f, .fQ = 0.8f},
     .fGain = 0.32f},
    // P_EPIANO: a sine struck by a modulator at its own pitch: bright, then round
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_SINE, .fRatio2 = 1.0f},
     .fm = {.fFmRatio = 1, .fFmIndex = 1.6f, .fFmDecay = 0.25f, .fFmSustain = 0.12f},
     .env = {.fAttack = 0.002f, .fDecay = 1.6f, .fRelease = 0.1f, .fKeyDecay = 1},
     .filter = {.fQ = 1},
     .vib = {.fTremolo = 0.12f, .fTremRate = 4.5f},
     .fGain = 0.34f},
    // P_HARPSI
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SQUARE, .fMix2 = 0.4f, .fRatio2 = 2},
     .env = {.fAttack = 0.001f, .fDecay = 0.9f, .fRelease = 0.08f, .fKeyDecay = 1},
     .filter = {.fCut = 5, .fCutEnv = 12, .fCutDecay = 0.15f, .fQ = 0.8f},
     .fGain = 0.22f},
    // P_BELL: celesta, glockenspiel, music box: an inharmonic partial that fades first
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_SINE, .fRatio2 = 1},
     .fm = {.fFmRatio = 3.5f, .fFmIndex = 2.2f, .fFmDecay = 0.18f, .fFmSustain = 0.05f},
     .env = {.fAttack = 0.001f, .fDecay = 0.9f, .fRelease = 0.15f, .fKeyDecay = 1},
     .filter = {.fQ = 1},
     .fGain = 0.3f},
    // P_VIBES: bars with a fourth-partial ring and the motor's tremolo
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_SINE, .fMix2 = 0.18f, .fRatio2 = 4.0f},
     .fm = {.fFmRatio = 1, .fFmIndex = 0.8f, .fFmDecay = 0.04f},
     .env = {.fAttack = 0.001f, .fDecay = 2.4f, .fRelease = 0.35f, .fKeyDecay = 1},
     .filter = {.fQ = 1},
     .vib = {.fTremolo = 0.28f, .fTremRate = 5.2f},
     .fGain = 0.36f},
    // P_MARIMBA: a woody knock, then the bar's plain tone
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_SINE, .fMix2 = 0.1f, .fRatio2 = 4.0f},
     .fm = {.fFmRatio = 1, .fFmIndex = 1.6f, .fFmDecay = 0.025f},
     .env = {.fAttack = 0.001f, .fDecay = 0.45f, .fRelease = 0.1f, .fKeyDecay = 1},
     .filter = {.fQ = 1},
     .fGain = 0.42f},
    // P_ORGAN: drawbars, a little chorus
    {.osc = {.nWave1 = WAVE_ORGAN, .nWave2 = WAVE_ORGAN, .fMix2 = 0.5f, .fRatio2 = 1, .fDetune = 5},
     .env = {.fAttack = 0.006f, .fSustain = 1, .fRelease = 0.04f},
     .filter = {.fQ = 1},
     .fGain = 0.16f},
    // P_REED_ORGAN: accordion, harmonica
    {.osc = {.nWave1 = WAVE_SQUARE, .nWave2 = WAVE_SAW, .fMix2 = 0.5f, .fRatio2 = 1, .fDetune = 8},
     .env = {.fAttack = 0.02f, .fSustain = 1, .fRelease = 0.06f},
     .filter = {.fCut = 4, .fQ = 1},
     .vib = {.fVibCents = 6, .fVibRate = 5.5f, .fVibDelay = 0.2f},
     .fGain = 0.16f},
    // P_NYLON: a soft pluck
    {.osc = {.nWave1 = WAVE_TRI, .nWave2 = WAVE_SAW, .fMix2 = 0.5f, .fRatio2 = 1, .fDetune = 3},
     .env = {.fAttack = 0.002f, .fDecay = 1.1f, .fRelease = 0.08f, .fKeyDecay = 1},
     .filter = {.fCut = 1.5f, .fCutEnv = 6, .fCutDecay = 0.12f, .fQ = 0.8f},
     .fGain = 0.4f},
    // P_GUITAR: steel and electric, brighter
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_TRI, .fMix2 = 0.6f, .fRatio2 = 1, .fDetune = 4},
     .env = {.fAttack = 0.002f, .fDecay = 1.2f, .fRelease = 0.08f, .fKeyDecay = 1},
     .filter = {.fCut = 2.5f, .fCutEnv = 10, .fCutDecay = 0.1f, .fQ = 0.9f},
     .fGain = 0.3f},
    // P_DIST_GUITAR
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SQUARE, .fMix2 = 0.8f, .fRatio2 = 1, .fDetune = 12},
     .env = {.fAttack = 0.004f, .fDecay = 2.0f, .fSustain = 0.5f, .fRelease = 0.08f},
     .filter = {.fCut = 4, .fCutEnv = 4, .fCutDecay = 0.2f, .fQ = 1.5f},
     .vib = {.fVibCents = 8, .fVibRate = 5, .fVibDelay = 0.3f},
     .fGain = 0.16f},
    // P_BASS: a round finger-plucked string
    {.osc = {.nWave1 = WAVE_TRI, .nWave2 = WAVE_SAW, .fMix2 = 0.45f, .fRatio2 = 1},
     .env = {.fAttack = 0.003f,
             .fDecay = 1.3f,
             .fSustain = 0.15f,
             .fRelease = 0.06f,
             .fKeyDecay = 0.5f},
     .filter = {.fCut = 2.5f, .fCutEnv = 5, .fCutDecay = 0.09f, .fQ = 0.9f},
     .fGain = 0.6f},
    // P_SYNTH_BASS: a resonant filter snapping shut, a square an octave down at -12 dB
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SQUARE, .fMix2 = 0.13f, .fRatio2 = 0.5f},
     .env = {.fAttack = 0.002f, .fDecay = 0.5f, .fSustain = 0.45f, .fRelease = 0.05f},
     .filter = {.fCut = 2, .fCutEnv = 14, .fCutDecay = 0.09f, .fQ = 2.5f},
     .fGain = 0.42f},
    // P_STRING: one bowed string
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SAW, .fMix2 = 0.8f, .fRatio2 = 1, .fDetune = 7},
     .env = {.fAttack = 0.07f, .fSustain = 1, .fRelease = 0.18f},
     .filter = {.fCut = 4.5f, .fQ = 0.9f},
     .vib = {.fVibCents = 14, .fVibRate = 5.5f, .fVibDelay = 0.25f},
     .fGain = 0.2f},
    // P_PIZZ: plucked strings
    {.osc = {.nWave1 = WAVE_TRI, .nWave2 = WAVE_SAW, .fMix2 = 0.5f, .fRatio2 = 1, .fDetune = 6},
     .env = {.fAttack = 0.002f, .fDecay = 0.28f, .fRelease = 0.06f, .fKeyDecay = 1},
     .filter = {.fCut = 2, .fCutEnv = 6, .fCutDecay = 0.06f, .fQ = 0.8f},
     .fGain = 0.55f},
    // P_HARP: a plucked string with its octave, long and clear
    {.osc = {.nWave1 = WAVE_TRI, .nWave2 = WAVE_SINE, .fMix2 = 0.3f, .fRatio2 = 2.0f},
     .env = {.fAttack = 0.002f, .fDecay = 1.6f, .fRelease = 0.15f, .fKeyDecay = 1},
     .filter = {.fCut = 2, .fCutEnv = 5, .fCutDecay = 0.2f, .fQ = 0.8f},
     .fGain = 0.46f},
    // P_ENSEMBLE: a section, two detuned saws under a soft filter
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SAW, .fMix2 = 1, .fRatio2 = 1, .fDetune = 11},
     .env = {.fAttack = 0.14f, .fSustain = 1, .fRelease = 0.3f},
     .filter = {.fCut = 3.5f, .fQ = 0.75f},
     .vib = {.fVibCents = 9, .fVibRate = 5.0f, .fVibDelay = 0.3f},
     .fGain = 0.16f},
    // P_SLOW_STRINGS
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SAW, .fMix2 = 1, .fRatio2 = 1, .fDetune = 13},
     .env = {.fAttack = 0.35f, .fSustain = 1, .fRelease = 0.35f},
     .filter = {.fCut = 3, .fQ = 0.75f},
     .vib = {.fVibCents = 8, .fVibRate = 4.8f, .fVibDelay = 0.4f},
     .fGain = 0.16f},
    // P_CHOIR
    {.osc = {.nWave1 = WAVE_TRI, .nWave2 = WAVE_TRI, .fMix2 = 1, .fRatio2 = 1, .fDetune = 12},
     .env = {.fAttack = 0.15f, .fSustain = 1, .fRelease = 0.3f},
     .filter = {.fCut = 4, .fQ = 1.5f},
     .breath = {.fNoise = 0.015f, .fNoiseSustain = 1},
     .vib = {.fVibCents = 10, .fVibRate = 5.0f, .fVibDelay = 0.3f},
     .fGain = 0.26f},
    // P_BRASS: a saw whose filter opens with the breath
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SAW, .fMix2 = 0.5f, .fRatio2 = 1, .fDetune = 6},
     .env = {.fAttack = 0.025f, .fDecay = 0.4f, .fSustain = 0.8f, .fRelease = 0.07f},
     .filter = {.fCut = 3, .fCutEnv = 4, .fCutDecay = 0.09f, .fQ = 0.9f},
     .breath = {.fNoise = 0.02f, .fNoiseDecay = 0.03f},
     .vib = {.fVibCents = 12, .fVibRate = 5.5f, .fVibDelay = 0.3f},
     .fGain = 0.2f},
    // P_MUTED: a nasal, resonant trumpet
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SAW, .fMix2 = 0.3f, .fRatio2 = 1, .fDetune = 4},
     .env = {.fAttack = 0.018f, .fDecay = 0.3f, .fSustain = 0.75f, .fRelease = 0.06f},
     .filter = {.fCut = 2.6f, .fCutEnv = 3, .fCutDecay = 0.06f, .fQ = 3.5f},
     .breath = {.fNoise = 0.015f, .fNoiseDecay = 0.03f},
     .vib = {.fVibCents = 10, .fVibRate = 5.5f, .fVibDelay = 0.3f},
     .fGain = 0.2f},
    // P_HORN: dark and round
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_TRI, .fMix2 = 0.6f, .fRatio2 = 1, .fDetune = 4},
     .env = {.fAttack = 0.04f, .fDecay = 0.5f, .fSustain = 0.85f, .fRelease = 0.1f},
     .filter = {.fCut = 1.6f, .fCutEnv = 2, .fCutDecay = 0.12f, .fQ = 0.8f},
     .vib = {.fVibCents = 6, .fVibRate = 5.0f, .fVibDelay = 0.4f},
     .fGain = 0.3f},
    // P_SAX: reedy, breathy, with vibrato
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SQUARE, .fMix2 = 0.55f, .fRatio2 = 1, .fDetune = 3},
     .env = {.fAttack = 0.03f, .fDecay = 0.6f, .fSustain = 0.8f, .fRelease = 0.08f},
     .filter = {.fCut = 3.2f, .fCutEnv = 3, .fCutDecay = 0.1f, .fQ = 1.4f},
     .breath = {.fNoise = 0.03f, .fNoiseDecay = 0.05f, .fNoiseSustain = 0.2f},
     .vib = {.fVibCents = 16, .fVibRate = 5.0f, .fVibDelay = 0.28f},
     .fGain = 0.2f},
    // P_CLARINET: odd harmonics, woody
    {.osc = {.nWave1 = WAVE_SQUARE, .nWave2 = WAVE_TRI, .fMix2 = 0.5f, .fRatio2 = 1},
     .env = {.fAttack = 0.035f, .fSustain = 1, .fRelease = 0.07f},
     .filter = {.fCut = 3.5f, .fCutEnv = 2, .fCutDecay = 0.1f, .fQ = 0.9f},
     .breath = {.fNoise = 0.02f, .fNoiseDecay = 0.05f, .fNoiseSustain = 0.3f},
     .vib = {.fVibCents = 8, .fVibRate = 5.0f, .fVibDelay = 0.35f},
     .fGain = 0.22f},
    // P_DOUBLE_REED: oboe, bassoon
    {.osc = {.nWave1 = WAVE_SQUARE, .nWave2 = WAVE_SAW, .fMix2 = 0.6f, .fRatio2 = 1},
     .env = {.fAttack = 0.03f, .fSustain = 1, .fRelease = 0.07f},
     .filter = {.fCut = 5, .fCutEnv = 2, .fCutDecay = 0.1f, .fQ = 2.2f},
     .breath = {.fNoise = 0.015f, .fNoiseDecay = 0.05f, .fNoiseSustain = 0.3f},
     .vib = {.fVibCents = 10, .fVibRate = 5.2f, .fVibDelay = 0.3f},
     .fGain = 0.18f},
    // P_FLUTE: nearly pure, a chiff of breath at the start
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_TRI, .fMix2 = 0.25f, .fRatio2 = 1},
     .env = {.fAttack = 0.04f, .fSustain = 1, .fRelease = 0.07f},
     .filter = {.fQ = 1},
     .breath = {.fNoise = 0.09f, .fNoiseDecay = 0.06f, .fNoiseSustain = 0.15f},
     .vib = {.fVibCents = 14, .fVibRate = 5.0f, .fVibDelay = 0.3f},
     .fGain = 0.36f},
    // P_PAN_FLUTE: breathier
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_TRI, .fMix2 = 0.15f, .fRatio2 = 1},
     .env = {.fAttack = 0.05f, .fSustain = 1, .fRelease = 0.09f},
     .filter = {.fQ = 1},
     .breath = {.fNoise = 0.16f, .fNoiseDecay = 0.08f, .fNoiseSustain = 0.25f},
     .vib = {.fVibCents = 12, .fVibRate = 4.5f, .fVibDelay = 0.3f},
     .fGain = 0.36f},
    // P_OCARINA: round and pure
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_SINE, .fMix2 = 0.08f, .fRatio2 = 2.0f},
     .env = {.fAttack = 0.03f, .fSustain = 1, .fRelease = 0.07f},
     .filter = {.fQ = 1},
     .breath = {.fNoise = 0.05f, .fNoiseDecay = 0.04f, .fNoiseSustain = 0.05f},
     .vib = {.fVibCents = 10, .fVibRate = 5.0f, .fVibDelay = 0.35f},
     .fGain = 0.4f},
    // P_SQUARE_LEAD
    {.osc =
         {.nWave1 = WAVE_SQUARE, .nWave2 = WAVE_SQUARE, .fMix2 = 0.5f, .fRatio2 = 1, .fDetune = 8},
     .env = {.fAttack = 0.005f, .fSustain = 1, .fRelease = 0.06f},
     .filter = {.fCut = 6, .fQ = 0.8f},
     .vib = {.fVibCents = 12, .fVibRate = 5.5f, .fVibDelay = 0.35f},
     .fGain = 0.16f},
    // P_SAW_LEAD
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SAW, .fMix2 = 0.7f, .fRatio2 = 1, .fDetune = 10},
     .env = {.fAttack = 0.005f, .fSustain = 1, .fRelease = 0.06f},
     .filter = {.fCut = 5, .fCutEnv = 3, .fCutDecay = 0.2f, .fQ = 1.2f},
     .vib = {.fVibCents = 12, .fVibRate = 5.5f, .fVibDelay = 0.35f},
     .fGain = 0.15f},
    // P_NEW_AGE_PAD: a bell on a soft pad
    {.osc = {.nWave1 = WAVE_TRI, .nWave2 = WAVE_SAW, .fMix2 = 0.5f, .fRatio2 = 1, .fDetune = 10},
     .fm = {.fFmRatio = 2.0f, .fFmIndex = 1.2f, .fFmDecay = 0.4f, .fFmSustain = 0.1f},
     .env = {.fAttack = 0.25f, .fDecay = 2.0f, .fSustain = 0.7f, .fRelease = 0.5f},
     .filter = {.fCut = 3, .fCutEnv = 3, .fCutDecay = 0.6f, .fQ = 0.8f},
     .fGain = 0.2f},
    // P_WARM_PAD: dark detuned saws, slow
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SAW, .fMix2 = 1, .fRatio2 = 1, .fDetune = 14},
     .env = {.fAttack = 0.4f, .fSustain = 1, .fRelease = 0.45f},
     .filter = {.fCut = 2, .fQ = 0.7f},
     .fGain = 0.17f},
    // P_PAD: the other pads and effects
    {.osc = {.nWave1 = WAVE_TRI, .nWave2 = WAVE_SAW, .fMix2 = 0.7f, .fRatio2 = 1, .fDetune = 12},
     .env = {.fAttack = 0.3f, .fSustain = 1, .fRelease = 0.5f},
     .filter = {.fCut = 3, .fCutEnv = 1, .fCutDecay = 0.5f, .fQ = 0.8f},
     .vib = {.fTremolo = 0.1f, .fTremRate = 0.5f},
     .fGain = 0.2f},
    // P_PLUCK: banjo, sitar, koto and the like
    {.osc = {.nWave1 = WAVE_SAW, .nWave2 = WAVE_SQUARE, .fMix2 = 0.3f, .fRatio2 = 1, .fDetune = 5},
     .env = {.fAttack = 0.001f, .fDecay = 0.7f, .fRelease = 0.06f, .fKeyDecay = 1},
     .filter = {.fCut = 3, .fCutEnv = 12, .fCutDecay = 0.08f, .fQ = 1.5f},
     .fGain = 0.3f},
    // P_STEEL_DRUM
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_SINE, .fMix2 = 0.2f, .fRatio2 = 2.0f},
     .fm = {.fFmRatio = 2.0f, .fFmIndex = 1.0f, .fFmDecay = 0.1f, .fFmSustain = 0.2f},
     .env = {.fAttack = 0.001f, .fDecay = 0.6f, .fRelease = 0.1f, .fKeyDecay = 1},
     .filter = {.fQ = 1},
     .fGain = 0.36f},
    // P_TOM: melodic and synth drums, woodblock, taiko
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_TRI, .fMix2 = 0.3f, .fRatio2 = 1.5f},
     .env = {.fAttack = 0.001f, .fDecay = 0.25f, .fRelease = 0.05f, .fKeyDecay = 0.5f},
     .filter = {.fQ = 1},
     .breath = {.fNoise = 0.3f, .fNoiseDecay = 0.02f},
     .fGain = 0.5f},
    // P_NOISE: the sound effects: filtered noise at the key
    {.osc = {.nWave1 = WAVE_SINE, .nWave2 = WAVE_SINE, .fRatio2 = 1},
     .env = {.fAttack = 0.05f, .fSustain = 1, .fRelease = 0.3f},
     .filter = {.fCut = 6, .fQ = 1.2f},
     .breath = {.fNoise = 2.5f, .fNoiseSustain = 1},
     .fGain = 0.1f},
};

// Each of the 128 programs by family, with the programs of our own tunes
// given the voice that suits them best.
int PatchOfProgram(int nProgram) {
    switch (nProgram) {
    case 4:
    case 5: return P_EPIANO;
    case 6:
    case 7: return P_HARPSI;
    case 11: return P_VIBES;
    case 12:
    case 13: return P_MARIMBA;
    case 15: return P_PLUCK;
    case 20:
    case 21:
    case 22:
    case 23: return P_REED_ORGAN;
    case 24: return P_NYLON;
    case 29:
    case 30: return P_DIST_GUITAR;
    case 38:
    case 39: return P_SYNTH_BASS;
    case 45: return P_PIZZ;
    case 46: return P_HARP;
    case 47: return P_TOM;
    case 49: return P_SLOW_STRINGS;
    case 52:
    case 53:
    case 54: return P_CHOIR;
    case 59: return P_MUTED;
    case 60: return P_HORN;
    case 68:
    case 69:
    case 70: return P_DOUBLE_REED;
    case 71: return P_CLARINET;
    case 75:
    case 76:
    case 77: return P_PAN_FLUTE;
    case 79: return P_OCARINA;
    case 80: return P_SQUARE_LEAD;
    case 88: return P_NEW_AGE_PAD;
    case 89: return P_WARM_PAD;
    case 108: return P_BELL;
    case 109: return P_DOUBLE_REED;
    case 110: return P_STRING;
    case 111: return P_DOUBLE_REED;
    case 112:
    case 113: return P_BELL;
    case 114: return P_STEEL_DRUM;
    default: break;
    }
    static const uint8_t aFamily[16] = {
        P_PIANO, P_BELL,  P_ORGAN,    P_GUITAR, P_BASS, P_STRING, P_ENSEMBLE, P_BRASS,
        P_SAX,   P_FLUTE, P_SAW_LEAD, P_PAD,    P_PAD,  P_PLUCK,  P_TOM,      P_NOISE,
    };
    return aFamily[(nProgram >> 3) & 15];
}

// --- Drums --------------------------------------------------------------------------

enum { NOISE_NONE, NOISE_LOW, NOISE_BAND, NOISE_HIGH };

struct Drum {
    float fHz0, fHz1, fSweep; // the body, a sine gliding from fHz0 toward fHz1
    float fBody, fBodyDecay;
    uint8_t nNoiseMode;
    float fNoiseHz, fNoiseQ, fNoise, fNoiseDecay;
    float fMetalHz, fMetal; // square partials from fMetalHz up, through the noise filter
    float fPan;
    uint8_t nGroup;      // the hi-hats cut each other off
    uint8_t nMetals = 2; // two for a bell, SYNTH_METALS for a cymbal
};

int DrumOfKey(int nKey, Drum* d) {
    *d = Drum{};
    d->fNoiseQ = 0.7f;
    switch (nKey) {
    case 35:
    case 36: // kicks
        *d = {150, 48, 0.035f, 1.0f, 0.2f, NOISE_BAND, 3000, 0.7f, 0.25f, 0.006f, 0, 0, 0, 0};
        return 1;
    case 37: // side stick
        *d = {820, 800, 0.1f, 0.35f, 0.02f, NOISE_BAND, 2500, 1.5f, 0.5f, 0.025f, 0, 0, 0, 0};
        return 1;
    case 38:
    case 40: // snares
        *d = {210, 170, 0.05f, 0.45f, 0.09f, NOISE_BAND, 4200, 0.45f, 0.75f, 0.14f, 0, 0, 0.05f, 0};
        return 1;
    case 39: // clap
        *d = {0, 0, 1, 0, 1, NOISE_BAND, 1300, 1.2f, 0.9f, 0.11f, 0, 0, 0, 0};
        return 1;
    case 41:
    case 43:
    case 45:
    case 47:
    case 48:
    case 50: { // toms, low to high
        float fHz = 75 * powf(2.0f, (float)(nKey - 41) / 9.0f * 1.5f);
        float fPan = (float)(nKey - 45) / 12.0f;
        *d = {fHz * 1.3f, fHz,   0.08f, 0.9f, 0.3f, NOISE_BAND, 900,
              0.8f,       0.15f, 0.04f, 0,    0,    fPan,       0};
        return 1;
    }
    // Hi-hats and cymbals, as drum machines make them: six low square waves
    // at odd ratios and a little noise, high-passed far above them.
    case 42: // closed hi-hat
        *d = {0, 0, 1, 0, 1, NOISE_HIGH, 7000, 0.9f, 0.12f, 0.035f, 405, 0.5f, 0.25f, 1};
        d->nMetals = SYNTH_METALS;
        return 1;
    case 44: // pedal hi-hat
        *d = {0, 0, 1, 0, 1, NOISE_HIGH, 6500, 0.9f, 0.1f, 0.05f, 405, 0.4f, 0.25f, 1};
        d->nMetals = SYNTH_METALS;
        return 1;
    case 46: // open hi-hat
        *d = {0, 0, 1, 0, 1, NOISE_HIGH, 6500, 0.9f, 0.12f, 0.35f, 405, 0.5f, 0.25f, 1};
        d->nMetals = SYNTH_METALS;
        return 1;
    case 49:
    case 52:
    case 55:
    case 57: // crashes, china, splash
        *d = {0,   0,    1,     0, 1, NOISE_HIGH, 5000, 0.8f, 0.25f, nKey == 55 ? 0.45f : 1.1f,
              370, 0.5f, -0.3f, 0};
        d->nMetals = SYNTH_METALS;
        return 1;
    case 51:
    case 59: // rides: the ping of the partials over a quiet wash
        *d = {0, 0, 1, 0, 1, NOISE_HIGH, 4500, 1.2f, 0.05f, 0.4f, 330, 0.25f, 0.3f, 0};
        d->nMetals = SYNTH_METALS;
        return 1;
    case 53: // ride bell
        *d = {2300, 2300, 1, 0.25f, 0.6f, NOISE_HIGH, 2500, 0.8f, 0.1f, 0.6f, 2500, 0.5f, 0.3f, 0};
        return 1;
    case 54: // tambourine
        *d = {0, 0, 1, 0, 1, NOISE_HIGH, 8500, 0.7f, 0.55f, 0.12f, 6200, 0.12f, 0.35f, 0};
        return 1;
    case 56: // cowbell
        *d = {0, 0, 1, 0, 1, NOISE_BAND, 800, 1.2f, 0.0f, 0.16f, 560, 1.0f, 0.2f, 0};
        return 1;
    case 58: // vibraslap
        *d = {0, 0, 1, 0, 1, NOISE_BAND, 3000, 2.0f, 0.5f, 0.5f, 0, 0, -0.2f, 0};
        return 1;
    case 60:
    case 61:
    case 62:
    case 63:
    case 64: { // bongos, congas
        static const float aHz[5] = {420, 310, 340, 330, 220};
        static const float aDecay[5] = {0.12f, 0.14f, 0.06f, 0.2f, 0.24f};
        float fHz = aHz[nKey - 60];
        *d = {fHz * 1.08f, fHz,    0.02f, 0.8f, aDecay[nKey - 60],         NOISE_BAND, 2000, 1.0f,
              0.12f,       0.015f, 0,     0,    nKey <= 61 ? 0.3f : -0.3f, 0};
        return 1;
    }
    case 65:
    case 66: // timbales
        *d = {nKey == 65 ? 520.0f : 390.0f,
              nKey == 65 ? 500.0f : 370.0f,
              0.02f,
              0.6f,
              0.25f,
              NOISE_BAND,
              3000,
              1.0f,
              0.2f,
              0.03f,
              0,
              0,
              0.2f,
              0};
        return 1;
    case 67:
    case 68: // agogo
        *d = {nKey == 67 ? 900.0f : 660.0f,
              nKey == 67 ? 900.0f : 660.0f,
              1,
              0.6f,
              0.3f,
              NOISE_BAND,
              nKey == 67 ? 1800.0f : 1300.0f,
              1.5f,
              0,
              0.3f,
              nKey == 67 ? 900.0f : 660.0f,
              0.2f,
              -0.2f,
              0};
        return 1;
    case 69: // cabasa
        *d = {0, 0, 1, 0, 1, NOISE_BAND, 6000, 0.9f, 0.45f, 0.07f, 0, 0, -0.25f, 0};
        return 1;
    case 70: // maracas: seeds in a band, a faint rattle of partials
        *d = {0, 0, 1, 0, 1, NOISE_BAND, 5500, 1.1f, 0.4f, 0.045f, 520, 0.1f, -0.3f, 0};
        d->nMetals = SYNTH_METALS;
        return 1;
    case 71:
    case 72: // whistles
        *d = {2400,       2300, 0.2f, 0.4f,  nKey == 71 ? 0.15f : 0.4f,
              NOISE_BAND, 2400, 3.0f, 0.05f, 0.2f,
              0,          0,    0.3f, 0};
        return 1;
    case 73:
    case 74: // guiro
        *d = {0, 0, 1,    0, 1, NOISE_BAND, 3200, 1.5f, 0.6f, nKey == 73 ? 0.08f : 0.25f,
              0, 0, 0.3f, 0};
        return 1;
    case 75: // claves
        *d = {2500, 2500, 1, 0.6f, 0.04f, NOISE_NONE, 0, 1, 0, 1, 0, 0, 0.2f, 0};
        return 1;
    case 76:
    case 77: // wood blocks
        *d = {nKey == 76 ? 1200.0f : 820.0f,
              nKey == 76 ? 1150.0f : 780.0f,
              0.01f,
              0.6f,
              0.05f,
              NOISE_BAND,
              2000,
              1.0f,
              0.1f,
              0.01f,
              0,
              0,
              -0.2f,
              0};
        return 1;
    case 78:
    case 79: // cuica
        *d = {nKey == 78 ? 500.0f : 650.0f,
              nKey == 78 ? 350.0f : 450.0f,
              0.1f,
              0.5f,
              0.2f,
              NOISE_NONE,
              0,
              1,
              0,
              1,
              0,
              0,
              0.1f,
              0};
        return 1;
    case 80:
    case 81: // triangles
        *d = {4200,       4200,  1,     0.3f,  nKey == 80 ? 0.1f : 1.0f,
              NOISE_HIGH, 5000,  0.8f,  0.03f, 0.05f,
              6300,       0.06f, 0.35f, 0};
        return 1;
    default:
        if (nKey >= 27 && nKey <= 87) { // the rest: a short click or shake
            *d = {1000, 900, 0.02f, 0.3f, 0.04f, NOISE_HIGH, 5000, 0.7f, 0.3f, 0.06f, 0, 0, 0, 0};
            return 1;
        }
        return 0;
    }
}

// --- The voices ----------------------------------------------------------------------

enum { STAGE_FREE, STAGE_ATTACK, STAGE_DECAY, STAGE_RELEASE, STAGE_KILL };
constexpr float kKillTime = 0.0025f;       // a stolen or cut note fades this fast
constexpr float kSilent = 1.0f / 16384;    // an envelope below this is over
constexpr float kInaudible = 0.5f / 32768; // a voice's gains below this are over
constexpr float kMaster = 1.0f;
constexpr float kDrumGain = 0.5f;
constexpr float kMaxBend = 24; // semitones: a bend range of more is taken as this

// The mix: its gain steps down for a block that would pass kLimitAt and
// recovers over kRecover seconds; above kKnee a soft knee bends every sample
// toward kCeiling, which it never reaches. Our effects peak at 0.38, so an
// effect over the music still stays below full scale.
constexpr float kLimitAt = 0.5f, kKnee = 0.45f, kCeiling = 0.58f, kRecover = 0.25f;

// Breath noise through a band of about 700 Hz to 4.5 kHz: two one-pole
// low-passes, the lower one taken from the higher. kBreathGain keeps its
// level as the white noise had it.
constexpr float kBreathTop = 0.473f, kBreathBottom = 0.0949f, kBreathGain = 2.0f;

float aPanLeft[128], aPanRight[128];
// Each patch's decays over a whole block: release, filter, modulator, breath.
float aBlockMul[P_COUNT][4];

float Decay(float fTime, float fTau) {
    return fTau > 0 ? expf(-fTime / fTau) : 0.0f;
}

// A decay over this block: the whole block's from the table, else worked out.
float BlockDecay(float fFull, float dt, float fTau, int n) {
    return n == SYNTH_BLOCK ? fFull : Decay(dt, fTau);
}
float aVelocityGain[128], aLevelGain[128];

void CurvesMake() {
    const float dt = (float)SYNTH_BLOCK / kRate;
    for (int i = 0; i < P_COUNT; i++) {
        aBlockMul[i][0] = Decay(dt, aPatch[i].env.fRelease);
        aBlockMul[i][1] = Decay(dt, aPatch[i].filter.fCutDecay);
        aBlockMul[i][2] = Decay(dt, aPatch[i].fm.fFmDecay);
        aBlockMul[i][3] = Decay(dt, aPatch[i].breath.fNoiseDecay);
    }
    for (int i = 0; i < 128; i++) {
        float p = i <= 1 ? 0.0f : (float)(i - 1) / 126.0f; // 1 hard left, 127 hard right
        aPanLeft[i] = cosf(p * kPi / 2) * 1.41421356f * 0.75f + 0.25f * (1 - p);
        aPanRight[i] = sinf(p * kPi / 2) * 1.41421356f * 0.75f + 0.25f * p;
        float v = (float)i / 127.0f;
        aVelocityGain[i] = powf(v, 1.6f);
        aLevelGain[i] = v * v;
    }
}

float KeyHz(float fKey) {
    return 440.0f * powf(2.0f, (fKey - 69.0f) / 12.0f);
}

float VoiceLevel(const SynthVoice* v) {
    float g = v->fGainL + v->fGainR;
    return v->bDrum ? g * fmaxf(v->fEnv, v->fNoiseEnv) : g;
}

void VoiceKill(SynthVoice* v) {
    if (v->nStage != STAGE_FREE) v->nStage = STAGE_KILL;
}

void VoiceRelease(Synth* s, SynthVoice* v) {
    if (v->bDrum || v->nStage == STAGE_FREE || v->nStage >= STAGE_RELEASE) return;
    if (s->aChannel[v->nChannel].bSustain)
        v->bSustained = 1;
    else
        v->nStage = STAGE_RELEASE;
}

void VoiceRender(Synth* s, SynthVoice* v, float* aL, float* aR, int n);

// What is left of a fading voice, played out over one block from the tail
// and faded to nothing there, so that its slot can be taken at once.
void VoiceTail(Synth* s, SynthVoice* v) {
    float aL[SYNTH_BLOCK] = {0}, aR[SYNTH_BLOCK] = {0};
    VoiceRender(s, v, aL, aR, SYNTH_BLOCK);
    for (int i = 0; i < SYNTH_BLOCK; i++) {
        float f = (float)(SYNTH_BLOCK - i) / (float)SYNTH_BLOCK;
        s->aTail[0][i] += aL[i] * f;
        s->aTail[1][i] += aR[i] * f;
    }
    s->nTail = SYNTH_BLOCK;
}

// A slot for a new note. When SYNTH_VOICES notes sound, the quietest that
// has been heard (a fading one before a held one; of equals the oldest) is
// cut short: a note struck since the last block has no level yet and is
// never taken while another can be. The stolen slot fades out while the new
// note takes a spare one; with none spare, the quietest fading slot is taken
// and the rest of its fade goes to the tail.
SynthVoice* VoiceAllocate(Synth* s) {
    SynthVoice *pFree = nullptr, *pVictim = nullptr, *pFresh = nullptr;
    float fVictim = 0;
    int nSounding = 0;
    for (SynthVoice* v = s->aVoice; v < s->aVoice + SYNTH_SLOTS; v++) {
        if (v->nStage == STAGE_FREE) {
            if (!pFree) pFree = v;
            continue;
        }
        if (v->nStage == STAGE_KILL) continue;
        nSounding++;
        if (v->fTime == 0) { // struck, not yet rendered
            if (!pFresh || v->nAge < pFresh->nAge) pFresh = v;
            continue;
        }
        float f = VoiceLevel(v) * (v->nStage == STAGE_RELEASE ? 0.25f : 1.0f);
        if (!pVictim || f < fVictim || (f == fVictim && v->nAge < pVictim->nAge)) {
            pVictim = v;
            fVictim = f;
        }
    }
    if (nSounding >= SYNTH_VOICES) {
        if (!pVictim) return pFresh; // all struck at once: the oldest, still silent, gives way
        VoiceKill(pVictim);
    }
    if (pFree) return pFree;
    SynthVoice* pQuiet = nullptr;
    for (SynthVoice* v = s->aVoice; v < s->aVoice + SYNTH_SLOTS; v++)
        if (v->nStage == STAGE_KILL && (!pQuiet || VoiceLevel(v) < VoiceLevel(pQuiet))) pQuiet = v;
    if (!pQuiet) return pVictim;
    VoiceTail(s, pQuiet);
    return pQuiet;
}

void NoteOn(Synth* s, int nChannel, int nKey, int nVelocity) {
    int bDrum = nChannel == SYNTH_DRUM_CHANNEL;
    Drum drum;
    if (bDrum && !DrumOfKey(nKey, &drum)) return;
    for (SynthVoice* v = s->aVoice; v < s->aVoice + SYNTH_SLOTS; v++) {
        if (v->nStage == STAGE_FREE || v->nStage == STAGE_KILL || v->nChannel != nChannel) continue;
        // The same key struck again, or a hi-hat closing on an open one.
        Drum other;
        if (v->nKey == nKey ||
            (bDrum && drum.nGroup && DrumOfKey(v->nKey, &other) && other.nGroup == drum.nGroup))
            VoiceKill(v);
    }
    SynthVoice* v = VoiceAllocate(s);
    if (!v) return;
    memset(v, 0, sizeof *v);
    v->nStage = STAGE_ATTACK;
    v->nChannel = (uint8_t)nChannel;
    v->nKey = (uint8_t)nKey;
    v->nVelocity = (uint8_t)nVelocity;
    v->fVelocity = aVelocityGain[nVelocity];
    v->bDrum = (uint8_t)bDrum;
    v->nAge = ++s->nAge;
    v->nNoise = 0x9E3779B9u ^ (v->nAge * 2654435761u);
    if (bDrum) {
        v->fEnv = 1;
        v->fNoiseEnv = 1;
        return;
    }
    v->nPatch = (uint16_t)PatchOfProgram(s->aChannel[nChannel].nProgram);
    const Patch& p = aPatch[v->nPatch];
    v->fHz = KeyHz((float)nKey);
    v->fDecay = p.env.fDecay;
    if (p.env.fKeyDecay > 0 && p.env.fDecay > 0) {
        float fScale = powf(261.6f / v->fHz, 0.5f * p.env.fKeyDecay);
        v->fDecay *= fminf(fmaxf(fScale, 0.25f), 2.5f);
    }
    v->fDecayMul = Decay((float)SYNTH_BLOCK / kRate, v->fDecay);
    // The detune split by the two levels, so the pitch heard stays the key's.
    float fShare = p.osc.fDetune / (1 + p.osc.fMix2) / 1200.0f;
    v->fRatio1 = exp2f(-fShare * p.osc.fMix2);
    v->fRatio2 = p.osc.fRatio2 * exp2f(fShare);
    v->fCutNow = v->fFmNow = v->fBreathNow = 1;
}

void NoteOff(Synth* s, int nChannel, int nKey) {
    for (SynthVoice* v = s->aVoice; v < s->aVoice + SYNTH_SLOTS; v++)
        if (v->nChannel == nChannel && v->nKey == nKey) VoiceRelease(s, v);
}

void ControlChange(Synth* s, int nChannel, int nControl, int nValue) {
    SynthChannel* c = &s->aChannel[nChannel];
    switch (nControl) {
    case 6: // data entry: the pitch-bend range
        if (c->nRpnMsb == 0 && c->nRpnLsb == 0)
            c->fBendRange = fminf((float)nValue + fmodf(c->fBendRange, 1.0f), kMaxBend);
        break;
    case 38:
        if (c->nRpnMsb == 0 && c->nRpnLsb == 0)
            c->fBendRange = fminf(floorf(c->fBendRange) + (float)nValue / 100.0f, kMaxBend);
        break;
    case 91: c->nReverb = (uint8_t)nValue; break;
    case 93: c->nChorus = (uint8_t)nValue; break;
    case 7: c->nVolume = (uint8_t)nValue; break;
    case 10: c->nPan = (uint8_t)nValue; break;
    case 11: c->nExpression = (uint8_t)nValue; break;
    case 64:
        c->bSustain = nValue >= 64;
        if (!c->bSustain)
            for (SynthVoice* v = s->aVoice; v < s->aVoice + SYNTH_SLOTS; v++)
                if (v->nChannel == nChannel && v->bSustained && v->nStage < STAGE_RELEASE) {
                    v->bSustained = 0;
                    v->nStage = STAGE_RELEASE;
                }
        break;
    case 98:
    case 99: c->nRpnMsb = c->nRpnLsb = 127; break; // a non-registered number: not ours
    case 100: c->nRpnLsb = (uint8_t)nValue; break;
    case 101: c->nRpnMsb = (uint8_t)nValue; break;
    case 120: // all sound off
        for (SynthVoice* v = s->aVoice; v < s->aVoice + SYNTH_SLOTS; v++)
            if (v->nChannel == nChannel) VoiceKill(v);
        break;
    case 121: // reset all controllers
        c->nExpression = 127;
        c->nBend = 0;
        c->nRpnMsb = c->nRpnLsb = 127;
        ControlChange(s, nChannel, 64, 0);
        break;
    case 123: // all notes off
        for (SynthVoice* v = s->aVoice; v < s->aVoice + SYNTH_SLOTS; v++)
            if (v->nChannel == nChannel) VoiceRelease(s, v);
        break;
    default: break;
    }
}

// The channel's gains for a voice: velocity, volume, expression and pan.
void ChannelGains(const Synth* s, const SynthVoice* v, float fGain, float* pL, float* pR) {
    const SynthChannel* c = &s->aChannel[v->nChannel];
    float g = fGain * v->fVelocity * aLevelGain[c->nVolume] * aLevelGain[c->nExpression];
    *pL = g * aPanLeft[c->nPan];
    *pR = g * aPanRight[c->nPan];
}

// What a voice's sample loop carries from block to block, in locals while
// it runs; and the gains' ramps from the last block's to this one's.
struct LoopState {
    uint32_t n1, n2, nMod, nNoise;
    float gL, gR, fLow, fBand, fBreathLow, fBreathHigh;
    float dgL, dgR;
};

LoopState LoopBegin(const SynthVoice* v, float gL1, float gR1, int n) {
    float fInv = 1.0f / (float)n;
    return {v->nPhase1,
            v->nPhase2,
            v->nPhaseMod,
            v->nNoise,
            v->fGainL,
            v->fGainR,
            v->fLow,
            v->fBand,
            v->fBreathLow,
            v->fBreathHigh,
            (gL1 - v->fGainL) * fInv,
            (gR1 - v->fGainR) * fInv};
}

// One sample into the channel's mix, the gains a step further.
inline void LoopOut(LoopState& st, float x, float* aL, float* aR, int i) {
    st.gL += st.dgL;
    st.gR += st.dgR;
    aL[i] += x * st.gL;
    aR[i] += x * st.gR;
}

// The state back into the voice; the gains exactly where the ramps aimed.
void LoopEnd(SynthVoice* v, const LoopState& st, float gL1, float gR1) {
    v->nPhase1 = st.n1;
    v->nPhase2 = st.n2;
    v->nPhaseMod = st.nMod;
    v->nNoise = st.nNoise;
    v->fLow = st.fLow;
    v->fBand = st.fBand;
    v->fBreathLow = st.fBreathLow;
    v->fBreathHigh = st.fBreathHigh;
    v->fGainL = gL1;
    v->fGainR = gR1;
}

// The filter's coefficients are kept in the voice while its cutoff stands.
void FilterKeep(SynthVoice* v, float fHz, const FilterCoef& c) {
    v->fFilterHz = fHz;
    v->fA1 = c.a1;
    v->fA2 = c.a2;
    v->fA3 = c.a3;
    v->fK = c.k;
}

FilterCoef FilterKept(const SynthVoice* v) {
    return {v->fA1, v->fA2, v->fA3, v->fK};
}

// One block of a drum, the per-sample work only: the kind of drum is chosen
// once per block, so the loop carries no tests.
struct DrumBlock {
    float fBody, dBody, fNoise, dNoise, fNoiseLevel, fMetalLevel;
    uint32_t nInc, anMetalInc[SYNTH_METALS];
    const float* tMetal;
    FilterCoef fc;
};

template <int bBody, int nMetals, int nNoiseMode>
void DrumLoop(const DrumBlock& b, SynthVoice* v, LoopState& stBlock, float* aL, float* aR, int n) {
    LoopState st = stBlock; // a copy of its own, so the stores to aL and aR leave it in registers
    uint32_t an[SYNTH_METALS];
    for (int k = 0; k < nMetals; k++) an[k] = v->anMetal[k];
    float fBody = b.fBody, fNoise = b.fNoise;
    for (int i = 0; i < n; i++) {
        float x = 0;
        if (bBody) {
            x = Lookup(aSine, st.n1) * fBody;
            st.n1 += b.nInc;
        }
        if (nNoiseMode != NOISE_NONE) {
            float y = NoiseNext(&st.nNoise) * b.fNoiseLevel;
            if (nMetals == SYNTH_METALS) {
                // A cymbal's squares as plain signs: what they fold back
                // past the limit is more of the same shimmer.
                int m = 0;
                for (int k = 0; k < nMetals; k++) {
                    m += (int)((int32_t)an[k] >> 31 | 1);
                    an[k] += b.anMetalInc[k];
                }
                y += (float)m * b.fMetalLevel;
            } else {
                for (int k = 0; k < nMetals; k++) {
                    y += Lookup(b.tMetal, an[k]) * b.fMetalLevel;
                    an[k] += b.anMetalInc[k];
                }
            }
            float fBandOut;
            float fLowOut = FilterRun(b.fc, &st.fLow, &st.fBand, y, &fBandOut);
            float z = nNoiseMode == NOISE_LOW    ? fLowOut
                      : nNoiseMode == NOISE_BAND ? fBandOut * b.fc.k
                                                 : y - b.fc.k * fBandOut - fLowOut;
            x += z * fNoise;
        }
        fBody += b.dBody;
        fNoise += b.dNoise;
        LoopOut(st, x, aL, aR, i);
    }
    for (int k = 0; k < nMetals; k++) v->anMetal[k] = an[k];
    stBlock = st;
}

typedef void (*DrumLoopFn)(const DrumBlock&, SynthVoice*, LoopState&, float*, float*, int);
#define DRUM_LOOPS(m)                                                                              \
    DrumLoop<0, 0, m>, DrumLoop<1, 0, m>, DrumLoop<0, 2, m>, DrumLoop<1, 2, m>,                    \
        DrumLoop<0, SYNTH_METALS, m>, DrumLoop<1, SYNTH_METALS, m>
const DrumLoopFn akDrumLoop[24] = {DRUM_LOOPS(NOISE_NONE), DRUM_LOOPS(NOISE_LOW),
                                   DRUM_LOOPS(NOISE_BAND), DRUM_LOOPS(NOISE_HIGH)};
#undef DRUM_LOOPS

// The partials of a cymbal against its lowest: the first two are a bell's.
const float aMetalRatio[SYNTH_METALS] = {1, 1.4983f, 1.8174f, 2.2631f, 2.6489f, 3.0920f};

void DrumRender(Synth* s, SynthVoice* v, float* aL, float* aR, int n) {
    Drum d;
    DrumOfKey(v->nKey, &d);
    float dt = (float)n / kRate;
    // A millisecond's rise, so even the hardest hit starts without a click.
    float fRise0 = fminf(v->fTime / 0.001f, 1.0f), fRise1 = fminf((v->fTime + dt) / 0.001f, 1.0f);
    float fBody0 = v->fEnv * d.fBody * fRise0, fNoise0 = v->fNoiseEnv * fRise0;
    if (v->nStage == STAGE_KILL) {
        float k = expf(-dt / kKillTime);
        v->fEnv *= k;
        v->fNoiseEnv *= k;
    } else {
        v->fEnv *= expf(-dt / d.fBodyDecay);
        v->fNoiseEnv *= expf(-dt / d.fNoiseDecay);
    }
    float fBody1 = v->fEnv * d.fBody * fRise1, fNoise1 = v->fNoiseEnv * fRise1;
    float fHz = d.fHz1 + (d.fHz0 - d.fHz1) * Decay(v->fTime, d.fSweep);
    if (v->fFilterHz == 0) // the drum's filter never moves: set once
        FilterKeep(v, d.fNoiseHz, FilterMake(d.fNoiseHz, d.fNoiseQ));

    int nPan = (int)s->aChannel[v->nChannel].nPan + (int)(d.fPan * 40);
    nPan = nPan < 0 ? 0 : nPan > 127 ? 127 : nPan;
    const SynthChannel* ch = &s->aChannel[v->nChannel];
    float g = kDrumGain * v->fVelocity * aLevelGain[ch->nVolume] * aLevelGain[ch->nExpression];
    float gL1 = g * aPanLeft[nPan], gR1 = g * aPanRight[nPan];
    DrumBlock b;
    float fInv = 1.0f / (float)n;
    b.fBody = fBody0;
    b.dBody = (fBody1 - fBody0) * fInv;
    b.fNoise = fNoise0;
    b.dNoise = (fNoise1 - fNoise0) * fInv;
    b.fNoiseLevel = d.fNoise;
    b.fMetalLevel = d.fMetal;
    b.nInc = PhaseStep(fHz);
    for (int k = 0; k < SYNTH_METALS; k++) b.anMetalInc[k] = PhaseStep(d.fMetalHz * aMetalRatio[k]);
    b.tMetal = TableFor(WAVE_SQUARE, d.fMetalHz * 1.5f); // a bell's, clear of the limit
    b.fc = FilterKept(v);
    // A part that has died away below what 16 bits can tell is left out.
    int bBody = d.fBody > 0 && fmaxf(fBody0, fBody1) >= kSilent;
    int nNoiseMode = fmaxf(fNoise0, fNoise1) >= kSilent ? (int)d.nNoiseMode : (int)NOISE_NONE;
    int nMetalKind =
        d.fMetal > 0 && nNoiseMode != NOISE_NONE ? (d.nMetals == SYNTH_METALS ? 2 : 1) : 0;
    LoopState st = LoopBegin(v, gL1, gR1, n);
    akDrumLoop[bBody + 2 * nMetalKind + 6 * nNoiseMode](b, v, st, aL, aR, n);
    LoopEnd(v, st, gL1, gR1);
    v->fTime += dt;
    float fLevel = (gL1 + gR1) * fmaxf(v->fEnv * d.fBody, v->fNoiseEnv * (d.fNoise + d.fMetal));
    if ((v->fEnv * d.fBody < kSilent && v->fNoiseEnv < kSilent) || fLevel < kInaudible)
        v->nStage = STAGE_FREE;
}

enum { FILTER_NONE, FILTER_POLES, FILTER_RESONANT };

// One block of a tone, the per-sample work only: the kind of voice is
// chosen once per block, so the loop carries no tests.
struct ToneBlock {
    const float *t1, *t2;
    uint32_t nInc1, nInc2, nIncMod;
    float fIndex, fMix2, fNoise;
    FilterCoef fc;
};

template <int bFm, int bOsc2, int bNoise, int nFilter>
void ToneLoop(const ToneBlock& b, SynthVoice*, LoopState& stBlock, float* aL, float* aR, int n) {
    LoopState st = stBlock; // in registers, as above
    for (int i = 0; i < n; i++) {
        float x;
        if (bFm) {
            // Phase modulation: the modulator moves the read position.
            uint32_t nOffset = PhaseOffset(Lookup(aSine, st.nMod) * b.fIndex);
            st.nMod += b.nIncMod;
            x = Lookup(b.t1, st.n1 + nOffset);
        } else {
            x = Lookup(b.t1, st.n1);
        }
        st.n1 += b.nInc1;
        if (bOsc2) {
            x += Lookup(b.t2, st.n2) * b.fMix2;
            st.n2 += b.nInc2;
        }
        if (bNoise) {
            st.fBreathLow += (NoiseNext(&st.nNoise) - st.fBreathLow) * kBreathTop;
            st.fBreathHigh += (st.fBreathLow - st.fBreathHigh) * kBreathBottom;
            x += (st.fBreathLow - st.fBreathHigh) * b.fNoise;
        }
        if (nFilter == FILTER_POLES) {
            // Two one-pole low-passes: gentle, and quicker than the resonant
            // one. Written so that only a multiply and an add wait on the
            // sample before (a1 the input's share, a2 the pole).
            st.fLow = st.fLow * b.fc.a2 + x * b.fc.a1;
            st.fBand = st.fBand * b.fc.a2 + st.fLow * b.fc.a1;
            x = st.fBand;
        } else if (nFilter == FILTER_RESONANT) {
            float fBandOut;
            x = FilterRun(b.fc, &st.fLow, &st.fBand, x, &fBandOut);
        }
        LoopOut(st, x, aL, aR, i);
    }
    stBlock = st;
}

typedef void (*ToneLoopFn)(const ToneBlock&, SynthVoice*, LoopState&, float*, float*, int);
#define TONE_LOOPS(f)                                                                              \
    ToneLoop<0, 0, 0, f>, ToneLoop<1, 0, 0, f>, ToneLoop<0, 1, 0, f>, ToneLoop<1, 1, 0, f>,        \
        ToneLoop<0, 0, 1, f>, ToneLoop<1, 0, 1, f>, ToneLoop<0, 1, 1, f>, ToneLoop<1, 1, 1, f>
const ToneLoopFn akToneLoop[24] = {TONE_LOOPS(FILTER_NONE), TONE_LOOPS(FILTER_POLES),
                                   TONE_LOOPS(FILTER_RESONANT)};
#undef TONE_LOOPS

void ToneRender(Synth* s, SynthVoice* v, float* aL, float* aR, int n) {
    const Patch& p = aPatch[v->nPatch];
    const SynthChannel* c = &s->aChannel[v->nChannel];
    float dt = (float)n / kRate;

    // The amplitude envelope at the end of this block.
    const float* aMul = aBlockMul[v->nPatch];
    switch (v->nStage) {
    case STAGE_ATTACK:
        v->fEnv += p.env.fAttack > 0 ? dt / p.env.fAttack : 1.0f;
        if (v->fEnv >= 1) {
            v->fEnv = 1;
            v->nStage = STAGE_DECAY;
        }
        break;
    case STAGE_DECAY:
        v->fEnv = p.env.fSustain +
                  (v->fEnv - p.env.fSustain) * BlockDecay(v->fDecayMul, dt, v->fDecay, n);
        break;
    case STAGE_RELEASE: v->fEnv *= BlockDecay(aMul[0], dt, p.env.fRelease, n); break;
    default: v->fEnv *= expf(-dt / kKillTime); break;
    }
    v->fTime += dt;
    float t = v->fTime;
    v->fCutNow *= BlockDecay(aMul[1], dt, p.filter.fCutDecay, n);
    v->fFmNow *= BlockDecay(aMul[2], dt, p.fm.fFmDecay, n);
    v->fBreathNow *= BlockDecay(aMul[3], dt, p.breath.fNoiseDecay, n);

    // Pitch: the bend and the vibrato that fades in.
    float fCents = (float)c->nBend / 8192.0f * c->fBendRange * 100.0f;
    if (p.vib.fVibCents > 0 && t > p.vib.fVibDelay) {
        float fFade = fminf((t - p.vib.fVibDelay) / 0.4f, 1.0f);
        fCents += p.vib.fVibCents * fFade * sinf(2 * kPi * p.vib.fVibRate * t);
    }
    float fHz = fCents != 0 ? v->fHz * exp2f(fCents / 1200.0f) : v->fHz;
    float fHz1 = fHz * v->fRatio1, fHz2 = fHz * v->fRatio2;
    uint32_t nInc1 = PhaseStep(fHz1), nInc2 = PhaseStep(fHz2);
    uint32_t nIncMod = PhaseStep(fHz1 * p.fm.fFmRatio);
    const float* t1 = TableFor(p.osc.nWave1, fHz1);
    const float* t2 = TableFor(p.osc.nWave2, fHz2);
    float fIndex = 0; // brighter the harder it is struck, as the filter opens below
    if (p.fm.fFmIndex > 0)
        fIndex = fminf(p.fm.fFmIndex * (p.fm.fFmSustain + (1 - p.fm.fFmSustain) * v->fFmNow) *
                           (0.2f + 1.1f * (float)v->nVelocity / 127.0f),
                       3.0f) *
                 (4294967296.0f / (2 * kPi * kOffsetStep)); // radians in offset steps
    float fNoiseLevel = 0;
    if (p.breath.fNoise > 0)
        fNoiseLevel = p.breath.fNoise *
                      (p.breath.fNoiseSustain + (1 - p.breath.fNoiseSustain) * v->fBreathNow);
    int nFilter = p.filter.fCut <= 0 ? FILTER_NONE
                  : p.filter.fQ > 1  ? FILTER_RESONANT
                                     : FILTER_POLES;
    FilterCoef fc = FilterKept(v);
    if (nFilter != FILTER_NONE) {
        // Brightness follows velocity: a hard strike opens the filter wider.
        float fCut =
            (p.filter.fCut + p.filter.fCutEnv * v->fCutNow * (0.4f + 0.6f * v->fVelocity)) *
            (0.5f + (float)v->nVelocity / 127.0f);
        float fCutHz = fmaxf(fHz * fCut, 180.0f);
        // The filter is set again only when its cutoff has moved.
        if (fabsf(fCutHz - v->fFilterHz) > 0.002f * fCutHz) {
            if (nFilter == FILTER_RESONANT) {
                fc = FilterMake(fCutHz, p.filter.fQ);
            } else {
                fc.a2 = expf(-2 * kPi * fminf(fCutHz, 0.45f * kRate) / kRate);
                fc.a1 = 1 - fc.a2;
                fc.a3 = fc.k = 0;
            }
            FilterKeep(v, fCutHz, fc);
        }
    }
    float fTrem = 1;
    if (p.vib.fTremolo > 0)
        fTrem = 1 - p.vib.fTremolo * (0.5f + 0.5f * sinf(2 * kPi * p.vib.fTremRate * t));

    float gL1, gR1;
    ChannelGains(s, v, p.fGain * v->fEnv * fTrem, &gL1, &gR1);
    ToneBlock tb;
    tb.t1 = t1;
    tb.t2 = t2;
    tb.nInc1 = nInc1;
    tb.nInc2 = nInc2;
    tb.nIncMod = nIncMod;
    tb.fIndex = fIndex;
    tb.fMix2 = p.osc.fMix2;
    tb.fNoise = fNoiseLevel * kBreathGain;
    tb.fc = fc;
    int nKind = (fIndex > 0) | (p.osc.fMix2 > 0) << 1 | (fNoiseLevel > 0) << 2 | nFilter << 3;
    LoopState st = LoopBegin(v, gL1, gR1, n);
    akToneLoop[nKind](tb, v, st, aL, aR, n);
    LoopEnd(v, st, gL1, gR1);
    // Over once it has died away below what 16 bits can tell from silence.
    int bDying = v->nStage >= STAGE_RELEASE || (v->nStage == STAGE_DECAY && p.env.fSustain == 0);
    if (bDying && (v->fEnv < kSilent || gL1 + gR1 < kInaudible)) v->nStage = STAGE_FREE;
}

void VoiceRender(Synth* s, SynthVoice* v, float* aL, float* aR, int n) {
    if (v->bDrum)
        DrumRender(s, v, aL, aR, n);
    else
        ToneRender(s, v, aL, aR, n);
}

// --- The room: reverb and chorus -------------------------------------------------------

// The reverb: eight delay lines of 27 to 49 ms (prime lengths, so their
// echoes never line up) fed back through a reflection that mixes each into
// all, each losing its highs on every pass; before them two all-pass
// diffusers smear the onset. The lines' gains set the time to fall 60 dB.
const int anReverbLength[SYNTH_REVERB_LINES + 2] = {1187, 1327, 1459, 1613, 1747,
                                                    1871, 2011, 2179, 347,  113};
constexpr float kReverbTime = 1.7f;  // s
constexpr float kReverbDamp = 0.42f; // the lines' one-pole low-pass, about 4 kHz
constexpr float kDiffuse = 0.6f;
constexpr float kReverbOut = 0.3f;
constexpr int kReverbRing = 5 * SYNTH_RATE; // this long unfed, the reverb has died away
float afReverbGain[SYNTH_REVERB_LINES];

// The chorus: two taps a quarter turn apart swaying 3 ms either side of 13 ms
// at 0.45 Hz, one for each side.
constexpr float kChorusDelay = 0.013f * kRate, kChorusDepth = 0.003f * kRate;
constexpr float kChorusRate = 0.45f, kChorusOut = 0.9f;

void ReverbMake() {
    for (int k = 0; k < SYNTH_REVERB_LINES; k++)
        afReverbGain[k] = powf(10.0f, -3.0f * (float)anReverbLength[k] / (kReverbTime * kRate));
}

// A line's next n samples to and from a block: every line is longer than a
// block, so what a block reads was written before it, and each line is
// read, and later written, a block at a time.
void LineRead(const float* pLine, int nLength, int nAt, float* a, int n) {
    int nFirst = nLength - nAt < n ? nLength - nAt : n;
    memcpy(a, pLine + nAt, (size_t)nFirst * sizeof *a);
    memcpy(a + nFirst, pLine, (size_t)(n - nFirst) * sizeof *a);
}

int LineWrite(float* pLine, int nLength, int nAt, const float* a, int n) {
    int nFirst = nLength - nAt < n ? nLength - nAt : n;
    memcpy(pLine + nAt, a, (size_t)nFirst * sizeof *a);
    memcpy(pLine, a + nFirst, (size_t)(n - nFirst) * sizeof *a);
    return nAt + n < nLength ? nAt + n : nAt + n - nLength;
}

// Adds the reverb of the mono send aIn to aL and aR.
void ReverbRun(SynthSpace* sp, const float* aIn, int bFed, float* aL, float* aR, int n) {
    sp->nReverbQuiet = bFed ? 0 : sp->nReverbQuiet + n;
    if (sp->nReverbQuiet > kReverbRing) return;
    float* apLine[SYNTH_REVERB_LINES + 2];
    float* p = sp->aReverb;
    for (int k = 0; k < SYNTH_REVERB_LINES + 2; k++) {
        apLine[k] = p;
        p += anReverbLength[k];
    }
    float x[SYNTH_BLOCK], y[SYNTH_BLOCK];
    memcpy(x, aIn, (size_t)n * sizeof *x);
    for (int k = SYNTH_REVERB_LINES; k < SYNTH_REVERB_LINES + 2; k++) { // the diffusers
        LineRead(apLine[k], anReverbLength[k], sp->anAt[k], y, n);
        for (int i = 0; i < n; i++) {
            float u = x[i] + kDiffuse * y[i];
            x[i] = y[i] - kDiffuse * u;
            y[i] = u;
        }
        sp->anAt[k] = LineWrite(apLine[k], anReverbLength[k], sp->anAt[k], y, n);
    }
    float aOut[SYNTH_REVERB_LINES][SYNTH_BLOCK], aSum[SYNTH_BLOCK] = {0};
    float afDamp[SYNTH_REVERB_LINES];
    for (int k = 0; k < SYNTH_REVERB_LINES; k++) {
        LineRead(apLine[k], anReverbLength[k], sp->anAt[k], aOut[k], n);
        afDamp[k] = sp->afDamp[k];
    }
    // The lines' low-passes side by side, so that no one waits on another.
    for (int i = 0; i < n; i++)
        for (int k = 0; k < SYNTH_REVERB_LINES; k++) {
            afDamp[k] = afDamp[k] * (1 - kReverbDamp) + aOut[k][i] * kReverbDamp;
            aOut[k][i] = afDamp[k] * afReverbGain[k];
            aSum[i] += aOut[k][i];
        }
    memcpy(sp->afDamp, afDamp, sizeof afDamp);
    // Fed back through a reflection, which mixes every line into all.
    for (int i = 0; i < n; i++) aSum[i] = x[i] - aSum[i] * (2.0f / (float)SYNTH_REVERB_LINES);
    for (int k = 0; k < SYNTH_REVERB_LINES; k++) {
        for (int i = 0; i < n; i++) y[i] = aOut[k][i] + aSum[i];
        sp->anAt[k] = LineWrite(apLine[k], anReverbLength[k], sp->anAt[k], y, n);
    }
    for (int i = 0; i < n; i++) {
        aL[i] += (aOut[0][i] - aOut[2][i] + aOut[4][i] - aOut[6][i]) * kReverbOut;
        aR[i] += (aOut[1][i] - aOut[3][i] + aOut[5][i] - aOut[7][i]) * kReverbOut;
    }
}

// One tap of the chorus, its delay in frames ramped across the block.
float ChorusTap(const SynthSpace* sp, int nAt, float fDelay) {
    float fRead = (float)nAt - fDelay;
    if (fRead < 0) fRead += (float)SYNTH_CHORUS_SIZE;
    int i = (int)fRead;
    float f = fRead - (float)i;
    float a = sp->aChorus[i], b = sp->aChorus[(i + 1) & (SYNTH_CHORUS_SIZE - 1)];
    return a + (b - a) * f;
}

// Adds the chorus of the mono send aIn to aL and aR.
void ChorusRun(SynthSpace* sp, const float* aIn, int bFed, float* aL, float* aR, int n) {
    sp->nChorusQuiet = bFed ? 0 : sp->nChorusQuiet + n;
    if (sp->nChorusQuiet > SYNTH_CHORUS_SIZE) return;
    float fPhase1 = sp->fChorusPhase + kChorusRate * (float)n / kRate;
    if (fPhase1 >= 1) fPhase1 -= 1;
    float a = 2 * kPi * sp->fChorusPhase, b = 2 * kPi * fPhase1;
    float dL0 = kChorusDelay + kChorusDepth * sinf(a), dL1 = kChorusDelay + kChorusDepth * sinf(b);
    float dR0 = kChorusDelay + kChorusDepth * cosf(a), dR1 = kChorusDelay + kChorusDepth * cosf(b);
    float fInv = 1.0f / (float)n;
    for (int i = 0; i < n; i++) {
        int nAt = sp->nChorusAt;
        sp->aChorus[nAt] = aIn[i];
        float f = (float)i * fInv;
        aL[i] += ChorusTap(sp, nAt, dL0 + (dL1 - dL0) * f) * kChorusOut;
        aR[i] += ChorusTap(sp, nAt, dR0 + (dR1 - dR0) * f) * kChorusOut;
        sp->nChorusAt = (nAt + 1) & (SYNTH_CHORUS_SIZE - 1);
    }
    sp->fChorusPhase = fPhase1;
}

// A channel's mix into the dry sum and, by its controllers 91 and 93, into
// the reverb's and the chorus's sends, each ramped from its last level.
void ChannelSend(SynthChannel* c, float (*aMix)[SYNTH_BLOCK], float* aL, float* aR, float* aReverb,
                 float* aChorus, int n) {
    float fReverb1 = (float)c->nReverb / 127.0f, fChorus1 = (float)c->nChorus / 127.0f;
    float fReverb = c->fReverbSend, fChorus = c->fChorusSend, fInv = 1.0f / (float)n;
    float dReverb = (fReverb1 - fReverb) * fInv, dChorus = (fChorus1 - fChorus) * fInv;
    for (int i = 0; i < n; i++) {
        float l = aMix[0][i], r = aMix[1][i], m = 0.5f * (l + r);
        fReverb += dReverb;
        fChorus += dChorus;
        aL[i] += l;
        aR[i] += r;
        aReverb[i] += m * fReverb;
        aChorus[i] += m * fChorus;
    }
    c->fReverbSend = fReverb1;
    c->fChorusSend = fChorus1;
}

// The tail of fading voices whose slots were taken, into this block.
void TailMix(Synth* s, float* aL, float* aR, int n) {
    if (!s->nTail) return;
    float* apOut[2] = {aL, aR};
    for (int c = 0; c < 2; c++) {
        float* t = s->aTail[c];
        for (int i = 0; i < n; i++) apOut[c][i] += t[i];
        memmove(t, t + n, (size_t)(SYNTH_BLOCK - n) * sizeof *t);
        memset(t + SYNTH_BLOCK - n, 0, (size_t)n * sizeof *t);
    }
    s->nTail = s->nTail > n ? s->nTail - n : 0;
}

// The mix to 16 bits. A block that would pass kLimitAt is turned down to
// it, ramped across the block, and the level recovers over kRecover; what
// still rises above kKnee bends toward kCeiling and never reaches it.
int16_t Limit(float x) {
    float a = fabsf(x);
    if (a > kKnee) {
        float u = (a - kKnee) / (kCeiling - kKnee);
        a = kKnee + (kCeiling - kKnee) * u / (1 + u);
        x = x < 0 ? -a : a;
    }
    return (int16_t)lrintf(x * 32767.0f);
}

void MixOut(Synth* s, const float* aL, const float* aR, int16_t* pOut, int n) {
    float fPeak = 0;
    for (int i = 0; i < n; i++) {
        float a = fabsf(aL[i]) > fabsf(aR[i]) ? fabsf(aL[i]) : fabsf(aR[i]);
        fPeak = a > fPeak ? a : fPeak;
    }
    fPeak *= kMaster;
    float g0 = s->fLevel, g1 = fminf(g0 + (1 - g0) * (float)n / (kRecover * kRate), 1.0f);
    if (fPeak * g1 > kLimitAt) g1 = kLimitAt / fPeak;
    float g = g0, dg = (g1 - g0) / (float)n;
    for (int i = 0; i < n; i++) {
        g += dg;
        pOut[2 * i] = Limit(aL[i] * kMaster * g);
        pOut[2 * i + 1] = Limit(aR[i] * kMaster * g);
    }
    s->fLevel = g1;
}

} // namespace

void SynthReset(Synth* pSynth) {
    if (!bTablesMade) {
        CurvesMake();
        TablesMake();
        ReverbMake();
    }
    memset(pSynth, 0, sizeof *pSynth);
    for (int i = 0; i < SYNTH_CHANNELS; i++) {
        SynthChannel* c = &pSynth->aChannel[i];
        c->nVolume = 100;
        c->nExpression = 127;
        c->nPan = 64;
        c->nRpnMsb = c->nRpnLsb = 127;
        c->fBendRange = 2;
        c->nReverb = 40; // the General MIDI default, for a file that sends none
    }
    pSynth->fLevel = 1;
}

void SynthMidi(Synth* pSynth, uint8_t nStatus, uint8_t nData1, uint8_t nData2) {
    int nChannel = nStatus & 0x0F;
    nData1 &= 0x7F;
    nData2 &= 0x7F;
    switch (nStatus & 0xF0) {
    case 0x80: NoteOff(pSynth, nChannel, nData1); break;
    case 0x90:
        if (nData2)
            NoteOn(pSynth, nChannel, nData1, nData2);
        else
            NoteOff(pSynth, nChannel, nData1);
        break;
    case 0xB0: ControlChange(pSynth, nChannel, nData1, nData2); break;
    case 0xC0: pSynth->aChannel[nChannel].nProgram = nData1; break;
    case 0xE0: pSynth->aChannel[nChannel].nBend = (nData2 << 7 | nData1) - 8192; break;
    default: break; // key and channel pressure: not used
    }
}

void SynthRender(Synth* pSynth, int16_t* pOut, int nFrames) {
    while (nFrames > 0) {
        int n = nFrames < SYNTH_BLOCK ? nFrames : SYNTH_BLOCK;
        // Each channel's voices into its own mix, then the mixes into the
        // dry sum and the sends.
        float aMix[SYNTH_CHANNELS][2][SYNTH_BLOCK];
        unsigned nUsed = 0;
        for (SynthVoice* v = pSynth->aVoice; v < pSynth->aVoice + SYNTH_SLOTS; v++) {
            if (v->nStage == STAGE_FREE) continue;
            if (!(nUsed >> v->nChannel & 1)) {
                memset(aMix[v->nChannel], 0, sizeof aMix[0]);
                nUsed |= 1u << v->nChannel;
            }
            VoiceRender(pSynth, v, aMix[v->nChannel][0], aMix[v->nChannel][1], n);
        }
        float aL[SYNTH_BLOCK] = {0}, aR[SYNTH_BLOCK] = {0};
        float aReverb[SYNTH_BLOCK] = {0}, aChorus[SYNTH_BLOCK] = {0};
        int bReverb = 0, bChorus = 0;
        for (int c = 0; c < SYNTH_CHANNELS; c++) {
            if (!(nUsed >> c & 1)) continue;
            SynthChannel* ch = &pSynth->aChannel[c];
            ChannelSend(ch, aMix[c], aL, aR, aReverb, aChorus, n);
            bReverb |= ch->nReverb > 0;
            bChorus |= ch->nChorus > 0;
        }
        TailMix(pSynth, aL, aR, n);
        ReverbRun(&pSynth->space, aReverb, bReverb, aL, aR, n);
        ChorusRun(&pSynth->space, aChorus, bChorus, aL, aR, n);
        MixOut(pSynth, aL, aR, pOut, n);
        pOut += 2 * n;
        nFrames -= n;
    }
}

int SynthVoicesSounding(const Synth* pSynth) {
    int n = 0;
    for (const SynthVoice* v = pSynth->aVoice; v < pSynth->aVoice + SYNTH_SLOTS; v++)
        n += v->nStage != STAGE_FREE;
    return n;
}

void SynthPlayerStart(SynthPlayer* pPlayer, const SmfSong* pSong) {
    SynthReset(&pPlayer->synth);
    pPlayer->pSong = pSong;
    pPlayer->nNext = 0;
    pPlayer->nFrame = 0;
}

int SynthPlayerRender(SynthPlayer* pPlayer, int16_t* pOut, int nFrames) {
    const SmfSong* pSong = pPlayer->pSong;
    while (nFrames > 0) {
        // The events that are due, then the frames up to the next one.
        uint32_t nUntil = pPlayer->nFrame + (uint32_t)nFrames;
        while (pSong && pPlayer->nNext < pSong->nEvents) {
            const SmfEvent* e = &pSong->aEvent[pPlayer->nNext];
            if (e->nFrame > pPlayer->nFrame) {
                if (e->nFrame < nUntil) nUntil = e->nFrame;
                break;
            }
            if (e->nStatus != SMF_STATUS_TEMPO)
                SynthMidi(&pPlayer->synth, e->nStatus, e->nData1, e->nData2);
            pPlayer->nNext++;
        }
        int n = (int)(nUntil - pPlayer->nFrame);
        SynthRender(&pPlayer->synth, pOut, n);
        pOut += 2 * n;
        nFrames -= n;
        pPlayer->nFrame += (uint32_t)n;
    }
    return pSong && pPlayer->nFrame < pSong->nEndFrame;
}
